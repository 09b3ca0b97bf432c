#pragma once
// Installed fonts through fontconfig, with a private configuration for the life of the object.
#include <optional>
#include <string>
#include <vector>

namespace nova {

struct TFcFace {
  std::string File;
  int Index = 0;                      // face index inside the file
  std::vector<std::string> Families;  // every family name of the face (UTF-8)
  bool Fixed = false;                 // fixed pitch, also dual width (CJK fonts with half-width Latin)
};

class TFontconfig {
public:
  TFontconfig();
  ~TFontconfig();
  TFontconfig(const TFontconfig&) = delete;
  TFontconfig& operator=(const TFontconfig&) = delete;

  // The regular face of a family named exactly so (ignoring case), if one is installed.
  std::optional<TFcFace> MatchFamily(const std::string& family);
  // The face fontconfig prefers for a generic family ("sans-serif", "serif", "monospace") and
  // Japanese text, when that face holds kanji.
  std::optional<TFcFace> MatchJapanese(const std::string& generic);
  // Every installed outline face that supports Japanese.
  std::vector<TFcFace> JapaneseFaces();

private:
  struct TImpl;
  TImpl* impl_;
};

}  // namespace nova
