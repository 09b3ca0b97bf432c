// Real Ogg Vorbis files nobody here wrote: the freedesktop sound theme (Debian package
// sound-theme-freedesktop), when installed. Every file decodes to the length its container
// tells (within 3 %: the lengths these files carry are not exact; the library's voices learn
// the real end when they reach it).
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sdl/ffmpeg_decoders.h"

namespace nova {
namespace {

const std::filesystem::path kThemeFolder = "/usr/share/sounds/freedesktop/stereo";

TEST(FreeMedia, FreedesktopSoundsDecodeToTheirLength) {
  std::error_code ec;
  if (!std::filesystem::is_directory(kThemeFolder, ec)) GTEST_SKIP() << "sound-theme-freedesktop is not installed";
  auto decoders = CreateFfmpegDecoders();
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kThemeFolder)) {
    if (entry.path().extension() != ".oga") continue;
    SCOPED_TRACE(entry.path().filename().string());
    auto data = std::make_unique<TFileStream>(entry.path(), TFileStream::OpenRead);
    auto d = decoders->OpenAudio(std::move(data), entry.path().filename().string(), TAudioDecodeOptions{44100, 2});
    int64_t told = d->LengthFrames();
    ASSERT_GT(told, 0);
    std::vector<int16_t> buf(8192 * 2);
    int64_t got = 0;
    for (int64_t n; (n = d->Read(buf.data(), 8192)) > 0;) got += n;
    EXPECT_NEAR(static_cast<double>(got), static_cast<double>(told), told * 0.03 + 256);
    ++files;
  }
  EXPECT_GT(files, 10);
}

}  // namespace
}  // namespace nova
