// The model: ownership, removal, groups, satellite lookups and the
// longitude and FEC helpers.
#include <gtest/gtest.h>

#include "channels/ChannelList.h"
#include "channels/Fec.h"
#include "channels/Longitude.h"

namespace vantrel::channels {
namespace {

Service* AddNumbered(ChannelList& list, std::uint8_t type, int no, const std::string& name = "") {
  auto s = std::make_unique<Service>();
  s->ServiceType = type;
  s->ChannelNo = no;
  s->Name = name.empty() ? "S" + std::to_string(no) : name;
  Service* raw = s.get();
  list.AddService(std::move(s));
  return raw;
}

std::unique_ptr<Service> CopyOf(const Service& s, int lcn) {
  auto c = std::make_unique<Service>(s);
  c->LCNNo = lcn;
  return c;
}

TEST(Longitude, FormatsEastAndWest) {
  EXPECT_EQ(FormatLongitude(192), "19.2(E)");
  EXPECT_EQ(FormatLongitude(1808), "0.8(W)");
  EXPECT_EQ(FormatLongitude(1800), "180.0(E)");
  EXPECT_EQ(FormatLongitude(1801), "0.1(W)");
  EXPECT_EQ(FormatLongitude(0), "0.0(E)");
  EXPECT_EQ(FormatLongitude(3599), "179.9(W)");
}

TEST(Longitude, ParsesLabels) {
  EXPECT_EQ(ParseLongitudeLabel("19.2 E Astra 1KR"), 192);
  EXPECT_EQ(ParseLongitudeLabel("0.8 W Thor"), 1808);
  EXPECT_EQ(ParseLongitudeLabel("359.9 W"), 0) << "out of range";
  EXPECT_EQ(ParseLongitudeLabel("180.0 E"), 1800);
  EXPECT_EQ(ParseLongitudeLabel("garbage"), 0);
  EXPECT_EQ(ParseLongitudeLabel(""), 0);
  EXPECT_EQ(ParseLongitudeLabel("-1.0 E"), 0) << "negative is out of range";
  EXPECT_EQ(ParseLongitudeLabel("99999999999.9 W"), 0);
}

TEST(Longitude, LabelRoundTripsThroughTheParser) {
  for (int lon : {0, 5, 192, 1800, 1801, 1808, 3599}) {
    EXPECT_EQ(ParseLongitudeLabel(FormatLongitudeLabel(lon, "Sat")), lon) << lon;
  }
}

TEST(Fec, NamesAndCodes) {
  EXPECT_STREQ(FecCodeToName(0), "Auto");
  EXPECT_STREQ(FecCodeToName(6), "DVBS2 QPSK 1/2");
  EXPECT_STREQ(FecCodeToName(15), "DVBS2 8PSK 2/3");
  EXPECT_STREQ(FecCodeToName(19), "DVBS2 8PSK 9/10");
  for (int code : {1, 2, 3, 4, 5, 20, 21, 25, -1, 1000}) EXPECT_STREQ(FecCodeToName(code), "UNDEFINED") << code;
  for (int code = 0; code <= 19; ++code) {
    if (code >= 1 && code <= 5) continue;
    EXPECT_EQ(FecNameToCode(FecCodeToName(code)), code) << code;
  }
  EXPECT_EQ(FecNameToCode("UNDEFINED"), 0);
  EXPECT_EQ(FecNameToCode("dvbs2 qpsk 1/2"), 0) << "case-sensitive";
  EXPECT_EQ(FecNameToCode("DVBS2 QPSK 1/2 "), 0);
  EXPECT_EQ(FecNameToCode(""), 0);
}

TEST(FitText, CutsAtCharacterBoundary) {
  EXPECT_EQ(FitText("abc", 4), "abc");
  EXPECT_EQ(FitText("abcd", 4), "abc");
  // "é" is two bytes; a cut inside it drops the whole character.
  EXPECT_EQ(FitText("abé", 4), "ab");
  EXPECT_EQ(FitText("abé", 5), "abé");
  EXPECT_EQ(FitText(std::string(300, 'x'), kServiceNameSize).size(), 255u);
}

TEST(ChannelList, AddServiceSortsByTypeAndDropsData) {
  ChannelList list;
  AddNumbered(list, kServiceTypeTv, 1);
  AddNumbered(list, kServiceTypeRadio, 1);
  auto data = std::make_unique<Service>();
  data->ServiceType = kServiceTypeData;
  EXPECT_TRUE(list.AddService(std::move(data)));
  EXPECT_FALSE(list.AddService(nullptr));
  EXPECT_EQ(list.TvServices().size(), 1u);
  EXPECT_EQ(list.RadioServices().size(), 1u);
}

TEST(ChannelList, ServiceAtPositionIsOneBased) {
  ChannelList list;
  Service* a = AddNumbered(list, kServiceTypeTv, 1);
  Service* b = AddNumbered(list, kServiceTypeTv, 2);
  EXPECT_EQ(list.ServiceAtPosition(ServiceKind::Tv, 1), a);
  EXPECT_EQ(list.ServiceAtPosition(ServiceKind::Tv, 2), b);
  EXPECT_EQ(list.ServiceAtPosition(ServiceKind::Tv, 0), nullptr);
  EXPECT_EQ(list.ServiceAtPosition(ServiceKind::Tv, 3), nullptr);
  EXPECT_EQ(list.ServiceAtPosition(ServiceKind::Radio, 1), nullptr);
}

TEST(ChannelList, RemovingARadioServiceLeavesTvGroupsAndTakesOnlyTheFirstFastScanCopy) {
  ChannelList list;
  Service* tv1 = AddNumbered(list, kServiceTypeTv, 1);
  Service* r1 = AddNumbered(list, kServiceTypeRadio, 1);
  Service* r2 = AddNumbered(list, kServiceTypeRadio, 2);
  Service* r3 = AddNumbered(list, kServiceTypeRadio, 3);

  auto tvGroup = std::make_unique<FavoriteGroup>(kFavoriteTv, "TV");
  tvGroup->AddReference(tv1);
  FavoriteGroup* tvg = tvGroup.get();
  list.AddFavoriteGroup(std::move(tvGroup));
  auto fsTv = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "FS TV");
  fsTv->AddCopy(CopyOf(*tv1, 1));  // channel number 2 in TV: untouched by a radio removal
  FavoriteGroup* fstv = fsTv.get();
  list.AddFavoriteGroup(std::move(fsTv));

