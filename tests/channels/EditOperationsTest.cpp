// Renumbering, moving, deleting, inserting, number changes and the manual
// numbering mode, with the FastScan copies that follow the numbers and the
// questions each operation asks.
#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelEditor.h"
#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "core/Format.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace vantrel::channels {
namespace {

using test::AddFastScanGroup;
using test::AddServices;
using test::Iota;
using test::ListNames;
using test::ListNumbers;
using test::MemberNumbers;
using test::RowOfNumber;
using test::ScriptedNumberInput;
using test::SelectNumbers;

std::vector<std::string> Names(std::initializer_list<int> numbers, const std::string& prefix = "S") {
  std::vector<std::string> out;
  for (const int n : numbers) out.push_back(prefix + std::to_string(n));
  return out;
}

class EditOperations : public ::testing::Test {
 protected:
  void Show() { editor.ShowList(); }

  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  CChannelEditor editor{list};
};

TEST_F(EditOperations, RenumberingANameSortedViewStoresTheAlphabeticalOrder) {
  for (const char* name : {"Delta", "Alpha", "Charlie", "Bravo"}) {
    auto s = std::make_unique<Service>();
    s->Name = name;
    s->ChannelNo = static_cast<int>(list.TvServices().size()) + 1;
    list.AddService(std::move(s));
  }
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {2, 1});  // Alpha, Delta
  Show();
  editor.HeaderClick(kColServiceName);  // descending after the program's sort
  editor.HeaderClick(kColServiceName);  // ascending
  ASSERT_EQ(test::RowNames(editor.Channels()), (std::vector<std::string>{"Alpha", "Bravo", "Charlie", "Delta"}));
  ASSERT_FALSE(editor.CheckNumbering());
  editor.Renumber();
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), (std::vector<std::string>{"Alpha", "Bravo", "Charlie", "Delta"}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 4));
  EXPECT_TRUE(editor.CheckNumbering());
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{1, 4}));
}

// A FastScan group read with its ChannelNo entries before its ServiceType
// holds references to real services: a renumber moves those once, with the
// list, not a second time as if they were copies.
TEST_F(EditOperations, RenumberingLeavesReferencesInAFastScanGroupToTheList) {
  ASSERT_EQ(ReadChannelBuffer(list, "<Servicelist>" +
                                        std::string("<Service><ChannelNo>1</ChannelNo><Name>A</Name></Service>"
                                                    "<Service><ChannelNo>2</ChannelNo><Name>B</Name></Service>"
                                                    "<Service><ChannelNo>3</ChannelNo><Name>C</Name></Service>") +
                                        "<Favoritelist><FavoriteGroup><ChannelNo>1</ChannelNo><ChannelNo>3</ChannelNo>"
                                        "<ServiceType>FastScan_TV</ServiceType></FavoriteGroup></Favoritelist>"
                                        "</Servicelist>"),
            ReadResult::Loaded);
  ASSERT_FALSE(list.TvFavorites()[0]->OwnsMember(0));
  Show();
  editor.HeaderClick(kColServiceName);  // descending: C, B, A
  editor.Renumber();
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), (std::vector<std::string>{"C", "B", "A"}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 3)) << "no number given twice";
}

TEST_F(EditOperations, MoveABlockOfThreeToNineOfTenEndsAtTheLastPosition) {
  AddServices(list, ServiceKind::Tv, 10);
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {2, 9});
  Show();
  SelectNumbers(editor.Channels(), {2, 3, 4});
  ScriptedNumberInput input;
  input.Queue(9);
  ASSERT_TRUE(editor.MoveChannels(input));
  ASSERT_EQ(input.Requests().size(), 1u);
  EXPECT_EQ(input.Requests()[0].mode, NumberInputMode::Move);
  EXPECT_EQ(input.Requests()[0].maximum, 10);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 5, 6, 7, 8, 9, 10, 2, 3, 4}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 10));
  EXPECT_EQ(editor.Channels().SelectedRows(), (std::vector<std::size_t>{7, 8, 9})) << "the moved block stays selected";
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{8, 6}));
  EXPECT_TRUE(prompt.Records().empty());
}

