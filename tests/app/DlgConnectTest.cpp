// The connect dialog: pre-fill, the order of its checks, what is stored when,
// Off Line and Cancel, and real logins against the receiver simulator on
// 127.0.0.62 (version "Zarn 1.2.10") and 127.0.0.63 (a logon reply without one).
#include "app/DlgConnect.h"

#include <gtest/gtest.h>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "app/DekkoraDlg.h"
#include "app/IpAddressEdit.h"
#include "core/AppSettings.h"
#include "core/SettingsStore.h"
#include "core/TextTable.h"
#include "support/ReceiverSim.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace vantrel::app {
namespace {

using test::ReceiverSim;
using test::ScriptedPrompt;

std::string Stored(const std::string& name) {
  std::string value = "<absent>";
  CQSettingsStore().Read(name, value);
  return value;
}

std::vector<std::string> Shown(const ScriptedPrompt& prompt) {
  std::vector<std::string> texts;
  for (const auto& record : prompt.Records()) texts.push_back(record.caption + ": " + record.text);
  return texts;
}
std::string ErrorLine(int text) { return std::string(GetText(287)) + ": " + GetText(text); }

// Grabs a window into $VANTREL_SHOT_DIR, when set, for looking at it.
void MaybeSaveShot(QWidget& widget, const char* name) {
  const QByteArray dir = qgetenv("VANTREL_SHOT_DIR");
  if (!dir.isEmpty()) widget.grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}

struct Dialog {
  Dialog() {
    dialog.show();
    ip = dialog.findChild<CIpAddressEdit*>(QString::number(IDC_CONNECT_IPADDRESS));
    user = dialog.findChild<QLineEdit*>(QString::number(IDC_CONNECT_USERID));
    pin = dialog.findChild<QLineEdit*>(QString::number(IDC_CONNECT_PINCODE));
    connect = dialog.findChild<QPushButton*>(QString::number(IDC_CONNECT_OK));
    offLine = dialog.findChild<QPushButton*>(QString::number(IDC_CONNECT_OFFLINE));
    cancel = dialog.findChild<QPushButton*>(QString::number(IDC_CONNECT_CANCEL));
  }
  void Fill(const std::string& address, const std::string& code) {
    ip->SetText(address);
    pin->setText(QString::fromStdString(code));
  }
  CDlgConnect dialog;
  CIpAddressEdit* ip = nullptr;
  QLineEdit* user = nullptr;
  QLineEdit* pin = nullptr;
  QPushButton* connect = nullptr;
  QPushButton* offLine = nullptr;
  QPushButton* cancel = nullptr;
};

class DlgConnectTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_sim = Start("127.0.0.62", "");
    s_plainSim = Start("127.0.0.63", "ready");
  }
  static void TearDownTestSuite() {
    s_sim.reset();
    s_plainSim.reset();
  }
  static std::unique_ptr<ReceiverSim> Start(const std::string& address, const std::string& versionText) {
    ReceiverSim::Options options;
    options.simulator = VANTREL_RECEIVER_SIM;
    options.address = address;
    options.ftpPort = 2162;
    options.channelPort = FTP_PORT;
    options.commandPort = 12362;
    options.versionText = versionText;
    auto sim = std::make_unique<ReceiverSim>(options);
    EXPECT_TRUE(sim->Start()) << sim->Output();
    return sim;
  }
  void SetUp() override {
    GetConnectionState().m_mode = MODE_NOT_CONNECTED;
    GetSettings().SetTargetVersion("");
  }

  inline static std::unique_ptr<ReceiverSim> s_sim;
  inline static std::unique_ptr<ReceiverSim> s_plainSim;
};

