// Opening the DEPARTURES and ARRIVALS pages fresh: the DEP / ARR INDEX and
// the TAKEOFF REF page lead there.
#pragma once

namespace ovi::fms {

// DEPARTURES (page 10) on its first sub-page, every SID of the origin listed
// again: a chosen SID (state 1) shows its list anew (2); the chosen
// transition and runway are forgotten.
void OpenDeparturesPage();

// ARRIVALS (page 11) on its first sub-page, every STAR of the destination
// listed again: a chosen STAR (state 1) shows its list anew (2); the STAR
// transition, approach, approach transition and runway are forgotten.
void OpenArrivalsPage();

}  // namespace ovi::fms
