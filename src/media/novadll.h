#pragma once
// The media library: our own replacement of the external library the original player shipped
// beside itself. It keeps that library's contract: integer handles returned by each ...Add and
// taken first by later calls, times in milliseconds, volumes in hundredths of a decibel
// (-10000..0), pans -10000..10000, booleans passed in as 0 or -1 and returned as zero or
// non-zero, and data read only through the four stream callbacks given to novaInit.
//
// Inside it plays sounds on voices of its own (each with its decoder and a ring of decoded
// samples, mixed into one stream of the platform's sound device with volume and pan), decodes
// sounds to PCM for the software mixer, plays Windows Media sound from memory, and decodes
// movies into 32-bit surfaces timed by the frame clock. Decoding goes through the platform's
// decoders (FFmpeg in the player). The decoding work runs on a thread of the library
// (novaOggmanSetUseThread), or per frame (novaOggmanUpdate); on the headless platform it runs
// from the frame ticker.
//
// Replacements for the Windows arguments: novaInit takes the platform instead of the window
// handles, the instance and the sound device; there is no FPU state to save. The video event
// hook becomes novaVidmanPaint, which draws the overlay movies into the picture being shown.
#include <cstdint>

#include "base/geometry.h"
#include "media/mixer_samples.h"
#include "render/dibx.h"

namespace nova {

class TPlatform;

using NovaBool = int32_t;
constexpr NovaBool kNovaTrue = -1;
constexpr NovaBool kNovaFalse = 0;
inline NovaBool ToNovaBool(bool b) { return b ? kNovaTrue : kNovaFalse; }

constexpr int32_t kNovaLibraryVersion = 108;

// The stream callbacks: each gives 0 for a null stream.
struct TNovaStreamCallbacks {
  int64_t (*Size)(void* stream) = nullptr;
  int32_t (*Read)(void* stream, void* buffer, int32_t count) = nullptr;  // bytes read
  int64_t (*GetPos)(void* stream) = nullptr;
  int64_t (*SetPos)(void* stream, int64_t pos) = nullptr;  // the new position
};

// Callbacks over the player's TStream objects (the stream argument is a TStream*).
const TNovaStreamCallbacks& TStreamCallbacks();

int32_t novaVersion();
// flag: reserved (0).
void novaInit(TPlatform& platform, const TNovaStreamCallbacks& callbacks, int32_t flag);
void novaFinal();
bool novaInitialized();

// --- Ogg / WAV voices ---
int32_t novaOggmanAdd(void* stream, NovaBool isOgg);  // 0 when the data cannot be played
void novaOggmanDel(int32_t handle);
void novaOggmanSetUseThread(NovaBool useThread);
void novaOggmanUpdate();
void novaOggmanRestore();
void novaOggPlay(int32_t h);
void novaOggPause(int32_t h);
NovaBool novaOggIsPlaying(int32_t h);
NovaBool novaOggIsPaused(int32_t h);
NovaBool novaOggIsEnd(int32_t h);
int32_t novaOggGetLen(int32_t h);
int32_t novaOggGetPosition(int32_t h);
void novaOggSetPosition(int32_t h, int32_t ms);
NovaBool novaOggGetAutoRepeat(int32_t h);
void novaOggSetAutoRepeat(int32_t h, NovaBool on);
int32_t novaOggGetVol(int32_t h);
void novaOggSetVol(int32_t h, int32_t vol);
int32_t novaOggGetPan(int32_t h);
void novaOggSetPan(int32_t h, int32_t pan);
int32_t novaOggGetRepeatPos(int32_t h);
void novaOggSetRepeatPos(int32_t h, int32_t ms);

// --- Decoding for the software mixer ---
int32_t novaOggStrmanAdd(void* stream, NovaBool isOgg);  // 0 when the data cannot be decoded
void novaOggStrmanDel(int32_t h);
// Fills the PCM format (16-bit; 22050 or 44100 Hz, 1 or 2 channels); false when unplayable.
NovaBool novaOggStrGetFormat(int32_t h, TPcmFormatRecord* format);
int32_t novaOggStrRead(int32_t h, void* buffer, int32_t count);  // bytes
int64_t novaOggStrGetPos(int32_t h);
int64_t novaOggStrSetPos(int32_t h, int64_t pos);
int64_t novaOggStrGetSize(int32_t h);  // decoded bytes
int32_t novaOggStrGetLen(int32_t h);   // ms

// --- Windows Media sound (the whole file in memory; the library copies it) ---
int32_t novaWmpmanAdd(const void* memory, int32_t size);
void novaWmpmanDel(int32_t h);
void novaWmpmanRestore();
void novaWmpPlay(int32_t h);
void novaWmpPause(int32_t h);
NovaBool novaWmpIsPlaying(int32_t h);
NovaBool novaWmpIsPaused(int32_t h);
NovaBool novaWmpIsEnd(int32_t h);
int32_t novaWmpGetLen(int32_t h);
int32_t novaWmpGetPosition(int32_t h);
void novaWmpSetPosition(int32_t h, int32_t ms);
NovaBool novaWmpGetAutoRepeat(int32_t h);
void novaWmpSetAutoRepeat(int32_t h, NovaBool on);
int32_t novaWmpGetVol(int32_t h);
void novaWmpSetVol(int32_t h, int32_t vol);
int32_t novaWmpGetPan(int32_t h);
void novaWmpSetPan(int32_t h, int32_t pan);

// --- Movies ---
// fileName: a file on the user's disk (UTF-8), used when stream is null. drawToSurface false:
// an overlay, drawn by novaVidmanPaint into the shown picture at its rectangle.
int32_t novaVidmanAdd(const char* fileName, void* stream, NovaBool drawToSurface);
void novaVidmanDel(int32_t h);
void novaVidmanSuspend();
void novaVidmanResume();
// Draws every visible overlay movie into the picture being presented.
void novaVidmanPaint(TCustomDIBX& target);
void novaVideoPlay(int32_t h);
void novaVideoPause(int32_t h);
NovaBool novaVideoIsPlaying(int32_t h);
NovaBool novaVideoIsPaused(int32_t h);
NovaBool novaVideoIsEnd(int32_t h);
int32_t novaVideoGetLen(int32_t h);
int32_t novaVideoGetPosition(int32_t h);
void novaVideoSetPosition(int32_t h, int32_t ms);
NovaBool novaVideoGetAutoRepeat(int32_t h);
void novaVideoSetAutoRepeat(int32_t h, NovaBool on);
int32_t novaVideoGetVol(int32_t h);
void novaVideoSetVol(int32_t h, int32_t vol);
int32_t novaVideoGetPan(int32_t h);
void novaVideoSetPan(int32_t h, int32_t pan);
int32_t novaVideoGetSourceWidth(int32_t h);
int32_t novaVideoGetSourceHeight(int32_t h);
NovaBool novaVideoGetVisible(int32_t h);
void novaVideoSetVisible(int32_t h, NovaBool on);
void novaVideoSetRect(int32_t h, const TRect& source, const TRect& dest);
// True when a frame newer than the last one handed out is due (the frame clock decides).
NovaBool novaVideoNeedPaint(int32_t h);
// The surface holding the current frame (32 bits), or null; clears the new-frame flag.
TCustomDIBX* novaVideoGetDC(int32_t h);

}  // namespace nova
