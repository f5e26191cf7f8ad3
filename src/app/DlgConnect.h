#pragma once
// The connect dialog shown before the launcher: the receiver's IP address
// and PIN code, proved with one FTP login, or off-line work.
//
// The checks and the login test live in RunConnect, below the widgets, so a
// test drives them without a screen; the dialog adds the fields and runs
// the login on a worker while a local event loop keeps the window painted.
#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace vantrel::app {

class CIpAddressEdit;

inline constexpr int IDD_CONNECT = 10601;
inline constexpr int IDC_CONNECT_USERID = 10602;
inline constexpr int IDC_CONNECT_PINCODE = 10603;
inline constexpr int IDC_CONNECT_IPADDRESS = 10604;
inline constexpr int IDC_CONNECT_OFFLINE = 10605;
inline constexpr int IDC_CONNECT_IPLABEL = 10606;
inline constexpr int IDC_CONNECT_USERLABEL = 10607;
inline constexpr int IDC_CONNECT_PINLABEL = 10608;
inline constexpr int IDC_CONNECT_OK = 1;
inline constexpr int IDC_CONNECT_CANCEL = 2;
// The receiver's FTP port for the login test.
inline constexpr std::uint16_t FTP_PORT = 50021;

struct ConnectFields {
  std::string userId;
  std::string pin;
  std::string ip;  // dotted, empty when the field is blank
};

struct LoginOutcome {
  bool ok = false;
  std::string version;  // the receiver's model and version from the logon reply
  // What the user is told when it failed: 301 for a refused PIN code, else
  // the cause (refused connection, no answer, a reply out of protocol).
  int failureText = 301;
};

// One login with a fresh client (10 s time-out, 2048-byte buffer) asking for
// the version, then a logout; nothing of the connection remains. Any thread.
LoginOutcome TestLogin(const std::string& ip, const std::string& userId, const std::string& pin,
                       std::uint16_t port = FTP_PORT);

using LoginFunction =
    std::function<LoginOutcome(const std::string& ip, const std::string& userId, const std::string& pin)>;

// Connect: the first empty field (user ID, PIN code, IP address) is told
// (298, 299, 300; an incomplete address counts as empty) and the dialog
// stays; otherwise the PIN code is taken (and stored while "Save PINCODE" is
// on), the address taken into memory, and the login tried. Success stores
// the address and the version and sets MODE_CONNECTED (true: end the
// dialog); failure tells text 301 (false: stay). Messages go through the prompt.
bool RunConnect(const ConnectFields& fields, const LoginFunction& login);

class CDlgConnect : public QDialog {
  Q_OBJECT
 public:
  explicit CDlgConnect(QWidget* parent = nullptr);
  ~CDlgConnect() override;

  // The login test; the default is TestLogin on FTP_PORT, run on a worker.
  void SetLoginFunction(LoginFunction login) { m_login = std::move(login); }
  bool IsLoggingIn() const { return m_loggingIn; }

  void OnConnect();
  void OnOffLine();
  void reject() override;  // Cancel, Escape and the window's close button

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Runs the login on a worker thread and waits in a local event loop that
  // paints but takes no input.
  LoginOutcome LoginOnWorker(const std::string& ip, const std::string& userId, const std::string& pin);

  CIpAddressEdit* m_ip = nullptr;
  QLineEdit* m_userId = nullptr;
  QLineEdit* m_pin = nullptr;
  QPushButton* m_connect = nullptr;
  LoginFunction m_login;
  bool m_loggingIn = false;
};

}  // namespace vantrel::app
