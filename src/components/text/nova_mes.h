#pragma once
// TNovaMes, the message box: it owns a text object and the pages laid out from it, shows one
// page at a time and types it out glyph by glyph (each glyph's wait scaled by the speed rate,
// then a fade-in of PR_DELAY ms), posts the message events (play start, playing, play end,
// notify, link), lets links be hovered and clicked, records read marks and hands the pages it
// shows to the message history.
//
// Its text comes as markup (PR_TEXT, parsed here) or as compiled text of a TextIns command,
// which the box finds again through its message data (page name and command index), so that a
// saved game, or the history, can show the same text later.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/text/mes_data.h"
#include "objects/nova_control.h"
#include "text/kt_word.h"

namespace nova {

class TFontPixelManager;
class TMesPictureSource;
class TNovaHistoryFormatManager;
class TNovaNewHistory;
class TNovaReadList;
struct TComponentServices;

class TNovaMes : public TNovaControl {
public:
  TNovaMes(TNovaBaseList* scene, const TComponentServices& services);
  ~TNovaMes() override;

  uint8_t TypeCode() const override { return LT_MES; }
  bool Paused() const override { return paused_; }

  // ---- the text ----
  // PR_TEXT: shows marked-up text (no pages for an empty text). A broken A tag raises its
  // error after the glyphs built so far are shown.
  void SetText(const std::string& markup);
  // Rebuilds text and pages from the message data (TextIns, saved games).
  void LoadMessageData(bool firePlayStart);
  // PR_INDEX (out of range or the current page: ignored) and PR_SCROLLY.
  void SetPageIndex(int32_t index);
  void SetScroll(int32_t y);

  // TextIns: the read-mark request (switched off, or on for the command's page and index),
  // then the compiled text of (page, command) shown from its first page.
  void ClearReadRequest() { readMarks_ = false; }
  void SetReadRequest(const std::string& key, int32_t message);
  void ShowCompiledText(const std::string& page, int32_t command);
  // TextClr: read marks off and no text.
  void ClearText();
  // CallHist: entries of a history shown in the box (flag: the CallHist flag).
  void ShowHistory(const TNovaNewHistory& history, int32_t first, int32_t count, bool flag);

  // ---- state ----
  int PageCount() const { return static_cast<int>(pages_.size()); }
  int32_t PageIndex() const { return pageIndex_; }
  TWdPage* CurrentPage() const;
  // The current page still reveals or fades glyphs (PR_PLAYING on the last page).
  bool StillTyping() const;
  bool ReadMarksOn() const { return readMarks_; }
  const std::string& ReadKey() const { return readKey_; }
  int32_t MessageNumber() const { return messageNumber_; }
  TKtWord& Word() { return word_; }
  TNovaNewMesData& MessageData() { return data_; }
  // The text shown so far (PR_TEXT's reading).
  std::string RevealedText() const;
  TPoint Caret() const { return word_.Settings.Caret; }
  int32_t CaretHeight() const { return caretHeight_; }

  // ---- the control ----
  bool Update(uint32_t elapsedMs) override;
  TNovaControl* HitTest(TPoint point, TMouseModes modes) override;
  void DoLButtonDown(TPoint mouse) override;
  void DoMouseMove(TPoint mouse) override;
  void DoMouseOut() override;
  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;
  void PositionChanged() override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& surface) override;

private:
  TMesTextEnv Env() const;
  int Bits() const;
  void CommitHistory();
  void FreePages();
  // shownValues: name=value lines the variables take instead of running their expressions.
  void BuildFromMarkup(const std::string& shownValues = std::string());
  // The history entry and the pending read mark of the current page.
  void BeginPage();
  void PlayStart();
  void ResetTyping(TWdPage& page);
  void RestartAccounts();
  void RequestRender(bool reset);
  // Renders the current page into the text object's page surfaces when a render is asked for.
  void EnsureRendered();
  void SetOption(int32_t& field, int32_t value);
  // The typing step; returns whether characters or images appeared, and reports the page's
  // end once.
  bool TypingStep(TWdPage& page, uint32_t elapsedMs, bool& finished);
  int32_t WaitOf(const TWdGlyph* g) const;
  void PlaceCaret(TWdPage& page);
  void SendNotifications(TWdPage& page);
  // Page coordinates of a glyph's drawn rectangle, and their addition to the screen's dirty
  // list (through the box's own rectangle).
  TRect GlyphRect(const TWdGlyph& g) const;
  void InvalidatePageRect(const TRect& pageRect);
  TPoint PageOrigin();
  // The drawn glyph with a link under a screen point, on the current page.
  TWdReal* LinkGlyphAt(TPoint screen);
  void SetHover(std::vector<TWdReal*> run);
  void ClearHover() { SetHover({}); }
  int32_t ImageBlend(int32_t glyphAlpha) const;
  bool PagingOn() const { return word_.Settings.Paging && word_.Settings.PageHeight > 0; }
  void SavePageStates(TStream& s);
  void LoadPageStates(TStream& s);
  // The values the text's variables showed, saved after the page states; taking them cuts them
  // off the page state bytes (empty when none were saved).
  void SaveShownValues(TStream& s);
  static std::string TakeShownValues(std::string& stateBytes);

  const TComponentServices& services_;
  TNovaHistoryFormatManager* history_;
  TNovaReadList* readList_;
  TFontPixelManager* glyphs_;
  std::unique_ptr<TMesPictureSource> pictures_;

  TKtWord word_;
  TWdPageList pages_;
  int32_t pageIndex_ = -1;
  int32_t scroll_ = 0;
  bool paused_ = false, textPaused_ = false;
  int32_t rate_ = 256;  // PR_TEXTDELAY, in 1/256
  bool readMarks_ = false;
  std::string readKey_;
  int32_t messageNumber_ = 0;
  TNovaNewMesData data_;
  std::string markup_;
  bool historyFlag_ = false;   // the CallHist flag
  int32_t pixelOffset_ = 0;    // where history rows start
  bool captureLink_ = false;
  std::string onPlaying_, onPlayStart_, onPlayEnd_, onLink_, onNotify_, onIdle_;
  std::array<std::string, 3> extraStrings_;  // stored and saved only
  int32_t option_ = 0;                       // stored and saved only
  bool renderRequested_ = false, resetRequested_ = false;
  bool surfaceRefused_ = false;  // the current page was beyond the text surface limits
  int32_t startDelay_ = 0;
  int32_t caretHeight_ = 0;
  std::vector<TWdReal*> hover_;  // the hovered link run
  std::vector<TRect> changed_;   // page rectangles changed by this frame's glyph updates
};

}  // namespace nova
