// Preview menus: the file (every version, damaged and missing files), the buttons it makes,
// hovering with pictures and preview pictures, choosing with and without selection pictures,
// exclusive and toggle groups, disabled and hidden buttons, keys, and cutting a selection short.
#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/error.h"
#include "components/lists/item_functions.h"
#include "menu_fixtures.h"

namespace nova::test {
namespace {

// Pictures of the menu's folder: "menus\<name>.bri", each a solid colour of its own; the
// leave, selection and preview-leave pictures have two frames of 40 ms (they play once).
struct PrevScene : MenuScene {
  PrevScene() {
    const std::pair<const char*, uint32_t> still[] = {
        {"n", 0x101010}, {"h", 0x202020}, {"d", 0x404040}, {"c12", 0x505050}, {"p7", 0x606060}, {"cur", 0}};
    for (const auto& [name, rgb] : still) AddFile(std::string("menus\\") + name + ".bri", BriBytes({Solid(10, 8, rgb)}));
    for (const char* name : {"l", "s", "p8", "p9", "p17"})
      AddFile(std::string("menus\\") + name + ".bri",
              BriBytes({Solid(10, 8, 0x303030, 40), Solid(10, 8, 0x707070, 40)}));
  }

  static TNovaPrevMenuData Button(const std::string& name, int32_t x, int32_t group = 0) {
    TNovaPrevMenuData b;
    b.Name = name;
    b.X = x, b.Y = 4;
    b.Images[0] = "n.bri";
    b.Images[1] = "h.bri";
    b.Images[4] = "d.bri";
    b.PreviewX = 60, b.PreviewY = 14;
    b.Group = group;
    return b;
  }

