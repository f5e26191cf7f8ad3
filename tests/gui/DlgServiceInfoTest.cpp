// The service properties dialog: how a service fills the controls, the
// order of the checks on OK with their messages, and what OK stores.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "channels/ChannelEditor.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/channel/DlgServiceInfo.h"

using vantrel::channels::ChannelList;
using vantrel::channels::Configuration;
using vantrel::channels::Satellite;
using vantrel::channels::Service;
using vantrel::ui::CDlgServiceInfo;

namespace {

vantrel::test::IsolatedSettings g_isolated;

void AddSatellite(ChannelList& list, const std::string& name, int longitude) {
  auto satellite = std::make_unique<Satellite>();
  satellite->SatName = name;
  satellite->Longitude = longitude;
  list.AddSatellite(std::move(satellite));
}

void AddConfiguration(ChannelList& list, int longitude) {
  Configuration configuration;
  configuration.Longitude = static_cast<std::uint16_t>(longitude);
  list.AddConfiguration(configuration);
}

Service SampleService() {
  Service s;
  s.ChannelNo = 7;
  s.Name = "Das Erste HD";
  s.ProviderName = "ARD";
  s.Sid = 10301;
  s.Onid = 1;
  s.Tsid = 1019;
  s.Vpid = 5101;
  s.Apid = 5102;
  s.PCRpid = 5101;
  s.IsHD = true;
  s.Carrier = {192, vantrel::channels::kBandKu, 11494, 22000, 'H', 9};
  return s;
}

class DlgServiceInfoTest : public ::testing::Test {
 protected:
  DlgServiceInfoTest() {
    AddSatellite(list, "Astra", 192);
    AddSatellite(list, "Hotbird", 130);
    AddConfiguration(list, 192);
    AddConfiguration(list, 130);
    AddConfiguration(list, 192);
  }
  QLineEdit* Edit(int id) const { return dlg->findChild<QLineEdit*>(QString::number(id)); }
  QComboBox* List(int id) const { return dlg->findChild<QComboBox*>(QString::number(id)); }
  void Open(const Service& service, int rows = 120) {
    dlg = std::make_unique<CDlgServiceInfo>(list, rows);
    dlg->SetMode(CDlgServiceInfo::kModeEdit);
    dlg->SetService(service);
  }
  // Presses OK; the messages shown, in order.
  std::vector<std::string> PressOk() {
    prompt.Clear();
    dlg->setResult(0);
    dlg->findChild<QPushButton*>("1")->click();
    std::vector<std::string> texts;
    for (const auto& record : prompt.Records()) {
      EXPECT_EQ(record.caption, "ERROR");
      EXPECT_EQ(record.icon, vantrel::PromptIcon::Error);
      texts.push_back(record.text);
    }
    return texts;
  }
  bool Accepted() const { return dlg->result() == QDialog::Accepted; }

  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  std::unique_ptr<CDlgServiceInfo> dlg;
};

TEST_F(DlgServiceInfoTest, FillsEveryControlFromTheService) {
  Open(SampleService());
  EXPECT_EQ(dlg->windowTitle(), "Channel Info");
  EXPECT_EQ(Edit(10314)->text(), "7");
  EXPECT_EQ(Edit(10308)->text(), "Das Erste HD");
  EXPECT_EQ(Edit(10342)->text(), "ARD");
  EXPECT_EQ(Edit(10312)->text(), "11494");
  EXPECT_EQ(Edit(10338)->text(), "22000");
  EXPECT_EQ(Edit(10306)->text(), "10301");
  EXPECT_EQ(Edit(10311)->text(), "1");
  EXPECT_EQ(Edit(10304)->text(), "1019");
  EXPECT_EQ(Edit(10303)->text(), "5101");
  EXPECT_EQ(Edit(10315)->text(), "5102");
  EXPECT_EQ(Edit(10310)->text(), "5101");
  EXPECT_EQ(List(10309)->currentText(), "Horizontal");
  EXPECT_EQ(List(10337)->count(), 15);
  EXPECT_EQ(List(10337)->currentIndex(), 9 - 5);
  EXPECT_EQ(List(10345)->currentText(), "Ku");
  EXPECT_EQ(List(10307)->currentText(), "TV");
  EXPECT_EQ(List(10301)->currentText(), "true");
  EXPECT_EQ(List(10313)->currentText(), "false");
  EXPECT_FALSE(List(10307)->isEnabled());
  EXPECT_FALSE(List(10302)->isEnabled());
  EXPECT_TRUE(List(10313)->isEnabled());
  // Two configurations at 19.2 E give one item; the service's is selected.
  ASSERT_EQ(List(10341)->count(), 2);
  EXPECT_EQ(List(10341)->itemText(0), "19.2 E Astra");
  EXPECT_EQ(List(10341)->itemText(1), "13.0 E Hotbird");
  EXPECT_EQ(List(10341)->currentIndex(), 0);

  // Unchanged, OK gives the service back as it came.
  EXPECT_TRUE(PressOk().empty());
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg->GetService(), SampleService());
}

