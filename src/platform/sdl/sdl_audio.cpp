#include "platform/sdl/sdl_audio.h"

#include "platform/sdl/sdl_init.h"

namespace nova {

struct TSdlAudioDevice::TSubsystem {
  TSdlSubsystem audio{SDL_INIT_AUDIO};
};

namespace {

void AudioCallback(void* user, Uint8* stream, int len) {
  auto* hub = static_cast<TAudioHub*>(user);
  hub->Mix(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(len) / 4);
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
