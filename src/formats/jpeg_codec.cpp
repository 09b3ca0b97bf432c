#include "formats/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "base/error.h"
#include "formats/image_limits.h"

namespace nova {
namespace {

// The library reports errors by calling error_exit, which must not return: jump back to the
// decoding function, whose frame holds nothing with a destructor.
struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr c) {
  JpegError* e = reinterpret_cast<JpegError*>(c->err);
  (*c->err->format_message)(c, e->message);
  std::longjmp(e->jump, 1);
}

// Warnings (level -1) mean damaged data the library would paper over with grey; treat them as
// errors. Trace messages (level >= 0) are ignored.
void OnJpegMessage(j_common_ptr c, int level) {
  if (level < 0) OnJpegError(c);
}

enum class DecodeResult { Ok, Failed, WrongSize };

DecodeResult DecodeInto(const uint8_t* data, size_t size, TBrioBitmap* out, int32_t width, int32_t height,
                        char* message) {
  jpeg_decompress_struct info;
  JpegError err;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnJpegError;
  err.mgr.emit_message = OnJpegMessage;
  err.message[0] = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    std::memcpy(message, err.message, JMSG_LENGTH_MAX);
    return DecodeResult::Failed;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  if (static_cast<int64_t>(info.image_width) != width || static_cast<int64_t>(info.image_height) != height) {
    std::snprintf(message, JMSG_LENGTH_MAX, "JPEG is %ux%u, the layer %dx%d", info.image_width, info.image_height,
                  width, height);
    jpeg_destroy_decompress(&info);
    return DecodeResult::WrongSize;
  }
  info.out_color_space = JCS_EXT_BGR;  // the row layout of a 24-bit bitmap
  jpeg_start_decompress(&info);
  out->Allocate(width, height, 24);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out->Row(static_cast<int32_t>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return DecodeResult::Ok;
}

}  // namespace

TBrioBitmap DecodeJpeg(std::span<const uint8_t> data, int32_t width, int32_t height, const std::string& name) {
  if (data.empty()) RaiseImageError(name, "JPEG: no data");
  CheckImageSize(name, width, height, "JPEG");
  TBrioBitmap out;
  char message[JMSG_LENGTH_MAX];
  DecodeResult r = DecodeInto(data.data(), data.size(), &out, width, height, message);
  if (r != DecodeResult::Ok) RaiseImageError(name, r == DecodeResult::WrongSize ? message : std::string("JPEG: ") + message);
  return out;
}

namespace {

bool EncodeInto(const TBrioBitmap& rgb24, int quality, unsigned char** buffer, unsigned long* size) {
  jpeg_compress_struct info;
  JpegError err;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnJpegError;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, buffer, size);
  info.image_width = static_cast<JDIMENSION>(rgb24.Width());
  info.image_height = static_cast<JDIMENSION>(rgb24.Height());
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(rgb24.Row(static_cast<int32_t>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const TBrioBitmap& rgb24, int quality) {
  if (quality < 1 || quality > 100) quality = 75;
  if (rgb24.Bits() != 24 || rgb24.Empty()) RaiseError("JPEG: only non-empty 24-bit pictures are encoded");
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  bool ok = EncodeInto(rgb24, quality, &buffer, &size);
  std::vector<uint8_t> out;
  if (ok) out.assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok) RaiseError("JPEG: compression failed");
  return out;
}

}  // namespace nova
