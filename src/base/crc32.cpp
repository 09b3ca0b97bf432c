#include "base/crc32.h"

#include <zlib.h>

namespace nova {

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) {
  const Bytef* p = static_cast<const Bytef*>(data);
  uLong c = crc;
  while (size > 0) {
    uInt chunk = size > 0x40000000u ? 0x40000000u : static_cast<uInt>(size);
    c = crc32(c, p, chunk);
    p += chunk;
    size -= chunk;
  }
  return static_cast<uint32_t>(c);
}

}  // namespace nova