TEST_F(DlgConnectTest, ControlsAndPreFill) {
  GetSettings().SetLastIP("10.1.2.3");
  GetSettings().SetPINCODE("1234");
  GetSettings().SetSavePINCODE(true);
  {
    Dialog d;
    EXPECT_EQ(d.dialog.windowTitle(), QString::fromUtf8(GetText(317)));
    EXPECT_TRUE(d.dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(d.ip->Text(), "10.1.2.3");
    EXPECT_EQ(d.user->text(), "root");
    EXPECT_FALSE(d.user->isEnabled());
    EXPECT_EQ(d.pin->text(), "1234");
    EXPECT_EQ(d.pin->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(d.connect->isDefault());
    EXPECT_EQ(d.offLine->text(), QString::fromUtf8(GetText(79)));
    EXPECT_EQ(d.cancel->text(), QString::fromUtf8(GetText(272)));
    for (int id : {IDC_CONNECT_IPLABEL, IDC_CONNECT_USERLABEL, IDC_CONNECT_PINLABEL}) {
      EXPECT_NE(d.dialog.findChild<QLabel*>(QString::number(id)), nullptr) << id;
    }
  }
  GetSettings().SetSavePINCODE(false);
  Dialog d;
  EXPECT_TRUE(d.pin->text().isEmpty()) << "the stored code is not shown unless it is to be saved";
}

TEST_F(DlgConnectTest, IpFieldTypesLikeOneField) {
  Dialog d;
  // Each key goes where the focus is, as a user's would.
  const auto type = [&](const QString& keys) {
    for (const QChar key : keys) QTest::keyClick(d.dialog.focusWidget(), key.toLatin1());
  };
  d.ip->SetText("");
  d.ip->Part(0)->setFocus();
  type("192.168.1.20");
  EXPECT_EQ(d.ip->Text(), "192.168.1.20");
  d.ip->SetText("300.1.1.1");
  EXPECT_EQ(d.ip->Text(), "") << "an impossible address fills nothing";
  d.ip->Part(0)->setText("10");
  d.ip->Part(3)->setText("7");
  EXPECT_EQ(d.ip->Text(), "10...7");
  d.ip->SetText("");
  d.ip->Part(0)->setFocus();
  type("999");
  EXPECT_EQ(d.ip->Part(0)->text(), "255");
  EXPECT_EQ(d.dialog.focusWidget(), d.ip->Part(1));
}

TEST_F(DlgConnectTest, PastedAddressFillsAllPartsAndAnIncompleteOneIsRefused) {
  Dialog d;
  d.ip->SetText("");
  QGuiApplication::clipboard()->setText(QStringLiteral("192.168.1.20"));
  d.ip->Part(0)->setFocus();
  QTest::keySequence(d.ip->Part(0), QKeySequence::Paste);
  EXPECT_EQ(d.ip->Text(), "192.168.1.20");
  EXPECT_EQ(d.dialog.focusWidget(), d.ip->Part(3));

  int logins = 0;
  d.dialog.SetLoginFunction([&](const std::string&, const std::string&, const std::string&) {
    ++logins;
    return LoginOutcome{};
  });
  ScriptedPrompt prompt;
  d.pin->setText("8157");
  d.ip->Part(1)->clear();
  QTest::mouseClick(d.connect, Qt::LeftButton);
  EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(300)});
  EXPECT_EQ(logins, 0) << "refused at once, not tried with a 0";
  EXPECT_TRUE(d.dialog.isVisible());
}

TEST_F(DlgConnectTest, ChecksRunInOrderAndStopBeforeStoring) {
  const std::string storedPin = Stored("PINCODE");
  int logins = 0;
  const LoginFunction login = [&](const std::string&, const std::string&, const std::string&) {
    ++logins;
    return LoginOutcome{};
  };
  struct Case {
    ConnectFields fields;
    int text;
  };
  for (const Case& c : {Case{{"", "", ""}, 298}, Case{{"root", "", ""}, 299}, Case{{"root", "", "1.2.3.4"}, 299},
                        Case{{"root", "9999", ""}, 300}}) {
    ScriptedPrompt prompt;
    EXPECT_FALSE(RunConnect(c.fields, login));
    EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(c.text)});
  }
  EXPECT_EQ(logins, 0);
  EXPECT_EQ(Stored("PINCODE"), storedPin);

  // Through the window: a blank PIN code keeps the dialog open.
  ScriptedPrompt prompt;
  Dialog d;
  d.Fill("127.0.0.62", "");
  QTest::mouseClick(d.connect, Qt::LeftButton);
  EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(299)});
  EXPECT_TRUE(d.dialog.isVisible());
  EXPECT_EQ(d.dialog.result(), QDialog::Rejected);
}

TEST_F(DlgConnectTest, WrongPinThenARightOneConnects) {
  GetSettings().SetSavePINCODE(false);
  GetSettings().SetLastIP("10.9.9.9");
  GetSettings().SaveLastIP();
  ScriptedPrompt prompt;
  Dialog d;
  d.Fill(s_sim->Address(), "0000");
  QTest::mouseClick(d.connect, Qt::LeftButton);
  EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(301)});
  EXPECT_TRUE(d.dialog.isVisible());
  EXPECT_EQ(Stored("PINCODE"), "<absent>") << "not stored while \"Save PINCODE\" is off";
  EXPECT_EQ(GetSettings().GetLastIP(), s_sim->Address());
  EXPECT_EQ(Stored("LastIP"), "10.9.9.9") << "stored only after a login";
  EXPECT_EQ(GetConnectionState().m_mode.load(), MODE_NOT_CONNECTED);

  prompt.Clear();
  d.pin->setText(QString::fromStdString(s_sim->Pin()));
  MaybeSaveShot(d.dialog, "connect-dialog");
  QTest::mouseClick(d.connect, Qt::LeftButton);
  EXPECT_TRUE(prompt.Records().empty());
  EXPECT_FALSE(d.dialog.isVisible());
  EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Stored("PINCODE"), "<absent>");
  EXPECT_EQ(GetSettings().GetPINCODE(), s_sim->Pin()) << "the run's logins use it";
  EXPECT_EQ(Stored("LastIP"), s_sim->Address());
  EXPECT_EQ(GetConnectionState().m_mode.load(), MODE_CONNECTED);
  EXPECT_EQ(GetSettings().GetTargetVersion(), "Zarn 1.2.10");

  CDekkoraDlg launcher;
  EXPECT_TRUE(launcher.windowTitle().endsWith(" - connected to Zarn 1.2.10")) << launcher.windowTitle().toStdString();
  launcher.show();
  MaybeSaveShot(launcher, "launcher-connected");
}

