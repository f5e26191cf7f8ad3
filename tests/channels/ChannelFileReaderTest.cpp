// The reader's rules, each on a document made for it.
#include <gtest/gtest.h>

#include <limits>

#include "ChannelTestUtil.h"
#include "channels/ChannelFileReader.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace vantrel::channels {
namespace {

using test::Doc;
using test::ReadText;
using test::ServiceXml;

const std::string kSatellites =
    "<Satellitelist>\r\n"
    "<Satellite>\n<SatName>Astra</SatName>\n<Longitude>192</Longitude>\n<Band>Ku</Band>\n"
    "<Transponder>\n<Frequency>11362</Frequency>\n<SymbolRate>22000</SymbolRate>\n<Onid>1</Onid>\n"
    "<Tsid>1079</Tsid>\n<Nid>1</Nid>\n<Pol>H</Pol>\n<FEC>DVBS2 8PSK 2/3</FEC>\n</Transponder>\n"
    "</Satellite>\n"
    "<TunerConfiguration>\n<ConnectType>1</ConnectType>\n<SignalConfig>2</SignalConfig>\n"
    "<Tuner1Type>3</Tuner1Type>\n<Tuner2Type>4</Tuner2Type>\n</TunerConfiguration>\n"
    "</Satellitelist>\r\n";

// Expects a failed read: text 294 captioned "ERROR", nothing added.
void ExpectFailure(const std::string& bytes, const std::string& what) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  list.Tuner().ConnectType = 9;
  list.AddConfiguration(Configuration{});
  std::string reason;
  EXPECT_EQ(ReadText(list, bytes, &reason), ReadResult::Failed) << what;
  EXPECT_FALSE(reason.empty()) << what;
  ASSERT_EQ(prompt.Records().size(), 1u) << what;
  EXPECT_EQ(prompt.Records()[0].text, GetText(294)) << what;
  EXPECT_EQ(prompt.Records()[0].caption, GetText(287)) << what;
  EXPECT_EQ(prompt.Records()[0].icon, PromptIcon::Error) << what;
  EXPECT_FALSE(prompt.Records()[0].question);
  EXPECT_TRUE(list.Satellites().empty()) << what;
  EXPECT_TRUE(list.TvServices().empty()) << what;
  EXPECT_TRUE(list.RadioServices().empty()) << what;
  EXPECT_TRUE(list.TvFavorites().empty()) << what;
  EXPECT_TRUE(list.RadioFavorites().empty()) << what;
  EXPECT_TRUE(list.Configurations().empty()) << what << ": cleared before reading";
  EXPECT_EQ(list.Tuner(), TunerConfiguration{}) << what;
}

TEST(Reader, ReadsTheFixture) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  ASSERT_EQ(ReadChannelFile(list, test::FixturePath("channel-small.xml")), ReadResult::Loaded);
  EXPECT_TRUE(prompt.Records().empty());
  ASSERT_EQ(list.Satellites().size(), 4u);
  EXPECT_EQ(list.Satellites()[0]->SatName, "Astra 1KR/1L/1M/1N");
  EXPECT_EQ(list.Satellites()[2]->SatName, "Thor 5/6/7 & Intelsat 10-02");
  EXPECT_EQ(list.Satellites()[3]->SatName, "Eutelsat 36B <C-band>");
  EXPECT_EQ(list.Satellites()[3]->Band, kBandC);
  EXPECT_EQ(list.Satellites()[2]->SatIndex, 3);
  EXPECT_EQ(list.Satellites()[0]->mTransponder.size(), 4u);
  EXPECT_EQ(list.Satellites()[0]->mTransponder[3]->SatIndex, 1);
  EXPECT_EQ(list.Satellites()[0]->mTransponder[0]->FEC, 15);
  EXPECT_EQ(list.Configurations().size(), 4u);
  EXPECT_EQ(list.Configurations()[2].MoterType, 2);
  EXPECT_EQ(list.Configurations()[2].USALSLongitude, 1795);
  EXPECT_EQ(list.Configurations()[2].FrequencyLevel, 0);
  EXPECT_EQ(list.Tuner(), (TunerConfiguration{1, 2, 0, 1}));
  ASSERT_EQ(list.TvServices().size(), 33u);
  ASSERT_EQ(list.RadioServices().size(), 7u);
  EXPECT_EQ(list.TvServices()[20]->Name, "Первый канал");
  EXPECT_EQ(list.TvServices()[31]->Name, "\"Quoted\" TV");
  EXPECT_EQ(list.TvServices()[32]->Name, "Kids' <Club>");
  EXPECT_EQ(list.RadioServices()[6]->Name, "Радио России");
  ASSERT_EQ(list.TvFavorites().size(), 3u);
  ASSERT_EQ(list.RadioFavorites().size(), 2u);
  const FavoriteGroup& news = *list.TvFavorites()[1];
  EXPECT_EQ(news.Name, "News & Sport");
  EXPECT_EQ(news.GroupId, 2);
  ASSERT_EQ(news.MemberCount(), 5u);
  EXPECT_EQ(news.Member(0), list.TvServices()[8].get());
  const FavoriteGroup& fs = *list.TvFavorites()[2];
  EXPECT_EQ(fs.ServiceType, kFavoriteFastScanTv);
  EXPECT_EQ(fs.GroupId, 1);
  ASSERT_EQ(fs.MemberCount(), 4u);
  EXPECT_TRUE(fs.OwnsMember(3));
  EXPECT_EQ(fs.Member(3)->Name, "Первый");
  EXPECT_EQ(fs.Member(3)->LCNNo, 10);
  EXPECT_EQ(fs.Member(3)->ChannelNo, 21);
  EXPECT_EQ(fs.Member(3)->Sid, list.TvServices()[20]->Sid) << "a full copy";
  EXPECT_EQ(list.RadioFavorites()[0]->GroupId, 2);
  EXPECT_EQ(list.RadioFavorites()[1]->GroupId, 3);
  EXPECT_EQ(list.RadioFavorites()[0]->Members(),
            (std::vector<Service*>{list.RadioServices()[2].get(), list.RadioServices()[0].get()}));
}

