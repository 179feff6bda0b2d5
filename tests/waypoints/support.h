// Fixtures for the waypoint-entry and airway tests: the sample region,
// scratch folders with extra navigation files, and routes built by ident.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "src/model/records.h"

namespace ovi::navdb::test {

// A fresh simulator folder holding a copy of the sample navigation files,
// to which a test adds its own (the _user files).
class ScratchNavdata {
 public:
  ScratchNavdata();
  ~ScratchNavdata();
  ScratchNavdata(const ScratchNavdata&) = delete;
  ScratchNavdata& operator=(const ScratchNavdata&) = delete;
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path root_;
};

// Resets the module and loads the sample region.
class SampleRegionTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

// A route waypoint at the position the tables give its ident (navaids,
// then intersections, then airports; type = the record's kind).
model::FlightPlanWaypoint Waypoint(const std::string& ident);

// Fills a plan with these idents from index 0 and puts the end marker after
// them; returns the last index.
int BuildPlan(model::FlightPlanTable& plan, const std::vector<std::string>& idents);

// The idents of entries 0..last.
std::vector<std::string> Idents(const model::FlightPlanTable& plan, int last);

}  // namespace ovi::navdb::test
