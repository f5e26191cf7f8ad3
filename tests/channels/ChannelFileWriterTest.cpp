// The writer's layout and edge cases, and its view-dependent steps.
#include <gtest/gtest.h>

#include <algorithm>

#include "ChannelTestUtil.h"
#include "channels/ChannelFileWriter.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace vantrel::channels {
namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

Service* AddTv(ChannelList& list, int no, const std::string& name) {
  auto s = std::make_unique<Service>();
  s->ChannelNo = no;
  s->Name = name;
  Service* raw = s.get();
  list.AddService(std::move(s));
  return raw;
}

TEST(Writer, EmptyList) {
  ChannelList list;
  EXPECT_EQ(ChannelFileBytes(list),
            "<?xml version=\"1.0\"?>\r\n"
            "<Servicelist>\r\n"
            "<Satellitelist>\r\n"
            "<TunerConfiguration>\n"
            "<ConnectType>0</ConnectType>\n"
            "<SignalConfig>0</SignalConfig>\n"
            "<Tuner1Type>0</Tuner1Type>\n"
            "<Tuner2Type>0</Tuner2Type>\n"
            "</TunerConfiguration>\n"
            "</Satellitelist>\r\n"
            "<Favoritelist></Favoritelist>\n"
            "</Servicelist>\r\n");
}

TEST(Writer, TheDesignsServiceExample) {
  ChannelList list;
  auto s = std::make_unique<Service>();
  s->ChannelNo = 1;
  s->Name = "News 24";
  s->Sid = 28006;
  s->Tsid = 1079;
  s->Onid = 1;
  s->Carrier = ServiceCarrier{192, kBandKu, 11362, 22000, 'H', 15};
  s->Vpid = 110;
  s->Apid = 120;
  s->PCRpid = 110;
  s->IsHD = true;
  list.AddService(std::move(s));
  const std::string expected =
      "<Service>\n<ChannelNo>1</ChannelNo>\n<Name>News 24</Name>\n<Sid>28006</Sid>\n<Tsid>1079</Tsid>\n"
      "<Onid>1</Onid>\n<Carrier>\n<Longitude>192</Longitude>\n<Band>Ku</Band>\n<Frequency>11362</Frequency>\n"
      "<SymbolRate>22000</SymbolRate>\n<Pol>H</Pol>\n<FEC>DVBS2 8PSK 2/3</FEC>\n</Carrier>\n<Vpid>110</Vpid>\n"
      "<Apid>120</Apid>\n<PCRpid>110</PCRpid>\n<Scrambled>0</Scrambled>\n<Skipped>false</Skipped>\n"
      "<Locked>false</Locked>\n<ServiceType>TV</ServiceType>\n<IsHD>true</IsHD>\n"
      "<ProviderName>No Provider</ProviderName>\n</Service>\n";
  const std::string bytes = ChannelFileBytes(list);
  EXPECT_NE(bytes.find("</Satellitelist>\r\n" + expected + "<Favoritelist></Favoritelist>\n"), std::string::npos)
      << bytes;
}

TEST(Writer, SatelliteWithoutTranspondersAndBands) {
  ChannelList list;
  for (int band : {kBandC, kBandKu, kBandUnset}) {
    auto sat = std::make_unique<Satellite>();
    sat->SatName = "S" + std::to_string(band);
    sat->Longitude = 1808;
    sat->Band = band;
    list.AddSatellite(std::move(sat));
  }
  const std::string bytes = ChannelFileBytes(list);
  EXPECT_TRUE(Contains(bytes, "<Satellitelist>\r\n<Satellite>\n<SatName>S2</SatName>\n<Longitude>1808</Longitude>\n"
                              "<Band>C</Band>\n</Satellite>\n<Satellite>\n<SatName>S1</SatName>\n"
                              "<Longitude>1808</Longitude>\n<Band>Ku</Band>\n</Satellite>\n<Satellite>\n"
                              "<SatName>S0</SatName>\n<Longitude>1808</Longitude>\n<Band>Ku</Band>\n</Satellite>\n"
                              "<TunerConfiguration>\n"))
      << bytes;
}