TEST_F(DlgServiceInfoTest, ChannelNumberMustBeARowOfTheList) {
  Open(SampleService(), 120);
  for (const char* refused : {"0", "121", ""}) {
    Edit(10314)->setText(refused);
    EXPECT_EQ(PressOk(), std::vector<std::string>{"Channel Range : 1 ~ 120"}) << refused;
    EXPECT_FALSE(Accepted());
  }
  for (const char* accepted : {"1", "120"}) {
    Edit(10314)->setText(accepted);
    EXPECT_TRUE(PressOk().empty()) << accepted;
    EXPECT_TRUE(Accepted());
  }
  EXPECT_EQ(dlg->GetService().ChannelNo, 120);
}

TEST_F(DlgServiceInfoTest, ChecksGoInOrderAndStopAtTheFirstFailure) {
  Open(SampleService());
  // Everything wrong at once: only the channel number is reported.
  for (int id : {10314, 10308, 10312, 10306, 10311, 10304, 10303, 10315, 10310, 10338}) Edit(id)->clear();
  const std::vector<std::pair<int, std::string>> order = {
      {10314, "Channel Range : 1 ~ 120"},
      {10308, "Fill a channel name"},
      {10312, "Fill a frequency"},
      {10306, "Select a Sid"},
      {10311, "Fill a Onid"},
      {10304, "Fill a Tsid"},
      {10303, "Fill a video PID"},
      {10315, "Fill a audio PID"},
      {10310, "Fill a pcr PID"},
      {10338, "Fill a symbol rate"},
  };
  for (const auto& [id, message] : order) {
    EXPECT_EQ(PressOk(), std::vector<std::string>{message});
    EXPECT_FALSE(Accepted()) << message;
    Edit(id)->setText(id == 10308 ? "Name" : "1");
  }
  EXPECT_TRUE(PressOk().empty());
  EXPECT_TRUE(Accepted());

  // A negative value counts as missing; Validate reports the text index.
  Edit(10304)->setText("-5");
  std::string message;
  EXPECT_EQ(dlg->Validate(&message), 305);
  EXPECT_EQ(message, "Fill a Tsid");
}

// OK without edits gives the service back as it came, also where a list has
// no item of its own for the stored value.
TEST_F(DlgServiceInfoTest, UntouchedChoicesKeepTheStoredValues) {
  AddSatellite(list, "Astra 3", 235);  // no configuration for it
  Service s = SampleService();
  s.Carrier.Longitude = 235;
  s.Carrier.FEC = 3;  // no name of its own
  s.Carrier.Pol = 0;
  s.Carrier.Band = 0;
  s.Scrambled = 2;
  Open(s);
  EXPECT_EQ(List(10337)->currentText(), "Auto");
  EXPECT_EQ(List(10309)->currentText(), "Vertical");
  EXPECT_EQ(List(10345)->currentText(), "Ku");
  ASSERT_EQ(List(10341)->count(), 3);
  EXPECT_EQ(List(10341)->currentText(), "23.5 E Astra 3");
  EXPECT_TRUE(PressOk().empty());
  EXPECT_EQ(dlg->GetService(), s);

  // Chosen by the user, the shown item counts even when it did not change.
  Q_EMIT List(10337)->activated(0);
  Q_EMIT List(10309)->activated(1);
  List(10341)->setCurrentIndex(0);
  EXPECT_TRUE(PressOk().empty());
  EXPECT_EQ(dlg->GetService().Carrier.FEC, 0);
  EXPECT_EQ(dlg->GetService().Carrier.Pol, 'V');
  EXPECT_EQ(dlg->GetService().Carrier.Longitude, 192);
  EXPECT_EQ(dlg->GetService().Carrier.Band, 0);
}

