#include "tools/navgen/navgen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "platform/os/files.h"

namespace ovi::navgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Region {
  double lat, lon, sigma_lat, sigma_lon, weight;
};
// Where traffic is dense; the rest is spread thinly over the land-ish band.
constexpr Region kRegions[] = {
    {39.0, -95.0, 7.0, 16.0, 0.34},  {49.0, 8.0, 6.0, 10.0, 0.22},   {33.0, 115.0, 8.0, 12.0, 0.10},
    {-25.0, 135.0, 8.0, 12.0, 0.05}, {-15.0, -55.0, 12.0, 10.0, 0.05}, {55.0, 40.0, 8.0, 25.0, 0.05},
    {0.0, 20.0, 15.0, 15.0, 0.04},   {22.0, 78.0, 7.0, 8.0, 0.04},    {60.0, -120.0, 8.0, 25.0, 0.03},
};
constexpr double kBackgroundWeight = 0.08;

class Positions {
 public:
  explicit Positions(std::uint32_t seed) : rng_(seed) {}
  void Next(double& lat, double& lon) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    double pick = u(rng_) * (1.0 + kBackgroundWeight);
    for (const Region& r : kRegions) {
      if (pick < r.weight) {
        std::normal_distribution<double> nlat(r.lat, r.sigma_lat), nlon(r.lon, r.sigma_lon);
        lat = std::clamp(nlat(rng_), -85.0, 85.0);
        lon = nlon(rng_);
        lon = std::fmod(lon + 540.0, 360.0) - 180.0;
        return;
      }
      pick -= r.weight;
    }
    lat = std::asin(u(rng_) * 1.7 - 0.8) * 180.0 / kPi;
    lon = u(rng_) * 360.0 - 180.0;
  }
  std::mt19937& rng() { return rng_; }

 private:
  std::mt19937 rng_;
};

// Ident of n letters for an index, scrambled so neighbours differ.
std::string Letters(std::uint64_t index, int n, std::uint64_t space) {
  std::uint64_t v = (index * 2654435761ull + 12345ull) % space;
  std::string s(static_cast<std::size_t>(n), 'A');
  for (int i = n - 1; i >= 0; --i) {
    s[static_cast<std::size_t>(i)] = static_cast<char>('A' + v % 26);
    v /= 26;
  }
  return s;
}

struct Fix {
  std::string ident;
  double lat, lon;
};

// Intersections by 1-degree cell, for the airway walks.
class Grid {
 public:
  explicit Grid(const std::vector<Fix>& fixes) : cells_(180 * 360) {
    for (std::size_t i = 0; i < fixes.size(); ++i) cells_[Cell(fixes[i].lat, fixes[i].lon)].push_back(static_cast<int>(i));
  }
  const std::vector<int>& At(double lat, double lon) const { return cells_[Cell(lat, lon)]; }

 private:
  static std::size_t Cell(double lat, double lon) {
    int a = std::clamp(static_cast<int>(std::floor(lat + 90.0)), 0, 179);
    int b = std::clamp(static_cast<int>(std::floor(lon + 180.0)), 0, 359);
    return static_cast<std::size_t>(a * 360 + b);
  }
  std::vector<std::vector<int>> cells_;
};

}  // namespace

WorldSize ScaledWorld(int percent) {
  percent = std::clamp(percent, 1, 100);
  const WorldSize full;
  auto part = [&](int n) { return std::max(1, static_cast<int>(static_cast<long long>(n) * percent / 100)); };
  WorldSize w = full;
  w.navaids = part(full.navaids);
  w.airports = part(full.airports);
  w.intersections = part(full.intersections);
  w.airway_lines = part(full.airway_lines);
  w.boundaries = part(full.boundaries);
  return w;
}

namespace {
const char* const kWorldFiles[] = {"navs.txt", "apts.txt", "apt_additional_info.txt",
                                   "ints.txt", "awys.txt", "atc_bdry.txt"};
}  // namespace

std::vector<std::string> WorldFiles() {
  std::vector<std::string> all;
  for (const char* name : kWorldFiles) all.push_back(std::string("ovi/navdata/") + name);
  return all;
}

