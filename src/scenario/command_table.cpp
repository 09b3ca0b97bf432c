// The command table: for each of the 61 codes its names, its class, its forced flags and the
// fields of its record after the header, in the order they are stored.
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/error.h"
#include "scenario/commands_cabinet.h"
#include "scenario/commands_create.h"
#include "scenario/commands_flip.h"
#include "scenario/commands_flow.h"
#include "scenario/commands_game.h"
#include "scenario/commands_media.h"
#include "scenario/commands_menu.h"
#include "scenario/commands_motion.h"
#include "scenario/commands_objects.h"
#include "scenario/commands_text.h"
#include "scenario/commands_props.h"
#include "scenario/messages.h"
#include "scenario/page_format.h"

namespace nova {
namespace {

using K = TFieldKind;

template <class T>
std::unique_ptr<TCommand> Make(TPage* page) {
  return std::make_unique<T>(page);
}

struct TLayoutSource {
  const char* Name;
  const char* JapaneseUtf8;
  TCommandFactory Create;
  int ForcedContinue;
  std::vector<TFieldLayout> Fields;
};

std::vector<TFieldLayout> Props() { return {{K::Properties, "props", 0}}; }

std::vector<TLayoutSource> Sources() {
  const std::vector<TFieldLayout> none;
  const std::vector<TFieldLayout> cond = {{K::Expr, "cond", 0}};
  const std::vector<TFieldLayout> object = {{K::Expr, "object", 0}};
  const std::vector<TFieldLayout> box = {{K::Expr, "box", 0}};
  const std::vector<TFieldLayout> reset = {{K::String, "page", 0}, {K::Int32, "target", 0}, {K::Byte, "full", 0}};
  const std::vector<TFieldLayout> cabinet = {
      {K::Properties, "props", 0}, {K::Expr, "mode", 0}, {K::ExprList, "patterns", 0}};
  return {
      {"If", "IF", Make<TComIf>, -1, cond},
      {"Elseif", "ELSE IF", Make<TComElseif>, -1, cond},
      {"Else", "ELSE", Make<TComElse>, 1, none},
      {"Label", "ラベル", Make<TComLabel>, -1, {{K::String, "name", 0}}},
      {"Jump", "ジャンプ", Make<TComJump>, -1, {{K::String, "page", 0}, {K::Int32, "target", 0}, {K::Expr, "cond", 0}}},
      {"Call", "コール", Make<TComCall>, -1,
       {{K::String, "page", 0}, {K::Int32, "target", 0}, {K::String, "result", 0}, {K::Expr, "cond", 0},
        {K::ExprList, "args", 0}}},
      {"Exit", "リターン", Make<TComExit>, -1, cond},
      {"Wait", "ウエイト", Make<TComWait>, -1, {{K::Expr, "cond", 0}, {K::Expr, "time", 0}, {K::Expr, "block", 107}}},
      {"BoxNew", "矩形サーフェス作成", Make<TComControl>, -1, Props()},
      {"ImgNew", "画像サーフェス作成", Make<TComControl>, -1, Props()},
      {"MesNew", "メッセージボックス作成", Make<TComControl>, -1, Props()},
      {"Timer", "タイマー", Make<TComComponent>, -1, Props()},
      {"Movie", "ムービー再生", Make<TComControl>, -1, Props()},
      {"Flip", "フリップ", Make<TComFlip>, -1,
       {{K::Expr, "kind", 0}, {K::Expr, "time", 0}, {K::Expr, "reverse", 0}, {K::Expr, "mode", 0},
        {K::ExprList, "patterns", 0}, {K::Expr, "clear", 0}, {K::Expr, "param1", 0}, {K::Expr, "param2", 0},
        {K::Expr, "text", 101}, {K::Expr, "block", 107}}},
      {"Calc", "計算", Make<TComCalc>, -1, {{K::Expr, "expr", 0}}},
      {"VarNew", "変数作成", Make<TComVarNew>, -1,
       {{K::String, "name", 0}, {K::Byte, "type", 0}, {K::Expr, "value", 0}, {K::Byte, "scope", 0}}},
      {"VarDel", "変数削除", Make<TComVarDel>, -1, {{K::String, "name", 0}}},
      {"GetProp", "プロパティ取得", Make<TComGetProp>, -1,
       {{K::Expr, "object", 0}, {K::Expr, "prop", 0}, {K::String, "var", 0}}},
      {"SetProp", "プロパティ設定", Make<TComSetProp>, -1,
       {{K::Expr, "object", 0}, {K::Expr, "prop", 0}, {K::Expr, "value", 0}}},
      {"ObjDel", "コンポーネント削除", Make<TComObjDel>, -1, object},
      {"TextIns", "テキスト挿入", Make<TComTextIns>, -1,
       {{K::TextBlock, "text", 0}, {K::Expr, "box", 0}, {K::Expr, "read", 0}, {K::Expr, "wait", 0},
        {K::Expr, "block", 107}}},
      {"MovieStop", "メディア停止", Make<TComMovieStop>, -1,
       {{K::Expr, "object", 0}, {K::Expr, "fade", 0}, {K::Expr, "wait", 0}, {K::Expr, "block", 107}}},
      {"ClrHist", "履歴クリア", Make<TComClrHist>, -1, none},
      {"Cinema", "シネマサーフェス作成", Make<TComControl>, -1, Props()},
      {"Caption", "キャプション作成", Make<TComControl>, -1, Props()},
      {"Menu", "メニュー作成", Make<TComControl>, -1, Props()},
      {"MenuClose", "メニュークローズ", Make<TComMenuClose>, -1, {{K::Expr, "menu", 0}}},
      {"Comment", "コメント", Make<TComComment>, 0, {{K::String, "text", 0}}},
      {"TextClr", "テキストクリア", Make<TComTextClr>, -1, box},
      {"CallHist", "履歴呼出", Make<TComCallHist>, -1,
       {{K::Expr, "box", 0}, {K::Expr, "first", 0}, {K::Expr, "count", 0}, {K::Expr, "flag", 0},
        {K::Expr, "format", 111}}},
      {"Button", "ボタン作成", Make<TComControl>, -1, Props()},
      {"While", "ループ", Make<TComWhile>, -1, {{K::Expr, "cond", 0}, {K::Int32, "end", 0}}},
      {"WhileInit", "ループ初期化", Make<TComWhileInit>, 1, {{K::Expr, "expr", 0}}},
      {"WhileLoop", "ループ再初期化", Make<TComWhileLoop>, -1, {{K::Expr, "expr", 0}, {K::Int32, "target", 0}}},
      {"Break", "ループ脱出", Make<TComBreak>, -1, {{K::Expr, "cond", 0}, {K::Int32, "target", 0}}},
      {"Continue", "ループ先頭へ", Make<TComContinue>, -1, {{K::Expr, "cond", 0}, {K::Int32, "target", 0}}},
      {"ParticleNew", "パーティクルサーフェス作成", Make<TComControl>, -1, Props()},
      {"FireNew", "炎サーフェス作成", Make<TComControl>, -1, Props()},
      {"GameSave", "ゲームセーブ", Make<TComGameSave>, 0,
       {{K::Expr, "slot", 0}, {K::String, "page", 0}, {K::Int32, "target", 105}, {K::Expr, "caption", 0}}},
      {"GameLoad", "ゲームロード", Make<TComGameLoad>, 0, {{K::Expr, "slot", 0}}},
      {"PCReset", "PCリセット", Make<TComPCReset>, -1, reset},
      {"Reset", "リセット", Make<TComReset>, -1, reset},
      {"Sound", "サウンド再生", Make<TComComponent>, -1, Props()},
      {"EditNew", "エディット作成", Make<TComControl>, -1, Props()},
      {"MemoNew", "メモ作成", Make<TComControl>, -1, Props()},
      {"Terminate", "終了", Make<TComTerminate>, -1, none},
      {"DoEvent", "DoEvent", Make<TComDoEvent>, 0, none},
      {"ClrRead", "既読クリア", Make<TComClrRead>, -1, none},
      {"MapImgNew", "選択画像作成", Make<TComControl>, -1, Props()},
      {"WaveNew", "ウエーブサーフェス作成", Make<TComControl>, -1, Props()},
      {"TileNew", "タイルサーフェス作成", Make<TComControl>, -1, Props()},
      {"SliderNew", "スライダー作成", Make<TComControl>, -1, Props()},
      {"ScrollbarNew", "スクロールバー作成", Make<TComControl>, -1, Props()},
      {"GaugeNew", "ゲージ作成", Make<TComControl>, -1, Props()},
      {"CGCaption", "画像キャプション作成", Make<TComControl>, -1, Props()},
      {"MediaPlay", "メディア再生", Make<TComMediaPlay>, -1, object},
      {"PrevMenuNew", "プレビューメニュー作成", Make<TComControl>, -1, Props()},
      {"PropMotion", "プロパティモーション", Make<TComPropMotion>, -1,
       {{K::Expr, "name", 0}, {K::Expr, "object", 0}, {K::Expr, "prop", 0}, {K::Expr, "value", 0},
        {K::Expr, "time", 0}, {K::Expr, "kind", 0}, {K::Expr, "repeat", 108}}},
      {"FormatHist", "履歴書式登録", Make<TComEntryHist>, -1, {{K::Expr, "box", 0}, {K::Expr, "format", 111}}},
      {"SaveCabinet", "キャビネット保存", Make<TComCabinetSave>, -1, cabinet},
      {"LoadCabinet", "キャビネット復帰", Make<TComCabinetLoad>, -1, cabinet},
  };
}

struct TLayoutTable {
  std::vector<std::string> JapaneseNames;  // Shift-JIS, owned here
  std::vector<TCommandLayout> Layouts;

