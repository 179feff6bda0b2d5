// A process-wide registry of message "windows" found by class name, with a
// synchronous send call: the stand-in for the window messages the FSUIPC
// server is reached through. The host owns the registry; the gauge module is
// a separate shared library and reaches it only through the one C entry the
// host executable exports (`ovi_ipc_table`), which the module looks up at
// run time. Without a host that exports it, no window is ever found.
#pragma once

#include <cstdint>

extern "C" {

// A window's message handler: (its registration's user pointer, message,
// two message words) -> the message's result.
typedef std::intptr_t (*OviWindowProc)(void* user, std::uint32_t message, std::uintptr_t wparam,
                                       std::intptr_t lparam);

struct OviIpcTable {
  std::uint32_t version;  // kOviIpcVersion
  // The window registered under that class name (compared exactly), 0 = none.
  std::uintptr_t (*find_window)(const char* class_name);
  // Calls the window's handler at once and returns its result; 0 when the
  // window does not exist (any more).
  std::intptr_t (*send_message)(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
                                std::intptr_t lparam);
};

// Exported by the host executable (platform/ipc/registry.cpp).
const OviIpcTable* ovi_ipc_table(void);

}  // extern "C"

namespace ovi::ipc {

constexpr std::uint32_t kOviIpcVersion = 1;
constexpr const char* kOviIpcTableSymbol = "ovi_ipc_table";
constexpr std::size_t kMaxWindowClassName = 63;
constexpr int kMaxWindows = 64;

// --- Host side (ovi_ipc_registry) ------------------------------------------
// Registers a window; 0 when the name is null, empty or too long, the class
// is taken, the handler is null or the registry is full. Handles are never
// reused.
std::uintptr_t RegisterWindow(const char* class_name, OviWindowProc proc, void* user);
void UnregisterWindow(std::uintptr_t window);

// --- Module side (ovi_ipc_client) -------------------------------------------
// Through the host's exported table; 0 when the host exports none.
std::uintptr_t FindWindowByClass(const char* class_name);
std::intptr_t SendWindowMessage(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
                                std::intptr_t lparam);

}  // namespace ovi::ipc