TEST(Reader, ByteOrderMarkAndJunkBeforeTheFirstAngleBracketAreSkipped) {
  for (const std::string& prefix : {std::string("\xEF\xBB\xBF"), std::string("junk text\r\n"), std::string("  \t\n")}) {
    ChannelList list;
    EXPECT_EQ(ReadText(list, prefix + Doc(kSatellites + ServiceXml(1, "One"))), ReadResult::Loaded);
    EXPECT_EQ(list.Satellites().size(), 1u);
    EXPECT_EQ(list.TvServices().size(), 1u);
  }
}

TEST(Reader, WrongDocumentElementAddsNothingAndSaysNothing) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  list.Tuner().SignalConfig = 7;
  list.AddConfiguration(Configuration{});
  std::string reason;
  EXPECT_EQ(
      ReadText(list, "<?xml version=\"1.0\"?>\r\n<ServiceList>" + kSatellites + ServiceXml(1, "x") + "</ServiceList>",
               &reason),
      ReadResult::WrongDocument);
  EXPECT_NE(reason.find("ServiceList"), std::string::npos);
  EXPECT_TRUE(prompt.Records().empty());
  EXPECT_TRUE(list.Satellites().empty());
  EXPECT_TRUE(list.TvServices().empty());
  EXPECT_TRUE(list.Configurations().empty());
  EXPECT_EQ(list.Tuner(), TunerConfiguration{});
}

TEST(Reader, DataServicesAreDropped) {
  ChannelList list;
  ASSERT_EQ(ReadText(list, Doc(ServiceXml(1, "Tv") + ServiceXml(2, "Data", "DATA") + ServiceXml(1, "Radio", "Radio"))),
            ReadResult::Loaded);
  ASSERT_EQ(list.TvServices().size(), 1u);
  ASSERT_EQ(list.RadioServices().size(), 1u);
  EXPECT_EQ(list.TvServices()[0]->Name, "Tv");
  EXPECT_EQ(ChannelFileBytes(list).find("Data"), std::string::npos) << "not written back";
}

TEST(Reader, ServiceDefaults) {
  ChannelList list;
  ASSERT_EQ(ReadText(list, Doc("<Service>\n<Name>Bare</Name>\n</Service>\n<Service></Service>\n"
                               "<Service>\n<ServiceType>Television</ServiceType>\n<ProviderName></ProviderName>\n"
                               "</Service>\n")),
            ReadResult::Loaded);
  ASSERT_EQ(list.TvServices().size(), 3u) << "no ServiceType, or an unknown one, is TV";
  const Service& s = *list.TvServices()[0];
  EXPECT_EQ(s.ProviderName, "No Provider");
  EXPECT_EQ(s.ChannelNo, 0);
  EXPECT_EQ(s.Sid, 0);
  EXPECT_FALSE(s.Locked);
  EXPECT_FALSE(s.IsHD);
  EXPECT_EQ(s.LCNNo, 0);
  EXPECT_EQ(s.Carrier, ServiceCarrier{});
  EXPECT_EQ(list.TvServices()[1]->ProviderName, "No Provider") << "an empty element";
  EXPECT_EQ(list.TvServices()[2]->ProviderName, "No Provider") << "an element without content is ignored";
}

