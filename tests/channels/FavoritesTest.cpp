// Favourite groups in the editor: names of new groups, adding without
// doubles, LCNs of FastScan copies, renaming rules, member deletion and
// reordering, and the messages each refusal shows.
#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelEditor.h"
#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace vantrel::channels {
namespace {

using test::AddFastScanGroup;
using test::AddServices;
using test::MemberNames;
using test::MemberNumbers;
using test::ScriptedNumberInput;
using test::SelectNumbers;

std::vector<int> Lcns(const FavoriteGroup& group) {
  std::vector<int> out;
  for (std::size_t i = 0; i < group.MemberCount(); ++i) out.push_back(group.Member(i)->LCNNo);
  return out;
}

class Favorites : public ::testing::Test {
 protected:
  void SetUp() override {
    AddServices(list, ServiceKind::Tv, 6);
    AddServices(list, ServiceKind::Radio, 3, "R");
    editor.ShowList();
  }
  void Select(FavoriteGroup* group) {
    editor.Tree().SelectGroup(group);
    editor.ShowSelectedTreeItem();
  }

  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  CChannelEditor editor{list};
};

TEST_F(Favorites, NewGroupsTakeTheFirstFreeName) {
  FavoriteGroup* a = editor.CreateFavoriteGroup(ServiceKind::Tv);
  FavoriteGroup* b = editor.CreateFavoriteGroup(ServiceKind::Tv);
  FavoriteGroup* c = editor.CreateFavoriteGroup(ServiceKind::Tv);
  EXPECT_EQ(a->Name, "Favorite");
  EXPECT_EQ(b->Name, "Favorite(1)");
  EXPECT_EQ(c->Name, "Favorite(2)");
  EXPECT_EQ(c->ServiceType, kFavoriteTv);
  EXPECT_EQ(c->GroupId, 2);
  EXPECT_EQ(editor.Tree().SelectedGroup(), c);
  EXPECT_EQ(editor.Tree().EditingGroup(), c) << "label editing starts at once";
  EXPECT_EQ(editor.Tree().Groups(ServiceKind::Tv), (std::vector<FavoriteGroup*>{a, b, c}));

  FavoriteGroup* r = editor.CreateFavoriteGroup(ServiceKind::Radio);
  EXPECT_EQ(r->Name, "Favorite") << "names are free per kind";
  EXPECT_EQ(r->ServiceType, kFavoriteRadio);
  EXPECT_EQ(list.RadioFavorites().size(), 1u);

  a->Name = "favorite";  // the check is case-sensitive, and a freed name is taken again
  EXPECT_EQ(editor.CreateFavoriteGroup(ServiceKind::Tv)->Name, "Favorite");
}

TEST_F(Favorites, CreateByTreeSelection) {
  editor.Tree().ClearSelection();
  EXPECT_EQ(editor.CreateFavoriteGroupForSelection(), nullptr);
  editor.Tree().SelectNode(ServiceKind::Radio);
  FavoriteGroup* r = editor.CreateFavoriteGroupForSelection();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(editor.Tree().NodeOf(r), ServiceKind::Radio);
  FavoriteGroup* r2 = editor.CreateFavoriteGroupForSelection();  // the radio group is selected now
  EXPECT_EQ(editor.Tree().NodeOf(r2), ServiceKind::Radio);
}

TEST_F(Favorites, AddingTwiceAddsOnce) {
  FavoriteGroup* group = editor.CreateFavoriteGroup(ServiceKind::Tv);
  SelectNumbers(editor.Channels(), {2, 4});
  EXPECT_EQ(editor.AddToFavoriteGroup(group), 2u);
  SelectNumbers(editor.Channels(), {4, 1});
  EXPECT_EQ(editor.AddToFavoriteGroup(group), 1u);
  EXPECT_EQ(MemberNames(*group), (std::vector<std::string>{"S2", "S4", "S1"}));
  EXPECT_EQ(group->Member(0), list.TvServices()[1].get()) << "TV groups hold the services themselves";
  ASSERT_EQ(editor.Members().RowCount(), 3u);
  EXPECT_EQ(editor.Members().CellText(0, kMemberColNumber), "1") << "the service list is sorted by number";
}

TEST_F(Favorites, FastScanCopiesContinueTheLcnsAndCompareByNumber) {
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {3});  // LCN 100
  editor.ShowList();
  SelectNumbers(editor.Channels(), {3, 5, 6});
  EXPECT_EQ(editor.AddToFavoriteGroup(fs), 2u) << "channel 3 is already a member by number";
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{3, 5, 6}));
  EXPECT_EQ(Lcns(*fs), (std::vector<int>{100, 101, 102}));
  const Service& copy = *fs->Member(1);
  EXPECT_TRUE(fs->OwnsMember(1));
  EXPECT_EQ(copy.Name, "S5");
  EXPECT_EQ(copy.Carrier, ServiceCarrier{}) << "a copy made here holds number, type and name only";

  auto empty = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "Empty", 2);
  FavoriteGroup* e = empty.get();
  list.AddFavoriteGroup(std::move(empty));
  editor.ShowList();
  SelectNumbers(editor.Channels(), {1, 2});
  editor.AddToFavoriteGroup(e);
  EXPECT_EQ(Lcns(*e), (std::vector<int>{1, 2}));
}

