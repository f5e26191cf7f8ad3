// The channel list's rows: cell texts, the sort rules and directions, the
// numbering check, the number input's ranges, the search and the switch
// between TV and radio.
#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelEditor.h"
#include "channels/SortCompare.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace vantrel::channels {
namespace {

using test::AddServices;
using test::RowNames;

Service* AddNamed(ChannelList& list, const std::string& name, int no) {
  auto s = std::make_unique<Service>();
  s->Name = name;
  s->ChannelNo = no;
  Service* raw = s.get();
  list.AddService(std::move(s));
  return raw;
}

TEST(SortCompare, LengthFirstSortsNumbersNumerically) {
  EXPECT_LT(CompareLengthThenText("9", "10"), 0);
  EXPECT_GT(CompareLengthThenText("100", "99"), 0);
  EXPECT_EQ(CompareLengthThenText("42", "42"), 0);
  EXPECT_LT(CompareText("10", "9"), 0);
  EXPECT_LT(CompareText("B", "a"), 0) << "case-sensitive";
  EXPECT_LT(CompareText("Zulu", "Ärger"), 0) << "bytes, not locale";
  for (int c : {0, 4, 6, 7, 8, 9, 10, 11}) EXPECT_EQ(ChannelColumnRule(c), CompareRule::LengthThenText) << c;
  for (int c : {1, 2, 3, 5, 12, 13, 14, 15, 16, 17, 18, 19}) EXPECT_EQ(ChannelColumnRule(c), CompareRule::Text) << c;
}

TEST(ChannelView, CellTexts) {
  ChannelList list;
  auto sat = std::make_unique<Satellite>();
  sat->SatName = "Astra";
  sat->Longitude = 192;
  list.AddSatellite(std::move(sat));
  auto s = std::make_unique<Service>();
  s->ChannelNo = 7;
  s->Name = "News";
  s->ServiceType = kServiceTypeRadio;
  s->ProviderName = "P";
  s->Scrambled = 1;
  s->Sid = 28006;
  s->IsHD = true;
  s->Carrier = ServiceCarrier{192, kBandC, 11362, 22000, 'H', 15};
  list.AddService(std::move(s));
  auto t = std::make_unique<Service>();
  t->Carrier.Longitude = 1808;
  list.AddService(std::move(t));
  CChannelView view(list);
  view.Fill(ServiceKind::Radio);
  ASSERT_EQ(view.RowCount(), 1u);
  const std::vector<std::string> expected = {"7",     "News", "RADIO", "P",     "Astra", "19.2(E)", "11362",
                                             "22000", "C",    "true",  "28006", "0",     "0",       "0",
                                             "0",     "0",    "false", "false", "true",  ""};
  for (int c = 0; c < kChannelColumnCount; ++c) EXPECT_EQ(view.CellText(0, c), expected[c]) << "column " << c;
  view.SetMark(0, 3);
  EXPECT_EQ(view.CellText(0, kColChannelNo), "3") << "the provisional number";
  view.Fill(ServiceKind::Tv);
  EXPECT_EQ(view.CellText(0, kColServiceType), "TV");
  EXPECT_EQ(view.CellText(0, kColSatelliteName), "Unknown");
  EXPECT_EQ(view.CellText(0, kColPos), "0.8(W)");
  EXPECT_EQ(view.CellText(0, kColBand), "Ku");
  EXPECT_EQ(HeaderText(ChannelColumns()[kColChannelNo]), GetText(333));
  EXPECT_EQ(HeaderText(ChannelColumns()[kColVideoPid]), "VideoPid");
}

TEST(ChannelView, HeaderClicksFlipWhateverColumnAndProgramSortsAscend) {
  ChannelList list;
  AddNamed(list, "b", 10);
  AddNamed(list, "a", 9);
  AddNamed(list, "c", 100);
  CChannelView view(list);
  view.Fill(ServiceKind::Tv);
  view.HeaderClick(kColChannelNo);
  EXPECT_EQ(RowNames(view), (std::vector<std::string>{"a", "b", "c"})) << "9 < 10 < 100";
  view.HeaderClick(kColServiceName);
  EXPECT_EQ(RowNames(view), (std::vector<std::string>{"c", "b", "a"})) << "the second click descends";
  view.HeaderClick(kColChannelNo);
  EXPECT_EQ(RowNames(view), (std::vector<std::string>{"a", "b", "c"}));
  view.SortByNumber();
  EXPECT_TRUE(view.SortedAscending());
  view.HeaderClick(kColChannelNo);
  EXPECT_EQ(RowNames(view), (std::vector<std::string>{"c", "b", "a"})) << "after a program sort the click descends";
}

TEST(ChannelView, SortIsStableAndKeepsSelection) {
  ChannelList list;
  AddNamed(list, "x1", 1)->Carrier.Frequency = 200;
  AddNamed(list, "x2", 2)->Carrier.Frequency = 100;
  AddNamed(list, "x3", 3)->Carrier.Frequency = 200;
  AddNamed(list, "x4", 4)->Carrier.Frequency = 100;
  CChannelView view(list);
  view.Fill(ServiceKind::Tv);
  view.SetSelected(2, true);
  view.SortByColumn(kColFrequency, true);
  EXPECT_EQ(RowNames(view), (std::vector<std::string>{"x2", "x4", "x1", "x3"}));
  view.SortByColumn(kColFrequency, false);
  EXPECT_EQ(RowNames(view), (std::vector<std::string>{"x1", "x3", "x2", "x4"})) << "equal rows keep their order";
  EXPECT_EQ(view.SelectedServices().front()->Name, "x3");
}

TEST(ChannelView, NumberingCheckReadsTheViewFromTheTop) {
  ChannelList list;
  CChannelView view(list);
  EXPECT_TRUE(view.CheckNumbering()) << "an empty view passes";
  AddNamed(list, "b", 1);
  AddNamed(list, "a", 2);
  view.Fill(ServiceKind::Tv);
  EXPECT_TRUE(view.CheckNumbering());
  view.SortByColumn(kColServiceName, true);
  EXPECT_FALSE(view.CheckNumbering());
}

TEST(NumberInput, RangesAndTheMoveTarget) {
  const auto selected20 = [](int position) { return position == 20; };
  const NumberRequest move = MakeNumberRequest(NumberInputMode::Move, 50, selected20);
  EXPECT_EQ(CheckNumberInput(move, 0), "Input Channel Range : 1 ~ 50");
  EXPECT_EQ(CheckNumberInput(move, 51), "Input Channel Range : 1 ~ 50");
  EXPECT_EQ(CheckNumberInput(move, 20), GetText(180));
  EXPECT_EQ(CheckNumberInput(move, 21), "");
  EXPECT_EQ(CheckNumberInput(move, 50), "");
  const NumberRequest start = MakeNumberRequest(NumberInputMode::Start, 50, selected20);
  EXPECT_EQ(CheckNumberInput(start, 20), "") << "only the move mode cares about the selection";
  const NumberRequest lcn = MakeNumberRequest(NumberInputMode::Lcn, 100);
  EXPECT_EQ(CheckNumberInput(lcn, 1), "");
  EXPECT_EQ(CheckNumberInput(lcn, 99899), "");
  EXPECT_EQ(CheckNumberInput(lcn, 99900), "Input Channel Range : 1 ~ 99899");
  EXPECT_EQ(NumberInputTitle(NumberInputMode::Move), GetText(177));
  EXPECT_EQ(NumberInputTitle(NumberInputMode::Lcn), GetText(176));
}

class Search : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"BBC News", "Sport 1", "CNN NEWS", "Kids", "Euronews", "Music"}) {
      AddNamed(list, name, static_cast<int>(list.TvServices().size()) + 1);
    }
    editor.ShowList();
  }
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  CChannelEditor editor{list};
};

