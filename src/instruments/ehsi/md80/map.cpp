// The plan (mode 2) and map (mode 3) modes: the frame already sets the
// centre and hands them the picture with its variant; their drawing, the
// arc pieces of md80.h over the map layers, follows with the map work.
#include "src/instruments/ehsi/md80/md80.h"

namespace ovi::ehsi {

void DrawMd80EhsiMap(const display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/, int /*variant*/) {}

}  // namespace ovi::ehsi