TEST(Reader, BandTexts) {
  auto sat = [](const std::string& band) {
    return "<Satellite>\n<SatName>s</SatName>\n<Band>" + band + "</Band>\n</Satellite>\n";
  };
  auto config = [](const std::string& band) {
    return "<Configuration>\n<Band>" + band + "</Band>\n</Configuration>\n";
  };
  ChannelList list;
  ASSERT_EQ(
      ReadText(list, Doc("<Satellitelist>" + sat("C") + sat("Ku") + sat("c") + sat("") + sat("C-band") + config("C") +
                         config("Ku") + config("c") + config("C-band") + config("") + "</Satellitelist>" +
                         ServiceXml(1, "a", "TV", "<Carrier>\n<Band>C</Band>\n</Carrier>\n") +
                         ServiceXml(2, "b", "TV", "<Carrier>\n<Band>c</Band>\n</Carrier>\n") +
                         ServiceXml(3, "c", "TV", "<Carrier>\n<Band></Band>\n</Carrier>\n"))),
      ReadResult::Loaded);
  ASSERT_EQ(list.Satellites().size(), 5u);
  EXPECT_EQ(list.Satellites()[0]->Band, kBandC);
  EXPECT_EQ(list.Satellites()[1]->Band, kBandKu);
  EXPECT_EQ(list.Satellites()[2]->Band, kBandKu) << "lower-case c is Ku";
  EXPECT_EQ(list.Satellites()[3]->Band, kBandUnset) << "an empty element leaves the band 0";
  EXPECT_EQ(list.Satellites()[4]->Band, kBandC) << "satellites: a text beginning with C";
  ASSERT_EQ(list.Configurations().size(), 5u);
  EXPECT_EQ(list.Configurations()[0].Band, kBandC);
  EXPECT_EQ(list.Configurations()[1].Band, kBandKu);
  EXPECT_EQ(list.Configurations()[2].Band, kBandKu);
  EXPECT_EQ(list.Configurations()[3].Band, kBandKu) << "configurations: exactly C";
  EXPECT_EQ(list.Configurations()[4].Band, 0);
  EXPECT_EQ(list.TvServices()[0]->Carrier.Band, kBandC);
  EXPECT_EQ(list.TvServices()[1]->Carrier.Band, kBandKu);
  EXPECT_EQ(list.TvServices()[2]->Carrier.Band, kBandUnset);
}

std::string FourTvServices() {
  std::string s;
  for (int i = 1; i <= 4; ++i) s += ServiceXml(i, "T" + std::to_string(i));
  return s;
}

TEST(Reader, FastScanMembersWithAndWithoutAttributes) {
  ChannelList list;
  ASSERT_EQ(
      ReadText(list, Doc(FourTvServices() +
                         "<Favoritelist>\n<FavoriteGroup>\n<Name>FS</Name>\n<ServiceType>FastScan_TV</ServiceType>\n"
                         "<ChannelNo Name=\"First\" LCNNo=\"40\">1</ChannelNo>\n"
                         "<ChannelNo Name=\"Third\">3</ChannelNo>\n"
                         "<ChannelNo>2</ChannelNo>\n"
                         "<ChannelNo LCNNo=\"7\" Name=\"Fourth\" Other=\"x\">4</ChannelNo>\n"
                         "<ChannelNo Name=\"\" LCNNo=\"12abc\">4</ChannelNo>\n"
                         "</FavoriteGroup>\n</Favoritelist>\n")),
      ReadResult::Loaded);
  ASSERT_EQ(list.TvFavorites().size(), 1u);
  const FavoriteGroup& g = *list.TvFavorites()[0];
  ASSERT_EQ(g.MemberCount(), 5u);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_TRUE(g.OwnsMember(i)) << i;
  EXPECT_EQ(g.Member(0)->Name, "First");
  EXPECT_EQ(g.Member(0)->LCNNo, 40);
  EXPECT_EQ(g.Member(1)->Name, "Third") << "a copy of TV service 3 with that name";
  EXPECT_EQ(g.Member(1)->ChannelNo, 3);
  EXPECT_EQ(g.Member(1)->LCNNo, 2) << "without LCNNo: the member count before it plus 1";
  EXPECT_EQ(g.Member(2)->Name, "T2") << "without Name: the service's own";
  EXPECT_EQ(g.Member(2)->LCNNo, 3);
  EXPECT_EQ(g.Member(3)->Name, "Fourth");
  EXPECT_EQ(g.Member(3)->LCNNo, 7);
  EXPECT_EQ(g.Member(4)->Name, "");
  EXPECT_EQ(g.Member(4)->LCNNo, 12);
  EXPECT_NE(g.Member(1), list.TvServices()[2].get()) << "a copy, not the service";
}

