#pragma once
// The sound device as the player sees it: one device at 44100 Hz, 16-bit stereo, into which
// any number of streams are mixed (summed with saturation). A stream is either queued (blocks
// pushed and played in order, the software mixer's way) or pulled (a source renders frames
// when the device wants them: the media library's voices, the MIDI synthesizer). Writing never
// blocks the caller.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace nova {

struct TAudioFormat {
  int Rate = 44100;
  int Channels = 2;
};

// A pulled stream's producer. Render is called on the device's thread (the headless device:
// on the main thread at each frame step) and must write all `frames` frames (silence where it
// has nothing); it must not block for long.
class TAudioSource {
public:
  virtual ~TAudioSource() = default;
  virtual void Render(int16_t* out, size_t frames) = 0;
};

class TAudioOutput {
public:
  virtual ~TAudioOutput() = default;
  virtual const TAudioFormat& Spec() const = 0;
  // Appends frames (Channels samples each) to the play queue.
  virtual void Queue(const int16_t* samples, size_t frames) = 0;
  // Frames queued but not yet played.
  virtual size_t QueuedFrames() const = 0;
  // Frames taken from the queue since the stream was opened (a queued block is done once
  // this count has passed its end).
  virtual uint64_t PlayedFrames() const = 0;
  // Drops whatever is queued and not played yet.
  virtual void ClearQueue() = 0;
  // A paused stream neither plays nor consumes.
  virtual void Pause(bool paused) = 0;
  // Pull mode: the source renders this stream's frames instead of the queue (null: back to
  // the queue). The source must outlive the stream or be reset first.
  virtual void SetSource(TAudioSource* source) = 0;
};

// Adds src into dst with saturation to -32768..32767.
void MixSaturated(int16_t* dst, const int16_t* src, size_t samples);

}  // namespace nova
