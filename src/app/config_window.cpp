#include "app/config_window.h"

#include <algorithm>
#include <array>

#include "app/view.h"
#include "base/encoding.h"
#include "base/process.h"

namespace nova {
namespace {

constexpr uint32_t kFace = 0xF0F0F0, kText = 0x000000, kGrey = 0x6D6D6D, kShadow = 0xA0A0A0, kLight = 0xFFFFFF;
constexpr uint32_t kBoxEdge = 0x333333, kButton = 0xE1E1E1, kButtonEdge = 0xADADAD, kAccent = 0x0078D7;
constexpr uint32_t kPressed = 0xCCE4F7, kChannel = 0xE7EAEA, kChannelEdge = 0xD6D6D6;
constexpr int kTextHeight = 16;  // a line of the 12-pixel face

void Fill(TPicture& p, const TRect& r, uint32_t colour) {
  const TRect c = Intersect(r, TRect{0, 0, p.Width, p.Height});
  for (int y = c.Top; y < c.Bottom; ++y) std::fill(p.Row(y) + c.Left, p.Row(y) + c.Right, colour);
}

void Frame(TPicture& p, const TRect& r, uint32_t colour) {
  Fill(p, TRect{r.Left, r.Top, r.Right, r.Top + 1}, colour);
  Fill(p, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, colour);
  Fill(p, TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, colour);
  Fill(p, TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, colour);
}

// The dotted frame of the focused control.
void FocusFrame(TPicture& p, const TRect& r) {
  for (int x = r.Left; x < r.Right; x += 2) {
    Fill(p, TRect::FromSize(x, r.Top, 1, 1), kText);
    Fill(p, TRect::FromSize(x, r.Bottom - 1, 1, 1), kText);
  }
  for (int y = r.Top; y < r.Bottom; y += 2) {
    Fill(p, TRect::FromSize(r.Left, y, 1, 1), kText);
    Fill(p, TRect::FromSize(r.Right - 1, y, 1, 1), kText);
  }
}

// A caption at (x, y), "&" marking the underlined accelerator; returns its width.
int Caption(TPicture& p, TCaptionFont* font, int x, int y, const std::string& marked, uint32_t colour) {
  if (!font) return 0;
  std::string text = marked, before;
  size_t amp = marked.find('&');
  if (amp != std::string::npos) {
    text = marked.substr(0, amp) + marked.substr(amp + 1);
    before = marked.substr(0, amp);
  }
  const int width = font->TextWidth(text);
  font->DrawCentred(p, TRect::FromSize(x, y, width, kTextHeight), text, colour);
  if (amp != std::string::npos && amp + 1 < marked.size()) {
    const int from = x + font->TextWidth(before);
    const int w = font->TextWidth(marked.substr(amp + 1, 1));
    Fill(p, TRect::FromSize(from, y + kTextHeight - 2, w, 1), colour);
  }
  return width;
}

void Button(TPicture& p, TCaptionFont* font, const TFormConfig& form, ConfigControl which, const char* caption) {
  const TRect r = TFormConfig::ControlRect(which);
  const bool focused = form.Focus() == which;
  // The default button (OK) carries the accent unless another button has the focus.
  const bool accent = focused || (which == ConfigControl::Ok && form.Focus() != ConfigControl::Cancel);
  Fill(p, r, form.ButtonDown(which) ? kPressed : kButton);
  Frame(p, r, accent ? kAccent : kButtonEdge);
  if (font) font->DrawCentred(p, r, caption, kText);
  if (focused) FocusFrame(p, TRect{r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3});
}

void CheckBox(TPicture& p, TCaptionFont* font, const TFormConfig& form) {
  const TRect r = TFormConfig::ControlRect(ConfigControl::CheckSound);
  const TRect box = TRect::FromSize(r.Left, r.Top + 2, 13, 13);
  Fill(p, box, kLight);
  Frame(p, box, kBoxEdge);
  if (form.CheckSound()) {
    // A tick: down from the left, then up to the right.
    static constexpr std::array<std::array<int, 2>, 7> kTick{{{3, 6}, {4, 7}, {5, 8}, {6, 7}, {7, 6}, {8, 5}, {9, 4}}};
    for (const auto& [dx, dy] : kTick) Fill(p, TRect::FromSize(box.Left + dx, box.Top + dy, 1, 2), kText);
  }
  const int width = Caption(p, font, r.Left + 17, r.Top, CheckSoundCaption(), kText);
  if (form.Focus() == ConfigControl::CheckSound)
    FocusFrame(p, TRect::FromSize(r.Left + 15, r.Top, std::max(width, 8) + 4, kTextHeight + 1));
}

void TrackBar(TPicture& p, const TFormConfig& form) {
  const TRect r = TFormConfig::ControlRect(ConfigControl::TrackBuff);
  const bool enabled = form.DelayEnabled();
  const int left = TFormConfig::ChannelLeft(), right = TFormConfig::ChannelRight();
  const TRect channel{left - 2, r.Top + 14, right + 3, r.Top + 18};
  Fill(p, channel, kChannel);
  Frame(p, channel, kChannelEdge);
  for (int pos = TFormConfig::kMinPosition; pos <= TFormConfig::kMaxPosition; ++pos)
    Fill(p, TRect::FromSize(TFormConfig::ThumbCentre(pos), r.Top + 30, 1, 4), enabled ? kText : kShadow);
  const int x = TFormConfig::ThumbCentre(form.Position());
  const TRect thumb{x - 5, r.Top + 6, x + 6, r.Top + 27};
  Fill(p, thumb, enabled ? (form.ButtonDown(ConfigControl::TrackBuff) ? kPressed : kAccent) : kChannelEdge);
  if (form.Focus() == ConfigControl::TrackBuff) FocusFrame(p, TRect{r.Left, r.Top, r.Right, r.Top + 38});
}

}  // namespace

void DrawFormConfig(const TFormConfig& form, TPicture& picture, TCaptionFont* font) {
  picture.Resize(TFormConfig::kClientWidth, TFormConfig::kClientHeight, kFace);
  // The bevel: an etched frame.
  const TRect bevel = TFormConfig::BevelRect();
  Frame(picture, TRect{bevel.Left + 1, bevel.Top + 1, bevel.Right, bevel.Bottom}, kLight);
  Frame(picture, TRect{bevel.Left, bevel.Top, bevel.Right - 1, bevel.Bottom - 1}, kShadow);
  CheckBox(picture, font, form);
  const uint32_t delayColour = form.DelayEnabled() ? kText : kGrey;
  Caption(picture, font, 28, 56, LabelBuffCaption(), delayColour);
  if (font) {
    // Right-aligned: its right edge stays where the widest value ("500ms") ends.
    const int right = 173 + font->TextWidth("500ms");
    const std::string text = form.DelayText();
    Caption(picture, font, right - font->TextWidth(text), 56, text, delayColour);
  }
  TrackBar(picture, form);
  Button(picture, font, form, ConfigControl::Ok, OkCaption());
  Button(picture, font, form, ConfigControl::Cancel, CancelCaption());
}

void RunFormConfig(TFormConfig& form, TPlatform& platform, const std::vector<TScriptedEvent>& script) {
  SetApplicationTitle(Utf8ToSjis(ConfigCaption()));
  std::unique_ptr<TPlatformWindow> window =
      platform.CreateWindow(TFormConfig::kClientWidth, TFormConfig::kClientHeight);
  window->SetCaption(ConfigCaption());
  const TRect at = CentreIn(window->UsableArea(), TFormConfig::kClientWidth, TFormConfig::kClientHeight);
  window->MoveTo(at.Left, at.Top);
  std::unique_ptr<TCaptionFont> font = platform.Headless() ? nullptr : platform.OpenCaptionFont(12);
  TPicture picture;
  auto present = [&] {
    DrawFormConfig(form, picture, font.get());
    const TRect all{0, 0, picture.Width, picture.Height};
    window->Present(picture, std::span<const TRect>(&all, 1));
  };
  window->Show();
  present();
  TPoint mouse{-1, -1};
  for (const TScriptedEvent& s : script) {
    if (!form.IsOpen()) break;
    form.HandleEvent(ScriptedInputEvent(s, mouse));
    present();
  }
  if (platform.Headless()) {
    if (form.IsOpen()) form.Ok();  // nobody to answer: the default button
    return;
  }
  while (form.IsOpen() && !Quitting()) {
    window->WaitEvent(100);
    TInputEvent event;
    bool changed = false;
    while (form.IsOpen() && window->PollEvent(event)) {
      form.HandleEvent(event);
      changed = true;
    }
    if (CloseRequested()) form.Cancel();
    if (changed && form.IsOpen()) present();
  }
}

}  // namespace nova
