#pragma once
// The zlib blocks of layered images: compressed at the fastest level, inflated whole.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nova {

// Inflates a zlib stream; stops once cap bytes have come out (the caller knows how many it
// can use). A stream that is damaged, or ends before its end marker with less than cap
// bytes, raises the image error naming the file.
std::vector<uint8_t> InflateImageBlock(std::span<const uint8_t> data, size_t cap, const std::string& name);

std::vector<uint8_t> DeflateImageBlock(std::span<const uint8_t> data);

}  // namespace nova
