#include "components/media/euc_text.h"

namespace nova {

std::string EucToSjis(std::string_view euc) {
  std::string out;
  out.reserve(euc.size());
  for (size_t i = 0; i < euc.size(); ++i) {
    const auto b1 = static_cast<unsigned char>(euc[i]);
    if (b1 < 0x80 || b1 == 0x80 || b1 == 0xFF) {
      out += static_cast<char>(b1);
      continue;
    }
    if (i + 1 >= euc.size()) break;
    const auto b2 = static_cast<unsigned char>(euc[++i]);
    if (b1 == 0x8E) {
      out += static_cast<char>(b2);
      continue;
    }
    const int j1 = b1 & 0x7F, j2 = b2 & 0x7F;
    if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) continue;
    const int s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
    const int s2 = j2 + ((j1 & 1) ? (j2 >= 0x60 ? 0x20 : 0x1F) : 0x7E);
    out += static_cast<char>(s1);
    out += static_cast<char>(s2);
  }
  return out;
}

std::string JoinLinesWithSoh(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (i + 1 < text.size()) out += '\x01';
  }
  return out;
}

}  // namespace nova