TEST(Writer, ServiceBandsFecsAndPolarisations) {
  ChannelList list;
  Service* c = AddTv(list, 1, "c");
  c->Carrier.Band = kBandC;
  c->Carrier.FEC = 3;
  c->Carrier.Pol = '\0';
  Service* ku = AddTv(list, 2, "ku");
  ku->Carrier.Band = kBandUnset;
  ku->Carrier.FEC = 25;
  ku->Carrier.Pol = 'V';
  Service* neg = AddTv(list, 3, "neg");
  neg->Carrier.FEC = -1;
  neg->Carrier.Pol = '<';
  auto sat = std::make_unique<Satellite>();
  auto tp = std::make_unique<Transponder>();
  tp->Pol = 'x';
  tp->FEC = 20;
  sat->mTransponder.push_back(std::move(tp));
  list.AddSatellite(std::move(sat));
  const std::string bytes = ChannelFileBytes(list);
  EXPECT_TRUE(Contains(bytes, "<Name>c</Name>\n<Sid>0</Sid>\n<Tsid>0</Tsid>\n<Onid>0</Onid>\n<Carrier>\n"
                              "<Longitude>0</Longitude>\n<Band>C</Band>\n<Frequency>0</Frequency>\n"
                              "<SymbolRate>0</SymbolRate>\n<Pol></Pol>\n<FEC>UNDEFINED</FEC>\n"));
  EXPECT_TRUE(Contains(bytes, "<Band>Ku</Band>\n<Frequency>0</Frequency>\n<SymbolRate>0</SymbolRate>\n<Pol>V</Pol>\n"
                              "<FEC>UNDEFINED</FEC>"));
  EXPECT_TRUE(Contains(bytes, "<Pol>&lt;</Pol>\n<FEC>UNDEFINED</FEC>"));
  EXPECT_TRUE(Contains(bytes, "<Nid>0</Nid>\n<Pol>V</Pol>\n<FEC>UNDEFINED</FEC>\n</Transponder>"))
      << "a transponder's Pol is H or else V";

  // UNDEFINED reads back as 0.
  ChannelList back;
  ASSERT_EQ(ReadChannelBuffer(back, bytes), ReadResult::Loaded);
  EXPECT_EQ(back.TvServices()[0]->Carrier.FEC, 0);
  EXPECT_EQ(back.TvServices()[0]->Carrier.Pol, '\0');
  EXPECT_EQ(back.TvServices()[2]->Carrier.Pol, '<');
}

TEST(Writer, EscapingInTextsAndAttributes) {
  ChannelList list;
  Service* s = AddTv(list, 1, "Sport & \"Co\" <'x'>");
  auto fs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "A&B");
  auto copy = std::make_unique<Service>(*s);
  copy->Name = "Tom & Jerry \"<'>\"";
  copy->LCNNo = 42;
  fs->AddCopy(std::move(copy));
  list.AddFavoriteGroup(std::move(fs));
  const std::string bytes = ChannelFileBytes(list);
  EXPECT_TRUE(Contains(bytes, "<Name>Sport &amp; &quot;Co&quot; &lt;&apos;x&apos;&gt;</Name>\n"));
  EXPECT_TRUE(Contains(bytes, "<Favoritelist>\n<FavoriteGroup>\n<Name>A&amp;B</Name>\n"
                              "<ServiceType>FastScan_TV</ServiceType>\n"
                              "<ChannelNo Name=\"Tom &amp; Jerry &quot;&lt;&apos;&gt;&quot;\" LCNNo=\"42\">1</ChannelNo>\n"
                              "</FavoriteGroup>\n</Favoritelist>\n</Servicelist>\r\n"))
      << bytes;
}

TEST(Writer, ProviderServiceTypeAndFlags) {
  ChannelList list;
  Service* tv = AddTv(list, 1, "tv");
  tv->ProviderName = "";
  tv->ServiceType = kServiceTypeTv;
  tv->Locked = true;
  tv->Skipped = true;
  tv->Scrambled = -3;
  auto radio = std::make_unique<Service>();
  radio->ServiceType = kServiceTypeRadio;
  radio->ProviderName = "ARD";
  Service* r = radio.get();
  list.AddService(std::move(radio));
  r->ServiceType = kServiceTypeTv;  // the list decides what is written, not the field
  const std::string bytes = ChannelFileBytes(list);
  EXPECT_TRUE(Contains(bytes, "<Scrambled>-3</Scrambled>\n<Skipped>true</Skipped>\n<Locked>true</Locked>\n"
                              "<ServiceType>TV</ServiceType>\n<IsHD>false</IsHD>\n"
                              "<ProviderName>No Provider</ProviderName>\n"));
  EXPECT_TRUE(Contains(bytes, "<ServiceType>Radio</ServiceType>\n<IsHD>false</IsHD>\n"
                              "<ProviderName>ARD</ProviderName>\n</Service>\n<Favoritelist>"));
}