  TNovaPrevMenu* Menu(std::vector<TNovaPrevMenuData> buttons, std::vector<std::pair<int, TPropValue>> props = {}) {
    TPrevMenuFile file;
    file.Width = 100, file.Height = 30;
    file.Buttons = std::move(buttons);
    AddFile("menus\\pm.npm", WritePrevMenuFile(file, 106));
    props.insert(props.begin(), {PR_SOURCE, Str("menus\\pm.npm")});
    return Create<TNovaPrevMenu>(LT_PREVMENU, "pm", props);
  }
};

const std::string& Source(TNovaPrevImages* image) { return image->Source(); }

TEST(PrevMenuFile, EveryVersionReadsItsOwnFields) {
  TPrevMenuFile menu;
  menu.Width = 320, menu.Height = 200;
  TNovaPrevMenuData b;
  for (int k = 0; k < TNovaPrevMenuData::kImages; ++k) b.Images[static_cast<size_t>(k)] = "i" + std::to_string(k) + ".bri";
  b.X = 5, b.Y = 6, b.PreviewX = 7, b.PreviewY = 8, b.Group = -3, b.CaptureMask = true;
  b.Name = "start";
  b.Cursor = "hand.cur";
  TNovaPrevMenuData unnamed = b;
  unnamed.Name.clear();
  unnamed.Images[2].clear();
  menu.Buttons = {b, unnamed};
  // The images each version has besides the normal one and 1-3, 7-9.
  struct Case {
    int32_t version;
    std::vector<int> extra;
  };
  const Case cases[] = {{100, {}},           {101, {4}},
                        {102, {4, 10, 11}},   {103, {4, 5, 6, 10, 11}},
                        {104, {4, 5, 6, 10, 11, 12, 13, 14, 15, 16}},
                        {105, {4, 5, 6, 10, 11, 12, 13, 14, 15, 16, 17}},
                        {106, {4, 5, 6, 10, 11, 12, 13, 14, 15, 16, 17, 18}}};
  for (const Case& c : cases) {
    const TPrevMenuFile read = ReadPrevMenuFile(WritePrevMenuFile(menu, c.version), "sub\\menu.npm");
    EXPECT_EQ(read.Version, c.version);
    EXPECT_EQ(read.Width, 320);
    ASSERT_EQ(read.Buttons.size(), 2u);
    const TNovaPrevMenuData& r = read.Buttons[0];
    EXPECT_EQ(r.Name, "start");
    EXPECT_EQ(read.Buttons[1].Name, "Button01");  // no stored name
    EXPECT_EQ(read.Buttons[1].Image(2), "");       // empty names stay empty
    EXPECT_EQ(r.Cursor, "sub\\hand.cur");
    EXPECT_EQ(r.X + r.Y + r.PreviewX + r.PreviewY, 26);
    EXPECT_TRUE(r.CaptureMask);
    EXPECT_EQ(r.Group, c.version > 103 ? -3 : 0);
    for (int k = 0; k < TNovaPrevMenuData::kImages; ++k) {
      const bool always = k <= 3 || (k >= 7 && k <= 9);
      const bool has = always || std::find(c.extra.begin(), c.extra.end(), k) != c.extra.end();
      EXPECT_EQ(r.Image(k), has ? "sub\\i" + std::to_string(k) + ".bri" : "") << c.version << " " << k;
    }
  }
}

TEST(PrevMenuFile, DamagedFilesFailWithTheirMessages) {
  const std::string form = Utf8ToSjis("NovaPreviewMenu:このファイル形式には対応していません");
  const std::string version = Utf8ToSjis("NovaPreviewMenu:このバージョンのファイル形式には対応していません");
  TPrevMenuFile menu;
  menu.Buttons = {PrevScene::Button("a", 0)};
  const std::string good = WritePrevMenuFile(menu, 106);
  struct Case {
    std::string bytes;
    const std::string& message;
  };
  const Case cases[] = {
      {"NovaPrevMenX106" + good.substr(15), form},
      {"Nova", form},
      {"NovaPrevMenu099" + good.substr(15), version},
      {"NovaPrevMenu107" + good.substr(15), version},
      {"NovaPrevMenu1x3" + good.substr(15), version},
      {"NovaPrevMenu", version},
      {good.substr(0, good.size() - 3), form},
      {good.substr(0, 23) + std::string("\xFF\xFF\xFF\x7F", 4) + good.substr(27), form},  // a huge count
  };
  for (const Case& c : cases) {
    try {
      ReadPrevMenuFile(c.bytes, "m.npm");
      ADD_FAILURE() << "no error for " << c.bytes.size() << " bytes";
    } catch (const ENovaError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
  // Through the menu: the error reaches the caller and leaves no buttons; a missing file is no
  // error and leaves the menu 0 x 0.
  PrevScene f;
  TNovaPrevMenu* pm = f.Menu({PrevScene::Button("a", 0)});
  ASSERT_EQ(pm->ButtonCount(), 1);
  f.AddFile("bad.npm", "NovaPrevMenu200");
  EXPECT_THROW(WriteProperty(*pm, PR_SOURCE, Str("bad.npm")), ENovaError);
  EXPECT_EQ(pm->ButtonCount(), 0);
  EXPECT_EQ(pm->ChildCount(), 0);
  WriteProperty(*pm, PR_SOURCE, Str("nowhere.npm"));
  EXPECT_EQ(pm->Width(), 0);
  EXPECT_EQ(pm->Height(), 0);
}

TEST(PrevMenu, TheFileMakesOneButtonPictureEach) {
  PrevScene f;
  TNovaPrevMenuData a = PrevScene::Button("start", 2), b = PrevScene::Button("load", 30);
  a.CaptureMask = true;
  a.Cursor = "cur.bri";
  TNovaPrevMenu* pm = f.Menu({a, b}, {{PR_LEFT, Int(10)}, {PR_TOP, Int(20)}});
  EXPECT_EQ(pm->Width(), 100);
  EXPECT_EQ(pm->Height(), 30);
  EXPECT_EQ(ReadProperty(*pm, PR_COUNT).Int, 2);
  EXPECT_EQ(ReadProperty(*pm, PR_TEXT).Str, "start\r\nload");
  ASSERT_EQ(pm->ChildCount(), 2);
  TNovaPrevImages* img = pm->ButtonImage(0);
  EXPECT_TRUE(img->HasSystemName());
  EXPECT_EQ(img->Parent(), pm);
  EXPECT_EQ(Source(img), "menus\\n.bri");
  EXPECT_EQ(img->Left(), 2);
  EXPECT_TRUE(ReadProperty(*img, PR_CAPTUREMASK).Flag);
  EXPECT_EQ(ReadProperty(*img, PR_CURSOR).Str, "menus\\cur.bri");
  f.Step();
  EXPECT_EQ(f.Px(12, 24), 0x101010u);
  EXPECT_EQ(f.Px(40, 24), 0x101010u);
}

TEST(PrevMenu, HoveringShowsTheHoverPictureAndItsPreview) {
  PrevScene f;
  TNovaPrevMenuData a = PrevScene::Button("start", 0);
  a.Images[2] = "l.bri";
  a.Images[7] = "p7.bri";
  a.Images[8] = "p8.bri";
  TNovaPrevMenu* pm = f.Menu({a, PrevScene::Button("load", 40)},
                             {{PR_ONMAPIN, Str("in")}, {PR_ONMAPOUT, Str("out")}});
  f.MoveMouse(5, 6);
  f.Step();
  EXPECT_EQ(pm->HoveredButton(), 0);
  EXPECT_EQ(Source(pm->ButtonImage(0)), "menus\\h.bri");
  TNovaPrevImages* preview = pm->PreviewPicture(0);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(Source(preview), "menus\\p7.bri");
  EXPECT_TRUE(ReadProperty(*preview, PR_REPEAT).Flag);
  EXPECT_EQ(preview->Left(), 60);
  EXPECT_EQ(preview->Priority(), 1);
  f.Step();
  EXPECT_EQ(f.Px(60, 14), 0x606060u);
  // Leaving: the leave picture once, the preview replaced by image 8 played once, then gone.
  f.MoveMouse(150, 100);
  f.Step();
  EXPECT_EQ(Source(pm->ButtonImage(0)), "menus\\l.bri");
  EXPECT_FALSE(ReadProperty(*pm->ButtonImage(0), PR_REPEAT).Flag);
  ASSERT_NE(pm->PreviewPicture(0), nullptr);
  EXPECT_EQ(Source(pm->PreviewPicture(0)), "menus\\p8.bri");
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"pm:104(start,0)", "pm:105(start,0)"}));
  for (int i = 0; i < 8; ++i) f.Step();
  EXPECT_EQ(pm->PreviewPicture(0), nullptr);
  EXPECT_EQ(pm->ChildCount(), 2);
  EXPECT_TRUE(ReadProperty(*pm->ButtonImage(0), PR_REPEAT).Flag);  // it loops from then on
  // Hovering a button without preview pictures shows none.
  f.MoveMouse(45, 6);
  f.Step();
  EXPECT_EQ(pm->HoveredButton(), 1);
  EXPECT_EQ(pm->PreviewPicture(1), nullptr);
}

TEST(PrevMenu, ChoosingWithoutSelectionPicturesFinishesAtOnce) {
  for (bool scrap : {false, true}) {
    PrevScene f;
    TNovaPrevMenu* pm = f.Menu({PrevScene::Button("start", 0), PrevScene::Button("load", 40)},
                               {{PR_ONSELECT, Str("sel")}, {PR_ONPLAYEND, Str("end")}, {PR_AUTOSCRAP, Flag(scrap)}});
    const TObjectRef ref(pm);
    f.Click(45, 6);
    EXPECT_EQ(f.store.SelStr, "load");
    EXPECT_EQ(f.store.SelIndex, 1);
    if (scrap) {
      EXPECT_EQ(f.scene.Resolve(ref), nullptr);
      // Gone at the end of the frame; a game's interpreter has taken the choice by then, here
      // the waiting event goes with its sender.
      EXPECT_EQ(f.Events(), std::vector<std::string>{});
    } else {
      EXPECT_EQ(f.Events(), (std::vector<std::string>{"pm:72(load,1)", "pm:43(load,1)"}));
    }
  }
}

TEST(PrevMenu, ASelectionPreviewPlaysOnceBeforeTheMenuFinishes) {
  PrevScene f;
  TNovaPrevMenuData a = PrevScene::Button("start", 0);
  a.Images[3] = "s.bri";
  a.Images[9] = "p9.bri";
  TNovaPrevMenu* pm = f.Menu({a}, {{PR_ONSELECT, Str("sel")}, {PR_ONPLAYEND, Str("end")}});
  f.Click(5, 6);
  EXPECT_EQ(pm->RunningAnimations(), 2);
  EXPECT_EQ(Source(pm->ButtonImage(0)), "menus\\s.bri");
  ASSERT_NE(pm->PreviewPicture(0), nullptr);
  EXPECT_EQ(pm->PreviewPicture(0)->Priority(), 2);
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"pm:72(start,0)"}));
  // Moving over the menu changes nothing while the pictures play.
  f.MoveMouse(150, 100);
  f.Step();
  EXPECT_EQ(pm->HoveredButton(), 0);
  for (int i = 0; i < 8; ++i) f.Step();
  EXPECT_EQ(pm->RunningAnimations(), 0);
  EXPECT_EQ(pm->PreviewPicture(0), nullptr);
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"pm:72(start,0)", "pm:43(start,0)"}));
  EXPECT_EQ(pm->HoveredButton(), -1);  // the hover follows the mouse again
}

