// The kinds: identifiers, names, default parameters and the factory.
#include <memory>

#include "base/encoding.h"
#include "render/wipe_kinds.h"

namespace nova {

namespace {

struct TKindInfo {
  const char* identifier;
  const char* displayName;  // UTF-8 here, Shift-JIS when asked for
  int32_t param0, param1;
};

const TKindInfo kKinds[kWipeKindCount] = {
    {"WP_NONE", "なし", 0, 0},
    {"WP_FADE", "フェード", 0, 0},
    {"WP_BLINDH", "ブラインド横", 20, 1},
    {"WP_BLINDV", "ブラインド縦", 20, 1},
    {"WP_CURTAINH", "カーテン横", 30, 1},
    {"WP_CURTAINV", "カーテン縦", 30, 1},
    {"WP_SCROLLH", "スクロール横", 0, 0},
    {"WP_SCROLLV", "スクロール縦", 0, 0},
    {"WP_GRID", "格子", 80, 30},
    {"WP_GRIDH", "格子(横)", 80, 30},
    {"WP_GRIDV", "格子(縦)", 80, 30},
    {"WP_DITHER", "ディザ", 0, 0},
    {"WP_WHITE", "ホワイト", 0, 0},
    {"WP_BLACK", "ブラック", 0, 0},
    {"WP_FLASH", "フラッシュ", 0, 0},
    {"WP_MOSAIC", "モザイク", 0, 0},
    {"WP_SUDAREH", "すだれ横", 0, 0},
    {"WP_SUDAREV", "すだれ縦", 0, 0},
    {"WP_SPOT", "スポットライト", 0, 0},
    {"WP_MASKFADE", "マスクフェード", 0, 0},
    {"WP_MASKWHITE", "マスクホワイト", 0, 0},
    {"WP_MASKBLACK", "マスクブラック", 0, 0},
    {"WP_SMALL", "表画面縮小", 0, 0},
    {"WP_BIG", "裏画面拡大", 0, 0},
    {"WP_RIPPLE", "波紋", 5, 0},
    {"WP_BLURWHITE", "白ぼかし", 0, 0},
    {"WP_BLURBLACK", "黒ぼかし", 0, 0},
    {"WP_TWISTH", "ひねり横", 0, 0},
    {"WP_TWISTV", "ひねり縦", 0, 0},
    {"WP_CRACK", "チップ落下", 64, 3},
    {"WP_ZOOMIN", "ズームイン", 0, 0},
    {"WP_CLOCKHAND", "時計の針", 0, 0},
    {"WP_RUBBERH", "ゴム(横)", 0, 0},
    {"WP_RUBBERV", "ゴム(縦)", 0, 0},
    {"WP_FAN", "扇", 0, 0},
    {"WP_WFAN", "扇(両側)", 0, 0},
    {"WP_CIRCLE", "円", 0, 0},
    {"WP_BLOCKCOIL", "ブロック(とぐろ)", 60, 0},
    {"WP_BLOCKRANDOM", "ブロック(ランダム)", 60, 0},
};

bool Known(int32_t kind) { return kind >= 0 && kind < kWipeKindCount; }

template <typename T>
std::unique_ptr<TCustomWipe> Make(TCustomDIBX* d, TCustomDIBX* f, TCustomDIBX* t) {
  return std::make_unique<T>(d, f, t);
}

using TMaker = std::unique_ptr<TCustomWipe> (*)(TCustomDIBX*, TCustomDIBX*, TCustomDIBX*);

// The class of every kind, by number (none for WP_NONE).
const TMaker kMakers[kWipeKindCount] = {
    nullptr,
    Make<TWipeFade>,
    Make<TWipeBlindH>,
    Make<TWipeBlindV>,
    Make<TWipeCurtainH>,
    Make<TWipeCurtainV>,
    Make<TWipeScrollH>,
    Make<TWipeScrollV>,
    Make<TWipeGrid>,
    Make<TWipeGridH>,
    Make<TWipeGridV>,
    Make<TWipeDither>,
    Make<TWipeWhite>,
    Make<TWipeBlack>,
    Make<TWipeFlash>,
    Make<TWipeMosaic>,
    Make<TWipeSudareH>,
    Make<TWipeSudareV>,
    Make<TWipeSpot>,
    Make<TWipeShadow>,
    Make<TWipeShadowWhite>,
    Make<TWipeShadowBlack>,
    Make<TWipeSmall>,
    Make<TWipeBig>,
    Make<TWipeRipple>,
    Make<TWipeBlurWhite>,
    Make<TWipeBlurBlack>,
    Make<TWipeTwistH>,
    Make<TWipeTwistV>,
    Make<TWipeCrack>,
    Make<TWipeZoomin>,
    Make<TWipeClockhand>,
    Make<TWipeRubberH>,
    Make<TWipeRubberV>,
    Make<TWipeFan>,
    Make<TWipeWFan>,
    Make<TWipeCircle>,
    Make<TWipeBlockCoil>,
    Make<TWipeBlockRandom>,
};

}  // namespace

const char* WipeIdentifier(int32_t kind) { return Known(kind) ? kKinds[kind].identifier : ""; }

std::string WipeDisplayName(int32_t kind) { return Known(kind) ? Utf8ToSjis(kKinds[kind].displayName) : ""; }

TWipeDefaults TWipeDefaults::Standard() {
  TWipeDefaults d;
  for (int32_t k = 0; k < kWipeKindCount; ++k) d.Pairs[static_cast<size_t>(k)] = {kKinds[k].param0, kKinds[k].param1};
  return d;
}

std::unique_ptr<TCustomWipe> CreateWipe(int32_t kind, TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to,
                                        const TWipeContext& context) {
  if (!Known(kind) || !kMakers[kind] || !destination || !from || !to) return nullptr;
  std::unique_ptr<TCustomWipe> wipe = kMakers[kind](destination, from, to);
  wipe->kind_ = kind;
  wipe->random_ = context.Random ? context.Random : TWipeRandom(TWipeRandomLcg(0));
  const auto& pair = context.Defaults.Pairs[static_cast<size_t>(kind)];
  wipe->SetParam(0, pair[0]);
  wipe->SetParam(1, pair[1]);
  return wipe;
}

}  // namespace nova
