// The file manager lists' logic without a window: texts, sorting, new
// folder names and the checks on a typed name.
#include "ui/filemgr/FilePaneModel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

using namespace vantrel::ui;

namespace {

std::vector<std::string> Names(const CFileListModel& model) {
  std::vector<std::string> names;
  for (const FileRow& row : model.Rows()) names.push_back(row.name);
  return names;
}

}  // namespace

TEST(FilePaneModel, FillsAPcFolderWithSizesAndTypes) {
  vantrel::test::TempDir dir;
  dir.Write("empty.bin", "");
  dir.Write("two.dots.txt", std::string(1025, 'x'));
  std::filesystem::create_directory(dir.File("Folder"));
  CFileListModel model;
  model.FillLocal(dir.Path());
  ASSERT_EQ(Names(model), (std::vector<std::string>{"Folder", "empty.bin", "two.dots.txt"}));
  EXPECT_TRUE(model.Rows()[0].IsFolder());
  EXPECT_EQ(model.Rows()[0].size, "");
  EXPECT_EQ(model.Rows()[1].size, "0KB");
  EXPECT_EQ(model.Rows()[2].size, "2KB");
  EXPECT_EQ(model.Rows()[2].type, "txt");
  EXPECT_EQ(model.Rows()[2].date.size(), 16u);  // dd.mm.yyyy-hh:mm
  EXPECT_EQ(vantrel::SizeText(1234 * 1024), "1,234KB");

  model.FillLocal("My Computer");
  EXPECT_TRUE(model.Rows().empty());
}

TEST(FilePaneModel, HeadingClicksFlipTheDirectionAndEachColumnHasItsKind) {
  CFileListModel model;
  model.AddEntry("b.txt", true, 5000, 0);
  model.AddEntry("Dir", false, 0, 0);
  model.AddEntry("a.TXT", true, 200 * 1024, 0);
  model.AddEntry("c.bin", true, 10, 0);
  // The first click after opening sorts descending: largest files first, folders last.
  model.ClickHeading(1);
  EXPECT_FALSE(model.Ascending());
  EXPECT_EQ(Names(model), (std::vector<std::string>{"a.TXT", "b.txt", "c.bin", "Dir"}));
  model.ClickHeading(1);
  EXPECT_EQ(Names(model), (std::vector<std::string>{"Dir", "c.bin", "b.txt", "a.TXT"}));
  // Another column after an ascending sort: descending, files before folders.
  model.ClickHeading(0);
  EXPECT_EQ(Names(model), (std::vector<std::string>{"c.bin", "b.txt", "a.TXT", "Dir"}));
  model.ClickHeading(0);
  EXPECT_EQ(Names(model), (std::vector<std::string>{"Dir", "a.TXT", "b.txt", "c.bin"}));
  EXPECT_EQ(model.KindOf(3), CompareKind::kDateText);
  EXPECT_EQ(CFileListModel(3).KindOf(3), CompareKind::kNumericText);
  EXPECT_EQ(model.KindOf(2), CompareKind::kPlainText);
}

TEST(FilePaneModel, DatesSortByYearMonthDayTimeAndEmptyLast) {
  CFileListModel model;
  for (const char* date : {"01.02.2011-10:00", "", "31.01.2012-09:00", "01.02.2011-09:30"}) {
    FileRow row;
    row.name = date;
    row.date = date;
    model.Rows().push_back(row);
  }
  model.ClickHeading(3);  // descending
  model.ClickHeading(3);  // ascending
  EXPECT_EQ(Names(model), (std::vector<std::string>{"01.02.2011-09:30", "01.02.2011-10:00", "31.01.2012-09:00", ""}));
}

TEST(FilePaneModel, NewFolderNamesSkipUsedOnesIgnoringCase) {
  CFileListModel model;
  EXPECT_EQ(model.MakeNewFolderName(), "new folder");
  model.AddEntry("New Folder", false, 0, 0);
  model.AddEntry("new folder(2)", false, 0, 0);
  EXPECT_EQ(model.MakeNewFolderName(), "new folder(3)");
}

TEST(FilePaneModel, TypedNamesAreChecked) {
  const std::vector<std::string> rows = {"Report.txt", "other"};
  EXPECT_EQ(CheckNewName("a|b", "Report.txt", rows), NameCheck::kBadCharacter);
  EXPECT_EQ(CheckNewName("", "Report.txt", rows), NameCheck::kEmpty);
  EXPECT_EQ(CheckNewName("Report.txt", "Report.txt", rows), NameCheck::kUnchanged);
  // In a list the edited row counts too: only letter case changed is refused.
  EXPECT_EQ(CheckNewName("report.TXT", "Report.txt", rows), NameCheck::kExists);
  EXPECT_EQ(CheckNewName("OTHER", "Report.txt", rows), NameCheck::kExists);
  // In a tree only the siblings count.
  EXPECT_EQ(CheckNewName("report.TXT", "Report.txt", {"other"}), NameCheck::kOk);
  EXPECT_EQ(StripTrailingDots("name..."), "name");
}
