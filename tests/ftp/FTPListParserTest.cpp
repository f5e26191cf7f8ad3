// The listing parser: every listing form, the guessed year against a fixed
// clock, and dates past 2038.
#include <gtest/gtest.h>

#include "ftp/FTPListParser.h"
#include "support/TempDir.h"

using nsFTP::CFTPFileStatus;
using nsFTP::CFTPListParser;
using nsFTP::DateSeconds;
using vantrel::test::FixedClock;

namespace {

constexpr std::int64_t kJune2012 = 1339761600;     // 2012-06-15 12:00 UTC
constexpr std::int64_t kNewYearsEve = 1356955200;  // 2012-12-31 12:00 UTC

struct Parsed {
  bool ok;
  CFTPFileStatus s;
};

Parsed Parse(const std::string& line, std::int64_t now = kJune2012) {
  FixedClock clock(now);
  CFTPListParser parser;
  Parsed p{false, {}};
  p.ok = parser.Parse(p.s, line);
  return p;
}

}  // namespace

TEST(ListParserDate, CountsSecondsFrom1970InSixtyFourBits) {
  EXPECT_EQ(DateSeconds(1970, 0, 1), 0);
  EXPECT_EQ(DateSeconds(2000, 0, 1), 946684800);
  EXPECT_EQ(DateSeconds(2011, 2, 3), 1299110400);
  EXPECT_EQ(DateSeconds(2100, 1, 28), 4107456000);
  EXPECT_EQ(DateSeconds(1969, 11, 31), -86400);
  EXPECT_EQ(DateSeconds(2011, 14, 3), DateSeconds(2012, 2, 3)) << "months past December carry into the year";
  EXPECT_EQ(DateSeconds(2011, -1, 3), DateSeconds(2010, 11, 3));
  EXPECT_EQ(nsFTP::YearOf(kJune2012), 2012);
  EXPECT_EQ(nsFTP::YearOf(DateSeconds(2000, 0, 1) - 1), 1999);
}

TEST(ListParserUnix, FileWithOwnerGroupAndTime) {
  const Parsed p = Parse("-rw-r--r-- 1 root root 1048576 Jan 15 12:30 movie.ts");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_name, "movie.ts");
  EXPECT_TRUE(p.s.m_isFile);
  EXPECT_FALSE(p.s.m_isDirectory);
  EXPECT_EQ(p.s.m_sizeKind, CFTPFileStatus::kSizeBinary);
  EXPECT_EQ(p.s.m_size, 1048576);
  EXPECT_EQ(p.s.m_timeKind, CFTPFileStatus::kTimeMinutes);
  EXPECT_EQ(p.s.m_time, 1326630600);  // 2012-01-15 12:30
  EXPECT_EQ(p.s.m_attributes, "-rw-r--r--");
  EXPECT_EQ(p.s.m_links, "1");
  EXPECT_EQ(p.s.m_owner, "root");
  EXPECT_EQ(p.s.m_group, "root");
  EXPECT_TRUE(p.s.Path().empty()) << "the path is the client's to set";
}

TEST(ListParserUnix, DirectoryWithYearGroupLinksAndSpaces) {
  Parsed p = Parse("drwxr-xr-x 2 root root 4096 Mar 3 2011 Media");
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.s.m_isDirectory);
  EXPECT_FALSE(p.s.m_isFile);
  EXPECT_EQ(p.s.m_timeKind, CFTPFileStatus::kTimeDay);
  EXPECT_EQ(p.s.m_time, 1299110400);

  p = Parse("-rw-r--r-- 1 root users 17 Jan 5 08:00 a.txt");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_group, "users");
  EXPECT_EQ(p.s.m_size, 17);

  p = Parse("lrwxrwxrwx 1 root root 7 Jan 1 10:00 hdd -> /mnt/hdd");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_name, "hdd");
  EXPECT_TRUE(p.s.m_isFile);
  EXPECT_TRUE(p.s.m_isDirectory);

  p = Parse("-rw-r--r--   1 root   root      5 Jan  1 10:00 My File.ts");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_name, "My File.ts");

  p = Parse("-rw-r--r-- 1 root root 5000000000 Jun 1 2040 huge.ts");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_size, 5000000000);
  EXPECT_EQ(p.s.m_time, 2222121600) << "a date past 2038";
}

TEST(ListParserUnix, FolderAndNetWareForms) {
  Parsed p = Parse("d--------- folder 3 Jan 1 2011 Photos");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_links, "folder");
  EXPECT_EQ(p.s.m_owner, "");
  EXPECT_EQ(p.s.m_size, 3);
  EXPECT_EQ(p.s.m_name, "Photos");

  p = Parse("d [R----F--] supervisor 512 Jan 16 18:53    login");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_owner, "supervisor");
  EXPECT_EQ(p.s.m_size, 512);
  EXPECT_EQ(p.s.m_name, "login") << "the three extra spaces go";
}

