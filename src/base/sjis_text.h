#pragma once
// A message text of the system, kept as Shift-JIS and converted once from its UTF-8 source:
//   NOVA_SJIS_TEXT(Warning, "警告")  defines  const std::string& Warning();
#include <string>

#include "base/encoding.h"

#define NOVA_SJIS_TEXT(fn, utf8)                      \
  const std::string& fn() {                           \
    static const std::string text = Utf8ToSjis(utf8); \
    return text;                                      \
  }
