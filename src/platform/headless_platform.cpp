#include "platform/platform.h"

#include <algorithm>

namespace nova {

// The headless clock, which at every frame step also runs the frame ticker and lets the
// sound device take the elapsed sound.
class THeadlessPlatform::TSteppedClock : public TPlatformClock {
public:
  TSteppedClock(THeadlessPlatform& owner) : owner_(owner), inner_(CreateHeadlessClock(16)) {}
  uint32_t Now() override { return inner_->Now(); }
  void Sleep(uint32_t ms) override { inner_->Sleep(ms); }
  TLocalTime LocalTime() override { return inner_->LocalTime(); }
  void FrameStep() override {
    inner_->FrameStep();
    owner_.ticker_.Run();
    owner_.audio_->Advance(inner_->Now());
  }

private:
  THeadlessPlatform& owner_;
  std::unique_ptr<TPlatformClock> inner_;
};

namespace {

// A port handed out by OpenMidi: everything goes to the platform's one record. Like the
// synthesizer it is heard in a (silent) stream of the sound device, whose frames are its
// clock: the sequencer ticks in the sound device's time and the record notes each message's
// frame.
class TForwardingMidiOutput : public TMidiOutput, public TAudioSource {
public:
  TForwardingMidiOutput(std::shared_ptr<TRecordingMidiOutput> to, std::unique_ptr<TAudioOutput> stream)
      : to_(std::move(to)), stream_(std::move(stream)), clock_(stream_->Spec().Rate) {
    to_->SetFrameClock([this] { return static_cast<int64_t>(clock_.Frames()); });
    stream_->SetSource(this);
  }
  ~TForwardingMidiOutput() override {
    stream_->SetSource(nullptr);
    to_->SetFrameClock({});
  }
  void SendShort(uint32_t message) override { to_->SendShort(message); }
  void SendLong(const std::vector<uint8_t>& bytes) override { to_->SendLong(bytes); }
  void Reset() override { to_->Reset(); }
  TMidiTickSource* TickSource() override { return &clock_; }
  void Render(int16_t* out, size_t frames) override {
    std::fill(out, out + static_cast<size_t>(stream_->Spec().Channels) * frames, int16_t{0});
    clock_.Render(frames, [](size_t, size_t) {});
  }

private:
  std::shared_ptr<TRecordingMidiOutput> to_;
  std::unique_ptr<TAudioOutput> stream_;
  TRenderTickSource clock_;
};

}  // namespace

THeadlessPlatform::THeadlessPlatform(const THeadlessOptions& options, std::unique_ptr<TFontRasterizer> fonts)
    : audio_(std::make_unique<THeadlessAudio>(options.AudioOut)),
      clock_(std::make_unique<TSteppedClock>(*this)),
      dialogs_(std::make_unique<THeadlessDialogs>()),
      fonts_(fonts ? std::move(fonts) : CreateHeadlessFontRasterizer()),
      decoders_(CreatePcmWaveDecoders()) {
  TPlatformClock* clock = clock_.get();
  midiRecord_ = std::make_shared<TRecordingMidiOutput>([clock] { return clock->Now(); });
}

THeadlessPlatform::~THeadlessPlatform() = default;

std::unique_ptr<TPlatformWindow> THeadlessPlatform::CreateWindow(int width, int height) {
  auto window = std::make_unique<THeadlessWindow>();
  window->SetClientSize(width, height);
  return window;
}

std::unique_ptr<TAudioOutput> THeadlessPlatform::OpenAudio(const TAudioFormat& format) {
  const TAudioFormat& f = audio_->Hub().Format();
  if (format.Rate != f.Rate || format.Channels != f.Channels) return nullptr;
  return audio_->Hub().OpenStream();
}

std::vector<std::string> THeadlessPlatform::MidiPorts() { return {RecorderPortName()}; }

std::unique_ptr<TMidiOutput> THeadlessPlatform::OpenMidi(int index) {
  if (index < -1 || index > 0) return nullptr;
  return std::make_unique<TForwardingMidiOutput>(midiRecord_, audio_->Hub().OpenStream());
}

}  // namespace nova