std::vector<std::string> ExistingWorldFiles(const std::string& root) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const char* name : kWorldFiles) {
    if (std::filesystem::exists(std::filesystem::path(root) / "ovi" / "navdata" / name, ec)) found.emplace_back(name);
  }
  return found;
}

bool WriteSyntheticWorld(const std::string& root, const WorldSize& size, std::uint32_t seed, WorldStats* stats,
                         std::string* error) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(root) / "ovi" / "navdata";
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) {
    if (error != nullptr) *error = "ovi/navdata: cannot make the folder: " + ec.message();
    return false;
  }
  WorldStats st;
  Positions pos(seed);
  std::mt19937& rng = pos.rng();
  std::uniform_real_distribution<double> u(0.0, 1.0);
  // Each file is written beside the one it replaces, and they all take
  // their places only once every one is whole: a write that fails (a full
  // disk) leaves the data set in the folder as it was, and no part of the
  // new one.
  std::vector<std::unique_ptr<os::FileReplacement>> outputs;
  std::vector<std::string> names;
  // The first failure says why.
  auto failed = [&](std::size_t i) {
    if (error != nullptr && error->empty()) *error = "ovi/navdata/" + names[i] + ": " + outputs[i]->problem().text;
    return false;
  };
  auto open = [&](const char* name) {
    outputs.push_back(std::make_unique<os::FileReplacement>((dir / name).string()));
    names.emplace_back(name);
    if (outputs.back()->file() == nullptr) failed(outputs.size() - 1);
    return outputs.back()->file();
  };
  auto close = [&](std::FILE* file) {
    for (std::size_t i = 0; i < outputs.size(); ++i)
      if (outputs[i]->file() == file) return outputs[i]->Close() || failed(i);
    return false;
  };
  if (error != nullptr) error->clear();

  // navs.txt
  std::FILE* f = open("navs.txt");
  if (f == nullptr) return false;
  std::fprintf(f, ";AIRAC 12-JUN-2024 (16-MAY-2024) 2405\n; synthetic world\n");
  for (int i = 0; i < size.navaids; ++i) {
    double lat, lon;
    pos.Next(lat, lon);
    const bool vor = u(rng) < 0.6;
    if (vor)
      std::fprintf(f, "%s %.5f %.5f V %d %.2f SYNTHETIC VOR %d\n", Letters(static_cast<std::uint64_t>(i), 3, 17576).c_str(),
                   lat, lon, static_cast<int>(u(rng) * 5000), 108.0 + 0.05 * static_cast<int>(u(rng) * 200), i);
    else
      std::fprintf(f, "%s %.5f %.5f N %d %d SYNTHETIC NDB %d\n", Letters(static_cast<std::uint64_t>(i), 2, 676).c_str(), lat,
                   lon, static_cast<int>(u(rng) * 5000), 190 + static_cast<int>(u(rng) * 1500), i);
    ++st.navaids;
  }
  if (!close(f)) return false;

  // apts.txt + apt_additional_info.txt
  f = open("apts.txt");
  std::FILE* info = open("apt_additional_info.txt");
  if (f == nullptr || info == nullptr) return false;
  for (int i = 0; i < size.airports; ++i) {
    double lat, lon;
    pos.Next(lat, lon);
    const std::string ident = Letters(static_cast<std::uint64_t>(i), 4, 456976);
    std::fprintf(f, "A %s %d %.5f %.5f SYNTHETIC AIRPORT %d\n", ident.c_str(), static_cast<int>(u(rng) * 6000), lat, lon, i);
    const int pairs = 1 + static_cast<int>(u(rng) * u(rng) * 4.0);
    for (int p = 0; p < pairs; ++p) {
      const int number = 1 + static_cast<int>(u(rng) * 18);  // 1..18
      const double heading = number * 10.0;
      const int length = 3000 + static_cast<int>(u(rng) * 9000);
      const double half_deg = length * 0.00016458196181698485 / 60.0 / 2.0;
      const double dlat = half_deg * std::cos(heading * kPi / 180.0);
      const double dlon = half_deg * std::sin(heading * kPi / 180.0) / std::max(0.1, std::cos(lat * kPi / 180.0));
      const double off = p * 0.01;
      const bool ils = u(rng) < 0.3;
      char freq[16] = "-";
      if (ils) std::snprintf(freq, sizeof freq, "%.2f", 108.1 + 0.2 * static_cast<int>(u(rng) * 19));
      std::fprintf(f, "R %02d %.5f %.5f %d %.1f - %s ASP\n", number, lat - dlat + off, lon - dlon, length, heading, freq);
      std::fprintf(f, "R %02d %.5f %.5f %d %.1f - - ASP\n", number + 18, lat + dlat + off, lon + dlon, length,
                   heading + 180.0);
      st.runway_lines += 2;
      if (u(rng) < 0.2) std::fprintf(info, "%s %02d R\n", ident.c_str(), number);
    }
    ++st.airports;
  }
  const bool closed = close(f);
  if (!close(info) || !closed) return false;

  // ints.txt
  std::vector<Fix> fixes;
  fixes.reserve(static_cast<std::size_t>(size.intersections));
  f = open("ints.txt");
  if (f == nullptr) return false;
  for (int i = 0; i < size.intersections; ++i) {
    Fix x;
    pos.Next(x.lat, x.lon);
    x.ident = Letters(static_cast<std::uint64_t>(i), 5, 11881376);
    std::fprintf(f, "%s %.5f %.5f\n", x.ident.c_str(), x.lat, x.lon);
    fixes.push_back(std::move(x));
    ++st.intersections;
  }
  if (!close(f)) return false;

  // awys.txt: walks from fix to fix through neighbouring cells.
  f = open("awys.txt");
  if (f == nullptr) return false;
  Grid grid(fixes);
  int airway = 0;
  while (st.airway_lines < size.airway_lines) {
    ++airway;
    char name[16];
    std::snprintf(name, sizeof name, "%c%d", "JVABGLMRUW"[airway % 10], airway);
    int current = static_cast<int>(rng() % fixes.size());
    double course = u(rng) * 360.0;
    const int length = 8 + static_cast<int>(rng() % 30);
    for (int k = 0; k < length && st.airway_lines < size.airway_lines; ++k) {
      const Fix& x = fixes[static_cast<std::size_t>(current)];
      std::fprintf(f, "%s %s %.5f %.5f\n", name, x.ident.c_str(), x.lat, x.lon);
      ++st.airway_lines;
      // The next fix: one in the cell about a degree ahead, else stop.
      course += (u(rng) - 0.5) * 40.0;
      const double nlat = x.lat + std::cos(course * kPi / 180.0);
      const double nlon = x.lon + std::sin(course * kPi / 180.0) / std::max(0.2, std::cos(x.lat * kPi / 180.0));
      if (nlat < -89.0 || nlat > 89.0 || nlon < -179.0 || nlon > 179.0) break;
      const std::vector<int>& cell = grid.At(nlat, nlon);
      if (cell.empty()) break;
      current = cell[rng() % cell.size()];
    }
  }
  if (!close(f)) return false;

  // atc_bdry.txt: rough circles.
  f = open("atc_bdry.txt");
  if (f == nullptr) return false;
  for (int b = 0; b < size.boundaries; ++b) {
    double lat, lon;
    pos.Next(lat, lon);
    const double radius = 1.0 + u(rng) * 4.0;
    std::fprintf(f, "B%05d %s %d %.4f %.4f\n", b, Letters(static_cast<std::uint64_t>(b), 3, 17576).c_str(), size.boundary_points + 1,
                 lat, lon);
    for (int p = 0; p <= size.boundary_points; ++p) {
      const double a = 2.0 * kPi * p / size.boundary_points;
      double plat = std::clamp(lat + radius * std::cos(a), -89.9, 89.9);
      double plon = lon + radius * std::sin(a) / std::max(0.2, std::cos(lat * kPi / 180.0));
      plon = std::fmod(plon + 540.0, 360.0) - 180.0;
      std::fprintf(f, "%.4f %.4f\n", plat, plon);
    }
    ++st.boundaries;
  }
  if (!close(f)) return false;
  for (std::size_t i = 0; i < outputs.size(); ++i)
    if (!outputs[i]->Commit()) return failed(i);
  if (stats != nullptr) *stats = st;
  return true;
}

}  // namespace ovi::navgen
