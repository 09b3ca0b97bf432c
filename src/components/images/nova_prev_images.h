#pragma once
// TNovaPrevImages: the button and preview pictures inside a preview menu. Setting a new
// source first puts the picture back to plain (opaque, unturned, unzoomed, unflipped,
// unclipped); once a non-repeating picture has played out it tells its parent menu, and it is
// never destroyed by auto-scrap.
#include "components/images/nova_images.h"

namespace nova {

class TNovaPrevImages;

// Implemented by the control that holds preview pictures (the preview menu).
class TPrevImagesOwner {
public:
  virtual ~TPrevImagesOwner() = default;
  // Called once per play-through, in the update in which the picture has finished.
  virtual void PrevImageFinished(TNovaPrevImages& image) = 0;
};

class TNovaPrevImages : public TNovaImages {
public:
  using TNovaImages::TNovaImages;

  void SetSource(const std::string& name) override;
  void SetRepeat(bool on);
  bool Update(uint32_t elapsedMs) override;
  bool SetProperty(int id, const TPropValue& value) override;

private:
  bool reported_ = false;
};

}  // namespace nova
