#pragma once
// TNovaCGLabel, the image caption: text drawn from the cells of a picture instead of a font.
// The map text lists the characters the picture holds, cell after cell (rows of cells, left to
// right, top to bottom); each character of the text draws the cell of its first place in the
// map. Characters not in the map, or beyond the picture's cells, leave a gap of one cell.
#include <cstdint>
#include <string>
#include <vector>

#include "components/images/picture_frames.h"
#include "objects/nova_control.h"

namespace nova {

struct TComponentServices;

class TNovaCGLabel : public TNovaControl {
public:
  TNovaCGLabel(TNovaBaseList* scene, const TComponentServices& services);

  uint8_t TypeCode() const override { return LT_CGLABEL; }
  bool Paused() const override { return paused_; }

  // The cell index of each character of each text line (-1: not in the map).
  const std::vector<std::vector<int32_t>>& Cells() const { return cells_; }
  TPictureFrames& Picture() { return picture_; }

  bool Update(uint32_t elapsedMs) override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& surface) override;

private:
  void SetSource(const std::string& name);
  // The cell lists and the size.
  void Rebuild();

  const TComponentServices& services_;
  TPictureFrames picture_;
  std::string source_, text_, map_;
  int32_t cellWidth_ = 1, cellHeight_ = 1;
  int32_t lineSpace_ = 0;
  uint8_t halign_ = 0;
  int32_t alpha_ = 255;
  bool paused_ = false;
  std::string onIdle_;
  std::vector<std::vector<int32_t>> cells_;
};

}  // namespace nova
