#pragma once
// Opening a picture file of any kind the player reads into a frame list, by the extension of
// its name (compared in lower case): ".bri" layered images, ".png", ".bmp" and ".dib"; any
// other extension gives an empty list.
#include <span>
#include <string>

#include "formats/brios.h"
#include "formats/decoded_image.h"

namespace nova {

class TStream;

// Returns false (list empty) for an extension that is not a picture's; damaged files raise
// the image error naming the file.
bool LoadImageByExtension(TBrioFrameList& list, std::span<const uint8_t> bytes, const std::string& name,
                          const TBrioLoadOptions& options = {});
bool LoadImageByExtension(TBrioFrameList& list, TStream& stream, const std::string& name,
                          const TBrioLoadOptions& options = {});

// Adds a one-frame picture from a PNG or BMP decoder to a list.
TBrioFrame& AddDecodedFrame(TBrioFrameList& list, TDecodedImage&& image, const TBrioLoadOptions& options = {});

// Lower-case extension with its dot ("" when the name has none).
std::string LowerExtension(const std::string& name);

}  // namespace nova
