#pragma once
// TNovaLabel, the caption: lines of plain text in one font and colour, rendered once into a
// colour surface and an 8-bit coverage surface and drawn from them with its alpha, zoom, flips
// and angle. Each character advances by its glyph's black box, offset and right bearing; a
// line is as high as the font size plus the line spacing; lines align left, centred or right
// within the widest one.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/images/image_motion.h"
#include "objects/nova_control.h"
#include "render/dibx.h"

namespace nova {

class TFontPixelManager;
struct TComponentServices;

class TNovaLabel : public TNovaControl {
public:
  TNovaLabel(TNovaBaseList* scene, const TComponentServices& services);
  ~TNovaLabel() override;

  uint8_t TypeCode() const override { return LT_LABEL; }
  bool Paused() const override { return paused_; }
  // A motion file (".nmt") as PR_SOURCE moves the caption (see image_motion.h).
  bool HasMotion() const override { return motion_ != nullptr; }
  TImageMotion* Motion() const { return motion_.get(); }
  bool Update(uint32_t elapsedMs) override;
  int32_t ZoomX() const override { return zoomX_; }
  int32_t ZoomY() const override { return zoomY_; }
  bool FlipH() const override { return flipH_; }
  bool FlipV() const override { return flipV_; }

  // PR_TEXT: split at line breaks, a final empty line dropped; read back joined with CR LF.
  void SetText(const std::string& text);
  std::string Text() const;
  const std::vector<std::string>& Lines() const { return lines_; }
  int32_t NaturalWidth() const { return naturalWidth_; }
  int32_t NaturalHeight() const { return naturalHeight_; }
  // The rendered surfaces (valid after a paint, or after Render).
  TDIBX& ColorSurface() { return color_; }
  TDIBX& CoverageSurface() { return coverage_; }
  const std::vector<TRect>& LineRects() const { return lineRects_; }
  void Render();

  TRect HitRect() override;
  TNovaControl* HitTest(TPoint point, TMouseModes modes) override;
  void InvalidateRect(TRect& rect) override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& surface) override;

private:
  // Measures the lines and sizes the control (natural size times the zoom).
  void Layout();
  void Changed();
  std::string FaceName() const;
  // The rotation centre on the screen and in the surface.
  TPoint RotationAnchor();
  TPoint RotationCentre() const;
  TRect RotatedBounds();
  void SetSource(const std::string& name);

  TFontPixelManager* glyphs_;
  std::vector<std::string> lines_;
  std::string fontName_;
  int32_t fontSize_ = 12;
  int32_t lineSpace_ = 0;
  uint8_t style_ = 0;
  int32_t alpha_ = 255;
  int32_t fontColor_ = 0;
  uint8_t halign_ = 0;
  bool antialias_ = false;
  bool flipH_ = false, flipV_ = false;
  int32_t angle_ = 0;
  int32_t zoomX_ = 256, zoomY_ = 256;
  int32_t naturalWidth_ = 0, naturalHeight_ = 0;
  std::vector<int32_t> lineWidths_;
  std::vector<std::vector<int32_t>> advances_;
  TDIBX color_, coverage_;
  std::vector<TRect> lineRects_;
  bool stale_ = true;
  bool refused_ = false;  // the natural size was beyond the text surface limits: nothing drawn
  int renderedBits_ = 0;
  // What motion-carrying objects have.
  const TComponentServices& services_;
  std::unique_ptr<TImageMotion> motion_;
  std::string source_;
  bool repeat_ = false, paused_ = false, autoScrap_ = false;
  std::string onPlayEnd_, onIdle_;
};

}  // namespace nova
