// Helpers of the waypoint-entry and airway tests: routes built by ident on
// the sample region (SampleRegionTest).
#pragma once

#include <string>
#include <vector>

#include "src/model/records.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb::test {

// A route waypoint at the position the tables give its ident (navaids,
// then intersections, then airports; type = the record's kind).
model::FlightPlanWaypoint Waypoint(const std::string& ident);

// Fills a plan with these idents from index 0 and puts the end marker after
// them; returns the last index.
int BuildPlan(model::FlightPlanTable& plan, const std::vector<std::string>& idents);

// The idents of entries 0..last.
std::vector<std::string> Idents(const model::FlightPlanTable& plan, int last);

}  // namespace ovi::navdb::test
