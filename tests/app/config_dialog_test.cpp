// The settings dialog: what it reads from "game.ini", its controls driven by keys and the
// mouse, what OK writes (and Cancel does not), its picture, and the player's --config.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "app/config_window.h"
#include "app/game_ini.h"
#include "app/runconfigs.h"
#include "base/encoding.h"
#include "base/process.h"
#include "support/test_support.h"

namespace nova {
namespace {

TInputEvent Key(int code, bool alt = false) {
  TInputEvent e;
  e.Kind = InputKind::KeyDown;
  e.Key = code;
  e.Alt = alt;
  return e;
}

TInputEvent Mouse(InputKind kind, int x, int y) {
  TInputEvent e;
  e.Kind = kind;
  e.Button = MouseButton::Left;
  e.X = x;
  e.Y = y;
  return e;
}

void Click(TFormConfig& form, int x, int y) {
  form.HandleEvent(Mouse(InputKind::MouseDown, x, y));
  form.HandleEvent(Mouse(InputKind::MouseUp, x, y));
}

TPoint Centre(ConfigControl c) {
  TRect r = TFormConfig::ControlRect(c);
  return TPoint{r.Left + 5, r.Top + r.Height() / 2};
}

TEST(IniWriting, SetsAKeyAndKeepsEverythingElse) {
  struct Case {
    const char* before;
    const char* after;
  };
  for (const Case& c : {
           Case{"", "[Sound]\r\nDelayTime=200\r\n"},
           Case{"[Sound]\r\nDelayTime=500\r\n", "[Sound]\r\nDelayTime=200\r\n"},
           Case{"[sound]\ndelaytime = 500\nx=1\n", "[sound]\nDelayTime=200\nx=1\n"},  // any case, LF kept
           Case{"[Video]\r\nUseWMP=1\r\n", "[Video]\r\nUseWMP=1\r\n[Sound]\r\nDelayTime=200\r\n"},
           Case{"[Sound]\r\nDirectSound=0\r\n\r\n[Video]\r\nUseWMP=1", "[Sound]\r\nDirectSound=0\r\nDelayTime=200\r\n\r\n[Video]\r\nUseWMP=1"},
           Case{"; note\r\n[Sound]\r\nDirectSound=0", "; note\r\n[Sound]\r\nDirectSound=0\r\nDelayTime=200\r\n"},
           Case{"[Sound]\nDelayTime=1\n[Sound]\nDelayTime=2\n", "[Sound]\nDelayTime=200\n[Sound]\nDelayTime=2\n"},
       })
    EXPECT_EQ(SetIniValue(c.before, "Sound", "DelayTime", "200"), c.after) << c.before;
}

TEST(ConfigDialog, WithoutAFileItOpensWithTheDefaultsAndOkWritesThem) {
  test::TempDir dir;
  TFormConfig form(GameIniFile(dir.Path()));
  EXPECT_TRUE(form.IsOpen());
  EXPECT_TRUE(form.CheckSound());
  EXPECT_FALSE(form.DelayEnabled());
  EXPECT_FALSE(form.Enabled(ConfigControl::TrackBuff));
  EXPECT_EQ(form.DelayText(), "500ms");
  form.Ok();
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(test::ReadFile(dir / "game.ini"), "[Sound]\r\nDirectSound=1\r\nDelayTime=500\r\n");
  EXPECT_EQ(LoadGameSettings(dir / "game.ini").DelayTime, 500);
}

TEST(ConfigDialog, ReadsTheDelayAsTrackPositions) {
  struct Case {
    const char* text;
    bool check;
    int position;
  };
  for (const Case& c : {Case{"[Sound]\nDirectSound=0\nDelayTime=950\n", false, 5}, Case{"[Sound]\nDelayTime=50\n", true, 1},
                        Case{"[Sound]\nDelayTime=349\n", true, 3}, Case{"[Sound]\nDelayTime=x\n", true, 5}}) {
    test::TempDir dir;
    test::WriteFile(dir / "GAME.INI", c.text);  // found in any letter case
    TFormConfig form(GameIniFile(dir.Path()));
    EXPECT_EQ(form.CheckSound(), c.check) << c.text;
    EXPECT_EQ(form.Position(), c.position) << c.text;
    EXPECT_EQ(form.DelayText(), std::to_string(c.position * 100) + "ms");
  }
}

TEST(ConfigDialog, KeysMoveTheFocusAndChangeTheControls) {
  test::TempDir dir;
  test::WriteFile(dir / "game.ini", "[Video]\r\nUseWMP=1\r\n[Sound]\r\nDelayTime=300\r\nDirectSound=1\r\n");
  TFormConfig form(GameIniFile(dir.Path()));
  EXPECT_EQ(form.Focus(), ConfigControl::CheckSound);
  form.HandleEvent(Key(vk::Tab));  // the disabled track bar is passed over
  EXPECT_EQ(form.Focus(), ConfigControl::Ok);
  form.HandleEvent(Key('D', true));  // disabled: no focus
  EXPECT_EQ(form.Focus(), ConfigControl::Ok);
  form.HandleEvent(Key('S', true));  // Alt+S: the check box, toggled
  EXPECT_EQ(form.Focus(), ConfigControl::CheckSound);
  EXPECT_FALSE(form.CheckSound());
  form.HandleEvent(Key(vk::Tab));
  EXPECT_EQ(form.Focus(), ConfigControl::TrackBuff);
  form.HandleEvent(Key(vk::Right));
  EXPECT_EQ(form.DelayText(), "400ms");
  form.HandleEvent(Key(vk::End));
  form.HandleEvent(Key(vk::Right));
  EXPECT_EQ(form.Position(), 5);
  form.HandleEvent(Key(vk::Home));
  EXPECT_EQ(form.Position(), 1);
  form.HandleEvent(Key(vk::Next));
  EXPECT_EQ(form.Position(), 3);
  // Shift+Tab goes back; Space toggles the check box, which takes the focus away from the
  // track bar it disables.
  form.HandleEvent(Key(vk::Shift));
  form.HandleEvent(Key(vk::Tab));
  EXPECT_EQ(form.Focus(), ConfigControl::CheckSound);
  form.HandleEvent(Key(vk::Space));
  EXPECT_TRUE(form.CheckSound());
  form.HandleEvent(Key(vk::Space));
  form.HandleEvent(Key(vk::Return));  // the default button
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(test::ReadFile(dir / "game.ini"),
            "[Video]\r\nUseWMP=1\r\n[Sound]\r\nDelayTime=300\r\nDirectSound=0\r\n");
}

TEST(ConfigDialog, CancelAndEscapeAndClosingWriteNothing) {
  for (int way = 0; way < 4; ++way) {
    test::TempDir dir;
    TFormConfig form(GameIniFile(dir.Path()));
    form.HandleEvent(Key(vk::Space));
    switch (way) {
      case 0: form.HandleEvent(Key(vk::Escape)); break;
      case 1: Click(form, Centre(ConfigControl::Cancel).X, Centre(ConfigControl::Cancel).Y); break;
      case 2: {
        TInputEvent close;
        close.Kind = InputKind::Close;
        form.HandleEvent(close);
        break;
      }
      case 3:
        form.SetFocus(ConfigControl::Cancel);
        form.HandleEvent(Key(vk::Return));
        break;
    }
    EXPECT_FALSE(form.IsOpen()) << way;
    EXPECT_FALSE(form.Saved()) << way;
    EXPECT_FALSE(std::filesystem::exists(dir / "game.ini")) << way;
  }
}

TEST(ConfigDialog, TheMouseTogglesDragsAndPresses) {
  test::TempDir dir;
  TFormConfig form(GameIniFile(dir.Path()));
  const TPoint check = Centre(ConfigControl::CheckSound);
  Click(form, check.X, check.Y);
  EXPECT_FALSE(form.CheckSound());
  // The thumb follows the mouse to the nearest tick.
  form.HandleEvent(Mouse(InputKind::MouseDown, TFormConfig::ThumbCentre(5), 85));
  form.HandleEvent(Mouse(InputKind::MouseMove, TFormConfig::ThumbCentre(2) + 10, 85));
  EXPECT_EQ(form.Position(), 2);
  form.HandleEvent(Mouse(InputKind::MouseMove, 0, 85));
  EXPECT_EQ(form.Position(), 1);
  form.HandleEvent(Mouse(InputKind::MouseUp, 0, 85));
  // A button pressed and released elsewhere does nothing.
  const TPoint ok = Centre(ConfigControl::Ok);
  form.HandleEvent(Mouse(InputKind::MouseDown, ok.X, ok.Y));
  EXPECT_TRUE(form.ButtonDown(ConfigControl::Ok));
  form.HandleEvent(Mouse(InputKind::MouseMove, 5, 5));
  EXPECT_FALSE(form.ButtonDown(ConfigControl::Ok));
  form.HandleEvent(Mouse(InputKind::MouseUp, 5, 5));
  EXPECT_TRUE(form.IsOpen());
  Click(form, ok.X, ok.Y);
  EXPECT_FALSE(form.IsOpen());
  EXPECT_EQ(test::ReadFile(dir / "game.ini"), "[Sound]\r\nDirectSound=0\r\nDelayTime=100\r\n");
}

TEST(ConfigDialog, ThePictureShowsTheState) {
  test::TempDir dir;
  TFormConfig form(GameIniFile(dir.Path()));
  TPicture on, off;
  DrawFormConfig(form, on, nullptr);
  EXPECT_EQ(on.Width, TFormConfig::kClientWidth);
  EXPECT_EQ(on.Height, TFormConfig::kClientHeight);
  form.SetCheckSound(false);
  DrawFormConfig(form, off, nullptr);
  // The tick in the box, and the thumb (at position 5) greyed while the track bar is disabled.
  const TRect box = TFormConfig::ControlRect(ConfigControl::CheckSound);
  EXPECT_EQ(on.Row(box.Top + 2 + 7)[box.Left + 4], 0x000000u);
  EXPECT_EQ(off.Row(box.Top + 2 + 7)[box.Left + 4], 0xFFFFFFu);
  const int thumbX = TFormConfig::ThumbCentre(5), thumbY = TFormConfig::ControlRect(ConfigControl::TrackBuff).Top + 16;
  EXPECT_NE(on.Row(thumbY)[thumbX], off.Row(thumbY)[thumbX]);
}

TEST(ConfigDialog, TheHeadlessDialogTakesItsScriptThenOk) {
  test::TempDir dir;
  THeadlessPlatform platform;
  TFormConfig form(GameIniFile(dir.Path()));
  std::vector<TScriptedEvent> script = ParseInputScript("1 keydown 32\n2 keydown 9\n3 keydown 37\n", "script");
  RunFormConfig(form, platform, script);
  EXPECT_EQ(SjisToUtf8(ApplicationTitle()), "動作設定");
  SetApplicationTitle("");  // the process would end here
  EXPECT_TRUE(form.Saved());
  EXPECT_EQ(test::ReadFile(dir / "game.ini"), "[Sound]\r\nDirectSound=0\r\nDelayTime=400\r\n");
}

TEST(ConfigDialog, ThePlayerRunsOnlyTheDialog) {
  for (const char* how : {"--config", "/config"}) {
    test::TempDir dir;
    test::WriteFile(dir / "input.txt", "1 keydown 32\n");
    const std::string cmd = std::string("timeout 20 ") + NOVA_PLAYER_PATH + " --headless --input " + dir / "input.txt" +
                            " " + how + " " + dir.Path() + " >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << how;
    EXPECT_EQ(test::ReadFile(dir / "game.ini"), "[Sound]\r\nDirectSound=0\r\nDelayTime=500\r\n") << how;
    EXPECT_FALSE(std::filesystem::exists(dir / "save.dat")) << how;  // no game ran
  }
}

}  // namespace
}  // namespace nova
