#include "src/model/state.h"

#include <utility>

#include "src/model/bad_lines.h"
#include "src/util/text.h"

namespace ovi::model {

State model_state;

namespace {
StatusTextCapture* capture = nullptr;
}  // namespace

StatusTextCapture::StatusTextCapture() : outer_(capture) { capture = this; }

StatusTextCapture::~StatusTextCapture() { capture = outer_; }

void AddStatusMessage(std::string text) {
  if (capture != nullptr) {
    capture->texts_.push_back(std::move(text));
    return;
  }
  State& s = model_state;
  if (s.StatusMessageCount < kMaxStatusMessages - 1) {
    ++s.StatusMessageCount;
    s.StatusMessageLog[s.StatusMessageCount] = std::move(text);
    return;
  }
  // A load may have lowered the count since the log was last full.
  s.StatusMessagesDropped = s.StatusMessageCount == kMaxStatusMessages ? s.StatusMessagesDropped + 1 : 1;
  s.StatusMessageCount = kMaxStatusMessages;
  s.StatusMessageLog[kMaxStatusMessages] =
      util::Format("status log full, %d %s dropped", s.StatusMessagesDropped,
                   s.StatusMessagesDropped == 1 ? "text" : "texts");
}

void BadLineReport::Post(std::string_view ending) const {
  if (count_ == 0) return;
  std::string text = util::Format("%s: bad line %lld", file_name_.c_str(), static_cast<long long>(first_line_));
  if (!why_.empty()) text += " (" + why_ + ")";
  if (count_ > 1) text += util::Format(" and %d more", count_ - 1);
  if (!ending.empty()) text += " " + std::string(ending);
  AddStatusMessage(std::move(text));
}

int CountStatusMessages(std::string_view containing) {
  const State& s = model_state;
  int n = 0;
  for (int i = 1; i <= s.StatusMessageCount; ++i) {
    if (s.StatusMessageLog[i].find(containing) != std::string::npos) ++n;
  }
  return n;
}

}  // namespace ovi::model
