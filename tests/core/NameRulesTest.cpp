// The shared rules for names from the receiver, size and date texts, the
// order of dates and lower case.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/StringUtil.h"

using namespace vantrel;

TEST(NameRules, ReceiverNamesThatAreSafeAsLocalNames) {
  for (const std::string bad : {"", ".", "..", "a/b", "/", "../x", "a\nb", "tab\tname", "del\x7f"}) {
    EXPECT_FALSE(IsSafeEntryName(bad)) << bad;
  }
  EXPECT_FALSE(IsSafeEntryName(std::string("a\0b", 3)));
  // Ordinary names on this system, taken as they are: never empty, never outside the folder.
  for (const char* good : {"con", "name. ", "trailing...", "x..y", "...x", "Länderspiel.ts", "new folder(2)"}) {
    EXPECT_TRUE(IsSafeEntryName(good)) << good;
  }
}

TEST(NameRules, SizeAndDateTextsAndTheOrderOfDates) {
  EXPECT_EQ(SizeText(-5), "0KB");
  EXPECT_EQ(SizeText(0), "0KB");
  EXPECT_EQ(SizeText(1), "1KB");
  EXPECT_EQ(SizeText(1048577), "1,025KB");
  // A time after 2038 is shown as itself.
  std::tm local{};
  local.tm_year = 2040 - 1900;
  local.tm_mon = 5;
  local.tm_mday = 15;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  EXPECT_EQ(DateText(std::mktime(&local)), "15.06.2040-12:00");
  EXPECT_LT(CompareDateTexts("31.12.2025-23:59", "01.01.2026-00:00"), 0);
  EXPECT_GT(CompareDateTexts("02.01.2026-00:00", "01.02.2025-00:00"), 0);
  EXPECT_EQ(CompareDateTexts("01.01.2026-10:00", "01.01.2026-10:00"), 0);
  EXPECT_GT(CompareDateTexts("", "01.01.2099-00:00"), 0);  // no date goes last
}

TEST(NameRules, LowerCaseForEveryScript) {
  EXPECT_EQ(LowerText("ABC def"), "abc def");
  EXPECT_EQ(LowerText("ÄRGER ÖL Ü"), "ärger öl ü");
  EXPECT_EQ(LowerText("ПРИВЕТ"), "привет");
}