TEST_F(Search, FindsOnwardsAndWrapsAfterTheLastHit) {
  EXPECT_TRUE(editor.SearchChannel("news"));
  EXPECT_EQ(editor.SearchPosition(), 0);
  EXPECT_TRUE(editor.SearchChannel("news"));
  EXPECT_EQ(editor.SearchPosition(), 2) << "upper case matches";
  EXPECT_TRUE(editor.SearchChannel("news"));
  EXPECT_EQ(editor.SearchPosition(), 4);
  EXPECT_TRUE(editor.SearchChannel("news"));
  EXPECT_EQ(editor.SearchPosition(), 0) << "wrapped to the first match above";
  EXPECT_EQ(editor.Channels().SelectedRows(), (std::vector<std::size_t>{0}));
  EXPECT_TRUE(prompt.Records().empty());
}

TEST_F(Search, StartsAfterTheClickedRowAndFindsItselfLast) {
  editor.ClickRow(3);
  EXPECT_TRUE(editor.SearchChannel("kids"));
  EXPECT_EQ(editor.SearchPosition(), 3) << "the clicked row itself comes last";
  editor.ClickRow(5);
  EXPECT_TRUE(editor.SearchChannel("SPORT"));
  EXPECT_EQ(editor.SearchPosition(), 1);
}

