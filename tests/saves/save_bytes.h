#pragma once
// Sections of saved data written byte by byte in the forms older players wrote, for the tests
// of the version branches.
#include <initializer_list>
#include <string>

#include "base/stream.h"
#include "support/old_control_record.h"

namespace nova::test {

inline void Ints(TStream& s, std::initializer_list<int32_t> values) {
  for (int32_t v : values) s.WriteInt32(v);
}

// A screen (a control without children) as data of that version holds it.
inline void WriteOldScreen(TStream& s, int32_t v, const std::string& name, int32_t colour) {
  WriteOldControl(s, v, name, 64, 48, colour);
}

// A 64 x 48 scene without objects and with one pending event of ev.nsb (argument "x").
inline void WriteOldScene(TStream& s, int32_t v) {
  Ints(s, {64, 48, 0});
  WriteOldScreen(s, v, "\x01" "BASE0", 0x000000);
  WriteOldScreen(s, v, "\x01" "BASE1", 0x0000FF);
  s.WriteInt32(0);  // components
  s.WriteInt32(1);
  s.WriteString("ev.nsb");
  s.WriteString("");
  s.WriteByte(33);
  if (v > 113) s.WriteInt32(0);
  else s.WriteByte(0);
  s.WriteInt32(1);
  s.WriteString("x");
  if (v > 118) s.WriteString("");  // focus
}

// One history as a save of that version holds it: two references ("a.nsb", "" = the same
// page), something pending, and from 113 one row page of two rows.
inline void WriteOldHistory(TStream& s, int32_t v) {
  if (v < 113) {
    s.WriteString("old leading string");
    s.WriteInt32(2);
    s.WriteString("a.nsb");
    s.WriteString("");
    Ints(s, {4, 9, 0, 1, 320, 240, 320, 240});  // command indices, page indices, sizes
  } else {
    s.WriteInt32(2);
    s.WriteString("a.nsb");
    Ints(s, {4, 0, 320, 240});
    s.WriteString("");
    Ints(s, {9, 1, 320, 240});
  }
  s.WriteString("b.nsb");
  Ints(s, {3, 0, 320, 240});
  s.WriteString("box");
  if (v > 112) {
    Ints(s, {50, 16, 1, 1, 400, 300, 2, 0, 12});
    s.WriteInt32(1);  // one row page
    s.WriteInt32(2);
    for (int row = 0; row < 2; ++row) {
      s.WriteString(row == 0 ? "a.nsb" : "");
      Ints(s, {4, 0, 5, 18});
      if (v > 123) s.WriteString("x=1\r\n");
    }
    s.WriteInt32(36);
  }
  if (v > 123) s.WriteString("x=1\r\n");
}

// The history section of a saved game of that version: the manager form from 135.
inline void WriteHistorySection(TStream& s, int32_t v) {
  if (v < 135) {
    WriteOldHistory(s, v);
    return;
  }
  s.WriteInt32(1);
  s.WriteString("");
  Ints(s, {0, 0, 0, 0, 0, 0});
  WriteOldHistory(s, v);
}

// The interpreter at index `index` of page, nothing entered, no frames.
inline void WriteOldInterpreter(TStream& s, int32_t v, const std::string& page, int32_t index, int32_t level) {
  s.WriteString(page);
  s.WriteInt32(index);
  s.WriteByte(1);  // continue
  s.WriteByte(0);  // entered
  s.WriteInt32(0);
  s.WriteString("");
  s.WriteInt32(0);
  // The spare frame, empty.
  s.WriteString("");
  Ints(s, {0});
  s.WriteByte(0);
  s.WriteByte(0);
  s.WriteString("");
  s.WriteInt32(0);
  s.WriteString("");
  s.WriteInt32(0);
  s.WriteByte(0);
  s.WriteInt32(0);  // frames
  if (v >= 116) s.WriteInt32(level);
}

// One global integer x = 5, then the store settings of that version.
inline void WriteOldVariables(TStream& s, int32_t v) {
  s.WriteInt32(1);
  s.WriteByte(1);
  s.WriteString("x");
  Ints(s, {0, 1, 5});
  s.WriteByte(0);
  s.WriteByte(0);
  s.WriteInt32(-1);
  s.WriteByte(0);
  s.WriteInt32(30);
  s.WriteString("cur");
  if (v > 102) {
    s.WriteString("sel");
    s.WriteInt32(2);
  }
  if (v > 112 && v < 135) Ints(s, {1, 2, 3, 4, 5, 6});
  if (v > 120) s.WriteString("x");
}

// One table "t" of one integer field and two records, active.
inline void WriteOneTable(TStream& s, bool isStatus) {
  Ints(s, {100, 1});
  s.WriteByte(0);
  s.WriteString("t");
  s.WriteByte(isStatus ? 1 : 0);
  Ints(s, {1, 4});
  s.WriteString("n");
  s.WriteByte(1);
  Ints(s, {2, 10, 20, 1});
  if (!isStatus) s.WriteString("t");
}

// A whole saved game of that version.
inline std::string OldSavedGame(int32_t v, const std::string& afterLoadPage = "") {
  TKtMemoryStream s;
  s.WriteInt32(v);
  s.WriteString("old");
  s.WriteString(afterLoadPage);
  s.WriteInt32(0);
  WriteOldScene(s, v);
  WriteHistorySection(s, v);
  WriteOldInterpreter(s, v, "start.nsb", 1, 3);
  WriteOldVariables(s, v);
  if (v > 122) WriteOneTable(s, false);
  return s.Data();
}

}  // namespace nova::test
