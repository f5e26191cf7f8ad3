#pragma once
// Helpers shared by the channel tests: field-by-field comparison of two lists,
// a list built in code, reading from a text, and the fixture paths.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "channels/ChannelList.h"

namespace vantrel::channels::test {

inline std::string FixturePath(const std::string& name) { return std::string(VANTREL_TEST_DATA) + "/channels/" + name; }

// Reads a document given as text into list; returns the result.
inline ReadResult ReadText(ChannelList& list, const std::string& text, std::string* reason = nullptr) {
  return ReadChannelBuffer(list, text, reason);
}

// The small fixture as a hand-edited file may hold it: the first two TV
// services swapped and the radio services reversed, each keeping its own
// ChannelNo, so the stored order no longer follows the numbering.
inline std::string ReorderedFixture(const std::string& fixture) {
  std::vector<std::string> tv, radio;
  std::string head, tail;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t begin = fixture.find("<Service>\n", pos);
    if (begin == std::string::npos) break;
    if (tv.empty() && radio.empty()) head = fixture.substr(0, begin);
    const std::size_t end = fixture.find("</Service>\n", begin) + 11;
    std::string block = fixture.substr(begin, end - begin);
    (block.find("<ServiceType>Radio</ServiceType>") != std::string::npos ? radio : tv).push_back(std::move(block));
    pos = end;
  }
  tail = fixture.substr(pos);
  std::swap(tv[0], tv[1]);
  std::string out = head;
  for (const auto& b : tv) out += b;
  for (auto it = radio.rbegin(); it != radio.rend(); ++it) out += *it;
  return out + tail;
}

// A channel file around a body: the declaration and the document element.
inline std::string Doc(const std::string& body) {
  return "<?xml version=\"1.0\"?>\r\n<Servicelist>\r\n" + body + "</Servicelist>\r\n";
}

// A minimal service element.
inline std::string ServiceXml(int no, const std::string& name, const std::string& type = "TV",
                              const std::string& extra = "") {
  return "<Service>\n<ChannelNo>" + std::to_string(no) + "</ChannelNo>\n<Name>" + name + "</Name>\n<ServiceType>" +
         type + "</ServiceType>\n" + extra + "</Service>\n";
}

inline void ExpectServiceEqual(const Service& a, const Service& b, const std::string& where) {
  EXPECT_EQ(a.ChannelNo, b.ChannelNo) << where;
  EXPECT_EQ(a.Name, b.Name) << where;
  EXPECT_EQ(a.ProviderName, b.ProviderName) << where;
  EXPECT_EQ(a.ServiceType, b.ServiceType) << where;
  EXPECT_EQ(a.Scrambled, b.Scrambled) << where;
  EXPECT_EQ(a.Sid, b.Sid) << where;
  EXPECT_EQ(a.Onid, b.Onid) << where;
  EXPECT_EQ(a.Tsid, b.Tsid) << where;
  EXPECT_EQ(a.Vpid, b.Vpid) << where;
  EXPECT_EQ(a.Apid, b.Apid) << where;
  EXPECT_EQ(a.PCRpid, b.PCRpid) << where;
  EXPECT_EQ(a.Locked, b.Locked) << where;
  EXPECT_EQ(a.Skipped, b.Skipped) << where;
  EXPECT_EQ(a.IsHD, b.IsHD) << where;
  EXPECT_EQ(a.LCNNo, b.LCNNo) << where;
  EXPECT_EQ(a.Carrier, b.Carrier) << where;
}

