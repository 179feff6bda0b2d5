#include "platform/gfx/startup.h"

#include <mutex>
#include <set>

#include "platform/gfx/fonts.h"

namespace ovi::gfx {

namespace {
struct Instances {
  std::mutex mu;
  std::set<std::uintptr_t> live;
  std::uintptr_t next = 0x6F76;  // any non-zero start
};
Instances& Inst() {
  static Instances s;
  return s;
}
}  // namespace

Status GdiplusStartup(std::uintptr_t* token) {
  if (token == nullptr) return InvalidParameter;
  detail::EnsureFontConfig();
  Instances& s = Inst();
  std::lock_guard<std::mutex> lock(s.mu);
  std::uintptr_t t = ++s.next;
  if (t == 0) t = ++s.next;
  s.live.insert(t);
  *token = t;
  return Ok;
}

namespace {
Status HookNothing(std::uintptr_t* token) {
  if (token != nullptr) *token = 0;
  return Ok;
}
void UnhookNothing(std::uintptr_t) {}
}  // namespace

Status GdiplusStartup(std::uintptr_t* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
  if (token == nullptr || input == nullptr) return InvalidParameter;
  if (input->GdiplusVersion != 1) return UnsupportedGdiplusVersion;
  if (input->SuppressBackgroundThread) {
    if (output == nullptr) return InvalidParameter;
    output->NotificationHook = HookNothing;
    output->NotificationUnhook = UnhookNothing;
  }
  return GdiplusStartup(token);
}

Status GdiplusShutdown(std::uintptr_t token) {
  Instances& s = Inst();
  std::lock_guard<std::mutex> lock(s.mu);
  return s.live.erase(token) == 1 ? Ok : InvalidParameter;
}

int GdiplusInstances() {
  Instances& s = Inst();
  std::lock_guard<std::mutex> lock(s.mu);
  return static_cast<int>(s.live.size());
}

}  // namespace ovi::gfx
