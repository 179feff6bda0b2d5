// One name for one place on a map picture. Several layers may name the same
// place (a route waypoint on a navaid that is also an airway point, a runway
// end the route's runway label and the runways overlay both write, the
// tuned station), and their labels, a few pixels apart, ran into one
// ("UUBG", "10R0R"). While a map picture is open, each layer asks before it
// writes a name: a name already written at the place is left out (the
// place keeps every layer's symbol). The route wins its places even where
// it is drawn after the other layers: the picture reserves the places its
// route will name before they draw. Other layers keep to their order:
// navaids, then airway points, then airports, as every map draws them.
//
// A picture costs a lookup per label in a small hashed table kept for the
// thread; nothing is allocated once the table has grown to the busiest
// picture, and nothing is kept between pictures.
#pragma once

#include <string_view>

#include "platform/gfx/graphics.h"

namespace ovi::display {

// Two places, or two labels, of one name within this many device pixels of
// each other are one.
inline constexpr double kSameLabelPixels = 8.0;

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

// Reserves `name` at the world point (x, y) of g's present transform for the
// route, which writes it later in the picture (unless the place lies out
// of sight).
void ReserveRouteLabel(const gfx::Graphics& g, std::string_view name, double x, double y);

// Whether a layer writes `name` (the place's whole name: the text shown may
// be its start) for the place at the world point (x, y), its text starting
// at (text_x, text_y), both in g's present transform; if so the name is
// recorded there. False when the picture has written the
// same name within kSameLabelPixels of the place or of the text, or (for
// any layer but the route) has reserved it at the place. True for an empty
// name, whenever no picture is open on `g`, and for a text that starts out
// of sight (outside the clip's box, or well left of or above it), which is
// not recorded: a name drawn where nobody sees it names nothing. A layer
// that places its point only roughly (the tuned station, at its DME
// distance) gives the `reach`, in world units, within which a place of the
// same name is its own.
bool ClaimMapLabel(const gfx::Graphics& g, std::string_view name, double x, double y, double text_x, double text_y,
                   bool route = false, double reach = 0.0);

}  // namespace ovi::display
