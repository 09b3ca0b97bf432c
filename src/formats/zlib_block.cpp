#include "formats/zlib_block.h"

#include <zlib.h>

#include <algorithm>

#include "base/error.h"
#include "formats/image_limits.h"

namespace nova {

std::vector<uint8_t> InflateImageBlock(std::span<const uint8_t> data, size_t cap, const std::string& name) {
  std::vector<uint8_t> out;
  if (cap == 0) return out;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) RaiseImageError(name, "zlib: inflateInit failed");
  // Grow with what actually comes out, so a short stream that claims a big picture costs
  // little before it is found short.
  out.resize(std::min(cap, std::max<size_t>(size_t{1} << 16, data.size() * 4)));
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(std::min<size_t>(data.size(), 1u << 30));
  size_t done = 0;
  int r = Z_OK;
  while (done < cap) {
    if (done == out.size()) out.resize(std::min(cap, out.size() * 2));
    z.next_out = out.data() + done;
    z.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - done, 1u << 30));
    uInt before = z.avail_out;
    r = inflate(&z, Z_NO_FLUSH);
    done += before - z.avail_out;
    if (r == Z_STREAM_END) break;
    if (r == Z_BUF_ERROR && z.avail_in == 0) break;  // input used up before the end marker
    if (r != Z_OK && r != Z_BUF_ERROR) break;
  }
  std::string message = z.msg ? z.msg : "";
  inflateEnd(&z);
  if (done < cap && r != Z_STREAM_END) {
    if (r == Z_OK || r == Z_BUF_ERROR) RaiseImageError(name, "zlib: data ends early");
    RaiseImageError(name, "zlib: " + (message.empty() ? std::string("invalid data") : message));
  }
  out.resize(done);
  return out;
}

std::vector<uint8_t> DeflateImageBlock(std::span<const uint8_t> data) {
  uLongf bound = compressBound(static_cast<uLong>(data.size()));
  std::vector<uint8_t> out(bound);
  if (compress2(out.data(), &bound, data.data(), static_cast<uLong>(data.size()), Z_BEST_SPEED) != Z_OK)
    RaiseError("zlib compression failed");
  out.resize(bound);
  return out;
}

}  // namespace nova
