#pragma once
// Dialogs for tests: every message box is recorded as "caption|text" (UTF-8) and answered by
// a function of the box (by default its first button); choice boxes are dismissed.
#include <functional>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "platform/dialogs.h"

namespace nova::test {

class RecordingDialogs : public TDialogs {
public:
  using Answer = std::function<MsgResult(const std::string& utf8Text, MsgButtons buttons)>;
  explicit RecordingDialogs(Answer answer = {}) : answer_(std::move(answer)) {}
  void SetAnswer(Answer answer) { answer_ = std::move(answer); }

  MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon) override {
    std::string utf8 = SjisToUtf8(text);
    Boxes.push_back(SjisToUtf8(caption) + "|" + utf8);
    if (answer_) return answer_(utf8, buttons);
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
  }
  int ChoiceBox(const std::string&, const std::string&, const std::vector<std::string>&) override { return -1; }

  std::vector<std::string> Boxes;

private:
  Answer answer_;
};

}  // namespace nova::test
