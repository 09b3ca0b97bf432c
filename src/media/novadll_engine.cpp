#include "media/novadll_engine.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace nova {

void VoiceGains(int32_t volume, int32_t pan, int32_t& left, int32_t& right) {
  volume = std::clamp(volume, -10000, 0);
  pan = std::clamp(pan, -10000, 10000);
  auto gain = [](int32_t hundredthsDb) {
    if (hundredthsDb <= -10000) return 0;
    return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, hundredthsDb / 2000.0)));
  };
  // A pan to the right attenuates the left side by its value, and the other way round.
  left = gain(std::max(-10000, volume - std::max(0, pan)));
  right = gain(std::max(-10000, volume + std::min(0, pan)));
}

TVoice::TVoice(std::unique_ptr<TAudioDecoder> decoder) : decoder_(std::move(decoder)) {
  length_ = std::max<int64_t>(0, decoder_->LengthFrames());
  ring_.assign(kRingFrames * 2, 0);
}

void TVoice::Play() {
  bool restart;
  {
    std::lock_guard<std::mutex> lock(ringMutex_);
    restart = ended_;
  }
  if (restart) SetPositionMs(0);  // a sound that ran out plays again from its start
  std::lock_guard<std::mutex> lock(ringMutex_);
  playing_ = true;
  paused_ = false;
}

void TVoice::Pause() {
  std::lock_guard<std::mutex> lock(ringMutex_);
  playing_ = false;
  paused_ = true;
}

bool TVoice::IsPlaying() {
  std::lock_guard<std::mutex> lock(ringMutex_);
  return playing_ && !ended_;
}

bool TVoice::IsPaused() {
  std::lock_guard<std::mutex> lock(ringMutex_);
  return paused_;
}

bool TVoice::IsEnd() {
  std::lock_guard<std::mutex> lock(ringMutex_);
  return ended_;
}

int64_t TVoice::PositionFrames() {
  int64_t linear = seekBase_ + static_cast<int64_t>(renderedSinceSeek_);
  int64_t end = length_.load();
  if (linear < end) return linear;
  if (repeat_ && end > repeatPos_) return repeatPos_ + (linear - end) % (end - repeatPos_);
  return end;
}

int32_t TVoice::PositionMs() {
  std::lock_guard<std::mutex> lock(decodeMutex_);
  std::lock_guard<std::mutex> ring(ringMutex_);
  return static_cast<int32_t>(PositionFrames() * 1000 / kRate);
}

void TVoice::SetPositionMs(int32_t ms) {
  int64_t frame = std::clamp<int64_t>(static_cast<int64_t>(std::max(0, ms)) * kRate / 1000, 0, length_.load());
  std::lock_guard<std::mutex> lock(decodeMutex_);
  decoder_->Seek(frame);
  decodePos_ = frame;
  decodeEnded_ = false;
  std::lock_guard<std::mutex> ring(ringMutex_);
  written_ = read_ = 0;
  seekBase_ = frame;
  renderedSinceSeek_ = 0;
  ended_ = false;
  decodeEndedSeen_ = false;
}

bool TVoice::Repeat() {
  std::lock_guard<std::mutex> lock(decodeMutex_);
  return repeat_;
}

void TVoice::SetRepeat(bool on) {
  std::lock_guard<std::mutex> lock(decodeMutex_);
  repeat_ = on;
  if (on && decodeEnded_ && repeatPos_ < length_) {
    // The data ran out while repeat was off: it goes on from the repeat position.
    decoder_->Seek(repeatPos_);
    decodePos_ = repeatPos_;
    decodeEnded_ = false;
  }
}

int32_t TVoice::RepeatPosMs() {
  std::lock_guard<std::mutex> lock(decodeMutex_);
  return static_cast<int32_t>(repeatPos_ * 1000 / kRate);
}

void TVoice::SetRepeatPosMs(int32_t ms) {
  std::lock_guard<std::mutex> lock(decodeMutex_);
  repeatPos_ = static_cast<int64_t>(std::max(0, ms)) * kRate / 1000;
}

int32_t TVoice::Volume() {
  std::lock_guard<std::mutex> lock(ringMutex_);
  return volume_;
}

void TVoice::SetVolume(int32_t v) {
  std::lock_guard<std::mutex> lock(ringMutex_);
  volume_ = std::clamp(v, -10000, 0);
  VoiceGains(volume_, pan_, gainL_, gainR_);
}

int32_t TVoice::Pan() {
  std::lock_guard<std::mutex> lock(ringMutex_);
  return pan_;
}

void TVoice::SetPan(int32_t p) {
  std::lock_guard<std::mutex> lock(ringMutex_);
  pan_ = std::clamp(p, -10000, 10000);
  VoiceGains(volume_, pan_, gainL_, gainR_);
}

