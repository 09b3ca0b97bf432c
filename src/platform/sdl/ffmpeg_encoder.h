#pragma once
// Writing sound files through FFmpeg's encoders (the tools that make the bundled game's music).
#include <cstdint>
#include <filesystem>
#include <vector>

namespace nova {

// An Ogg Vorbis file of interleaved 16-bit samples (quality about 4, ~128 kbit/s stereo).
// Raises ENovaError when no Vorbis encoder is available or the file cannot be written.
void WriteOggVorbis(const std::filesystem::path& file, const std::vector<int16_t>& samples, int rate, int channels);

}  // namespace nova
