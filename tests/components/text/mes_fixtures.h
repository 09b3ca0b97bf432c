#pragma once
// A 320 x 240 scene with the components' services for the message box, caption and history
// tests: the glyph cache on the headless rasteriser, variables, a history, read marks, and
// scenario pages made of compiled texts (a fake text source), run frame by frame.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/vrfile_collection.h"
#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "components/component_services.h"
#include "components/text/history.h"
#include "components/text/mes_text_source.h"
#include "components/text/nova_mes.h"
#include "components/text/read_list.h"
#include "components/register_components.h"
#include "objects/property_access.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "platform/headless_fonts.h"
#include "render/dibx.h"
#include "support/scene_steps.h"
#include "text/font_pixels.h"
#include "text/glyph_render.h"
#include "text/ktwords.h"

namespace nova::test {

inline std::string S(const std::string& utf8) { return Utf8ToSjis(utf8); }

// The glyph stream of markup (UTF-8), as TextIns carries it.
inline std::string Compiled(const std::string& markupUtf8, int32_t wait = 50) {
  TKtWord word;
  word.BuildGlyphs(SplitMarkupLines(S(markupUtf8)), wait);
  TKtMemoryStream out;
  word.SaveGlyphStream(out);
  return out.Data();
}

// Scenario pages as lists of commands: a text block for a TextIns, nothing for others.
class FakeTexts : public TMesTextSource {
public:
  void Add(const std::string& page, std::vector<std::optional<std::string>> blocks) {
    auto p = std::make_shared<TMesTextPage>();
    p->Name = page;
    p->Blocks = std::move(blocks);
    pages_[page] = p;
  }
  bool PageExists(const std::string& page) override { return pages_.count(page) != 0; }
  std::shared_ptr<const TMesTextPage> LoadPage(const std::string& page) override {
    ++Loads;
    auto it = pages_.find(page);
    return it == pages_.end() ? nullptr : it->second;
  }
  int Loads = 0;

private:
  std::map<std::string, std::shared_ptr<const TMesTextPage>> pages_;
};

// A fresh file manager with one in-memory archive, and files put into it.
inline void FreshFiles() {
  ResetFileManager(false);
  FileManager().AddMemoryArchive();
}
inline void PutFile(const std::string& name, const std::string& bytes) {
  TVrFileCollection* memory = FileManager().Archive(0);
  memory->RemoveFile(name);
  memory->AddMemoryFile(name)->Memory->Assign(bytes);
}

// A 24-bit bitmap file of w x h pixels; colour(x, y) gives 0x00RRGGBB.
template <class F>
std::string Bitmap(int w, int h, F colour) {
  const int row = (w * 3 + 3) / 4 * 4;
  std::string b;
  auto u16 = [&](uint32_t v) { b.push_back(static_cast<char>(v & 0xFF)), b.push_back(static_cast<char>(v >> 8 & 0xFF)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  b += "BM";
  u32(static_cast<uint32_t>(54 + row * h));
  u32(0);
  u32(54);
  u32(40);
  u32(static_cast<uint32_t>(w));
  u32(static_cast<uint32_t>(h));
  u16(1);
  u16(24);
  for (int i = 0; i < 6; ++i) u32(0);
  for (int y = h - 1; y >= 0; --y) {  // bottom-up rows
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      b.push_back(static_cast<char>(c & 0xFF));
      b.push_back(static_cast<char>(c >> 8 & 0xFF));
      b.push_back(static_cast<char>(c >> 16 & 0xFF));
    }
    b.append(static_cast<size_t>(row - w * 3), '\0');
  }
  return b;
}

struct MesFixture {
  MesFixture() : funcs(store), glyphs(fonts) {
    FreshFiles();
    services.Files = &FileManager();
    services.Store = &store;
    services.Funcs = &funcs;
    services.Glyphs = &glyphs;
    services.Texts = &texts;
    services.History = &history;
    services.ReadMarks = &marks;
    history.Env = TMesTextEnv{&texts, nullptr, nullptr, &store, &funcs};  // square cells, as the game's
    RegisterComponentClasses(factory, services);
    scene.SetFactory(&factory);
    scene.SetSize(320, 240);
    back.SetSize(320, 240, 32);
    scene.SetBackSurface(&back);
  }

  // A message box as MesNew makes it (font height 16, speed rate 256, alpha 255).
  TNovaMes* Box(const std::string& name, int32_t l, int32_t t, int32_t w, int32_t h) {
    auto* box = scene.Make<TNovaMes>(services);
    box->SetName(S(name));
    box->SetParent(&scene.Displayed());
    for (auto [id, v] : {std::pair{PR_LEFT, l}, {PR_TOP, t}, {PR_WIDTH, w}, {PR_HEIGHT, h}, {PR_FONTHEIGHT, 16},
                         {PR_TEXTDELAY, 256}, {PR_ALPHA, 255}})
      WriteProperty(*box, id, TPropValue::OfInt(v));
    return box;
  }

  static void Set(TNovaObject& o, int id, int32_t v) { WriteProperty(o, id, TPropValue::OfInt(v)); }
  static void SetFlag(TNovaObject& o, int id, bool v) { WriteProperty(o, id, TPropValue::OfFlag(v)); }
  static void SetStr(TNovaObject& o, int id, const std::string& utf8) { WriteProperty(o, id, TPropValue::OfStr(S(utf8))); }
  static int32_t Int(TNovaObject& o, int id) { return ReadProperty(o, id).Int; }
  static bool Flag(TNovaObject& o, int id) { return ReadProperty(o, id).Flag; }
  static std::string Str(TNovaObject& o, int id) { return SjisToUtf8(ReadProperty(o, id).Str); }

  // One frame: input, update, paint; the dirty rectangles painted are returned.
  std::vector<TRect> Frame(uint32_t ms = 16) {
    std::vector<TRect> dirty;
    StepScene(scene, ms, &dirty);
    return dirty;
  }
  void Frames(int n, uint32_t ms = 16) {
    for (int i = 0; i < n; ++i) Frame(ms);
  }

  // The queued events as "sender:code(args)", and taking them off the queue as the
  // interpreter would once their handlers ran.
  std::vector<std::string> Events() const { return QueuedEvents(scene, TEventText::Utf8); }
  std::vector<std::string> TakeEvents() {
    std::vector<std::string> out = Events();
    scene.Events().Clear();
    return out;
  }

  TScreenMouseState& Mouse() { return scene.Input().Screens[scene.DisplayedIndex()]; }
  void MoveMouse(int32_t x, int32_t y) { Mouse().X = x, Mouse().Y = y, Mouse().Moved = true; }
  void PressLeft() {
    Mouse().LeftPressedNow = true;
    for (auto& m : scene.Input().Screens) m.LeftHeld = true;
  }
  void ReleaseLeft() {
    for (auto& m : scene.Input().Screens) m.LeftHeld = false;
  }

  TParamCollection store;
  TSysFuncMan funcs;
  THeadlessFontRasterizer fonts;
  TFontPixelManager glyphs;
  FakeTexts texts;
  TNovaHistoryFormatManager history;
  TNovaReadList marks;
  TComponentServices services;
  TObjectFactory factory;
  TNovaBaseList scene;
  TDIBX back;
};

}  // namespace nova::test