void TVoice::Fill() {
  std::lock_guard<std::mutex> lock(decodeMutex_);
  size_t space;
  {
    std::lock_guard<std::mutex> ring(ringMutex_);
    if (!playing_ && !paused_ && written_ > 0) return;  // never started: one ring is enough
    space = kRingFrames - static_cast<size_t>(written_ - read_);
  }
  thread_local std::vector<int16_t> chunk;
  while (space >= 1024 && !decodeEnded_) {
    size_t want = std::min<size_t>(space, 4096);
    chunk.resize(want * 2);
    int64_t got = decoder_->Read(chunk.data(), static_cast<int64_t>(want));
    if (got <= 0) {
      dataEnd_ = decodePos_;
      length_ = dataEnd_;  // the data may have said it was longer (or not said it at all)
      if (repeat_ && repeatPos_ < length_ && decodePos_ > repeatPos_) {
        decoder_->Seek(repeatPos_);
        decodePos_ = repeatPos_;
        continue;
      }
      decodeEnded_ = true;
      break;
    }
    if (decodePos_ + got > length_ && dataEnd_ < 0) length_ = decodePos_ + got;  // more data than said
    decodePos_ += got;
    std::lock_guard<std::mutex> ring(ringMutex_);
    for (int64_t i = 0; i < got; ++i) {
      size_t at = static_cast<size_t>((written_ + static_cast<uint64_t>(i)) % kRingFrames) * 2;
      ring_[at] = chunk[static_cast<size_t>(i) * 2];
      ring_[at + 1] = chunk[static_cast<size_t>(i) * 2 + 1];
    }
    written_ += static_cast<uint64_t>(got);
    space -= static_cast<size_t>(got);
  }
  std::lock_guard<std::mutex> ring(ringMutex_);
  decodeEndedSeen_ = decodeEnded_;
}

void TVoice::RenderAdd(int32_t* acc, size_t frames) {
  std::lock_guard<std::mutex> ring(ringMutex_);
  if (!playing_ || ended_) return;
  size_t available = static_cast<size_t>(written_ - read_);
  size_t n = std::min(frames, available);
  for (size_t i = 0; i < n; ++i) {
    size_t at = static_cast<size_t>((read_ + i) % kRingFrames) * 2;
    acc[2 * i] += (ring_[at] * gainL_) >> 16;
    acc[2 * i + 1] += (ring_[at + 1] * gainR_) >> 16;
  }
  read_ += n;
  renderedSinceSeek_ += n;
  if (n < frames && decodeEndedSeen_ && written_ == read_) {
    ended_ = true;
    playing_ = false;
  }
}

// --- Engine ---

TVoiceEngine::TVoiceEngine(TPlatform& platform) : platform_(platform) {
  stream_ = platform.OpenAudio(TAudioFormat{TVoice::kRate, 2});
  if (stream_) stream_->SetSource(this);
  if (TFrameTicker* ticker = platform.FrameTicker()) tickId_ = ticker->Add([this] { Update(); });
}

TVoiceEngine::~TVoiceEngine() {
  SetUseThread(false);
  if (tickId_) platform_.FrameTicker()->Remove(tickId_);
  if (stream_) stream_->SetSource(nullptr);
  stream_.reset();
}

void TVoiceEngine::Add(TVoice* voice) {
  std::lock_guard<std::mutex> lock(listMutex_);
  voices_.push_back(voice);
}

void TVoiceEngine::Remove(TVoice* voice) {
  std::lock_guard<std::mutex> fill(fillMutex_);  // waits for a fill in progress
  std::lock_guard<std::mutex> lock(listMutex_);  // and a render
  voices_.erase(std::remove(voices_.begin(), voices_.end(), voice), voices_.end());
}

void TVoiceEngine::SetUseThread(bool on) {
  if (platform_.FrameTicker()) return;  // the ticker decodes
  if (on == thread_.joinable()) return;
  if (on) {
    stop_ = false;
    thread_ = std::thread([this] { ThreadLoop(); });
  } else {
    {
      std::lock_guard<std::mutex> lock(wakeMutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
}

void TVoiceEngine::Update() {
  // Decoding does not hold the list: the device keeps rendering meanwhile.
  std::lock_guard<std::mutex> fill(fillMutex_);
  std::vector<TVoice*> voices;
  {
    std::lock_guard<std::mutex> lock(listMutex_);
    voices = voices_;
  }
  for (TVoice* v : voices) v->Fill();
}

void TVoiceEngine::ThreadLoop() {
  std::unique_lock<std::mutex> lock(wakeMutex_);
  while (!stop_) {
    lock.unlock();
    Update();
    lock.lock();
    wake_.wait_for(lock, std::chrono::milliseconds(10), [this] { return stop_; });
  }
}

void TVoiceEngine::Render(int16_t* out, size_t frames) {
  acc_.assign(frames * 2, 0);
  {
    std::lock_guard<std::mutex> lock(listMutex_);
    for (TVoice* v : voices_) v->RenderAdd(acc_.data(), frames);
  }
  for (size_t i = 0; i < frames * 2; ++i) out[i] = static_cast<int16_t>(std::clamp(acc_[i], -32768, 32767));
}

}  // namespace nova
