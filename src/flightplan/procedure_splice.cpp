// SID, STAR and approach splices. Each runs one algorithm over a Side: the
// plan and what the active and the pending variants touch differently.
#include "src/flightplan/procedure_splice.h"

#include <algorithm>
#include <string>

#include "src/flightplan/plan_ops.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "src/util/text.h"

namespace ovi::flightplan {

namespace {

// The highest index a procedure leg may take: one slot stays free for the
// destination that follows the legs.
constexpr int kLastLegIndex = kMaxPlanLastIndex - 1;

// What each variant of a splice works on and touches.
struct Side {
  bool pending;
  int sid_details_mode;   // LoadAirportDetails mode of the SID splice
  int star_details_mode;  // ... and of the STAR splice
  // The approach splice: the tracked index moves to the new destination
  // when it stood at the cut-back point too (not only beyond it).
  bool approach_tracks_cut_point;
};

constexpr Side kActiveSide{false, 3, 4, true};
constexpr Side kPendingSide{true, 5, 6, false};

PlanRef PlanOf(const Side& side, bool moves_active_waypoint = false) {
  return side.pending ? PendingPlan() : ActivePlan(moves_active_waypoint);
}

// The tracked waypoint index of the plan: the pending plan's copy of the
// next constraint, or the active plan's next constraint.
int& TrackedIndex(const Side& side) {
  return side.pending ? flightplan_state.PendingActiveWaypointIndex : guidance::guidance_state.NextConstraintIndex;
}

// The last index, clamped into the table; an empty plan is taken as the
// origin alone (every splice rewrites or keeps entry 0).
int StartLast(const PlanRef& p) { return std::max(LastIndex(p), 0); }

void SetActiveWaypoint(int index, const model::FlightPlanWaypoint& w) {
  guidance::State& g = guidance::guidance_state;
  flightplan_state.ActiveWaypointIndex = index;
  if (g.ActiveLegFromEngagePosition == 1) g.ActiveLegFromEngagePosition = 0;
  g.ActiveWaypointLat = w.latitude;
  g.ActiveWaypointLon = w.longitude;
}

// A procedure leg: a fresh entry with the row's fix, then typed as a navaid
// when the database knows one.
void FillLeg(model::FlightPlanWaypoint& w, const model::ProcedureListEntry& row, const char* tag) {
  BlankEntry(w);
  w.ident = row.fix_ident;
  w.procedure_tag = tag;
  w.via = row.via_text;
  w.latitude = row.latitude;
  w.longitude = row.longitude;
  w.flyover = row.flyover;
}

void FillDestination(model::FlightPlanWaypoint& w) {
  const model::AirportProcedureSet& set = navdb::procedure_state.AirportProcedureSets[2];
  BlankEntry(w);
  w.ident = set.AirportIdent;
  w.latitude = set.AirportLatitude;
  w.longitude = set.AirportLongitude;
  w.type = "APT";
}

// The destination after the last entry; a full plan (the route itself
// reaches the last slot) ends where it is and its last entry is left alone.
model::FlightPlanWaypoint* AppendDestination(const PlanRef& p) {
  if (p.last >= kMaxPlanLastIndex) return nullptr;
  model::FlightPlanWaypoint& w = p.plan[++p.last];
  FillDestination(w);
  return &w;
}

// Entries b and b + 1 naming the same fix become one: b + 1 survives in
// b's place, tagged "SIDSTAR" when b carried `other_tag`. After each pair,
// merged or not, the scan moves on, so a run of three loses one entry.
void MergeRepeatedFixes(const PlanRef& p, int start, const char* other_tag) {
  for (int b = std::max(start, 1); b < LastIndex(p); ++b) {
    if (p.plan[b].ident != p.plan[b + 1].ident) continue;
    if (p.plan[b].procedure_tag == other_tag) p.plan[b + 1].procedure_tag = "SIDSTAR";
    MergeIntoNext(p, b);
  }
}

int RowCount(int count, int capacity) { return std::clamp(count, 0, capacity); }

// ---- SID ------------------------------------------------------------------

void InsertSid(const Side& side) {
  const PlanRef p = PlanOf(side);
  State& s = flightplan_state;
  navdb::ProcedureState& ps = navdb::procedure_state;
  const model::AirportProcedureSet& origin = ps.AirportProcedureSets[1];
  p.last = StartLast(p);

  const int position = side.pending ? s.EditWaypointIndex : s.ActiveWaypointIndex;
  if (position == model::kNoWaypoint) RemoveEntries(p, 1, p.last + 1);
  if (p.plan[0].type != "APT") navdb::LoadAirportDetails(model::model_state.RteOriginIdent, side.sid_details_mode);

  // An earlier departure goes: the en-route part moves up behind the origin.
  int k = 1;
  while (k <= p.last && p.plan[k].procedure_tag == "SID") ++k;
  if (k > 1 && k <= p.last) RemoveEntries(p, 1, k);

  if (!side.pending) {
    // Kept as the route stood before the legs go in; the navigator sets
    // the active waypoint again from the first leg.
    SetActiveWaypoint(1, p.plan[1]);
  }

  model::FlightPlanWaypoint& entry0 = p.plan[0];
  entry0.ident = origin.AirportIdent;
  entry0.latitude = origin.AirportLatitude;
  entry0.longitude = origin.AirportLongitude;
  entry0.type = "APT";
  entry0.frequency_text.clear();
  if (!side.pending) entry0.flyover = 0;

  int pos = 0;
  const int rows = RowCount(ps.SidLegCount, navdb::kMaxSidLegRows);
  for (int r = 1; r <= rows; ++r) {
    if (pos + 1 <= p.last && p.plan[pos + 1].procedure_tag == "SID") {
      DropHoldsOn(p, pos + 1, pos + 1);  // an old leg gives way to the new one
    } else {
      if (p.last >= kMaxPlanLastIndex) break;
      OpenSlots(p, pos + 1, 1);
    }
    ++pos;
    FillLeg(p.plan[pos], ps.SidList[r], "SID");
    TypeProcedureFix(p.plan[pos]);
  }

  MergeRepeatedFixes(p, 1, "STAR");
  WriteEndMarker(p);
  gnsxls::gnsxls_state.GnsDepartureSelection = 0;
}

// ---- STAR -----------------------------------------------------------------

void InsertStar(const Side& side) {
  const PlanRef p = PlanOf(side, /*moves_active_waypoint=*/true);
  State& s = flightplan_state;
  navdb::ProcedureState& ps = navdb::procedure_state;
  p.last = StartLast(p);
  if (p.plan[p.last].type != "APT") {
    navdb::LoadAirportDetails(model::model_state.RteOriginIdent, side.star_details_mode);
  }

  // The anchor: the last en-route entry above the lower bound.
  int lower = 0;
  if (side.pending && s.ActiveWaypointIndex != model::kNoWaypoint) lower = s.ActiveWaypointIndex - 1;
  lower = std::clamp(lower, 0, p.last);
  int anchor = lower;
  for (int k = p.last; k > lower; --k) {
    const model::FlightPlanWaypoint& w = p.plan[k];
    if (w.procedure_tag != "STAR" && w.procedure_tag != "APPR" && w.type != "APT") {
      anchor = k;
      break;
    }
  }
  if (!side.pending && anchor > lower && s.ActiveWaypointIndex > anchor) {
    SetActiveWaypoint(anchor, p.plan[anchor]);
  }

  const int rows = RowCount(ps.StarLegCount, navdb::kMaxStarLegRows);
  if (anchor + 1 < p.last && p.plan[anchor + 1].procedure_tag == "APPR") {
    // An approach follows the en-route part directly: the legs go in
    // before it, and it moves up with its holds and tracked indices.
    const bool ends_at_airport = p.plan[p.last].type == "APT";
    const int room_end = ends_at_airport ? kMaxPlanLastIndex : kLastLegIndex;
    for (int r = 1; r <= rows && p.last < room_end; ++r) {
      const int pos = anchor + r;
      OpenSlots(p, pos, 1);
      FillLeg(p.plan[pos], ps.StarList[r], "STAR");
      TypeProcedureFix(p.plan[pos]);
    }
    if (p.plan[p.last].type == "APT") {
      const std::uint32_t hold = p.plan[p.last].hold_number;
      FillDestination(p.plan[p.last]);
      p.plan[p.last].hold_number = hold;  // the same destination keeps its hold
    } else {
      AppendDestination(p);
    }
  } else {
    // The arrival is rebuilt from the anchor on: what lay behind it (arrival,
    // approach, destination) goes, with its holds; a tracked index on it
    // ends on the new destination.
    const int old_last = p.last;
    int& tracked = TrackedIndex(side);
    const bool tracked_behind = side.pending ? (tracked > anchor && tracked <= old_last) : tracked >= anchor;
    // The pending index on the old destination takes its constraint along.
    const bool keep_constraint = side.pending && tracked == old_last && tracked_behind;
    const double constraint = p.plan[old_last].altitude_constraint;
    DropHoldsOn(p, anchor + 1, old_last);
    p.last = anchor;
    for (int r = 1; r <= rows && anchor + r <= kLastLegIndex; ++r) {
      p.last = anchor + r;
      FillLeg(p.plan[p.last], ps.StarList[r], "STAR");
      TypeProcedureFix(p.plan[p.last]);
    }
    model::FlightPlanWaypoint* dest = AppendDestination(p);
    if (dest != nullptr && keep_constraint) dest->altitude_constraint = constraint;
    if (tracked_behind) tracked = p.last;
    // Without an anchor the arrival was rebuilt under the active waypoint:
    // it is now the entry at its index (the destination when that lies past
    // the new end), flown to from that entry's place, not the old one's.
    const int active = s.ActiveWaypointIndex;
    if (!side.pending && active != model::kNoWaypoint && active > anchor) {
      const int now = std::min(active, p.last);
      SetActiveWaypoint(now, p.plan[now]);
    }
  }

  int start = 1;
  if (side.pending && s.ActiveWaypointIndex != model::kNoWaypoint) start = s.ActiveWaypointIndex;
  MergeRepeatedFixes(p, start, "SID");
  WriteEndMarker(p);
  gnsxls::gnsxls_state.GnsArrivalSelection = 0;
}

// ---- Approach -------------------------------------------------------------

constexpr double kIafSpeed = 190.0;
constexpr double kFafSpeed = 170.0;
constexpr double kApproachSpeed = 180.0;
constexpr int kLeastApproachAltitude = 100;

// The pending variant's constraints of an approach leg.
void SetApproachConstraints(model::FlightPlanWaypoint& w, const model::ProcedureListEntry& row) {
  w.speed_constraint = row.role == "IAF" ? kIafSpeed : row.role == "FAF" ? kFafSpeed : kApproachSpeed;
  w.constraint_flag = 2;
  int altitude = 0;
  if (util::ParseInt(row.altitude_text, altitude) && altitude >= kLeastApproachAltitude) {
    w.altitude_constraint = altitude;
    w.constraint_flag = 3;
  } else {
    w.altitude_constraint = model::kNoValue;
    w.constraint_flag = 0;
  }
}

void InsertApproach(const Side& side, int with_discontinuity) {
  const PlanRef p = PlanOf(side);
  navdb::ProcedureState& ps = navdb::procedure_state;
  const int rows = RowCount(ps.ApproachLegCount, navdb::kMaxApproachLegRows);
  const std::string first_fix = rows > 0 ? ps.ApproachList[1].fix_ident : std::string();
  p.last = StartLast(p);

  // Cut back an earlier approach and the destination; entry 0 stays.
  int cut = p.last;
  while (cut > 0 && (p.plan[cut].procedure_tag == "APPR" || p.plan[cut].type == "APT")) --cut;
  int& tracked = TrackedIndex(side);
  const bool tracked_behind = side.approach_tracks_cut_point ? tracked >= cut : tracked > cut;
  DropHoldsOn(p, cut + 1, p.last);
  p.last = cut;

  int disco = 0;
  if (side.pending) {
    // The entries at the cut-back point that give way to the approach (an
    // earlier approach's discontinuity, the route's copy of the first fix)
    // go as any removed entry does: an index on one moves to the entry
    // that takes their place, the approach's first leg (or the destination
    // where the approach has none before its missed-approach point). Left
    // where it was, it named the leg after that one, or lay past the end.
    auto drop_cut_entry = [&] {
      DropHoldsOn(p, p.last, p.last);
      --p.last;
      if (!tracked_behind && tracked > p.last && tracked <= cut) tracked = p.last + 1;
    };
    if (p.last > 0 && p.plan[p.last].ident == "DISCO") drop_cut_entry();
    if (with_discontinuity == 1 && p.last > 1 && p.plan[p.last].ident != first_fix) {
      if (p.last + 1 <= kLastLegIndex) {
        disco = ++p.last;
        BlankEntry(p.plan[disco]);
        p.plan[disco].ident = "DISCO";
        const int state = flightplan_state.RouteState;
        if (state == 0 || state == 3) StepRouteState();
      }
    } else if (p.last > 0 && p.plan[p.last].ident == first_fix) {
      drop_cut_entry();  // the approach's own leg takes its place
    }
  }

  for (int r = 1; r <= rows && p.last < kLastLegIndex; ++r) {
    const model::ProcedureListEntry& row = ps.ApproachList[r];
    if (row.role == "MAP") break;
    model::FlightPlanWaypoint& w = p.plan[++p.last];
    FillLeg(w, row, "APPR");
    w.via.clear();
    w.text2 = row.role;
    if (side.pending) {
      SetApproachConstraints(w, row);
      if (r == 1 && disco > 0) {
        model::FlightPlanWaypoint& d = p.plan[disco];
        d.latitude = w.latitude;
        d.longitude = w.longitude;
        d.speed_constraint = w.speed_constraint;
        d.altitude_constraint = w.altitude_constraint;
        d.constraint_flag = w.constraint_flag;
      }
    }
    TypeProcedureFix(w);
  }

  if (model::FlightPlanWaypoint* dest = AppendDestination(p)) {
    if (side.pending) {
      dest->value3 = model::kNoValue;
    } else {
      double elevation = 0.0;
      if (!util::ParseDouble(navdb::navdb_state.AirportDetailsElevationText, elevation)) elevation = 0.0;
      dest->altitude_constraint = elevation;
    }
  }

  if (tracked_behind) tracked = p.last;
  tracked = std::min(tracked, std::max(p.last, 0));
  WriteEndMarker(p);
  gnsxls::gnsxls_state.GnsApproachSelection = 0;
  if (side.pending) {
    const int state = flightplan_state.RouteState;
    if (state == 0 || state == 3) StepRouteState();
  }
}

}  // namespace

void InsertSidIntoActivePlan() { InsertSid(kActiveSide); }
void InsertSidIntoPendingPlan() { InsertSid(kPendingSide); }
void InsertStarIntoActivePlan() { InsertStar(kActiveSide); }
void InsertStarIntoPendingPlan() { InsertStar(kPendingSide); }
void InsertApproachIntoActivePlan() { InsertApproach(kActiveSide, 0); }
void InsertApproachIntoPendingPlan(int with_discontinuity) { InsertApproach(kPendingSide, with_discontinuity); }

}  // namespace ovi::flightplan