TEST(ListParserUnix, RejectedLines) {
  for (const char* line :
       {"total 24", "x", "", "-rw-r--r-- 1 root root 5 Jan 1 10:00", "-rw-r--r-- 1 root root 5 Jan 1 2011",
        "-rw-r--r-- 1 root root 5 Jan 1 10 name", "-rw-r--r-- 1 root root 5 xyz 1 10:00 name", "drwxr-xr-x"}) {
    EXPECT_FALSE(Parse(line).ok) << line;
  }
}

TEST(ListParserUnix, GuessedYearFollowsTheClock) {
  EXPECT_EQ(Parse("-rw-r--r-- 1 root root 1 Jan 15 12:30 a").s.m_time, 1326630600);  // 2012
  EXPECT_EQ(Parse("-rw-r--r-- 1 root root 1 Dec 24 18:00 a").s.m_time, 1324749600);  // 2011
  EXPECT_EQ(Parse("-rw-r--r-- 1 root root 1 Jan 1 10:00 a", kNewYearsEve).s.m_time, 1357034400)
      << "a day further back than 349 days belongs to the next year";
  EXPECT_EQ(Parse("-rw-r--r-- 1 root root 1 Jan 1 10:00 a", DateSeconds(2040, 5, 1)).s.m_time,
            DateSeconds(2040, 0, 1) + 36000);
}

TEST(ListParserDos, DirectoriesFilesAndYears) {
  Parsed p = Parse("03-15-11  10:20PM  <DIR>  Media");
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.s.m_isDirectory);
  EXPECT_EQ(p.s.m_name, "Media");
  EXPECT_EQ(p.s.m_time, 1300227600);  // 2011-03-15 22:20
  EXPECT_EQ(p.s.m_timeKind, CFTPFileStatus::kTimeMinutes);

  p = Parse("03-15-11  12:05AM  4096  list.xml");
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.s.m_isFile);
  EXPECT_EQ(p.s.m_size, 4096);
  EXPECT_EQ(p.s.m_time, 1300147500);  // 00:05

  EXPECT_EQ(Parse("01-01-99 12:00AM 1 a").s.m_time, 915148800);
  EXPECT_EQ(Parse("01-01-1999 12:00AM 1 a").s.m_time, 915148800);
  EXPECT_EQ(Parse("01-01-10 12:00AM 1 a").s.m_time, 1262304000);
  for (const char* line : {"03-15-11", "03-15-11  10:20", "03-15-11  10:20PM  <DIR>", "03-15-11  10:20PM  4096 "}) {
    EXPECT_FALSE(Parse(line).ok) << line;
  }
}

TEST(ListParserVms, DirectoriesFilesAndRejects) {
  Parsed p = Parse("MEDIA.DIR;1  2  15-MAR-2011 10:20 [SYSTEM] (RWE,RWE,RE,RE)");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_name, "MEDIA");
  EXPECT_TRUE(p.s.m_isDirectory);
  EXPECT_EQ(p.s.m_time, 1300184400);  // 2011-03-15 10:20
  EXPECT_EQ(p.s.m_sizeKind, CFTPFileStatus::kSizeUnknown);

  p = Parse("media.dir;1 2 15-Mar-2011 10:20 [X]");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_name, "media.dir") << "only upper-case .DIR marks a directory";
  EXPECT_TRUE(p.s.m_isFile);
  EXPECT_FALSE(p.s.m_isDirectory);

  for (const char* line : {"A.TXT;1 2 15-MAY1-2011 10:20 [X]", "A.TXT;1 2 15-MAR-2011 10:20", "A.TXT;1"}) {
    EXPECT_FALSE(Parse(line).ok) << line;
  }
}

TEST(ListParserFacts, FactsUpToTheTab) {
  Parsed p = Parse("+i1.2,m1300012345,/,\tMedia");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.s.m_name, "Media");
  EXPECT_TRUE(p.s.m_isDirectory);
  EXPECT_EQ(p.s.m_timeKind, CFTPFileStatus::kTimeExact);
  EXPECT_EQ(p.s.m_time, 1300012345);
  EXPECT_EQ(p.s.m_idKind, CFTPFileStatus::kIdFull);
  EXPECT_EQ(p.s.m_id, "1.2");

  p = Parse("+s5000000000,r,m4102444800,x9,\tbig file");
  ASSERT_TRUE(p.ok);
  EXPECT_TRUE(p.s.m_isFile);
  EXPECT_EQ(p.s.m_size, 5000000000);
  EXPECT_EQ(p.s.m_time, 4102444800) << "2100-01-01, beyond 32 bits";
  EXPECT_EQ(p.s.m_name, "big file");

  EXPECT_FALSE(Parse("+i1.2,m1300012345,/,Media").ok) << "no TAB";
}
