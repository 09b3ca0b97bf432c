#include "media/cd_device.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "base/error.h"
#include "base/process.h"
#include "media/novadll_state.h"

namespace nova {
namespace {

constexpr int kMaxTracks = 99;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool AudioExtension(const std::string& ext) {
  static const char* kExts[] = {".ogg", ".flac", ".wav", ".mp3", ".opus"};
  std::string e = Lower(ext);
  return std::any_of(std::begin(kExts), std::end(kExts), [&](const char* k) { return e == k; });
}

int64_t TmsfMs(uint32_t p) {
  return (static_cast<int64_t>(TmsfMinute(p)) * 60 + TmsfSecond(p)) * 1000 + TmsfFrame(p) * 1000 / 75;
}

class TRippedCdDevice : public TCdAudioDevice {
public:
  explicit TRippedCdDevice(TPlatform& platform) : platform_(platform) {}
  ~TRippedCdDevice() override { Close(); }

  bool Open(const std::string& drive) override {
    Close();
    folder_ = std::filesystem::path(drive);
    tracks_.assign(kMaxTracks + 1, {});
    count_ = 0;
    for (int t = 1; t <= kMaxTracks; ++t) {
      tracks_[static_cast<size_t>(t)] = FindRippedTrack(folder_, t);
      if (!tracks_[static_cast<size_t>(t)].empty()) count_ = t;
    }
    lengths_.assign(kMaxTracks + 1, -2);
    open_ = true;
    return true;
  }
  void Close() override {
    StopVoice();
    open_ = false;
  }
  bool IsOpen() const override { return open_; }
  bool Ready() override { return open_ && count_ > 0; }
  int TrackCount() override { return open_ ? count_ : 0; }

  int TrackLengthSeconds(int track) override {
    if (!open_ || track < 1 || track > count_) return -1;
    int& cached = lengths_[static_cast<size_t>(track)];
    if (cached == -2) {
      cached = 0;
      if (auto voice = OpenTrack(track)) cached = voice->LengthMs() / 1000;
    }
    return cached;
  }

  TCdMode Mode() override {
    if (!open_) return TCdMode::Other;
    if (voice_ && !voice_->IsEnd() && PlayedMs() < endMs_) return TCdMode::Playing;
    return TCdMode::Stopped;
  }

  uint32_t Position() override {
    if (!open_) return 0;
    int64_t ms = voice_ ? std::min<int64_t>(PlayedMs(), endMs_) : seekMs_;
    return MakeTmsf(track_, static_cast<int>(ms / 60000), static_cast<int>(ms / 1000 % 60),
                    static_cast<int>(ms % 1000 * 75 / 1000));
  }

  bool Play(uint32_t from, uint32_t to) override {
    if (!open_) return false;
    StopVoice();
    int track = TmsfTrack(from);
    auto voice = OpenTrack(track);
    if (!voice) return false;
    track_ = track;
    int64_t fromMs = TmsfMs(from);
    endMs_ = TmsfTrack(to) == track ? TmsfMs(to) : voice->LengthMs();
    voice_ = std::move(voice);
    voice_->SetPositionMs(static_cast<int32_t>(fromMs));
    ApplyLine();
    NovaLibrary()->Engine->Add(voice_.get());
    voice_->Play();
    completionPending_ = true;
    return true;
  }

  void Seek(uint32_t at) override {
    if (!open_) return;
    StopVoice();
    track_ = TmsfTrack(at);
    seekMs_ = TmsfMs(at);
  }

  void Stop() override {
    if (!open_ || !voice_) return;
    seekMs_ = std::min<int64_t>(PlayedMs(), endMs_);
    StopVoice();
  }

  bool TakeCompletion() override {
    if (!completionPending_ || !voice_) return false;
    if (!voice_->IsEnd() && PlayedMs() < endMs_) return false;
    completionPending_ = false;
    seekMs_ = endMs_;
    StopVoice();
    return true;
  }

