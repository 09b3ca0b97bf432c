#include "media/midi_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace nova {
namespace {

// Reads bytes of one track, bounded by the track's length and the stream's end.
class TTrackReader {
public:
  TTrackReader(const std::string& data) : data_(data) {}
  bool AtEnd() const { return pos_ >= data_.size(); }
  bool Byte(uint8_t& b) {
    if (pos_ >= data_.size()) return false;
    b = static_cast<uint8_t>(data_[pos_++]);
    return true;
  }
  void Unread() { --pos_; }
  // A variable-length quantity: 7 bits a byte, most significant first (at most 4 bytes).
  bool Vlq(uint32_t& v) {
    v = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t b;
      if (!Byte(b)) return false;
      v = (v << 7) | (b & 0x7F);
      if (!(b & 0x80)) return true;
    }
    return true;
  }
  bool Bytes(uint32_t n, std::vector<uint8_t>& out) {
    if (n > data_.size() - pos_) return false;
    out.insert(out.end(), data_.begin() + static_cast<long>(pos_), data_.begin() + static_cast<long>(pos_ + n));
    pos_ += n;
    return true;
  }

private:
  const std::string& data_;
  size_t pos_ = 0;
};

uint32_t Be32(const uint8_t* p) { return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

const uint8_t kGsReset[11] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};

}  // namespace

TMidiEventKind ClassifyMidiEvent(const std::vector<uint8_t>& b) {
  if (b.empty()) return mkOtherMeta;
  uint8_t status = b[0];
  switch (status & 0xF0) {
    case 0x80: return mkNoteOff;
    case 0x90: return b.size() > 2 && b[2] > 0 ? mkNoteOn : mkNoteOff;
    case 0xA0: return mkPolyPressure;
    case 0xB0: return mkControl;
    case 0xC0: return mkProgram;
    case 0xD0: return mkChannelPressure;
    case 0xE0: return mkPitchBend;
  }
  if (status == 0xFF) {
    uint8_t type = b.size() > 1 ? b[1] : 0xFF;
    if (type == 0x51) return mkTempo;
    if (type <= 7) return static_cast<TMidiEventKind>(mkText0 + type);
    if (type == 0x2F) return mkEndOfTrack;
    if (type == 0x52) return mkMeta52;
    if (type == 0x58) return mkTimeSignature;
    if (type == 0x59) return mkKeySignature;
    return mkOtherMeta;
  }
  if (b.size() == 11 && std::memcmp(b.data(), kGsReset, 11) == 0) return mkGsReset;
  return mkSysEx;
}

int64_t TMidiV::IntervalMs(uint32_t ticks, uint32_t tempo, int division) {
  float m = static_cast<float>((1.0L / division) * tempo / 1000);
  long double product = static_cast<long double>(m) * ticks;  // below 2^63 for every 32-bit input
  return static_cast<int64_t>(std::nearbyintl(product));  // the default mode: halves to even
}

void TMidiV::Clear() {
  Format = TrackCount = 0;
  Division = 96;
  Events.clear();
}

bool TMidiV::LoadFromStream(TStream& s) {
  Clear();
  uint8_t head[14];
  if (s.Read(head, 4) != 4 || std::memcmp(head, "MThd", 4) != 0) return false;
  if (s.Read(head + 4, 10) != 10) return false;
  Format = Be16(head + 8);
  TrackCount = Be16(head + 10);
  Division = Be16(head + 12);
  // SMPTE divisions (negative high byte) and 0 have no tick length: read as 96 per quarter.
  int division = (Division & 0x8000) || Division == 0 ? 96 : Division;

  uint32_t creation = 0;
  for (int t = 0; t < TrackCount; ++t) {
    uint8_t chunk[8];
    if (s.Read(chunk, 4) != 4) break;
    if (std::memcmp(chunk, "MTrk", 4) != 0) continue;  // the next track from the next byte
    if (s.Read(chunk + 4, 4) != 4) break;
    uint32_t length = Be32(chunk + 4);
    std::string data = s.ReadBytes(length);
    TTrackReader r(data);
    uint32_t tick = 0;
    uint8_t status = 0;
    while (!r.AtEnd()) {
      uint32_t delta;
      if (!r.Vlq(delta)) break;
      // Ticks past 32 bits cannot be ordered with the other tracks' events: the track is
      // damaged from there on and ends.
      if (delta > UINT32_MAX - tick) break;
      tick += delta;
      uint8_t b;
      if (!r.Byte(b)) break;
      if (b < 0x80) {
        if (status == 0) break;  // data without any status before it
        r.Unread();              // running status: the byte is data
      } else {
        status = b;
      }
      TMidiMsgEvent e;
      e.Tick = tick;
      e.Bytes.push_back(status);
      bool ok = true, endOfTrack = false;
      if (status == 0xFF) {
        uint8_t type;
        uint32_t len;
        ok = r.Byte(type) && r.Vlq(len);
        if (ok) {
          e.Bytes.push_back(type);
          ok = r.Bytes(len, e.Bytes);
        }
        e.SendClass = msMeta;
        endOfTrack = ok && type == 0x2F;
      } else if (status == 0xF0 || status == 0xF7) {
        uint32_t len;
        ok = r.Vlq(len) && r.Bytes(len, e.Bytes);
        e.SendClass = msSysEx;
      } else if (status >= 0x80 && status < 0xF0) {
        int n = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
        ok = r.Bytes(static_cast<uint32_t>(n), e.Bytes);
        e.SendClass = msChannel;
      } else {
        break;  // a system common or real-time byte has no place in a file
      }
      if (!ok) break;
      e.Kind = ClassifyMidiEvent(e.Bytes);
      e.Creation = creation++;
      Events.push_back(std::move(e));
      if (endOfTrack) break;
    }
  }
  std::stable_sort(Events.begin(), Events.end(), [](const TMidiMsgEvent& a, const TMidiMsgEvent& b) {
    return a.Tick != b.Tick ? a.Tick < b.Tick : a.Creation < b.Creation;
  });
  // Times are added in 64 bits and held at kMaxMidiTime: an event later than that (about 24
  // days in) is never reached by playing, and every later event keeps its order after it.
  uint32_t tempo = 500000, previous = 0;
  int64_t time = 0;
  for (TMidiMsgEvent& e : Events) {
    time = std::min<int64_t>(kMaxMidiTime, time + IntervalMs(e.Tick - previous, tempo, division));
    e.Time = static_cast<int32_t>(time);
    previous = e.Tick;
    if (e.Kind == mkTempo && e.Bytes.size() >= 5) tempo = static_cast<uint32_t>(e.Bytes[2]) << 16 | e.Bytes[3] << 8 | e.Bytes[4];
  }
  return true;
}

}  // namespace nova
