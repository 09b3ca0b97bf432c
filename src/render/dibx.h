#pragma once
// Surfaces and the software blitter. Every picture of the player is composed in main memory by
// the operations of TCustomDIBX; the concrete kinds are TDIBX (pixels in main memory) and
// TDIBXWave (a proxy that forwards every fill and draw to another surface with each row
// shifted sideways, used by the wave effect).
//
// Pixel values are the surface's native word: an index (1, 4, 8 bits), 5-5-5 (reported as 15
// bits), 5-6-5, 24-bit 0xRRGGBB or 32-bit 0x00RRGGBB. Colours (0x00BBGGRR) become pixel values
// through ColorToPixel only; every drawing operation takes pixel values. -1 means no colour.
//
// Common arguments of the drawing operations:
// - srcRect is a rectangle of the source surface (right and bottom exclusive); flipV/flipH
//   mirror the source inside it (rows read from the bottom, columns from the right).
// - keyed hides source pixels equal to the source's Transparent value.
// - alpha 0..255: 0 draws nothing, 255 copies, values between blend. factor 0..255 scales an
//   additive draw. mask is an 8-bit surface read at the same coordinates as the source
//   (0 invisible, 255 opaque).
// - DrawRotate, DrawRotateMask, PatternDraw and PatternDrawMask take the blend value of a
//   display object: 0..254 blend, 255 opaque, 256..511 additive with factor value - 256.
// - Angles are 1/256 of a full turn, zooms 1/256 (256 = 100 %).
// Every operation clips to the destination's clip rectangle (the whole surface when none is
// set) and draws nothing when nothing is left; blits need equal bit counts on both sides.
//
// The decoders (LoadFromStream, LoadFromFile, SaveToFile) live with the image formats, and
// there is no GDI here: device contexts and canvases are not part of these classes.
#include <cstdint>
#include <memory>
#include <vector>

#include "base/geometry.h"

namespace nova {

class TCustomDIBX {
public:
  TCustomDIBX();
  TCustomDIBX(const TCustomDIBX&) = delete;
  TCustomDIBX& operator=(const TCustomDIBX&) = delete;
  virtual ~TCustomDIBX();

  // Clip rectangle; ClipRight = 0 means no clip (the whole surface).
  int32_t ClipLeft = 0, ClipTop = 0, ClipRight = 0, ClipBottom = 0;
  // Pixel value hidden by keyed draws from this surface; -1 = none.
  int32_t Transparent = -1;

  // The stored clip fields as a rectangle (all zero when no clip is set) and their restore.
  TRect GetClipRect() const { return TRect{ClipLeft, ClipTop, ClipRight, ClipBottom}; }
  void SetClipRect(const TRect& r) { ClipLeft = r.Left, ClipTop = r.Top, ClipRight = r.Right, ClipBottom = r.Bottom; }

  // --- Storage (virtual operations in slot order) ---
  virtual bool IsEmpty();
  virtual int GetBitCount();
  virtual void SetBitCount(int bitCount);
  virtual uint32_t GetRedMask();
  virtual uint32_t GetGreenMask();
  virtual uint32_t GetBlueMask();
  virtual int32_t GetPitch();
  virtual uint32_t GetPixel(int x, int y);
  virtual void SetPixel(int x, int y, uint32_t pixel);
  virtual int GetBlueShift();
  virtual int GetGreenShift();
  virtual int GetRedShift();
  virtual int GetHeight();
  virtual int GetWidth();
  virtual TCustomDIBX* GetTarget();
  virtual int GetStoredBitCount();
  virtual void SetSize(int width, int height, int bitCount);
  // Begins pixel access: the address of pixel (x, y) (of the byte holding it below 8 bits), or
  // nullptr when the surface has no storage or (x, y) lies outside. Pair with Unlock.
  virtual uint8_t* PixelAddress(int x, int y);
  virtual void Unlock();

  // --- Clip ---
  virtual void ResetClip();
  virtual void AddClip(const TRect& r);

