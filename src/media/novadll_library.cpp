// The media library: initialisation, streams, voices for Ogg/WAV and Windows Media sound, and
// decoding streams for the software mixer.
#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "media/novadll_state.h"

namespace nova {

namespace {

std::unique_ptr<TNovaLibrary> g_library;

int64_t StreamSize(void* s) { return s ? static_cast<TStream*>(s)->Size() : 0; }
int32_t StreamRead(void* s, void* buffer, int32_t count) {
  return s ? static_cast<int32_t>(static_cast<TStream*>(s)->Read(buffer, count)) : 0;
}
int64_t StreamGetPos(void* s) { return s ? static_cast<TStream*>(s)->Position() : 0; }
int64_t StreamSetPos(void* s, int64_t pos) { return s ? static_cast<TStream*>(s)->Seek(pos, SeekOrigin::Begin) : 0; }

}  // namespace

const TNovaStreamCallbacks& TStreamCallbacks() {
  static const TNovaStreamCallbacks callbacks{StreamSize, StreamRead, StreamGetPos, StreamSetPos};
  return callbacks;
}

int64_t TCallbackStream::Read(void* buffer, int64_t count) {
  if (!cb_.Read) return 0;
  int64_t done = 0;
  auto* p = static_cast<uint8_t*>(buffer);
  while (done < count) {
    int32_t n = cb_.Read(handle_, p + done, static_cast<int32_t>(std::min<int64_t>(count - done, 1 << 30)));
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TCallbackStream::Seek(int64_t offset, SeekOrigin origin) {
  if (!cb_.SetPos || !cb_.GetPos) return 0;
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? cb_.GetPos(handle_) : Size();
  if (origin == SeekOrigin::Current && offset == 0) return base;
  return cb_.SetPos(handle_, std::max<int64_t>(0, base + offset));
}

class TSharedReader : public TStream {
public:
  explicit TSharedReader(TSharedStream& shared, std::shared_ptr<void> keep) : shared_(shared), keep_(std::move(keep)) {}
  int64_t Read(void* buffer, int64_t count) override {
    std::lock_guard<std::mutex> lock(shared_.mutex_);
    shared_.stream_->Seek(pos_, SeekOrigin::Begin);
    int64_t n = shared_.stream_->Read(buffer, count);
    if (n > 0) pos_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? pos_ : Size();
    pos_ = std::max<int64_t>(0, base + offset);
    return pos_;
  }
  int64_t Size() override {
    std::lock_guard<std::mutex> lock(shared_.mutex_);
    return shared_.stream_->Size();
  }

private:
  TSharedStream& shared_;
  std::shared_ptr<void> keep_;
  int64_t pos_ = 0;
};

std::unique_ptr<TStream> TSharedStream::Reader() { return std::make_unique<TSharedReader>(*this, nullptr); }

TNovaLibrary* NovaLibrary() { return g_library.get(); }

TVoice* FindVoice(int32_t h) {
  if (!g_library) return nullptr;
  auto it = g_library->Voices.find(h);
  return it == g_library->Voices.end() ? nullptr : it->second.get();
}

std::unique_ptr<TStream> LibraryStream(void* handle) {
  return std::make_unique<TCallbackStream>(handle, g_library->Callbacks);
}

int32_t novaVersion() { return kNovaLibraryVersion; }

void novaInit(TPlatform& platform, const TNovaStreamCallbacks& callbacks, int32_t) {
  if (g_library) novaFinal();
  g_library = std::make_unique<TNovaLibrary>();
  g_library->Platform = &platform;
  g_library->Callbacks = callbacks;
  g_library->Engine = std::make_unique<TVoiceEngine>(platform);
}

void novaFinal() {
  if (!g_library) return;
  FreeMovies();
  for (auto& [h, v] : g_library->Voices) g_library->Engine->Remove(v.get());
  g_library->Engine.reset();
  g_library->Voices.clear();
  g_library->Decoders.clear();
  g_library.reset();
}

bool novaInitialized() { return g_library != nullptr; }

// --- Voices ---

namespace {

int32_t AddVoice(std::unique_ptr<TStream> data, const std::string& nameHint) {
  TNovaLibrary* lib = g_library.get();
  if (!lib) return 0;
  std::unique_ptr<TAudioDecoder> decoder;
  try {
    decoder = lib->Platform->Decoders().OpenAudio(std::move(data), nameHint, TAudioDecodeOptions{TVoice::kRate, 2});
  } catch (const ENovaError&) {
    return 0;
  }
  auto voice = std::make_unique<TVoice>(std::move(decoder));
  int32_t h = lib->NextHandle++;
  lib->Engine->Add(voice.get());
  voice->Fill();  // the first samples are ready before the first play
  lib->Voices[h] = std::move(voice);
  return h;
}

void DelVoice(int32_t h) {
  TNovaLibrary* lib = g_library.get();
  if (!lib) return;
  auto it = lib->Voices.find(h);
  if (it == lib->Voices.end()) return;
  lib->Engine->Remove(it->second.get());
  lib->Voices.erase(it);
}

template <typename F>
auto WithVoice(int32_t h, F f, decltype(f(std::declval<TVoice&>())) def) {
  TVoice* v = FindVoice(h);
  return v ? f(*v) : def;
}

}  // namespace

int32_t novaOggmanAdd(void* stream, NovaBool isOgg) {
  if (!g_library) return 0;
  return AddVoice(LibraryStream(stream), isOgg ? "sound.ogg" : "sound.wav");
}
void novaOggmanDel(int32_t h) { DelVoice(h); }
void novaOggmanSetUseThread(NovaBool on) {
  if (!g_library) return;
  g_library->UseThread = on != 0;
  g_library->Engine->SetUseThread(on != 0);
}
void novaOggmanUpdate() {
  if (g_library && !g_library->UseThread) g_library->Engine->Update();
}
void novaOggmanRestore() {}  // our device is never lost

void novaOggPlay(int32_t h) {
  if (TVoice* v = FindVoice(h)) v->Play();
}
void novaOggPause(int32_t h) {
  if (TVoice* v = FindVoice(h)) v->Pause();
}
NovaBool novaOggIsPlaying(int32_t h) { return WithVoice(h, [](TVoice& v) { return ToNovaBool(v.IsPlaying()); }, 0); }
NovaBool novaOggIsPaused(int32_t h) { return WithVoice(h, [](TVoice& v) { return ToNovaBool(v.IsPaused()); }, 0); }
NovaBool novaOggIsEnd(int32_t h) { return WithVoice(h, [](TVoice& v) { return ToNovaBool(v.IsEnd()); }, 0); }
int32_t novaOggGetLen(int32_t h) { return WithVoice(h, [](TVoice& v) { return v.LengthMs(); }, 0); }
int32_t novaOggGetPosition(int32_t h) { return WithVoice(h, [](TVoice& v) { return v.PositionMs(); }, 0); }
void novaOggSetPosition(int32_t h, int32_t ms) {
  if (TVoice* v = FindVoice(h)) v->SetPositionMs(ms);
}
NovaBool novaOggGetAutoRepeat(int32_t h) { return WithVoice(h, [](TVoice& v) { return ToNovaBool(v.Repeat()); }, 0); }
void novaOggSetAutoRepeat(int32_t h, NovaBool on) {
  if (TVoice* v = FindVoice(h)) v->SetRepeat(on != 0);
}
int32_t novaOggGetVol(int32_t h) { return WithVoice(h, [](TVoice& v) { return v.Volume(); }, 0); }
void novaOggSetVol(int32_t h, int32_t vol) {
  if (TVoice* v = FindVoice(h)) v->SetVolume(vol);
}
int32_t novaOggGetPan(int32_t h) { return WithVoice(h, [](TVoice& v) { return v.Pan(); }, 0); }
void novaOggSetPan(int32_t h, int32_t pan) {
  if (TVoice* v = FindVoice(h)) v->SetPan(pan);
}
int32_t novaOggGetRepeatPos(int32_t h) { return WithVoice(h, [](TVoice& v) { return v.RepeatPosMs(); }, 0); }
void novaOggSetRepeatPos(int32_t h, int32_t ms) {
  if (TVoice* v = FindVoice(h)) v->SetRepeatPosMs(ms);
}

// --- Windows Media sound ---

int32_t novaWmpmanAdd(const void* memory, int32_t size) {
  if (!g_library || !memory || size <= 0) return 0;
  auto copy = std::make_unique<TKtMemoryStream>(std::string(static_cast<const char*>(memory), static_cast<size_t>(size)));
  return AddVoice(std::move(copy), "sound.wma");
}
void novaWmpmanDel(int32_t h) { DelVoice(h); }
void novaWmpmanRestore() {}
void novaWmpPlay(int32_t h) { novaOggPlay(h); }
void novaWmpPause(int32_t h) { novaOggPause(h); }
NovaBool novaWmpIsPlaying(int32_t h) { return novaOggIsPlaying(h); }
NovaBool novaWmpIsPaused(int32_t h) { return novaOggIsPaused(h); }
NovaBool novaWmpIsEnd(int32_t h) { return novaOggIsEnd(h); }
int32_t novaWmpGetLen(int32_t h) { return novaOggGetLen(h); }
int32_t novaWmpGetPosition(int32_t h) { return novaOggGetPosition(h); }
void novaWmpSetPosition(int32_t h, int32_t ms) { novaOggSetPosition(h, ms); }
NovaBool novaWmpGetAutoRepeat(int32_t h) { return novaOggGetAutoRepeat(h); }
void novaWmpSetAutoRepeat(int32_t h, NovaBool on) { novaOggSetAutoRepeat(h, on); }
int32_t novaWmpGetVol(int32_t h) { return novaOggGetVol(h); }
void novaWmpSetVol(int32_t h, int32_t vol) { novaOggSetVol(h, vol); }
int32_t novaWmpGetPan(int32_t h) { return novaOggGetPan(h); }
void novaWmpSetPan(int32_t h, int32_t pan) { novaOggSetPan(h, pan); }

// --- Decoding streams for the software mixer ---

int32_t novaOggStrmanAdd(void* stream, NovaBool isOgg) {
  TNovaLibrary* lib = g_library.get();
  if (!lib) return 0;
  auto d = std::make_unique<TDecodeStream>();
  try {
    TAudioDecodeOptions options;
    options.MixerRatesOnly = true;
    d->Decoder = lib->Platform->Decoders().OpenAudio(LibraryStream(stream), isOgg ? "sound.ogg" : "sound.wav", options);
  } catch (const ENovaError&) {
    return 0;
  }
  const TPcmFormat& f = d->Decoder->Format();
  d->Format.FormatTag = 1;
  d->Format.Channels = static_cast<uint16_t>(f.Channels);
  d->Format.SamplesPerSec = static_cast<uint32_t>(f.Rate);
  d->Format.BitsPerSample = 16;
  d->Format.BlockAlign = static_cast<uint16_t>(f.Channels * 2);
  d->Format.AvgBytesPerSec = d->Format.SamplesPerSec * d->Format.BlockAlign;
  int64_t frames = d->Decoder->LengthFrames();
  if (frames < 0) {
    // The data does not tell its length: it is counted once.
    std::vector<int16_t> scratch(8192 * static_cast<size_t>(f.Channels));
    frames = 0;
    for (int64_t n; (n = d->Decoder->Read(scratch.data(), 8192)) > 0;) frames += n;
    d->Decoder->Seek(0);
  }
  d->Size = frames * d->Format.BlockAlign;
  std::lock_guard<std::mutex> lock(lib->DecodersMutex);
  int32_t h = lib->NextHandle++;
  lib->Decoders[h] = std::move(d);
  return h;
}

namespace {

TDecodeStream* FindDecoder(int32_t h) {
  if (!g_library) return nullptr;
  std::lock_guard<std::mutex> lock(g_library->DecodersMutex);
  auto it = g_library->Decoders.find(h);
  return it == g_library->Decoders.end() ? nullptr : it->second.get();
}

}  // namespace

void novaOggStrmanDel(int32_t h) {
  if (!g_library) return;
  std::unique_ptr<TDecodeStream> gone;
  std::lock_guard<std::mutex> lock(g_library->DecodersMutex);
  auto it = g_library->Decoders.find(h);
  if (it != g_library->Decoders.end()) gone = std::move(it->second), g_library->Decoders.erase(it);
}

NovaBool novaOggStrGetFormat(int32_t h, TPcmFormatRecord* format) {
  TDecodeStream* d = FindDecoder(h);
  if (!d || !format || d->Size <= 0) return kNovaFalse;
  *format = d->Format;
  return kNovaTrue;
}

int32_t novaOggStrRead(int32_t h, void* buffer, int32_t count) {
  TDecodeStream* d = FindDecoder(h);
  if (!d || count <= 0) return 0;
  int align = d->Format.BlockAlign;
  int64_t want = std::min<int64_t>(count, d->Size - d->Pos) / align;
  if (want <= 0) return 0;
  auto* out = static_cast<int16_t*>(buffer);
  int64_t got = 0;
  while (got < want) {
    int64_t n = d->Decoder->Read(out + got * d->Format.Channels, want - got);
    if (n <= 0) break;
    got += n;
  }
  // Data that ends before its length reads as silence up to the length, so sizes hold.
  std::memset(out + got * d->Format.Channels, 0, static_cast<size_t>((want - got) * align));
  d->Pos += want * align;
  return static_cast<int32_t>(want * align);
}

int64_t novaOggStrGetPos(int32_t h) {
  TDecodeStream* d = FindDecoder(h);
  return d ? d->Pos : 0;
}

int64_t novaOggStrSetPos(int32_t h, int64_t pos) {
  TDecodeStream* d = FindDecoder(h);
  if (!d) return 0;
  int align = d->Format.BlockAlign;
  pos = std::clamp<int64_t>(pos, 0, d->Size) / align * align;
  if (pos != d->Pos) d->Decoder->Seek(pos / align);
  d->Pos = pos;
  return pos;
}

int64_t novaOggStrGetSize(int32_t h) {
  TDecodeStream* d = FindDecoder(h);
  return d ? d->Size : 0;
}

int32_t novaOggStrGetLen(int32_t h) {
  TDecodeStream* d = FindDecoder(h);
  if (!d || d->Format.AvgBytesPerSec == 0) return 0;
  return static_cast<int32_t>(d->Size * 1000 / d->Format.AvgBytesPerSec);
}

}  // namespace nova
