// The HTTP object's text: EUC-JP to Shift-JIS, lines joined by 0x01.
#include <gtest/gtest.h>

#include "components/media/euc_text.h"

namespace nova {
namespace {

TEST(EucText, ConvertsToShiftJis) {
  struct Case {
    std::string euc, sjis;
  };
  for (const Case& c : {
           Case{"abc 123", "abc 123"},
           Case{"\xA4\xA2", "\x82\xA0"},                  // あ
           Case{"\xB4\xC1\xBB\xFA", "\x8A\xBF\x8E\x9A"},  // 漢字
           Case{"\xA1\xA1", "\x81\x40"},                  // the full-width space
           Case{"\xF4\xA6", "\xEA\xA4"},                  // the last row of JIS X 0208
           Case{"\x8E\xB1", "\xB1"},                      // half-width ア
           Case{"\x80\xFF", "\x80\xFF"},                  // kept as they are
           Case{"a\xA4", "a"},                            // a lead byte without its partner
       })
    EXPECT_EQ(EucToSjis(c.euc), c.sjis) << c.euc;
}

TEST(EucText, JoinsLinesWithSoh) {
  struct Case {
    std::string text, joined;
  };
  for (const Case& c : {Case{"a\r\nb", "a\x01" "b"}, Case{"a\nb\n", "a\x01" "b"}, Case{"a\rb\r\n\r\nc", "a\x01" "b\x01\x01" "c"},
                        Case{"one", "one"}, Case{"", ""}, Case{"\n", ""}})
    EXPECT_EQ(JoinLinesWithSoh(c.text), c.joined) << c.text;
}

}  // namespace
}  // namespace nova
