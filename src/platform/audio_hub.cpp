#include "platform/audio_hub.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>

#include "base/error.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nova {

void MixSaturated(int16_t* dst, const int16_t* src, size_t samples) {
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= samples; i += 8) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epi16(a, b));
  }
#endif
  for (; i < samples; ++i) {
    int v = dst[i] + src[i];
    dst[i] = static_cast<int16_t>(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
  }
}

// One stream of the hub (below). It is TCore's field type, so it has the library's linkage, not an
// anonymous namespace's.
class THubStream;

struct TAudioHub::TCore {
  TAudioFormat format;
  std::mutex mutex;  // the stream list; held while mixing
  std::vector<THubStream*> streams;
  bool alive = true;
};

class THubStream : public TAudioOutput {
public:
  explicit THubStream(std::shared_ptr<TAudioHub::TCore> core) : core_(std::move(core)) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->streams.push_back(this);
  }
  ~THubStream() override {
    std::lock_guard<std::mutex> lock(core_->mutex);
    auto& s = core_->streams;
    s.erase(std::remove(s.begin(), s.end(), this), s.end());
  }
  const TAudioFormat& Spec() const override { return core_->format; }
  void Queue(const int16_t* samples, size_t frames) override {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t n = frames * static_cast<size_t>(core_->format.Channels);
    blocks_.emplace_back(samples, samples + n);
    queued_ += frames;
  }
  size_t QueuedFrames() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return queued_;
  }
  uint64_t PlayedFrames() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return played_;
  }
  void ClearQueue() override {
    std::lock_guard<std::mutex> lock(mutex_);
    blocks_.clear();
    offset_ = 0;
    queued_ = 0;
  }
  void Pause(bool paused) override {
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = paused;
  }
  void SetSource(TAudioSource* source) override {
    std::lock_guard<std::mutex> lock(mutex_);
    source_ = source;
  }

  // Called by the hub with its list locked. False when the stream gave nothing.
  bool Take(int16_t* out, size_t frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (paused_) return false;
    if (source_) {
      source_->Render(out, frames);
      return true;
    }
    if (queued_ == 0) return false;
    size_t channels = static_cast<size_t>(core_->format.Channels);
    size_t want = frames * channels, done = 0;
    while (done < want && !blocks_.empty()) {
      std::vector<int16_t>& front = blocks_.front();
      size_t n = std::min(want - done, front.size() - offset_);
      std::memcpy(out + done, front.data() + offset_, n * sizeof(int16_t));
      done += n;
      offset_ += n;
      if (offset_ == front.size()) {
        blocks_.pop_front();
        offset_ = 0;
      }
    }
    std::fill(out + done, out + want, int16_t{0});
    queued_ -= done / channels;
    played_ += done / channels;
    return true;
  }

private:
  std::shared_ptr<TAudioHub::TCore> core_;
  mutable std::mutex mutex_;
  std::deque<std::vector<int16_t>> blocks_;
  size_t offset_ = 0;  // samples of the front block already played
  size_t queued_ = 0;
  uint64_t played_ = 0;
  bool paused_ = false;
  TAudioSource* source_ = nullptr;
};

TAudioHub::TAudioHub(TAudioFormat format) : core_(std::make_shared<TCore>()) { core_->format = format; }
TAudioHub::~TAudioHub() = default;

const TAudioFormat& TAudioHub::Format() const { return core_->format; }

std::unique_ptr<TAudioOutput> TAudioHub::OpenStream() { return std::make_unique<THubStream>(core_); }

int TAudioHub::StreamCount() const {
  std::lock_guard<std::mutex> lock(core_->mutex);
  return static_cast<int>(core_->streams.size());
}

void TAudioHub::Mix(int16_t* out, size_t frames) {
  size_t samples = frames * static_cast<size_t>(core_->format.Channels);
  std::fill(out, out + samples, int16_t{0});
  thread_local std::vector<int16_t> scratch;
  if (scratch.size() < samples) scratch.resize(samples);
  std::lock_guard<std::mutex> lock(core_->mutex);
  for (THubStream* s : core_->streams) {
    if (s->Take(scratch.data(), frames)) MixSaturated(out, scratch.data(), samples);
  }
}

std::vector<uint8_t> WaveHeader(int channels, int rate, int bits, uint32_t dataBytes) {
  std::vector<uint8_t> h(44);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  auto put16 = [&](size_t at, uint32_t v) {
    h[at] = static_cast<uint8_t>(v), h[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  std::memcpy(h.data(), "RIFF", 4);
  put32(4, 36 + dataBytes);
  std::memcpy(h.data() + 8, "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, static_cast<uint32_t>(channels));
  put32(24, static_cast<uint32_t>(rate));
  uint32_t align = static_cast<uint32_t>(channels * bits / 8);
  put32(28, static_cast<uint32_t>(rate) * align);
  put16(32, align);
  put16(34, static_cast<uint32_t>(bits));
  std::memcpy(h.data() + 36, "data", 4);
  put32(40, dataBytes);
  return h;
}

THeadlessAudio::THeadlessAudio(const std::filesystem::path& wavFile, uint32_t startMs) : lastMs_(startMs) {
  if (wavFile.empty()) return;
  file_ = std::fopen(wavFile.c_str(), "wb");
  if (!file_) RaiseError(HostPathText(wavFile) + ": cannot write the sound file");
  Flush();
}

THeadlessAudio::~THeadlessAudio() {
  if (!file_) return;
  Flush();
  std::fclose(file_);
}

void THeadlessAudio::Advance(uint32_t nowMs) {
  elapsedMs_ += static_cast<uint32_t>(nowMs - lastMs_);
  lastMs_ = nowMs;
  const TAudioFormat& f = hub_.Format();
  uint64_t target = elapsedMs_ * static_cast<uint64_t>(f.Rate) / 1000;
  if (target <= produced_) return;
  size_t frames = static_cast<size_t>(target - produced_);
  buffer_.resize(frames * static_cast<size_t>(f.Channels));
  hub_.Mix(buffer_.data(), frames);
  produced_ = target;
  if (!file_) return;
  std::fwrite(buffer_.data(), sizeof(int16_t), buffer_.size(), file_);  // little-endian host
  if (++sinceFlush_ >= 64) Flush();
}

void THeadlessAudio::Flush() {
  if (!file_) return;
  sinceFlush_ = 0;
  const TAudioFormat& f = hub_.Format();
  uint64_t bytes = produced_ * static_cast<uint64_t>(f.Channels) * 2;
  std::vector<uint8_t> header = WaveHeader(f.Channels, f.Rate, 16, static_cast<uint32_t>(std::min<uint64_t>(bytes, 0xFFFFFFD0u)));
  long at = std::ftell(file_);
  std::fseek(file_, 0, SEEK_SET);
  std::fwrite(header.data(), 1, header.size(), file_);
  if (at > 0) std::fseek(file_, at, SEEK_SET);
  std::fflush(file_);
}

}  // namespace nova
