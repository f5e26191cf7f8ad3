// The channel list as CSV: export, quoting, and the planned import.
#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "channels/ChannelCsv.h"
#include "support/TempDir.h"

namespace vantrel::channels {
namespace {

using test::AddServices;
using test::Iota;
using test::ListNames;
using test::ListNumbers;

// Services S1..S5 with ids (sid = 10 * number, tsid 7, onid 1).
void BuildFive(ChannelList& list) {
  AddServices(list, ServiceKind::Tv, 5);
  for (const auto& s : list.TvServices()) {
    s->Sid = 10 * s->ChannelNo;
    s->Tsid = 7;
    s->Onid = 1;
  }
}

std::string Header() { return "number,name,type,sid,onid,tsid,lock,skip\n"; }

TEST(ChannelCsv, AwkwardNamesSurviveTheRoundTripWithEachSeparator) {
  ChannelList list;
  BuildFive(list);
  list.TvServices()[0]->Name = "Sport, News; \"Live\"";
  list.TvServices()[1]->Name = "Two\nLines\tand a tab";
  const std::string bytes = ChannelCsvBytes(list, ServiceKind::Tv);
  std::vector<CsvRecord> records;
  ASSERT_TRUE(ParseCsv(bytes, ',', records));
  ASSERT_EQ(records.size(), 6u);
  EXPECT_EQ(records[0].fields, CsvColumnKeys());
  EXPECT_EQ(records[1].fields[1], "Sport, News; \"Live\"");
  EXPECT_EQ(records[2].fields[1], "Two\nLines\tand a tab");
  EXPECT_EQ(records[3].line, 5u) << "a quoted line break counts as a line";
  EXPECT_EQ(PlanCsvImport(list, bytes).changedServices, 0u) << "the export reads back as no change";

  // The same file as a spreadsheet with a decimal comma or tabs would write it.
  for (const char separator : {';', '\t'}) {
    std::string other;
    for (const CsvRecord& r : records) {
      for (std::size_t f = 0; f < r.fields.size(); ++f) {
        if (f != 0) other += separator;
        other += CsvField(f == 1 && r.line == 2 ? "New; \"name\"\r\nx" : r.fields[f], separator);
      }
      other += "\r\n";
    }
    EXPECT_EQ(DetectCsvSeparator(other), separator);
    const CsvImportPlan plan = PlanCsvImport(list, other);
    EXPECT_TRUE(plan.problems.empty());
    ASSERT_EQ(plan.changes.size(), 5u);
    EXPECT_EQ(*plan.changes[0].name, "New; \"name\"\r\nx");
    EXPECT_EQ(plan.changedServices, 1u);
  }
}

TEST(ChannelCsv, BadRowsAreListedAndNothingChangesUntilApplied) {
  ChannelList list;
  BuildFive(list);
  CChannelEditor editor(list);
  editor.ShowList();
  const std::string csv = Header() +
                          "1,First,TV,10,1,7,true,false\n"  // 2: fine: renamed and locked
                          "2,S2,TV,999,1,7,false,false\n"   // 3: no such ids
                          "x,S3,TV,30,1,7,false,false\n"    // 4: bad number
                          "9,S3,TV,30,1,7,false,false\n"    // 5: number beyond the list
                          "1,S4,TV,40,1,7,false,false\n"    // 6: number 1 given twice
                          "4,S4,TV,40,1,7,maybe,false\n"    // 7: bad flag
                          "5,,TV,50,1,7,false,false\n"      // 8: name emptied
                          "5,S5,TV,50,1\n"                  // 9: too few fields
                          "3,S3,Data,30,1,7,false,false\n"  // 10: bad type
                          "2,S5,,50,1,7,false,true\n";      // 11: fine: S5 to number 2 and skipped
  const CsvImportPlan plan = PlanCsvImport(list, csv);
  std::vector<std::pair<std::size_t, CsvProblemKind>> problems;
  for (const CsvProblem& p : plan.problems) problems.emplace_back(p.line, p.kind);
  const std::vector<std::pair<std::size_t, CsvProblemKind>> expected{
      {3, CsvProblemKind::NoService},       {4, CsvProblemKind::BadNumber}, {5, CsvProblemKind::BadNumber},
      {6, CsvProblemKind::DuplicateNumber}, {7, CsvProblemKind::BadFlag},   {8, CsvProblemKind::BadName},
      {9, CsvProblemKind::FieldCount},      {10, CsvProblemKind::BadType}};
  EXPECT_EQ(problems, expected);
  EXPECT_EQ(plan.rows, 10u);
  EXPECT_EQ(DescribeCsvProblem(plan.problems[0]), "No service has these ids: 999/7/1");
  EXPECT_EQ(ListNames(list, ServiceKind::Tv)[0], "S1");
  EXPECT_FALSE(editor.IsModified());

  ASSERT_TRUE(editor.ApplyCsvImport(plan));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), (std::vector<std::string>{"First", "S5", "S2", "S3", "S4"}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 5));
  EXPECT_TRUE(list.TvServices()[0]->Locked);
  EXPECT_TRUE(list.TvServices()[1]->Skipped);
  EXPECT_EQ(test::RowNames(editor.Channels())[1], "S5");
  EXPECT_TRUE(editor.IsModified());

  EXPECT_EQ(PlanCsvImport(list, "name,number\nS1,1\n").problems.front().kind, CsvProblemKind::NoIdColumns);
  EXPECT_EQ(PlanCsvImport(list, Header() + "1,\"open,TV,10,1,7,true,false\n").problems.front().line, 2u);
}

TEST(ChannelCsv, GivenNumbersPinTheirServicesAndTwinsMatchInOrder) {
  ChannelList list;
  BuildFive(list);
  list.TvServices()[3]->Sid = 20;  // S4 carries the ids of S2
  FavoriteGroup* fs = test::AddFastScanGroup(list, ServiceKind::Tv, {2, 4});
  CChannelEditor editor(list);
  editor.ShowList();
  // The first row with the shared ids is S2, the second S4.
  const CsvImportPlan plan = PlanCsvImport(list, "sid,onid,tsid,number,name\n20,1,7,5,S2\n20,1,7,1,Four\n");
  ASSERT_TRUE(plan.problems.empty());
  ASSERT_TRUE(editor.ApplyCsvImport(plan));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), (std::vector<std::string>{"Four", "S1", "S3", "S5", "S2"}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 5));
  EXPECT_EQ(test::MemberNumbers(*fs), (std::vector<int>{5, 1}));
  // A third row with those ids has no service left.
  EXPECT_EQ(PlanCsvImport(list, "sid,onid,tsid\n20,1,7\n20,1,7\n20,1,7\n").problems.size(), 1u);
}

TEST(ChannelCsv, ExportReplacesTheFileWholeOrLeavesIt) {
  ChannelList list;
  BuildFive(list);
  vantrel::test::TempDir dir;
  const std::string target = dir.Write("out.csv", "old");
  ASSERT_TRUE(WriteChannelCsv(list, ServiceKind::Tv, target));
  EXPECT_EQ(vantrel::test::ReadFile(target), ChannelCsvBytes(list, ServiceKind::Tv));
  std::string error;
  EXPECT_FALSE(WriteChannelCsv(list, ServiceKind::Tv, dir.Write("plain", "x") + "/out.csv", &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace vantrel::channels