TEST_F(EditOperations, MoveFromTheMenuOnAnUnsortedViewAsksToSortFirst) {
  AddServices(list, ServiceKind::Tv, 5);
  Show();
  editor.HeaderClick(kColChannelNo);  // after the program's sort: descending, 5 4 3 2 1
  SelectNumbers(editor.Channels(), {5});
  ScriptedNumberInput input;
  prompt.SetNextAnswer(false);
  EXPECT_FALSE(editor.MoveChannels(input));
  EXPECT_TRUE(input.Requests().empty()) << "No cancels before the number is asked";
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text, GetText(122));
  EXPECT_EQ(prompt.Records()[0].caption, GetText(292));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 2, 3, 4, 5}));

  prompt.SetNextAnswer(true);
  input.Queue(1);
  ASSERT_TRUE(editor.MoveChannels(input));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({5, 1, 2, 3, 4}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 5));
}

TEST_F(EditOperations, MoveRefusesASelectedTargetAndACancel) {
  AddServices(list, ServiceKind::Tv, 5);
  Show();
  SelectNumbers(editor.Channels(), {2, 3});
  ScriptedNumberInput input;
  input.Queue(3);  // a selected row
  input.Queue(std::nullopt);
  EXPECT_FALSE(editor.MoveChannels(input));
  EXPECT_FALSE(editor.MoveChannels(input));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 2, 3, 4, 5}));
}

TEST_F(EditOperations, DropPutsTheBlockAfterTheTargetRow) {
  AddServices(list, ServiceKind::Tv, 10);
  Show();
  SelectNumbers(editor.Channels(), {2, 3, 9});
  ASSERT_TRUE(editor.MoveChannelsAfterRow(RowOfNumber(editor.Channels(), 6)));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 4, 5, 6, 2, 3, 9, 7, 8, 10}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 10));
  // Onto a selected row nothing happens.
  EXPECT_FALSE(editor.MoveChannelsAfterRow(RowOfNumber(editor.Channels(), 5)));
}

TEST_F(EditOperations, DropOnAnUnsortedViewOnlySortsAndRenumbers) {
  AddServices(list, ServiceKind::Tv, 4);
  list.TvServices()[1]->ChannelNo = 7;  // 1 7 3 4
  Show();
  SelectNumbers(editor.Channels(), {1});
  prompt.SetNextAnswer(true);
  EXPECT_FALSE(editor.MoveChannelsAfterRow(RowOfNumber(editor.Channels(), 4)));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 3, 4, 2}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 4));
}

TEST_F(EditOperations, DeletingChannelFiveOfTenClosesTheGapAndCopiesFollow) {
  AddServices(list, ServiceKind::Tv, 10);
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {5, 7, 10});
  auto tv = std::make_unique<FavoriteGroup>(kFavoriteTv, "Mine", 1);
  tv->AddReference(list.TvServices()[4].get());
  tv->AddReference(list.TvServices()[5].get());
  FavoriteGroup* mine = tv.get();
  list.AddFavoriteGroup(std::move(tv));
  Show();
  editor.Tree().SelectGroup(mine);
  editor.ShowSelectedTreeItem();
  SelectNumbers(editor.Channels(), {5});

  prompt.SetNextAnswer(false);
  EXPECT_FALSE(editor.DeleteChannels());
  EXPECT_EQ(list.TvServices().size(), 10u) << "No leaves the data unchanged";
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text, "Are you sure you want to delete 'S5' item ?");

  prompt.SetNextAnswer(true);
  ASSERT_TRUE(editor.DeleteChannels());
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 2, 3, 4, 6, 7, 8, 9, 10}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 9));
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{6, 9})) << "the copy of 5 went, 7 is now 6";
  EXPECT_EQ(test::MemberNames(*mine), Names({6}));
  ASSERT_EQ(editor.Members().RowCount(), 1u) << "the service list shows the group again";
  EXPECT_EQ(editor.Members().CellText(0, kMemberColNumber), "5");
}

TEST_F(EditOperations, DeletingSeveralAsksWithTheCount) {
  AddServices(list, ServiceKind::Tv, 4);
  Show();
  SelectNumbers(editor.Channels(), {1, 4});
  prompt.SetNextAnswer(true);
  ASSERT_TRUE(editor.DeleteChannels());
  EXPECT_EQ(prompt.Records()[0].text, "Are you sure you want to delete 2 items ?");
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({2, 3}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 2));
}