TEST_F(Favorites, OnlyGroupsOfTheKindShownTakeChannels) {
  FavoriteGroup* radio = editor.CreateFavoriteGroup(ServiceKind::Radio);
  FavoriteGroup* tv = editor.CreateFavoriteGroup(ServiceKind::Tv);
  SelectNumbers(editor.Channels(), {1});
  EXPECT_EQ(editor.AddToFavoriteGroup(radio), 0u);
  EXPECT_TRUE(radio->Empty());
  editor.AddToAllFavoriteGroups();
  EXPECT_EQ(MemberNames(*tv), (std::vector<std::string>{"S1"}));
  EXPECT_TRUE(radio->Empty());
}

TEST_F(Favorites, RemovingFromAllGroupsTakesReferencesAndOneCopyPerNumber) {
  auto tv = std::make_unique<FavoriteGroup>(kFavoriteTv, "A", 1);
  tv->AddReference(list.TvServices()[0].get());
  tv->AddReference(list.TvServices()[1].get());
  FavoriteGroup* a = tv.get();
  list.AddFavoriteGroup(std::move(tv));
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {2, 2, 3});
  FavoriteGroup* fsr = AddFastScanGroup(list, ServiceKind::Radio, {2});
  editor.ShowList();
  SelectNumbers(editor.Channels(), {2});
  editor.RemoveFromAllFavoriteGroups();
  EXPECT_EQ(MemberNames(*a), (std::vector<std::string>{"S1"}));
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{2, 3})) << "only the first copy of 2";
  EXPECT_EQ(Lcns(*fs), (std::vector<int>{101, 102}));
  EXPECT_EQ(MemberNumbers(*fsr), (std::vector<int>{2})) << "radio groups are not touched";
  EXPECT_EQ(editor.Members().Group(), a);
  EXPECT_EQ(editor.Members().RowCount(), 1u);
}

TEST_F(Favorites, RenameRules) {
  FavoriteGroup* sport = editor.CreateFavoriteGroup(ServiceKind::Tv);
  ASSERT_TRUE(editor.RenameFavoriteGroup(*sport, "SPORT"));
  EXPECT_EQ(editor.Tree().EditingGroup(), nullptr);
  FavoriteGroup* other = editor.CreateFavoriteGroup(ServiceKind::Tv);
  FavoriteGroup* radio = editor.CreateFavoriteGroup(ServiceKind::Radio);
  prompt.Clear();

  EXPECT_FALSE(editor.RenameFavoriteGroup(*other, "Sport"));
  EXPECT_EQ(other->Name, "Favorite");
  EXPECT_EQ(editor.Tree().EditingGroup(), other) << "editing starts again";
  EXPECT_TRUE(editor.RenameFavoriteGroup(*radio, "Sport")) << "another kind may have the name";

  EXPECT_FALSE(editor.RenameFavoriteGroup(*other, "a@b"));
  EXPECT_FALSE(editor.RenameFavoriteGroup(*other, ""));
  EXPECT_FALSE(editor.RenameFavoriteGroup(*other, std::string(32, 'x')));
  EXPECT_TRUE(editor.RenameFavoriteGroup(*other, std::string(31, 'x')));
  EXPECT_TRUE(editor.RenameFavoriteGroup(*sport, "Sport")) << "its own name in another case is accepted as typed";
  EXPECT_EQ(sport->Name, "Sport");
  EXPECT_TRUE(editor.RenameFavoriteGroup(*other, "Ünïcödé name with 31 characters")) << "characters, not bytes";
  EXPECT_FALSE(editor.RenameFavoriteGroup(*other, "Ünïcödé name with 32 characters!"));

  const auto& r = prompt.Records();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0].text, GetText(297));
  EXPECT_EQ(r[0].caption, GetText(287));
  EXPECT_EQ(r[1].text, GetText(116));
  EXPECT_EQ(r[1].caption, GetText(291)) << "the '@' refusal is a notice";
  EXPECT_EQ(r[2].text, GetText(117));
  EXPECT_EQ(r[3].text, GetText(118));
  EXPECT_EQ(r[4].text, GetText(118));
}

