// The satellite and transponder dialog on an editor's channel list: the
// delayed first selection, sorting, New/Save/Delete with their messages, and
// the services deleted with a satellite or a transponder.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "channels/ChannelEditor.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/channel/DlgSatellite.h"
#include "ui/channel/ReportList.h"

using vantrel::channels::CChannelEditor;
using vantrel::channels::ChannelList;
using vantrel::channels::Satellite;
using vantrel::channels::Service;
using vantrel::channels::ServiceKind;
using vantrel::channels::Transponder;
using vantrel::ui::CDlgSatellite;
using vantrel::ui::CReportList;

namespace {

vantrel::test::IsolatedSettings g_isolated;

Satellite* AddSatellite(ChannelList& list, const std::string& name, int longitude, int band) {
  auto satellite = std::make_unique<Satellite>();
  satellite->SatIndex = static_cast<int>(list.Satellites().size()) + 1;
  satellite->SatName = name;
  satellite->Longitude = longitude;
  satellite->Band = band;
  return list.AddSatellite(std::move(satellite));
}

void AddTransponder(Satellite& satellite, int frequency, char pol, int fec) {
  auto transponder = std::make_unique<Transponder>();
  transponder->SatIndex = satellite.SatIndex;
  transponder->Frequency = frequency;
  transponder->SymbolRate = 27500;
  transponder->Tsid = frequency / 10;
  transponder->Onid = 1;
  transponder->Pol = pol;
  transponder->FEC = fec;
  satellite.mTransponder.push_back(std::move(transponder));
}

void AddService(ChannelList& list, const std::string& name, int type, int longitude, int frequency) {
  auto service = std::make_unique<Service>();
  service->Name = name;
  service->ServiceType = static_cast<std::uint8_t>(type);
  service->Carrier.Longitude = longitude;
  service->Carrier.Frequency = frequency;
  const auto kind = type == 0 ? ServiceKind::Tv : ServiceKind::Radio;
  service->ChannelNo = static_cast<int>(list.Services(kind).size()) + 1;
  list.AddService(std::move(service));
}

std::vector<std::string> Names(const ChannelList& list, ServiceKind kind) {
  std::vector<std::string> names;
  for (const auto& s : list.Services(kind)) names.push_back(s->Name);
  return names;
}

QStringList Column(const CReportList* list, int column) {
  QStringList texts;
  for (int row = 0; row < list->RowCount(); ++row) texts << list->Row(row)->text(column);
  return texts;
}

class DlgSatelliteTest : public ::testing::Test {
 protected:
  DlgSatelliteTest() {
    Satellite* thor = AddSatellite(list, "Thor", 1808, 1);
    Satellite* astra = AddSatellite(list, "Astra", 192, 2);
    AddSatellite(list, "Hotbird", 130, 1);
    AddTransponder(*astra, 11494, 'H', 9);
    AddTransponder(*astra, 12188, 'V', 3);
    AddTransponder(*thor, 10872, 'V', 0);
    AddService(list, "Astra A1", 0, 192, 11494);
    AddService(list, "Hotbird", 0, 130, 11034);
    AddService(list, "Astra A2", 0, 192, 11494);
    AddService(list, "Astra B", 0, 192, 12188);
    AddService(list, "Thor", 0, 1808, 10872);
    AddService(list, "Astra Radio", 1, 192, 11494);
    AddService(list, "Thor Radio", 1, 1808, 10872);
    editor.ShowList();
  }
  void Open() {
    dlg = std::make_unique<CDlgSatellite>(editor);
    dlg->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dlg->FirstSelectionPending(); }, 3000));
  }
  QLineEdit* Edit(int id) const { return dlg->findChild<QLineEdit*>(QString::number(id)); }
  QComboBox* Choice(int id) const { return dlg->findChild<QComboBox*>(QString::number(id)); }
  CReportList* Sats() const { return dlg->SatelliteList(); }
  CReportList* Tps() const { return dlg->TransponderList(); }
  // A click on a satellite row: it is selected and becomes current.
  void PickSatellite(int row) {
    Sats()->SelectOnly(row);
    dlg->ClickSatelliteRow(row);
  }
  void PickTransponder(int row) {
    Tps()->SelectOnly(row);
    dlg->ClickTransponderRow(row);
  }
  std::vector<std::string> Messages(const std::string& caption) const {
    std::vector<std::string> texts;
    for (const auto& record : prompt.Records()) {
      if (record.caption == caption) texts.push_back(record.text);
    }
    return texts;
  }

  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  CChannelEditor editor{list};
  std::unique_ptr<CDlgSatellite> dlg;
};