TEST(Writer, TextsLongerThan255BytesAreWrittenEmpty) {
  ChannelList list;
  AddTv(list, 1, std::string(255, 'a'));
  AddTv(list, 2, std::string(256, 'b'));
  AddTv(list, 3, std::string(126, 'x') + "éé");  // 130 bytes: fits
  AddTv(list, 4, std::string(250, 'y') + "жжж");  // 256 bytes: does not
  auto sat = std::make_unique<Satellite>();
  sat->SatName = std::string(260, 's');  // fits the model (263), not the writer's 255
  list.AddSatellite(std::move(sat));
  const std::string bytes = ChannelFileBytes(list);
  EXPECT_TRUE(Contains(bytes, "<Name>" + std::string(255, 'a') + "</Name>"));
  EXPECT_TRUE(Contains(bytes, "<ChannelNo>2</ChannelNo>\n<Name></Name>\n"));
  EXPECT_TRUE(Contains(bytes, "<Name>" + std::string(126, 'x') + "éé</Name>"));
  EXPECT_TRUE(Contains(bytes, "<ChannelNo>4</ChannelNo>\n<Name></Name>\n"));
  EXPECT_TRUE(Contains(bytes, "<SatName></SatName>"));
}

TEST(Writer, ConfigurationFieldsKeepTheirSignedness) {
  ChannelList list;
  test::BuildSampleList(list);
  const std::string bytes = ChannelFileBytes(list);
  EXPECT_TRUE(Contains(bytes,
                       "<Configuration>\n<Slot>255</Slot>\n<Tuner>-1</Tuner>\n<Longitude>3599</Longitude>\n"
                       "<Band>C</Band>\n<LO1Frequency>-32768</LO1Frequency>\n<LO2Frequency>32767</LO2Frequency>\n"
                       "<BandSwitchFreq>11700</BandSwitchFreq>\n<DiSEqC>3</DiSEqC>\n"
                       "<FrequencyLevel>true</FrequencyLevel>\n<DisEqC11>-2</DisEqC11>\n"
                       "<DisEqCRepeat>200</DisEqCRepeat>\n<MoterType>USALS</MoterType>\n"
                       "<MotorizedData>-5</MotorizedData>\n<IsOneCable>1</IsOneCable>\n"
                       "<OneCablePin>250</OneCablePin>\n<OneCableMDU>7</OneCableMDU>\n"
                       "<OneCableLoFreq1>1210</OneCableLoFreq1>\n<OneCableLoFreq2>-1</OneCableLoFreq2>\n"
                       "<OneCableUBSlot>8</OneCableUBSlot>\n<OneCableUBFreq>1680</OneCableUBFreq>\n"
                       "<USALSLongitude>65535</USALSLongitude>\n</Configuration>\n"))
      << bytes;
  EXPECT_TRUE(Contains(bytes, "<FrequencyLevel>false</FrequencyLevel>\n<DisEqC11>0</DisEqC11>\n"
                              "<DisEqCRepeat>0</DisEqCRepeat>\n<MoterType>ON</MoterType>"));
  EXPECT_TRUE(Contains(bytes, "<TunerConfiguration>\n<ConnectType>1</ConnectType>\n<SignalConfig>2</SignalConfig>\n"
                              "<Tuner1Type>3</Tuner1Type>\n<Tuner2Type>-4</Tuner2Type>\n</TunerConfiguration>\n"));
}

TEST(Writer, LineEndings) {
  ChannelList list;
  test::BuildSampleList(list);
  const std::string bytes = ChannelFileBytes(list);
  // CR LF only after the five frame lines; LF everywhere else; no indentation.
  std::size_t crlf = 0;
  for (std::size_t i = bytes.find("\r\n"); i != std::string::npos; i = bytes.find("\r\n", i + 2)) ++crlf;
  EXPECT_EQ(crlf, 5u);
  EXPECT_EQ(bytes.find("\n "), std::string::npos);
  EXPECT_EQ(bytes.find("\n\t"), std::string::npos);
}

TEST(Writer, GroupKindsFollowTheTreeNode) {
  ChannelList list;
  Service* s = AddTv(list, 1, "s");
  auto tvFs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "fs");
  tvFs->AddReference(s);  // a FastScan group holding a reference still writes attributes
  list.AddFavoriteGroup(std::move(tvFs));
  list.AddFavoriteGroup(std::make_unique<FavoriteGroup>(kFavoriteUnknown, "unknown"));
  list.AddFavoriteGroup(std::make_unique<FavoriteGroup>(kFavoriteFastScanRadio, "fsr"));
  const std::string bytes = ChannelFileBytes(list);
  EXPECT_TRUE(Contains(bytes, "<Name>fs</Name>\n<ServiceType>FastScan_TV</ServiceType>\n"
                              "<ChannelNo Name=\"s\" LCNNo=\"0\">1</ChannelNo>\n"));
  EXPECT_TRUE(Contains(bytes, "<Name>unknown</Name>\n<ServiceType>Radio</ServiceType>\n</FavoriteGroup>"));
  EXPECT_TRUE(Contains(bytes, "<Name>fsr</Name>\n<ServiceType>FastScan_Radio</ServiceType>\n</FavoriteGroup>"));
}

