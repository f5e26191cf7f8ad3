// The launcher: title, placement arithmetic, buttons by connection mode, and
// one window of each kind that is created once and re-shown.
#include <gtest/gtest.h>
#include <QDesktopServices>
#include <QFile>
#include <QLibraryInfo>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>
#include <sstream>

#include "app/CommandLine.h"
#include "app/DekkoraApp.h"
#include "app/DekkoraDlg.h"
#include "app/LauncherLayout.h"
#include "app/ManagerWindows.h"
#include "core/AppSettings.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/controls/ButtonST.h"
#include "ui/controls/Resources.h"

using namespace vantrel;
using namespace vantrel::app;

static test::IsolatedSettings g_isolated;

TEST(LauncherLayout, ManagerPlacement) {
  EXPECT_EQ(ManagerGeometry({1024, 768}), QRect(12, 34, 1000, 700));
  EXPECT_EQ(ManagerGeometry({800, 600}), QRect(0, 0, 800, 600));
  EXPECT_EQ(ManagerGeometry({1000, 700}), QRect(0, 0, 1000, 700));
  EXPECT_EQ(ManagerGeometry({1920, 699}), QRect(0, 0, 1920, 699));
  EXPECT_EQ(ManagerGeometry({1001, 701}), QRect(0, 0, 1000, 700)) << "integer division";
}

TEST(LauncherLayout, LauncherSitsAtBottomRight) {
  EXPECT_EQ(LauncherPosition({1024, 768}, {560, 150}), QPoint(1024 - 560 - 30, 768 - 150 - 70));
}

TEST(LauncherLayout, Title) {
  EXPECT_EQ(LauncherTitle(""), "Vantrel Manager(V0.0.19)");
  EXPECT_EQ(LauncherTitle("Zarn 1.2.10"), "Vantrel Manager(V0.0.19) - connected to Zarn 1.2.10");
}

TEST(LauncherLayout, ManualPageByLanguage) {
  EXPECT_EQ(ManualPageName("rUsSiAn"), "ru.html");
  EXPECT_EQ(ManualPageName("Russian"), "ru.html");
  EXPECT_EQ(ManualPageName("German"), "index.html");
  EXPECT_EQ(ManualPageName(""), "index.html");
}

class LauncherWindow : public ::testing::Test {
 protected:
  void SetUp() override { ui::InitResources(); }
  void TearDown() override { GetConnectionState().m_mode = MODE_NOT_CONNECTED; }
};

TEST_F(LauncherWindow, OfflineEnablesOnlyChannelSettingsAndHelp) {
  GetConnectionState().m_mode = MODE_OFFLINE;
  CDekkoraDlg launcher;
  EXPECT_TRUE(launcher.Button(IDC_BTN_CHANNEL)->isEnabled());
  EXPECT_TRUE(launcher.Button(IDC_BTN_SETTINGS)->isEnabled());
  EXPECT_TRUE(launcher.Button(IDC_BTN_HELP)->isEnabled());
  EXPECT_FALSE(launcher.Button(IDC_BTN_FILEMGR)->isEnabled());
  EXPECT_FALSE(launcher.Button(IDC_BTN_RECORDS)->isEnabled());
  EXPECT_FALSE(launcher.Button(IDC_BTN_SPARE2)->isEnabled());
  EXPECT_TRUE(launcher.Button(IDC_BTN_SPARE6)->isEnabled());
}

TEST_F(LauncherWindow, ConnectedEnablesAllAndShowsFiveCaptionedButtons) {
  GetConnectionState().m_mode = MODE_CONNECTED;
  CDekkoraDlg launcher;
  launcher.show();
  int shown = 0;
  for (const auto& info : LauncherButtons()) {
    auto* button = launcher.Button(info.id);
    ASSERT_NE(button, nullptr) << info.id;
    EXPECT_TRUE(button->isEnabled()) << info.id;
    EXPECT_EQ(button->isVisible(), info.shown) << info.id;
    if (info.shown) {
      ++shown;
      EXPECT_EQ(button->geometry(), info.rect);
      EXPECT_FALSE(button->text().isEmpty());
    }
  }
  EXPECT_EQ(shown, 5);
  EXPECT_EQ(launcher.Button(IDC_BTN_CHANNEL)->text(), "Channel");
  EXPECT_EQ(launcher.Button(IDC_BTN_HELP)->text(), "Help");
  EXPECT_EQ(launcher.windowTitle(), "Vantrel Manager(V0.0.19)");
}