  auto radioA = std::make_unique<FavoriteGroup>(kFavoriteRadio, "A");
  radioA->AddReference(r1);
  radioA->AddReference(r2);
  radioA->AddReference(r3);
  FavoriteGroup* a = radioA.get();
  list.AddFavoriteGroup(std::move(radioA));
  auto radioB = std::make_unique<FavoriteGroup>(kFavoriteRadio, "B");
  radioB->AddReference(r2);
  FavoriteGroup* b = radioB.get();
  list.AddFavoriteGroup(std::move(radioB));
  auto fsRadio = std::make_unique<FavoriteGroup>(kFavoriteFastScanRadio, "FS");
  fsRadio->AddCopy(CopyOf(*r2, 10));
  fsRadio->AddCopy(CopyOf(*r1, 11));
  fsRadio->AddCopy(CopyOf(*r2, 12));  // a second copy with channel number 2
  FavoriteGroup* fs = fsRadio.get();
  list.AddFavoriteGroup(std::move(fsRadio));

  list.RemoveService(r2);

  ASSERT_EQ(list.RadioServices().size(), 2u);
  EXPECT_EQ(list.RadioServices()[0].get(), r1);
  EXPECT_EQ(list.RadioServices()[1].get(), r3) << "the gap closes, order kept";
  EXPECT_EQ(a->Members(), (std::vector<Service*>{r1, r3}));
  EXPECT_TRUE(b->Empty());
  ASSERT_EQ(fs->MemberCount(), 2u);
  EXPECT_EQ(fs->Member(0)->LCNNo, 11);
  EXPECT_EQ(fs->Member(1)->LCNNo, 12) << "only the first copy with that number goes";
  EXPECT_EQ(tvg->MemberCount(), 1u);
  EXPECT_EQ(fstv->MemberCount(), 1u);
}

TEST(ChannelList, RemovingAServiceNotInTheListDoesNothing) {
  ChannelList list;
  AddNumbered(list, kServiceTypeTv, 1);
  Service stranger;
  list.RemoveService(&stranger);
  list.RemoveService(nullptr);
  EXPECT_EQ(list.TvServices().size(), 1u);
}

TEST(ChannelList, NoGroupKeepsAReferenceToARemovedService) {
  // A file can put TV references into a group listed with the radio groups
  // (ChannelNo before a ServiceType of Radio), or the same reference twice.
  ChannelList list;
  Service* tv1 = AddNumbered(list, kServiceTypeTv, 1);
  auto odd = std::make_unique<FavoriteGroup>(kFavoriteRadio, "odd");
  odd->AddReference(tv1);
  FavoriteGroup* oddp = odd.get();
  list.AddFavoriteGroup(std::move(odd));
  auto twice = std::make_unique<FavoriteGroup>(kFavoriteTv, "twice");
  twice->AddReference(tv1);
  twice->AddReference(tv1);
  FavoriteGroup* twicep = twice.get();
  list.AddFavoriteGroup(std::move(twice));
  list.RemoveService(tv1);
  EXPECT_TRUE(oddp->Empty());
  EXPECT_TRUE(twicep->Empty());
}

TEST(ChannelList, RemoveServicesInOnePass) {
  ChannelList list;
  std::vector<Service*> tv;
  for (int i = 1; i <= 6; ++i) tv.push_back(AddNumbered(list, kServiceTypeTv, i));
  auto g = std::make_unique<FavoriteGroup>(kFavoriteTv, "g");
  for (Service* s : tv) g->AddReference(s);
  FavoriteGroup* gp = g.get();
  list.AddFavoriteGroup(std::move(g));
  auto fs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "fs");
  for (Service* s : tv) fs->AddCopy(CopyOf(*s, s->ChannelNo));
  FavoriteGroup* fsp = fs.get();
  list.AddFavoriteGroup(std::move(fs));

