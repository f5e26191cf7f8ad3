#include "app/DlgSettings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "core/AppSettings.h"
#include "core/FileDialogs.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/Prompt.h"
#include "core/StringUtil.h"
#include "core/TextTable.h"

namespace vantrel::app {
namespace {

constexpr int kTextSave = 2;
constexpr int kTextRecord = 63;
constexpr int kTextCancel = 272;
constexpr int kTextNotValidFolder = 302;
constexpr int kTextTitle = 314;
constexpr int kTextLanguage = 315;
constexpr int kTextSelectLanguage = 316;
constexpr int kTextLogin = 317;
constexpr int kTextSavePin = 318;
constexpr int kTextDirectory = 319;
constexpr int kTextLanguageAfterRestart = 321;
constexpr int kTextFirewall = 348;
constexpr int kTextDataPorts = 349;
constexpr int kTextBadDataPorts = 350;
constexpr int kTextChannel = 87;
constexpr int kTextSelectPath = 61;
constexpr int kTextBackupBeforeSend = 362;

QString T(int index) { return QString::fromUtf8(GetText(index)); }

}  // namespace

const char* const CDlgSettings::kLanguages[8] = {"English", "Danish",  "Finnish", "German",
                                                 "Polish",  "Russian", "Slovak",  "Swedish"};

CDlgSettings::CDlgSettings(QWidget* parent) : CManagerWindow(parent) {
  setObjectName(QString::number(IDD));
  setWindowFlag(Qt::WindowMinMaxButtonsHint, false);

  const auto named = [](QWidget* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
  };
  m_languageGroup = new QGroupBox(this);
  m_languageLabel = new QLabel(m_languageGroup);
  // Selection only: a typed name could never be a language the tables hold.
  m_language = new QComboBox(m_languageGroup);
  m_language->setEditable(false);
  m_loginGroup = new QGroupBox(this);
  m_savePin = new QCheckBox(m_loginGroup);
  m_recordGroup = new QGroupBox(this);
  m_directoryLabel = new QLabel(m_recordGroup);
  m_recordPath = new QLineEdit(m_recordGroup);
  m_browse = new QPushButton(QStringLiteral("..."), m_recordGroup);
  m_firewallGroup = new QGroupBox(this);
  m_dataPortsLabel = new QLabel(m_firewallGroup);
  m_dataPorts = new QLineEdit(m_firewallGroup);
  m_dataPorts->setPlaceholderText(QStringLiteral("50100-50119"));
  m_channelGroup = new QGroupBox(this);
  m_backupBeforeSend = new QCheckBox(m_channelGroup);
  m_save = new QPushButton(this);
  m_cancel = new QPushButton(this);
  named(m_languageGroup, IDC_LANGUAGE_GROUP);
  named(m_languageLabel, IDC_LANGUAGE_LABEL);
  named(m_language, IDC_LANGUAGE);
  named(m_loginGroup, IDC_LOGIN_GROUP);
  named(m_savePin, IDC_SAVE_PINCODE);
  named(m_recordGroup, IDC_RECORD_GROUP);
  named(m_directoryLabel, IDC_DIRECTORY_LABEL);
  named(m_recordPath, IDC_RECORD_PATH);
  named(m_browse, IDC_BROWSE);
  named(m_firewallGroup, IDC_FIREWALL_GROUP);
  named(m_dataPortsLabel, IDC_DATA_PORTS_LABEL);
  named(m_dataPorts, IDC_DATA_PORTS);
  named(m_channelGroup, IDC_CHANNEL_GROUP);
  named(m_backupBeforeSend, IDC_BACKUP_BEFORE_SEND);
  named(m_save, IDOK);
  named(m_cancel, IDCANCEL);
  m_browse->setFixedWidth(32);
  m_browse->setAutoDefault(false);
  m_save->setDefault(true);
  m_cancel->setAutoDefault(false);

  auto* languageLayout = new QHBoxLayout(m_languageGroup);
  languageLayout->addWidget(m_languageLabel);
  languageLayout->addWidget(m_language, 1);
  auto* channelLayout = new QHBoxLayout(m_channelGroup);
  channelLayout->addWidget(m_backupBeforeSend);
  auto* loginLayout = new QHBoxLayout(m_loginGroup);
  loginLayout->addWidget(m_savePin);
  auto* recordLayout = new QHBoxLayout(m_recordGroup);
  recordLayout->addWidget(m_directoryLabel);
  recordLayout->addWidget(m_recordPath, 1);
  recordLayout->addWidget(m_browse);
  auto* firewallLayout = new QHBoxLayout(m_firewallGroup);
  firewallLayout->addWidget(m_dataPortsLabel);
  firewallLayout->addWidget(m_dataPorts, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_save);
  buttons->addWidget(m_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_languageGroup);
  layout->addWidget(m_loginGroup);
  layout->addWidget(m_recordGroup);
  layout->addWidget(m_channelGroup);
  layout->addWidget(m_firewallGroup);
  layout->addStretch();
  layout->addLayout(buttons);
  resize(420, 320);

  connect(m_browse, &QPushButton::clicked, this, &CDlgSettings::OnBrowse);
  connect(m_save, &QPushButton::clicked, this, [this] { OnSave(); });
  connect(m_cancel, &QPushButton::clicked, this, &CDlgSettings::reject);

  setWindowTitle(T(kTextTitle));
  Fill();
}

void CDlgSettings::Fill() {
  setWindowTitle(T(kTextTitle));
  m_languageGroup->setTitle(T(kTextLanguage));
  m_languageLabel->setText(T(kTextSelectLanguage));
  m_loginGroup->setTitle(T(kTextLogin));
  m_savePin->setText(T(kTextSavePin));
  m_recordGroup->setTitle(T(kTextRecord));
  m_directoryLabel->setText(T(kTextDirectory));
  m_firewallGroup->setTitle(T(kTextFirewall));
  m_dataPortsLabel->setText(T(kTextDataPorts));
  m_channelGroup->setTitle(T(kTextChannel));
  m_backupBeforeSend->setText(T(kTextBackupBeforeSend));
  m_save->setText(T(kTextSave));
  m_cancel->setText(T(kTextCancel));

  m_language->clear();
  for (const char* language : kLanguages) m_language->addItem(QString::fromLatin1(language));
  const std::string current = GetSettings().GetLanguage();
  int selected = 0;
  for (int i = 0; i < m_language->count(); ++i) {
    if (!current.empty() && StartsWithIgnoreCase(kLanguages[i], current)) {
      selected = i;
      break;
    }
  }
  m_language->setCurrentIndex(selected);
  m_savePin->setChecked(GetSettings().m_savePinCode.load());
  m_backupBeforeSend->setChecked(GetSettings().GetBackupBeforeSend());
  m_shownRecordPath = GetSettings().GetRecordPath();
  m_recordPath->setText(QString::fromStdString(m_shownRecordPath));
  m_dataPorts->setText(QString::fromStdString(FormatDataPortRange(GetSettings().GetDataPorts())));
}

void CDlgSettings::OnBrowse() {
  const std::optional<std::string> picked =
      GetFileDialogs().BrowseForFolder(GetText(kTextSelectPath), m_recordPath->text().toStdString());
  if (!picked) return;
  if (!std::filesystem::is_directory(*picked)) {
    ShowInfoText(Format("%s %s", picked->c_str(), GetText(kTextNotValidFolder)));
    return;
  }
  m_recordPath->setText(QString::fromStdString(*picked));
}

bool CDlgSettings::OnSave() {
  const std::string language = m_language->currentText().toStdString();
  if (!EqualsIgnoreCase(language, GetSettings().GetLanguage()) && !AskConfirmText(GetText(kTextLanguageAfterRestart)))
    return false;
  const std::string folder = m_recordPath->text().toStdString();
  if (folder.empty() || !std::filesystem::is_directory(folder)) {
    ShowInfoText(Format("%s %s", folder.c_str(), GetText(kTextNotValidFolder)));
    return false;
  }
  DataPortRange ports;
  if (!ParseDataPortRange(m_dataPorts->text().toStdString(), ports)) {
    ShowErrorText(GetText(kTextBadDataPorts));
    m_dataPorts->setFocus();
    return false;
  }
  // Store writes in this order: record folder, PIN flag, PIN, language, data ports.
  if (folder != m_shownRecordPath && !GetSettings().SetRecordPath(folder)) return false;
  GetSettings().SetSavePINCODE(m_savePin->isChecked());
  GetSettings().StorePINCODE();
  GetSettings().SetLanguage(language);
  GetSettings().SetDataPorts(ports);
  if (m_backupBeforeSend->isChecked() != GetSettings().GetBackupBeforeSend())
    GetSettings().SetBackupBeforeSend(m_backupBeforeSend->isChecked());
  close();
  return true;
}

void CDlgSettings::NotifyClosed() {
  if (m_closedNotifier) m_closedNotifier();
}

void CDlgSettings::closeEvent(QCloseEvent* event) {
  NotifyClosed();
  CManagerWindow::closeEvent(event);
}

void CDlgSettings::reject() {
  NotifyClosed();
  CManagerWindow::reject();
}

}  // namespace vantrel::app