  // --- Colours and fills ---
  virtual int32_t ColorToPixel(int32_t color);
  virtual void Fill(uint32_t pixel);
  virtual void FillRect(const TRect& r, uint32_t pixel);
  virtual void FillRectAlpha(const TRect& r, uint32_t pixel, int alpha);
  virtual void FillRectAdd(const TRect& r, uint32_t pixel);
  virtual void FillRectSub(const TRect& r, uint32_t pixel);
  virtual void FrameRect(const TRect& r, int width, uint32_t pixel);
  virtual void FrameRectAlpha(const TRect& r, int width, int alpha, uint32_t pixel);
  virtual void FrameRectAdd(const TRect& r, int width, uint32_t pixel);

  // --- Unscaled draws ---
  virtual void Assign(TCustomDIBX* source);
  virtual void Draw(int x, int y, bool flipV, bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source);
  virtual void DrawMask(int x, int y, TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                        TCustomDIBX* source);
  virtual void DrawAlpha(int x, int y, int alpha, bool flipV, bool flipH, bool keyed, const TRect& srcRect,
                         TCustomDIBX* source);
  virtual void DrawAlphaMask(int x, int y, int alpha, TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                             TCustomDIBX* source);
  virtual void DrawAdd(int x, int y, int factor, bool flipV, bool flipH, bool keyed, const TRect& srcRect,
                       TCustomDIBX* source);
  virtual void DrawAddMask(int x, int y, int factor, TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                           TCustomDIBX* source);

  // --- Rotated and stretched draws ---
  // Places source point (centreX, centreY) at (x, y), turned by angle and zoomed.
  virtual void DrawRotate(int x, int y, int alpha, bool flipV, bool flipH, bool keyed, int angle, int centreY,
                          int centreX, const TRect& srcRect, TCustomDIBX* source, int zoomY, int zoomX);
  virtual void DrawRotateMask(int x, int y, int alpha, TCustomDIBX* mask, bool flipV, bool flipH, int angle,
                              int centreY, int centreX, const TRect& srcRect, TCustomDIBX* source, int zoomY,
                              int zoomX);
  virtual void StretchDraw(const TRect& destRect, TCustomDIBX* source, int alpha, bool flipV, bool flipH, bool keyed,
                           const TRect& srcRect);
  virtual void StretchDrawMask(const TRect& destRect, TCustomDIBX* source, int alpha, TCustomDIBX* mask, bool flipV,
                               bool flipH, const TRect& srcRect);
  virtual void StretchDrawAdd(const TRect& destRect, TCustomDIBX* source, int factor, bool flipV, bool flipH,
                              bool keyed, const TRect& srcRect);
  virtual void StretchDrawAddMask(const TRect& destRect, TCustomDIBX* source, int factor, TCustomDIBX* mask,
                                  bool flipV, bool flipH, const TRect& srcRect);

  // --- Smoothed reductions (an image drawn at factor times its final size) ---
  // 1-bit source, most significant bit first, a 0 bit is ink; drawn in `pixel`.
  virtual void DrawMonoSmooth(int x, int y, int factor, int alpha, bool flipV, bool flipH, uint32_t pixel,
                              const TRect& srcRect, TCustomDIBX* source);
  // 4-bit source (even pixel in the high nibble); values 1, 2, 3 select pixel1..pixel3.
  virtual void DrawQuadSmooth(int x, int y, int factor, int alpha, bool flipV, bool flipH, uint32_t pixel1,
                              uint32_t pixel2, uint32_t pixel3, const TRect& srcRect, TCustomDIBX* source);

  // --- Tiles: copies of srcRect over destRect, gapX/gapY pixels apart, starting part-way
  // into the first tile by the phase (offsetX, offsetY) ---
  virtual void TileDraw(const TRect& destRect, int gapX, int offsetY, int offsetX, bool flipV, bool flipH, bool keyed,
                        const TRect& srcRect, TCustomDIBX* source, int gapY);
  virtual void TileDrawAlpha(const TRect& destRect, int gapX, int offsetY, int offsetX, int alpha, bool flipV,
                             bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source, int gapY);
  virtual void TileDrawAdd(const TRect& destRect, int gapX, int offsetY, int offsetX, int factor, bool flipV,
                           bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source, int gapY);
  virtual void TileDrawMask(const TRect& destRect, int gapX, int offsetY, int offsetX, TCustomDIBX* mask, bool flipV,
                            bool flipH, const TRect& srcRect, TCustomDIBX* source, int gapY);
  virtual void TileDrawAlphaMask(const TRect& destRect, int gapX, int offsetY, int offsetX, int alpha,
                                 TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect, TCustomDIBX* source,
                                 int gapY);
  virtual void TileDrawAddMask(const TRect& destRect, int gapX, int offsetY, int offsetX, int factor,
                               TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect, TCustomDIBX* source,
                               int gapY);
  // Zoomed tiles: each copy is srcRect stretched by zoomX/256 x zoomY/256; alpha is a blend
  // value (0..255 through StretchDraw, 256..511 through StretchDrawAdd with alpha - 256).
  virtual void TileStretchDraw(const TRect& destRect, int gapX, int offsetY, int offsetX, int alpha, bool flipV,
                               bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source, int gapY, int zoomY,
                               int zoomX);
  virtual void TileStretchDrawMask(const TRect& destRect, int gapX, int offsetY, int offsetX, int alpha,
                                   TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                                   TCustomDIBX* source, int gapY, int zoomY, int zoomX);
  // A border of the given width whose four bands are filled with the pattern.
  virtual void FramePattern(const TRect& r, int width, int offsetY, int offsetX, TCustomDIBX* pattern);

