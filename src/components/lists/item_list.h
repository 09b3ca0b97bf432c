#pragma once
// What the item functions (GetCheck, SetCheck, GetEnabled, SetEnabled, GetVisible, SetVisible,
// GetGroupIndex, GetSelected, SetSelected) reach of an object: its items by index. Buttons,
// menus and preview menus implement it; every other object ignores these functions. Items
// outside the list read false or 0 and ignore writes.
#include <cstdint>
#include <string>

namespace nova {

class TNovaItemList {
public:
  virtual ~TNovaItemList() = default;

  virtual int ItemCount() const = 0;
  virtual bool GetItemCheck(int /*index*/) { return false; }
  virtual void SetItemCheck(int /*index*/, bool /*on*/) {}
  virtual bool GetItemEnabled(int /*index*/) { return false; }
  virtual void SetItemEnabled(int /*index*/, bool /*on*/) {}
  virtual bool GetItemVisible(int /*index*/) { return false; }
  virtual void SetItemVisible(int /*index*/, bool /*on*/) {}
  virtual int32_t GetItemGroupIndex(int /*index*/) { return 0; }
  virtual bool GetItemSelected(int /*index*/) { return false; }
  virtual void SetItemSelected(int /*index*/, bool /*on*/) {}
  // The index of the first item of exactly that name, or -1 (preview menus take item names
  // in place of indices).
  virtual int ItemIndexOfName(const std::string& /*name*/) { return -1; }
};

}  // namespace nova