// A wrong PIN keeps text 301; a refused connection says so instead.
TEST_F(DlgConnectTest, AFailureNamesItsCause) {
  EXPECT_EQ(TestLogin(s_sim->Address(), "root", "0000").failureText, 301);
  // Nothing listens on this port of the simulator's address.
  EXPECT_EQ(TestLogin(s_sim->Address(), "root", s_sim->Pin(), 1).failureText, 379);
  ScriptedPrompt prompt;
  LoginOutcome refused;
  refused.failureText = 379;
  ConnectFields fields;
  fields.userId = "root";
  fields.pin = "8157";
  fields.ip = "127.0.0.64";
  EXPECT_FALSE(RunConnect(fields, [&](const std::string&, const std::string&, const std::string&) { return refused; }));
  EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(379)});
}

TEST_F(DlgConnectTest, LogonReplyWithoutVersionLeavesNoConnectedTo) {
  ScriptedPrompt prompt;
  Dialog d;
  d.Fill(s_plainSim->Address(), s_plainSim->Pin());
  QTest::mouseClick(d.connect, Qt::LeftButton);
  ASSERT_EQ(d.dialog.result(), QDialog::Accepted);
  EXPECT_EQ(GetSettings().GetTargetVersion(), "");
  CDekkoraDlg launcher;
  EXPECT_FALSE(launcher.windowTitle().contains("connected to")) << launcher.windowTitle().toStdString();
}

TEST_F(DlgConnectTest, OffLineAndCancelStoreNothing) {
  const std::string pin = Stored("PINCODE");
  const std::string ip = Stored("LastIP");
  {
    ScriptedPrompt prompt;
    Dialog d;
    d.Fill("", "");
    QTest::mouseClick(d.offLine, Qt::LeftButton);
    EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(GetConnectionState().m_mode.load(), MODE_OFFLINE);
    EXPECT_TRUE(prompt.Records().empty());
  }
  {
    Dialog d;
    d.Fill("1.2.3.4", "5555");
    QTest::mouseClick(d.cancel, Qt::LeftButton);
    EXPECT_EQ(d.dialog.result(), QDialog::Rejected);
    EXPECT_EQ(GetConnectionState().m_mode.load(), MODE_NOT_CONNECTED);
  }
  {
    Dialog d;
    GetConnectionState().m_mode = MODE_OFFLINE;
    QTest::keyClick(&d.dialog, Qt::Key_Escape);
    EXPECT_FALSE(d.dialog.isVisible());
    EXPECT_EQ(GetConnectionState().m_mode.load(), MODE_NOT_CONNECTED);
  }
  EXPECT_EQ(Stored("PINCODE"), pin);
  EXPECT_EQ(Stored("LastIP"), ip);
  EXPECT_EQ(GetSettings().GetTargetVersion(), "");
}

TEST_F(DlgConnectTest, WindowKeepsRunningButIgnoresCancelDuringTheLogin) {
  ScriptedPrompt prompt;
  Dialog d;
  d.Fill("127.0.0.62", "8157");
  std::atomic<bool> release{false};
  std::atomic<bool> sawTimer{false};
  d.dialog.SetLoginFunction([&](const std::string&, const std::string&, const std::string&) {
    // Held until the window's own timer runs, which it can only do while its thread is free.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!release && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return LoginOutcome{true, "Zarn 9.9"};
  });
  QTimer::singleShot(0, &d.dialog, [&] {
    sawTimer = d.dialog.IsLoggingIn();
    d.dialog.reject();  // a close while the login runs is ignored
    QTest::keyClick(&d.dialog, Qt::Key_Escape);
    release = true;
  });
  QTest::mouseClick(d.connect, Qt::LeftButton);
  EXPECT_TRUE(sawTimer.load());
  EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
  EXPECT_EQ(GetConnectionState().m_mode.load(), MODE_CONNECTED);
  EXPECT_EQ(GetSettings().GetTargetVersion(), "Zarn 9.9");
}

}  // namespace
}  // namespace vantrel::app