  // --- Index-image sources ---
  // 4-bit indices through 16 pixel values; the source's Transparent index is skipped; alpha
  // 255 copies, below blends, 256 and above adds with factor alpha - 256.
  virtual void DrawIndexed4(int x, int y, const uint32_t* table, int alpha, bool flipV, bool flipH,
                            const TRect& srcRect, TCustomDIBX* source);
  // 8-bit indices through 256 pixel values, added with the factor; indices at or above the
  // threshold are drawn (callers pass the source's Transparent value + 1).
  virtual void DrawIndexedAdd(int x, int y, const uint32_t* table, int factor, bool flipV, bool flipH, int threshold,
                              const TRect& srcRect, TCustomDIBX* source);
  virtual void StretchIndexed(const TRect& destRect, TCustomDIBX* source, const uint32_t* table, int alpha, bool flipV,
                              bool flipH, int threshold, const TRect& srcRect);

  // --- Patterns: the whole pattern surface repeated over destRect from the phase ---
  virtual void PatternDraw(const TRect& destRect, int zoomY, int alpha, bool flipV, bool flipH, bool keyed,
                           int offsetX, int offsetY, TCustomDIBX* pattern, int zoomX);
  virtual void PatternDrawMask(const TRect& destRect, int zoomY, int alpha, TCustomDIBX* mask, bool flipV, bool flipH,
                               int offsetX, int offsetY, TCustomDIBX* pattern, int zoomX);
  virtual void PatternFill(const TRect& destRect, TCustomDIBX* pattern, bool flipV, bool flipH, int offsetY,
                           int offsetX);

  // --- Storage lifetime and palettes ---
  virtual void ClearSurface();
  virtual void ReleaseSurface();
  // Palettes hold colours (0x00BBGGRR); a table is 256 entries, a range `count` from `first`.
  virtual void GetPaletteEntries(uint32_t* table);
  virtual void GetPaletteEntries(uint32_t* table, int first, int count);
  virtual void SetPaletteEntries(const uint32_t* table);
  virtual void SetPaletteEntries(const uint32_t* table, int first, int count);

  // Solid `pixel` through an 8-bit coverage mask (text).
  virtual void DrawMonoMask(int x, int y, int alpha, uint32_t pixel, bool flipV, bool flipH, const TRect& srcRect,
                            TCustomDIBX* mask);

  // --- Beyond the table ---
  // The rectangle operations clip to: the clip rectangle, or the whole surface when none is
  // set, always inside the surface (the proxy: inside its area).
  virtual TRect EffectiveClip();

protected:
  int32_t FHeight = 0;  // generic size storage (the proxy's)
  int32_t FWidth = 0;
};

// A device-independent bitmap in main memory. Rows are stored top-down with a positive pitch
// padded to 4 bytes, unless the pixels are borrowed from elsewhere (Borrow), when the pitch may
// be anything, also negative.
class TDIBX : public TCustomDIBX {
public:
  TDIBX();  // 1 x 1 pixel, 15 bits
  ~TDIBX() override;

  // Uses pixels owned by someone else (a window's frame buffer) until the next SetSize.
  void Borrow(uint8_t* bits, int width, int height, int bitCount, int32_t pitch);
  bool Borrowed() const { return borrowed_; }