TEST_F(LauncherWindow, ManagerCreatedOnceAndButtonFollowsVisibility) {
  GetConnectionState().m_mode = MODE_CONNECTED;
  CDekkoraDlg launcher;
  int created = 0;
  launcher.SetFactory(ManagerKind::FileMgr, [&created](QWidget* parent) {
    ++created;
    return new ui::CManagerWindow(parent);
  });
  launcher.show();
  launcher.OpenManager(ManagerKind::FileMgr);
  ui::CManagerWindow* first = launcher.Manager(ManagerKind::FileMgr);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_FALSE(launcher.Button(IDC_BTN_FILEMGR)->isEnabled());
  first->close();
  EXPECT_FALSE(first->isVisible()) << "closing hides";
  EXPECT_TRUE(launcher.Button(IDC_BTN_FILEMGR)->isEnabled());
  launcher.OpenManager(ManagerKind::FileMgr);
  EXPECT_EQ(launcher.Manager(ManagerKind::FileMgr), first) << "the same window comes back";
  EXPECT_EQ(created, 1);
  EXPECT_FALSE(launcher.Button(IDC_BTN_FILEMGR)->isEnabled());
}

TEST_F(LauncherWindow, EscapeNeverEndsTheApplicationAndAManagerCanKeepItRunning) {
  struct Refusing : ui::CManagerWindow {
    using CManagerWindow::CManagerWindow;
    bool MayQuit() override { return ++asked > 1; }
    int asked = 0;
  };
  CDekkoraDlg launcher;
  Refusing* refusing = nullptr;
  launcher.SetFactory(ManagerKind::Channel, [&refusing](QWidget* parent) { return refusing = new Refusing(parent); });
  launcher.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&launcher));
  launcher.OpenManager(ManagerKind::Channel);
  launcher.activateWindow();
  QTest::keyClick(&launcher, Qt::Key_Escape);
  EXPECT_TRUE(launcher.isVisible());
  EXPECT_EQ(refusing->asked, 0) << "Escape does not even ask";
  EXPECT_FALSE(launcher.close());
  EXPECT_TRUE(launcher.isVisible());
  EXPECT_TRUE(launcher.close());
  EXPECT_FALSE(launcher.isVisible());
}

TEST_F(LauncherWindow, ClosingAManagerOfflineLeavesItsButtonDisabled) {
  GetConnectionState().m_mode = MODE_OFFLINE;
  CDekkoraDlg launcher;
  launcher.OpenManager(ManagerKind::Records);  // cannot happen by click; the rule still holds
  launcher.Manager(ManagerKind::Records)->close();
  EXPECT_FALSE(launcher.Button(IDC_BTN_RECORDS)->isEnabled());
  launcher.OpenManager(ManagerKind::Channel);
  launcher.Manager(ManagerKind::Channel)->close();
  EXPECT_TRUE(launcher.Button(IDC_BTN_CHANNEL)->isEnabled());
}

TEST_F(LauncherWindow, SettingsWindowIsToldWhenShownAgain) {
  struct Refilling : ui::CManagerWindow {
    using CManagerWindow::CManagerWindow;
    int refills = 0;
    void OnShownAgain() override { ++refills; }
  };
  CDekkoraDlg launcher;
  Refilling* window = nullptr;
  launcher.SetFactory(ManagerKind::Settings, [&window](QWidget* parent) {
    window = new Refilling(parent);
    return window;
  });
  launcher.OpenManager(ManagerKind::Settings);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->refills, 0);
  window->close();
  launcher.OpenManager(ManagerKind::Settings);
  EXPECT_EQ(window->refills, 1);
}

// Catches "file:" addresses so the test never starts a browser.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public Q_SLOTS:
  void open(const QUrl& url) { urls.append(url); }
};

