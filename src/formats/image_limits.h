#pragma once
// What the image readers accept before they allocate anything. Every size a file states is
// checked against these limits and against the bytes the file still holds, so a damaged or
// hostile file costs at most a bounded amount of memory and never reads outside its data.
#include <cstdint>
#include <string>

namespace nova {

// Widest and tallest picture accepted (a scrolling background of a game stays far below).
constexpr int32_t kMaxImageSide = 16384;
// Pixels of one picture: 16 Mi pixels, 64 MiB at 32 bits.
constexpr int64_t kMaxImagePixels = int64_t{1} << 24;
// Pixel bytes one file may make the reader allocate in all (layers, masks and frames).
constexpr int64_t kMaxImageFileBytes = int64_t{1} << 30;
// Frames and layers of a layered image (each also costs file bytes, which bounds them first).
constexpr int32_t kMaxImageFrames = 65536;
constexpr int32_t kMaxFrameLayers = 4096;

// Raises the reader's error for a damaged image: "<name>:画像ファイルが壊れています (<why>)".
[[noreturn]] void RaiseImageError(const std::string& name, const std::string& why);

// Checks a picture's size against the limits above (why names the picture: "frame", "PNG").
void CheckImageSize(const std::string& name, int64_t width, int64_t height, const char* what);

}  // namespace nova
