// The settings dialog: filling from the settings, the language question,
// the folder checks, what Save stores, and the recordings window told of a
// changed record folder (against the receiver simulator on 127.0.0.86).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/DlgSettings.h"
#include "core/AppSettings.h"
#include "core/SettingsStore.h"
#include "core/TextTable.h"
#include "net/CommandChannel.h"
#include "support/ReceiverSim.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/controls/Resources.h"
#include "ui/records/DlgRecordMgr.h"
#include "ui/records/RecordList.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace {

using vantrel::GetSettings;
using vantrel::app::CDlgSettings;

void Screenshot(QWidget& window, const char* name) {
  const QByteArray dir = qgetenv("VANTREL_SCREENSHOT_DIR");
  if (dir.isEmpty()) return;
  window.show();
  QTest::qWait(50);  // only for the picture: let the window paint
  window.grab().save(QString::fromUtf8(dir) + "/" + name);
}

class DlgSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetSettings().SetLanguage("English");
    // The texts are chosen once, English here, whatever language a test stores later.
    vantrel::ResetTextSelectionForTest();
    vantrel::GetText(0);
    GetSettings().SetSavePINCODE(false);
    GetSettings().SetRecordPath(m_first.Path());
  }
  vantrel::test::TempDir m_first;
  vantrel::test::TempDir m_second;
  vantrel::test::ScriptedPrompt m_prompt;
  vantrel::test::ScriptedFileDialogs m_dialogs;
};

TEST_F(DlgSettingsTest, FillsFromTheSettings) {
  GetSettings().SetLanguage("german");
  GetSettings().SetSavePINCODE(true);
  CDlgSettings dialog;
  EXPECT_EQ(dialog.windowTitle(), "Settings");
  ASSERT_EQ(dialog.LanguageList()->count(), 8);
  EXPECT_EQ(dialog.LanguageList()->itemText(7), "Swedish");
  EXPECT_EQ(dialog.LanguageList()->currentText(), "German");
  EXPECT_TRUE(dialog.SavePinCheck()->isChecked());
  EXPECT_EQ(dialog.RecordPathEdit()->text().toStdString(), m_first.Path());
  Screenshot(dialog, "settings.png");

  // An unknown stored language shows the first one.
  GetSettings().SetLanguage("Klingon");
  dialog.OnShownAgain();
  EXPECT_EQ(dialog.LanguageList()->currentText(), "English");
}

TEST_F(DlgSettingsTest, SaveAsksForANewLanguageAndStoresEverything) {
  CDlgSettings dialog;
  dialog.show();
  dialog.LanguageList()->setCurrentText("Polish");
  dialog.SavePinCheck()->setChecked(true);
  dialog.RecordPathEdit()->setText(QString::fromStdString(m_second.Path()));
  // No: the dialog stays and nothing is stored, the folder and the check box neither.
  m_prompt.SetNextAnswer(false);
  EXPECT_FALSE(dialog.OnSave());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(GetSettings().GetLanguage(), "English");
  EXPECT_EQ(GetSettings().GetRecordPath(), m_first.Path());
  EXPECT_FALSE(GetSettings().GetSavePINCODE());
  ASSERT_EQ(m_prompt.Records().size(), 1u);
  EXPECT_EQ(m_prompt.Records()[0].text, "Language will be changed after restarting Vantrel Manager");

  m_prompt.SetNextAnswer(true);
  EXPECT_TRUE(dialog.OnSave());
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(GetSettings().GetLanguage(), "Polish");
  EXPECT_EQ(GetSettings().GetRecordPath(), m_second.Path());
  EXPECT_TRUE(GetSettings().GetSavePINCODE());
}

TEST_F(DlgSettingsTest, FoldersThatDoNotExistAreRefused) {
  CDlgSettings dialog;
  const std::string missing = m_second.File("missing");
  m_dialogs.QueueFolder(missing);
  dialog.OnBrowse();
  EXPECT_EQ(dialog.RecordPathEdit()->text().toStdString(), m_first.Path());
  ASSERT_EQ(m_prompt.Records().size(), 1u);
  EXPECT_EQ(m_prompt.Records()[0].text, missing + " is not valid folder");
  EXPECT_EQ(m_prompt.Records()[0].caption, "Info");
  m_dialogs.QueueFolder(m_second.Path());
  dialog.OnBrowse();
  EXPECT_EQ(dialog.RecordPathEdit()->text().toStdString(), m_second.Path());
  m_dialogs.QueueFolder(std::nullopt);
  dialog.OnBrowse();
  EXPECT_EQ(dialog.RecordPathEdit()->text().toStdString(), m_second.Path());

  // A typed folder that is missing, or a file, is refused at Save.
  std::ofstream(m_second.File("file.tts")) << "x";
  for (const std::string& bad : {missing, m_second.File("file.tts")}) {
    dialog.RecordPathEdit()->setText(QString::fromStdString(bad));
    EXPECT_FALSE(dialog.OnSave());
    EXPECT_EQ(m_prompt.Records().back().text, bad + " is not valid folder");
  }
  EXPECT_EQ(GetSettings().GetRecordPath(), m_first.Path());

  // Cancel keeps the stored folder; the next showing shows it again.
  bool told = false;
  dialog.SetClosedNotifier([&] { told = true; });
  dialog.CancelButton()->click();
  EXPECT_TRUE(told);
  dialog.OnShownAgain();
  EXPECT_EQ(dialog.RecordPathEdit()->text().toStdString(), m_first.Path());
}

