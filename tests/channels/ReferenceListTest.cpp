// Putting a list in the order of a reference: another channel list or a list of names.
#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "channels/ReferenceList.h"

namespace vantrel::channels {
namespace {

using test::AddServices;
using test::Iota;
using test::ListNames;
using test::ListNumbers;

// Services S1..S10 with ids (sid = number, tsid 7, onid 1).
void BuildTen(ChannelList& list) {
  AddServices(list, ServiceKind::Tv, 10);
  for (const auto& s : list.TvServices()) {
    s->Sid = s->ChannelNo;
    s->Tsid = 7;
    s->Onid = 1;
  }
}

TEST(ReferenceList, HalfFoundMoveToTheTopInReferenceOrderTheRestKeepTheirOrder) {
  ChannelList list;
  BuildTen(list);
  CChannelEditor editor(list);
  editor.ShowList();
  // Names match ignoring case and spaces; two entries find nothing.
  const ReferenceList ref = ReferenceFromText("\xEF\xBB\xBFs 9\r\nS3\nNo Such TV\n\n  s10  \ns 1\nS5\nGone\n");
  ASSERT_EQ(ref.entries.size(), 7u);
  const ReferencePlan plan = PlanReference(list, ref, false);
  EXPECT_EQ(plan.matched, 5u);
  EXPECT_EQ(plan.notFound, (std::vector<std::string>{"No Such TV", "Gone"}));
  EXPECT_EQ(ListNames(list, ServiceKind::Tv)[0], "S1") << "planning changes nothing";
  EXPECT_FALSE(editor.IsModified());

  editor.ApplyReference(plan);
  const std::vector<std::string> expected{"S9", "S3", "S10", "S1", "S5", "S2", "S4", "S6", "S7", "S8"};
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), expected);
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), Iota(1, 10));
  EXPECT_EQ(test::RowNames(editor.Channels()), expected) << "the channel list shows the new order";
  EXPECT_EQ(plan.moved, 9u);
  EXPECT_EQ(plan.unchanged, 1u) << "S5 keeps number 5";
  EXPECT_TRUE(editor.IsModified());
}

TEST(ReferenceList, IdsComeBeforeNamesAndEachServiceIsTakenOnce) {
  ChannelList list;
  BuildTen(list);
  list.TvServices()[3]->Name = "S2";  // S4 now shares its name with S2
  CChannelEditor editor(list);
  editor.ShowList();

  ChannelList other;
  AddServices(other, ServiceKind::Tv, 3, "X");
  // "S2" by name first, then a renamed S2 by its ids: the ids keep S2, the
  // name falls to the other service of that name (S4).
  other.TvServices()[0]->Name = "s2";
  other.TvServices()[0]->Sid = 99;
  other.TvServices()[1]->Name = "Renamed";
  other.TvServices()[1]->Sid = 2;
  other.TvServices()[1]->Tsid = 7;
  other.TvServices()[1]->Onid = 1;
  other.TvServices()[2]->Name = "S2";  // a third entry of the name finds nothing left
  other.TvServices()[2]->Sid = 98;
  const ReferencePlan plan = PlanReference(list, ReferenceFromChannelList(other), false);
  editor.ApplyReference(plan);
  EXPECT_EQ(list.TvServices()[0].get()->Sid, 4);
  EXPECT_EQ(list.TvServices()[1].get()->Sid, 2);
  EXPECT_EQ(plan.matched, 2u);
  EXPECT_EQ(plan.notFound, std::vector<std::string>{"S2"});
  // A radio reference entry never moves a TV service.
  ChannelList radio;
  AddServices(radio, ServiceKind::Radio, 1, "S");
  EXPECT_EQ(PlanReference(list, ReferenceFromChannelList(radio), false).matched, 0u);
}

TEST(ReferenceList, FavouritesReplaceTheGroupOfTheSameNameAndFastScanCopiesFollow) {
  ChannelList list;
  BuildTen(list);
  auto sport = std::make_unique<FavoriteGroup>(kFavoriteTv, "SPORT", 0);
  sport->AddReference(list.TvServices()[0].get());
  list.AddFavoriteGroup(std::move(sport));
  FavoriteGroup* fs = test::AddFastScanGroup(list, ServiceKind::Tv, {8, 9});
  CChannelEditor editor(list);
  editor.ShowList();

  ChannelList other;
  AddServices(other, ServiceKind::Tv, 2, "S", 9);  // S9, S10
  auto group = std::make_unique<FavoriteGroup>(kFavoriteTv, "Sport", 0);
  group->AddReference(other.TvServices()[1].get());
  group->AddReference(other.TvServices()[0].get());
  other.AddFavoriteGroup(std::move(group));
  auto news = std::make_unique<FavoriteGroup>(kFavoriteTv, "News", 1);
  news->AddReference(other.TvServices()[0].get());
  other.AddFavoriteGroup(std::move(news));

  editor.ApplyReference(PlanReference(list, ReferenceFromChannelList(other), true));
  ASSERT_EQ(list.TvFavorites().size(), 3u) << "Sport replaced SPORT, News was added";
  EXPECT_EQ(test::MemberNames(*list.TvFavorites()[0]), (std::vector<std::string>{"S10", "S9"}));
  EXPECT_EQ(list.TvFavorites()[0]->Name, "SPORT");
  EXPECT_EQ(list.TvFavorites()[2]->Name, "News");
  EXPECT_EQ(test::MemberNames(*list.TvFavorites()[2]), std::vector<std::string>{"S9"});
  // S9 is now number 1, S8 number 10: the copies carry the new numbers.
  EXPECT_EQ(test::MemberNumbers(*fs), (std::vector<int>{10, 1}));
  EXPECT_EQ(editor.Tree().Groups(ServiceKind::Tv).size(), 3u);
}

}  // namespace
}  // namespace vantrel::channels