TEST(PrevMenu, APressCutsTheSelectionPicturesShort) {
  PrevScene f;
  TNovaPrevMenuData a = PrevScene::Button("start", 0);
  a.Images[3] = "s.bri";
  TNovaPrevMenu* pm = f.Menu({a, PrevScene::Button("load", 40)}, {{PR_ONPLAYEND, Str("end")}});
  f.Click(5, 6);
  ASSERT_EQ(pm->RunningAnimations(), 1);
  f.MoveMouse(45, 6);
  f.PressLeft();
  f.Step();
  EXPECT_EQ(pm->RunningAnimations(), 0);
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"pm:43(start,0)"}));
  EXPECT_EQ(pm->HoveredButton(), 1);
  f.Release();
  f.Step();
  EXPECT_EQ(f.store.SelStr, "load");
}

TEST(PrevMenu, AnExclusiveGroupKeepsOneCheckedMember) {
  PrevScene f;
  std::vector<TNovaPrevMenuData> buttons;
  for (int i = 0; i < 3; ++i) {
    buttons.push_back(PrevScene::Button("g" + std::to_string(i), i * 30, 1));
    buttons.back().Images[12] = "c12.bri";
  }
  TNovaPrevMenu* pm = f.Menu(buttons, {{PR_ONSELECT, Str("sel")}});
  // The first visible member is the default.
  EXPECT_TRUE(pm->Checked(0));
  EXPECT_FALSE(pm->Checked(1));
  EXPECT_EQ(Source(pm->ButtonImage(0)), "menus\\c12.bri");
  f.Click(35, 6);
  EXPECT_TRUE(pm->Checked(1));
  EXPECT_FALSE(pm->Checked(0));  // the default yields to the chosen member
  EXPECT_EQ(Source(pm->ButtonImage(0)), "menus\\n.bri");
  EXPECT_EQ(Source(pm->ButtonImage(1)), "menus\\c12.bri");
  EXPECT_EQ(f.store.SelIndex, 1);
  // Choosing the checked member again does nothing at all.
  f.ClearEvents();
  f.store.SelIndex = 7;
  for (int i = 0; i < 6; ++i) f.Step();
  f.Click(35, 6);
  EXPECT_TRUE(f.Events().empty());
  EXPECT_EQ(f.store.SelIndex, 7);
  EXPECT_TRUE(pm->Checked(1));
  // Hiding the checked member hands the group back to the first visible one.
  pm->SetItemVisible(1, false);
  EXPECT_TRUE(pm->Checked(0));
  EXPECT_EQ(Source(pm->ButtonImage(0)), "menus\\c12.bri");
  EXPECT_EQ(Source(pm->ButtonImage(1)), "");
}

