// The message box: its text, pages, properties and saved form (typing, painting and links are
// in nova_mes_typing.cpp).
#include "components/text/nova_mes.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "base/encoding.h"
#include "base/error.h"
#include "components/component_services.h"
#include "components/text/history.h"
#include "components/images/picture_frames.h"
#include "components/text/read_list.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "text/markup.h"
#include "text/font_pixels.h"
#include "text/page_render.h"
#include "text/text_limits.h"

namespace nova {

TNovaMes::TNovaMes(TNovaBaseList* scene, const TComponentServices& services)
    : TNovaControl(scene),
      services_(services),
      history_(services.History),
      readList_(services.ReadMarks),
      glyphs_(services.Glyphs) {
  pictures_ = std::make_unique<TMesPictureSource>(services_, Bits());
  // No measurer: message text lays out in square cells, whatever the face's own widths, so rows
  // and pages break where the game's author saw them break.
  word_.Images = pictures_.get();
  word_.Settings.SpeedFactor = rate_;
}

TNovaMes::~TNovaMes() { FreePages(); }

TMesTextEnv TNovaMes::Env() const {
  TMesTextEnv env;
  env.Texts = services_.Texts;
  env.Images = pictures_.get();
  env.Store = services_.Store;
  env.Funcs = services_.Funcs;
  return env;
}

int TNovaMes::Bits() const { return Scene() ? Scene()->BitCount() : 32; }

TWdPage* TNovaMes::CurrentPage() const {
  if (pageIndex_ < 0 || pageIndex_ >= PageCount()) return nullptr;
  return pages_[static_cast<size_t>(pageIndex_)].get();
}

void TNovaMes::CommitHistory() {
  if (history_) history_->CommitEntry(Name());
}

void TNovaMes::FreePages() {
  hover_.clear();
  changed_.clear();
  pages_.clear();
}

// ---- the text ----

void TNovaMes::BuildFromMarkup(const std::string& shownValues) {
  const int32_t wait = services_.Store ? services_.Store->TextDelay : 50;
  std::string error;
  try {
    word_.BuildGlyphs(SplitMarkupLines(markup_), wait);
  } catch (const ENovaError& e) {
    error = e.what();  // the glyphs built so far are shown
  }
  word_.VarValues = SplitVarList(shownValues);
  if (!word_.VarValues.empty()) word_.ExpandVarsFromValues();
  else if (services_.Store && services_.Funcs) word_.ExpandVars(*services_.Store, *services_.Funcs);
  word_.LayoutPages(pages_);
  if (word_.Dropped() > 0)
    std::fprintf(stderr, "novaplayer: %s: the text holds more than %d glyphs; the last %lld are not shown\n",
                 SjisToUtf8(Name()).c_str(), word_.GlyphLimit, static_cast<long long>(word_.Dropped()));
  if (!error.empty()) throw ENovaError(error);
}

void TNovaMes::SetText(const std::string& markup) {
  Invalidate();
  data_.Clear();
  markup_ = markup;
  CommitHistory();
  FreePages();
  word_.Clear();
  std::string error;
  try {
    BuildFromMarkup();
  } catch (const ENovaError& e) {
    error = e.what();
  }
  pageIndex_ = 0;
  scroll_ = 0;
  if (TWdPage* page = CurrentPage()) {
    ResetTyping(*page);
    RequestRender(true);
    PlayStart();
  }
  Invalidate();
  if (!error.empty()) throw ENovaError(error);
}

void TNovaMes::LoadMessageData(bool firePlayStart) {
  Invalidate();
  markup_.clear();
  CommitHistory();
  FreePages();
  pageIndex_ = -1;
  word_.Clear();
  data_.Rebuild(word_, pages_, Env(), historyFlag_, pixelOffset_);
  if (!pages_.empty()) {
    if (firePlayStart) PlayStart();
    RequestRender(true);
  }
  Invalidate();
}

void TNovaMes::SetReadRequest(const std::string& key, int32_t message) {
  readMarks_ = true;
  readKey_ = key;
  messageNumber_ = message;
}

void TNovaMes::ShowCompiledText(const std::string& page, int32_t command) {
  data_.Clear();
  data_.AddReference(page, command, -1, Width(), Height());
  historyFlag_ = false;
  pixelOffset_ = 0;
  LoadMessageData(false);
  if (!pages_.empty()) SetPageIndex(0);
}

void TNovaMes::ClearText() {
  readMarks_ = false;
  SetText(std::string());
}

void TNovaMes::ShowHistory(const TNovaNewHistory& history, int32_t first, int32_t count, bool flag) {
  // Pages shown from the history are neither recorded again nor marked read.
  CommitHistory();
  readMarks_ = false;
  data_.Clear();
  pixelOffset_ = history.ShowIn(data_, first, count);
  historyFlag_ = flag;
  LoadMessageData(false);
  pageIndex_ = -1;
  SetPageIndex(0);
}

void TNovaMes::SetPageIndex(int32_t index) {
  if (index < 0 || index >= PageCount() || index == pageIndex_) return;
  if (pageIndex_ >= 0) CommitHistory();
  ClearHover();
  pageIndex_ = index;
  scroll_ = 0;
  PlayStart();
  if (readMarks_) BeginPage();
  ResetTyping(*CurrentPage());
  RequestRender(true);
  Invalidate();
}

void TNovaMes::SetScroll(int32_t y) {
  scroll_ = y;
  TWdPage* page = CurrentPage();
  if (!page) return;
  page->Typing.Scroll = y;
  RestartAccounts();
  ClearHover();
  Invalidate();
}

void TNovaMes::BeginPage() {
  TWdPage* page = CurrentPage();
  if (!page) return;
  int first = -1, last = -1;
  for (const auto& row : page->Rows)
    for (const TWdGlyph* g : row->Children) {
      int i = word_.IndexOf(g);
      if (i < 0) continue;
      if (first < 0) first = i;
      last = i;
    }
  std::vector<std::string> vars;
  if (first >= 0) word_.CollectVarValues(vars, first, last);
  THistoryEntry e;
  e.BoxName = Name();
  e.BoxWidth = Width();
  e.BoxHeight = Height();
  e.Page = readKey_;
  e.Command = messageNumber_;
  e.TextPage = pageIndex_;
  e.FirstGlyph = first >= 0 ? word_.PositionOfGlyph(first) : 0;
  e.LastGlyph = last >= 0 ? word_.PositionOfGlyph(last) : 0;
  e.VarList = JoinVarList(vars);
  if (history_) history_->BeginEntry(e);
  if (readList_) readList_->SetPending(Name(), readKey_, pageIndex_, messageNumber_);
}

void TNovaMes::PlayStart() {
  if (onPlayStart_.empty()) return;
  bool read = readMarks_ && readList_ && readList_->IsRead(readKey_, messageNumber_, pageIndex_);
  PostEventIfFree(PR_ONPLAYSTART, {read ? "1" : "0"}, false);
  startDelay_ = 1;
}

void TNovaMes::ResetTyping(TWdPage& page) {
  page.Typing = TWdTypingState{};
  page.Typing.Scroll = scroll_;
  page.Typing.StartSkip = word_.Settings.FadeSpeed > 0;
}

void TNovaMes::RestartAccounts() {
  TWdPage* page = CurrentPage();
  if (!page) return;
  page->Typing.TimeAccount = 0;
  page->Typing.FadeAccount = 0;
  page->Typing.StartSkip = word_.Settings.FadeSpeed > 0;
}

void TNovaMes::RequestRender(bool reset) {
  renderRequested_ = true;
  resetRequested_ = resetRequested_ || reset;
  TWdPage* page = CurrentPage();
  if (!reset || !page) return;
  // What has not been typed yet is not there: also for PR_TEXT before the next update.
  for (const auto& row : page->Rows)
    for (TWdGlyph* g : row->Children)
      if (g->Kind() == gkChar || g->Kind() == gkImg) static_cast<TWdReal*>(g)->Alpha = 0;
}

void TNovaMes::EnsureRendered() {
  if (!renderRequested_) return;
  TWdPage* page = CurrentPage();
  surfaceRefused_ = false;
  if (page && glyphs_ && !RenderPage(word_, *page, *glyphs_, Bits(), resetRequested_)) {
    // Huge characters (a damaged or hostile font height): the box shows nothing of this page.
    surfaceRefused_ = true;
    int64_t w = 0, h = 0;
    PageSurfaceSize(word_, *page, w, h);
    ReportTextSurfaceRefused(Name(), w, h);
  }
  renderRequested_ = resetRequested_ = false;
}

std::string TNovaMes::RevealedText() const {
  const TWdPage* page = CurrentPage();
  std::string text;
  if (!page) return text;
  for (const auto& row : page->Rows)
    for (const TWdGlyph* g : row->Children) {
      const uint8_t kind = g->Kind();
      if ((kind == gkChar || kind == gkImg) && static_cast<const TWdReal*>(g)->Alpha == 0) return text;
      if (kind == gkChar) text += static_cast<const TWdChar*>(g)->Text();
      if (kind == gkReturn) text += "\r\n";
    }
  return text;
}

// ---- properties ----

void TNovaMes::SetOption(int32_t& field, int32_t value) {
  if (field == value) return;
  field = value;
  RequestRender(false);
  Invalidate();
}

void TNovaMes::SetWidth(int32_t v) {
  TNovaControl::SetWidth(v);
  SetOption(word_.Settings.Width, v);
}

void TNovaMes::SetHeight(int32_t v) {
  TNovaControl::SetHeight(v);
  SetOption(word_.Settings.PageHeight, v);
}

void TNovaMes::PositionChanged() {
  // SetBounds changes the size without the setters: the text follows it here.
  SetOption(word_.Settings.Width, Width());
  SetOption(word_.Settings.PageHeight, Height());
  TNovaControl::PositionChanged();
}

bool TNovaMes::GetProperty(int id, TPropValue& v) {
  const TKtWordSettings& s = word_.Settings;
  switch (id) {
    case PR_ALPHA: v = TPropValue::OfInt(s.Option); return true;
    case PR_FONTNAME: v = TPropValue::OfStr(s.FontName); return true;
    case PR_FONTHEIGHT: v = TPropValue::OfInt(s.FontSize); return true;
    case PR_LINESPACE: v = TPropValue::OfInt(s.LineSpacing); return true;
    case PR_FONTCOLOR: v = TPropValue::OfInt(s.TextColor); return true;
    case PR_FONTLINKCOLOR: v = TPropValue::OfInt(s.LinkColor); return true;
    case PR_FONTHOVERCOLOR: v = TPropValue::OfInt(s.ActiveLinkColor); return true;
    case PR_FONTBORDERCOLOR: v = TPropValue::OfInt(s.BorderColor); return true;
    case PR_FONTSHADOWCOLOR: v = TPropValue::OfInt(s.ShadowColor); return true;
    case PR_FONTBORDER: v = TPropValue::OfInt(s.BorderWidth); return true;
    case PR_FONTSHADOW: v = TPropValue::OfInt(s.ShadowOffset); return true;
    case PR_ANTIALIAS: v = TPropValue::OfFlag(s.Smoothing > 0); return true;
    case PR_DELAY: v = TPropValue::OfInt(s.FadeSpeed); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_TEXTPAUSED: v = TPropValue::OfFlag(textPaused_); return true;
    case PR_TEXTDELAY: v = TPropValue::OfInt(rate_); return true;
    case PR_ONPLAYING: v = TPropValue::OfStr(onPlaying_); return true;
    case PR_ONNOTIFY: v = TPropValue::OfStr(onNotify_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_ONLINK: v = TPropValue::OfStr(onLink_); return true;
    case PR_ONPLAYSTART: v = TPropValue::OfStr(onPlayStart_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_INDEX: v = TPropValue::OfInt(pageIndex_); return true;
    case PR_COUNT: v = TPropValue::OfInt(PageCount()); return true;
    case PR_TEXT: v = TPropValue::OfStr(RevealedText()); return true;
    case PR_CARETX: v = TPropValue::OfInt(s.Caret.X); return true;
    case PR_CARETY: v = TPropValue::OfInt(s.Caret.Y); return true;
    case PR_CARETHEIGHT: v = TPropValue::OfInt(caretHeight_); return true;
    case PR_SCROLLY: {
      const TWdPage* page = CurrentPage();
      v = TPropValue::OfInt(page ? page->Typing.Scroll : scroll_);
      return true;
    }
    case PR_CAPTURELINK: v = TPropValue::OfFlag(captureLink_); return true;
    case PR_PLAYING: v = TPropValue::OfFlag(CurrentPage() && (pageIndex_ < PageCount() - 1 || StillTyping())); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaMes::SetProperty(int id, const TPropValue& v) {
  TKtWordSettings& s = word_.Settings;
  switch (id) {
    case PR_ALPHA: SetOption(s.Option, v.Int); return true;
    case PR_FONTNAME:
      if (s.FontName != v.Str) {
        s.FontName = v.Str;
        RequestRender(false);
        Invalidate();
      }
      return true;
    case PR_FONTHEIGHT: SetOption(s.FontSize, v.Int); return true;
    case PR_LINESPACE: SetOption(s.LineSpacing, v.Int); return true;
    case PR_FONTCOLOR: SetOption(s.TextColor, v.Int); return true;
    case PR_FONTLINKCOLOR: SetOption(s.LinkColor, v.Int); return true;
    case PR_FONTHOVERCOLOR: SetOption(s.ActiveLinkColor, v.Int); return true;
    case PR_FONTBORDERCOLOR: SetOption(s.BorderColor, v.Int); return true;
    case PR_FONTSHADOWCOLOR: SetOption(s.ShadowColor, v.Int); return true;
    case PR_FONTBORDER: SetOption(s.BorderWidth, v.Int); return true;
    case PR_FONTSHADOW: SetOption(s.ShadowOffset, v.Int); return true;
    case PR_ANTIALIAS: SetOption(s.Smoothing, v.Flag ? 3 : 0); return true;
    case PR_DELAY: SetOption(s.FadeSpeed, std::max(0, v.Int)); return true;
    case PR_TEXTDELAY:
      rate_ = v.Int;
      s.SpeedFactor = v.Int;
      return true;
    case PR_PAUSED:
    case PR_TEXTPAUSED: {
      const bool before = paused_ || textPaused_;
      (id == PR_PAUSED ? paused_ : textPaused_) = v.Flag;
      if (before && !(paused_ || textPaused_)) RestartAccounts();
      return true;
    }
    case PR_ONPLAYING: onPlaying_ = v.Str; return true;
    case PR_ONNOTIFY: onNotify_ = v.Str; return true;
    case PR_ONPLAYEND: onPlayEnd_ = v.Str; return true;
    case PR_ONLINK: onLink_ = v.Str; return true;
    case PR_ONPLAYSTART: onPlayStart_ = v.Str; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    case PR_INDEX: SetPageIndex(v.Int); return true;
    case PR_TEXT: SetText(v.Str); return true;
    case PR_SCROLLY: SetScroll(v.Int); return true;
    case PR_CAPTURELINK: captureLink_ = v.Flag; return true;
    case PR_COUNT:
    case PR_PLAYING: return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

// ---- saved form ----

void TNovaMes::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  word_.Settings.SaveToStream(s, 138);
  if (TWdPage* page = CurrentPage()) {
    // A loaded game shows the values the variables had.
    int first = -1, last = -1;
    for (const auto& row : page->Rows)
      for (const TWdGlyph* g : row->Children)
        if (int i = word_.IndexOf(g); i >= 0) {
          if (first < 0) first = i;
          last = i;
        }
    std::vector<std::string> vars;
    if (first >= 0) word_.CollectVarValues(vars, first, last);
    const std::string list = JoinVarList(vars);
    for (THistRow& r : data_.Rows.Rows) r.VarList = list;
  }
  data_.SaveToStream(s);
  s.WriteByte(historyFlag_ ? 1 : 0);
  s.WriteInt32(pixelOffset_);
  s.WriteString(markup_);
  s.WriteInt32(pageIndex_);
  s.WriteInt32(scroll_);
  s.WriteInt32(option_);
  for (const std::string& e : extraStrings_) s.WriteString(e);
  for (const std::string* e : {&onPlaying_, &onPlayStart_, &onPlayEnd_, &onLink_, &onNotify_}) s.WriteString(*e);
  s.WriteByte(paused_ ? 1 : 0);
  s.WriteByte(textPaused_ ? 1 : 0);
  s.WriteInt32(rate_);
  s.WriteByte(readMarks_ ? 1 : 0);
  s.WriteString(readKey_);
  s.WriteInt32(messageNumber_);
  s.WriteString(onIdle_);
  s.WriteByte(captureLink_ ? 1 : 0);
  TKtMemoryStream states;
  SavePageStates(states);
  SaveShownValues(states);
  s.WriteInt32(static_cast<int32_t>(states.Size()));
  s.WriteBytes(states.Data());
}

void TNovaMes::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  FreePages();
  word_.Clear();
  word_.Settings.LoadFromStream(s, version);
  data_.LoadFromStream(s, version);
  historyFlag_ = s.ReadByte() != 0;
  pixelOffset_ = version > 112 ? s.ReadInt32() : 0;
  markup_ = s.ReadString();
  pageIndex_ = s.ReadInt32();
  scroll_ = s.ReadInt32();
  option_ = s.ReadInt32();
  for (std::string& e : extraStrings_) e = s.ReadString();
  for (std::string* e : {&onPlaying_, &onPlayStart_, &onPlayEnd_, &onLink_, &onNotify_}) *e = s.ReadString();
  paused_ = s.ReadByte() != 0;
  textPaused_ = s.ReadByte() != 0;
  rate_ = s.ReadInt32();
  readMarks_ = s.ReadByte() != 0;
  readKey_ = s.ReadString();
  messageNumber_ = s.ReadInt32();
  if (version > 103) onIdle_ = s.ReadString();
  if (version >= 120) captureLink_ = s.ReadByte() != 0;
  int32_t n = s.ReadInt32();
  if (n < 0 || n > s.Remaining()) RaiseError("message box: bad page states");
  std::string stateBytes = s.ReadBytes(n);
  const std::string shown = TakeShownValues(stateBytes);
  // The pages again, from the message data, else from the markup; the variables show what they
  // showed when the game was saved (the variables themselves are restored after the scene).
  if (!data_.Empty()) {
    data_.Rebuild(word_, pages_, Env(), historyFlag_, pixelOffset_, shown);
  } else if (!markup_.empty()) {
    try {
      BuildFromMarkup(shown);
    } catch (const ENovaError&) {
      // The glyphs before the broken tag are shown, as when the text was set.
    }
  }
  TKtMemoryStream states(stateBytes);
  // The current page starts over and is rendered; the saved states then say how far it was.
  renderRequested_ = resetRequested_ = false;
  startDelay_ = 0;
  if (TWdPage* page = CurrentPage()) {
    ResetTyping(*page);
    renderRequested_ = resetRequested_ = true;
    EnsureRendered();
  }
  LoadPageStates(states);
}

// What the variables of the text showed, after the page states: the text is rebuilt while the
// scene loads, before the variables are restored, and a loaded box must show the values that
// were on the screen. The block is written only for a text with expanded variables, as the
// list's bytes, their int32 count and the four bytes kShownValuesMark, so that a reader of the
// page states alone stops before it.
namespace {
constexpr std::string_view kShownValuesMark = "VARS";
}  // namespace

void TNovaMes::SaveShownValues(TStream& s) {
  std::vector<std::string> vars;
  word_.CollectVarValues(vars);
  if (vars.empty()) return;
  const std::string list = JoinVarList(vars);
  s.WriteBytes(list);
  s.WriteInt32(static_cast<int32_t>(list.size()));
  s.WriteBytes(std::string(kShownValuesMark));
}

std::string TNovaMes::TakeShownValues(std::string& stateBytes) {
  const size_t tail = sizeof(int32_t) + kShownValuesMark.size();
  if (stateBytes.size() < tail || stateBytes.compare(stateBytes.size() - kShownValuesMark.size(), std::string::npos,
                                                     kShownValuesMark) != 0)
    return std::string();
  TKtMemoryStream count(stateBytes.substr(stateBytes.size() - tail, sizeof(int32_t)));
  const int32_t n = count.ReadInt32();
  if (n < 0 || static_cast<size_t>(n) > stateBytes.size() - tail) return std::string();
  const size_t from = stateBytes.size() - tail - static_cast<size_t>(n);
  std::string list = stateBytes.substr(from, static_cast<size_t>(n));
  stateBytes.resize(from);
  return list;
}

void TNovaMes::SavePageStates(TStream& s) {
  for (const auto& page : pages_) {
    const TWdTypingState& t = page->Typing;
    s.WriteInt32(t.Scroll);
    s.WriteInt32(t.RowIndex);
    s.WriteInt32(t.GlyphIndex);
    s.WriteByte(t.Finished ? 1 : 0);
    s.WriteString(t.PendingEvents);
    for (const auto& row : page->Rows)
      for (const TWdGlyph* g : row->Children) {
        const uint8_t kind = g->Kind();
        if (kind == gkVar) {
          s.WriteInt32(255);
        } else if (kind == gkChar || kind == gkImg) {
          auto* r = static_cast<const TWdReal*>(g);
          bool fading = std::find(t.Fading.begin(), t.Fading.end(), r) != t.Fading.end();
          s.WriteInt32(fading ? 255 : r->Alpha);
        }
      }
  }
}

void TNovaMes::LoadPageStates(TStream& s) {
  for (const auto& page : pages_) {
    if (s.Remaining() <= 0) break;
    TWdTypingState& t = page->Typing;
    t.Scroll = s.ReadInt32();
    t.RowIndex = s.ReadInt32();
    t.GlyphIndex = s.ReadInt32();
    t.Finished = s.ReadByte() != 0;
    t.PendingEvents = s.ReadString();
    t.Fading.clear();
    t.Animated.clear();
    for (const auto& row : page->Rows)
      for (TWdGlyph* g : row->Children) {
        const uint8_t kind = g->Kind();
        if (kind == gkVar) {
          (void)s.ReadInt32();
        } else if (kind == gkChar || kind == gkImg) {
          auto* r = static_cast<TWdReal*>(g);
          r->Alpha = std::clamp(s.ReadInt32(), 0, 255);
          if (kind == gkImg && r->Alpha > 0) {
            auto* img = static_cast<TWdImg*>(g);
            if (img->Picture && img->Picture->FrameCount() > 1) t.Animated.push_back(img);
          }
        }
      }
  }
  if (TWdPage* page = CurrentPage()) scroll_ = page->Typing.Scroll;
}

}  // namespace nova
