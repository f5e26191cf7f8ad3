// The duplicate finder with its deletion, and the check before saving or
// sending with its fixes, on lists built in code.
#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "channels/ChannelEditor.h"
#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "channels/DuplicateFinder.h"
#include "channels/ListCheck.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace vantrel::channels {
namespace {

using test::ListNames;
using test::ListNumbers;
using test::MemberNames;
using test::MemberNumbers;

class ListTools : public ::testing::Test {
 protected:
  Service* Add(ServiceKind kind, const std::string& name, int sid, int longitude = 192, bool hd = false) {
    auto s = std::make_unique<Service>();
    s->ServiceType = kind == ServiceKind::Tv ? kServiceTypeTv : kServiceTypeRadio;
    s->ChannelNo = static_cast<int>(list.Services(kind).size()) + 1;
    s->Name = name;
    s->Sid = sid;
    s->Tsid = 1079;
    s->Onid = 1;
    s->IsHD = hd;
    s->Carrier.Longitude = longitude;
    Service* raw = s.get();
    list.AddService(std::move(s));
    return raw;
  }
  FavoriteGroup* Group(int kind, const std::string& name, const std::vector<Service*>& members) {
    auto g = std::make_unique<FavoriteGroup>(kind, name, 1);
    for (Service* m : members) g->AddReference(m);
    FavoriteGroup* raw = g.get();
    list.AddFavoriteGroup(std::move(g));
    return raw;
  }
  void AddSatellite(int longitude, const std::string& name = "Sat") {
    auto sat = std::make_unique<Satellite>();
    sat->SatName = name;
    sat->Longitude = longitude;
    list.AddSatellite(std::move(sat));
  }
  std::vector<FindingKind> Kinds(const std::vector<ListFinding>& findings) {
    std::vector<FindingKind> out;
    for (const auto& f : findings) out.push_back(f.what);
    return out;
  }

  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  CChannelEditor editor{list};
};

TEST_F(ListTools, TheRulesGroupServicesOfOneKindAndProposeTheKeeper) {
  Service* sd = Add(ServiceKind::Tv, "Das Erste", 28106);                  // 1
  Service* other = Add(ServiceKind::Tv, "ZDF", 28006);                     // 2
  Service* hd3 = Add(ServiceKind::Tv, "Das Erste HD", 28106, 192, true);   // 3
  Service* hd4 = Add(ServiceKind::Tv, "das  erste hd", 28106, 192, true);  // 4 (triple with 1 and 3)
  Add(ServiceKind::Tv, "Das Erste HD", 11, 130, true);                     // 5: same name, other satellite
  Add(ServiceKind::Tv, "Empty Channel", 0);                                // 6, 7: placeholders, no id
  Add(ServiceKind::Tv, "Empty Channel", 0);
  Add(ServiceKind::Radio, "ZDF", 28006);  // same ids as a TV service, other kind
  Service* r1 = Add(ServiceKind::Radio, "hr3", 28419);
  Service* r2 = Add(ServiceKind::Radio, "HR3", 28419);
  r1->ChannelNo = r2->ChannelNo = 2;  // equal numbers: more favourite groups decide
  Group(kFavoriteRadio, "A", {r2});
  (void)other;

  const auto exact = FindDuplicates(list, DuplicateRule::Exact);
  ASSERT_EQ(exact.size(), 2u);
  EXPECT_EQ(exact[0].kind, ServiceKind::Tv);
  EXPECT_EQ(exact[0].services, (std::vector<Service*>{sd, hd3, hd4}));
  EXPECT_EQ(exact[0].Keeper(), hd3) << "HD first, then the lower number";
  EXPECT_EQ(exact[1].kind, ServiceKind::Radio);
  EXPECT_EQ(exact[1].Keeper(), r2) << "the one in more favourite groups";

  const auto loose = FindDuplicates(list, DuplicateRule::Loose);
  ASSERT_EQ(loose.size(), 2u);
  EXPECT_EQ(loose[0].services, (std::vector<Service*>{hd3, hd4})) << "case and spaces ignored, one satellite";
  EXPECT_EQ(loose[1].services, (std::vector<Service*>{r1, r2}));
}

TEST_F(ListTools, DeletingDuplicatesMovesMembershipsToTheKeeperAndRenumbers) {
  AddSatellite(192);
  Service* a = Add(ServiceKind::Tv, "A", 100);             // 1
  Service* x = Add(ServiceKind::Tv, "X", 200);             // 2
  Service* b = Add(ServiceKind::Tv, "B", 100);             // 3
  Service* c = Add(ServiceKind::Tv, "C", 100, 192, true);  // 4: the keeper
  Add(ServiceKind::Tv, "Y", 300);                          // 5
  FavoriteGroup* both = Group(kFavoriteTv, "Both", {a, x, c});
  FavoriteGroup* moved = Group(kFavoriteTv, "Moved", {x, b, a});
  auto fs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "FS", 1);
  for (const auto& [no, lcn] : {std::pair{1, 10}, {3, 11}, {5, 12}}) {
    auto copy = std::make_unique<Service>(*list.ServiceAtPosition(ServiceKind::Tv, no));
    copy->LCNNo = lcn;
    fs->AddCopy(std::move(copy));
  }
  FavoriteGroup* fastScan = fs.get();
  list.AddFavoriteGroup(std::move(fs));
  editor.ShowList();

