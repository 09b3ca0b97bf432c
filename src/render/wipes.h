#pragma once
// Screen transitions ("wipes"): the picture on the screen is replaced by a new one over a
// given time in one of 38 ways. A transition knows nothing of the scene: it is given three
// surfaces of the screen's size and bit count and composes one of them from the other two.
//
//   destination  the back surface the screen is presented from;
//   from         the old picture (the displayed screen's own surface, holding a copy of the
//                back surface taken when the transition starts);
//   to           the new picture (the back screen's own surface, repainted every frame).
//
// Driving a transition (what the scene and the Flip command do):
//
//   1. Create:   auto wipe = CreateWipe(kind, back, fromSurface, toSurface, context);
//                nullptr for WP_NONE and unknown kinds (above 38 or negative): switch at once.
//                The factory has set both parameters from context.Defaults through SetParam.
//   2. Set up:   wipe->SetReverse(flag); wipe->SetDuration(ms) (below 1 counts as 1);
//                wipe->SetParam(0 or 1, value) for the parameters the command gives;
//                wipe->SetMaskName(name) and, for the mask kinds (WP_MASKFADE, WP_MASKWHITE,
//                WP_MASKBLACK), wipe->SetMaskImage(surface) with the picture the caller loaded
//                (an 8-bit TDIBX passed to LoadSurfaceFromStream: its grey palette turns every
//                pixel into its grey level). No image, or an image that is not 8 bits, leaves
//                the grey mask at 255: everything changes together.
//                Then wipe->Prepare() once.
//   3. Frames:   after both screens have painted their own surfaces,
//                  bool done = wipe->Advance(elapsedMs);   // SetElapsed + Step
//                and present wipe->UpdateRect() from the back surface.
//   4. The end:  when elapsed reaches the duration (Step then reports done) or the owner
//                stops early with wipe->Abort(), call wipe->DrawFinal(): the destination then
//                holds the new picture whole and exact (it is what Step draws from then on as
//                well), UpdateRect() is the whole destination; present it, make the back screen
//                the displayed one and free the transition.
//
// Everything a step draws depends only on the elapsed time and the two pictures (CRACK keeps
// the chips that have left the screen dropped), so setting the time backwards redraws an
// earlier state. The three surfaces must keep their size while the transition lives.
//
// Readings chosen where the arithmetic allows more than one (each is tested):
// - "round" rounds half to even; W / 2 and H / 2 in formulas over pixel positions are the
//   truncated integer halves. Shapes (circle, pie sectors) are drawn by pixel centres about
//   the true centre.
// - A mask composes as DrawMask does on every bit count and blit path: 0 keeps the old
//   pixel, 255 copies the new one exactly, values between blend (old x (255 - m) + new x m)
//   >> 8. The binary flag is set only when the mask can hold nothing but 0 and 255, where it
//   selects the pixel instead of blending: the same pixels, faster.
// - A mask step whose progress value did not change draws nothing (the last composition
//   stands), unless the final picture replaced it.
// - See the member files (wipe_*.cpp) for the readings of the single kinds.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "render/dibx.h"