  void GetLine(int& left, int& right) override { left = left_, right = right_; }
  void SetLine(int left, int right) override {
    left_ = std::clamp(left, 0, 65535);
    right_ = std::clamp(right, 0, 65535);
    ApplyLine();
  }

private:
  std::unique_ptr<TVoice> OpenTrack(int track) {
    TNovaLibrary* lib = NovaLibrary();
    if (!lib || track < 1 || track > count_) return nullptr;
    const std::filesystem::path& file = tracks_[static_cast<size_t>(track)];
    if (file.empty()) return nullptr;
    try {
      auto data = std::make_unique<TFileStream>(file, TFileStream::OpenRead);
      return std::make_unique<TVoice>(
          platform_.Decoders().OpenAudio(std::move(data), file.filename().string(), TAudioDecodeOptions{TVoice::kRate, 2}));
    } catch (const ENovaError&) {
      return nullptr;
    }
  }
  int64_t PlayedMs() { return voice_ ? voice_->PositionMs() : seekMs_; }
  void StopVoice() {
    if (!voice_) return;
    if (TNovaLibrary* lib = NovaLibrary(); lib && lib->Engine) lib->Engine->Remove(voice_.get());
    voice_.reset();
    completionPending_ = false;
  }
  // The line level as a volume of the voice: 65535 is full, 0 silent (hundredths of a dB).
  void ApplyLine() {
    if (!voice_) return;
    int level = std::max(left_, right_);
    int32_t vol = level <= 0 ? -10000 : static_cast<int32_t>(2000.0 * std::log10(level / 65535.0));
    voice_->SetVolume(std::max(-10000, vol));
    int32_t pan = 0;
    if (left_ != right_ && level > 0) {
      int quieter = std::min(left_, right_);
      int32_t drop = quieter <= 0 ? 10000 : static_cast<int32_t>(-2000.0 * std::log10(quieter / static_cast<double>(level)));
      pan = left_ < right_ ? std::min(10000, drop) : -std::min(10000, drop);
    }
    voice_->SetPan(pan);
  }

  TPlatform& platform_;
  std::filesystem::path folder_;
  std::vector<std::filesystem::path> tracks_;
  std::vector<int> lengths_;
  int count_ = 0;
  bool open_ = false;
  std::unique_ptr<TVoice> voice_;
  int track_ = 1;
  int64_t endMs_ = 0, seekMs_ = 0;
  bool completionPending_ = false;
  int left_ = 65535, right_ = 65535;
};

}  // namespace

std::vector<std::string> RippedTrackStems(int track) {
  char two[8], one[8];
  std::snprintf(two, sizeof two, "%02d", track);
  std::snprintf(one, sizeof one, "%d", track);
  return {std::string("track") + two, std::string("track ") + two, std::string("track_") + two,
          std::string("track-") + two, two, std::string("track") + one, one};
}

std::vector<std::filesystem::path> RippedTrackFolders(const std::filesystem::path& gameFolder) {
  std::vector<std::filesystem::path> folders{gameFolder};
  std::error_code ec;
  for (const char* name : {"cd", "cdda", "music"}) {
    for (const auto& entry : std::filesystem::directory_iterator(gameFolder, ec)) {
      if (entry.is_directory(ec) && Lower(entry.path().filename().string()) == name) {
        folders.push_back(entry.path());
        break;
      }
    }
  }
  return folders;
}

std::filesystem::path FindRippedTrack(const std::filesystem::path& folder, int track) {
  std::vector<std::string> stems = RippedTrackStems(track);
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    if (entry.is_regular_file(ec) && AudioExtension(entry.path().extension().string())) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const std::string& stem : stems)
    for (const auto& f : files)
      if (Lower(f.stem().string()) == stem) return f;
  return {};
}

std::unique_ptr<TCdAudioDevice> CreateRippedCdDevice(TPlatform& platform) {
  return std::make_unique<TRippedCdDevice>(platform);
}

}  // namespace nova