  auto groups = FindDuplicates(list, DuplicateRule::Exact);
  ASSERT_EQ(groups.size(), 1u);
  ASSERT_EQ(groups[0].Keeper(), c);
  prompt.SetNextAnswer(false);
  EXPECT_EQ(editor.DeleteDuplicates(groups), 0u);
  EXPECT_EQ(list.TvServices().size(), 5u) << "No changes nothing";
  EXPECT_FALSE(editor.IsModified());

  prompt.SetNextAnswer(true);
  EXPECT_EQ(editor.DeleteDuplicates(groups), 2u);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), (std::vector<std::string>{"X", "C", "Y"}));
  EXPECT_EQ(ListNumbers(list, ServiceKind::Tv), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(MemberNames(*both), (std::vector<std::string>{"X", "C"})) << "the keeper once";
  EXPECT_EQ(MemberNames(*moved), (std::vector<std::string>{"X", "C"})) << "in the duplicate's place";
  // The first duplicate's copy went over to the keeper with its LCN; the second was dropped.
  EXPECT_EQ(MemberNumbers(*fastScan), (std::vector<int>{2, 3}));
  EXPECT_EQ(fastScan->Member(0)->LCNNo, 10);
  EXPECT_EQ(fastScan->Member(0)->Name, "C");
  EXPECT_EQ(fastScan->Member(1)->Name, "Y");
  EXPECT_TRUE(editor.IsModified());
  EXPECT_TRUE(CheckChannelList(list).empty());
}

TEST_F(ListTools, AKeeperSharingItsNumberWithADuplicateKeepsItsFastScanCopy) {
  Service* a = Add(ServiceKind::Tv, "A", 100, 192, true);
  Service* b = Add(ServiceKind::Tv, "B", 100);
  b->ChannelNo = a->ChannelNo;  // a file with a number twice
  auto fs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "FS", 1);
  auto copy = std::make_unique<Service>(*a);
  copy->LCNNo = 7;
  fs->AddCopy(std::move(copy));
  FavoriteGroup* fastScan = fs.get();
  list.AddFavoriteGroup(std::move(fs));
  editor.ShowList();
  prompt.SetNextAnswer(true);
  ASSERT_EQ(editor.DeleteDuplicates(FindDuplicates(list, DuplicateRule::Exact)), 1u);
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), (std::vector<std::string>{"A"}));
  ASSERT_EQ(fastScan->MemberCount(), 1u) << "removing B must not take A's copy with it";
  EXPECT_EQ(fastScan->Member(0)->LCNNo, 7);
}

