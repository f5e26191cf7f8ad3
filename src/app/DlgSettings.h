#pragma once
// The settings dialog of the launcher: the user-interface language (used
// from the next start), whether the connect dialog pre-fills the PIN code,
// the PC folder that receives recordings, and the PC ports the receiver
// connects back to (so that they can be opened in a desktop firewall). Created once, re-filled from
// the settings each time the launcher shows it again.
#include <functional>
#include <string>

#include "ui/controls/ManagerWindow.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantrel::app {

class CDlgSettings : public ui::CManagerWindow {
  Q_OBJECT
 public:
  static constexpr int IDD = 111;
  static constexpr int IDC_LANGUAGE = 1001;
  static constexpr int IDC_LANGUAGE_LABEL = 1002;
  static constexpr int IDC_LANGUAGE_GROUP = 1003;
  static constexpr int IDC_LOGIN_GROUP = 1004;
  static constexpr int IDC_SAVE_PINCODE = 1005;
  static constexpr int IDC_RECORD_GROUP = 1006;
  static constexpr int IDC_RECORD_PATH = 1007;
  static constexpr int IDC_BROWSE = 1008;
  static constexpr int IDC_DIRECTORY_LABEL = 1009;
  static constexpr int IDC_FIREWALL_GROUP = 1010;
  static constexpr int IDC_DATA_PORTS_LABEL = 1011;
  static constexpr int IDC_DATA_PORTS = 1012;
  static constexpr int IDC_CHANNEL_GROUP = 1013;
  static constexpr int IDC_BACKUP_BEFORE_SEND = 1014;
  static constexpr int IDOK = 1;
  static constexpr int IDCANCEL = 2;

  // The languages offered, in the order shown.
  static const char* const kLanguages[8];

  explicit CDlgSettings(QWidget* parent = nullptr);

  // Called when the dialog closes (Save or Cancel); the launcher points it at
  // the recordings window's RecordDirectoryMayHaveChanged when that exists.
  void SetClosedNotifier(std::function<void()> notify) { m_closedNotifier = std::move(notify); }

  // Captions and values from the settings.
  void Fill();
  void OnShownAgain() override { Fill(); }

  void OnBrowse();
  // False when the dialog stays open (language question answered No, folder
  // or data ports not valid).
  bool OnSave();

  QComboBox* LanguageList() const { return m_language; }
  QCheckBox* SavePinCheck() const { return m_savePin; }
  QLineEdit* RecordPathEdit() const { return m_recordPath; }
  QLineEdit* DataPortsEdit() const { return m_dataPorts; }
  QPushButton* SaveButton() const { return m_save; }
  QPushButton* CancelButton() const { return m_cancel; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  void accept() override { OnSave(); }

 private:
  void NotifyClosed();

  QGroupBox* m_languageGroup = nullptr;
  QLabel* m_languageLabel = nullptr;
  QComboBox* m_language = nullptr;
  QGroupBox* m_loginGroup = nullptr;
  QCheckBox* m_savePin = nullptr;
  QGroupBox* m_recordGroup = nullptr;
  QLabel* m_directoryLabel = nullptr;
  QLineEdit* m_recordPath = nullptr;
  QPushButton* m_browse = nullptr;
  QGroupBox* m_firewallGroup = nullptr;
  QGroupBox* m_channelGroup = nullptr;
  QCheckBox* m_backupBeforeSend = nullptr;
  QLabel* m_dataPortsLabel = nullptr;
  QLineEdit* m_dataPorts = nullptr;
  QPushButton* m_save = nullptr;
  QPushButton* m_cancel = nullptr;
  std::function<void()> m_closedNotifier;
  // The folder Fill showed: the default stands in for a set folder that is
  // missing now, and saving it unchanged must not replace the set one.
  std::string m_shownRecordPath;
};

}  // namespace vantrel::app