TEST_F(Favorites, RenameComparesCaseBeyondAscii) {
  FavoriteGroup* a = editor.CreateFavoriteGroup(ServiceKind::Tv);
  FavoriteGroup* b = editor.CreateFavoriteGroup(ServiceKind::Tv);
  ASSERT_TRUE(editor.RenameFavoriteGroup(*a, "Спорт"));
  EXPECT_FALSE(editor.RenameFavoriteGroup(*b, "СПОРТ"));
}

TEST_F(Favorites, DeletingMembersAsksAndKeepsTheRowOrder) {
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {5, 1, 3, 2});
  editor.ShowList();  // selects the group
  ASSERT_EQ(editor.Members().Group(), fs);
  editor.Members().SortByFirstColumn();   // rows by LCN: 100 101 102 103, member order
  editor.Members().SetSelected(1, true);  // channel 1
  editor.Members().SetSelected(2, true);  // channel 3
  prompt.SetNextAnswer(false);
  EXPECT_FALSE(editor.DeleteGroupMembers());
  EXPECT_EQ(fs->MemberCount(), 4u);
  EXPECT_EQ(prompt.Records()[0].text, "Are you sure you want to delete 2 items ?");
  prompt.SetNextAnswer(true);
  ASSERT_TRUE(editor.DeleteGroupMembers());
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{5, 2}));
  ASSERT_EQ(editor.Members().RowCount(), 2u);
  EXPECT_EQ(editor.Members().MemberAt(0), fs->Member(0));
  EXPECT_EQ(editor.Members().MemberAt(1), fs->Member(1));

  editor.Members().SetSelected(1, true);
  prompt.SetNextAnswer(true);
  ASSERT_TRUE(editor.DeleteGroupMembers());
  EXPECT_EQ(prompt.Records().back().text, "Are you sure you want to delete 'S2' item ?");
  EXPECT_EQ(MemberNumbers(*fs), (std::vector<int>{5}));

  editor.Tree().SelectNode(ServiceKind::Tv);
  EXPECT_FALSE(editor.DeleteGroupMembers()) << "a node is not a group";
}

TEST_F(Favorites, DeletingTheSelectedGroup) {
  editor.CreateFavoriteGroup(ServiceKind::Radio);
  ASSERT_TRUE(editor.DeleteSelectedGroup());
  EXPECT_TRUE(list.RadioFavorites().empty());
  EXPECT_TRUE(editor.Tree().Groups(ServiceKind::Radio).empty());
  EXPECT_EQ(editor.Tree().SelectedKind(), TreeItemKind::RadioNode);
  EXPECT_TRUE(editor.Members().Empty());
  EXPECT_FALSE(editor.DeleteSelectedGroup()) << "nodes are never deleted";

  FavoriteGroup* first = editor.CreateFavoriteGroup(ServiceKind::Tv);
  FavoriteGroup* second = editor.CreateFavoriteGroup(ServiceKind::Tv);
  ASSERT_TRUE(editor.DeleteGroup(first));  // the tree menu on a group that is not selected
  EXPECT_EQ(editor.Tree().SelectedGroup(), second);
  EXPECT_EQ(editor.Members().Group(), second);
  EXPECT_EQ(editor.Tree().Groups(ServiceKind::Tv), (std::vector<FavoriteGroup*>{second}));
  EXPECT_TRUE(prompt.Records().empty()) << "no question";
}