TEST_F(EditOperations, NumberingFromThreeStartedOnFiveThenFour) {
  AddServices(list, ServiceKind::Tv, 5);
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {3, 5});
  Show();
  editor.SetContextRow(static_cast<long long>(RowOfNumber(editor.Channels(), 5)));
  ScriptedNumberInput input;
  input.Queue(3);
  ASSERT_TRUE(editor.StartNumbering(input));
  EXPECT_EQ(input.Requests()[0].mode, NumberInputMode::Start);
  EXPECT_TRUE(editor.IsNumbering());
  editor.ClickRow(RowOfNumber(editor.Channels(), 4));
  EXPECT_EQ(editor.Channels().CellText(RowOfNumber(editor.Channels(), 5), kColChannelNo), "3");
  EXPECT_EQ(editor.Channels().CellText(RowOfNumber(editor.Channels(), 4), kColChannelNo), "4");
  editor.EndNumbering();
  EXPECT_FALSE(editor.IsNumbering());
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 2, 5, 4, 3}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 5));
  EXPECT_EQ(test::RowNames(editor.Channels()), Names({1, 2, 5, 4, 3}));
  EXPECT_FALSE(editor.Channels().HasMarks());
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{5, 3}));
}

TEST_F(EditOperations, NumberingWarnsAtTheMaximumAndTakesBackOnlyTheLastMark) {
  AddServices(list, ServiceKind::Tv, 5);
  Show();
  editor.SetContextRow(0);
  ScriptedNumberInput input;
  input.Queue(3);
  ASSERT_TRUE(editor.StartNumbering(input));  // row 0 -> 3
  editor.NumberClick(1);                      // -> 4
  editor.NumberClick(2);                      // -> 5
  EXPECT_TRUE(prompt.Records().empty());
  editor.NumberClick(3);
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text, "Maximum channel number is 5");
  EXPECT_EQ(prompt.Records()[0].caption, GetText(293));
  EXPECT_EQ(prompt.Records()[0].icon, PromptIcon::Warning);
  EXPECT_EQ(editor.Channels().Mark(3), 0);

  editor.NumberClick(0);  // mark 3 is not the last given: ignored
  EXPECT_EQ(editor.Channels().Mark(0), 3);
  editor.NumberClick(2);  // the last given (5) is taken back
  EXPECT_EQ(editor.Channels().Mark(2), 0);
  EXPECT_EQ(editor.NextNumber(), 5);
  editor.NumberClick(3);
  EXPECT_EQ(editor.Channels().Mark(3), 5);

  editor.CancelNumbering();
  EXPECT_FALSE(editor.IsNumbering());
  EXPECT_FALSE(editor.Channels().HasMarks());
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 2, 3, 4, 5}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 5));
}

TEST_F(EditOperations, SwitchingKindDuringNumberingAsksFirst) {
  AddServices(list, ServiceKind::Tv, 3);
  AddServices(list, ServiceKind::Radio, 2, "R");
  Show();
  editor.SetContextRow(0);
  ScriptedNumberInput input;
  input.Queue(1);
  ASSERT_TRUE(editor.StartNumbering(input));
  prompt.SetNextAnswer(false);
  EXPECT_FALSE(editor.ToggleTvRadio());
  EXPECT_TRUE(editor.IsNumbering());
  EXPECT_EQ(editor.CurrentKind(), ServiceKind::Tv);
  prompt.SetNextAnswer(true);
  EXPECT_TRUE(editor.ToggleTvRadio());
  EXPECT_EQ(prompt.Records().back().text, GetText(140));
  EXPECT_FALSE(editor.IsNumbering());
  EXPECT_EQ(editor.CurrentKind(), ServiceKind::Radio);
  EXPECT_EQ(test::RowNames(editor.Channels()), Names({1, 2}, "R"));
}

TEST_F(EditOperations, EmptyChannelOnABadlyNumberedListOnlyRenumbers) {
  AddServices(list, ServiceKind::Tv, 4);
  list.TvServices()[2]->ChannelNo = 9;  // 1 2 9 4
  Show();
  editor.SetContextRow(1);
  EXPECT_FALSE(editor.AddEmptyChannel());
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text, GetText(96));
  EXPECT_EQ(prompt.Records()[0].caption, GetText(291));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 2, 4, 3}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 4));
}

