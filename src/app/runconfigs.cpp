#include "app/runconfigs.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/game_ini.h"
#include "base/error.h"
#include "base/encoding.h"

namespace nova {
namespace {

constexpr int kTrackLeft = 28, kTrackTop = 72, kTrackWidth = 221, kTrackHeight = 45;
constexpr int kThumbHalf = 5;  // the thumb is 11 pixels wide
constexpr int kChannelInset = 12;
constexpr int kButtonWidth = 75, kButtonHeight = 25;

std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

}  // namespace

const char* ConfigCaption() { return "動作設定"; }
const char* CheckSoundCaption() { return "DirectSoundを使用する(&S)"; }
const char* LabelBuffCaption() { return "サウンドの遅延時間(&D)："; }
const char* OkCaption() { return "OK"; }
const char* CancelCaption() { return "キャンセル"; }

TFormConfig::TFormConfig(std::filesystem::path iniFile) : iniFile_(std::move(iniFile)) {
  TIniFile ini;
  ini.Parse(ReadWhole(iniFile_));
  checkSound_ = ini.ReadBool("Sound", "DirectSound", true);
  position_ = std::clamp(ini.ReadInteger("Sound", "DelayTime", 500) / 100, kMinPosition, kMaxPosition);
}

void TFormConfig::SetCheckSound(bool on) {
  checkSound_ = on;
  if (!DelayEnabled() && focus_ == ConfigControl::TrackBuff) focus_ = ConfigControl::CheckSound;
}

void TFormConfig::SetPosition(int position) { position_ = std::clamp(position, kMinPosition, kMaxPosition); }

std::string TFormConfig::DelayText() const { return std::to_string(position_ * 100) + "ms"; }

void TFormConfig::SetFocus(ConfigControl control) {
  if (Enabled(control)) focus_ = control;
}

void TFormConfig::Ok() {
  if (!open_) return;
  std::string text = ReadWhole(iniFile_);
  text = SetIniValue(text, "Sound", "DirectSound", checkSound_ ? "1" : "0");
  text = SetIniValue(text, "Sound", "DelayTime", std::to_string(position_ * 100));
  std::ofstream out(iniFile_, std::ios::binary | std::ios::trunc);
  if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())))
    RaiseError(HostPathText(iniFile_) + ": cannot write the settings");
  saved_ = true;
  open_ = false;
}

void TFormConfig::Cancel() { open_ = false; }

TRect TFormConfig::ControlRect(ConfigControl control) {
  switch (control) {
    case ConfigControl::CheckSound: return TRect::FromSize(28, 24, 180, 17);
    case ConfigControl::TrackBuff: return TRect::FromSize(kTrackLeft, kTrackTop, kTrackWidth, kTrackHeight);
    case ConfigControl::Ok: return TRect::FromSize(100, 140, kButtonWidth, kButtonHeight);
    case ConfigControl::Cancel: return TRect::FromSize(180, 140, kButtonWidth, kButtonHeight);
  }
  return {};
}

int TFormConfig::ChannelLeft() { return kTrackLeft + kChannelInset; }
int TFormConfig::ChannelRight() { return kTrackLeft + kTrackWidth - kChannelInset; }

int TFormConfig::ThumbCentre(int position) {
  const int span = ChannelRight() - ChannelLeft();
  return ChannelLeft() + (position - kMinPosition) * span / (kMaxPosition - kMinPosition);
}

int TFormConfig::PositionAt(int x) const {
  const int span = ChannelRight() - ChannelLeft();
  const int steps = kMaxPosition - kMinPosition;
  // The nearest tick.
  const int offset = std::clamp(x - ChannelLeft(), 0, span);
  return kMinPosition + (offset * steps * 2 + span) / (span * 2);
}