TEST_F(LauncherWindow, HelpOpensTheRussianPageForRussianInAnyCase) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
  CDekkoraDlg launcher;
  QSignalSpy spy(&launcher, &CDekkoraDlg::helpRequested);
  GetSettings().SetLanguage("rUSSIAN");
  launcher.OpenHelp();
  GetSettings().SetLanguage("German");
  launcher.OpenHelp();
  GetSettings().SetLanguage("English");
  ASSERT_EQ(spy.count(), 2);
  EXPECT_TRUE(spy.at(0).at(0).toString().endsWith("/ru.html"));
  EXPECT_TRUE(spy.at(1).at(0).toString().endsWith("/index.html"));
  EXPECT_TRUE(QFile::exists(spy.at(1).at(0).toString())) << "the manual ships with the application";
  ASSERT_EQ(catcher.urls.size(), 2);
  EXPECT_EQ(catcher.urls.at(0).toLocalFile(), spy.at(0).at(0).toString());
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST_F(LauncherWindow, HelpWithoutABrowserSaysWhereTheManualIs) {
  test::ScriptedPrompt prompt;
  CDekkoraDlg launcher;
  QList<QUrl> tried;
  launcher.SetUrlOpener([&tried](const QUrl& url) {
    tried.append(url);
    return false;
  });
  launcher.OpenHelp();
  ASSERT_EQ(tried.size(), 1);
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].icon, PromptIcon::Error);
  EXPECT_NE(prompt.Records()[0].text.find(tried[0].toLocalFile().toStdString()), std::string::npos)
      << prompt.Records()[0].text;

  // A browser that opens the page says nothing more.
  prompt.Clear();
  launcher.SetUrlOpener([](const QUrl&) { return true; });
  launcher.OpenHelp();
  EXPECT_TRUE(prompt.Records().empty());
}

#include "LauncherTest.moc"

TEST(QtTranslations, GermanGivesQtsOwnButtonsInGerman) {
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(dir + QStringLiteral("/qtbase_de.qm")))
    GTEST_SKIP() << "no Qt translations in " << dir.toStdString();
  EXPECT_FALSE(CDekkoraApp::InstallQtTranslations(LANG_ENGLISH));
  ASSERT_TRUE(CDekkoraApp::InstallQtTranslations(LANG_GERMAN));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
  // The rest of the run keeps English Qt texts.
  for (auto* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
  }
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

TEST(ManagerWindows, FileManagerPortTakesOnlyAValidOverride) {
  EXPECT_EQ(FileManagerPort(nullptr), 21);
  EXPECT_EQ(FileManagerPort(""), 21);
  EXPECT_EQ(FileManagerPort("2121"), 2121);
  EXPECT_EQ(FileManagerPort("65535"), 65535);
  for (const char* bad : {"0", "65536", "99999999999", "21x", " 21", "-21", "port"}) {
    EXPECT_EQ(FileManagerPort(bad), 21) << bad;
  }
}

TEST(CommandLine, AnswersHelpAndVersionAndLeavesTheRestToQt) {
  EXPECT_FALSE(IsCommandLineQuery({}));
  EXPECT_FALSE(IsCommandLineQuery({"-platform", "offscreen", "-style", "fusion", "--log"}));
  std::ostringstream none;
  EXPECT_FALSE(AnswerCommandLine({"-platform", "xcb", "--log"}, "/opt/m", "/d", none).has_value());
  EXPECT_TRUE(none.str().empty());

  std::ostringstream help;
  ASSERT_TRUE(IsCommandLineQuery({"-platform", "xcb", "--help"}));
  EXPECT_EQ(AnswerCommandLine({"-platform", "xcb", "--help"}, "/opt/m", "/d", help), 0);
  EXPECT_NE(help.str().find("\nManual: /opt/m/index.html\n"), std::string::npos) << help.str();
  // Help tells how to switch the diagnostic log on and where its file is.
  EXPECT_NE(help.str().find("--log"), std::string::npos) << help.str();
  EXPECT_NE(help.str().find("VANTREL_LOG=1"), std::string::npos) << help.str();
  EXPECT_NE(help.str().find("/d/log.txt"), std::string::npos) << help.str();

  // The first word asked for is the one answered.
  std::ostringstream version;
  EXPECT_EQ(AnswerCommandLine({"--version", "--help"}, "/opt/m", "/d", version), 0);
  EXPECT_EQ(version.str(), "Vantrel Manager " VANTREL_VERSION_TEXT "\n");
}
