#pragma once
// A standard MIDI file as the sequencer plays it (TMidiV): every event of every track merged
// into one list sorted by (tick, creation number), with its time in milliseconds under the
// file's tempo map.
#include <cstdint>
#include <string>
#include <vector>

#include "base/stream.h"

namespace nova {

// Event kinds.
enum TMidiEventKind : uint8_t {
  mkOtherMeta = 0, mkNoteOn = 1, mkNoteOff = 2, mkPolyPressure = 3, mkControl = 4, mkProgram = 5,
  mkChannelPressure = 6, mkPitchBend = 7, mkGsReset = 8, mkTempo = 9,
  mkText0 = 10,  // 10..17: the text meta types 0..7
  mkEndOfTrack = 18, mkMeta52 = 19, mkTimeSignature = 20, mkKeySignature = 21,
  mkSysEx = 22,  // a system-exclusive event that is not the GS reset
};

// How an event is sent.
enum TMidiSendClass : uint8_t { msChannel = 0, msSysEx = 1, msMeta = 2 };

// The latest time an event can have (ms); later times are held here.
constexpr int32_t kMaxMidiTime = INT32_MAX;

struct TMidiMsgEvent {
  uint32_t Tick = 0;
  int32_t Time = 0;        // ms
  uint32_t Creation = 0;   // creation number (reset at each load)
  std::vector<uint8_t> Bytes;  // status + data; sysex: status + data; meta: FF, type, data
  TMidiEventKind Kind = mkOtherMeta;
  TMidiSendClass SendClass = msChannel;
  uint8_t Status() const { return Bytes.empty() ? 0 : Bytes[0]; }
};

class TMidiV {
public:
  // Reads a file; false (and an empty list) when it does not begin with "MThd". Damaged or
  // truncated tracks end where their data ends.
  bool LoadFromStream(TStream& stream);
  void Clear();

  int Format = 0, TrackCount = 0, Division = 96;
  std::vector<TMidiMsgEvent> Events;
  int32_t LengthMs() const { return Events.empty() ? 0 : Events.back().Time; }

  // The ms of a tick interval at a tempo (microseconds per quarter note), as the file's
  // times are computed: single-precision factor (1 / division) x tempo / 1000, the product
  // rounded to the nearest integer, halves to even.
  static int64_t IntervalMs(uint32_t ticks, uint32_t tempo, int division);
};

TMidiEventKind ClassifyMidiEvent(const std::vector<uint8_t>& bytes);

}  // namespace nova
