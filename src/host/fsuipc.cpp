#include "src/host/fsuipc.h"

#include <cstring>
#include <vector>

#include "platform/ipc/fsuipc_protocol.h"
#include "platform/ipc/ipc.h"
#include "src/host/state.h"

namespace ovi::host {

namespace {

FsuipcLinkState& Link() { return host_state.FsuipcLink; }

std::int32_t Fail(std::uint32_t* result, std::uint32_t code) {
  if (result != nullptr) *result = code;
  return 0;
}

std::int32_t Succeed(std::uint32_t* result) {
  if (result != nullptr) *result = kFsuipcOk;
  return 1;
}

// Appends one record; the end mark must still fit after it.
std::int32_t Queue(std::uint32_t kind, std::uint32_t offset, std::uint32_t size, const void* source,
                   void* destination, std::uint32_t* result) {
  FsuipcLinkState& link = Link();
  if (!link.Open) return Fail(result, kFsuipcNotOpen);
  if (size > 0 && source == nullptr && destination == nullptr) return Fail(result, kFsuipcAreaSize);
  const std::uint64_t need = sizeof(ipc::FsuipcRecord) + ((static_cast<std::uint64_t>(size) + 3u) & ~std::uint64_t{3}) +
                             sizeof(std::uint32_t);
  if (need > static_cast<std::uint64_t>(link.AreaSize) - link.Used) return Fail(result, kFsuipcAreaSize);
  ipc::FsuipcRecord record{kind, offset, size, 0, reinterpret_cast<std::uintptr_t>(destination)};
  std::uint8_t* at = link.Area + link.Used;
  std::memcpy(at, &record, sizeof record);
  std::uint32_t padded = ipc::FsuipcPadded(size);
  if (source != nullptr) {
    std::memcpy(at + sizeof record, source, size);
    std::memset(at + sizeof record + size, 0, padded - size);
  } else {
    std::memset(at + sizeof record, 0, padded);
  }
  link.Used += static_cast<std::uint32_t>(sizeof record) + padded;
  return Succeed(result);
}

}  // namespace

std::int32_t FsuipcOpen(std::uint32_t simulator, std::uint32_t* result, void* area, std::uint32_t area_size) {
  FsuipcLinkState& link = Link();
  if (link.Open) return Fail(result, kFsuipcAlreadyOpen);
  std::uintptr_t window = ipc::FindWindowByClass(ipc::kFsuipcWindowClass);
  if (window == 0) return Fail(result, kFsuipcNoServer);
  if (area == nullptr || area_size < kFsuipcMinArea) return Fail(result, kFsuipcAreaSize);
  auto served = static_cast<std::uint32_t>(ipc::SendWindowMessage(window, ipc::kFsuipcMsgVersion, 0, 0));
  if (served == 0) return Fail(result, kFsuipcVersion);
  if (simulator != 0 && simulator != served) return Fail(result, kFsuipcWrongSimulator);
  link.Open = true;
  link.Window = window;
  link.Area = static_cast<std::uint8_t*>(area);
  link.AreaSize = area_size < kFsuipcMaxArea ? area_size : kFsuipcMaxArea;
  link.Used = 0;
  return Succeed(result);
}

std::int32_t FsuipcWrite(std::uint32_t offset, std::uint32_t size, const void* source, std::uint32_t* result) {
  if (Link().Open && size > 0 && source == nullptr) return Fail(result, kFsuipcAreaSize);
  return Queue(ipc::kFsuipcRecordWrite, offset, size, source, nullptr, result);
}

std::int32_t FsuipcRead(std::uint32_t offset, std::uint32_t size, void* destination, std::uint32_t* result) {
  if (Link().Open && size > 0 && destination == nullptr) return Fail(result, kFsuipcAreaSize);
  return Queue(ipc::kFsuipcRecordRead, offset, size, nullptr, destination, result);
}

std::int32_t FsuipcProcess(std::uint32_t* result) {
  FsuipcLinkState& link = Link();
  if (!link.Open) return Fail(result, kFsuipcNotOpen);
  if (link.Used == 0) return Fail(result, kFsuipcNothingQueued);
  const std::uint32_t end = ipc::kFsuipcRecordEnd;
  std::memcpy(link.Area + link.Used, &end, sizeof end);
  const std::uint32_t length = link.Used + static_cast<std::uint32_t>(sizeof end);
  const std::uint32_t queued = link.Used;
  link.Used = 0;
  // The record headers as we wrote them: the answer is walked by these, so
  // whatever the server leaves in the area cannot steer a copy.
  std::vector<std::uint8_t> sent(link.Area, link.Area + queued);
  std::intptr_t accepted = ipc::SendWindowMessage(link.Window, ipc::kFsuipcMsgProcess,
                                                  reinterpret_cast<std::uintptr_t>(link.Area), length);
  if (accepted != 1) return Fail(result, kFsuipcNotAccepted);
  // Copy each read's answer to where its caller wants it.
  for (std::uint32_t at = 0; at < queued;) {
    ipc::FsuipcRecord record;
    std::memcpy(&record, sent.data() + at, sizeof record);
    at += static_cast<std::uint32_t>(sizeof record);
    if (record.kind == ipc::kFsuipcRecordRead && record.size > 0 && record.destination != 0)
      std::memcpy(reinterpret_cast<void*>(static_cast<std::uintptr_t>(record.destination)), link.Area + at, record.size);
    at += ipc::FsuipcPadded(record.size);
  }
  return Succeed(result);
}

void FsuipcClose() { Link() = FsuipcLinkState{}; }

}  // namespace ovi::host