  bool IsEmpty() override;
  int GetBitCount() override;
  void SetBitCount(int bitCount) override;
  uint32_t GetRedMask() override;
  uint32_t GetGreenMask() override;
  uint32_t GetBlueMask() override;
  int32_t GetPitch() override;
  uint32_t GetPixel(int x, int y) override;
  void SetPixel(int x, int y, uint32_t pixel) override;
  int GetBlueShift() override;
  int GetGreenShift() override;
  int GetRedShift() override;
  int GetHeight() override;
  int GetWidth() override;
  int GetStoredBitCount() override;
  void SetSize(int width, int height, int bitCount) override;
  uint8_t* PixelAddress(int x, int y) override;
  void Unlock() override;
  int32_t ColorToPixel(int32_t color) override;
  void Fill(uint32_t pixel) override;
  void ClearSurface() override;
  void GetPaletteEntries(uint32_t* table) override;
  void GetPaletteEntries(uint32_t* table, int first, int count) override;
  void SetPaletteEntries(const uint32_t* table) override;
  void SetPaletteEntries(const uint32_t* table, int first, int count) override;

  // Number of palette entries (2, 16 or 256 below 9 bits, else 0).
  int PaletteSize() const;

private:
  void SetFormat(int bitCount);
  void Allocate(int width, int height);

  // The bitmap and its pixel format.
  std::vector<uint8_t> own_;
  uint8_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;    // the size reported (0 x 0 after ClearSurface)
  int storedBits_ = 16;           // 1, 4, 8, 16, 24 or 32
  int32_t pitch_ = 0;
  uint32_t redMask_ = 0, greenMask_ = 0, blueMask_ = 0;
  int redBits_ = 0, greenBits_ = 0, blueBits_ = 0;
  int redShift_ = 0, greenShift_ = 0, blueShift_ = 0;
  bool borrowed_ = false;
  uint32_t palette_[256] = {};
};

// The wave proxy. Its coordinates are those of the target. Every fill and draw is split into
// bands of rows: row r is shifted sideways by Offsets()[r - RowOrigin()] (rows outside the
// table are skipped), consecutive rows with equal offsets forming one band that is forwarded
// as one call; stretched draws go one destination row at a time. Forwarded calls are clipped
// to the proxy's clip (unshifted) and its area (OriginX, RowOrigin, width x height).
class TDIBXWave : public TCustomDIBX {
public:
  explicit TDIBXWave(TCustomDIBX* target = nullptr);

  void SetTarget(TCustomDIBX* target) { target_ = target; }
  void SetOrigin(int originX, int rowOrigin) { originX_ = originX, rowOrigin_ = rowOrigin; }
  int OriginX() const { return originX_; }
  int RowOrigin() const { return rowOrigin_; }
  std::vector<int32_t>& Offsets() { return offsets_; }
  const std::vector<int32_t>& Offsets() const { return offsets_; }

  int GetBitCount() override;
  TCustomDIBX* GetTarget() override;
  int GetStoredBitCount() override;
  void SetSize(int width, int height, int bitCount) override;

  void ResetClip() override;
  void AddClip(const TRect& r) override;
  int32_t ColorToPixel(int32_t color) override;
  void Fill(uint32_t pixel) override;
  void FillRect(const TRect& r, uint32_t pixel) override;
  void FillRectAlpha(const TRect& r, uint32_t pixel, int alpha) override;
  void FillRectAdd(const TRect& r, uint32_t pixel) override;
  void FillRectSub(const TRect& r, uint32_t pixel) override;

