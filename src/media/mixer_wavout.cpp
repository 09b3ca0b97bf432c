#include "media/wavouts.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace nova {

int32_t MixerDelayTime(int32_t ms) {
  int32_t v = ms / 100 * 100;
  return v < 100 ? 100 : v > 500 ? 500 : v;
}

int64_t BytesOfMs(const TPcmFormatRecord& f, int64_t ms) {
  return static_cast<int64_t>(f.BitsPerSample) * f.Channels * f.SamplesPerSec * ms / 8000;
}

namespace {

int64_t AlignDown(int64_t bytes, int align) {
  if (bytes < 0) return 0;
  return align > 1 ? bytes / align * align : bytes;
}

}  // namespace

// --- Pool ---

TMemData* TMemList::Take() {
  for (auto& p : pairs_)
    if (!p->InUse) {
      p->InUse = true;
      return p.get();
    }
  auto data = std::make_unique<TMemData>();
  data->Header.assign(32, 0);
  data->Samples.assign(blockBytes_ / 2, 0);
  data->InUse = true;
  pairs_.push_back(std::move(data));
  return pairs_.back().get();
}

void TMemList::Give(TMemData* data) {
  if (data) data->InUse = false;
}

void TMemList::Reserve(size_t pairs) {
  while (pairs_.size() < pairs) {
    auto data = std::make_unique<TMemData>();
    data->Header.assign(32, 0);
    data->Samples.assign(blockBytes_ / 2, 0);
    pairs_.push_back(std::move(data));
  }
}

// --- Sources ---

TWavBuffer::TWavBuffer(TWavOut& owner, const TPcmFormatRecord& format, std::unique_ptr<TStream> stream)
    : owner_(owner), format_(format), stream_(std::move(stream)) {
  size_ = stream_ ? stream_->Size() : 0;
  scratch_.assign(owner.BlockBytes(), 0);
}

void TWavBuffer::Start() {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  if (!owner_.device_) return;
  playing_ = true, paused_ = false, ended_ = false;
  if (std::find(owner_.active_.begin(), owner_.active_.end(), this) == owner_.active_.end())
    owner_.active_.push_back(this);
}

void TWavBuffer::Stop() {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  if (!owner_.device_) return;
  paused_ = true;
  auto& a = owner_.active_;
  a.erase(std::remove(a.begin(), a.end(), this), a.end());
}

void TWavBuffer::SetReadPosition(int64_t bytes) {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  // A position inside a sample frame would play the channels crossed: aligned to the frame.
  readPosition_ = std::min(AlignDown(bytes, format_.BlockAlign), size_);
}

void TWavBuffer::SetRepeatPosition(int64_t bytes) {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  repeatPosition_ = AlignDown(bytes, format_.BlockAlign);
}

void TWavBuffer::SetRepeat(bool on) {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  repeat_ = on;
}

void TWavBuffer::SetVolume(int volume) {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  volume_ = std::clamp(volume, 0, 256);
}

bool TWavBuffer::IsFinished() {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  if (!owner_.device_) return true;
  if (!ended_) return false;
  int32_t since = static_cast<int32_t>(owner_.Now() - lastMix_);
  return since > 2 * owner_.delay_ + 10;
}

int64_t TWavBuffer::PlayedPosition() {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  int64_t e = static_cast<int32_t>(owner_.Now() - lastMix_);
  if (e < 0) e = 0;
  if (e > 2 * owner_.delay_) return readPosition_;
  int64_t p = readPosition_ - BytesOfMs(format_, owner_.delay_) + BytesOfMs(format_, e);
  p = std::min(p, size_);
  return std::max<int64_t>(p, 0);
}

int64_t TWavBuffer::ReadPosition() {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  return readPosition_;
}
bool TWavBuffer::Ended() {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  return ended_;
}
bool TWavBuffer::Playing() {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  return playing_;
}
bool TWavBuffer::Paused() {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  return paused_;
}
int TWavBuffer::Volume() {
  std::lock_guard<std::recursive_mutex> lock(owner_.lock_);
  return volume_;
}

size_t TWavBuffer::ReadSource(size_t want) {
  size_t got = 0;
  stream_->Seek(readPosition_, SeekOrigin::Begin);
  int64_t pos = readPosition_;
  bool readSinceWrap = true;
  while (got < want) {
    if (pos >= size_) {
      // At the end: a repeating source goes on from its repeat position. A repeat position at
      // or past the end (or a stream that gives nothing from there) would loop for ever with
      // the lock held; it stops the block instead.
      if (!repeat_ || !readSinceWrap || repeatPosition_ >= size_) break;
      pos = stream_->Seek(repeatPosition_, SeekOrigin::Begin);
      readSinceWrap = false;
      continue;
    }
    int64_t chunk = std::min<int64_t>(static_cast<int64_t>(want - got), size_ - pos);
    int64_t n = stream_->Read(scratch_.data() + got, chunk);
    if (n <= 0) {
      pos = size_;  // the data ended before its size said: treated as the end
      continue;
    }
    got += static_cast<size_t>(n);
    pos += n;
    readSinceWrap = true;
  }
  // A repeating source whose block ended exactly at the end goes on from its repeat position
  // (else it would count as ended and fall silent until it is restarted).
  if (repeat_ && pos >= size_ && repeatPosition_ < size_ && readSinceWrap) pos = repeatPosition_;
  readPosition_ = pos;
  return got;
}