TEST_F(Search, RefusesShortKeywordsAndReportsMisses) {
  EXPECT_FALSE(editor.SearchChannel("ne"));
  EXPECT_FALSE(editor.SearchChannel("weather"));
  ASSERT_EQ(prompt.Records().size(), 2u);
  EXPECT_EQ(prompt.Records()[0].text, "A keyword must be at least 3 characters long");
  EXPECT_EQ(prompt.Records()[1].text, "Can not find");
  EXPECT_EQ(prompt.Records()[1].caption, GetText(291));
  EXPECT_EQ(editor.SearchPosition(), -1);
}

TEST(SearchCase, IgnoresCaseBeyondAscii) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  AddNamed(list, "Первый канал", 1);
  CChannelEditor editor(list);
  editor.ShowList();
  EXPECT_TRUE(editor.SearchChannel("ПЕРВЫЙ"));
}

TEST(ChannelEditorViews, HeaderClickKeepsTheSearchPositionOnItsService) {
  ChannelList list;
  AddNamed(list, "b", 1);
  AddNamed(list, "a", 2);
  AddNamed(list, "c", 3);
  CChannelEditor editor(list);
  editor.ShowList();
  editor.ClickRow(0);                   // "b"
  editor.HeaderClick(kColServiceName);  // descending: c b a
  EXPECT_EQ(editor.SearchPosition(), 1);
  editor.HeaderClick(kColServiceName);  // ascending: a b c
  EXPECT_EQ(editor.SearchPosition(), 1);
  editor.HeaderClick(kColChannelNo);  // descending: c(3) a(2) b(1)
  EXPECT_EQ(editor.SearchPosition(), 2);
}

TEST(ChannelEditorViews, ShowListSelectsTheFirstTvGroupOrTheNode) {
  ChannelList list;
  AddServices(list, ServiceKind::Tv, 3);
  CChannelEditor editor(list);
  editor.ShowList();
  EXPECT_EQ(editor.Tree().SelectedKind(), TreeItemKind::TvNode);
  EXPECT_EQ(editor.Tree().SelectedCaption(), GetText(283));
  EXPECT_TRUE(editor.Tree().IsExpanded(ServiceKind::Tv));
  EXPECT_TRUE(editor.Tree().IsExpanded(ServiceKind::Radio));
  auto group = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "Sky", 1);
  group->AddCopy(std::make_unique<Service>(*list.TvServices()[1]));
  list.AddFavoriteGroup(std::move(group));
  editor.ShowList();
  EXPECT_EQ(editor.Tree().SelectedGroup(), list.TvFavorites()[0].get());
  EXPECT_EQ(editor.Tree().SelectedCaption(), "Sky(LCN)");
  ASSERT_EQ(editor.Members().RowCount(), 1u);
  EXPECT_EQ(editor.Members().CellText(0, kMemberColName), "S2");
}

}  // namespace
}  // namespace vantrel::channels
