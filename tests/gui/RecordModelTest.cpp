// What the recordings window computes without a receiver: cell texts and
// their order, keys, download targets, the rename rules, the PC folder
// filter; and the shared transfer observer and status strip.
#include <gtest/gtest.h>

#include <QLabel>
#include <ctime>
#include <fstream>

#include "core/TextTable.h"
#include "support/TempDir.h"
#include "ui/controls/FTPObserver.h"
#include "ui/controls/MultiColorStatic.h"
#include "ui/controls/SimpleProgress.h"
#include "ui/records/RecordModel.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace records = vantrel::ui::records;

namespace {

TEST(RecordModel, SizesAreRoundedUpKibibytes) {
  EXPECT_EQ(records::FormatSizeKB(1048577), "1,025KB");
  EXPECT_EQ(records::FormatSizeKB(1024), "1KB");
  EXPECT_EQ(records::FormatSizeKB(1), "1KB");
  EXPECT_EQ(records::FormatSizeKB(0), "0KB");
  EXPECT_EQ(records::FormatSizeKB(5ull * 1024 * 1024 * 1024), "5,242,880KB");
}

TEST(RecordModel, SortOrders) {
  // Size texts order by length, then text: 10KB < 999KB < 1,000KB.
  EXPECT_LT(records::CompareCells(records::kSortNumberText, "10KB", "999KB"), 0);
  EXPECT_LT(records::CompareCells(records::kSortNumberText, "999KB", "1,000KB"), 0);
  EXPECT_GT(records::CompareCells(records::kSortNumberText, "1,000KB", "10KB"), 0);
  // Dates by year, month, day, then time; an empty date is the latest.
  EXPECT_LT(records::CompareCells(records::kSortDate, "31.12.2025-23:59", "01.01.2026-00:00"), 0);
  EXPECT_LT(records::CompareCells(records::kSortDate, "02.03.2026-10:00", "01.04.2026-09:00"), 0);
  EXPECT_LT(records::CompareCells(records::kSortDate, "01.04.2026-09:00", "01.04.2026-10:00"), 0);
  EXPECT_GT(records::CompareCells(records::kSortDate, "", "01.04.2030-10:00"), 0);
  // Names ignore case.
  EXPECT_EQ(records::CompareCells(records::kSortText, "Show.TTS", "show.tts"), 0);
  EXPECT_LT(records::CompareCells(records::kSortText, "alpha", "Beta"), 0);
}

TEST(RecordModel, DatesAreLocalTime) {
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 11;
  local.tm_mday = 1;
  local.tm_hour = 20;
  local.tm_min = 5;
  local.tm_isdst = -1;
  EXPECT_EQ(records::FormatDate(std::mktime(&local)), "01.12.2026-20:05");
}

TEST(RecordModel, KeysAreTheNumberBetweenTheLastTwoUnderscores) {
  EXPECT_EQ(records::KeyFromPath("/a/Tagesschau_20261201_2000_1001_/Tagesschau.tts"), 1001);
  EXPECT_EQ(records::KeyFromPath("/a/Show_12ab_/x.ts"), 12);
  EXPECT_EQ(records::KeyFromPath("/a/Show_x_/x.ts"), 0);
  EXPECT_EQ(records::KeyFromPath("/a/Show_1/x.ts"), -1);
  EXPECT_EQ(records::KeyFromPath("/a/Show/x.ts"), -1);
}

TEST(RecordModel, DownloadTargetsStayInTheRecordFolder) {
  records::RecordingEntry entry{"/arch/Doc_20260101_1200_7_/a.ts", 10, 0};
  EXPECT_EQ(records::DownloadTarget("/rec", entry, false), "/rec/a.tts");
  EXPECT_EQ(records::DownloadTarget("/rec", entry, true), "/rec/a.rts");
  EXPECT_EQ(records::ReceiverRowName(entry, false), "a.tts");
  for (const char* hostile : {"/arch/f_1_/..", "/arch/f_1_/..ts", "/arch/f_1_/", "/arch/f_1_/.ts"}) {
    entry.path = hostile;
    EXPECT_EQ(records::DownloadTarget("/rec", entry, false), "") << hostile;
  }
  EXPECT_FALSE(records::IsSafeReceiverName("a/b"));
  EXPECT_FALSE(records::IsSafeReceiverName("x..y"));
  EXPECT_TRUE(records::IsSafeReceiverName("Tatort - Schattenlinie.tts"));
}

TEST(RecordModel, RenameRules) {
  using R = records::RenameCheck;
  const std::vector<std::string> rows{"Show.tts", "Other.tts"};
  EXPECT_EQ(records::CheckRename("", "Show.tts", rows, false).outcome, R::kEmpty);
  for (const char* bad : {"a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"})
    EXPECT_EQ(records::CheckRename(bad, "Show.tts", rows, false).outcome, R::kBadCharacter) << bad;
  R renamed = records::CheckRename("Neu", "Show.tts", rows, false);
  EXPECT_EQ(renamed.outcome, R::kRename);
  EXPECT_EQ(renamed.name, "Neu.tts");
  EXPECT_EQ(records::CheckRename("Neu.ts", "Show.tts", rows, false).name, "Neu.tts");
  EXPECT_EQ(records::CheckRename("Neu.TTS", "Show.tts", rows, false).name, "Neu.TTS");
  EXPECT_EQ(records::CheckRename("Neu", "Show.rts", rows, true).name, "Neu.rts");
  EXPECT_EQ(records::CheckRename("Show.tts", "Show.tts", rows, false).outcome, R::kUnchanged);
  // Only the case changed: the row itself has the name, ignoring case.
  EXPECT_EQ(records::CheckRename("SHOW.tts", "Show.tts", rows, false).outcome, R::kExists);
  EXPECT_EQ(records::CheckRename("other", "Show.tts", rows, false).outcome, R::kExists);
  EXPECT_EQ(records::BadCharacterMessage(),
            "A filename can not contain any of the following characters:\n\t\\ / : * ? \" < > |");
}

TEST(RecordModel, LocalFolderListsTheModesFilesOnly) {
  vantrel::test::TempDir dir;
  for (const char* name : {"Show.TTS", "Show.ts", "b.tts", "radio.rts", "notes.txt"})
    std::ofstream(dir.File(name)) << "x";
  std::filesystem::create_directory(dir.File("folder.tts"));
  std::vector<std::string> tv;
  for (const auto& row : records::ListLocalRecordings(dir.Path(), false)) tv.push_back(row.name);
  std::sort(tv.begin(), tv.end());
  EXPECT_EQ(tv, (std::vector<std::string>{"Show.TTS", "b.tts"}));
  const auto radio = records::ListLocalRecordings(dir.Path(), true);
  ASSERT_EQ(radio.size(), 1u);
  EXPECT_EQ(radio[0].name, "radio.rts");
  EXPECT_EQ(radio[0].size, 1u);
  EXPECT_TRUE(records::ListLocalRecordings("", false).empty());
  EXPECT_TRUE(records::ListLocalRecordings("\\", false).empty());
  EXPECT_TRUE(records::ListLocalRecordings(dir.File("missing"), false).empty());
}

// A display that records what the observer sets.
struct FakeDisplay {
  std::string name;
  int lower = -1, upper = -1, pos = -1, flushes = 0;
  void SetName(const std::string& text) { name = text; }
  void SetRange(int l, int u) { lower = l, upper = u; }
  void SetPos(int p) { pos = p; }
  void Flush() { ++flushes; }
};

TEST(FTPObserver, CountsBlocksOfTheFile) {
  FakeDisplay display;
  vantrel::ui::CWindowProgressSink<FakeDisplay> sink(display);
  vantrel::CFTPObserver observer(sink);
  // No size yet: one block.
  observer.NotifyDownloadBegin("/r/x", "/pc/rec/a.tts", -1);
  EXPECT_EQ(display.name, "a.tts");
  EXPECT_EQ(display.upper, 1);
  observer.NotifyDownloadBegin("/r/x", "/pc/rec/b.tts", 3000);
  EXPECT_EQ(display.upper, 2);
  EXPECT_EQ(display.pos, 0);
  observer.NotifyChunkReceived(nullptr, 2048);
  EXPECT_EQ(display.pos, 1);
  observer.NotifyChunkReceived(nullptr, 952);
  EXPECT_EQ(display.pos, 2);
  observer.NotifyDownloadEnd("/r/x", "/pc/rec/b.tts", 3000);
  EXPECT_EQ(display.pos, 2);
  // A file without a size keeps the previous file's range.
  observer.NotifyUploadBegin("/pc/c", "/r/c", 0);
  EXPECT_EQ(display.upper, 2);
  EXPECT_EQ(vantrel::CFTPObserver::BlocksFor(1), 1);
  EXPECT_EQ(vantrel::CFTPObserver::BlocksFor(1024ll * 1024 * 1024), 524288);
  EXPECT_EQ(vantrel::CFTPObserver::PositionFor(0, 100), 0);
}

TEST(SimpleProgress, FiguresAndPlaces) {
  using vantrel::ui::CSimpleProgress;
  EXPECT_EQ(CSimpleProgress::FigureText(CSimpleProgress::kGigabytes, 2048), " : 2.00GB");
  EXPECT_EQ(CSimpleProgress::FigureText(CSimpleProgress::kGigabytes, 0), " : 0.00GB");
  EXPECT_EQ(CSimpleProgress::FigureText(CSimpleProgress::kMegabytes, 0), " : 0MB");
  CSimpleProgress strip;
  strip.resize(600, CSimpleProgress::kHeight);
  strip.show();
  strip.SetFigures(2048, 100);
  EXPECT_EQ(strip.TotalLabel()->text(), "Total : 2048MB");
  EXPECT_EQ(strip.UsedLabel()->text(), "Used : 100MB");
  strip.SetUnit(CSimpleProgress::kGigabytes);
  EXPECT_EQ(strip.TotalLabel()->text(), "Total : 2.00GB");
  EXPECT_EQ(strip.TotalLabel()->geometry(), QRect(480, 1, 120, 16));
  EXPECT_EQ(strip.TotalSwatch()->geometry(), QRect(460, 3, 20, 12));
  EXPECT_EQ(strip.UsedLabel()->geometry(), QRect(340, 1, 120, 16));
  EXPECT_EQ(strip.PathLabel()->geometry(), QRect(25, 1, 295, 16));
  strip.SetPath("/home/user/Recordings");
  ASSERT_EQ(strip.PathLabel()->SegmentCount(), 1);
  EXPECT_EQ(strip.PathLabel()->GetSegment(0).TextColor(), QColor(0, 0, 255));
  strip.SetPath("");
  EXPECT_EQ(strip.PathLabel()->SegmentCount(), 0);
  // Narrower than the figures: the path gets no width; the figures keep to the right edge.
  strip.resize(300, CSimpleProgress::kHeight);
  EXPECT_EQ(strip.PathLabel()->width(), 0);
  EXPECT_EQ(strip.TotalLabel()->x(), 180);
}

TEST(SimpleProgress, ALongerFigureWidensItsLabelInsteadOfBeingCut) {
  using vantrel::ui::CSimpleProgress;
  vantrel::SelectTextTable(vantrel::LANG_GERMAN);
  CSimpleProgress strip;
  strip.resize(800, CSimpleProgress::kHeight);
  strip.SetFigures(258019, 178243);  // "Gesamt : 258019MB" needs more than 120 pixels
  vantrel::SelectTextTable(vantrel::LANG_ENGLISH);
  for (const QLabel* label : {strip.TotalLabel(), strip.UsedLabel()}) {
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << label->text().toStdString();
  }
  EXPECT_GT(strip.TotalLabel()->width(), 120);
  EXPECT_EQ(strip.TotalLabel()->geometry().right(), 799);
  // Right to left, nothing overlaps: total, its swatch, used, its swatch, the path.
  EXPECT_EQ(strip.TotalSwatch()->geometry().right() + 1, strip.TotalLabel()->x());
  EXPECT_LE(strip.UsedLabel()->geometry().right() + 1, strip.TotalSwatch()->x());
  EXPECT_LE(strip.PathLabel()->geometry().right() + 1 + 20, strip.UsedLabel()->x());
}

}  // namespace
