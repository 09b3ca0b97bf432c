#pragma once
// Small media files made by calling FFmpeg's encoders (tests and benchmarks).
#include <filesystem>
#include <functional>
#include <string>

namespace nova::test {

// A sound of `frames` frames; sample(frame, channel) in the 16-bit range. Raises
// std::runtime_error when the encoder is missing.
std::string EncodeSound(const std::filesystem::path& file, const char* codec, int rate, int channels, int frames,
                        const std::function<int(int, int)>& sample,
                        const std::function<void(void* /*AVDictionary***/)>& tags = {});
// A movie of `frames` frames at `fps`; frame k is filled with colour(k) (0x00RRGGBB); with
// sound, a 440 Hz tone of the same length in `soundCodec`.
std::string EncodeMovie(const std::filesystem::path& file, const char* codec, int width, int height, int fps,
                        int frames, const std::function<uint32_t(int)>& colour, const char* soundCodec = nullptr);

}  // namespace nova::test
