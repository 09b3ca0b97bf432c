#pragma once
// The settings dialog (TFormConfig, "動作設定"), started with "/config" or --config: it edits
// the [Sound] section of a game's "game.ini" and then the player ends; no archive is opened
// and no project loaded. This is the dialog's state and behaviour (controls, focus, keys,
// mouse, reading and writing the file); config_window.h draws it in a window of our own.
//
// Controls, top to bottom (client area 270 x 179): a bevel (8, 8, 253 x 113); the check box
// "DirectSoundを使用する(&S)" (28, 24); the label "サウンドの遅延時間(&D)：" (28, 56), whose
// accelerator moves the focus to the track bar; the right-aligned label of the delay "%dms"
// beside it (173, 56); the track bar 1..5 with ticks below (28, 72, 221 wide); the default
// button "OK" (100, 140) and the cancel button "キャンセル" (180, 140). The delay controls are
// enabled only while the check box is clear (the delay is the player's own mixer's).
#include <cstdint>
#include <filesystem>
#include <string>

#include "base/geometry.h"
#include "platform/input_event.h"

namespace nova {

enum class ConfigControl { CheckSound, TrackBuff, Ok, Cancel };

class TFormConfig {
public:
  static constexpr int kClientWidth = 270, kClientHeight = 179;
  static constexpr int kMinPosition = 1, kMaxPosition = 5;

  // Reads the file (an absent file reads as empty): CheckSound := [Sound] DirectSound
  // (default true), TrackBuff := [Sound] DelayTime (default 500) / 100, clamped to 1..5.
  explicit TFormConfig(std::filesystem::path iniFile);

  bool IsOpen() const { return open_; }
  bool Saved() const { return saved_; }
  const std::filesystem::path& IniFile() const { return iniFile_; }

  bool CheckSound() const { return checkSound_; }
  void SetCheckSound(bool on);
  int Position() const { return position_; }
  void SetPosition(int position);  // clamped to 1..5
  bool DelayEnabled() const { return !checkSound_; }
  std::string DelayText() const;  // "%dms" (position x 100)

  ConfigControl Focus() const { return focus_; }
  void SetFocus(ConfigControl control);  // a disabled control does not take it
  bool Enabled(ConfigControl control) const { return control != ConfigControl::TrackBuff || DelayEnabled(); }
  // The button drawn pressed (the mouse holds it down over it), if any.
  bool ButtonDown(ConfigControl button) const { return held_ == button && heldInside_; }

  // OK: [Sound] DirectSound := the check box (1 / 0), DelayTime := position x 100 written into
  // the file (its other keys and sections kept), then the dialog closes. Cancel: it closes.
  void Ok();
  void Cancel();

  // Keys (Tab / Shift+Tab, arrows, Page Up / Down, Home / End, Space, Return = the focused
  // button or OK, Escape = Cancel, Alt+S, Alt+D), the mouse on the controls, and the window's close button (= Cancel).
  void HandleEvent(const TInputEvent& event);

  // Where the controls are (client coordinates).
  static TRect ControlRect(ConfigControl control);
  static TRect BevelRect() { return TRect::FromSize(8, 8, 253, 113); }
  // The track bar's channel: the thumb's centre runs from ChannelLeft() to ChannelRight().
  static int ChannelLeft();
  static int ChannelRight();
  static int ThumbCentre(int position);

private:
  void Step(int delta);
  void MoveFocus(bool back);
  int PositionAt(int x) const;
  ConfigControl ControlAt(int x, int y) const;
  bool ShiftHeld() const { return shift_; }

  std::filesystem::path iniFile_;
  bool open_ = true, saved_ = false;
  bool checkSound_ = true;
  int position_ = 5;
  ConfigControl focus_ = ConfigControl::CheckSound;
  // The mouse: the control pressed and whether it is still over it; dragging the thumb.
  ConfigControl held_ = ConfigControl::CheckSound;
  bool holding_ = false, heldInside_ = false;
  bool shift_ = false, alt_ = false;
};

// The dialog's texts (UTF-8 for the window; "&" marks the accelerator).
const char* ConfigCaption();       // "動作設定"
const char* CheckSoundCaption();   // "DirectSoundを使用する(&S)"
const char* LabelBuffCaption();    // "サウンドの遅延時間(&D)："
const char* OkCaption();           // "OK"
const char* CancelCaption();       // "キャンセル"

}  // namespace nova
