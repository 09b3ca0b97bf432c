#include "platform/sdl/sdl_audio.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "platform/sdl/sdl_init.h"

namespace nova {

struct TSdlAudioDevice::TSubsystem {
  TSdlSubsystem audio{SDL_INIT_AUDIO};
};

namespace {

// The output probe: threshold 0 is unarmed; the hit is published by the release store that
// disarms it.
std::atomic<int> probeThreshold{0};
std::atomic<bool> probeHit{false};
TOutputProbeHit probeResult;

void Probe(const int16_t* samples, size_t frames, int threshold) {
  for (size_t i = 0; i < frames * 2; ++i) {
    if (std::abs(static_cast<int>(samples[i])) < threshold) continue;
    probeResult = TOutputProbeHit{std::chrono::steady_clock::now(), static_cast<int>(i / 2)};
    probeHit.store(true, std::memory_order_relaxed);
    probeThreshold.store(0, std::memory_order_release);
    return;
  }
}

void AudioCallback(void* user, Uint8* stream, int len) {
  auto* hub = static_cast<TAudioHub*>(user);
  auto* samples = reinterpret_cast<int16_t*>(stream);
  size_t frames = static_cast<size_t>(len) / 4;
  hub->Mix(samples, frames);
  if (int threshold = probeThreshold.load(std::memory_order_acquire)) Probe(samples, frames, threshold);
}

}  // namespace

TSdlAudioDevice::TSdlAudioDevice(std::string deviceName) : name_(std::move(deviceName)) {}

TSdlAudioDevice::~TSdlAudioDevice() {
  if (device_) SDL_CloseAudioDevice(device_);
}

bool TSdlAudioDevice::OpenDevice() {
  if (device_) return true;
  if (failed_) return false;
  try {
    subsystem_ = std::make_unique<TSubsystem>();
  } catch (const std::exception&) {
    failed_ = true;
    return false;
  }
  SDL_AudioSpec want{}, have{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;  // about 23 ms a period
  want.callback = AudioCallback;
  want.userdata = &hub_;
  const char* name = name_.empty() ? nullptr : name_.c_str();
  device_ = SDL_OpenAudioDevice(name, 0, &want, &have, 0);
  if (!device_ && name) device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);  // the named one is gone
  if (!device_) {
    failed_ = true;
    subsystem_.reset();
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

std::unique_ptr<TAudioOutput> TSdlAudioDevice::OpenStream(const TAudioFormat& format) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (format.Rate != hub_.Format().Rate || format.Channels != hub_.Format().Channels) return nullptr;
  if (!OpenDevice()) return nullptr;
  return hub_.OpenStream();
}

void ArmOutputProbe(int threshold) {
  probeThreshold.store(0, std::memory_order_relaxed);
  probeHit.store(false, std::memory_order_relaxed);
  probeThreshold.store(std::max(1, threshold), std::memory_order_release);
}

std::optional<TOutputProbeHit> OutputProbeHit() {
  if (probeThreshold.load(std::memory_order_acquire) != 0 || !probeHit.load(std::memory_order_relaxed)) return std::nullopt;
  return probeResult;
}

std::vector<std::string> TSdlAudioDevice::DeviceNames() {
  std::vector<std::string> names;
  try {
    TSdlSubsystem audio(SDL_INIT_AUDIO);
    for (int i = 0, n = SDL_GetNumAudioDevices(0); i < n; ++i)
      if (const char* name = SDL_GetAudioDeviceName(i, 0)) names.emplace_back(name);
  } catch (const std::exception&) {
  }
  return names;
}

}  // namespace nova
