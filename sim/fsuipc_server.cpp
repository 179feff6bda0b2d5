#include "sim/fsuipc_server.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstring>

#include "platform/ipc/fsuipc_protocol.h"
#include "platform/ipc/ipc.h"
#include "src/util/text.h"

namespace ovi::sim {

namespace {

constexpr double kFullTank = 8388608.0;
constexpr std::uint32_t kCentreTank = 0x0B74, kLeftMain = 0x0B7C, kRightMain = 0x0B94;
constexpr std::uint32_t kZeroFuelWeight = 0x3BFC;
constexpr std::uint32_t kPayloadCount = 0x13FC;
constexpr std::uint32_t kPayloadStations = 0x1400;
constexpr std::uint32_t kPayloadStationStride = 48;
constexpr std::size_t kMaxPayloadStations = 80;
constexpr std::uint32_t kRunwayRequest = 0xD000;
constexpr std::uint32_t kRunwayAirport = 0xD004;
constexpr std::uint32_t kRunwayDepartures = 0xD00C;
constexpr std::uint32_t kRunwayArrivals = 0xD010;
constexpr std::uint32_t kRunwayRequestCode = 0x4BD9;

std::intptr_t WindowProc(void* user, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  return static_cast<FsuipcServer*>(user)->Handle(message, wparam, lparam);
}

bool Overlaps(std::uint32_t offset, std::uint32_t size, std::uint32_t field) {
  return offset < field + 4 && field < offset + size;
}

}  // namespace

bool ParseRunway(const std::string& text, std::uint8_t& number, std::uint8_t& code) {
  if (text.size() < 1 || text.size() > 3) return false;
  std::size_t digits = 0;
  while (digits < text.size() && digits < 2 && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
  if (digits == 0) return false;
  int n = std::stoi(text.substr(0, digits));
  if (n < 1 || n > 36) return false;
  code = 0;
  if (digits < text.size()) {
    if (digits + 1 != text.size()) return false;
    static const char kLetters[] = "LRCW";
    const char* p = std::strchr(kLetters, std::toupper(static_cast<unsigned char>(text[digits])));
    if (p == nullptr || *p == '\0') return false;
    code = static_cast<std::uint8_t>(p - kLetters + 1);
  }
  number = static_cast<std::uint8_t>(n);
  return true;
}

FsuipcServer::FsuipcServer(AircraftState& aircraft) : aircraft_(aircraft), memory_(ipc::kFsuipcMemorySize, 0) {}

FsuipcServer::~FsuipcServer() { Stop(); }

bool FsuipcServer::Start() {
  if (window_ != 0) return true;
  window_ = ipc::RegisterWindow(ipc::kFsuipcWindowClass, WindowProc, this);
  return window_ != 0;
}

void FsuipcServer::Stop() {
  if (window_ != 0) ipc::UnregisterWindow(window_);
  window_ = 0;
}

void FsuipcServer::SetAiRunways(const std::string& airport, const AiRunways& runways) {
  runways_[util::ToUpper(airport)] = runways;
}

std::uint32_t FsuipcServer::ReadU32(std::uint32_t offset) const {
  std::uint32_t v = 0;
  if (offset <= memory_.size() - 4) std::memcpy(&v, memory_.data() + offset, 4);
  return v;
}

std::intptr_t FsuipcServer::Handle(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  if (message == ipc::kFsuipcMsgVersion) return ipc::kFsuipcSimFs2004;
  if (message != ipc::kFsuipcMsgProcess) return 0;
  ++batches_;
  auto* area = reinterpret_cast<std::uint8_t*>(wparam);
  bool ok = area != nullptr && lparam > 0 && Process(area, static_cast<std::size_t>(lparam));
  if (!ok) ++refused_;
  return ok ? 1 : 0;
}

void FsuipcServer::LoadFromAircraft() {
  auto put32 = [&](std::uint32_t offset, std::uint32_t v) { std::memcpy(memory_.data() + offset, &v, 4); };
  auto level = [](double gallons, double capacity) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(gallons / capacity, 0.0, 1.0) * kFullTank));
  };
  put32(kCentreTank, level(aircraft_.fuel_centre, kCentreTankGallons));
  put32(kLeftMain, level(aircraft_.fuel_left, kMainTankGallons));
  put32(kRightMain, level(aircraft_.fuel_right, kMainTankGallons));
  put32(kZeroFuelWeight, static_cast<std::uint32_t>(std::lround(aircraft_.zero_fuel_weight * 256.0)));
  if (payload_stations_.empty()) {
    put32(kPayloadCount, aircraft_.payload > 0.0 ? 1u : 0u);
    std::memcpy(memory_.data() + kPayloadStations, &aircraft_.payload, sizeof(double));
  } else {
    // At most as many stations as fit below the next offsets in use.
    const std::size_t n = std::min<std::size_t>(payload_stations_.size(), kMaxPayloadStations);
    put32(kPayloadCount, static_cast<std::uint32_t>(payload_stations_.size()));
    for (std::size_t i = 0; i < n; ++i)
      std::memcpy(memory_.data() + kPayloadStations + kPayloadStationStride * i, &payload_stations_[i], sizeof(double));
  }
}

