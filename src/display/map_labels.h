// Every text a map draws inside its map area, weighed by one precedence.
// Names, figures, marks, readouts and traffic tags ran into one another
// ("KRNTSEA", "Y80M" where a ring figure stood under a name, "-5+8" of two
// traffic tags, "T/D" under the compass card's "21") wherever each layer
// wrote its texts whatever the others wrote. While a map picture is open on
// a graphics, a text of the map is held back with its rank; when the
// picture ends the texts are placed in the order of their ranks, each
// where it meets none placed before it (at its own place, else at its other
// place where it has one) and, a name, on no other place's symbol, and
// drawn in the order they were written. A text that finds no free place is
// left out; its symbol stays.
//
// The ranks, highest first: the fixed readouts and the compass card (every
// text drawn straight on the graphics while the picture is open: they are
// never covered, and the areas kept clear for the readouts are cut out of
// the map's clip), the marks (top of climb and descent and the other marks'
// labels, the aircraft's own symbol), range-ring figures, traffic tags (the
// red ones first, then the nearest), the route's names, the other names,
// grid and boundary labels, FIX INFO figures. Within a rank the text written
// first wins, and a name already written at a place (or starting where the
// same name starts) is not written again.
//
// A picture costs, per text, a copy of what draws it, a measure the first
// time the text is met (kept by text, font and transform), and a look-up in
// a table of the picture's texts by where they lie; nothing is allocated
// once the tables have grown to the busiest picture.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/gfx/graphics.h"

namespace ovi::display {

// The precedence of a map's texts, highest first.
enum class MapRank : std::uint8_t {
  kFixed,        // readouts, the compass card, the areas kept clear
  kMark,         // T/C, T/D and the other marks' labels, the aircraft's own symbol
  kRangeFigure,  // range-ring figures
  kTraffic,      // traffic tags
  kRouteName,    // the route's names
  kName,         // navaid, airport, intersection and runway names, the approach pattern's figures
  kGridLabel,    // grid and boundary labels
  kFixInfo,      // FIX INFO and tuned-station figures
};

// Two texts meet where their ink boxes overlap, where one stands over the
// other with less than a clear gap between their lines (kLineGap of the
// smaller ink height, at least kLineGapPixels), or where they run into each
// other along a line with less than a word's space between (kWordGap of the
// smaller ink height). Of two names, one on the next line (sharing less
// than half the smaller's height) that starts less than kStackGap of that
// height past the other's end stands over it too, and needs the clear gap:
// "YKM" with "PSC" just past its "M" and no gap between the lines read as
// one block. Texts that only come near corner to corner otherwise do not
// meet.
inline constexpr double kLineGap = 0.15, kLineGapPixels = 1.5;
inline constexpr double kWordGap = 0.35;
inline constexpr double kStackGap = 0.5;

// Two places, or two texts' starts, of one name within this many device
// pixels of each other are one.
inline constexpr double kSameLabelPixels = 8.0;

// A mark's label that meets a text placed before it moves up or down, the
// shorter way, to the nearest place that meets none: first within
// kMarkLabelReach of its heights where it also leaves the texts of lower
// rank where they stand, else within kMarkLabelFurthest. It does not move
// from one side of a label of its rank written wholly above or below it to
// the other, nor onto the symbol of a place the picture names.
inline constexpr double kMarkLabelReach = 1.5, kMarkLabelFurthest = 3.0;

// The texts of one map picture drawn on `g`, until it ends. A picture opened
// on a graphics that has one open joins it.
class MapPicture {
 public:
  explicit MapPicture(gfx::Graphics& g);
  ~MapPicture();
  MapPicture(const MapPicture&) = delete;
  MapPicture& operator=(const MapPicture&) = delete;

 private:
  gfx::Graphics& g_;
  bool opened_;
};

// A text as a layer writes it: `shown` in `font`, its layout point `at` in
// g's present transform.
struct MapText {
  std::string_view shown;
  const gfx::Font& font;
  gfx::PointF at;
};

// Where else a text may stand, and how it is weighed within its rank.
struct MapTextWay {
  // Layout points tried in order where its own is taken.
  std::span<const gfx::PointF> other_places = {};
  // Moves up or down clear of what is there (a mark's label); by whole
  // units with `whole_pixels`.
  bool slide = false;
  bool whole_pixels = false;
  // Left out unless the clip lets all of it show.
  bool whole = false;
  // Within its rank, lower first (ties in the order written).
  double order = 0.0;
  const gfx::StringFormat* format = nullptr;
};

// Writes `text` in `brush` at `rank`: held back while a picture is open on
// `g`, else drawn at once.
void WriteMapText(gfx::Graphics& g, MapRank rank, const MapText& text, const gfx::SolidBrush& brush,
                  const MapTextWay& way = {});

// Writes a name of the place at the world point (x, y) of g's present
// transform, at the route's rank or the other names': a name the picture
// writes already within kSameLabelPixels of the place (or `reach` world
// units, for a layer that knows the place only roughly: the tuned station
// at its DME distance), or of the text's start, is left out. An empty name
// is weighed as a text of no place. A name keeps clear of the symbols of
// other places, as a moved mark's label does: a square about each place the
// picture names (as tall as its name's letters, whether that name stands or
// not) and the symbols drawn as texts; a place within the reach of its own
// is its own (the route's waypoint on the airport it names).
void WriteMapLabel(gfx::Graphics& g, std::string_view name, double x, double y, const MapText& text,
                   const gfx::SolidBrush& brush, bool route = false, double reach = 0.0);

// Claims `box` (g's present transform) at `rank` for a symbol that texts of
// lower rank keep clear of: the aircraft's own. Nothing without a picture.
void ClaimMapBox(const gfx::Graphics& g, MapRank rank, const gfx::RectF& box);

// Keeps `box` (g's present transform) clear of the map: a readout's box.
// Claimed as fixed, and cut out of g's present clip, so that nothing the
// map draws after lands on it. Call it after the map's clip is set.
void KeepMapClear(gfx::Graphics& g, const gfx::RectF& box);

// Draws a text that is a map symbol (an airport's star, a ring's star, the
// parking "P"), at once. Its ink is a symbol that the names of other places
// than `place` (g's present transform; none: every name) keep clear of;
// the texts of other ranks may stand on it.
void DrawMapSymbolText(gfx::Graphics& g, std::string_view text, const gfx::Font& font, gfx::PointF at,
                       const gfx::SolidBrush& brush, std::optional<gfx::PointF> place = std::nullopt);

}  // namespace ovi::display