  void Assign(TCustomDIBX* source) override;
  void Draw(int x, int y, bool flipV, bool flipH, bool keyed, const TRect& srcRect, TCustomDIBX* source) override;
  void DrawMask(int x, int y, TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                TCustomDIBX* source) override;
  void DrawAlpha(int x, int y, int alpha, bool flipV, bool flipH, bool keyed, const TRect& srcRect,
                 TCustomDIBX* source) override;
  void DrawAlphaMask(int x, int y, int alpha, TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                     TCustomDIBX* source) override;
  void DrawAdd(int x, int y, int factor, bool flipV, bool flipH, bool keyed, const TRect& srcRect,
               TCustomDIBX* source) override;
  void DrawAddMask(int x, int y, int factor, TCustomDIBX* mask, bool flipV, bool flipH, const TRect& srcRect,
                   TCustomDIBX* source) override;
  void DrawRotate(int x, int y, int alpha, bool flipV, bool flipH, bool keyed, int angle, int centreY, int centreX,
                  const TRect& srcRect, TCustomDIBX* source, int zoomY, int zoomX) override;
  void DrawRotateMask(int x, int y, int alpha, TCustomDIBX* mask, bool flipV, bool flipH, int angle, int centreY,
                      int centreX, const TRect& srcRect, TCustomDIBX* source, int zoomY, int zoomX) override;
  void StretchDraw(const TRect& destRect, TCustomDIBX* source, int alpha, bool flipV, bool flipH, bool keyed,
                   const TRect& srcRect) override;
  void StretchDrawMask(const TRect& destRect, TCustomDIBX* source, int alpha, TCustomDIBX* mask, bool flipV,
                       bool flipH, const TRect& srcRect) override;
  void StretchDrawAdd(const TRect& destRect, TCustomDIBX* source, int factor, bool flipV, bool flipH, bool keyed,
                      const TRect& srcRect) override;
  void StretchDrawAddMask(const TRect& destRect, TCustomDIBX* source, int factor, TCustomDIBX* mask, bool flipV,
                          bool flipH, const TRect& srcRect) override;
  void DrawMonoSmooth(int x, int y, int factor, int alpha, bool flipV, bool flipH, uint32_t pixel,
                      const TRect& srcRect, TCustomDIBX* source) override;
  void DrawQuadSmooth(int x, int y, int factor, int alpha, bool flipV, bool flipH, uint32_t pixel1, uint32_t pixel2,
                      uint32_t pixel3, const TRect& srcRect, TCustomDIBX* source) override;

  void FramePattern(const TRect& r, int width, int offsetY, int offsetX, TCustomDIBX* pattern) override;
  void DrawIndexed4(int x, int y, const uint32_t* table, int alpha, bool flipV, bool flipH, const TRect& srcRect,
                    TCustomDIBX* source) override;
  void DrawIndexedAdd(int x, int y, const uint32_t* table, int factor, bool flipV, bool flipH, int threshold,
                      const TRect& srcRect, TCustomDIBX* source) override;
  void StretchIndexed(const TRect& destRect, TCustomDIBX* source, const uint32_t* table, int alpha, bool flipV,
                      bool flipH, int threshold, const TRect& srcRect) override;
  void PatternDraw(const TRect& destRect, int zoomY, int alpha, bool flipV, bool flipH, bool keyed, int offsetX,
                   int offsetY, TCustomDIBX* pattern, int zoomX) override;
  void PatternDrawMask(const TRect& destRect, int zoomY, int alpha, TCustomDIBX* mask, bool flipV, bool flipH,
                       int offsetX, int offsetY, TCustomDIBX* pattern, int zoomX) override;
  void PatternFill(const TRect& destRect, TCustomDIBX* pattern, bool flipV, bool flipH, int offsetY,
                   int offsetX) override;

  void DrawMonoMask(int x, int y, int alpha, uint32_t pixel, bool flipV, bool flipH, const TRect& srcRect,
                    TCustomDIBX* mask) override;

  TRect EffectiveClip() override;  // the clip within the area, in target coordinates

private:
  TRect Area() const;
  // Calls forward(offset) once per band of equal offsets among the rows [top, bottom), with
  // the target's clip narrowed to the band (unshifted); the target's clip is restored after.
  template <typename F>
  void ForEachBand(int top, int bottom, F&& forward);
  // The same one row at a time.
  template <typename F>
  void ForEachRow(int top, int bottom, F&& forward);

  TCustomDIBX* target_ = nullptr;
  TRect savedClip_;
  std::vector<int32_t> offsets_;
  int originX_ = 0;
  int rowOrigin_ = 0;
};

// How the blends of 32-bit surfaces run (other depths always take the per-pixel path).
// FastRows uses the widest vector row routines the processor offers (chosen at start-up);
// ReferenceRows the plain twins of the same row routines; PerPixel goes through
// GetPixel/SetPixel and the channel masks. All three give the same pixels.
enum class TBlitPath { FastRows, ReferenceRows, PerPixel };
void SetBlitPath(TBlitPath path);
TBlitPath GetBlitPath();

}  // namespace nova
