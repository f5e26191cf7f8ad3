#include "app/DlgConnect.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include "app/IpAddressEdit.h"
#include "core/AppSettings.h"
#include "core/DiagLog.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "core/WaitCursor.h"
#include "ftp/FTPClient.h"

namespace vantrel::app {
namespace {

constexpr int kTextTitle = 317;
constexpr int kTextIpAddress = 264;
constexpr int kTextUserId = 327;
constexpr int kTextPinCode = 328;
constexpr int kTextCancel = 272;
constexpr int kTextOffLine = 79;
constexpr int kTextConnect = 80;
constexpr int kTextInputUserId = 298;
constexpr int kTextInputPassword = 299;
constexpr int kTextInputIp = 300;
constexpr int kTextLoginFail = 301;
constexpr int kTextConnectionRefused = 379;
constexpr int kTextNoAnswer = 380;
constexpr int kTextOutOfProtocol = 381;

QString Text(int index) { return QString::fromUtf8(GetText(index)); }

}  // namespace

LoginOutcome TestLogin(const std::string& ip, const std::string& userId, const std::string& pin, std::uint16_t port) {
  LoginOutcome outcome;
  nsFTP::CFTPClient client(nullptr, nsFTP::CFTPClient::kDefaultTimeoutSeconds, nsFTP::CFTPClient::kDefaultBufferSize);
  if (!client.Login(nsFTP::CServerLogin(ip, port, userId, pin), true)) {
    using Failure = nsFTP::CFTPClient::Failure;
    switch (client.GetLoginFailure()) {
      case Failure::kRefused: outcome.failureText = kTextConnectionRefused; break;
      case Failure::kUnreachable:
      case Failure::kTimeout: outcome.failureText = kTextNoAnswer; break;
      case Failure::kLoginRefused: outcome.failureText = kTextLoginFail; break;
      default: outcome.failureText = kTextOutOfProtocol; break;
    }
    return outcome;
  }
  outcome.ok = true;
  outcome.version = client.GetTargetVersion();
  client.Logout();
  return outcome;
}

bool RunConnect(const ConnectFields& fields, const LoginFunction& login) {
  LogMessage("OK");
  if (fields.userId.empty()) {
    ShowErrorText(GetText(kTextInputUserId));
    return false;
  }
  if (fields.pin.empty()) {
    ShowErrorText(GetText(kTextInputPassword));
    return false;
  }
  // A part left blank would otherwise be tried as 0 and only fail after the login's time-out.
  if (fields.ip.empty() || !IsCompleteIpAddress(fields.ip)) {
    ShowErrorText(GetText(kTextInputIp));
    return false;
  }
  CAppSettings& settings = GetSettings();
  settings.SetPINCODE(fields.pin);  // reaches the store only while "Save PINCODE" is on
  settings.SetLastIP(fields.ip);    // memory only until the login proves it

  LogMessage("Connect");
  const LoginOutcome outcome = login(fields.ip, fields.userId, fields.pin);
  if (!outcome.ok) {
    ShowErrorText(GetText(outcome.failureText));
    return false;
  }
  settings.SaveLastIP();
  settings.SetTargetVersion(outcome.version);
  GetConnectionState().m_mode = MODE_CONNECTED;
  return true;
}

CDlgConnect::CDlgConnect(QWidget* parent) : QDialog(parent) {
  setObjectName(QString::number(IDD_CONNECT));
  setWindowTitle(Text(kTextTitle));
  setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* ipLabel = new QLabel(Text(kTextIpAddress), this);
  ipLabel->setObjectName(QString::number(IDC_CONNECT_IPLABEL));
  m_ip = new CIpAddressEdit(this);
  m_ip->setObjectName(QString::number(IDC_CONNECT_IPADDRESS));
  auto* userLabel = new QLabel(Text(kTextUserId), this);
  userLabel->setObjectName(QString::number(IDC_CONNECT_USERLABEL));
  m_userId = new QLineEdit(this);
  m_userId->setObjectName(QString::number(IDC_CONNECT_USERID));
  auto* pinLabel = new QLabel(Text(kTextPinCode), this);
  pinLabel->setObjectName(QString::number(IDC_CONNECT_PINLABEL));
  m_pin = new QLineEdit(this);
  m_pin->setObjectName(QString::number(IDC_CONNECT_PINCODE));
  m_pin->setEchoMode(QLineEdit::Password);

  auto* cancel = new QPushButton(Text(kTextCancel), this);
  cancel->setObjectName(QString::number(IDC_CONNECT_CANCEL));
  cancel->setAutoDefault(false);
  auto* offLine = new QPushButton(Text(kTextOffLine), this);
  offLine->setObjectName(QString::number(IDC_CONNECT_OFFLINE));
  offLine->setAutoDefault(false);
  m_connect = new QPushButton(Text(kTextConnect), this);
  m_connect->setObjectName(QString::number(IDC_CONNECT_OK));
  m_connect->setDefault(true);  // Enter

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->addWidget(ipLabel, 0, 0);
  grid->addWidget(m_ip, 0, 1);
  grid->addWidget(userLabel, 1, 0);
  grid->addWidget(m_userId, 1, 1);
  grid->addWidget(pinLabel, 2, 0);
  grid->addWidget(m_pin, 2, 1);
  grid->setColumnStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(offLine);
  buttons->addWidget(m_connect);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addLayout(buttons);

  connect(m_connect, &QPushButton::clicked, this, &CDlgConnect::OnConnect);
  connect(offLine, &QPushButton::clicked, this, &CDlgConnect::OnOffLine);
  connect(cancel, &QPushButton::clicked, this, &CDlgConnect::reject);

  // Pre-fill: the last address always, the PIN code only when it is to be saved.
  CAppSettings& settings = GetSettings();
  m_ip->SetText(settings.GetLastIP());
  m_userId->setText(QString::fromStdString(settings.GetUserID()));
  m_userId->setEnabled(false);
  if (settings.m_savePinCode) m_pin->setText(QString::fromStdString(settings.GetPINCODE()));
  m_ip->setFocus();

  setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
}

CDlgConnect::~CDlgConnect() = default;

void CDlgConnect::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - frameGeometry().width()) / 2,
         area.y() + (area.height() - frameGeometry().height()) / 2);
  }
  m_ip->setFocus();
}

