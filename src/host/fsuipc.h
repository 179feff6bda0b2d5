// The FSUIPC client: one link at a time to the server window of class
// "UIPCMAIN", a caller-owned request area that queues reads and writes, and
// one synchronous message that sends the whole batch. Every user opens,
// queues, processes and closes within one call.
#pragma once

#include <cstdint>

namespace ovi::host {

// Result codes.
constexpr std::uint32_t kFsuipcOk = 0;
constexpr std::uint32_t kFsuipcAlreadyOpen = 1;
constexpr std::uint32_t kFsuipcNoServer = 2;
constexpr std::uint32_t kFsuipcVersion = 7;        // the server does not say which simulator it serves
constexpr std::uint32_t kFsuipcWrongSimulator = 8;  // it serves another simulator than asked for
constexpr std::uint32_t kFsuipcNotOpen = 9;
constexpr std::uint32_t kFsuipcNothingQueued = 10;
constexpr std::uint32_t kFsuipcNotAccepted = 13;
constexpr std::uint32_t kFsuipcAreaSize = 15;  // area too small, or full

// At most this much of a request area is used.
constexpr std::uint32_t kFsuipcMaxArea = 32512;
// The smallest area that holds one 4-byte request and the end mark.
constexpr std::uint32_t kFsuipcMinArea = 32;
// The area every caller of the module uses.
constexpr std::uint32_t kFsuipcCallerArea = 1024;

// Opens the link: finds the server, takes the area (at most kFsuipcMaxArea
// bytes of it) and asks the server which simulator it serves (`simulator`
// 0 = any). Non-zero when open; `result` (when not null) gets the code.
std::int32_t FsuipcOpen(std::uint32_t simulator, std::uint32_t* result, void* area, std::uint32_t area_size);
// Queue one write / read of `size` bytes at `offset`; 1, or 0 with
// kFsuipcNotOpen or kFsuipcAreaSize (a request that does not fit, or a null
// pointer, is refused and nothing is queued).
std::int32_t FsuipcWrite(std::uint32_t offset, std::uint32_t size, const void* source, std::uint32_t* result);
std::int32_t FsuipcRead(std::uint32_t offset, std::uint32_t size, void* destination, std::uint32_t* result);
// Sends the queue in one message; the reads' destinations are filled when
// the server accepts it. 1, or 0 with kFsuipcNotOpen, kFsuipcNothingQueued
// or kFsuipcNotAccepted. The queue is empty afterwards in every case.
std::int32_t FsuipcProcess(std::uint32_t* result);
// Forgets the server window and the area.
void FsuipcClose();

}  // namespace ovi::host