TEST_F(DlgServiceInfoTest, EditedChoicesAreStored) {
  Open(SampleService());
  List(10341)->setCurrentIndex(1);  // Hotbird
  List(10345)->setCurrentIndex(0);  // C
  List(10309)->setCurrentIndex(1);  // Vertical
  List(10337)->setCurrentIndex(1);  // code 6
  List(10313)->setCurrentIndex(1);
  List(10305)->setCurrentIndex(1);
  List(10301)->setCurrentIndex(0);
  Edit(10342)->setText("");
  ASSERT_TRUE(PressOk().empty());
  const Service& s = dlg->GetService();
  EXPECT_EQ(s.Carrier.Longitude, 130);
  EXPECT_EQ(s.Carrier.Band, 2);
  EXPECT_EQ(s.Carrier.Pol, 'V');
  EXPECT_EQ(s.Carrier.FEC, 6);
  EXPECT_TRUE(s.Locked);
  EXPECT_TRUE(s.Skipped);
  EXPECT_FALSE(s.IsHD);
  EXPECT_EQ(s.ProviderName, "");
}

TEST(DlgServiceInfoSatellites, WithoutConfigurationsOnlyTheServicesOwnSatellite) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  AddSatellite(list, "Astra", 192);
  AddSatellite(list, "Thor", 1808);
  Service s = SampleService();
  s.Carrier.Longitude = 1808;
  CDlgServiceInfo dlg(list, 10);
  dlg.SetService(s);
  auto* satellites = dlg.findChild<QComboBox*>("10341");
  ASSERT_EQ(satellites->count(), 1);
  EXPECT_EQ(satellites->currentText(), "0.8 W Thor");
  EXPECT_EQ(dlg.Validate(), 0);
  EXPECT_EQ(dlg.GetService().Carrier.Longitude, 1808);
}

TEST(DlgServiceInfoSatellites, AnEmptyLabelKeepsTheServicesLongitude) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  AddConfiguration(list, 282);  // configured, but no satellite record
  Service s = SampleService();
  s.Carrier.Longitude = 282;
  CDlgServiceInfo dlg(list, 10);
  dlg.SetService(s);
  auto* satellites = dlg.findChild<QComboBox*>("10341");
  ASSERT_EQ(satellites->count(), 1);
  EXPECT_EQ(satellites->currentText(), "");
  EXPECT_EQ(dlg.Validate(), 0);
  EXPECT_EQ(dlg.GetService().Carrier.Longitude, 282) << "not 0 from a label with nothing to read";
}

TEST(DlgServiceInfoEditor, TheRangeIsTheEditorsChannelRows) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  for (int i = 1; i <= 3; ++i) {
    auto s = std::make_unique<Service>(SampleService());
    s->ChannelNo = i;
    list.AddService(std::move(s));
  }
  auto radio = std::make_unique<Service>(SampleService());
  radio->ServiceType = 1;
  list.AddService(std::move(radio));
  vantrel::channels::CChannelEditor editor(list);
  editor.ShowList();  // TV shown: three rows
  CDlgServiceInfo dlg(editor);
  dlg.SetService(*list.TvServices()[0]);
  dlg.findChild<QLineEdit*>("10314")->setText("4");
  std::string message;
  EXPECT_EQ(dlg.Validate(&message), 149);
  EXPECT_EQ(message, "Channel Range : 1 ~ 3");
}

}  // namespace