TEST_F(Favorites, ReorderPutsTheSelectionAfterTheTarget) {
  auto tv = std::make_unique<FavoriteGroup>(kFavoriteTv, "A", 1);
  for (int i = 0; i < 6; ++i) tv->AddReference(list.TvServices()[static_cast<std::size_t>(i)].get());
  FavoriteGroup* a = tv.get();
  list.AddFavoriteGroup(std::move(tv));
  editor.ShowList();
  editor.Members().SetSelected(0, true);
  editor.Members().SetSelected(4, true);
  ASSERT_TRUE(editor.ReorderGroupMembers(2));
  EXPECT_EQ(MemberNames(*a), (std::vector<std::string>{"S2", "S3", "S1", "S5", "S4", "S6"}));
  EXPECT_EQ(editor.Members().SelectedRows(), (std::vector<std::size_t>{2, 3}));
  EXPECT_EQ(editor.Members().MemberAt(3), a->Member(3));

  // The written file keeps the new member order.
  ChannelList reread;
  ASSERT_EQ(ReadChannelBuffer(reread, ChannelFileBytes(list, editor)), ReadResult::Loaded);
  EXPECT_EQ(MemberNames(*reread.TvFavorites()[0]), MemberNames(*a));
}

TEST_F(Favorites, ReorderWithoutAGroupIsRefused) {
  editor.Tree().SelectNode(ServiceKind::Tv);
  EXPECT_FALSE(editor.ReorderGroupMembers(0));
  editor.Tree().ClearSelection();
  EXPECT_FALSE(editor.ReorderGroupMembers(0));
  FavoriteGroup stray(kFavoriteTv, "stray");
  editor.Tree().SelectGroup(&stray);
  EXPECT_FALSE(editor.ReorderGroupMembers(0));
  ASSERT_EQ(prompt.Records().size(), 3u);
  EXPECT_EQ(prompt.Records()[0].text, GetText(295));
  EXPECT_EQ(prompt.Records()[1].text, GetText(295));
  EXPECT_EQ(prompt.Records()[2].text, GetText(296));
  EXPECT_EQ(prompt.Records()[2].caption, GetText(287));
}

TEST_F(Favorites, AutoNumberingGivesTheSelectedMembersConsecutiveLcns) {
  FavoriteGroup* fs = AddFastScanGroup(list, ServiceKind::Tv, {1, 2, 3, 4});
  editor.ShowList();
  editor.Members().SetSelected(1, true);
  editor.Members().SetSelected(3, true);
  ScriptedNumberInput input;
  input.Queue(500);
  ASSERT_TRUE(editor.AutoNumberLcn(input));
  EXPECT_EQ(input.Requests()[0].mode, NumberInputMode::Lcn);
  EXPECT_EQ(input.Requests()[0].maximum, 99999 - 6) << "room for every channel row";
  EXPECT_EQ(Lcns(*fs), (std::vector<int>{100, 500, 102, 501}));
  EXPECT_EQ(editor.Members().CellText(1, kMemberColNumber), "500");
  input.Queue(std::nullopt);
  EXPECT_FALSE(editor.AutoNumberLcn(input));
  EXPECT_EQ(Lcns(*fs), (std::vector<int>{100, 500, 102, 501}));
}

TEST_F(Favorites, TheWriterTakesTheGroupsInTreeOrder) {
  editor.CreateFavoriteGroup(ServiceKind::Radio);
  editor.CreateFavoriteGroup(ServiceKind::Tv);
  const auto tvGroups = editor.TvNodeGroups(list);
  const auto radioGroups = editor.RadioNodeGroups(list);
  ASSERT_EQ(tvGroups.size(), 1u);
  ASSERT_EQ(radioGroups.size(), 1u);
  EXPECT_EQ(tvGroups[0], list.TvFavorites()[0].get());
  // A group the tree never showed is still written.
  list.AddFavoriteGroup(std::make_unique<FavoriteGroup>(kFavoriteTv, "Unshown", 3));
  EXPECT_EQ(editor.TvNodeGroups(list).size(), 2u);
}

}  // namespace
}  // namespace vantrel::channels