TEST_F(EditOperations, EmptyChannelTakesTheContextRowsNumberAndCarrier) {
  AddServices(list, ServiceKind::Radio, 5, "R");
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Radio, {3, 5});
  list.RadioServices()[2]->Carrier = ServiceCarrier{1808, kBandC, 12000, 27500, 'V', 15};
  Show();
  ASSERT_TRUE(editor.ToggleTvRadio());
  editor.SetContextRow(static_cast<long long>(RowOfNumber(editor.Channels(), 3)));
  ASSERT_TRUE(editor.AddEmptyChannel());
  ASSERT_EQ(list.RadioServices().size(), 6u);
  const Service& added = *list.RadioServices()[2];
  EXPECT_EQ(added.Name, "Empty Channel");
  EXPECT_EQ(added.ChannelNo, 3);
  EXPECT_EQ(added.ServiceType, kServiceTypeRadio);
  EXPECT_EQ(added.Carrier, (ServiceCarrier{1808, kBandC, 12000, 27500, 'V', 15}));
  EXPECT_TRUE(added.ProviderName.empty());
  EXPECT_EQ(added.Sid, 0);
  EXPECT_EQ(ListNames(list, ServiceKind::Radio),
            (std::vector<std::string>{"R1", "R2", "Empty Channel", "R3", "R4", "R5"}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Radio), Iota(1, 6));
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{4, 6}));
}

TEST_F(EditOperations, ChangeChannelNumberDownMovesTheOthersUp) {
  AddServices(list, ServiceKind::Tv, 10);
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {3, 8, 9});
  Show();
  Service& s8 = *list.TvServices()[7];
  Service edited = s8;
  edited.ChannelNo = 3;
  edited.Name = "Eight";
  edited.ServiceType = kServiceTypeRadio;  // the list decides the type
  editor.ChangeChannelNumber(s8, edited);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv),
            (std::vector<std::string>{"S1", "S2", "Eight", "S3", "S4", "S5", "S6", "S7", "S9", "S10"}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 10));
  EXPECT_EQ(list.TvServices()[2]->ServiceType, kServiceTypeTv);
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{4, 3, 9}));
}

TEST_F(EditOperations, ChangeChannelNumberUpMovesTheOthersDown) {
  AddServices(list, ServiceKind::Tv, 10);
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {3, 8, 9});
  Show();
  Service& s3 = *list.TvServices()[2];
  Service edited = s3;
  edited.ChannelNo = 8;
  editor.ChangeChannelNumber(s3, edited);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 2, 4, 5, 6, 7, 8, 3, 9, 10}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 10));
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{8, 7, 9}));
}

TEST_F(EditOperations, ChangeWithoutNewNumberOnlyTakesTheFields) {
  AddServices(list, ServiceKind::Tv, 3);
  Show();
  Service& s2 = *list.TvServices()[1];
  Service edited = s2;
  edited.Locked = true;
  edited.Sid = 77;
  editor.ChangeChannelNumber(s2, edited);
  EXPECT_TRUE(list.TvServices()[1]->Locked);
  EXPECT_EQ(list.TvServices()[1]->Sid, 77);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 2, 3}));
}

TEST_F(EditOperations, LockAndSkipTheSelection) {
  AddServices(list, ServiceKind::Tv, 3);
  Show();
  SelectNumbers(editor.Channels(), {1, 3});
  editor.SetLocked(true);
  editor.SetSkipped(true);
  SelectNumbers(editor.Channels(), {3});
  editor.SetSkipped(false);
  EXPECT_EQ(editor.Channels().CellText(0, kColChildrenLock), "true");
  EXPECT_EQ(editor.Channels().CellText(0, kColSkip), "true");
  EXPECT_EQ(editor.Channels().CellText(1, kColChildrenLock), "false");
  EXPECT_TRUE(list.TvServices()[2]->Locked);
  EXPECT_FALSE(list.TvServices()[2]->Skipped);
}