TEST(Reader, FastScanRadioCopiesRadioServicesAndSetsTheirType) {
  ChannelList list;
  ASSERT_EQ(
      ReadText(list, Doc(ServiceXml(1, "R1", "Radio") + ServiceXml(2, "R2", "Radio") +
                         "<Favoritelist>\n<FavoriteGroup>\n<ServiceType>FastScan_Radio</ServiceType>\n"
                         "<ChannelNo>2</ChannelNo>\n<ChannelNo>3</ChannelNo>\n</FavoriteGroup>\n</Favoritelist>\n")),
      ReadResult::Loaded);
  ASSERT_EQ(list.RadioFavorites().size(), 1u);
  const FavoriteGroup& g = *list.RadioFavorites()[0];
  ASSERT_EQ(g.MemberCount(), 1u);
  EXPECT_EQ(g.Member(0)->Name, "R2");
  EXPECT_EQ(g.Member(0)->ServiceType, kServiceTypeRadio);
  EXPECT_EQ(g.Member(0)->LCNNo, 1);
}

TEST(Reader, ChannelNoBeforeServiceTypeResolvesAsTvReferences) {
  ChannelList list;
  ASSERT_EQ(ReadText(list, Doc(FourTvServices() + ServiceXml(1, "R1", "Radio") +
                               "<Favoritelist>\n<FavoriteGroup>\n<Name>Late</Name>\n<ChannelNo>2</ChannelNo>\n"
                               "<ChannelNo>1</ChannelNo>\n<ServiceType>Radio</ServiceType>\n<ChannelNo>1</ChannelNo>\n"
                               "</FavoriteGroup>\n</Favoritelist>\n")),
            ReadResult::Loaded);
  ASSERT_EQ(list.RadioFavorites().size(), 1u) << "the kind at the end decides the list";
  const FavoriteGroup& g = *list.RadioFavorites()[0];
  ASSERT_EQ(g.MemberCount(), 3u);
  EXPECT_EQ(g.Member(0), list.TvServices()[1].get());
  EXPECT_EQ(g.Member(1), list.TvServices()[0].get());
  EXPECT_EQ(g.Member(2), list.RadioServices()[0].get());
  EXPECT_FALSE(g.OwnsMember(0));
}

TEST(Reader, OutOfRangeChannelNumbersAreIgnored) {
  std::string radio;
  for (int i = 1; i <= 4; ++i) radio += ServiceXml(i, "R" + std::to_string(i), "Radio");
  ChannelList list;
  ASSERT_EQ(
      ReadText(list, Doc(FourTvServices() + radio +
                         "<Favoritelist>\n<FavoriteGroup>\n<ServiceType>Radio</ServiceType>\n"
                         "<ChannelNo>5</ChannelNo>\n<ChannelNo>0</ChannelNo>\n<ChannelNo>-1</ChannelNo>\n"
                         "<ChannelNo>4</ChannelNo>\n<ChannelNo>x</ChannelNo>\n<ChannelNo>99999999999</ChannelNo>\n"
                         "</FavoriteGroup>\n<FavoriteGroup>\n<ServiceType>FastScan_TV</ServiceType>\n"
                         "<ChannelNo Name=\"n\">5</ChannelNo>\n</FavoriteGroup>\n</Favoritelist>\n")),
      ReadResult::Loaded);
  ASSERT_EQ(list.RadioFavorites().size(), 1u);
  EXPECT_EQ(list.RadioFavorites()[0]->Members(), std::vector<Service*>{list.RadioServices()[3].get()});
  ASSERT_EQ(list.TvFavorites().size(), 1u);
  EXPECT_TRUE(list.TvFavorites()[0]->Empty());
}

