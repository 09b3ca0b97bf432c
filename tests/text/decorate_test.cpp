// Interned character attributes: sharing, reference counts and the setters of glyphs.
#include <gtest/gtest.h>

#include "text_test_util.h"

namespace nova::test {
namespace {

TDecorateValues Colored(int32_t color) {
  TDecorateValues v;
  v.Color = color;
  return v;
}

TEST(DecorateList, EqualValuesShareOneRecord) {
  TDecorateList list;
  TDecorate* a = list.Acquire(Colored(1));
  TDecorate* b = list.Acquire(Colored(1));
  TDecorate* c = list.Acquire(Colored(2));
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(a->RefCount, 2);
  EXPECT_EQ(list.Count(), 2);
  // Font names compare case-sensitively.
  TDecorateValues upper, lower;
  upper.FontName = "Face";
  lower.FontName = "face";
  EXPECT_NE(list.Acquire(upper), list.Acquire(lower));
  list.Release(c);
  EXPECT_EQ(list.IndexOf(c), -1) << "a record whose count reaches 0 leaves the list";
  EXPECT_EQ(list.Count(), 3);
}

TEST(DecorateList, ChangeFollowsTheInterningRule) {
  TDecorateList list;
  TDecorate* shared = list.Acquire(Colored(1));
  list.Acquire(Colored(1));
  TDecorate* mine = shared;
  // Shared: a new record is made and the old one keeps its other user.
  list.Change(mine, Colored(5));
  EXPECT_NE(mine, shared);
  EXPECT_EQ(shared->RefCount, 1);
  EXPECT_EQ(mine->RefCount, 1);
  // Sole user, no equal record: changed in place.
  TDecorate* before = mine;
  list.Change(mine, Colored(6));
  EXPECT_EQ(mine, before);
  EXPECT_EQ(mine->Color, 6);
  // An equal record exists: it is shared and the old one freed.
  list.Change(mine, Colored(1));
  EXPECT_EQ(mine, shared);
  EXPECT_EQ(shared->RefCount, 2);
  EXPECT_EQ(list.Count(), 1);
  // Setting the same values again changes nothing.
  list.Change(mine, Colored(1));
  EXPECT_EQ(shared->RefCount, 2);
}

TEST(DecorateList, GlyphSettersReintern) {
  TKtWord word;
  Build(word, "<FONT SIZE=20>あいう</FONT>");
  ASSERT_EQ(word.Count(), 3);
  ASSERT_EQ(word.Decorates().Count(), 1);
  auto* a = static_cast<TWdChar*>(word.Glyph(0));
  auto* b = static_cast<TWdChar*>(word.Glyph(1));
  EXPECT_EQ(a->Decorate()->RefCount, 3);
  b->SetStyle(fsBold);
  b->SetRuby(Sj("い"));
  EXPECT_EQ(word.Decorates().Count(), 2);
  EXPECT_EQ(b->Size(), 20) << "other fields are kept";
  EXPECT_EQ(b->Style(), fsBold);
  EXPECT_EQ(a->Decorate()->RefCount, 2);
  // Back to the shared attributes: the extra record goes away.
  b->SetStyle(0);
  b->SetRuby("");
  EXPECT_EQ(b->Decorate(), a->Decorate());
  EXPECT_EQ(word.Decorates().Count(), 1);
  EXPECT_EQ(a->Decorate()->RefCount, 3);
  word.Delete(2);
  EXPECT_EQ(a->Decorate()->RefCount, 2);
}

}  // namespace
}  // namespace nova::test
