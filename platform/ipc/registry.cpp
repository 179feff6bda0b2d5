#include <cstring>

#include "platform/ipc/ipc.h"

namespace ovi::ipc {

namespace {

struct Window {
  std::uintptr_t handle = 0;
  char class_name[kMaxWindowClassName + 1] = {};
  OviWindowProc proc = nullptr;
  void* user = nullptr;
};

Window g_windows[kMaxWindows];
std::uintptr_t g_next_handle = 0x100;

Window* Find(std::uintptr_t handle) {
  if (handle == 0) return nullptr;
  for (Window& w : g_windows)
    if (w.handle == handle) return &w;
  return nullptr;
}

std::uintptr_t TableFindWindow(const char* class_name) {
  if (class_name == nullptr) return 0;
  for (const Window& w : g_windows) {
    if (w.handle != 0 && std::strncmp(w.class_name, class_name, kMaxWindowClassName + 1) == 0) return w.handle;
  }
  return 0;
}

std::intptr_t TableSendMessage(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) {
  Window* w = Find(window);
  if (w == nullptr) return 0;
  // A handler may unregister its own window while it runs: call a copy.
  OviWindowProc proc = w->proc;
  void* user = w->user;
  return proc(user, message, wparam, lparam);
}

const OviIpcTable g_table = {kOviIpcVersion, TableFindWindow, TableSendMessage};

}  // namespace

std::uintptr_t RegisterWindow(const char* class_name, OviWindowProc proc, void* user) {
  if (class_name == nullptr || proc == nullptr) return 0;
  std::size_t n = strnlen(class_name, kMaxWindowClassName + 1);
  if (n == 0 || n > kMaxWindowClassName || TableFindWindow(class_name) != 0) return 0;
  for (Window& w : g_windows) {
    if (w.handle != 0) continue;
    w.handle = g_next_handle++;
    std::memcpy(w.class_name, class_name, n);
    w.class_name[n] = '\0';
    w.proc = proc;
    w.user = user;
    return w.handle;
  }
  return 0;
}

void UnregisterWindow(std::uintptr_t window) {
  if (Window* w = Find(window)) *w = Window{};
}

}  // namespace ovi::ipc

extern "C" __attribute__((visibility("default"))) const OviIpcTable* ovi_ipc_table(void) {
  return &ovi::ipc::g_table;
}