// The editor's side, scripted.
class ScriptedView final : public IChannelListView {
 public:
  explicit ScriptedView(ChannelList& list) : m_list(list) {}
  bool SortByNumberAndCheck() override {
    ++sorts;
    return numbered;
  }
  void Renumber() override {
    ++renumbers;
    int n = 1;
    for (const auto& s : m_list.TvServices()) s->ChannelNo = n++;
    numbered = true;
  }
  std::vector<const FavoriteGroup*> TvNodeGroups(const ChannelList& list) const override {
    std::vector<const FavoriteGroup*> out;
    for (const auto& g : list.TvFavorites()) out.insert(out.begin(), g.get());  // reversed
    return out;
  }
  std::vector<const FavoriteGroup*> RadioNodeGroups(const ChannelList&) const override { return {}; }
  void SetWindowTitle(const std::string& fileName) override { title = fileName; }

  bool numbered = true;
  int sorts = 0;
  int renumbers = 0;
  std::string title;

 private:
  ChannelList& m_list;
};

TEST(Writer, GroupsGoInTheTreesOrder) {
  ChannelList list;
  list.AddFavoriteGroup(std::make_unique<FavoriteGroup>(kFavoriteTv, "first"));
  list.AddFavoriteGroup(std::make_unique<FavoriteGroup>(kFavoriteTv, "second"));
  list.AddFavoriteGroup(std::make_unique<FavoriteGroup>(kFavoriteRadio, "radio"));
  ScriptedView view(list);
  const std::string bytes = ChannelFileBytes(list, view);
  EXPECT_LT(bytes.find("second"), bytes.find("first"));
  EXPECT_EQ(bytes.find("radio"), std::string::npos) << "not under a node of the tree";
}

TEST(Writer, RenumberingQuestion) {
  vantrel::test::TempDir dir;
  const std::string path = dir.Write("list.xml", "old bytes");
  ChannelList list;
  AddTv(list, 5, "a");
  AddTv(list, 3, "b");
  ScriptedView view(list);
  view.numbered = false;
  {
    vantrel::test::ScriptedPrompt prompt;
    prompt.SetNextAnswer(false);
    std::string reason;
    EXPECT_EQ(WriteChannelFile(list, path, false, view, &reason), WriteResult::Abandoned);
    ASSERT_EQ(prompt.Records().size(), 1u);
    EXPECT_TRUE(prompt.Records()[0].question);
    EXPECT_EQ(prompt.Records()[0].text, "Renumbering is necessary.\n\nDo you want renumbering?");
    EXPECT_EQ(prompt.Records()[0].caption, GetText(291));
    EXPECT_EQ(vantrel::test::ReadFile(path), "old bytes") << "No writes nothing";
    EXPECT_EQ(view.renumbers, 0);
    EXPECT_EQ(list.FilePath(), path) << "step 1 comes first";
    EXPECT_TRUE(view.title.empty());
  }
  {
    vantrel::test::ScriptedPrompt prompt;
    prompt.SetNextAnswer(true);
    EXPECT_EQ(WriteChannelFile(list, path, false, view), WriteResult::Written);
    EXPECT_EQ(view.renumbers, 1) << "Yes renumbers, then saves";
    EXPECT_EQ(view.sorts, 2);
    const std::string bytes = vantrel::test::ReadFile(path);
    EXPECT_TRUE(Contains(bytes, "<ChannelNo>1</ChannelNo>\n<Name>a</Name>"));
    EXPECT_TRUE(Contains(bytes, "<ChannelNo>2</ChannelNo>\n<Name>b</Name>"));
    EXPECT_EQ(view.title, "list.xml");
  }
  {
    vantrel::test::ScriptedPrompt prompt;  // numbered now: no question
    const std::string other = dir.File("temp.xml");
    EXPECT_EQ(WriteChannelFile(list, other, true, view), WriteResult::Written);
    EXPECT_TRUE(prompt.Records().empty());
    EXPECT_EQ(list.FilePath(), path) << "keepPath leaves the path";
    EXPECT_EQ(vantrel::test::ReadFile(other), ChannelFileBytes(list, view));
  }
}

TEST(Writer, TheDefaultViewWritesAsStored) {
  vantrel::test::TempDir dir;
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  AddTv(list, 7, "seven");
  AddTv(list, 2, "two");
  EXPECT_EQ(WriteChannelFile(list, dir.File("x.xml"), false), WriteResult::Written);
  EXPECT_TRUE(prompt.Records().empty());
  const std::string bytes = vantrel::test::ReadFile(dir.File("x.xml"));
  EXPECT_LT(bytes.find("<ChannelNo>7</ChannelNo>"), bytes.find("<ChannelNo>2</ChannelNo>"));
  EXPECT_EQ(list.FilePath(), dir.File("x.xml"));
}

}  // namespace
}  // namespace vantrel::channels
