#pragma once
// Writing sound and movie files through FFmpeg's encoders (the tools that make the bundled
// game's music and movie).
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace nova {

// An Ogg Vorbis file of interleaved 16-bit samples (quality about 4, ~128 kbit/s stereo).
// Raises ENovaError when no Vorbis encoder is available or the file cannot be written.
void WriteOggVorbis(const std::filesystem::path& file, const std::vector<int16_t>& samples, int rate, int channels);

// An MPEG-1 program stream without sound: draw(k, pixels) fills frame k (0x00RRGGBB, rows top
// down). Raises ENovaError as above.
void WriteMpegMovie(const std::filesystem::path& file, int width, int height, int fps, int frames,
                    const std::function<void(int, std::vector<uint32_t>&)>& draw);

}  // namespace nova