LoginOutcome CDlgConnect::LoginOnWorker(const std::string& ip, const std::string& userId, const std::string& pin) {
  const LoginFunction login = m_login ? m_login : [](const std::string& a, const std::string& u, const std::string& p) {
    return TestLogin(a, u, p);
  };
  CWaitCursor wait;
  m_loggingIn = true;
  LoginOutcome outcome;
  QEventLoop loop;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    outcome = login(ip, userId, pin);
    done = true;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  // Paints and timers go on; keys and clicks wait until the login is over.
  while (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  m_loggingIn = false;
  return outcome;
}

void CDlgConnect::OnConnect() {
  if (m_loggingIn) return;
  ConnectFields fields;
  fields.userId = m_userId->text().toStdString();
  fields.pin = m_pin->text().toStdString();
  fields.ip = m_ip->Text();
  const bool connected = RunConnect(fields, [this](const std::string& ip, const std::string& u, const std::string& p) {
    return LoginOnWorker(ip, u, p);
  });
  if (connected) accept();
}

void CDlgConnect::OnOffLine() {
  if (m_loggingIn) return;
  GetConnectionState().m_mode = MODE_OFFLINE;
  accept();
}

void CDlgConnect::reject() {
  if (m_loggingIn) return;
  GetConnectionState().m_mode = MODE_NOT_CONNECTED;
  QDialog::reject();
}

void CDlgConnect::closeEvent(QCloseEvent* event) {
  if (m_loggingIn) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace vantrel::app
