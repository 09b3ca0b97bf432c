// The property table: one row per property number.
#include "params/property_table.h"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/encoding.h"
#include "params/param.h"

namespace nova {
namespace {

constexpr uint8_t I = PT_INT, R = PT_FLOAT, F = PT_BOOL, S = PT_STR;
using U = TUnsupported;

constexpr TPropertyInfo kTable[kPropertyCount] = {
    {0, "PR_NAME", "名前", S, U::Own, false},
    {1, "PR_PARENT", "親", S, U::Empty, false},
    {2, "PR_SOURCE", "ソース", S, U::Empty, false},
    {3, "PR_LEFT", "X座標", I, U::Zero, false},
    {4, "PR_TOP", "Y座標", I, U::Zero, false},
    {5, "PR_WIDTH", "幅", I, U::Zero, false},
    {6, "PR_HEIGHT", "高さ", I, U::Zero, false},
    {7, "PR_ZOOMX", "ズームX", I, U::Full256, false},
    {8, "PR_COLOR", "色", I, U::White, false},
    {9, "PR_BORDERWIDTH", "枠幅", I, U::Zero, false},
    {10, "PR_BORDERCOLOR", "枠色", I, U::MinusOne, false},
    {11, "PR_ALPHA", "アルファ", I, U::Full255, false},
    {12, "PR_PRIORITY", "プライオリティ", I, U::Own, false},
    {13, "PR_OFFSETX", "X中心座標", I, U::Zero, false},
    {14, "PR_OFFSETY", "Y中心座標", I, U::Zero, false},
    {15, "PR_FONTNAME", "フォント名", S, U::Empty, false},
    {16, "PR_FONTHEIGHT", "フォントサイズ", I, U::Zero, false},
    {17, "PR_FONTSTYLE", "フォントスタイル", I, U::Zero, false},
    {18, "PR_LINESPACE", "行間", I, U::Zero, false},
    {19, "PR_FONTCOLOR", "フォント色", I, U::Zero, false},
    {20, "PR_FONTLINKCOLOR", "リンクの色", I, U::Zero, false},
    {21, "PR_FONTBORDERCOLOR", "フォントの縁の色", I, U::Zero, false},
    {22, "PR_FONTHOVERCOLOR", "マウスオーバー時の\r\nフォント色", I, U::Zero, false},
    {23, "PR_FONTHOVERSTYLE", "マウスオーバー時の\r\nフォントスタイル", I, U::Zero, false},
    {24, "PR_HOVERCOLOR", "マウスオーバー時の色", I, U::MinusOne, false},
    {25, "PR_ANTIALIAS", "アンチエイリアス", F, U::False, false},
    {26, "PR_DELAY", "ウエイト", I, U::Zero, false},
    {27, "PR_PAUSED", "停止", F, U::False, false},
    {28, "PR_VOLUME", "音量", I, U::Zero, false},
    {29, "PR_REPEAT", "リピート", F, U::False, false},
    {30, "PR_BALANCE", "バランス", I, U::Zero, false},
    {31, "PR_ANGLE", "角度", I, U::Zero, false},
    {32, "PR_ONPLAYING", "再生中", S, U::Empty, false},
    {33, "PR_ONNOTIFY", "汎用イベント", S, U::Empty, false},
    {34, "PR_ONMOUSEMOVE", "マウス移動", S, U::Empty, false},
    {35, "PR_ONMOUSEOUT", "マウスアウト", S, U::Empty, false},
    {36, "PR_ONLBTNDOWN", "左ボタンダウン", S, U::Empty, false},
    {37, "PR_ONLBTNUP", "左ボタンアップ", S, U::Empty, false},
    {38, "PR_ONRBTNDOWN", "右ボタンダウン", S, U::Empty, false},
    {39, "PR_ONRBTNUP", "右ボタンアップ", S, U::Empty, false},
    {40, "PR_ONWHEELDOWN", "ホイールダウン", S, U::Empty, false},
    {41, "PR_ONWHEELUP", "ホイールアップ", S, U::Empty, false},
    {42, "PR_BRIGHTNESS", "明るさ", I, U::Full255, false},
    {43, "PR_ONPLAYEND", "再生終了", S, U::Empty, false},
    {44, "PR_INDEX", "インデックス", I, U::MinusOne, false},
    {45, "PR_COUNT", "カウント", I, U::Zero, false},
    {46, "PR_ONLINK", "リンク", S, U::Empty, false},
    {47, "PR_VISIBLE", "可視", F, U::False, false},
    {48, "PR_COLCOUNT", "列数", I, U::Zero, false},
    {49, "PR_ROWCOUNT", "行数", I, U::Zero, false},
    {50, "PR_TEXT", "テキスト", S, U::Empty, false},
    {51, "PR_MARGINX", "左右の余白", I, U::Zero, false},
    {52, "PR_MARGINY", "上下の余白", I, U::Zero, false},
    {53, "PR_HALIGN", "横の揃え", I, U::Zero, false},
    {54, "PR_BORDERSOURCETL", "枠画像(左上)", S, U::Empty, false},
    {55, "PR_BORDERSOURCETC", "枠画像(上)", S, U::Empty, false},
    {56, "PR_BORDERSOURCETR", "枠画像(右上)", S, U::Empty, false},
    {57, "PR_BORDERSOURCECL", "枠画像(左)", S, U::Empty, false},
    {58, "PR_BORDERSOURCECC", "枠画像(背景)", S, U::Empty, false},
    {59, "PR_BORDERSOURCECR", "枠画像(右)", S, U::Empty, false},
    {60, "PR_BORDERSOURCEBL", "枠画像(左下)", S, U::Empty, false},
    {61, "PR_BORDERSOURCEBC", "枠画像(下)", S, U::Empty, false},
    {62, "PR_BORDERSOURCEBR", "枠画像(右下)", S, U::Empty, false},
    {63, "PR_BORDERHALIGNT", "枠横揃え(上)", I, U::Zero, false},
    {64, "PR_BORDERHALIGNC", "枠横揃え(背景)", I, U::Zero, false},
    {65, "PR_BORDERHALIGNB", "枠横揃え(下)", I, U::Zero, false},
    {66, "PR_BORDERVALIGNL", "枠縦揃え(左)", I, U::Zero, false},
    {67, "PR_BORDERVALIGNC", "枠縦揃え(背景)", I, U::Zero, false},
    {68, "PR_BORDERVALIGNR", "枠縦揃え(右)", I, U::Zero, false},
    {69, "PR_SCROLLSOURCE", "スクロールバー画像", S, U::Empty, false},
    {70, "PR_CHECKSOURCE", "チェック画像", S, U::Empty, false},
    {71, "PR_AUTOSCRAP", "自動破棄", F, U::False, false},
    {72, "PR_ONSELECT", "選択", S, U::Empty, false},
    {73, "PR_RCLICKSCRAP", "右クリックで破棄", F, U::False, false},
    {74, "PR_ONOPENING", "オープン前", S, U::Empty, false},
    {75, "PR_ONOPENED", "オープン後", S, U::Empty, false},
    {76, "PR_ONCLOSING", "クローズ前", S, U::Empty, false},
    {77, "PR_ONCLOSED", "クローズ後", S, U::Empty, false},
    {78, "PR_CARETX", "キャレットX", I, U::Zero, true},
    {79, "PR_CARETY", "キャレットY", I, U::Zero, true},
    {80, "PR_IGNOREMOUSE", "マウス透過", I, U::Zero, false},
    {81, "PR_TEXTPAUSED", "テキスト一時停止", F, U::False, false},
    {82, "PR_TEXTDELAY", "テキストウエイト率", I, U::Full256, false},
    {83, "PR_HOVERSOURCE", "マウスオーバー時の\r\n画像", S, U::Empty, false},
    {84, "PR_PRESSEDSOURCE", "押された時の画像", S, U::Empty, false},
    {85, "PR_GROUPINDEX", "グループ番号", I, U::Zero, false},
    {86, "PR_ALLOWALLUP", "全解除許可", F, U::False, false},
    {87, "PR_SELECTED", "選択", F, U::False, false},
    {88, "PR_CAPTUREMASK", "マウス位置を\r\nマスクで判断", F, U::False, false},
    {89, "PR_POWER", "強さ", I, U::Zero, false},
    {90, "PR_ORIGWIDTH", "元の幅", I, U::Width, false},
    {91, "PR_ORIGHEIGHT", "元の高さ", I, U::Height, false},
    {92, "PR_APPEARX", "X発生座標", I, U::Zero, false},
    {93, "PR_APPEARY", "Y発生座標", I, U::Zero, false},
    {94, "PR_PARTMOTION", "動作タイプ", I, U::One, false},
    {95, "PR_PARAM1", "パラメータ1", R, U::Zero, false},
    {96, "PR_PARAM2", "パラメータ2", R, U::Zero, false},
    {97, "PR_TOPINDEX", "最上部インデックス", I, U::Zero, false},
    {98, "PR_READONLY", "編集禁止", F, U::False, false},
    {99, "PR_CURSOR", "カーソル", S, U::Empty, false},
    {100, "PR_POSZOOMED", "ズーム座標", F, U::False, false},
    {101, "PR_ONPLAYSTART", "再生開始", S, U::Empty, false},
    {102, "PR_PARAM3", "パラメータ3", R, U::Zero, false},
    {103, "PR_ONMOUSEIN", "マウスイン", S, U::Empty, false},
    {104, "PR_ONMAPIN", "マップイン", S, U::Empty, false},
    {105, "PR_ONMAPOUT", "マップアウト", S, U::Empty, false},
    {106, "PR_MAPSOURCE", "マップ", S, U::Empty, false},
    {107, "PR_AMP", "振幅", I, U::Zero, false},
    {108, "PR_WAVELEN", "波長", I, U::Zero, false},
    {109, "PR_SCROLLX", "スクロールX", I, U::Zero, false},
    {110, "PR_SCROLLY", "スクロールY", I, U::Zero, false},
    {111, "PR_FLIPH", "横反転", F, U::False, false},
    {112, "PR_FLIPV", "縦反転", F, U::False, false},
    {113, "PR_ONIDLE", "アイドル", S, U::Empty, false},
    {114, "PR_DISTANCEX", "横の間隔", I, U::Zero, false},
    {115, "PR_DISTANCEY", "縦の間隔", I, U::Zero, false},
    {116, "PR_CLIPLEFT", "クリップX", I, U::Zero, false},
    {117, "PR_CLIPTOP", "クリップY", I, U::Zero, false},
    {118, "PR_CLIPWIDTH", "クリップ幅", I, U::Zero, false},
    {119, "PR_CLIPHEIGHT", "クリップ高さ", I, U::Zero, false},
    {120, "PR_DURATION", "持続時間", I, U::Zero, false},
    {121, "PR_THUMBSOURCE", "つまみ画像", S, U::Empty, false},
    {122, "PR_BUTTONSOURCE", "ボタン画像", S, U::Empty, false},
    {123, "PR_MIN", "最小値", I, U::Zero, false},
    {124, "PR_MAX", "最大値", I, U::Zero, false},
    {125, "PR_VALUE", "値", I, U::Zero, false},
    {126, "PR_ORIENTATION", "方向", I, U::Zero, false},
    {127, "PR_SMALLCHANGE", "変化量", I, U::One, false},
    {128, "PR_LARGECHANGE", "大きい変化量", I, U::One, false},
    {129, "PR_MAPTEXT", "マップテキスト", S, U::Empty, false},
    {130, "PR_GLYPHWIDTH", "１個の幅", I, U::Zero, false},
    {131, "PR_GLYPHHEIGHT", "１個の高さ", I, U::Zero, false},
    {132, "PR_ZOOMY", "ズームY", I, U::Full256, false},
    {133, "PR_CLICKEDSOURCE", "クリック後の画像", S, U::Empty, false},
    {134, "PR_ANIPAUSED", "動画停止", F, U::False, false},
    {135, "PR_ONHOLD", "ホールド", S, U::Empty, false},
    {136, "PR_ONRELEASE", "リリース", S, U::Empty, false},
    {137, "PR_REVERSE", "逆方向", F, U::False, false},
    {138, "PR_PLAYING", "再生中", F, U::False, true},
    {139, "PR_REWINDONLOAD", "ロード時巻き戻し", F, U::True, false},
    {140, "PR_COMPOTYPE", "コンポーネントの種類", I, U::Zero, true},
    {141, "PR_FONTSHADOWCOLOR", "フォントの影の色", I, U::Zero, false},
    {142, "PR_FONTBORDER", "フォントの縁の幅", I, U::Zero, false},
    {143, "PR_FONTSHADOW", "フォントの影の位置", I, U::Zero, false},
    {144, "PR_ONKEYDOWN", "キーダウン", S, U::Empty, false},
    {145, "PR_ONKEYUP", "キーアップ", S, U::Empty, false},
    {146, "PR_ONKEYREPEAT", "キーリピート", S, U::Empty, false},
    {147, "PR_HANDLEKEY", "キー処理", F, U::False, false},
    {148, "PR_ONFOCUSIN", "フォーカスイン", S, U::Empty, false},
    {149, "PR_ONFOCUSOUT", "フォーカスアウト", S, U::Empty, false},
    {150, "PR_OVERLAY", "オーバーレイ", F, U::True, false},
    {151, "PR_TAG", "タグ", S, U::Own, false},
    {152, "PR_CAPTURELINK", "マウス判定を\r\nリンク文字のみ", F, U::False, false},
    {153, "PR_FONTHOVERBORDER", "マウスオーバー時の\r\nフォントの縁の幅", I, U::Zero, false},
    {154, "PR_FONTHOVERBORDERCOLOR", "マウスオーバー時の\r\nフォントの縁の色", I, U::Zero, false},
    {155, "PR_FONTHOVERSHADOW", "マウスオーバー時の\r\nフォントの影の位置", I, U::Zero, false},
    {156, "PR_FONTHOVERSHADOWCOLOR", "マウスオーバー時の\r\nフォントの影の色", I, U::Zero, false},
    {157, "PR_BARSIZE", "バーの長さ", I, U::Zero, false},
    {158, "PR_MUTEONLOAD", "ロード時ミュート", F, U::False, false},
    {159, "PR_PLUSX", "X座標加算値", I, U::Zero, false},
    {160, "PR_PLUSY", "Y座標加算値", I, U::Zero, false},
    {161, "PR_CARETHEIGHT", "キャレットの高さ", I, U::Zero, true},
    {162, "PR_REPEATPOS", "リピート位置", I, U::Zero, false},
};

}  // namespace

const TPropertyInfo* PropertyInfo(int32_t id) { return id >= 0 && id < kPropertyCount ? &kTable[id] : nullptr; }

uint8_t PropertyType(int32_t property) {
  const TPropertyInfo* p = PropertyInfo(property);
  return p ? p->Type : static_cast<uint8_t>(PT_NONE);
}

const char* PropertyName(int id) {
  const TPropertyInfo* p = PropertyInfo(id);
  return p ? p->Identifier : nullptr;
}

int FindPropertyByName(const std::string& name) {
  static const std::unordered_map<std::string_view, int> index = [] {
    std::unordered_map<std::string_view, int> m;
    for (const TPropertyInfo& p : kTable) m.emplace(p.Identifier, p.Id);
    return m;
  }();
  auto it = index.find(name);
  return it == index.end() ? -1 : it->second;
}

const std::string& PropertyDisplayName(int id) {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (const TPropertyInfo& p : kTable) v.push_back(Utf8ToSjis(p.DisplayUtf8));
    return v;
  }();
  static const std::string none;
  return id >= 0 && id < kPropertyCount ? names[static_cast<size_t>(id)] : none;
}

}  // namespace nova