TEST(PrevMenu, AToggleButtonChecksAndUnchecks) {
  PrevScene f;
  TNovaPrevMenuData t = PrevScene::Button("t", 0, -1);
  t.Images[12] = "c12.bri";
  t.Images[17] = "p17.bri";
  TNovaPrevMenu* pm = f.Menu({t}, {{PR_ONSELECT, Str("sel")}});
  EXPECT_FALSE(pm->Checked(0));
  f.Click(5, 6);
  EXPECT_TRUE(pm->Checked(0));
  EXPECT_EQ(pm->RunningAnimations(), 2);  // the checked picture and preview picture 17
  ASSERT_NE(pm->PreviewPicture(0), nullptr);
  EXPECT_EQ(Source(pm->PreviewPicture(0)), "menus\\p17.bri");
  for (int i = 0; i < 8; ++i) f.Step();
  f.Click(5, 6);
  EXPECT_FALSE(pm->Checked(0));
  EXPECT_EQ(pm->PreviewPicture(0), nullptr);  // no image 18
}

TEST(PrevMenu, DisabledButtonsLetTheMouseThrough) {
  PrevScene f;
  TNovaPrevMenu* pm = f.Menu({PrevScene::Button("a", 0), PrevScene::Button("b", 40)}, {{PR_ONSELECT, Str("sel")}});
  pm->SetItemEnabled(1, false);
  EXPECT_EQ(Source(pm->ButtonImage(1)), "menus\\d.bri");
  EXPECT_EQ(pm->HitTest(TPoint{45, 6}, kGeneralModes), nullptr);
  EXPECT_EQ(pm->HitTest(TPoint{5, 6}, kGeneralModes), pm);
  f.Click(45, 6);
  EXPECT_TRUE(f.Events().empty());
  pm->SetItemEnabled(1, true);
  EXPECT_EQ(Source(pm->ButtonImage(1)), "menus\\n.bri");
}

