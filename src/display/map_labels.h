// One name for one place on a map picture, and no two names that read as
// one. Several layers may name the same place (a route waypoint on a navaid
// that is also an airway point, a runway end the route's runway label and
// the runways overlay both write, the tuned station), and their labels, a
// few pixels apart, ran into one ("UUBG", "10R0R"); names of different
// places starting at nearly the same point read as a made-up word ("OLM"
// over "KOLM", "10R" over "UBG"). While a map picture is open, each layer
// asks before it writes a name: a name already written at the place, or a
// name that would start next to one written or cover most of it, is left
// out (the place keeps every layer's symbol). The route wins its places
// even where it is drawn after the other layers: the picture reserves the
// names its route will write before they draw. Other layers keep to their
// order: navaids, then airway points, then airports, as every map draws
// them. The labels of the top of climb and descent move clear of the
// names, and names written after them give way to them.
//
// A picture costs a lookup per label in small hashed tables kept for the
// thread (by name, and by where the text lies); nothing is allocated once
// the tables have grown to the busiest picture, and nothing is kept between
// pictures.
#pragma once

#include <span>
#include <string_view>

#include "platform/gfx/graphics.h"

namespace ovi::display {

// Two places, or two labels, of one name within this many device pixels of
// each other are one.
inline constexpr double kSameLabelPixels = 8.0;

// Two names read as one where the later would start within this share of
// the taller one's line height of the earlier (across and down), or within
// the pixels below where that is more; or where the two boxes share more
// than this part of the smaller one.
inline constexpr double kStartNearAcross = 0.4, kStartNearDown = 0.6;
inline constexpr double kStartNearAcrossPixels = 4.0, kStartNearDownPixels = 6.0;
inline constexpr double kMostOfLabel = 0.5;

// A mark's label moves up or down at most this many of its own heights to
// stand clear of every name; where no place that near is clear, up to
// kMarkLabelFurthest heights clear of the names already written.
inline constexpr double kMarkLabelReach = 1.5, kMarkLabelFurthest = 3.0;

// The names of one map picture drawn on `g`, until the scope ends. A scope
// opened while another is open joins it.
class MapLabelScope {
 public:
  explicit MapLabelScope(const gfx::Graphics& g);
  ~MapLabelScope();
  MapLabelScope(const MapLabelScope&) = delete;
  MapLabelScope& operator=(const MapLabelScope&) = delete;

 private:
  bool opened_;
};

// A name as a layer writes it: `shown` (the name, or its start where the
// field is shorter) in `font`, its layout point at `at` in g's present
// transform.
struct MapText {
  std::string_view shown;
  const gfx::Font& font;
  gfx::PointF at;
};

// Reserves `name` at the world point (x, y) of g's present transform for the
// route, which writes it later in the picture as `text` (its box when
// measured: the layout point and the size). Nothing is reserved for a text
// that starts out of sight.
void ReserveRouteLabel(const gfx::Graphics& g, std::string_view name, double x, double y, const gfx::RectF& text);
void ReserveRouteLabel(gfx::Graphics& g, std::string_view name, double x, double y, const MapText& text);

// Whether a layer writes `name` (the place's whole name: the text shown may
// be its start) for the place at the world point (x, y), its text's box
// `text` (starting at its layout point), both in g's present transform; if
// so the name is recorded there. False when the picture has written the
// same name within kSameLabelPixels of the place or of the text's start,
// when the text would read as one with a name written before (kStartNear...,
// kMostOfLabel) or meet a mark's label, or (for any layer but the route)
// when the picture has reserved the name at the place or reserved a name
// the text would read as one with. True for an empty name, whenever no
// picture is open on `g`, and for a text that starts out of sight (outside
// the clip's box, or well left of or above it), which is not recorded: a
// name drawn where nobody sees it names nothing. A layer that places its
// point only roughly (the tuned station, at its DME distance) gives the
// `reach`, in world units, within which a place of the same name is its
// own.
bool ClaimMapLabel(const gfx::Graphics& g, std::string_view name, double x, double y, const gfx::RectF& text,
                   bool route = false, double reach = 0.0);
// Claims `name` for `text` as measured, and writes the text in `brush` where
// the claim is granted; whether it was.
bool WriteMapLabel(gfx::Graphics& g, std::string_view name, double x, double y, const MapText& text,
                   const gfx::SolidBrush& brush, bool route = false, double reach = 0.0);

// The top, in g's present transform, for a mark's label whose box is `box`:
// where it stands when it meets neither a label in `written` (those its
// call wrote before) nor a name of the picture; else just above or below
// one of them, the nearest such place that is clear of all within
// kMarkLabelReach of its heights, or else the nearest within
// kMarkLabelFurthest that is clear of `written` and of the names already
// written (a name the route has only reserved gives way); else where it
// stands. It does not move out of the clip's box. `whole_pixels`: the top
// moves by whole units. The label is recorded there: a name claimed after
// it that would meet it is left out. In a picture whose marks' labels were
// placed before its layers wrote (PlaceMarkLabelsFirst) it takes the place
// found then.
double PlaceMarkLabel(const gfx::Graphics& g, const gfx::RectF& box, std::span<const gfx::RectF> written,
                      bool whole_pixels);

// While one lives, the marks' drawing on `g` is held back (nothing is
// drawn) and their labels are only placed (PlaceMarkLabel); the transform
// is restored when it ends.
class MarkDrawingHeldBack {
 public:
  explicit MarkDrawingHeldBack(gfx::Graphics& g);
  ~MarkDrawingHeldBack();
  MarkDrawingHeldBack(const MarkDrawingHeldBack&) = delete;
  MarkDrawingHeldBack& operator=(const MarkDrawingHeldBack&) = delete;

 private:
  gfx::Graphics& g_;
  gfx::Matrix kept_;
  bool held_;
};
// Whether the marks' drawing on `g` is held back.
bool MarksHeldBack(const gfx::Graphics& g);

// Places the labels of a picture's marks before its layers write names, so
// that a name written before the marks in the picture gives way to their
// labels where they find no free place: `draw_marks` makes the call that
// draws the marks, in the transform and with the conditions it draws them
// with. A picture whose route is drawn before its marks reserves the
// route's names first, so the labels keep clear of them.
template <class DrawMarks>
void PlaceMarkLabelsFirst(gfx::Graphics& g, DrawMarks&& draw_marks) {
  const MarkDrawingHeldBack held(g);
  draw_marks();
}

}  // namespace ovi::display
