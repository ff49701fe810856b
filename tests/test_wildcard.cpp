// The wildcard matcher decides which menu entry, dialog and list item the add-in acts on; a
// wrong match switches the wrong workbook, so the classes and the malformed cases matter.
#include "base/wildcard.h"

#include <gtest/gtest.h>

namespace vestrano {
namespace {

TEST(Wildcard, WholeTextMustMatchCaseSensitively) {
  EXPECT_TRUE(MatchesPattern("Book1.xls", "Book1.xls"));
  EXPECT_FALSE(MatchesPattern("Book1.xls", "book1.xls"));
  EXPECT_FALSE(MatchesPattern("Book1.xlsx", "Book1.xls"));
  EXPECT_FALSE(MatchesPattern("Book1.xls", "Book1.xlsx"));
  EXPECT_TRUE(MatchesPattern("", ""));
  EXPECT_TRUE(MatchesPattern("", "*"));
  EXPECT_FALSE(MatchesPattern("", "?"));
}

TEST(Wildcard, MetaCharacters) {
  // The unsaved mark: anything, a blank, a literal asterisk at the end.
  EXPECT_TRUE(MatchesPattern("Book1.xlsx *", "* [*]"));
  EXPECT_TRUE(MatchesPattern(" *", "* [*]"));
  EXPECT_FALSE(MatchesPattern("Book1.xlsx*", "* [*]"));
  EXPECT_FALSE(MatchesPattern("Book1.xlsx * x", "* [*]"));
  // Window menu entries: ampersand, digit, blank, caption.
  EXPECT_TRUE(MatchesPattern("&2 Book2.xls", "&# Book2.xls"));
  EXPECT_FALSE(MatchesPattern("&2 Book2.xlsx", "&# Book2.xls"));
  EXPECT_TRUE(MatchesPattern("&3 Book2.xls:2", "&# Book2.xls:#*"));
  EXPECT_FALSE(MatchesPattern("&x Book2.xls", "&# Book2.xls"));
  // A digit is 0 to 9, not the characters on either side of them.
  EXPECT_TRUE(MatchesPattern("0", "#"));
  EXPECT_TRUE(MatchesPattern("9", "#"));
  EXPECT_FALSE(MatchesPattern("/", "#"));
  EXPECT_FALSE(MatchesPattern(":", "#"));
  EXPECT_TRUE(MatchesPattern("abc", "a?c"));
  EXPECT_TRUE(MatchesPattern("a*b*c", "a[*]b[*]c"));
  EXPECT_TRUE(MatchesPattern("aXbYc", "a*b*c"));
  EXPECT_FALSE(MatchesPattern("aXbYd", "a*b*c"));
}

TEST(Wildcard, CharacterClasses) {
  EXPECT_TRUE(MatchesPattern("b", "[a-c]"));
  EXPECT_FALSE(MatchesPattern("d", "[a-c]"));
  EXPECT_TRUE(MatchesPattern("d", "[!a-c]"));
  EXPECT_FALSE(MatchesPattern("b", "[!a-c]"));
  EXPECT_TRUE(MatchesPattern("-", "[a-]"));
  EXPECT_TRUE(MatchesPattern("a", "[a-a]"));
  EXPECT_FALSE(MatchesPattern("b", "[a-a]"));
  // Nothing excluded: any one character.
  EXPECT_TRUE(MatchesPattern("x", "[!]"));
  EXPECT_TRUE(MatchesPattern("!", "[!]"));
  EXPECT_FALSE(MatchesPattern("xy", "[!]"));
  EXPECT_TRUE(MatchesPattern("!", "[a!]"));
  EXPECT_TRUE(MatchesPattern("?", "[?#*[]"));
  EXPECT_TRUE(MatchesPattern("ab", "a[]b"));  // an empty class matches nothing at all
  EXPECT_TRUE(MatchesPattern("活动文档 - x", "活动文档*"));
  EXPECT_TRUE(MatchesPattern("激", "?"));  // one character, not one byte
}

TEST(Wildcard, MalformedPatternsMatchNothing) {
  EXPECT_FALSE(MatchesPattern("[Book1", "[Book1"));
  EXPECT_FALSE(MatchesPattern("a", "[a"));
  EXPECT_FALSE(MatchesPattern("a", "[!"));
  EXPECT_FALSE(MatchesPattern("b", "[c-a]"));
  EXPECT_FALSE(MatchesPattern("anything", "*["));
}

TEST(Wildcard, InvalidUtf8IsHandledByteForByte) {
  const std::string broken = "\xE6\xB4";  // a sequence cut short
  EXPECT_TRUE(MatchesPattern(broken, "??"));
  EXPECT_FALSE(MatchesPattern(broken, "?"));
  EXPECT_TRUE(MatchesPattern("x\xFF", "x?"));
}

TEST(Wildcard, ManyStarsStayFast) {
  const std::string text(2000, 'a');
  EXPECT_FALSE(MatchesPattern(text, "*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(MatchesPattern(text + "b", "*a*a*a*a*a*a*a*a*b"));
}

TEST(Wildcard, LiteralPatternStandsForItself) {
  for (const char* name : {"Q[1].xlsx", "R#?.xlsx", "*.csv", "A[!b]-]c", "Plain.xls", "", "激活"}) {
    EXPECT_TRUE(MatchesPattern(name, LiteralPattern(name))) << name;
  }
  // What the name read as a pattern would also have matched.
  EXPECT_FALSE(MatchesPattern("Q1.xlsx", LiteralPattern("Q[1].xlsx")));
  EXPECT_FALSE(MatchesPattern("R1x.xlsx", LiteralPattern("R#?.xlsx")));
  EXPECT_FALSE(MatchesPattern("Budget.csv", LiteralPattern("*.csv")));
  // The fixed parts around it keep their wildcard meaning.
  EXPECT_TRUE(MatchesPattern("&3 Q[1].xlsx:2", "&# " + LiteralPattern("Q[1].xlsx") + ":#*"));
  EXPECT_FALSE(MatchesPattern("&3 Q[1].xlsx", "&# " + LiteralPattern("Q[1].xlsx") + ":#*"));
}

}  // namespace
}  // namespace vestrano