TEST(PrevMenu, TheButtonUnderTheMouseShowsItsCursor) {
  PrevScene f;
  TNovaPrevMenuData a = PrevScene::Button("a", 0), b = PrevScene::Button("b", 30), c = PrevScene::Button("c", 60);
  a.Cursor = "hand.cur";
  c.Cursor = "stop.cur";
  TNovaPrevMenu* pm = f.Menu({a, b, c}, {{PR_CURSOR, Str("menu.cur")}});
  pm->SetItemEnabled(2, false);
  std::vector<std::string> shown;
  f.scene.SetCursorListener([&](const std::string& file) { shown.push_back(file); });
  // Over a, over b (no cursor of its own: the menu's), over a again, then over the disabled c:
  // the mouse passes through c to the screen, which has none.
  for (int32_t x : {5, 35, 6, 65}) {
    f.MoveMouse(x, 6);
    f.Step();
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"menus\\hand.cur", "menu.cur", "menus\\hand.cur", ""}));
}

TEST(PrevMenu, APausedMenuFollowsTheMouseWithoutEvents) {
  PrevScene f;
  TNovaPrevMenuData a = PrevScene::Button("a", 0);
  a.Images[7] = "p7.bri";
  TNovaPrevMenu* pm = f.Menu({a, PrevScene::Button("b", 40)}, {{PR_PAUSED, Flag(true)}, {PR_ONMAPIN, Str("in")},
                                                               {PR_ONMAPOUT, Str("out")}, {PR_ONSELECT, Str("sel")}});
  f.MoveMouse(5, 6);
  f.Step();
  EXPECT_EQ(pm->HoveredButton(), 0);
  EXPECT_EQ(Source(pm->ButtonImage(0)), "menus\\h.bri");
  ASSERT_NE(pm->PreviewPicture(0), nullptr);
  f.Click(45, 6);
  EXPECT_EQ(pm->HoveredButton(), 1);
  EXPECT_EQ(Source(pm->ButtonImage(0)), "menus\\n.bri");
  EXPECT_EQ(pm->PreviewPicture(0), nullptr);  // no image 8
  EXPECT_EQ(f.store.SelIndex, -1);
  EXPECT_TRUE(f.Events().empty());
  // Running again, the same moves post their events.
  WriteProperty(*pm, PR_PAUSED, Flag(false));
  f.MoveMouse(5, 6);
  f.Step();
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"pm:105(b,1)", "pm:104(a,0)"}));
}