TEST_F(DlgSatelliteTest, OpensSortedByNameAndShowsTheFirstSatelliteAfterTheDelay) {
  dlg = std::make_unique<CDlgSatellite>(editor);
  EXPECT_TRUE(dlg->FirstSelectionPending());
  EXPECT_EQ(dlg->CurrentSatellite(), -1);
  EXPECT_EQ(Column(Sats(), 0), QStringList({"Astra", "Hotbird", "Thor"}));
  EXPECT_EQ(Column(Sats(), 1), QStringList({"C", "Ku", "Ku"}));
  EXPECT_EQ(Column(Sats(), 2), QStringList({"192", "130", "1808"}));
  EXPECT_EQ(Sats()->headerItem()->text(0), "Name");
  EXPECT_EQ(Tps()->headerItem()->text(0), "Freq");
  EXPECT_EQ(Tps()->headerItem()->text(3), "Oid");
  EXPECT_TRUE(Choice(10403)->isHidden()) << "FEC is kept but not offered";

  dlg->show();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !dlg->FirstSelectionPending(); }, 3000));
  EXPECT_EQ(dlg->CurrentSatellite(), 0);
  EXPECT_EQ(Sats()->SelectedRows(), std::vector<int>{0});
  EXPECT_EQ(Edit(10408)->text(), "Astra");
  EXPECT_EQ(Choice(10402)->currentText(), "C");
  EXPECT_EQ(Edit(10411)->text(), "192");
  EXPECT_EQ(Column(Tps(), 0), QStringList({"11494", "12188"}));
  EXPECT_EQ(Column(Tps(), 4), QStringList({"H", "V"}));
  EXPECT_EQ(Column(Tps(), 5), QStringList({"DVBS2 QPSK 3/4", "UNDEFINED"}));
}

TEST(DlgSatelliteEmpty, NoSatellitesNoTimerAndSaveNeedsASelection) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  CChannelEditor editor(list);
  CDlgSatellite dlg(editor);
  EXPECT_EQ(dlg.SatelliteList()->RowCount(), 0);
  EXPECT_EQ(dlg.TransponderList()->RowCount(), 0);
  EXPECT_FALSE(dlg.FirstSelectionPending());

  EXPECT_EQ(dlg.SatelliteSave(), 143);
  dlg.findChild<QLineEdit*>("10408")->setText("Eutelsat");
  EXPECT_EQ(dlg.SatelliteSave(), 144);
  dlg.findChild<QLineEdit*>("10411")->setText("160");
  EXPECT_EQ(dlg.SatelliteSave(), 304);
  ASSERT_EQ(prompt.Records().size(), 3u);
  EXPECT_EQ(prompt.Records()[0].text, "Fill a satellite name");
  EXPECT_EQ(prompt.Records()[0].caption, "ERROR");
  EXPECT_EQ(prompt.Records()[1].text, "Fill a longitude");
  EXPECT_EQ(prompt.Records()[2].text, "Select one satellite");
  EXPECT_EQ(prompt.Records()[2].caption, "Info");
  EXPECT_EQ(prompt.Records()[2].icon, vantrel::PromptIcon::Information);
  EXPECT_TRUE(list.Satellites().empty());
}

