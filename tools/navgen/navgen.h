// Synthetic world-sized navigation data in the layouts of
// docs/navigation-data.md: dense clusters where the real world has dense
// airspace, a thin background elsewhere. Deterministic for a given seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ovi::navgen {

struct WorldSize {
  int navaids = 12000;
  int airports = 45000;
  int intersections = 250000;
  int airway_lines = 400000;
  int boundaries = 400;
  int boundary_points = 200;
};

// The world scaled to a share of its size (percent, 1..100): every kind of
// entry scaled alike, so the sets are alike but for their density.
WorldSize ScaledWorld(int percent);

struct WorldStats {
  int navaids = 0, airports = 0, runway_lines = 0, intersections = 0, airway_lines = 0, boundaries = 0;
};

// Writes navs.txt, apts.txt, ints.txt, awys.txt, atc_bdry.txt and
// apt_additional_info.txt into root/ovi/navdata (created). false when a
// file cannot be written: the files the folder held are then as they were,
// none of the new ones is there, and `error` (when given) says which file
// or folder and why ("ovi/navdata/navs.txt: No space left on device").
bool WriteSyntheticWorld(const std::string& root, const WorldSize& size, std::uint32_t seed, WorldStats* stats,
                         std::string* error = nullptr);

// The files WriteSyntheticWorld writes, relative to its root
// ("ovi/navdata/navs.txt").
std::vector<std::string> WorldFiles();

// Those of the files WriteSyntheticWorld writes that root/ovi/navdata
// already holds (a simulator folder's own data, which it would replace).
std::vector<std::string> ExistingWorldFiles(const std::string& root);

}  // namespace ovi::navgen