TEST(Reader, GroupKindsAndNumbers) {
  ChannelList list;
  auto group = [](const std::string& type, const std::string& name) {
    return "<FavoriteGroup>\n<Name>" + name + "</Name>\n<ServiceType>" + type + "</ServiceType>\n</FavoriteGroup>\n";
  };
  ASSERT_EQ(ReadText(list, Doc("<Favoritelist>\n" + group("TV", "t1") + group("Radio", "r1") +
                               group("FastScan_TV", "f1") + group("TV", "t2") + group("FastScan_Radio", "f2") +
                               group("Bogus", "b") + group("Radio", "r2") +
                               "<NotAGroup><Name>ignored</Name></NotAGroup>\n<FavoriteGroup></FavoriteGroup>\n"
                               "<FavoriteGroup>\n<Name>untyped</Name>\n</FavoriteGroup>\n</Favoritelist>\n")),
            ReadResult::Loaded);
  ASSERT_EQ(list.TvFavorites().size(), 5u);
  EXPECT_EQ(list.TvFavorites()[0]->GroupId, 1);
  EXPECT_EQ(list.TvFavorites()[1]->Name, "f1");
  EXPECT_EQ(list.TvFavorites()[1]->GroupId, 2);
  EXPECT_EQ(list.TvFavorites()[2]->GroupId, 2) << "t2: the second TV group";
  // A child with content not named FavoriteGroup: an empty, unnamed TV group.
  EXPECT_EQ(list.TvFavorites()[3]->Name, "");
  EXPECT_EQ(list.TvFavorites()[3]->ServiceType, kFavoriteTv);
  EXPECT_EQ(list.TvFavorites()[3]->GroupId, 0);
  EXPECT_EQ(list.TvFavorites()[4]->Name, "untyped");
  ASSERT_EQ(list.RadioFavorites().size(), 4u) << "the empty FavoriteGroup element is ignored";
  EXPECT_EQ(list.RadioFavorites()[0]->GroupId, 1);
  EXPECT_EQ(list.RadioFavorites()[1]->GroupId, 3) << "f2: the shared count of Radio and FastScan groups";
  EXPECT_EQ(list.RadioFavorites()[2]->ServiceType, kFavoriteUnknown);
  EXPECT_EQ(list.RadioFavorites()[2]->GroupId, 0) << "unknown kind leaves GroupId";
  EXPECT_EQ(list.RadioFavorites()[3]->GroupId, 4);
}

TEST(Reader, EntitiesAndCharacterReferences) {
  ChannelList list;
  ASSERT_EQ(
      ReadText(list, Doc(ServiceXml(1, "A &amp; B &lt;x&gt; &quot;q&quot; &apos;a&apos;") +
                         ServiceXml(2, "&#65;&#x42;&#x43; &#1055;&#x440;") +
                         "<Favoritelist>\n<FavoriteGroup>\n<Name>N&amp;M</Name>\n"
                         "<ServiceType>FastScan_TV</ServiceType>\n"
                         "<ChannelNo Name=\"x&amp;y &#228;\">1</ChannelNo>\n</FavoriteGroup>\n</Favoritelist>\n")),
      ReadResult::Loaded);
  EXPECT_EQ(list.TvServices()[0]->Name, "A & B <x> \"q\" 'a'");
  EXPECT_EQ(list.TvServices()[1]->Name, "ABC Пр");
  EXPECT_EQ(list.TvFavorites()[0]->Name, "N&M");
  EXPECT_EQ(list.TvFavorites()[0]->Member(0)->Name, "x&y ä");
}

TEST(Reader, NonAsciiTextSurvivesUnchanged) {
  const std::string names[] = {"Первый канал", "Bayerisches FS Süd", "日本語 テレビ", "😀 Emoji", "Łódź TVP"};
  std::string body;
  for (int i = 0; i < 5; ++i) body += ServiceXml(i + 1, names[i]);
  ChannelList list;
  ASSERT_EQ(
      ReadText(list, Doc("<Satellitelist><Satellite><SatName>Türksat 4A</SatName></Satellite></Satellitelist>" + body)),
      ReadResult::Loaded);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list.TvServices()[static_cast<std::size_t>(i)]->Name, names[i]);
  EXPECT_EQ(list.Satellites()[0]->SatName, "Türksat 4A");
}

