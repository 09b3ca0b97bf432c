// The 61 command record layouts: names, classes, forced flags and the fields after the header.
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/error.h"
#include "scenario/page_format.h"

namespace nova {
namespace {

using K = TFieldKind;

struct TLayoutSource {
  const char* Name;
  const char* JapaneseUtf8;
  const char* ClassName;
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
      {"If", "IF", "TComIf", -1, cond},
      {"Elseif", "ELSE IF", "TComElseif", -1, cond},
      {"Else", "ELSE", "TComElse", 1, none},
      {"Label", "ラベル", "TComLabel", -1, {{K::String, "name", 0}}},
      {"Jump", "ジャンプ", "TComJump", -1, {{K::String, "page", 0}, {K::Int32, "target", 0}, {K::Expr, "cond", 0}}},
      {"Call", "コール", "TComCall", -1,
       {{K::String, "page", 0}, {K::Int32, "target", 0}, {K::String, "result", 0}, {K::Expr, "cond", 0},
        {K::ExprList, "args", 0}}},
      {"Exit", "リターン", "TComExit", -1, cond},
      {"Wait", "ウエイト", "TComWait", -1, {{K::Expr, "cond", 0}, {K::Expr, "time", 0}, {K::Expr, "block", 107}}},
      {"BoxNew", "矩形サーフェス作成", "TComBoxNew", -1, Props()},
      {"ImgNew", "画像サーフェス作成", "TComImgNew", -1, Props()},
      {"MesNew", "メッセージボックス作成", "TComMesNew", -1, Props()},
      {"Timer", "タイマー", "TComTimer", -1, Props()},
      {"Movie", "ムービー再生", "TComMovie", -1, Props()},
      {"Flip", "フリップ", "TComFlip", -1,
       {{K::Expr, "kind", 0}, {K::Expr, "time", 0}, {K::Expr, "reverse", 0}, {K::Expr, "mode", 0},
        {K::ExprList, "patterns", 0}, {K::Expr, "clear", 0}, {K::Expr, "param1", 0}, {K::Expr, "param2", 0},
        {K::Expr, "text", 101}, {K::Expr, "block", 107}}},
      {"Calc", "計算", "TComCalc", -1, {{K::Expr, "expr", 0}}},
      {"VarNew", "変数作成", "TComVarNew", -1,
       {{K::String, "name", 0}, {K::Byte, "type", 0}, {K::Expr, "value", 0}, {K::Byte, "scope", 0}}},
      {"VarDel", "変数削除", "TComVarDel", -1, {{K::String, "name", 0}}},
      {"GetProp", "プロパティ取得", "TComGetProp", -1,
       {{K::Expr, "object", 0}, {K::Expr, "prop", 0}, {K::String, "var", 0}}},
      {"SetProp", "プロパティ設定", "TComSetProp", -1,
       {{K::Expr, "object", 0}, {K::Expr, "prop", 0}, {K::Expr, "value", 0}}},
      {"ObjDel", "コンポーネント削除", "TComObjDel", -1, object},
      {"TextIns", "テキスト挿入", "TComTextIns", -1,
       {{K::TextBlock, "text", 0}, {K::Expr, "box", 0}, {K::Expr, "read", 0}, {K::Expr, "wait", 0},
        {K::Expr, "block", 107}}},
      {"MovieStop", "メディア停止", "TComMovieStop", -1,
       {{K::Expr, "object", 0}, {K::Expr, "fade", 0}, {K::Expr, "wait", 0}, {K::Expr, "block", 107}}},
      {"ClrHist", "履歴クリア", "TComClrHist", -1, none},
      {"Cinema", "シネマサーフェス作成", "TComCinema", -1, Props()},
      {"Caption", "キャプション作成", "TComCaption", -1, Props()},
      {"Menu", "メニュー作成", "TComMenu", -1, Props()},
      {"MenuClose", "メニュークローズ", "TComMenuClose", -1, {{K::Expr, "menu", 0}}},
      {"Comment", "コメント", "TComComment", 0, {{K::String, "text", 0}}},
      {"TextClr", "テキストクリア", "TComTextClr", -1, box},
      {"CallHist", "履歴呼出", "TComCallHist", -1,
       {{K::Expr, "box", 0}, {K::Expr, "first", 0}, {K::Expr, "count", 0}, {K::Expr, "flag", 0},
        {K::Expr, "format", 111}}},
      {"Button", "ボタン作成", "TComBtnNew", -1, Props()},
      {"While", "ループ", "TComWhile", -1, {{K::Expr, "cond", 0}, {K::Int32, "end", 0}}},
      {"WhileInit", "ループ初期化", "TComWhileInit", 1, {{K::Expr, "expr", 0}}},
      {"WhileLoop", "ループ再初期化", "TComWhileLoop", -1, {{K::Expr, "expr", 0}, {K::Int32, "target", 0}}},
      {"Break", "ループ脱出", "TComBreak", -1, {{K::Expr, "cond", 0}, {K::Int32, "target", 0}}},
      {"Continue", "ループ先頭へ", "TComContinue", -1, {{K::Expr, "cond", 0}, {K::Int32, "target", 0}}},
      {"ParticleNew", "パーティクルサーフェス作成", "TComParticleNew", -1, Props()},
      {"FireNew", "炎サーフェス作成", "TComFireNew", -1, Props()},
      {"GameSave", "ゲームセーブ", "TComGameSave", 0,
       {{K::Expr, "slot", 0}, {K::String, "page", 0}, {K::Int32, "target", 105}, {K::Expr, "caption", 0}}},
      {"GameLoad", "ゲームロード", "TComGameLoad", 0, {{K::Expr, "slot", 0}}},
      {"PCReset", "PCリセット", "TComPCReset", -1, reset},
      {"Reset", "リセット", "TComReset", -1, reset},
      {"Sound", "サウンド再生", "TComSound", -1, Props()},
      {"EditNew", "エディット作成", "TComEditNew", -1, Props()},
      {"MemoNew", "メモ作成", "TComMemoNew", -1, Props()},
      {"Terminate", "終了", "TComTerminate", -1, none},
      {"DoEvent", "DoEvent", "TComDoEvent", 0, none},
      {"ClrRead", "既読クリア", "TComClrRead", -1, none},
      {"MapImgNew", "選択画像作成", "TComMapImgNew", -1, Props()},
      {"WaveNew", "ウエーブサーフェス作成", "TComWaveNew", -1, Props()},
      {"TileNew", "タイルサーフェス作成", "TComTileNew", -1, Props()},
      {"SliderNew", "スライダー作成", "TComSliderNew", -1, Props()},
      {"ScrollbarNew", "スクロールバー作成", "TComScrollbarNew", -1, Props()},
      {"GaugeNew", "ゲージ作成", "TComGaugeNew", -1, Props()},
      {"CGCaption", "画像キャプション作成", "TComCGCaption", -1, Props()},
      {"MediaPlay", "メディア再生", "TComMediaPlay", -1, object},
      {"PrevMenuNew", "プレビューメニュー作成", "TComPrevMenuNew", -1, Props()},
      {"PropMotion", "プロパティモーション", "TComPropMotion", -1,
       {{K::Expr, "name", 0}, {K::Expr, "object", 0}, {K::Expr, "prop", 0}, {K::Expr, "value", 0},
        {K::Expr, "time", 0}, {K::Expr, "kind", 0}, {K::Expr, "repeat", 108}}},
      {"FormatHist", "履歴書式登録", "TComEntryHist", -1, {{K::Expr, "box", 0}, {K::Expr, "format", 111}}},
      {"SaveCabinet", "キャビネット保存", "TComCabinetSave", -1, cabinet},
      {"LoadCabinet", "キャビネット復帰", "TComCabinetLoad", -1, cabinet},
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
      Layouts.push_back(TCommandLayout{static_cast<int>(i), s.Name, JapaneseNames[i].c_str(), s.ClassName,
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
  if (code < 0 || code >= kCommandCount) RaiseError(Utf8ToSjis("不正なコマンド"));
  return t.Layouts[static_cast<size_t>(code)];
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
