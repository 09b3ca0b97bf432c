#pragma once
// Character attributes. Every character (and every variable glyph) points at one TDecorate
// record; records with equal attributes are shared and reference counted, so a long text holds
// only a handful of them and a glyph stream stores each one once.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nova {

// Style bits of a character.
enum : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// The attribute fields of a record; -1 colours and widths and a 0 size mean "the text's default".
struct TDecorateValues {
  int32_t Color = -1;
  int32_t BorderColor = -1;
  int32_t ShadowColor = -1;
  int32_t Size = 0;
  uint8_t Style = 0;
  std::string FontName;  // empty = default face
  uint8_t NoBreak = 0;
  std::string Ruby;      // empty = no ruby
  int32_t BorderWidth = -1;
  int32_t ShadowOffset = -1;

  // All fields equal; font names compare case-sensitively.
  friend bool operator==(const TDecorateValues&, const TDecorateValues&) = default;
};

struct TDecorate : TDecorateValues {
  int32_t RefCount = 0;
};

// The interned records of one text object, in the order they were made.
class TDecorateList {
public:
  TDecorateList() = default;
  TDecorateList(const TDecorateList&) = delete;
  TDecorateList& operator=(const TDecorateList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  TDecorate* Item(int i) const { return items_[static_cast<size_t>(i)].get(); }
  int IndexOf(const TDecorate* d) const;
  // The first record whose fields all equal v, or nullptr.
  TDecorate* Find(const TDecorateValues& v) const;

  // A reference to a record with these fields: an equal record's count is raised, or a new
  // record with count 1 is appended.
  TDecorate* Acquire(const TDecorateValues& v);
  // Raises the count of a record of this list.
  void AddRef(TDecorate* d) { ++d->RefCount; }
  // Drops one reference; a record whose count reaches 0 leaves the list and is freed.
  void Release(TDecorate* d);
  // Gives the holder of d a record with the fields v: an existing equal record is shared (and d
  // released); otherwise d is changed in place when the holder is its only user, or a new record
  // is made. d may be nullptr (then it is a plain Acquire).
  void Change(TDecorate*& d, const TDecorateValues& v);
  // Appends a record as it stands, without looking for an equal one (glyph streams: every
  // stored record stays a record of its own, so indices keep their meaning).
  TDecorate* Append(const TDecorateValues& v, int32_t refCount);
  void Clear() { items_.clear(); }

private:
  std::vector<std::unique_ptr<TDecorate>> items_;
};

}  // namespace nova
