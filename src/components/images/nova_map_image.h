#pragma once
// TNovaMapImage (LT_MAPIMG, "選択画像"): a picture with named hot regions from a map file.
// The region under the mouse (or chosen with the arrow keys) shows the hover picture inside
// its outline; choosing it sets @SelStr and @SelIndex and posts PR_ONSELECT, and with
// auto-scrap the image closes. It also closes on a right click (or Escape) when PR_RCLICKSCRAP
// is set, leaving @SelStr empty and @SelIndex -1. Both pictures loop.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/component_services.h"
#include "components/images/map_regions.h"
#include "components/images/nova_image_list.h"
#include "objects/nova_control.h"

namespace nova {

class TNovaMapImage : public TNovaControl {
public:
  TNovaMapImage(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaMapImage() override;
  uint8_t TypeCode() const override { return LT_MAPIMG; }

  void SetSource(const std::string& name);
  void SetHoverSource(const std::string& name);
  void SetMapSource(const std::string& name);
  const std::vector<TMapRegion>& Regions() const { return regions_; }
  int32_t HoveredRegion() const { return hovered_; }
  void SetHoveredRegion(int32_t region);
  // Chooses the hovered region.
  void Select();
  int32_t ClosingState() const { return closingState_; }
  bool Closing() const { return closing_; }

  bool Paused() const override { return paused_; }
  bool IsEventBlocked() const override { return closing_; }
  void DoMouseMove(TPoint mouse) override;
  void DoLButtonDown(TPoint mouse) override;
  void FireKeyEvent(int code, const std::vector<int>& keys) override;
  bool RightClickScrap() override;
  bool Update(uint32_t elapsedMs) override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& target) override;

private:
  // A looping frame list and the working masks of its frames: the frame's own mask cut to
  // (hover) or cut out by (source) the hovered region.
  struct TFrames {
    explicit TFrames(TBrioCollection* cache) : List(cache) {}
    std::string Source;
    TNovaImageList List;
    std::vector<std::unique_ptr<TDIBX>> Working;
    std::vector<int32_t> BuiltFor;
    std::vector<uint32_t> BuiltGeneration;
  };
  void LoadFrames(TFrames& frames, const std::string& name);
  TCustomDIBX* WorkingMask(TFrames& frames, int index, bool inside);
  void DrawFrame(TCustomDIBX& target, TCustomDIBX* picture, TCustomDIBX* mask);
  void InvalidateRegion(int32_t region);
  bool ClosingOrClosed() const { return closing_ || closingState_ != 0; }
  void StartClosing() { closingState_ = 100; }
  void ClearSelection();
  // The region under a point of the screen, or -1.
  int32_t RegionAt(TPoint mouse);

  TComponentServices& services_;
  TFrames source_, hover_;
  std::string mapSource_;
  std::vector<TMapRegion> regions_;
  int32_t hovered_ = -1;
  int32_t alpha_ = 255;
  int32_t brightness_ = 0;
  bool autoScrap_ = false;
  bool paused_ = false;
  std::string onMapIn_, onMapOut_, onSelect_, onIdle_;
  int32_t closingState_ = 0;
  bool closing_ = false;
};

}  // namespace nova
