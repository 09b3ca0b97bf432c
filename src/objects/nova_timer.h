#pragma once
// The timer (TNovaTimer): posts its PR_ONNOTIFY event once per interval of the scenario clock,
// never more than one at a time, so a handler that runs long does not pile up missed ticks.
// With auto-scrap it fires once and goes when its handler has finished.
#include <cstdint>
#include <string>

#include "objects/nova_object.h"

namespace nova {

class TNovaTimer : public TNovaComponent {
public:
  explicit TNovaTimer(TNovaBaseList* scene);

  uint8_t TypeCode() const override { return LT_TIMER; }
  bool Paused() const override { return paused_; }
  bool Update(uint32_t elapsedMs) override;
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

private:
  bool EventPending() const;
  // Drops the waiting events and starts a new period now.
  void Restart();

  std::string onNotify_;
  int32_t interval_ = 0;
  bool paused_ = false, autoScrap_ = false, fired_ = false;
  uint32_t periodStart_ = 0;
};

}  // namespace nova