  TLayoutTable() {
    std::vector<TLayoutSource> src = Sources();
    JapaneseNames.reserve(src.size());
    for (const TLayoutSource& s : src) JapaneseNames.push_back(Utf8ToSjis(s.JapaneseUtf8));
    for (size_t i = 0; i < src.size(); ++i) {
      TLayoutSource& s = src[i];
      Layouts.push_back(TCommandLayout{static_cast<int>(i), s.Name, JapaneseNames[i].c_str(), s.Create,
                                       s.ForcedContinue, i == 27, std::move(s.Fields)});
    }
  }
};

const TLayoutTable& Table() {
  static const TLayoutTable table;
  return table;
}

}  // namespace

const TCommandLayout& CommandLayout(int code) {
  const TLayoutTable& t = Table();
  if (code < 0 || code >= kCommandCount) RaiseError(msg::BadCommand());
  return t.Layouts[static_cast<size_t>(code)];
}

std::unique_ptr<TCommand> CreateCommand(TPage* page, int code) {
  const TCommandLayout& layout = CommandLayout(code);
  std::unique_ptr<TCommand> command = layout.Create(page);
  command->layout_ = &layout;
  return command;
}

int FindCommandByName(const std::string& englishName) {
  const TLayoutTable& t = Table();
  for (const TCommandLayout& l : t.Layouts)
    if (englishName == l.Name) return l.Code;
  return -1;
}

bool IsPropertyCommand(int code) {
  if (code < 0 || code >= kCommandCount) return false;
  for (const TFieldLayout& f : CommandLayout(code).Fields)
    if (f.Kind == TFieldKind::Properties) return true;
  return false;
}

}  // namespace nova