TEST(Reader, OverLongTextsAreCutAtACharacterBoundary) {
  // 254 ASCII bytes and then two-byte characters: the 255-byte cut falls inside one.
  const std::string name = std::string(254, 'n') + "ééé";
  const std::string sat = std::string(262, 's') + "ж";
  ChannelList list;
  ASSERT_EQ(ReadText(list, Doc("<Satellitelist><Satellite><SatName>" + sat + "</SatName></Satellite></Satellitelist>" +
                               "<Service>\n<Name>" + name + "</Name>\n<ProviderName>" + name +
                               "</ProviderName>\n</Service>\n<Favoritelist><FavoriteGroup><Name>" + name +
                               "</Name><ServiceType>FastScan_TV</ServiceType><ChannelNo Name=\"" + name +
                               "\">1</ChannelNo></FavoriteGroup></Favoritelist>")),
            ReadResult::Loaded);
  EXPECT_EQ(list.TvServices()[0]->Name, std::string(254, 'n'));
  EXPECT_EQ(list.TvServices()[0]->ProviderName, std::string(254, 'n'));
  EXPECT_EQ(list.Satellites()[0]->SatName, std::string(262, 's')) << "263 bytes would split the ж";
  EXPECT_EQ(list.TvFavorites()[0]->Name, std::string(254, 'n'));
  EXPECT_EQ(list.TvFavorites()[0]->Member(0)->Name, std::string(254, 'n'));
  ChannelList fits;
  const std::string exact = std::string(253, 'n') + "é";  // 255 bytes
  ASSERT_EQ(ReadText(fits, Doc(ServiceXml(1, exact))), ReadResult::Loaded);
  EXPECT_EQ(fits.TvServices()[0]->Name, exact);
}

TEST(Reader, NumbersBooleansPolarisationAndFec) {
  ChannelList list;
  ASSERT_EQ(ReadText(list, Doc("<Satellitelist><Configuration>\n<Slot>300</Slot>\n<Tuner>-1</Tuner>\n"
                               "<Longitude>70000</Longitude>\n<FrequencyLevel>True</FrequencyLevel>\n"
                               "<MoterType>on</MoterType>\n<LO1Frequency>40000</LO1Frequency>\n"
                               "<IsOneCable>  -12x</IsOneCable>\n</Configuration>\n<Configuration>\n"
                               "<FrequencyLevel>true</FrequencyLevel>\n<MoterType>ON</MoterType>\n</Configuration>\n"
                               "<Configuration>\n<MoterType>USALS</MoterType>\n</Configuration>\n"
                               "<Satellite><Transponder><Pol>Vertical</Pol><FEC>UNDEFINED</FEC>"
                               "<Frequency>+11362MHz</Frequency></Transponder><Transponder></Transponder>"
                               "<Transponder>x</Transponder></Satellite></Satellitelist>" +
                               ServiceXml(1, "a", "TV",
                                          "<Locked>true</Locked>\n<Skipped>TRUE</Skipped>\n<IsHD>yes</IsHD>\n"
                                          "<Scrambled>257</Scrambled>\n<Sid>abc</Sid>\n<Carrier><Pol>h</Pol>"
                                          "<FEC>DVBS2 QPSK 3/4</FEC></Carrier>\n") +
                               "<Service><ChannelNo>99999999999</ChannelNo><Sid>-99999999999</Sid></Service>")),
            ReadResult::Loaded);
  const Configuration& c = list.Configurations()[0];
  EXPECT_EQ(c.Slot, 255) << "out of range numbers are held at the field's end, never wrapped";
  EXPECT_EQ(c.Tuner, -1);
  EXPECT_EQ(c.Longitude, 65535);
  EXPECT_EQ(c.FrequencyLevel, 0) << "only the text true";
  EXPECT_EQ(c.MoterType, 0) << "case matters";
  EXPECT_EQ(c.LO1Frequency, 32767);
  EXPECT_EQ(c.IsOneCable, -12);
  EXPECT_EQ(list.Configurations()[1].FrequencyLevel, 1);
  EXPECT_EQ(list.Configurations()[1].MoterType, 1);
  EXPECT_EQ(list.Configurations()[2].MoterType, 2);
  ASSERT_EQ(list.Satellites().size(), 1u);
  ASSERT_EQ(list.Satellites()[0]->mTransponder.size(), 2u) << "a transponder without content is ignored";
  EXPECT_EQ(list.Satellites()[0]->mTransponder[0]->Pol, 'V');
  EXPECT_EQ(list.Satellites()[0]->mTransponder[0]->FEC, 0);
  EXPECT_EQ(list.Satellites()[0]->mTransponder[0]->Frequency, 11362);
  EXPECT_EQ(*list.Satellites()[0]->mTransponder[1], Transponder{1}) << "only its SatIndex";
  const Service& s = *list.TvServices()[0];
  EXPECT_TRUE(s.Locked);
  EXPECT_FALSE(s.Skipped);
  EXPECT_FALSE(s.IsHD);
  EXPECT_EQ(s.Scrambled, 127);
  EXPECT_EQ(s.Sid, 0);
  EXPECT_EQ(s.Carrier.Pol, 'h');
  EXPECT_EQ(s.Carrier.FEC, 9);
  EXPECT_EQ(list.TvServices()[1]->ChannelNo, std::numeric_limits<int>::max());
  EXPECT_EQ(list.TvServices()[1]->Sid, std::numeric_limits<int>::min());
}