TEST_F(DlgSatelliteTest, SaveStoresNameBandAndLongitudeButLeavesTheServices) {
  Open();
  Choice(10402)->setCurrentIndex(1);  // Ku
  Edit(10411)->setText("235");
  Edit(10408)->setText("Astra 3");
  EXPECT_EQ(dlg->SatelliteSave(), 0);
  const Satellite& astra = *list.Satellites()[1];
  EXPECT_EQ(astra.SatName, "Astra 3");
  EXPECT_EQ(astra.Band, 1);
  EXPECT_EQ(astra.Longitude, 235);
  EXPECT_EQ(astra.mTransponder.size(), 2u);
  EXPECT_EQ(Sats()->Row(0)->text(0), "Astra 3");
  EXPECT_EQ(Sats()->Row(0)->text(1), "Ku");
  EXPECT_EQ(Sats()->Row(0)->text(2), "235");
  EXPECT_EQ(list.TvServices()[0]->Carrier.Longitude, 192) << "services stay on the old longitude";

  // Two rows selected: which one to save is not clear.
  Sats()->Row(1)->setSelected(true);
  EXPECT_EQ(dlg->SatelliteSave(), 304);
}

TEST_F(DlgSatelliteTest, HeaderClicksFlipTheDirectionAndNumbersCompareByLength) {
  Open();
  dlg->SortSatellites(CDlgSatellite::kSatLongitude);
  EXPECT_EQ(Column(Sats(), 2), QStringList({"130", "192", "1808"}));
  dlg->SortSatellites(CDlgSatellite::kSatLongitude);
  EXPECT_EQ(Column(Sats(), 2), QStringList({"1808", "192", "130"}));
  // The direction belongs to the list, not to the column.
  dlg->SortSatellites(CDlgSatellite::kSatName);
  EXPECT_EQ(Column(Sats(), 0), QStringList({"Astra", "Hotbird", "Thor"}));
  // A real header click sorts as well.
  QHeaderView* header = Sats()->header();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
  EXPECT_EQ(Column(Sats(), 0), QStringList({"Thor", "Hotbird", "Astra"}));

  // Transponders: frequency as a number, polarisation as text.
  dlg->SortTransponders(CDlgSatellite::kTpPol);
  EXPECT_EQ(Column(Tps(), 4), QStringList({"H", "V"}));
  dlg->SortTransponders(CDlgSatellite::kTpFreq);
  EXPECT_EQ(Column(Tps(), 0), QStringList({"12188", "11494"}));
  EXPECT_TRUE(CDlgSatellite::LessLengthThenText("999", "1000"));
  EXPECT_FALSE(CDlgSatellite::LessText("b", "B"));
}

TEST_F(DlgSatelliteTest, SortingKeepsTheSelectionAndTheSatelliteItShows) {
  Open();  // Astra current and selected, in row 0
  dlg->SortSatellites(CDlgSatellite::kSatLongitude);
  dlg->SortSatellites(CDlgSatellite::kSatLongitude);  // Thor, Astra, Hotbird
  EXPECT_EQ(dlg->CurrentSatellite(), 1);
  EXPECT_EQ(Sats()->SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(dlg->TransponderNew(), 0);
  EXPECT_EQ(list.Satellites()[1]->mTransponder.size(), 3u) << "the new transponder went to Astra";
  EXPECT_EQ(list.Satellites()[0]->mTransponder.size(), 1u);

  // Save and Delete still work on the satellite the fields show.
  Edit(10408)->setText("Astra 1");
  EXPECT_EQ(dlg->SatelliteSave(), 0);
  EXPECT_EQ(list.Satellites()[1]->SatName, "Astra 1");
  prompt.SetNextAnswer(true);
  dlg->SatelliteDelete();
  EXPECT_EQ(Column(Sats(), 0), QStringList({"Thor", "Hotbird"}));
}

TEST_F(DlgSatelliteTest, DeleteAsksFirstEvenWithNothingSelected) {
  Open();
  Sats()->clearSelection();
  prompt.SetNextAnswer(true);
  EXPECT_EQ(dlg->SatelliteDelete(), 0);
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text,
            "Are you sure you want to delete this satellite?\n\r\n\rAll channels will be deleted in this satellite");
  EXPECT_EQ(prompt.Records()[0].caption, "Confirm");
  EXPECT_TRUE(prompt.Records()[0].question);
  EXPECT_EQ(list.Satellites().size(), 3u);
  EXPECT_EQ(list.TvServices().size(), 5u);

  // No leaves everything as it is.
  PickSatellite(0);
  prompt.SetNextAnswer(false);
  dlg->SatelliteDelete();
  EXPECT_EQ(list.Satellites().size(), 3u);
}

