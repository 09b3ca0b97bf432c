#pragma once
// The sound device as the mixer sees it: interleaved signed 16-bit PCM at a fixed rate and
// channel count, pushed in blocks and played in order. Writing never blocks the caller.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace nova {

struct TAudioFormat {
  int Rate = 44100;
  int Channels = 2;
};

class TAudioOutput {
public:
  virtual ~TAudioOutput() = default;
  virtual const TAudioFormat& Spec() const = 0;
  // Appends frames (Channels samples each) to the play queue.
  virtual void Queue(const int16_t* samples, size_t frames) = 0;
  // Frames queued but not yet played.
  virtual size_t QueuedFrames() const = 0;
  virtual void Pause(bool paused) = 0;
};

}  // namespace nova
