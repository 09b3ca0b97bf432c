#include "components/lists/prev_menu_file.h"

#include <cstdio>

#include "base/error.h"
#include "base/sjis.h"
#include "base/sjis_text.h"
#include "base/stream.h"

namespace nova {

namespace {

constexpr char kMagic[] = "NovaPrevMenu";
constexpr size_t kMagicSize = 12;
constexpr int32_t kFirstVersion = 100, kLastVersion = 106;

NOVA_SJIS_TEXT(WrongFormat, "NovaPreviewMenu:このファイル形式には対応していません")
NOVA_SJIS_TEXT(WrongVersion, "NovaPreviewMenu:このバージョンのファイル形式には対応していません")

// A reader that fails on a file ending early.
class TRecordReader {
public:
  explicit TRecordReader(const std::string& bytes) : s_(bytes) {}
  int32_t Int() {
    const int32_t v = s_.ReadInt32();
    if (s_.ReadPastEnd()) RaiseError(WrongFormat());
    return v;
  }
  uint8_t Byte() {
    const uint8_t v = s_.ReadByte();
    if (s_.ReadPastEnd()) RaiseError(WrongFormat());
    return v;
  }
  std::string Str() {
    const int32_t n = Int();
    if (n <= 0) return std::string();
    if (n > s_.Remaining()) RaiseError(WrongFormat());
    return s_.ReadBytes(n);
  }
  std::string Bytes(size_t n) {
    if (static_cast<int64_t>(n) > s_.Remaining()) RaiseError(WrongFormat());
    return s_.ReadBytes(static_cast<int64_t>(n));
  }
  int64_t Remaining() { return s_.Remaining(); }

private:
  TKtMemoryStream s_;
};

}  // namespace

TPrevMenuFile ReadPrevMenuFile(const std::string& bytes, const std::string& fileName) {
  TRecordReader r(bytes);
  if (bytes.size() < kMagicSize || r.Bytes(kMagicSize) != std::string(kMagic, kMagicSize)) RaiseError(WrongFormat());
  const std::string digits = bytes.size() >= kMagicSize + 3 ? r.Bytes(3) : std::string();
  int32_t version = -1;
  if (digits.size() == 3 && digits.find_first_not_of("0123456789") == std::string::npos) version = std::stoi(digits);
  if (version < kFirstVersion || version > kLastVersion) RaiseError(WrongVersion());

  TPrevMenuFile menu;
  menu.Version = version;
  menu.Width = r.Int();
  menu.Height = r.Int();
  const int32_t count = r.Int();
  // Every button record takes more than 40 bytes.
  if (count < 0 || count > r.Remaining() / 40 + 1) RaiseError(WrongFormat());
  const std::string folder = ExtractFilePath(fileName);
  auto file = [&](std::string name) { return name.empty() ? name : folder + name; };
  menu.Buttons.resize(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    TNovaPrevMenuData& b = menu.Buttons[static_cast<size_t>(i)];
    char name[24];
    std::snprintf(name, sizeof name, "Button%.2d", static_cast<int>(i));
    b.Name = name;
    b.Index = i;
    b.X = r.Int();
    b.Y = r.Int();
    b.Images[0] = file(r.Str());
    b.CaptureMask = r.Byte() != 0;
    if (std::string stored = r.Str(); !stored.empty()) b.Name = stored;
    for (int k = 1; k <= 3; ++k) b.Images[static_cast<size_t>(k)] = file(r.Str());
    if (version > 100) b.Images[4] = file(r.Str());
    if (version > 102)
      for (int k = 5; k <= 6; ++k) b.Images[static_cast<size_t>(k)] = file(r.Str());
    for (int k = 7; k <= 9; ++k) b.Images[static_cast<size_t>(k)] = file(r.Str());
    if (version > 101)
      for (int k = 10; k <= 11; ++k) b.Images[static_cast<size_t>(k)] = file(r.Str());
    b.PreviewX = r.Int();
    b.PreviewY = r.Int();
    b.Cursor = file(r.Str());
    if (version > 103) {
      for (int k = 12; k <= 16; ++k) b.Images[static_cast<size_t>(k)] = file(r.Str());
      b.Group = r.Int();
    }
    if (version > 104) b.Images[17] = file(r.Str());
    if (version > 105) b.Images[18] = file(r.Str());
  }
  return menu;
}

std::string WritePrevMenuFile(const TPrevMenuFile& menu, int32_t version) {
  TKtMemoryStream s;
  s.WriteBytes(std::string(kMagic, kMagicSize));
  char digits[8];
  std::snprintf(digits, sizeof digits, "%.3d", static_cast<int>(version % 1000));
  s.WriteBytes(digits);
  s.WriteInt32(menu.Width);
  s.WriteInt32(menu.Height);
  s.WriteInt32(static_cast<int32_t>(menu.Buttons.size()));
  for (const TNovaPrevMenuData& b : menu.Buttons) {
    s.WriteInt32(b.X);
    s.WriteInt32(b.Y);
    s.WriteString(b.Images[0]);
    s.WriteByte(b.CaptureMask);
    s.WriteString(b.Name);
    for (int k = 1; k <= 3; ++k) s.WriteString(b.Image(k));
    if (version > 100) s.WriteString(b.Image(4));
    if (version > 102)
      for (int k = 5; k <= 6; ++k) s.WriteString(b.Image(k));
    for (int k = 7; k <= 9; ++k) s.WriteString(b.Image(k));
    if (version > 101)
      for (int k = 10; k <= 11; ++k) s.WriteString(b.Image(k));
    s.WriteInt32(b.PreviewX);
    s.WriteInt32(b.PreviewY);
    s.WriteString(b.Cursor);
    if (version > 103) {
      for (int k = 12; k <= 16; ++k) s.WriteString(b.Image(k));
      s.WriteInt32(b.Group);
    }
    if (version > 104) s.WriteString(b.Image(17));
    if (version > 105) s.WriteString(b.Image(18));
  }
  return s.Data();
}

}  // namespace nova