TEST_F(DlgSettingsTest, MissingRecordFolderSurvivesCancelAndAnUnchangedSave) {
  const std::string share = m_second.File("share");
  std::filesystem::create_directory(share);
  ASSERT_TRUE(GetSettings().SetRecordPath(share));
  std::filesystem::remove(share);  // an unmounted disk
  const auto stored = [] {
    std::string value;
    vantrel::CQSettingsStore().Read("RecordPath", value);
    return value;
  };
  CDlgSettings dialog;
  dialog.show();
  EXPECT_EQ(dialog.RecordPathEdit()->text().toStdString(), g_isolated.Home() + "/Recordings");
  dialog.CancelButton()->click();
  EXPECT_EQ(stored(), share);
  dialog.OnShownAgain();
  dialog.SavePinCheck()->setChecked(true);
  EXPECT_TRUE(dialog.OnSave());
  EXPECT_EQ(stored(), share) << "saving other settings keeps the user's folder";
  EXPECT_TRUE(GetSettings().GetSavePINCODE());
}

TEST_F(DlgSettingsTest, DataPortsAreShownCheckedAndSaved) {
  GetSettings().SetDataPorts({});
  CDlgSettings dialog;
  dialog.show();
  EXPECT_EQ(dialog.DataPortsEdit()->text(), "") << "any port";
  // A range the receiver could not be pointed at keeps the dialog open and stores nothing.
  dialog.DataPortsEdit()->setText("50119-50100");
  dialog.SavePinCheck()->setChecked(true);
  EXPECT_FALSE(dialog.OnSave());
  ASSERT_EQ(m_prompt.Records().size(), 1u);
  EXPECT_EQ(m_prompt.Records()[0].text,
            "The data ports must be one port or a range such as 50100-50119, between 1024 and 65535.");
  EXPECT_TRUE(GetSettings().GetDataPorts().IsAny());
  EXPECT_FALSE(GetSettings().GetSavePINCODE());
  dialog.DataPortsEdit()->setText(" 50100-50119 ");
  EXPECT_TRUE(dialog.OnSave());
  EXPECT_EQ(GetSettings().GetDataPorts(), (vantrel::DataPortRange{50100, 50119}));
  dialog.OnShownAgain();
  EXPECT_EQ(dialog.DataPortsEdit()->text(), "50100-50119");
  GetSettings().SetDataPorts({});

  // The backup before a send is on until the user turns it off here.
  auto* backup = dialog.findChild<QCheckBox*>(QString::number(CDlgSettings::IDC_BACKUP_BEFORE_SEND));
  ASSERT_NE(backup, nullptr);
  EXPECT_TRUE(backup->isChecked());
  backup->setChecked(false);
  EXPECT_TRUE(dialog.OnSave());
  EXPECT_FALSE(GetSettings().GetBackupBeforeSend());
  GetSettings().SetBackupBeforeSend(true);
}

TEST_F(DlgSettingsTest, ChangedRecordFolderIsAnnouncedWhenTheRecordingsWindowIsShownAgain) {
  vantrel::test::ReceiverSim::Options options;
  options.simulator = VANTREL_RECEIVER_SIM;
  options.address = "127.0.0.86";
  vantrel::test::ReceiverSim sim(options);
  ASSERT_TRUE(sim.Start()) << sim.Output();
  GetSettings().SetLastIP("127.0.0.86");
  vantrel::GetConnectionState().SetCommandChannel(nullptr);
  vantrel::ui::InitResources();
  std::ofstream(m_first.File("old.tts")) << "o";
  std::ofstream(m_second.File("new.tts")) << "n";

  vantrel::ui::CDlgRecordMgr recordings;
  ASSERT_EQ(recordings.LocalList()->topLevelItemCount(), 1);
  recordings.hide();
  CDlgSettings dialog;
  dialog.SetClosedNotifier([&] { recordings.RecordDirectoryMayHaveChanged(); });
  dialog.show();
  dialog.RecordPathEdit()->setText(QString::fromStdString(m_second.Path()));
  ASSERT_TRUE(dialog.OnSave());
  EXPECT_TRUE(recordings.IsRefreshPending());
  EXPECT_TRUE(m_prompt.Records().empty());

  recordings.show();
  recordings.OnShownAgain();
  ASSERT_EQ(m_prompt.Records().size(), 1u);
  EXPECT_EQ(m_prompt.Records()[0].text, "Record directory is changed.");
  EXPECT_EQ(m_prompt.Records()[0].caption, "Info");
  EXPECT_EQ(recordings.RecordPath(), m_second.Path());
  ASSERT_EQ(recordings.LocalList()->topLevelItemCount(), 1);
  EXPECT_EQ(recordings.LocalList()->topLevelItem(0)->text(0), "new.tts");
  // Shown once more with nothing changed: no message.
  recordings.OnShownAgain();
  EXPECT_EQ(m_prompt.Records().size(), 1u);

  // Changed again while the window stays open: activating it refreshes.
  dialog.show();
  dialog.RecordPathEdit()->setText(QString::fromStdString(m_first.Path()));
  ASSERT_TRUE(dialog.OnSave());
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(&recordings, &activate);
  QTRY_COMPARE_WITH_TIMEOUT(m_prompt.Records().size(), 2u, 10000);
  EXPECT_EQ(m_prompt.Records()[1].text, "Record directory is changed.");
  EXPECT_EQ(recordings.RecordPath(), m_first.Path());
}

}  // namespace