  list.RemoveServices({tv[1], tv[4], tv[1]});
  ASSERT_EQ(list.TvServices().size(), 4u);
  EXPECT_EQ(gp->Members(), (std::vector<Service*>{tv[0], tv[2], tv[3], tv[5]}));
  ASSERT_EQ(fsp->MemberCount(), 4u);
  EXPECT_EQ(fsp->Member(1)->ChannelNo, 3);
  EXPECT_EQ(fsp->Member(2)->ChannelNo, 4);
}

TEST(ChannelList, GroupsGoToTheirKindsList) {
  ChannelList list;
  for (int kind : {kFavoriteTv, kFavoriteRadio, kFavoriteFastScanTv, kFavoriteFastScanRadio, kFavoriteUnknown}) {
    EXPECT_TRUE(list.AddFavoriteGroup(std::make_unique<FavoriteGroup>(kind, "g")));
  }
  EXPECT_FALSE(list.AddFavoriteGroup(nullptr));
  ASSERT_EQ(list.TvFavorites().size(), 2u);
  EXPECT_EQ(list.TvFavorites()[0]->ServiceType, kFavoriteTv);
  EXPECT_EQ(list.TvFavorites()[1]->ServiceType, kFavoriteFastScanTv);
  ASSERT_EQ(list.RadioFavorites().size(), 3u);
  EXPECT_EQ(list.RadioFavorites()[2]->ServiceType, kFavoriteUnknown);
}

