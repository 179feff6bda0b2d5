// The shared map scale every map layer sets before it projects.
#pragma once

namespace ovi::nd {

inline void SetMapScale(double /*pixels_per_nm*/) {}

}  // namespace ovi::nd
