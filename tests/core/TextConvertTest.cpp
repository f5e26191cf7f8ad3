// Code-page conversion, UTF-8 cutting, escaping and digit grouping.
#include <gtest/gtest.h>

#include "core/StringUtil.h"
#include "core/TextConvert.h"

using namespace vantrel;

TEST(AnsiToUtf8, Cp1252ByteD6GivesC396) {
  std::array<char, 256> out{};
  out.fill('x');
  ASSERT_EQ(AnsiToUtf8(std::string("\xD6"), out, 1252), 2u);
  EXPECT_EQ(static_cast<unsigned char>(out[0]), 0xC3);
  EXPECT_EQ(static_cast<unsigned char>(out[1]), 0x96);
  EXPECT_EQ(out[2], '\0');
  EXPECT_EQ(AnsiToUtf8(std::string("\x80 \x85"), 1252), "\u20AC \u2026");
}

TEST(AnsiToUtf8, EmptyGivesZeroBytesAndZeroArea) {
  std::array<char, 256> out{};
  out.fill('x');
  EXPECT_EQ(AnsiToUtf8("", out, 1252), 0u);
  for (char c : out) ASSERT_EQ(c, '\0');
}

TEST(AnsiToUtf8, ResultThatLeavesNoTerminatorIsEmpty) {
  std::array<char, 256> out{};
  // 200 letters of 2 UTF-8 bytes each: 400 bytes do not fit the area.
  EXPECT_EQ(AnsiToUtf8(std::string(200, '\xD6'), out, 1252), 0u);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(AnsiToUtf8(std::string(255, 'a'), out, 1252), 255u);
  EXPECT_EQ(AnsiToUtf8(std::string(256, 'a'), out, 1252), 0u);
}

TEST(AnsiToUtf8, SystemCodePageIsUtf8AndChecksInput) {
  EXPECT_EQ(AnsiToUtf8("Grüße"), "Grüße");
  EXPECT_EQ(AnsiToUtf8("\xFF\xFE"), "") << "invalid UTF-8 in a UTF-8 system fails the conversion";
  EXPECT_EQ(CodePageName(1251), "CP1251");
  EXPECT_EQ(CodePageName(kUtf8CodePage), "UTF-8");
}

TEST(Utf8ToAnsi, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToAnsi("Ab Привет", 1252), "Ab ??????");
  EXPECT_EQ(Utf8ToAnsi("Öl", 1252), "\xD6l");
  EXPECT_EQ(Utf8ToAnsi("Привет", 1251), "\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_EQ(Utf8ToAnsi("Grüße"), "Grüße");
  EXPECT_EQ(Utf8ToAnsi("bad \xC3", 1252), "") << "truncated UTF-8 is a failed conversion";
}

TEST(XmlEscape, FiveEntitiesAndEverythingElseAsIs) {
  EXPECT_EQ(XmlEscape("\"&'<>"), "&quot;&amp;&apos;&lt;&gt;");
  EXPECT_EQ(XmlEscape("a b\tc  Ö"), "a b\tc  Ö");
  EXPECT_EQ(XmlEscape("AT&T <1>"), "AT&amp;T &lt;1&gt;");
  EXPECT_EQ(XmlEscape(""), "");
}

TEST(StringUtil, CutUtf8NeverSplitsACharacter) {
  EXPECT_EQ(CutUtf8("abcdef", 4), "abcd");
  EXPECT_EQ(CutUtf8("abc", 10), "abc");
  EXPECT_EQ(CutUtf8("aÖb", 2), "a") << "Ö is two bytes; half of it is dropped";
  EXPECT_EQ(CutUtf8("aÖb", 3), "aÖ");
  EXPECT_EQ(CutUtf8("€", 2), "");
  EXPECT_EQ(CutUtf8("😀x", 4), "😀");
}

TEST(StringUtil, GroupThousands) {
  EXPECT_EQ(GroupThousands("1000"), "1,000");
  EXPECT_EQ(GroupThousands("12345"), "12,345");
  EXPECT_EQ(GroupThousands("999"), "999");
  EXPECT_EQ(GroupThousands("1234567"), "1,234,567");
  EXPECT_EQ(GroupThousands(""), "");
}

TEST(StringUtil, CaseInsensitiveComparisons) {
  EXPECT_TRUE(EqualsIgnoreCase("RuSsIaN", "russian"));
  EXPECT_FALSE(EqualsIgnoreCase("Russia", "Russian"));
  EXPECT_TRUE(StartsWithIgnoreCase("English (UK)", "english"));
  EXPECT_FALSE(StartsWithIgnoreCase("Eng", "English"));
}
