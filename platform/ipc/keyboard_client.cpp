#include <dlfcn.h>

#include "platform/ipc/keyboard.h"

namespace ovi::ipc {

namespace {

// What a process without a keyboard stand-in answers: nothing is found,
// nothing can be created, every hook call fails.
std::uintptr_t NoModule(const char*) { return 0; }
std::int32_t NoInput(std::uintptr_t, std::uint32_t, std::uintptr_t* out) {
  if (out != nullptr) *out = 0;
  return kInputFailed;
}
std::int32_t NoKeyboard(std::uintptr_t, std::uintptr_t* out) {
  if (out != nullptr) *out = 0;
  return kInputFailed;
}
std::int32_t NoFormat(std::uintptr_t, std::uint32_t) { return kInputFailed; }
std::int32_t NoLevel(std::uintptr_t, std::uintptr_t, std::uint32_t) { return kInputFailed; }
std::int32_t NoDevice(std::uintptr_t) { return kInputFailed; }
std::int32_t NoState(std::uintptr_t, std::uint32_t, void*) { return kInputFailed; }
void NoRelease(std::uintptr_t) {}
std::uintptr_t NoHook(std::int32_t, OviKeyboardHookProc, std::uintptr_t, std::uint32_t) { return 0; }
std::int32_t NoUnhook(std::uintptr_t) { return 0; }
std::intptr_t NoNext(std::uintptr_t, std::int32_t, std::uintptr_t, std::intptr_t) { return 0; }
std::int16_t NoKeyState(std::int32_t) { return 0; }
std::uint32_t NoThread() { return 0; }

const OviKeyboardTable kAbsent = {kOviKeyboardVersion, NoModule, NoInput, NoKeyboard, NoFormat, NoLevel,
                                  NoDevice, NoDevice, NoState, NoRelease, NoHook, NoUnhook, NoNext, NoKeyState,
                                  NoThread};

bool Complete(const OviKeyboardTable* t) {
  return t != nullptr && t->version == kOviKeyboardVersion && t->module_handle && t->create_input &&
         t->create_keyboard && t->set_data_format && t->set_cooperative_level && t->acquire && t->unacquire &&
         t->get_state && t->release && t->set_hook && t->unhook && t->call_next_hook && t->key_state &&
         t->current_thread;
}

}  // namespace

// Looked up at every use, as the window registry is: the host may come and go.
const OviKeyboardTable& Keyboard() {
  void* symbol = ::dlsym(RTLD_DEFAULT, kOviKeyboardTableSymbol);
  if (symbol == nullptr) return kAbsent;
  const OviKeyboardTable* t = reinterpret_cast<const OviKeyboardTable* (*)()>(symbol)();
  return Complete(t) ? *t : kAbsent;
}

}  // namespace ovi::ipc
