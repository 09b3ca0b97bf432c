#pragma once
// The CD audio device, by its role: open a drive, ask for its tracks and their lengths, play
// from one position to another and tell when that play is done, seek, stop, and a CD line
// with a level per side. Ours plays tracks ripped to files in a folder of the game (see
// docs/media.md for the names), decoded by the platform and played on a voice of the media
// library. Positions are TMSF: track in the low byte, then minutes, seconds, frames (75 a
// second); lengths MSF.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace nova {

inline uint32_t MakeTmsf(int track, int min, int sec, int frame) {
  return static_cast<uint32_t>(track & 0xFF) | static_cast<uint32_t>(min & 0xFF) << 8 |
         static_cast<uint32_t>(sec & 0xFF) << 16 | static_cast<uint32_t>(frame & 0xFF) << 24;
}
inline int TmsfTrack(uint32_t p) { return p & 0xFF; }
inline int TmsfMinute(uint32_t p) { return (p >> 8) & 0xFF; }
inline int TmsfSecond(uint32_t p) { return (p >> 16) & 0xFF; }
inline int TmsfFrame(uint32_t p) { return (p >> 24) & 0xFF; }

enum class TCdMode { Playing, Stopped, Seeking, Open, Other };

class TCdAudioDevice {
public:
  virtual ~TCdAudioDevice() = default;
  virtual bool Open(const std::string& drive) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  virtual bool Ready() = 0;
  virtual int TrackCount() = 0;
  // Whole seconds; -1 when the query fails.
  virtual int TrackLengthSeconds(int track) = 0;
  virtual TCdMode Mode() = 0;
  virtual uint32_t Position() = 0;  // TMSF; 0 when the query fails
  // Plays [from, to); a successful completion is reported by TakeCompletion.
  virtual bool Play(uint32_t from, uint32_t to) = 0;
  virtual void Seek(uint32_t at) = 0;
  virtual void Stop() = 0;
  // True once after a play reached its end position.
  virtual bool TakeCompletion() = 0;
  // The CD line, 0..65535 a side.
  virtual void GetLine(int& left, int& right) = 0;
  virtual void SetLine(int left, int right) = 0;
};

// The file names looked for as track n (two digits "nn" and plain "n"), in this order, with
// any of the extensions .ogg .flac .wav .mp3 .opus (letter case ignored):
// "tracknn", "Track nn", "track_nn", "track-nn", "nn", "trackn", "n".
std::vector<std::string> RippedTrackStems(int track);
// The folders searched for ripped tracks: the game folder, then its sub-folders "cd",
// "cdda" and "music" (letter case ignored). Each one holding a track is one drive.
std::vector<std::filesystem::path> RippedTrackFolders(const std::filesystem::path& gameFolder);
// The ripped file of a track in a folder, or empty.
std::filesystem::path FindRippedTrack(const std::filesystem::path& folder, int track);

std::unique_ptr<TCdAudioDevice> CreateRippedCdDevice(TPlatform& platform);

}  // namespace nova
