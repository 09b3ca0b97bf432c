#pragma once
// A control's record as saved data of an older version holds it, written byte by byte for the
// tests of the version branches: at (0, 0), visible, no events, no children.
#include <cstdint>
#include <string>

#include "base/stream.h"

namespace nova::test {

inline void WriteOldControl(TStream& s, int32_t version, const std::string& name, int32_t width, int32_t height,
                            int32_t colour) {
  s.WriteString(name);
  s.WriteInt32(0);                        // priority
  if (version > 103) s.WriteInt32(0);     // sub-order
  if (version >= 120) s.WriteString("");  // tag
  for (int32_t v : {0, 0, width, height, 0, 0}) s.WriteInt32(v);  // rectangle, offsets
  s.WriteByte(0);                                                // position-zoomed
  if (version >= 130)
    for (int i = 0; i < 4; ++i) s.WriteInt32(0);
  if (version > 103) {
    for (int i = 0; i < 4; ++i) s.WriteInt32(0);
    s.WriteByte(0);
  }
  s.WriteByte(1);  // visible
  s.WriteInt32(colour);
  for (int32_t v : {0, 0, 1, 1}) s.WriteInt32(v);
  s.WriteByte(0);
  s.WriteString("");  // cursor
  s.WriteString("");  // on mouse move
  if (version > 101) s.WriteString("");
  for (int i = 0; i < 7; ++i) s.WriteString("");
  if (version > 117) {
    s.WriteByte(0);
    for (int i = 0; i < 5; ++i) s.WriteString("");
  }
  s.WriteInt32(0);  // children
}

}  // namespace nova::test
