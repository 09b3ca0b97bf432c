// Makes the bundled game's sounds from the notes below, at build time: the background music as
// an Ogg Vorbis file (rendered by a small synthesizer here) and as a standard MIDI file (the
// same notes for the player's sequencer), and two button effects as WAV files.
//   make_demo_sounds OUT_DIR   ->   OUT_DIR/bgm.ogg bgm.mid click.wav decide.wav
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sdl/ffmpeg_encoder.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr int kBeatsPerMinute = 100;
constexpr double kBeat = 60.0 / kBeatsPerMinute;  // seconds

struct TNote {
  double Beat;    // start
  double Length;  // beats
  int Key;        // MIDI note number
  int Velocity;
};

// Four bars over C, Am, F, G that loop back into themselves.
const std::vector<TNote> kMelody = {
    {0, 1, 76, 96},  {1, 1, 79, 90},  {2, 1, 76, 90},  {3, 1, 72, 86},   // C
    {4, 1, 69, 92},  {5, 1, 72, 88},  {6, 2, 76, 96},                     // Am
    {8, 1, 77, 94},  {9, 1, 76, 88},  {10, 1, 74, 88}, {11, 1, 72, 86},  // F
    {12, 1, 74, 92}, {13, 1, 71, 88}, {14, 2, 74, 90},                    // G
};
const int kChords[4][3] = {{60, 64, 67}, {57, 60, 64}, {53, 57, 60}, {55, 59, 62}};
const int kRoots[4] = {36, 33, 41, 43};
constexpr double kBars = 4;
constexpr double kLengthBeats = kBars * 4;

double Frequency(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }

// Attack, decay to a sustain level, release after the note's end.
double Envelope(double t, double length, double attack, double decay, double sustain, double release) {
  double level;
  if (t < attack) level = t / attack;
  else if (t < attack + decay) level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
  else level = sustain;
  if (t > length) level *= std::max(0.0, 1.0 - (t - length) / release);
  return level;
}

struct TMix {
  std::vector<double> Left, Right;
  explicit TMix(size_t frames) : Left(frames), Right(frames) {}
  // Adds a voice; wave(phase) gives one period; pan -1 left .. 1 right. Sound past the end
  // wraps to the beginning, so the loop has no seam.
  template <class Wave>
  void Add(double startSec, double lengthSec, double freq, double gain, double pan, double attack, double decay,
           double sustain, double release, Wave wave) {
    const size_t total = Left.size();
    const size_t start = static_cast<size_t>(startSec * kRate);
    const size_t frames = static_cast<size_t>((lengthSec + release) * kRate);
    const double l = gain * std::sqrt((1 - pan) / 2), r = gain * std::sqrt((1 + pan) / 2);
    for (size_t i = 0; i < frames; ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double v = wave(2 * kPi * freq * t) * Envelope(t, lengthSec, attack, decay, sustain, release);
      const size_t at = (start + i) % total;
      Left[at] += v * l;
      Right[at] += v * r;
    }
  }
  std::vector<int16_t> Samples(double peak) const {
    double most = 1e-9;
    for (size_t i = 0; i < Left.size(); ++i) most = std::max({most, std::abs(Left[i]), std::abs(Right[i])});
    std::vector<int16_t> out(Left.size() * 2);
    for (size_t i = 0; i < Left.size(); ++i) {
      out[2 * i] = static_cast<int16_t>(std::lround(Left[i] / most * peak * 32767));
      out[2 * i + 1] = static_cast<int16_t>(std::lround(Right[i] / most * peak * 32767));
    }
    return out;
  }
};

std::vector<int16_t> RenderMusic() {
  TMix mix(static_cast<size_t>(kLengthBeats * kBeat * kRate));
  auto bell = [](double p) { return std::sin(p) + 0.3 * std::sin(2 * p) + 0.12 * std::sin(3 * p); };
  for (const TNote& n : kMelody)
    mix.Add(n.Beat * kBeat, n.Length * kBeat * 0.9, Frequency(n.Key), n.Velocity / 127.0 * 0.5, 0.25, 0.008, 0.25,
            0.45, 0.15, bell);
  for (int bar = 0; bar < kBars; ++bar) {
    for (int k = 0; k < 3; ++k) {
      // A soft pad: two slightly detuned voices, one on each side.
      const double f = Frequency(kChords[bar][k]);
      auto pad = [](double p) { return std::sin(p) + 0.2 * std::sin(3 * p); };
      mix.Add(bar * 4 * kBeat, 4 * kBeat, f * 1.002, 0.09, -0.6, 0.25, 0.3, 0.8, 0.3, pad);
      mix.Add(bar * 4 * kBeat, 4 * kBeat, f * 0.998, 0.09, 0.6, 0.25, 0.3, 0.8, 0.3, pad);
    }
    for (int half = 0; half < 2; ++half) {
      auto bass = [](double p) { return std::sin(p) + 0.25 * std::sin(2 * p); };
      mix.Add((bar * 4 + half * 2) * kBeat, 1.8 * kBeat, Frequency(kRoots[bar]), 0.35, 0.0, 0.01, 0.4, 0.6, 0.1, bass);
    }
  }
  return mix.Samples(0.7);
}

// ---- the standard MIDI file ----

constexpr int kTicksPerBeat = 96;

