// The offset waypoint's position: one computation from the fields of OFFSET
// WPT, for the position the page shows and the waypoint ENT inserts, so
// that neither ever uses a position left from an earlier entry.
#pragma once

#include "src/model/records.h"

namespace ovi::gnsxls {

inline constexpr const char* kNoBearing = "-----";
inline constexpr const char* kNoDistance = "------";

// The reference place: candidate GnsOffsetCandidateIndex; null outside the
// candidate list.
const model::NavDbRecord* OffsetReference();

// From the reference, on the bearing shown (magnetic, as typed: the true
// course adds the magnetic variation) over the distance shown: fills
// GnsOffsetBearing, GnsOffsetDistance, GnsOffsetLatitude/Longitude and the
// position texts. False, nothing written, when a field holds no number, the
// bearing is above 360 or there is no reference.
bool ComputeOffsetPosition();

// Every field of the page back to not entered, before a new offset entry.
void ClearOffsetFields();

}  // namespace ovi::gnsxls
