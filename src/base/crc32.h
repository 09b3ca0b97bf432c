#pragma once
// CRC-32 with the reflected polynomial 0xEDB88320, initial value all ones, final complement.
#include <cstddef>
#include <cstdint>

namespace nova {

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size);  // crc from a previous call, 0 to start
inline uint32_t Crc32(const void* data, size_t size) { return Crc32Update(0, data, size); }

}  // namespace nova