namespace nova {

// Transition kinds: the number stored in commands.
enum : int32_t {
  WP_NONE = 0,
  WP_FADE = 1,
  WP_BLINDH = 2,
  WP_BLINDV = 3,
  WP_CURTAINH = 4,
  WP_CURTAINV = 5,
  WP_SCROLLH = 6,
  WP_SCROLLV = 7,
  WP_GRID = 8,
  WP_GRIDH = 9,
  WP_GRIDV = 10,
  WP_DITHER = 11,
  WP_WHITE = 12,
  WP_BLACK = 13,
  WP_FLASH = 14,
  WP_MOSAIC = 15,
  WP_SUDAREH = 16,
  WP_SUDAREV = 17,
  WP_SPOT = 18,
  WP_MASKFADE = 19,
  WP_MASKWHITE = 20,
  WP_MASKBLACK = 21,
  WP_SMALL = 22,
  WP_BIG = 23,
  WP_RIPPLE = 24,
  WP_BLURWHITE = 25,
  WP_BLURBLACK = 26,
  WP_TWISTH = 27,
  WP_TWISTV = 28,
  WP_CRACK = 29,
  WP_ZOOMIN = 30,
  WP_CLOCKHAND = 31,
  WP_RUBBERH = 32,
  WP_RUBBERV = 33,
  WP_FAN = 34,
  WP_WFAN = 35,
  WP_CIRCLE = 36,
  WP_BLOCKCOIL = 37,
  WP_BLOCKRANDOM = 38,
};
constexpr int32_t kWipeKindCount = 39;  // WP_NONE .. WP_BLOCKRANDOM

// "WP_FADE" for 1, ...; "" for numbers without a kind.
const char* WipeIdentifier(int32_t kind);
// The name the authoring tool shows ("フェード" for WP_FADE), Shift-JIS; "" without a kind.
std::string WipeDisplayName(int32_t kind);

// The default parameter pair of every kind. The project's start-up aims WP_ZOOMIN at the
// screen's centre with AimZoomAt.
struct TWipeDefaults {
  std::array<std::array<int32_t, 2>, kWipeKindCount> Pairs{};
  static TWipeDefaults Standard();
  void AimZoomAt(int32_t screenWidth, int32_t screenHeight) { Pairs[WP_ZOOMIN] = {screenWidth / 2, screenHeight / 2}; }
};

// A uniform integer in 0 .. n - 1 (n >= 1): the game's run-time random generator, which
// BLOCKRANDOM and CRACK use to shuffle their blocks and chips.
using TWipeRandom = std::function<int32_t(int32_t n)>;

// The run-time generator's arithmetic with its own state (for owners without a game, and for
// tests): state := state x 134775813 + 1, result = high 32 bits of n x state.
class TWipeRandomLcg {
public:
  explicit TWipeRandomLcg(uint32_t seed = 0) : state_(seed) {}
  int32_t operator()(int32_t n) {
    state_ = state_ * 134775813u + 1u;
    return static_cast<int32_t>((uint64_t{static_cast<uint32_t>(n)} * state_) >> 32);
  }

private:
  uint32_t state_;
};

// What the factory needs beyond the surfaces.
struct TWipeContext {
  TWipeDefaults Defaults = TWipeDefaults::Standard();
  TWipeRandom Random;  // empty: a TWipeRandomLcg seeded 0
};

// The base of every transition.
class TCustomWipe {
public:
  TCustomWipe(const TCustomWipe&) = delete;
  TCustomWipe& operator=(const TCustomWipe&) = delete;
  virtual ~TCustomWipe();

  // --- Virtual operations in slot order (the constructor takes its place after
  // SetMaskName) ---
  virtual void SetReverse(uint8_t reverse);
  virtual int32_t GetParam(int index);
  // Stores the value (index 0 or 1; others are ignored); members raise it to their minimum.
  virtual void SetParam(int index, int32_t value);
  virtual void SetMaskName(const std::string& name);
  TCustomWipe(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to);
  // Called once after the parameters are set (Step calls it when nobody did).
  virtual void Prepare();
  // Draws the picture for the current elapsed time into the destination and sets the update
  // rectangle to the whole destination. At or after the end (elapsed >= duration, or after
  // Abort) it draws the final picture and reports true.
  virtual bool Step();
  // An empty slot of the family; nothing calls it.
  virtual void Hook() {}

  // --- Driving ---
  void SetDuration(int32_t ms) { duration_ = ms < 1 ? 1 : ms; }
  void SetElapsed(int32_t ms) { elapsed_ = ms < 0 ? 0 : ms; }
  bool Advance(int32_t elapsedMs) {
    SetElapsed(elapsedMs);
    return Step();
  }
  // The area the last step changed (the whole destination once a step ran; empty before).
  const TRect& UpdateRect() const { return update_; }
  // Ends the transition now: the final picture is drawn and every later step draws it again.
  void Abort();
  // The destination := the new picture, whole and exact; the update rectangle := the whole
  // destination. Safe to call any number of times.
  void DrawFinal();
  bool Finished() const { return aborted_ || elapsed_ >= duration_; }

