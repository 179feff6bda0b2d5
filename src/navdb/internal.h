// Helpers shared by the navigation database's own source files.
#pragma once

#include "src/model/records.h"
#include "src/navdb/state.h"

namespace ovi::navdb {

void BuildPositionVectors(const BoundedTable<model::NavDbRecord>& table, int count, PositionVectors& v);
void BuildNavaidIndex();
void ClearNearLists();

// The great-circle computation of ComputeDistanceAndBearing without touching
// the shared result variables (for the list builders).
void GreatCircle(double lat1, double lon1, double lat2, double lon2, double& distance, double& course);

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kDegToRad = kPi / 180.0;
inline constexpr double kRadToDeg = 180.0 / kPi;

}  // namespace ovi::navdb
