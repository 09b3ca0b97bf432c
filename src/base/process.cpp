#include "base/process.h"

#include <cstdio>

#include "base/encoding.h"

namespace nova {
namespace {
bool gQuitting = false;
bool gCloseRequested = false;
MessageBoxHook gBoxHook;
CloseHook gCloseHook;
std::string gTitle;
TFrameClock gClock;
}  // namespace

TFrameClock& FrameClock() { return gClock; }

bool Quitting() { return gQuitting; }
void SetQuitting(bool on) { gQuitting = on; }

void PostCloseRequest() {
  gCloseRequested = true;
  if (gCloseHook) gCloseHook();
}
bool CloseRequested() { return gCloseRequested; }
void ClearCloseRequest() { gCloseRequested = false; }

MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons, MsgIcon icon) {
  if (gBoxHook) return gBoxHook(text, caption, buttons, icon);
  std::fprintf(stderr, "[%s] %s\n", SjisToUtf8(caption).c_str(), SjisToUtf8(text).c_str());
  return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
}

void SetMessageBoxHook(MessageBoxHook hook) { gBoxHook = std::move(hook); }
void SetCloseHook(CloseHook hook) { gCloseHook = std::move(hook); }

const std::string& ApplicationTitle() { return gTitle; }
void SetApplicationTitle(const std::string& title) { gTitle = title; }

}  // namespace nova