TEST(Reader, EmptyElementsAndConfigurationRecords) {
  ChannelList list;
  ASSERT_EQ(ReadText(list, Doc("<Satellitelist><Configuration/><Configuration></Configuration>"
                               "<Satellite/><TunerConfiguration><ConnectType/></TunerConfiguration>"
                               "</Satellitelist><Favoritelist/><Service/>")),
            ReadResult::Loaded);
  EXPECT_EQ(list.Configurations().size(), 2u) << "each Configuration element is a record";
  EXPECT_EQ(list.Satellites().size(), 1u);
  EXPECT_EQ(list.TvServices().size(), 1u);
}

TEST(Reader, TheReaderClearsConfigurationsAndTunerButAddsTheRest) {
  ChannelList list;
  list.AddSatellite(std::make_unique<Satellite>());
  list.AddConfiguration(Configuration{});
  list.Tuner().Tuner2Type = 5;
  ASSERT_EQ(ReadText(list, Doc(kSatellites)), ReadResult::Loaded);
  EXPECT_EQ(list.Satellites().size(), 2u);
  EXPECT_EQ(list.Satellites()[1]->SatIndex, 1) << "counted in this file";
  EXPECT_TRUE(list.Configurations().empty());
  EXPECT_EQ(list.Tuner(), (TunerConfiguration{1, 2, 3, 4}));
}

TEST(Reader, UnknownElementsAndCommentsAreIgnored) {
  ChannelList list;
  ASSERT_EQ(ReadText(list, Doc("<!-- a comment -->\n<Extra><Service><Name>hidden</Name></Service></Extra>\n"
                               "<?pi data?>\n" +
                               ServiceXml(1, "<![CDATA[Raw <name> & co]]>", "TV", "<Unknown>1</Unknown>\n"))),
            ReadResult::Loaded);
  ASSERT_EQ(list.TvServices().size(), 1u);
  EXPECT_EQ(list.TvServices()[0]->Name, "Raw <name> & co");
}

TEST(Reader, LongRunsOfSiblingsKeepTheirOrder) {
  // 3,000 services and a group of 3,000 members: the preflight groups such
  // runs into wrappers for IXML; the reader must see through them.
  std::string body;
  for (int i = 1; i <= 3000; ++i) body += ServiceXml(i, "S" + std::to_string(i));
  body += "<Favoritelist>\n<FavoriteGroup>\n<Name>All</Name>\n<ServiceType>TV</ServiceType>\n";
  for (int i = 3000; i >= 1; --i) body += "<ChannelNo>" + std::to_string(i) + "</ChannelNo>\n";
  body += "</FavoriteGroup>\n</Favoritelist>\n";
  ChannelList list;
  ASSERT_EQ(ReadText(list, Doc(body)), ReadResult::Loaded);
  ASSERT_EQ(list.TvServices().size(), 3000u);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(list.TvServices()[static_cast<std::size_t>(i)]->ChannelNo, i + 1);
  const FavoriteGroup& g = *list.TvFavorites()[0];
  ASSERT_EQ(g.MemberCount(), 3000u);
  for (std::size_t m = 0; m < 3000; ++m) ASSERT_EQ(g.Member(m)->ChannelNo, static_cast<int>(3000 - m));
  EXPECT_EQ(ChannelFileBytes(list).find("vantrel-chunk"), std::string::npos);
}

TEST(Reader, AnElementNamedLikeTheWrapperIsJustUnknown) {
  std::string body;
  for (int i = 1; i <= 600; ++i) body += ServiceXml(i, "S");
  body += "<vantrel-chunk>" + ServiceXml(601, "inside") + "</vantrel-chunk>";
  ChannelList list;
  ASSERT_EQ(ReadText(list, Doc(body)), ReadResult::Loaded);
  EXPECT_EQ(list.TvServices().size(), 600u) << "its children are not read";
}

