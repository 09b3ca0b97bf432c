#pragma once
// JPEG-coded colour layers (libjpeg-turbo).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/pixel_rows.h"

namespace nova {

// Decodes a JPEG stream into 24-bit rows; its size must be width x height. Damaged or
// truncated data (also what the library only warns about) raises the image error.
TBrioBitmap DecodeJpeg(std::span<const uint8_t> data, int32_t width, int32_t height, const std::string& name);

// Encodes 24-bit rows at a quality of 1..100 (anything else: 75).
std::vector<uint8_t> EncodeJpeg(const TBrioBitmap& rgb24, int quality);

}  // namespace nova