TEST(ChannelList, DeleteFavoriteGroupByIdentity) {
  ChannelList list;
  Service* s = AddNumbered(list, kServiceTypeTv, 1);
  auto g = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "fs");
  g->AddCopy(CopyOf(*s, 1));
  const FavoriteGroup* gp = g.get();
  list.AddFavoriteGroup(std::move(g));
  FavoriteGroup stranger(kFavoriteTv, "x");
  EXPECT_FALSE(list.DeleteFavoriteGroup(&stranger));
  EXPECT_FALSE(list.DeleteFavoriteGroup(nullptr));
  EXPECT_TRUE(list.DeleteFavoriteGroup(gp));  // frees the copies too (ASan watches)
  EXPECT_TRUE(list.TvFavorites().empty());
  EXPECT_EQ(list.TvServices().size(), 1u) << "the service itself stays";
}

TEST(ChannelList, IsInFavoriteGroup) {
  ChannelList list;
  Service* a = AddNumbered(list, kServiceTypeTv, 1);
  Service* b = AddNumbered(list, kServiceTypeTv, 2);
  FavoriteGroup tv(kFavoriteTv, "tv");
  EXPECT_FALSE(ChannelList::IsInFavoriteGroup(*a, tv)) << "empty group";
  tv.AddReference(a);
  EXPECT_TRUE(ChannelList::IsInFavoriteGroup(*a, tv));
  EXPECT_FALSE(ChannelList::IsInFavoriteGroup(*b, tv));
  Service twin = *a;  // same number, another identity
  EXPECT_FALSE(ChannelList::IsInFavoriteGroup(twin, tv)) << "TV groups compare identity";
  FavoriteGroup fs(kFavoriteFastScanTv, "fs");
  fs.AddCopy(CopyOf(*b, 1));
  EXPECT_TRUE(ChannelList::IsInFavoriteGroup(*b, fs));
  Service other;
  other.ChannelNo = 2;
  EXPECT_TRUE(ChannelList::IsInFavoriteGroup(other, fs)) << "FastScan groups compare ChannelNo";
  EXPECT_FALSE(ChannelList::IsInFavoriteGroup(*a, fs));
}

TEST(ChannelList, RemoveFromGroupFindsByIdentityAndKeepsOrder) {
  ChannelList list;
  Service* a = AddNumbered(list, kServiceTypeTv, 1);
  Service* b = AddNumbered(list, kServiceTypeTv, 2);
  Service* c = AddNumbered(list, kServiceTypeTv, 3);
  FavoriteGroup g(kFavoriteTv, "g");
  g.AddReference(a);
  g.AddReference(b);
  g.AddReference(c);
  Service stranger;
  list.RemoveFromGroup(g, &stranger);
  EXPECT_EQ(g.MemberCount(), 3u);
  list.RemoveFromGroup(g, b);
  EXPECT_EQ(g.Members(), (std::vector<Service*>{a, c}));
}

TEST(ChannelList, GroupOwnershipIsPerEntry) {
  ChannelList list;
  Service* a = AddNumbered(list, kServiceTypeTv, 1);
  FavoriteGroup g(kFavoriteFastScanTv, "mixed");
  g.AddReference(a);
  Service* copy = g.AddCopy(CopyOf(*a, 5));
  EXPECT_FALSE(g.OwnsMember(0));
  EXPECT_TRUE(g.OwnsMember(1));
  EXPECT_EQ(g.IndexOf(copy), 1u);
  EXPECT_EQ(g.IndexOf(nullptr), FavoriteGroup::npos);
  EXPECT_TRUE(g.Reorder({1, 0}));
  EXPECT_EQ(g.Member(0), copy);
  EXPECT_FALSE(g.Reorder({0, 0}));
  EXPECT_FALSE(g.Reorder({0}));
  EXPECT_EQ(g.Member(0), copy) << "a refused order changes nothing";
}

