#pragma once
// The SaveScreen function: a picture of a screen written as a one-frame layered image (".bri")
// to an in-memory file ("mem:" names), to an in-memory file and into "save.dat" ("save:"
// names), or to a file below the game's base folder, optionally recorded as written.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace nova {

class TNovaBaseList;
class TSysFuncMan;
class TVrFileManager;

struct TSaveScreenServices {
  TNovaBaseList* Scene = nullptr;
  TVrFileManager* Files = nullptr;
  // Stores a file in "save.dat" (TGameSaves::StoreFile).
  std::function<void(const std::string& name, const std::string& bytes)> StoreInSaveFile;
  // Drops the image cache's copy of a file name (empty: there is no image cache yet).
  std::function<void(const std::string& name)> DropCachedImage;
  // The program's list of files written with mode 1 (full host paths); may be null.
  std::vector<std::filesystem::path>* WrittenFiles = nullptr;
};

// SaveScreen(name, width, height, useBack, mode) -> flag. Errors (a file that cannot be
// written) are raised and end the running expression.
bool SaveScreen(const TSaveScreenServices& services, const std::string& name, int32_t width, int32_t height,
                bool useBack, int32_t mode);

// Binds SaveScreen to the dispatcher; UnregisterSaveScreen unbinds it.
void RegisterSaveScreen(TSysFuncMan& funcs, TSaveScreenServices services);
void UnregisterSaveScreen(TSysFuncMan& funcs);

}  // namespace nova