TEST(PrevMenu, ACheckedDisabledButtonWithoutItsOwnPicturesShowsTheNormalOne) {
  struct Case {
    const char* what;
    std::string disabledHover, disabledLeave;
    std::string hovered, left;
  };
  const Case cases[] = {
      {"no disabled pictures", "", "", "menus\\n.bri", "menus\\n.bri"},
      {"disabled hover and leave", "h.bri", "l.bri", "menus\\h.bri", "menus\\l.bri"},
  };
  for (const Case& c : cases) {
    PrevScene f;
    TNovaPrevMenuData t = PrevScene::Button("t", 0, -1);
    t.Images[1].clear();
    t.Images[5] = c.disabledHover;
    t.Images[6] = c.disabledLeave;
    TNovaPrevMenu* pm = f.Menu({t});
    pm->SetItemEnabled(0, false);
    pm->SetItemCheck(0, true);
    ASSERT_TRUE(pm->Checked(0));
    EXPECT_EQ(Source(pm->ButtonImage(0)), "menus\\d.bri") << c.what;
    pm->ChangeHover(0);
    EXPECT_EQ(Source(pm->ButtonImage(0)), c.hovered) << c.what;
    pm->ChangeHover(-1);
    EXPECT_EQ(Source(pm->ButtonImage(0)), c.left) << c.what;
  }
}

TEST(PrevMenu, KeysStepThroughTheVisibleButtons) {
  PrevScene f;
  TNovaPrevMenu* pm = f.Menu({PrevScene::Button("a", 0), PrevScene::Button("b", 30), PrevScene::Button("c", 60)},
                             {{PR_ONSELECT, Str("sel")}});
  pm->SetItemVisible(1, false);
  f.Focus(pm);
  std::vector<int32_t> seen;
  for (int key : {kVkRight, kVkRight, kVkRight, kVkLeft, kVkUp, kVkDown}) {
    f.Key(key);
    seen.push_back(pm->HoveredButton());
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{0, 2, 0, 2, 0, 2}));
  f.Key(kVkEnter);
  EXPECT_EQ(f.Events(), (std::vector<std::string>{"pm:72(c,2)"}));
}

TEST(PrevMenu, ARightClickRemovesAMenuThatAllowsIt) {
  for (bool scrap : {true, false}) {
    PrevScene f;
    TNovaPrevMenu* pm = f.Menu({PrevScene::Button("a", 0)}, {{PR_RCLICKSCRAP, Flag(scrap)}});
    const TObjectRef ref(pm);
    f.MoveMouse(5, 6);
    f.PressRight();
    f.Step();
    EXPECT_EQ(f.scene.Resolve(ref) == nullptr, scrap);
  }
}

TEST(PrevMenu, ItemFunctionsReachTheButtonsByIndexOrName) {
  PrevScene f;
  RegisterItemFunctions(f.funcs, f.scene);
  std::vector<TNovaPrevMenuData> buttons = {PrevScene::Button("start", 0, 2), PrevScene::Button("load", 30, 2)};
  TNovaPrevMenu* pm = f.Menu(buttons);
  TParamCollectionItem* item = f.store.AddParam(PT_INT);
  f.store.SetParamName(item, "n");
  auto run = [&](const std::string& text) {
    CompileExpression(text)->Execute(f.store, f.funcs);
    return item->Param->GetAsInt();
  };
  EXPECT_EQ(run("n = GetCheck(\"pm\", \"start\")"), 1);
  EXPECT_EQ(run("n = GetGroupIndex(\"pm\", 1)"), 2);
  run("SetCheck(\"pm\", \"load\", 1)");
  EXPECT_EQ(run("n = GetCheck(\"pm\", 1)"), 1);
  EXPECT_EQ(run("n = GetCheck(\"pm\", 0)"), 0);
  run("SetEnabled(\"pm\", \"load\", 0)");
  EXPECT_EQ(run("n = GetEnabled(\"pm\", 1)"), 0);
  EXPECT_FALSE(pm->GetItemEnabled(1));
  run("SetVisible(\"pm\", 0, 0)");
  EXPECT_EQ(run("n = GetVisible(\"pm\", \"start\")"), 0);
  EXPECT_FALSE(pm->ButtonImage(0)->OwnVisible());
  EXPECT_EQ(run("n = GetCheck(\"pm\", 7)"), 0);  // beyond the buttons
  UnregisterItemFunctions(f.funcs);
}

}  // namespace
}  // namespace nova::test
