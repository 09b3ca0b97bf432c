#pragma once
// The sample arithmetic of the software mixer: widening a source's bytes to the output format
// (44100 Hz, 16-bit stereo) in place, volume, and the saturating sum into the output block.
// Each hot loop has a plain reference version beside the one the mixer runs; both give the
// same samples.
#include <cstddef>
#include <cstdint>

namespace nova {

// The PCM format record the media library's decoder fills (WAVEFORMATEX without its size).
struct TPcmFormatRecord {
  uint16_t FormatTag = 1;
  uint16_t Channels = 2;
  uint32_t SamplesPerSec = 44100;
  uint32_t AvgBytesPerSec = 176400;
  uint16_t BlockAlign = 4;
  uint16_t BitsPerSample = 16;
};

// How a source format becomes the output format.
enum class TWidening {
  None,          // 2 ch, 44100 Hz, 16 bits
  Sample16x2,    // 1 ch, 44100 Hz, 16 bits: each sample twice
  Frame16x2,     // 2 ch, 22050 Hz, 16 bits: each frame (left, right) twice
  Byte8,         // 2 ch, 44100 Hz, 8 bits: each byte s to (s - 128) * 256
  Byte8x2,       // 1 ch, 44100 Hz, 8 bits: each byte widened, twice
  Frame8x2,      // 2 ch, 22050 Hz, 8 bits: each frame of two bytes widened, twice
  Sample16x4,    // 1 ch, 22050 Hz, 16 bits: each sample four times
  Byte8x4,       // 1 ch, 22050 Hz, 8 bits: each byte widened, four times
  Unsupported,   // anything else contributes nothing
};

TWidening WideningOf(const TPcmFormatRecord& format);
// Output bytes per source byte: 1, 2, 4 or 8 (0 for Unsupported).
int WideningFactor(TWidening widening);
// The source bytes `sourceBytes` at the start of buf become sourceBytes * factor output
// bytes, written from the end backwards so that the work is done in place.
void WidenInPlace(uint8_t* buf, size_t sourceBytes, TWidening widening);

// Volume 0..256: below 255 every sample s becomes s * v / 256 (the quotient truncated toward
// zero); 255 and 256 leave the samples unchanged.
void ApplyVolume(int16_t* samples, size_t count, int volume);
void ApplyVolumeReference(int16_t* samples, size_t count, int volume);

// dst[i] := saturate(dst[i] + src[i]) to -32768..32767.
void AddSaturated(int16_t* dst, const int16_t* src, size_t count);
void AddSaturatedReference(int16_t* dst, const int16_t* src, size_t count);

}  // namespace nova