TEST_F(ListTools, TheCheckFindsWhatTheReceiverCannotTake) {
  AddSatellite(192, std::string(260, 's'));  // the file would hold an empty name
  Service* s1 = Add(ServiceKind::Tv, "S1", 1);
  Add(ServiceKind::Tv, "S2", 2);
  Service* s3 = Add(ServiceKind::Tv, "S3", 3, 130);  // no satellite at 13.0(E)
  Service* r1 = Add(ServiceKind::Radio, "R1", 4);
  EXPECT_EQ(Kinds(CheckChannelList(list)), (std::vector<FindingKind>{FindingKind::LongName, FindingKind::NoSatellite}));

  s3->ChannelNo = 2;                              // 1, 2, 2
  Group(kFavoriteRadio, "Radio refs", {r1, s1});  // a TV reference in a radio group
  auto fs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, std::string(40, 'g'), 1);
  auto copy = std::make_unique<Service>();
  copy->ChannelNo = 9;  // no service has it
  fs->AddCopy(std::move(copy));
  list.AddFavoriteGroup(std::move(fs));
  const auto findings = CheckChannelList(list);
  EXPECT_EQ(Kinds(findings),
            (std::vector<FindingKind>{FindingKind::Numbering, FindingKind::DuplicateNumber, FindingKind::DanglingMember,
                                      FindingKind::DanglingMember, FindingKind::LongName, FindingKind::LongGroupName,
                                      FindingKind::NoSatellite}));
  std::vector<bool> fixable;
  for (const auto& f : findings) fixable.push_back(f.fixable);
  EXPECT_EQ(fixable, (std::vector<bool>{true, true, true, true, true, false, false}));
  EXPECT_NE(findings[0].text.find("TV"), std::string::npos) << findings[0].text;
}

TEST_F(ListTools, FixRenumbersDropsEntriesWithoutServiceAndCutsNames) {
  AddSatellite(192, std::string(250, 's') + "ééé");  // 256 bytes
  Add(ServiceKind::Tv, "S1", 1);
  Add(ServiceKind::Tv, "S2", 2);
  Service* s3 = Add(ServiceKind::Tv, "S3", 3);
  Service* s4 = Add(ServiceKind::Tv, "S4", 4);
  s3->ChannelNo = 5;  // 1, 2, 5, 4
  s4->ChannelNo = 4;
  Service* r1 = Add(ServiceKind::Radio, "R1", 9);
  auto fs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "FS", 1);
  for (const int no : {5, 7}) {  // S3's copy, and one with no service
    auto copy = std::make_unique<Service>();
    copy->ChannelNo = no;
    fs->AddCopy(std::move(copy));
  }
  FavoriteGroup* fastScan = fs.get();
  list.AddFavoriteGroup(std::move(fs));
  FavoriteGroup* radio = Group(kFavoriteRadio, "R", {r1, s4});
  editor.ShowList();
  const auto findings = CheckChannelList(list);
  ASSERT_EQ(Kinds(findings), (std::vector<FindingKind>{FindingKind::Numbering, FindingKind::DanglingMember,
                                                       FindingKind::DanglingMember, FindingKind::LongName}));

  prompt.SetNextAnswer(false);
  EXPECT_EQ(editor.FixFindings(findings), 0u);
  EXPECT_EQ(CheckChannelList(list).size(), 4u);

  prompt.SetNextAnswer(true);
  EXPECT_EQ(editor.FixFindings(findings), 4u);
  EXPECT_TRUE(CheckChannelList(list).empty());
  EXPECT_EQ(ListNames(list, ServiceKind::Tv), (std::vector<std::string>{"S1", "S2", "S4", "S3"}));
  EXPECT_EQ(MemberNumbers(*fastScan), (std::vector<int>{4})) << "S3's copy followed it; the other went";
  EXPECT_EQ(MemberNames(*radio), (std::vector<std::string>{"R1"}));
  EXPECT_EQ(list.Satellites()[0]->SatName, std::string(250, 's') + "éé");
  EXPECT_TRUE(editor.IsModified());

  // What is written reads back as the same list.
  vantrel::test::TempDir dir;
  const std::string path = dir.File("fixed.xml");
  ASSERT_EQ(WriteChannelFile(list, path, false, editor), WriteResult::Written);
  ChannelList back;
  ASSERT_EQ(ReadChannelFile(back, path), ReadResult::Loaded);
  EXPECT_EQ(back.Satellites()[0]->SatName, list.Satellites()[0]->SatName);
  EXPECT_EQ(MemberNames(*back.RadioFavorites()[0]), (std::vector<std::string>{"R1"}));
}

}  // namespace
}  // namespace vantrel::channels
