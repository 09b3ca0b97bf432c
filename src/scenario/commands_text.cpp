#include "scenario/commands_text.h"

#include <algorithm>

#include "components/text/history.h"
#include "components/text/nova_mes.h"
#include "components/text/read_list.h"
#include "objects/property_access.h"
#include "scenario/call_man.h"
#include "scenario/pages.h"

namespace nova {

namespace {

TNovaMes* MessageBox(TNovaObject* object) { return dynamic_cast<TNovaMes*>(object); }

}  // namespace

void TComTextIns::LoadFields(TFieldReader& f) {
  text_ = f.Str("text");
  box_ = f.Expr("box");
  readMark_ = f.Expr("read");
  waitExpr_ = f.Expr("wait");
  blockExpr_ = f.Expr("block");
}

void TComTextIns::Enter(TCallMan& cm) {
  blockEvents_ = EvalFlag(blockExpr_.get(), cm, false) ? 1 : 0;
  objectName_.clear();
  if (!text_.empty()) {
    if (TNovaMes* box = MessageBox(cm.Scene().FindObject(EvalStr(box_.get(), cm)))) {
      const std::string& page = Page()->Name();
      const int32_t index = Page()->IndexOf(this);
      box->ClearReadRequest();
      if (EvalFlag(readMark_.get(), cm, false)) box->SetReadRequest(page, index);
      objectName_ = box->Name();
      box->ShowCompiledText(page, index);
    }
  }
  wait_ = EvalFlag(waitExpr_.get(), cm, false) ? 1 : 0;
}

void TComTextIns::Execute(TCallMan& cm) {
  if (wait_ && !objectName_.empty())
    if (TNovaMes* box = MessageBox(cm.Scene().FindControl(objectName_)); box && box->PageCount() != 0) return;
  cm.Next();
}

void TComTextClr::Execute(TCallMan& cm) {
  cm.Next();
  if (TNovaMes* box = MessageBox(cm.Scene().FindObject(EvalStr(Expr("box"), cm)))) box->ClearText();
}

void TComCallHist::Execute(TCallMan& cm) {
  cm.Next();
  TNovaMes* box = MessageBox(cm.Scene().FindControl(EvalStr(Expr("box"), cm)));
  TNovaHistoryFormatManager* formats = cm.Host().HistoryFormats();
  if (!box || !formats) return;
  TCustomParam* firstValue = Evaluate(Expr("first"), cm);
  if (!firstValue) return;
  int32_t first = std::max(firstValue->GetAsInt(), 0);
  int32_t count = EvalInt(Expr("count"), cm, 1);
  const bool flag = EvalFlag(Expr("flag"), cm, false);
  TNovaHistoryFormat* format = formats->FindFormat(EvalStr(Expr("format"), cm));
  if (!format) return;
  const int32_t total = format->History.Count();
  if (int64_t{total} < int64_t{first} + count) count = total - first;
  if (count > 0) box->ShowHistory(format->History, first, count, flag);
}

void TComEntryHist::Execute(TCallMan& cm) {
  cm.Next();
  TNovaHistoryFormatManager* formats = cm.Host().HistoryFormats();
  if (!formats) return;
  const std::string boxName = EvalStr(Expr("box"), cm);
  TNovaHistoryFormat& format = formats->GetFormat(EvalStr(Expr("format"), cm));
  format.Settings = THistorySettings{};
  if (TNovaObject* object = cm.Scene().FindObject(boxName)) {
    const int ids[] = {PR_FONTHEIGHT, PR_FONTBORDER, PR_FONTSHADOW, PR_WIDTH, PR_HEIGHT, PR_LINESPACE};
    for (size_t i = 0; i < format.Settings.size(); ++i) format.Settings[i] = ReadProperty(*object, ids[i]).Int;
  }
}

void TComClrHist::Execute(TCallMan& cm) {
  cm.Next();
  if (TNovaHistoryFormatManager* formats = cm.Host().HistoryFormats()) formats->ClearAll();
}

void TComClrRead::Execute(TCallMan& cm) {
  cm.Next();
  if (TNovaReadList* marks = cm.Host().ReadMarks()) marks->ClearAll();
}

}  // namespace nova
