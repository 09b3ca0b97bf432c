#include "platform/sdl/fluidsynth_midi.h"

#include <fluidsynth.h>

#include <system_error>

namespace nova {
namespace {

class TFluidSynthOutput : public TMidiOutput, public TAudioSource {
public:
  TFluidSynthOutput(std::unique_ptr<TAudioOutput> stream, fluid_settings_t* settings, fluid_synth_t* synth)
      : stream_(std::move(stream)), settings_(settings), synth_(synth), clock_(stream_->Spec().Rate) {
    stream_->SetSource(this);
  }
  ~TFluidSynthOutput() override {
    stream_->SetSource(nullptr);  // no render runs past this point
    stream_.reset();
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
  }

  // The sequencer ticks here, between the pieces of the period, so its notes start on the
  // frame of their tick.
  void Render(int16_t* out, size_t frames) override {
    clock_.Render(frames, [&](size_t at, size_t n) {
      int16_t* p = out + 2 * at;
      fluid_synth_write_s16(synth_, static_cast<int>(n), p, 0, 2, p, 1, 2);
    });
  }
  TMidiTickSource* TickSource() override { return &clock_; }

  void SendShort(uint32_t m) override {
    int status = m & 0xFF, d1 = (m >> 8) & 0x7F, d2 = (m >> 16) & 0x7F, ch = status & 0x0F;
    switch (status & 0xF0) {
      case 0x80: fluid_synth_noteoff(synth_, ch, d1); break;
      case 0x90: d2 ? fluid_synth_noteon(synth_, ch, d1, d2) : fluid_synth_noteoff(synth_, ch, d1); break;
      case 0xA0: fluid_synth_key_pressure(synth_, ch, d1, d2); break;
      case 0xB0: fluid_synth_cc(synth_, ch, d1, d2); break;
      case 0xC0: fluid_synth_program_change(synth_, ch, d1); break;
      case 0xD0: fluid_synth_channel_pressure(synth_, ch, d1); break;
      case 0xE0: fluid_synth_pitch_bend(synth_, ch, d1 | d2 << 7); break;
      default: break;
    }
  }

  void SendLong(const std::vector<uint8_t>& b) override {
    // FluidSynth takes the message without its F0 and F7.
    if (b.size() < 2 || b[0] != 0xF0) return;
    size_t n = b.size() - 1 - (b.back() == 0xF7 ? 1 : 0);
    fluid_synth_sysex(synth_, reinterpret_cast<const char*>(b.data() + 1), static_cast<int>(n), nullptr, nullptr,
                      nullptr, 0);
  }

  void Reset() override { fluid_synth_system_reset(synth_); }

private:
  std::unique_ptr<TAudioOutput> stream_;
  fluid_settings_t* settings_;
  fluid_synth_t* synth_;
  TRenderTickSource clock_;
};

}  // namespace

const char* FluidSynthPortName() { return "FluidSynth GM Synthesizer"; }

std::unique_ptr<TMidiOutput> OpenFluidSynthMidi(std::unique_ptr<TAudioOutput> stream,
                                                const std::filesystem::path& soundFont, int volumePercent) {
  if (!stream) return nullptr;
  std::error_code ec;
  if (!std::filesystem::exists(soundFont, ec)) return nullptr;
  fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
  fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
  fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", stream->Spec().Rate);
  fluid_settings_setnum(settings, "synth.gain", 0.6 * volumePercent / 100.0);
  fluid_settings_setint(settings, "synth.threadsafe-api", 1);
  fluid_settings_setint(settings, "synth.cpu-cores", 1);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (!synth || fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED) {
    if (synth) delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return nullptr;
  }
  return std::make_unique<TFluidSynthOutput>(std::move(stream), settings, synth);
}

}  // namespace nova