bool TWavBuffer::MixInto(int16_t* block) {
  if (size_ <= 0 || ended_ || paused_ || !playing_) return false;
  if (!owner_.device_) return false;
  TWidening widening = WideningOf(format_);
  int factor = WideningFactor(widening);
  if (factor == 0) return false;
  size_t blockBytes = owner_.BlockBytes();
  size_t want = blockBytes / static_cast<size_t>(factor);
  size_t got = ReadSource(want);
  if (readPosition_ >= size_) ended_ = true;
  lastMix_ = owner_.Now();
  if (got == 0) return false;
  std::memset(scratch_.data() + got, 0, blockBytes - got);
  WidenInPlace(scratch_.data(), want, widening);
  int16_t* samples = reinterpret_cast<int16_t*>(scratch_.data());
  ApplyVolume(samples, blockBytes / 2, volume_);
  AddSaturated(block, samples, blockBytes / 2);
  return true;
}

// --- The mixer ---

TWavOut::TWavOut(TPlatform& platform, int32_t delayTimeMs)
    : platform_(platform),
      clock_(platform.Clock()),
      delay_(MixerDelayTime(delayTimeMs)),
      blockBytes_(static_cast<size_t>(delay_) * 176400 / 1000),
      pool_(blockBytes_) {}

TWavOut::~TWavOut() { Close(); }

bool TWavOut::IsOpen() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  return device_ != nullptr;
}

bool TWavOut::Open() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (device_) return false;
  device_ = platform_.OpenAudio(TAudioFormat{44100, 2});
  if (!device_) return false;
  writtenFrames_ = device_->PlayedFrames();
  pool_.Reserve(4);
  if (TFrameTicker* ticker = platform_.FrameTicker()) {
    tickId_ = ticker->Add([this] { FeedStep(); });
  } else {
    wakeSignalled_ = false;
    thread_ = std::thread([this] { ThreadLoop(); });
  }
  return true;
}

void TWavOut::Close() {
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (!device_) return;
    device_->ClearQueue();  // the reset: every queued block is done
    std::lock_guard<std::mutex> wakeLock(wakeMutex_);
    wakeSignalled_ = true;
    wake_.notify_all();
  }
  // The thread is waited for outside the lock (it may be waiting for the lock itself).
  if (thread_.joinable()) thread_.join();
  if (tickId_) platform_.FrameTicker()->Remove(tickId_), tickId_ = 0;
  std::lock_guard<std::recursive_mutex> lock(lock_);
  active_.clear();
  sources_.clear();
  for (TWavPrimary& p : queued_) pool_.Give(p.Data);
  queued_.clear();
  device_.reset();
}

TWavBuffer* TWavOut::AddSource(const TPcmFormatRecord& format, std::unique_ptr<TStream> stream) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  sources_.push_back(std::unique_ptr<TWavBuffer>(new TWavBuffer(*this, format, std::move(stream))));
  return sources_.back().get();
}

void TWavOut::RemoveSource(TWavBuffer* source) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  active_.erase(std::remove(active_.begin(), active_.end(), source), active_.end());
  for (auto it = sources_.begin(); it != sources_.end(); ++it)
    if (it->get() == source) {
      sources_.erase(it);
      return;
    }
}

size_t TWavOut::QueuedBlocks() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  return queued_.size();
}

size_t TWavOut::PoolPairs() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  return pool_.Count();
}

bool TWavOut::MixBlock(int16_t* block) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  std::memset(block, 0, blockBytes_);
  bool any = false;
  for (auto& s : sources_) any |= s->MixInto(block);
  return any;
}

void TWavOut::ReclaimDone() {
  uint64_t played = device_ ? device_->PlayedFrames() : UINT64_MAX;
  size_t queuedNow = device_ ? device_->QueuedFrames() : 0;
  auto done = [&](const TWavPrimary& p) { return p.EndFrame <= played || queuedNow == 0; };
  for (auto it = queued_.begin(); it != queued_.end();) {
    if (done(*it)) {
      pool_.Give(it->Data);
      it = queued_.erase(it);
    } else {
      ++it;
    }
  }
}

void TWavOut::FeedStep() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (!device_) return;
  ReclaimDone();
  for (int i = 0; i < 2; ++i) {
    if (!device_ || queued_.size() > 1 || active_.empty()) break;
    TWavPrimary block;
    block.Data = pool_.Take();
    block.Prepared = true;
    if (!MixBlock(block.Data->Samples.data())) {
      pool_.Give(block.Data);  // nothing to play: the block is discarded
      continue;
    }
    size_t frames = blockBytes_ / 4;
    // Played-frame count at which this block has been played: what is queued now plus it.
    block.EndFrame = device_->PlayedFrames() + device_->QueuedFrames() + frames;
    device_->Queue(block.Data->Samples.data(), frames);
    block.Written = true;
    writtenFrames_ += frames;
    queued_.push_back(block);
  }
}

void TWavOut::ThreadLoop() {
  // The original ran this thread at time-critical priority; here it is a plain thread whose
  // short work is bounded by the lock.
  const auto period = std::chrono::milliseconds(std::max(1, delay_ / 4));
  for (;;) {
    {
      std::unique_lock<std::mutex> wakeLock(wakeMutex_);
      if (wake_.wait_for(wakeLock, period, [this] { return wakeSignalled_; })) return;
    }
    FeedStep();
  }
}

}  // namespace nova
