#pragma once
// Which installed families stand for the Windows faces games ask for. A built-in table maps
// the Japanese Windows faces to metric-compatible families (the IPA fonts first, Noto CJK
// second); the user's fonts.conf can change an entry or add faces. The FreeType rasteriser
// tries an entry's families in order and, for the built-in faces, ends with a generic
// fontconfig family, so that "ＭＳ ゴシック", the face every unknown name falls back to,
// always finds something when any Japanese font is installed.
#include <filesystem>
#include <string>
#include <vector>

namespace nova {

struct TFontSubstitute {
  std::string WindowsName;            // Shift-JIS
  std::vector<std::string> Families;  // fontconfig family names (UTF-8), first found wins
  std::string Generic;                // last resort: a generic family ("sans-serif"), or empty
  bool FixedPitch = false;            // the Windows face is fixed pitch (@FixedFonts)
  bool BuiltIn = false;               // from the built-in table (else added by fonts.conf)
};

class TFontSubstitutes {
public:
  TFontSubstitutes();  // the built-in table

  // The entry of a Windows face name (compared ignoring ASCII case), or null.
  const TFontSubstitute* Find(const std::string& windowsName) const;
  const std::vector<TFontSubstitute>& Entries() const { return entries_; }

  // Applies the lines of a fonts.conf (UTF-8): `Windows face = family[, family ...]`, with
  // blank lines and lines starting with '#' ignored. A line for a known face replaces its
  // families (its generic last resort stays); a new face is added. Returns one message
  // (UTF-8) per line that could not be read; those lines change nothing.
  std::vector<std::string> ApplyConfig(const std::string& utf8Text);

private:
  std::vector<TFontSubstitute> entries_;
};

// $XDG_CONFIG_HOME/novaplayer/fonts.conf, else ~/.config/novaplayer/fonts.conf; empty when
// neither variable is set.
std::filesystem::path UserFontConfigPath();

}  // namespace nova
