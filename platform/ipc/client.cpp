#include <dlfcn.h>

#include "platform/ipc/ipc.h"

namespace ovi::ipc {

namespace {

// Looked up at every use: the host may come and go (tests), and the lookup
// is cheap next to a message.
const OviIpcTable* Table() {
  void* symbol = ::dlsym(RTLD_DEFAULT, kOviIpcTableSymbol);
  if (symbol == nullptr) return nullptr;
  auto entry = reinterpret_cast<const OviIpcTable* (*)()>(symbol);
  const OviIpcTable* table = entry();
  if (table == nullptr || table->version != kOviIpcVersion || table->find_window == nullptr ||
      table->send_message == nullptr)
    return nullptr;
  return table;
}

}  // namespace

std::uintptr_t FindWindowByClass(const char* class_name) {
  const OviIpcTable* t = Table();
  return t != nullptr && class_name != nullptr ? t->find_window(class_name) : 0;
}

std::intptr_t SendWindowMessage(std::uintptr_t window, std::uint32_t message, std::uintptr_t wparam,
                                std::intptr_t lparam) {
  const OviIpcTable* t = Table();
  return t != nullptr ? t->send_message(window, message, wparam, lparam) : 0;
}

}  // namespace ovi::ipc
