#include <cstdio>

#include "base/encoding.h"
#include "platform/dialogs.h"

namespace nova {

MsgResult DefaultAnswer(MsgButtons buttons) {
  return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
}

MsgResult THeadlessDialogs::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                       MsgIcon) {
  std::fprintf(stderr, "[%s] %s\n", SjisToUtf8(caption).c_str(), SjisToUtf8(text).c_str());
  return DefaultAnswer(buttons);
}

}  // namespace nova