TEST(ChannelList, SatelliteNameLookupRemembersAndForgets) {
  ChannelList list;
  auto first = std::make_unique<Satellite>();
  first->SatName = "Astra";
  first->Longitude = 192;
  Satellite* astra = list.AddSatellite(std::move(first));
  auto second = std::make_unique<Satellite>();
  second->SatName = "Astra twin";
  second->Longitude = 192;
  list.AddSatellite(std::move(second));
  auto third = std::make_unique<Satellite>();
  third->SatName = "Thor";
  third->Longitude = 1808;
  list.AddSatellite(std::move(third));

  EXPECT_EQ(list.GetSatelliteNameByLongitude(999), "Unknown");
  EXPECT_EQ(list.GetSatelliteNameByLongitude(192), "Astra") << "the first of two";
  EXPECT_EQ(list.GetSatelliteNameByLongitude(192), "Astra") << "from the recent one";
  EXPECT_EQ(list.GetSatelliteNameByLongitude(1808), "Thor");
  EXPECT_EQ(list.GetSatelliteNameByLongitude(192), "Astra");
  // Removing the remembered satellite must not leave the lookup on freed memory.
  EXPECT_TRUE(list.RemoveSatellite(astra));
  EXPECT_EQ(list.GetSatelliteNameByLongitude(192), "Astra twin");
  list.ClearSatellites();
  EXPECT_EQ(list.GetSatelliteNameByLongitude(192), "Unknown");
  EXPECT_FALSE(list.RemoveSatellite(nullptr));
}

TEST(ChannelList, SatelliteLabel) {
  ChannelList list;
  auto sat = std::make_unique<Satellite>();
  sat->SatName = "Astra";
  sat->Longitude = 192;
  list.AddSatellite(std::move(sat));
  auto west = std::make_unique<Satellite>();
  west->SatName = "Thor";
  west->Longitude = 1808;
  list.AddSatellite(std::move(west));
  EXPECT_EQ(list.GetSatelliteLabelByLongitude(192), "19.2 E Astra");
  EXPECT_EQ(list.GetSatelliteLabelByLongitude(1808), "0.8 W Thor");
  EXPECT_EQ(list.GetSatelliteLabelByLongitude(7), "");
}

TEST(ChannelList, SetServiceOrderAcceptsOnlyAPermutation) {
  ChannelList list;
  Service* a = AddNumbered(list, kServiceTypeTv, 1);
  Service* b = AddNumbered(list, kServiceTypeTv, 2);
  Service* r = AddNumbered(list, kServiceTypeRadio, 1);
  EXPECT_FALSE(list.SetServiceOrder(ServiceKind::Tv, {a}));
  EXPECT_FALSE(list.SetServiceOrder(ServiceKind::Tv, {a, a}));
  EXPECT_FALSE(list.SetServiceOrder(ServiceKind::Tv, {a, r}));
  EXPECT_TRUE(list.SetServiceOrder(ServiceKind::Tv, {b, a}));
  EXPECT_EQ(list.TvServices()[0].get(), b);
  EXPECT_FALSE(list.IsNumberedInListOrder(ServiceKind::Tv));
  b->ChannelNo = 1;
  a->ChannelNo = 2;
  EXPECT_TRUE(list.IsNumberedInListOrder(ServiceKind::Tv));
  EXPECT_TRUE(list.IsNumberedInListOrder(ServiceKind::Radio));
}

TEST(ChannelList, ClearingServicesDropsReferencesButKeepsCopies) {
  ChannelList list;
  Service* a = AddNumbered(list, kServiceTypeTv, 1);
  auto g = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "mixed");
  g->AddReference(a);
  g->AddCopy(CopyOf(*a, 1));
  FavoriteGroup* gp = g.get();
  list.AddFavoriteGroup(std::move(g));
  list.ClearServices();
  ASSERT_EQ(gp->MemberCount(), 1u);
  EXPECT_TRUE(gp->OwnsMember(0));
  list.Clear();
  EXPECT_TRUE(list.TvFavorites().empty());
  EXPECT_TRUE(list.FilePath().empty());
}

}  // namespace
}  // namespace vantrel::channels
