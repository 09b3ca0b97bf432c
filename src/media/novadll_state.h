#pragma once
// The media library's process-wide state (the library is loaded once per process).
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "media/novadll.h"
#include "media/novadll_engine.h"

namespace nova {

// A stream read through the library's callbacks (not owned).
class TCallbackStream : public TStream {
public:
  TCallbackStream(void* handle, const TNovaStreamCallbacks& cb) : handle_(handle), cb_(cb) {}
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return cb_.Size ? cb_.Size(handle_) : 0; }

private:
  void* handle_;
  TNovaStreamCallbacks cb_;
};

// One underlying stream read by two decoders (a movie's pictures and its sound), each with a
// position of its own; reads are serialised.
class TSharedStream {
public:
  explicit TSharedStream(std::unique_ptr<TStream> stream) : stream_(std::move(stream)) {}
  std::unique_ptr<TStream> Reader();

private:
  friend class TSharedReader;
  std::mutex mutex_;
  std::unique_ptr<TStream> stream_;
};

class TNovaMovie;

// A decoding stream for the software mixer: decoded PCM bytes.
struct TDecodeStream {
  std::unique_ptr<TAudioDecoder> Decoder;
  TPcmFormatRecord Format;
  int64_t Size = 0;  // bytes
  int64_t Pos = 0;   // bytes
};

struct TNovaLibrary {
  TNovaLibrary();
  ~TNovaLibrary();  // both with the movies (novadll_video.cpp)
  TPlatform* Platform = nullptr;
  TNovaStreamCallbacks Callbacks;
  std::unique_ptr<TVoiceEngine> Engine;
  std::map<int32_t, std::unique_ptr<TVoice>> Voices;  // Ogg and Windows Media voices
  std::mutex DecodersMutex;  // the map: the mixer's feeding thread reads through it
  std::map<int32_t, std::unique_ptr<TDecodeStream>> Decoders;
  std::map<int32_t, std::unique_ptr<TNovaMovie>> Movies;
  int32_t NextHandle = 1;
  bool UseThread = false;
  bool Suspended = false;
};

TNovaLibrary* NovaLibrary();  // null before novaInit
TVoice* FindVoice(int32_t handle);
std::unique_ptr<TStream> LibraryStream(void* handle);
// Frees the movies (novadll_video.cpp); called by novaFinal.
void FreeMovies();

}  // namespace nova