  // The mask picture of the mask kinds (8 bits, grey levels); kept until Prepare has read it.
  void SetMaskImage(std::unique_ptr<TCustomDIBX> image) { maskImage_ = std::move(image); }

  int32_t Kind() const { return kind_; }
  uint8_t Reverse() const { return reverse_; }
  const std::string& MaskName() const { return maskName_; }
  int32_t Duration() const { return duration_; }
  int32_t Elapsed() const { return elapsed_; }
  TCustomDIBX* Destination() const { return dest_; }
  TCustomDIBX* From() const { return from_; }
  TCustomDIBX* To() const { return to_; }

protected:
  friend std::unique_ptr<TCustomWipe> CreateWipe(int32_t, TCustomDIBX*, TCustomDIBX*, TCustomDIBX*,
                                                 const TWipeContext&);

  // The member's picture for elapsed < duration (the destination's clip is already reset and
  // the update rectangle set).
  virtual void DrawStep() = 0;

  int W() const { return width_; }
  int H() const { return height_; }
  // elapsed / duration as a real.
  double Progress() const { return static_cast<double>(elapsed_) / duration_; }
  // value x elapsed / duration, truncating (64-bit products).
  int64_t Scaled(int64_t value) const { return value * elapsed_ / duration_; }
  // Resets the destination's clip and copies a whole picture into it.
  void StartFrom(TCustomDIBX* picture);
  // The colour grey (v, v, v) as a destination pixel value.
  uint32_t GreyPixel(int v) const;
  TWipeRandom& Random() { return random_; }
  // The grey level of every destination pixel from the mask picture (255 without one),
  // inverted when reversed: WP_MASKFADE, WP_MASKWHITE, WP_MASKBLACK. W x H bytes, row by row.
  std::vector<uint8_t> GreyLevels();

  uint8_t reverse_ = 0;
  std::string maskName_;
  TCustomDIBX* dest_;
  TCustomDIBX* from_;
  TCustomDIBX* to_;
  int32_t duration_ = 1;
  int32_t elapsed_ = 0;
  int32_t params_[2] = {0, 0};
  TRect update_;
  bool finalShown_ = false;  // the destination holds the final picture

private:
  int32_t kind_ = WP_NONE;
  int width_ = 0, height_ = 0;
  bool prepared_ = false;
  bool aborted_ = false;
  std::unique_ptr<TCustomDIBX> maskImage_;
  TWipeRandom random_;
};

// Transitions that render an 8-bit mask and compose "from" and "to" through it.
class TWipeMask : public TCustomWipe {
public:
  TWipeMask(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to);
  // Parameter 0 is at least 2, parameter 1 at least 1.
  void SetParam(int index, int32_t value) override;
  // Sizes the mask (destination width x MaskHeight rows, cleared) and forgets the last
  // rendered progress.
  void Prepare() override;

  // Renders the mask for the current time; false when its progress value did not change
  // since the last rendering (the step then draws nothing).
  virtual bool RenderMask() = 0;
  // Rows of the mask, repeated down the screen.
  virtual int MaskHeight();

  TDIBX& Mask() { return mask_; }
  bool Binary() const { return binary_; }

protected:
  void DrawStep() override;
  // True (and remembers it) when progress differs from the last rendered value.
  bool NewProgress(int64_t progress);
  // Row y of the mask.
  uint8_t* MaskRow(int y) { return mask_.PixelAddress(0, y); }

  TDIBX mask_;
  int64_t lastProgress_ = -1;
  bool binary_ = false;
};

// Creates the transition of a kind with its default parameters set through SetParam;
// nullptr for WP_NONE and numbers without a kind.
std::unique_ptr<TCustomWipe> CreateWipe(int32_t kind, TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to,
                                        const TWipeContext& context = {});

// Composes every pixel of dest from "from" and "to" through the mask, repeated down every
// mask-height rows: 0 keeps "from", 255 copies "to", values between blend. binary: the mask
// holds only 0 and 255. Only the area common to the three surfaces is drawn.
void ComposeThroughMask(TCustomDIBX* dest, TCustomDIBX* from, TCustomDIBX* to, TCustomDIBX* mask, bool binary);

}  // namespace nova