TEST_F(DlgSatelliteTest, DeletingTheCurrentSatelliteTakesItsServicesInBothLists) {
  Open();
  PickSatellite(0);  // Astra
  prompt.SetNextAnswer(true);
  EXPECT_EQ(dlg->SatelliteDelete(), 0);
  EXPECT_EQ(list.Satellites().size(), 2u);
  EXPECT_EQ(Names(list, ServiceKind::Tv), (std::vector<std::string>{"Hotbird", "Thor"}));
  EXPECT_EQ(Names(list, ServiceKind::Radio), std::vector<std::string>{"Thor Radio"});
  EXPECT_EQ(list.TvServices()[0]->ChannelNo, 1) << "renumbered";
  EXPECT_EQ(editor.Channels().RowCount(), 2u) << "the editor's view follows";
  EXPECT_EQ(Column(Sats(), 0), QStringList({"Hotbird", "Thor"}));
  // Nothing refers to the freed satellite any more.
  EXPECT_EQ(dlg->CurrentSatellite(), -1);
  EXPECT_EQ(dlg->CurrentSatelliteRecord(), nullptr);
  EXPECT_EQ(Tps()->RowCount(), 0);
  EXPECT_TRUE(Edit(10408)->text().isEmpty());
  EXPECT_EQ(dlg->TransponderNew(), 0);
  EXPECT_EQ(Tps()->RowCount(), 0) << "no current satellite, no new transponder";
}

TEST_F(DlgSatelliteTest, DeletingAnotherRowKeepsTheCurrentSatellite) {
  Open();
  PickSatellite(2);  // Thor current
  Sats()->SelectOnly(0);
  prompt.SetNextAnswer(true);
  dlg->SatelliteDelete();  // Astra goes
  EXPECT_EQ(dlg->CurrentSatelliteRecord(), list.Satellites()[0].get());
  EXPECT_EQ(dlg->CurrentSatellite(), 1);
  EXPECT_EQ(Column(Tps(), 0), QStringList({"10872"}));
}

TEST_F(DlgSatelliteTest, NewSatelliteIsAppendedSelectedAndShown) {
  Open();
  EXPECT_EQ(dlg->SatelliteNew(), 0);
  ASSERT_EQ(list.Satellites().size(), 4u);
  EXPECT_EQ(list.Satellites()[3]->SatName, "New Satellite");
  EXPECT_EQ(Sats()->SelectedRows(), std::vector<int>{3});
  EXPECT_EQ(dlg->CurrentSatellite(), 3);
  EXPECT_EQ(Edit(10408)->text(), "New Satellite");
  EXPECT_EQ(Edit(10411)->text(), "0");
  EXPECT_EQ(Tps()->RowCount(), 0);
}

TEST_F(DlgSatelliteTest, TransponderFieldsAndSave) {
  Open();
  PickTransponder(1);  // 12188 V, FEC 3
  EXPECT_EQ(Edit(10414)->text(), "12188");
  EXPECT_EQ(Edit(10407)->text(), "27500");
  EXPECT_EQ(Edit(10405)->text(), "1218");
  EXPECT_EQ(Edit(10410)->text(), "1");
  EXPECT_EQ(Choice(10409)->currentText(), "Vertical");
  EXPECT_EQ(Choice(10403)->currentText(), "UNDEFINED");

  Edit(10414)->setText("12187");
  Choice(10409)->setCurrentIndex(1);  // Horizontal
  EXPECT_EQ(dlg->TransponderSave(), 0);
  const Transponder& saved = *list.Satellites()[1]->mTransponder[1];
  EXPECT_EQ(saved.Frequency, 12187);
  EXPECT_EQ(saved.Pol, 'H');
  EXPECT_EQ(saved.FEC, 3) << "a code without a name stays while the choice shows it";
  EXPECT_EQ(Tps()->Row(1)->text(0), "12187");
  EXPECT_EQ(Tps()->Row(1)->text(4), "H");
  EXPECT_EQ(Tps()->Row(1)->text(5), "UNDEFINED");
  EXPECT_EQ(list.TvServices()[3]->Carrier.Frequency, 12188) << "services keep the old values";

  // Checks in order, each stopping the save.
  const std::vector<std::pair<int, std::string>> order = {
      {10414, "Fill a frequency"}, {10407, "Fill a symbol rate"}, {10405, "Fill a Tsid"}, {10410, "Fill a Onid"}};
  for (const auto& [id, unused] : order) Edit(id)->clear();
  for (const auto& [id, message] : order) {
    prompt.Clear();
    EXPECT_NE(dlg->TransponderSave(), 0);
    EXPECT_EQ(Messages("ERROR"), std::vector<std::string>{message});
    Edit(id)->setText("5");
  }
  Choice(10409)->setCurrentIndex(-1);
  EXPECT_EQ(dlg->TransponderSave(), 194);
  Choice(10409)->setCurrentIndex(0);
  Choice(10403)->setCurrentIndex(-1);
  EXPECT_EQ(dlg->TransponderSave(), 307);
  Choice(10403)->setCurrentIndex(1);
  Tps()->clearSelection();
  EXPECT_EQ(dlg->TransponderSave(), 304);
  EXPECT_EQ(saved.Frequency, 12187) << "nothing saved by the refused attempts";
}