TEST(Reader, ANulByteEndsTheDocument) {
  ChannelList list;
  std::string bytes = Doc(ServiceXml(1, "a"));
  bytes += std::string(1, '\0') + "<<<garbage";
  EXPECT_EQ(ReadText(list, bytes), ReadResult::Loaded);
  EXPECT_EQ(list.TvServices().size(), 1u);
  ExpectFailure(std::string("<Servicelist>\0</Servicelist>", 28), "NUL inside");
}

TEST(Reader, MalformedFilesLoadNothing) {
  ExpectFailure("", "empty");
  ExpectFailure("no angle bracket at all", "no '<'");
  ExpectFailure("\xEF\xBB\xBF<", "nothing after '<'");
  ExpectFailure(Doc(ServiceXml(1, "x")).substr(0, 60), "truncated");
  ExpectFailure("<Servicelist><Service><Name>x</Service></Servicelist>", "unclosed tag");
  ExpectFailure("<Servicelist><Service>", "unclosed elements");
  ExpectFailure("<Servicelist></Servicelist><Servicelist></Servicelist>", "two document elements");
  ExpectFailure("<Servicelist><Service><Name>&bogus;</Name></Service></Servicelist>", "unknown entity");
  ExpectFailure("<Servicelist><Service><Name>\xFF\xFE</Name></Service></Servicelist>", "invalid UTF-8");
  ExpectFailure("<Servicelist a=\"1\" a=\"2\"></Servicelist>", "duplicate attribute");
  ExpectFailure("<Servicelist><Service><Name>&#", "numeric reference running into the end");
  ExpectFailure("<Servicelist><Service><Name>&#x4", "hexadecimal reference running into the end");
  ExpectFailure("<Servicelist><Service><Name><![CDATA[x", "CDATA section running into the end");
  // Findings of the fuzz target: IXML read past its buffer (1, 2) or leaked (3).
  ExpectFailure(vantrel::test::ReadFile(test::FixturePath("fuzz-ixml-overread.xml")), "fuzz finding 1");
  ExpectFailure(vantrel::test::ReadFile(test::FixturePath("fuzz-ixml-cdata-overread.xml")), "fuzz finding 2");
  ExpectFailure(vantrel::test::ReadFile(test::FixturePath("fuzz-ixml-leak.xml")), "fuzz finding 3");
  ExpectFailure(Doc(ServiceXml(1, "x")) + "*", "text after the document element");
  std::string garbage;
  unsigned state = 12345;
  for (int i = 0; i < 4096; ++i) {
    state = state * 1103515245u + 12345u;
    garbage += static_cast<char>((state >> 16) & 0xFF);
  }
  ExpectFailure("<" + garbage, "binary garbage");
}

TEST(Reader, EveryTruncationOfTheFixtureFailsCleanly) {
  const std::string bytes = vantrel::test::ReadFile(test::FixturePath("channel-small.xml"));
  ASSERT_GT(bytes.size(), 20000u);
  vantrel::test::ScriptedPrompt prompt;
  for (std::size_t cut = 1; cut < bytes.size() - 20; cut += 97) {
    ChannelList list;
    const ReadResult r = ReadText(list, bytes.substr(0, cut));
    ASSERT_EQ(r, ReadResult::Failed) << cut;
    ASSERT_TRUE(list.TvServices().empty()) << cut;
  }
}

TEST(Reader, FileFailures) {
  vantrel::test::TempDir dir;
  {
    vantrel::test::ScriptedPrompt prompt;
    ChannelList list;
    std::string reason;
    EXPECT_EQ(ReadChannelFile(list, dir.File("missing.xml"), &reason), ReadResult::Failed);
    EXPECT_NE(reason.find("missing.xml"), std::string::npos);
    ASSERT_EQ(prompt.Records().size(), 1u);
    EXPECT_EQ(prompt.Records()[0].text, GetText(294));
  }
  {
    vantrel::test::ScriptedPrompt prompt;
    ChannelList list;
    EXPECT_EQ(ReadChannelFile(list, dir.Path()), ReadResult::Failed) << "a folder";
    EXPECT_EQ(prompt.Records().size(), 1u);
  }
}

}  // namespace
}  // namespace vantrel::channels