// Favourites are written by channel number and read back by position, so a
// deletion must leave both lists numbered 1..n, the hidden one included.
TEST_F(EditOperations, DeletingASatelliteKeepsTheHiddenKindsFavouritesIntact) {
  AddServices(list, ServiceKind::Tv, 4);
  AddServices(list, ServiceKind::Radio, 5, "R");
  auto sat = std::make_unique<Satellite>();
  sat->Longitude = 130;
  const Satellite* hotBird = list.AddSatellite(std::move(sat));
  list.RadioServices()[1]->Carrier.Longitude = 130;  // R2
  list.TvServices()[0]->Carrier.Longitude = 130;     // S1
  auto radio = std::make_unique<FavoriteGroup>(kFavoriteRadio, "Radio", 1);
  radio->AddReference(list.RadioServices()[4].get());  // R5
  radio->AddReference(list.RadioServices()[2].get());  // R3
  list.AddFavoriteGroup(std::move(radio));
  FavoriteGroup* fsr = AddFastScanGroup(list, ServiceKind::Radio, {4});
  Show();
  editor.DeleteServicesOfSatellite(*hotBird);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({2, 3, 4}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 3));
  EXPECT_EQ(ListNames(list, ServiceKind::Radio), Names({1, 3, 4, 5}, "R"));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Radio), Iota(1, 4));
  EXPECT_EQ(MemberNumbers(*fsr), (std::vector<int>{3}));

  ChannelList reread;
  ASSERT_EQ(ReadChannelBuffer(reread, ChannelFileBytes(list, editor)), ReadResult::Loaded);
  ASSERT_EQ(reread.RadioFavorites().size(), 2u);
  EXPECT_EQ(test::MemberNames(*reread.RadioFavorites()[0]), Names({5, 3}, "R"));
}

TEST_F(EditOperations, DeletingATransponderTakesOnlyItsServices) {
  AddServices(list, ServiceKind::Tv, 4);  // frequencies 11000..11003 at 192
  auto sat = std::make_unique<Satellite>();
  sat->Longitude = 192;
  auto tp = std::make_unique<Transponder>();
  tp->Frequency = 11001;
  const Transponder& t = *tp;
  sat->mTransponder.push_back(std::move(tp));
  const Satellite* astra = list.AddSatellite(std::move(sat));
  Show();
  editor.DeleteServicesOfTransponder(*astra, t);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 3, 4}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 3));
  EXPECT_EQ(test::RowNames(editor.Channels()), Names({1, 3, 4}));
}

// Two transponders may share a frequency in the two polarisations, and a
// satellite saved at the longitude of another shares its services' longitude.
TEST_F(EditOperations, DeletingATransponderOrADuplicateSatelliteSparesTheOthersServices) {
  AddServices(list, ServiceKind::Tv, 4);    // frequencies 11000..11003 at 192
  list.TvServices()[1]->Carrier.Pol = 'H';  // S2 on 11001 H
  list.TvServices()[2]->Carrier.Frequency = 11001;
  list.TvServices()[2]->Carrier.Pol = 'V';  // S3 on 11001 V
  auto sat = std::make_unique<Satellite>();
  sat->Longitude = 192;
  for (const char pol : {'H', 'V'}) {
    auto tp = std::make_unique<Transponder>();
    tp->Frequency = 11001;
    tp->Pol = pol;
    sat->mTransponder.push_back(std::move(tp));
  }
  const Satellite* astra = list.AddSatellite(std::move(sat));
  Satellite* copy = editor.NewSatellite();
  copy->Longitude = 192;
  Show();
  editor.DeleteServicesOfTransponder(*astra, *astra->mTransponder[0]);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 3, 4})) << "only the horizontal one";
  editor.DeleteServicesOfSatellite(*copy);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({1, 3, 4})) << "the empty copy owns none of them";
}

TEST_F(EditOperations, NewSatelliteIsAppendedEmpty) {
  auto sat = std::make_unique<Satellite>();
  sat->SatName = "Astra";
  list.AddSatellite(std::move(sat));
  Satellite* created = editor.NewSatellite();
  ASSERT_EQ(list.Satellites().size(), 2u);
  EXPECT_EQ(list.Satellites()[1].get(), created);
  EXPECT_EQ(created->SatName, "New Satellite");
  EXPECT_EQ(created->SatIndex, 1);
  EXPECT_EQ(created->Longitude, 0);
  EXPECT_EQ(created->Band, 0);
  EXPECT_TRUE(created->mTransponder.empty());
}

TEST_F(EditOperations, TheWriterSortsAndRenumbersThroughTheEditor) {
  AddServices(list, ServiceKind::Tv, 3);
  list.TvServices()[0]->ChannelNo = 5;  // 5 2 3
  Show();
  editor.HeaderClick(kColServiceName);
  vantrel::test::TempDir dir;
  prompt.SetNextAnswer(true);
  ASSERT_EQ(WriteChannelFile(list, dir.File("out.xml"), false, editor), WriteResult::Written);
  EXPECT_EQ(prompt.Records()[0].text, GetText(98));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), Names({2, 3, 1}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 3));
}

}  // namespace
}  // namespace vantrel::channels