TEST_F(DlgSatelliteTest, NewTransponderIsVerticalUnlessChangedAndDeleteTakesItsServices) {
  Open();
  EXPECT_EQ(dlg->TransponderNew(), 0);
  Satellite& astra = *list.Satellites()[1];
  ASSERT_EQ(astra.mTransponder.size(), 3u);
  EXPECT_EQ(astra.mTransponder[2]->SatIndex, astra.SatIndex);
  EXPECT_EQ(Tps()->SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(Choice(10409)->currentText(), "Vertical");
  EXPECT_EQ(Column(Tps(), 0).last(), "0");
  EXPECT_EQ(dlg->TransponderSave(), 0);
  EXPECT_EQ(astra.mTransponder[2]->Pol, 'V');

  // Deleting 11494 removes the services tuned to it, TV and radio.
  PickTransponder(0);
  prompt.SetNextAnswer(true);
  EXPECT_EQ(dlg->TransponderDelete(), 0);
  EXPECT_EQ(
      prompt.Records().back().text,
      "Are you sure you want to delete this transponder?\n\r\n\rAll channels will be deleted in this transponder");
  EXPECT_EQ(astra.mTransponder.size(), 2u);
  EXPECT_EQ(astra.mTransponder[0]->Frequency, 12188);
  EXPECT_EQ(Column(Tps(), 0), QStringList({"12188", "0"}));
  EXPECT_EQ(Names(list, ServiceKind::Tv), (std::vector<std::string>{"Hotbird", "Astra B", "Thor"}));
  EXPECT_EQ(Names(list, ServiceKind::Radio), std::vector<std::string>{"Thor Radio"});
}

TEST_F(DlgSatelliteTest, MouseAndKeysWorkTheLists) {
  Open();
  auto click = [](QTreeWidget* tree, QPoint at) { QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at); };
  click(Sats(), Sats()->visualItemRect(Sats()->Row(2)).center());
  EXPECT_EQ(dlg->CurrentSatellite(), 2);
  EXPECT_EQ(Edit(10408)->text(), "Thor");
  // Below the last row: no satellite.
  click(Sats(), QPoint(10, Sats()->viewport()->height() - 3));
  EXPECT_EQ(dlg->CurrentSatellite(), -1);
  EXPECT_TRUE(Edit(10408)->text().isEmpty());
  EXPECT_EQ(Tps()->RowCount(), 0);

  // Keyboard: the row the selection moved to is shown.
  click(Sats(), Sats()->visualItemRect(Sats()->Row(0)).center());
  QTest::keyClick(Sats(), Qt::Key_Down);
  EXPECT_EQ(dlg->CurrentSatellite(), 1);
  EXPECT_EQ(Edit(10408)->text(), "Hotbird");
  // Delete in the list is the Delete button.
  prompt.SetNextAnswer(true);
  QTest::keyClick(Sats(), Qt::Key_Delete);
  EXPECT_EQ(list.Satellites().size(), 2u);
  EXPECT_EQ(Names(list, ServiceKind::Tv), (std::vector<std::string>{"Astra A1", "Astra A2", "Astra B", "Thor"}));
}

}  // namespace
