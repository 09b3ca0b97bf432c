#pragma once
// The player's decoders on FFmpeg (libavformat, libavcodec, libswresample, libswscale): Ogg
// Vorbis, WAV (PCM and ADPCM), FLAC, MP3, WMA/ASF, MPEG-1/2, WMV and whatever else the
// installed FFmpeg reads. Data is read through the player's streams with FFmpeg's custom I/O.
#include <memory>

#include "platform/media_decoder.h"

namespace nova {

std::unique_ptr<TMediaDecoders> CreateFfmpegDecoders();
std::unique_ptr<TAudioDecoder> OpenFfmpegAudio(std::unique_ptr<TStream> data, const std::string& nameHint,
                                               const TAudioDecodeOptions& options);

}  // namespace nova
