#pragma once
// Small sound files written by the tests.
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

namespace nova::test {

// A PCM WAV file; sample(frame, channel) gives each sample (16-bit range; 8-bit files take
// the top byte).
inline std::string WavBytes(int channels, int rate, int bits, int frames,
                            const std::function<int(int, int)>& sample) {
  std::string data;
  for (int f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c) {
      int s = sample(f, c);
      if (bits == 8) {
        data += static_cast<char>((s >> 8) + 128);
      } else {
        data += static_cast<char>(s & 0xFF);
        data += static_cast<char>((s >> 8) & 0xFF);
      }
    }
  auto le32 = [](uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
  };
  auto le16 = [](uint32_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; };
  uint32_t align = static_cast<uint32_t>(channels * bits / 8);
  std::string out = "RIFF" + le32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + le32(16) + le16(1) +
                    le16(static_cast<uint32_t>(channels)) + le32(static_cast<uint32_t>(rate)) +
                    le32(static_cast<uint32_t>(rate) * align) + le16(align) + le16(static_cast<uint32_t>(bits)) +
                    "data" + le32(static_cast<uint32_t>(data.size())) + data;
  return out;
}

// A sine of `seconds` at 44100 Hz stereo 16-bit.
inline std::string SineWav(double seconds, int amplitude = 8000, int rate = 44100) {
  int frames = static_cast<int>(seconds * rate);
  return WavBytes(2, rate, 16, frames, [=](int f, int) {
    return static_cast<int>(amplitude * std::sin(2 * 3.14159265358979 * 440.0 * f / rate));
  });
}

}  // namespace nova::test