// Field by field; services compare with ExpectServiceEqual, group members by
// position (references) or content (copies).
inline void ExpectListsEqual(const ChannelList& a, const ChannelList& b) {
  ASSERT_EQ(a.Satellites().size(), b.Satellites().size());
  for (std::size_t i = 0; i < a.Satellites().size(); ++i) {
    const Satellite& x = *a.Satellites()[i];
    const Satellite& y = *b.Satellites()[i];
    const std::string where = "satellite " + std::to_string(i);
    EXPECT_EQ(x.SatIndex, y.SatIndex) << where;
    EXPECT_EQ(x.SatName, y.SatName) << where;
    EXPECT_EQ(x.Band, y.Band) << where;
    EXPECT_EQ(x.Longitude, y.Longitude) << where;
    ASSERT_EQ(x.mTransponder.size(), y.mTransponder.size()) << where;
    for (std::size_t t = 0; t < x.mTransponder.size(); ++t) {
      EXPECT_EQ(*x.mTransponder[t], *y.mTransponder[t]) << where << " transponder " << t;
    }
  }
  EXPECT_EQ(a.Configurations(), b.Configurations());
  EXPECT_EQ(a.Tuner(), b.Tuner());
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    const auto& x = a.Services(kind);
    const auto& y = b.Services(kind);
    ASSERT_EQ(x.size(), y.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
      ExpectServiceEqual(*x[i], *y[i], (kind == ServiceKind::Tv ? "tv " : "radio ") + std::to_string(i));
    }
  }
  for (const bool radio : {false, true}) {
    const auto& x = radio ? a.RadioFavorites() : a.TvFavorites();
    const auto& y = radio ? b.RadioFavorites() : b.TvFavorites();
    ASSERT_EQ(x.size(), y.size());
    for (std::size_t g = 0; g < x.size(); ++g) {
      const FavoriteGroup& p = *x[g];
      const FavoriteGroup& q = *y[g];
      const std::string where = std::string(radio ? "radio" : "tv") + " group " + std::to_string(g);
      EXPECT_EQ(p.GroupId, q.GroupId) << where;
      EXPECT_EQ(p.ServiceType, q.ServiceType) << where;
      EXPECT_EQ(p.Name, q.Name) << where;
      ASSERT_EQ(p.MemberCount(), q.MemberCount()) << where;
      for (std::size_t m = 0; m < p.MemberCount(); ++m) {
        EXPECT_EQ(p.OwnsMember(m), q.OwnsMember(m)) << where << " member " << m;
        if (p.OwnsMember(m)) {
          ExpectServiceEqual(*p.Member(m), *q.Member(m), where + " member " + std::to_string(m));
        } else {
          const ServiceKind kind = p.ServiceType == kFavoriteRadio ? ServiceKind::Radio : ServiceKind::Tv;
          EXPECT_EQ(a.IndexOfService(p.Member(m)), b.IndexOfService(q.Member(m))) << where << " member " << m;
          (void)kind;
        }
      }
    }
  }
}

