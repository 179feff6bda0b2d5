// What travels between the module's FSUIPC client and the server window of
// class "UIPCMAIN": two messages and the layout of the request area. Both
// sides include this header; nothing else of the real server is assumed.
//
// Request area: records one after the other, each a FsuipcRecord header
// followed by its data (the bytes to write, or room for the bytes read),
// padded to 4 bytes; a kind word of 0 ends the list. The client sends the
// area's address in wparam and the length in use (terminator included) in
// lparam; the server checks every record before it applies any, applies them
// in order and answers 1, or answers 0 and changes nothing.
#pragma once

#include <cstdint>

namespace ovi::ipc {

constexpr const char* kFsuipcWindowClass = "UIPCMAIN";

// Messages.
constexpr std::uint32_t kFsuipcMsgVersion = 0x0401;  // -> the server's simulator code (0 = unknown)
constexpr std::uint32_t kFsuipcMsgProcess = 0x0402;  // -> 1 accepted, 0 refused

// Simulator codes the server answers the version message with, and a client
// may ask for (0 = any).
constexpr std::uint32_t kFsuipcSimFs2004 = 7;
constexpr std::uint32_t kFsuipcSimFsx = 8;

// Record kinds.
constexpr std::uint32_t kFsuipcRecordEnd = 0;
constexpr std::uint32_t kFsuipcRecordRead = 1;
constexpr std::uint32_t kFsuipcRecordWrite = 2;

struct FsuipcRecord {
  std::uint32_t kind;
  std::uint32_t offset;
  std::uint32_t size;
  std::uint32_t reserved;
  std::uint64_t destination;  // the client's: where a read's bytes go; the server ignores it
};
static_assert(sizeof(FsuipcRecord) == 24);

// The offset space the server keeps: 0x0000 .. 0xFFFF.
constexpr std::uint32_t kFsuipcMemorySize = 0x10000;

constexpr std::uint32_t FsuipcPadded(std::uint32_t size) { return (size + 3u) & ~3u; }

}  // namespace ovi::ipc
