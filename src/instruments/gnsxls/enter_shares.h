// The shares of ENT that route editing, the direct-to and the procedure
// pages do: the dispatch table of enter_key.cpp hands over to them. Each
// ends the press itself (line states reset or not) as its own rules say.
#pragma once

namespace ovi::gnsxls {

// Page 1, lines 4 and 5 (DEPART?, ARRIVE?, APPROACH?): open the procedure page.
void EnterOpenProcedurePage();
// Page 1 with the entry open: delete the selected waypoint (after CLR asked
// "DELETE?") or take the typed identifier.
void EnterFlightPlanEntry();
// DATABASE WPT back to page 1: insert the chosen candidate.
void EnterDatabaseWaypoint();
// DATABASE WPT back to DEPARTURE, ARRIVAL or APCH: the airport confirmed.
void EnterProcedureAirport();
// DATABASE WPT opened by the direct-to: the typed target confirmed.
void EnterDirectTarget();
void EnterDirect();           // DIRECT (7)
void EnterAirway();           // AIRWAY (13)
void EnterDeparture();        // DEPARTURE (10)
void EnterArrival();          // ARRIVAL (11)
void EnterApproach();         // APCH (12)
void EnterPilotWaypoint();    // PILOT ENTERED WPT (20)
void EnterOffsetWaypoint();   // OFFSET WPT (21)

}  // namespace ovi::gnsxls
