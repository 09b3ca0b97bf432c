#pragma once
// Preview-menu files: "NovaPrevMenu", a version of three digits (100..106), the menu's width
// and height and one record per button with its position, its pictures for every state (the
// normal one and images 1-18), its name, capture-mask flag, preview offset, cursor and group.
// Names of pictures and cursors are stored relative to the menu file's folder; reading makes
// them game paths. Fields added by later versions read as empty or 0 from older files.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nova {

// One button's data (image k of the table is Images[k], Images[0] the normal picture).
struct TNovaPrevMenuData {
  static constexpr int kImages = 19;
  int32_t X = 0, Y = 0;
  std::array<std::string, kImages> Images;
  bool CaptureMask = false;
  std::string Name;
  int32_t PreviewX = 0, PreviewY = 0;
  std::string Cursor;
  int32_t Index = 0;
  int32_t Group = 0;  // 0 plain, > 0 one of an exclusive group, < 0 a check toggle

  const std::string& Image(int k) const { return Images[static_cast<size_t>(k)]; }
  bool Has(int k) const { return !Images[static_cast<size_t>(k)].empty(); }
};

struct TPrevMenuFile {
  int32_t Version = 0;
  int32_t Width = 0, Height = 0;
  std::vector<TNovaPrevMenuData> Buttons;
};

// Reads the bytes of the file named fileName (a game path). A wrong magic raises
// "NovaPreviewMenu:このファイル形式には対応していません", a version outside 100..106
// "NovaPreviewMenu:このバージョンのファイル形式には対応していません"; a file that ends early is
// taken as of the wrong form.
TPrevMenuFile ReadPrevMenuFile(const std::string& bytes, const std::string& fileName);

// The file's bytes for a menu (tests and tools): the given version's fields only.
std::string WritePrevMenuFile(const TPrevMenuFile& menu, int32_t version);

}  // namespace nova