void Put16(std::string& s, int v) {
  s += static_cast<char>(v >> 8);
  s += static_cast<char>(v);
}
void Put32(std::string& s, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>(v >> shift);
}
void PutVarLen(std::string& s, uint32_t v) {
  std::string bytes(1, static_cast<char>(v & 0x7F));
  while (v >>= 7) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (v & 0x7F)));
  s += bytes;
}

struct TMidiEvent {
  uint32_t Tick;
  int Order;  // at the same tick: note-offs before note-ons
  std::string Bytes;
};

std::string MakeMidi() {
  std::vector<TMidiEvent> events;
  auto message = [](std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
  };
  auto note = [&](int channel, double beat, double length, int key, int velocity) {
    const auto on = static_cast<uint32_t>(std::lround(beat * kTicksPerBeat));
    const auto off = static_cast<uint32_t>(std::lround((beat + length) * kTicksPerBeat));
    events.push_back({on, 1, message({0x90 | channel, key, velocity})});
    events.push_back({off, 0, message({0x80 | channel, key, 0})});
  };
  // Tempo, then the instruments: vibraphone melody, warm pad, acoustic bass.
  const uint32_t tempo = static_cast<uint32_t>(60000000 / kBeatsPerMinute);
  events.push_back({0, -1, message({0xFF, 0x51, 3, int(tempo >> 16) & 0xFF, int(tempo >> 8) & 0xFF, int(tempo) & 0xFF})});
  const int programs[3] = {11, 89, 32};
  const int volumes[3] = {110, 70, 100};
  for (int ch = 0; ch < 3; ++ch) {
    events.push_back({0, -1, message({0xC0 | ch, programs[ch]})});
    events.push_back({0, -1, message({0xB0 | ch, 7, volumes[ch]})});
  }
  for (const TNote& n : kMelody) note(0, n.Beat, n.Length * 0.9, n.Key, n.Velocity);
  for (int bar = 0; bar < kBars; ++bar) {
    for (int k = 0; k < 3; ++k) note(1, bar * 4, 4, kChords[bar][k], 64);
    for (int half = 0; half < 2; ++half) note(2, bar * 4 + half * 2, 1.8, kRoots[bar], 96);
  }
  std::stable_sort(events.begin(), events.end(), [](const TMidiEvent& a, const TMidiEvent& b) {
    return a.Tick != b.Tick ? a.Tick < b.Tick : a.Order < b.Order;
  });
  std::string track;
  uint32_t last = 0;
  for (const TMidiEvent& e : events) {
    PutVarLen(track, e.Tick - last);
    last = e.Tick;
    track += e.Bytes;
  }
  // The end of the track at the end of the last bar, so the loop keeps the bar length.
  PutVarLen(track, static_cast<uint32_t>(kLengthBeats * kTicksPerBeat) - last);
  track += message({0xFF, 0x2F, 0});
  std::string file = "MThd";
  Put32(file, 6);
  Put16(file, 0);  // format 0: one track
  Put16(file, 1);
  Put16(file, kTicksPerBeat);
  file += "MTrk";
  Put32(file, static_cast<uint32_t>(track.size()));
  return file + track;
}

// ---- the effects ----

std::string WavFile(const std::vector<int16_t>& stereo) {
  std::string data(reinterpret_cast<const char*>(stereo.data()), stereo.size() * 2);  // little-endian hosts
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto le16 = [](uint32_t v) { return std::string{char(v), char(v >> 8)}; };
  return "RIFF" + le32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + le32(16) + le16(1) + le16(2) +
         le32(kRate) + le32(kRate * 4) + le16(4) + le16(16) + "data" + le32(static_cast<uint32_t>(data.size())) + data;
}

std::vector<int16_t> RenderClick() {
  TMix mix(static_cast<size_t>(0.06 * kRate));
  uint32_t noise = 12345;
  auto tick = [&noise](double p) {
    noise = noise * 1103515245u + 12345u;
    return std::sin(p) + 0.3 * (static_cast<int>(noise >> 16 & 0x7FFF) / 16384.0 - 1.0);
  };
  mix.Add(0, 0.005, 1800, 1.0, 0, 0.001, 0.03, 0.0, 0.02, tick);
  return mix.Samples(0.5);
}

std::vector<int16_t> RenderDecide() {
  TMix mix(static_cast<size_t>(0.3 * kRate));
  auto chime = [](double p) { return std::sin(p) + 0.25 * std::sin(2 * p); };
  mix.Add(0, 0.08, 880, 0.8, -0.2, 0.003, 0.08, 0.3, 0.1, chime);
  mix.Add(0.08, 0.1, 1318.5, 0.8, 0.2, 0.003, 0.1, 0.3, 0.1, chime);
  return mix.Samples(0.5);
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_demo_sounds OUT_DIR\n", stderr);
    return 2;
  }
  try {
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    nova::WriteOggVorbis(out / "bgm.ogg", RenderMusic(), kRate, 2);
    WriteBytes(out / "bgm.mid", MakeMidi());
    WriteBytes(out / "click.wav", WavFile(RenderClick()));
    WriteBytes(out / "decide.wav", WavFile(RenderDecide()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_demo_sounds: %s\n", e.what());
    return 1;
  }
  return 0;
}