// A list with every kind of record and value, numbered 1..n, as the editor would hold it.
inline void BuildSampleList(ChannelList& list) {
  for (int s = 0; s < 3; ++s) {
    auto sat = std::make_unique<Satellite>();
    sat->SatIndex = s + 1;
    sat->SatName = s == 0 ? "Astra 19.2°E & Co" : s == 1 ? "Hot Bird <13>" : "Türksat \"4A\"";
    sat->Band = s == 2 ? kBandC : kBandKu;
    sat->Longitude = s == 1 ? 1808 : 192 + s * 100;
    for (int t = 0; t < s + 1; ++t) {
      auto tp = std::make_unique<Transponder>();
      tp->SatIndex = s + 1;
      tp->Frequency = 10700 + 100 * t + s;
      tp->SymbolRate = 27500 - t;
      tp->Tsid = 1000 + t;
      tp->Onid = 1 + s;
      tp->Nid = 2 + s;
      tp->Pol = t % 2 ? 'V' : 'H';
      tp->FEC = t == 0 ? 0 : 6 + t + s;
      sat->mTransponder.push_back(std::move(tp));
    }
    list.AddSatellite(std::move(sat));
  }
  Configuration c;
  c.Slot = 255;
  c.Tuner = -1;
  c.Longitude = 3599;
  c.Band = kBandC;
  c.FrequencyLevel = 1;
  c.DisEqC11 = -2;
  c.DiSEqC = 3;
  c.DisEqCRepeat = 200;
  c.MoterType = 2;
  c.LO1Frequency = -32768;
  c.LO2Frequency = 32767;
  c.BandSwitchFreq = 11700;
  c.MotorizedData = -5;
  c.IsOneCable = 1;
  c.OneCablePin = 250;
  c.OneCableMDU = 7;
  c.OneCableLoFreq1 = 1210;
  c.OneCableLoFreq2 = -1;
  c.OneCableUBSlot = 8;
  c.OneCableUBFreq = 1680;
  c.USALSLongitude = 65535;
  list.AddConfiguration(c);
  Configuration d;
  d.Band = kBandKu;
  d.MoterType = 1;
  list.AddConfiguration(d);
  list.Tuner() = TunerConfiguration{1, 2, 3, -4};
  for (int i = 0; i < 12; ++i) {
    auto s = std::make_unique<Service>();
    const bool radio = i >= 8;
    s->ServiceType = radio ? kServiceTypeRadio : kServiceTypeTv;
    s->ChannelNo = radio ? i - 7 : i + 1;
    s->Name = i == 0   ? "Первый канал"
              : i == 1 ? "Sport & Co"
              : i == 2 ? "Kids' <Club>"
                       : "Service " + std::to_string(i);
    s->ProviderName = i == 3 ? "Ñoño \"TV\"" : "Provider " + std::to_string(i % 3);
    s->Scrambled = static_cast<std::int8_t>(i % 3 == 0 ? 1 : i == 5 ? -1 : 0);
    s->Sid = 28000 + i;
    s->Onid = i;
    s->Tsid = 1000 + i;
    s->Vpid = radio ? 0 : 100 + i;
    s->Apid = 200 + i;
    s->PCRpid = 300 + i;
    s->Locked = i % 4 == 1;
    s->Skipped = i % 5 == 2;
    s->IsHD = i % 2 == 0;
    s->Carrier = ServiceCarrier{192 + (i % 3) * 100, i % 3 == 2 ? kBandC : kBandKu,       11000 + i,
                                22000 + i,           i == 7 ? '\0' : (i % 2 ? 'V' : 'H'), i % 3 == 0 ? 15 : 0};
    list.AddService(std::move(s));
  }
  auto tv = std::make_unique<FavoriteGroup>(kFavoriteTv, "Favorite", 1);
  tv->AddReference(list.TvServices()[0].get());
  tv->AddReference(list.TvServices()[4].get());
  tv->AddReference(list.TvServices()[2].get());
  list.AddFavoriteGroup(std::move(tv));
  auto empty = std::make_unique<FavoriteGroup>(kFavoriteTv, "Empty & <odd>", 2);
  list.AddFavoriteGroup(std::move(empty));
  auto fs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "FastScan", 1);
  for (int i : {1, 3, 0}) {
    auto copy = std::make_unique<Service>(*list.TvServices()[static_cast<std::size_t>(i)]);
    copy->Name = "FS \"" + std::to_string(i) + "\" & more";
    copy->LCNNo = 100 + i;
    fs->AddCopy(std::move(copy));
  }
  list.AddFavoriteGroup(std::move(fs));
  auto radio = std::make_unique<FavoriteGroup>(kFavoriteRadio, "Radio favourites", 2);
  radio->AddReference(list.RadioServices()[3].get());
  radio->AddReference(list.RadioServices()[0].get());
  list.AddFavoriteGroup(std::move(radio));
  auto fsr = std::make_unique<FavoriteGroup>(kFavoriteFastScanRadio, "FS Radio", 3);
  auto copy = std::make_unique<Service>(*list.RadioServices()[1]);
  copy->Name = "Радио";
  copy->LCNNo = 7;
  fsr->AddCopy(std::move(copy));
  list.AddFavoriteGroup(std::move(fsr));
}

}  // namespace vantrel::channels::test