// Checks every record first; applies them in order only when all are sound.
bool FsuipcServer::Process(std::uint8_t* area, std::size_t length) {
  struct Span {
    std::size_t at;
    ipc::FsuipcRecord record;
  };
  std::vector<Span> records;
  std::size_t at = 0;
  for (;;) {
    if (length < 4 || at > length - 4) return false;
    std::uint32_t kind = 0;
    std::memcpy(&kind, area + at, 4);
    if (kind == ipc::kFsuipcRecordEnd) break;
    if (at + sizeof(ipc::FsuipcRecord) > length) return false;
    ipc::FsuipcRecord r;
    std::memcpy(&r, area + at, sizeof r);
    if (r.kind != ipc::kFsuipcRecordRead && r.kind != ipc::kFsuipcRecordWrite) return false;
    if (r.size > ipc::kFsuipcMemorySize || r.offset > ipc::kFsuipcMemorySize - r.size) return false;
    std::size_t data = at + sizeof r;
    if (ipc::FsuipcPadded(r.size) > length - data) return false;
    records.push_back(Span{data, r});
    at = data + ipc::FsuipcPadded(r.size);
  }
  LoadFromAircraft();
  bool tanks[3] = {false, false, false};
  for (const Span& s : records) {
    const ipc::FsuipcRecord& r = s.record;
    if (r.kind == ipc::kFsuipcRecordRead) {
      std::memcpy(area + s.at, memory_.data() + r.offset, r.size);
      continue;
    }
    std::memcpy(memory_.data() + r.offset, area + s.at, r.size);
    tanks[0] |= Overlaps(r.offset, r.size, kCentreTank);
    tanks[1] |= Overlaps(r.offset, r.size, kLeftMain);
    tanks[2] |= Overlaps(r.offset, r.size, kRightMain);
    if (Overlaps(r.offset, r.size, kRunwayRequest) || Overlaps(r.offset, r.size, kRunwayAirport)) AnswerRunwayRequest();
  }
  auto gallons = [&](std::uint32_t offset, double capacity) {
    return std::min(static_cast<double>(ReadU32(offset)), kFullTank) / kFullTank * capacity;
  };
  if (tanks[0]) aircraft_.fuel_centre = gallons(kCentreTank, kCentreTankGallons);
  if (tanks[1]) aircraft_.fuel_left = gallons(kLeftMain, kMainTankGallons);
  if (tanks[2]) aircraft_.fuel_right = gallons(kRightMain, kMainTankGallons);
  return true;
}

// The active-runway provider: while the request code stands, the runways in
// use at the airport asked for (none when it is not known).
void FsuipcServer::AnswerRunwayRequest() {
  if (ReadU32(kRunwayRequest) != kRunwayRequestCode) return;
  char ident[5] = {};
  std::memcpy(ident, memory_.data() + kRunwayAirport, 4);
  auto it = runways_.find(util::ToUpper(ident));
  AiRunways answer = it != runways_.end() ? it->second : AiRunways{};
  std::memcpy(memory_.data() + kRunwayDepartures, answer.departures.data(), 4);
  std::memcpy(memory_.data() + kRunwayArrivals, answer.arrivals.data(), 4);
}

}  // namespace ovi::sim