ConfigControl TFormConfig::ControlAt(int x, int y) const {
  for (ConfigControl c : {ConfigControl::CheckSound, ConfigControl::TrackBuff, ConfigControl::Ok, ConfigControl::Cancel})
    if (Inside(ControlRect(c), x, y) && Enabled(c)) return c;
  return static_cast<ConfigControl>(-1);
}

void TFormConfig::Step(int delta) {
  if (focus_ == ConfigControl::TrackBuff) SetPosition(position_ + delta);
}

void TFormConfig::MoveFocus(bool back) {
  static constexpr ConfigControl kOrder[] = {ConfigControl::CheckSound, ConfigControl::TrackBuff, ConfigControl::Ok,
                                             ConfigControl::Cancel};
  int i = static_cast<int>(focus_);
  for (int n = 0; n < 4; ++n) {
    i = (i + (back ? 3 : 1)) % 4;
    if (Enabled(kOrder[i])) {
      focus_ = kOrder[i];
      return;
    }
  }
}

void TFormConfig::HandleEvent(const TInputEvent& e) {
  if (!open_) return;
  switch (e.Kind) {
    case InputKind::KeyDown: {
      if (e.Key == vk::Shift) shift_ = true;
      if (e.Key == vk::Menu) alt_ = true;
      const bool alt = e.Alt || alt_;
      if (alt && e.Key == 'S') {
        focus_ = ConfigControl::CheckSound;
        SetCheckSound(!checkSound_);
        return;
      }
      if (alt && e.Key == 'D') return SetFocus(ConfigControl::TrackBuff);
      switch (e.Key) {
        case vk::Tab: return MoveFocus(shift_);
        case vk::Return: return focus_ == ConfigControl::Cancel ? Cancel() : Ok();  // else the default button
        case vk::Escape: return Cancel();
        case vk::Space:
          if (focus_ == ConfigControl::CheckSound) return SetCheckSound(!checkSound_);
          if (focus_ == ConfigControl::Ok) return Ok();
          if (focus_ == ConfigControl::Cancel) return Cancel();
          return;
        case vk::Left:
        case vk::Up: return Step(-1);
        case vk::Right:
        case vk::Down: return Step(1);
        case vk::Prior: return Step(-2);  // a page is two steps
        case vk::Next: return Step(2);
        case vk::Home:
          if (focus_ == ConfigControl::TrackBuff) SetPosition(kMinPosition);
          return;
        case vk::End:
          if (focus_ == ConfigControl::TrackBuff) SetPosition(kMaxPosition);
          return;
        default: return;
      }
    }
    case InputKind::KeyUp:
      if (e.Key == vk::Shift) shift_ = false;
      if (e.Key == vk::Menu) alt_ = false;
      return;
    case InputKind::MouseDown: {
      if (e.Button != MouseButton::Left) return;
      const ConfigControl c = ControlAt(e.X, e.Y);
      if (static_cast<int>(c) < 0) return;
      focus_ = c;
      held_ = c;
      holding_ = true;
      heldInside_ = true;
      if (c == ConfigControl::TrackBuff) SetPosition(PositionAt(e.X));
      return;
    }
    case InputKind::MouseMove:
      if (!holding_) return;
      heldInside_ = Inside(ControlRect(held_), e.X, e.Y);
      if (held_ == ConfigControl::TrackBuff) SetPosition(PositionAt(e.X));
      return;
    case InputKind::MouseUp: {
      if (!holding_ || e.Button != MouseButton::Left) return;
      holding_ = false;
      const bool inside = Inside(ControlRect(held_), e.X, e.Y);
      heldInside_ = false;
      if (!inside) return;
      if (held_ == ConfigControl::CheckSound) SetCheckSound(!checkSound_);
      else if (held_ == ConfigControl::Ok) Ok();
      else if (held_ == ConfigControl::Cancel) Cancel();
      return;
    }
    case InputKind::Close: return Cancel();
    case InputKind::FocusLost:
      shift_ = alt_ = false;
      return;
    default: return;
  }
}

}  // namespace nova
