// The whole application against the receiver simulator, as a user goes
// through it: the connect dialog, the launcher, the channel editor (load the
// receiver's list, change it, send it back), the file manager (a folder up to
// the receiver and back), the recordings window (a download), the settings
// dialog, the about box and Help, and at last quitting with unsaved work in
// the channel editor. Real message boxes are answered by a watcher, as a user
// would click them.
//
// Every step saves a picture of its window, and under X a picture of the
// whole screen, into VANTREL_ARTEFACT_DIR (default: whole-system in the
// build folder); each is checked to show more than a blank surface.
// VANTREL_TEST_LANGUAGE=Russian runs it with the Russian texts; the manual's
// screenshots are made that way by scripts/screenshots.
#include <gtest/gtest.h>
#include <regex>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <utility>

#include "app/DekkoraDlg.h"
#include "app/DlgConnect.h"
#include "app/DlgSettings.h"
#include "app/LauncherLayout.h"
#include "app/ManagerWindows.h"
#include "channels/ChannelFileReader.h"
#include "channels/ChannelList.h"
#include "core/AppSettings.h"
#include "core/DiagLog.h"
#include "core/TextTable.h"
#include "records/Recordings.h"
#include "support/ReceiverSim.h"
#include "support/TempDir.h"
#include "ui/channel/ChannelTableModel.h"
#include "ui/channel/DlgChannel.h"
#include "ui/channel/EditorListView.h"
#include "ui/channel/FavoriteTree.h"
#include "ui/controls/ButtonST.h"
#include "ui/controls/QtPrompt.h"
#include "ui/controls/Resources.h"
#include "ui/filemgr/DlgFileMgr.h"
#include "ui/records/DlgRecordMgr.h"
#include "ui/records/RecordList.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace {

using namespace vantrel;
namespace fs = std::filesystem;

constexpr const char* kAddress = "127.0.0.150";
constexpr std::uint16_t kFileMgrPort = 2150;
constexpr int kBoundMs = 60000;

// Runs the event loop until the condition holds, at most timeoutMs.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kBoundMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return false;
    QTest::qWait(10);
  }
  return true;
}

// A picture shows something when it has a fair number of colours and no
// single colour covers nearly all of it (a blank or black surface fails).
::testing::AssertionResult ShowsSomething(const QImage& image) {
  if (image.isNull() || image.width() < 50 || image.height() < 50) {
    return ::testing::AssertionFailure() << "no picture (" << image.width() << "x" << image.height() << ")";
  }
  std::map<QRgb, long> counts;
  long samples = 0;
  for (int y = 0; y < image.height(); y += 2) {
    for (int x = 0; x < image.width(); x += 2) {
      ++counts[image.pixel(x, y)];
      ++samples;
    }
  }
  long most = 0;
  for (const auto& [colour, count] : counts) most = std::max(most, count);
  const double share = static_cast<double>(most) / static_cast<double>(samples);
  if (counts.size() < 16 || share > 0.97) {
    return ::testing::AssertionFailure() << counts.size() << " colours, the commonest on " << share * 100
                                         << "% of the picture";
  }
  return ::testing::AssertionSuccess();
}

QString ArtefactDir() {
  QString dir = qEnvironmentVariable("VANTREL_ARTEFACT_DIR");
  if (dir.isEmpty()) dir = QStringLiteral(VANTREL_BINARY_DIR "/whole-system");
  QDir().mkpath(dir);
  return dir;
}

bool OnX() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// Saves the window's picture as <name>.png and, under X, the screen as
// screen-<name>.png, and checks both.
void Picture(QWidget* window, const QString& name) {
  ASSERT_NE(window, nullptr) << name.toStdString();
  QTest::qWait(OnX() ? 300 : 20);  // only for the picture: let the window system show the window
  const QImage own = window->grab().toImage();
  EXPECT_TRUE(ShowsSomething(own)) << name.toStdString();
  EXPECT_TRUE(own.save(ArtefactDir() + "/" + name + ".png")) << name.toStdString();
  if (OnX()) {
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    EXPECT_TRUE(ShowsSomething(screen)) << "screen " << name.toStdString();
    EXPECT_TRUE(screen.save(ArtefactDir() + "/screen-" + name + ".png"));
  }
}

// Answers the application's questions as a user clicking them: message boxes
// get the next queued button when they have it, else "Yes" (else their
// default button), and their texts are kept; another modal window is
// pictured under the armed name and closed.
class ModalWatcher {
 public:
  ModalWatcher() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Look(); });
    m_timer.start(30);
  }
  // accept: the window is accepted (its OK) instead of closed.
  void ArmPicture(const QString& name, bool accept = false) {
    m_pictureName = name;
    m_accept = accept;
  }
  void QueueButton(QMessageBox::StandardButton button) { m_buttons.push_back(button); }
  bool PictureTaken() const { return m_pictureName.isEmpty(); }
  const std::vector<std::string>& Messages() const { return m_messages; }
  std::string MessageLog() const {
    std::string all;
    for (const auto& message : m_messages) all += "[" + message + "] ";
    return all;
  }
  void ClearMessages() { m_messages.clear(); }
  int UnexpectedWindows() const { return m_unexpected; }

 private:
  void Look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      m_messages.push_back(box->text().toStdString());
      QAbstractButton* answer = nullptr;
      if (!m_buttons.empty() && box->button(m_buttons.front()) != nullptr) {
        answer = box->button(m_buttons.front());
        m_buttons.pop_front();
        answer->click();
        return;
      }
      answer = box->button(QMessageBox::Yes);
      if (answer == nullptr) answer = box->defaultButton();
      if (answer == nullptr) answer = box->button(QMessageBox::Ok);
      if (answer != nullptr) answer->click();
      return;
    }
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (dialog == nullptr) return;
    if (!m_pictureName.isEmpty()) {
      m_timer.stop();  // the picture's wait runs the event loop
      Picture(dialog, m_pictureName);
      m_pictureName.clear();
      m_timer.start(30);
      if (std::exchange(m_accept, false)) {
        dialog->accept();
        return;
      }
    } else {
      ++m_unexpected;
    }
    dialog->reject();
  }

  QTimer m_timer;
  QString m_pictureName;
  bool m_accept = false;
  std::deque<QMessageBox::StandardButton> m_buttons;
  std::vector<std::string> m_messages;
  int m_unexpected = 0;
};

// Help must reach the manual: file URLs are taken here instead of a browser.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> urls;
 public Q_SLOTS:
  void open(const QUrl& url) { urls.push_back(url); }
};

struct Session {
  Session() {
    ui::InitResources();
    ui::InstallQtServices();
    const QString language = qEnvironmentVariable("VANTREL_TEST_LANGUAGE", QStringLiteral("English"));
    GetSettings().SetLanguage(language.toStdString());
    SelectTextTable(LanguageCodeFromName(language.toStdString()));
    GetSettings().SetAppDir(app.Path());
    EXPECT_TRUE(GetSettings().SetRecordPath(records.Path()));
    GetConnectionState().m_mode = MODE_NOT_CONNECTED;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &help, "open");
    qputenv("VANTREL_FILEMGR_PORT", QByteArray::number(kFileMgrPort));

    test::ReceiverSim::Options options;
    options.simulator = VANTREL_RECEIVER_SIM;
    options.address = kAddress;
    options.ftpPort = kFileMgrPort;
    options.versionText = "Zarn 2.4.17 ready";  // the logon reply: model, version, "ready"
    sim = std::make_unique<test::ReceiverSim>(options);
  }
  ~Session() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

  test::TempDir app;      // the application folder (tempchannel.xml)
  test::TempDir records;  // the PC's record folder
  UrlCatcher help;
  std::unique_ptr<test::ReceiverSim> sim;
  ModalWatcher watcher;
};

template <typename T>
T* Child(QWidget* parent, int id) {
  return parent->findChild<T*>(QString::number(id));
}

std::size_t ServiceCount(const std::string& path) {
  channels::ChannelList list;
  if (channels::ReadChannelFile(list, path) != channels::ReadResult::Loaded) return 0;
  return list.TvServices().size() + list.RadioServices().size();
}

std::size_t TvFavoriteMembers(const std::string& path) {
  channels::ChannelList list;
  if (channels::ReadChannelFile(list, path) != channels::ReadResult::Loaded) return 0;
  std::size_t members = 0;
  for (const auto& group : list.TvFavorites()) members += group->Members().size();
  return members;
}

TEST(WholeSystem, ConnectThenEveryWindowAndItsMainAction) {
  Session s;
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  // The walk runs with the diagnostic log switched on, as a user would for a bug report.
  test::TempDir logFolder;
  EnableDiagLog(logFolder.Path());
  const std::string receiverList = s.sim->DiskPath("/ftproot/System/Programmliste (Channel List)/channel.xml");
  const std::size_t receiverServices = ServiceCount(receiverList);
  ASSERT_GT(receiverServices, 0u);

  // The connect dialog: address and PIN typed, Connect clicked.
  app::CDlgConnect connectDialog;
  connectDialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&connectDialog));
  auto* ip = Child<QWidget>(&connectDialog, app::IDC_CONNECT_IPADDRESS);
  auto* pin = Child<QLineEdit>(&connectDialog, app::IDC_CONNECT_PINCODE);
  ASSERT_NE(ip, nullptr);
  ASSERT_NE(pin, nullptr);
  const QList<QLineEdit*> octets = ip->findChildren<QLineEdit*>();
  ASSERT_EQ(octets.size(), 4);
  const QStringList parts = QString::fromLatin1(kAddress).split('.');
  for (int i = 0; i < 4; ++i) {
    octets[i]->clear();
    QTest::keyClicks(octets[i], parts[i]);
  }
  pin->clear();
  QTest::keyClicks(pin, "8157");
  Picture(&connectDialog, "connect");
  Child<QPushButton>(&connectDialog, app::IDC_CONNECT_OK)->click();
  ASSERT_TRUE(WaitUntil([&] { return !connectDialog.isVisible(); })) << s.watcher.MessageLog();
  ASSERT_EQ(connectDialog.result(), QDialog::Accepted) << s.watcher.MessageLog();
  EXPECT_EQ(GetConnectionState().m_mode.load(), MODE_CONNECTED);
  EXPECT_EQ(GetSettings().GetLastIP(), kAddress);

  // The launcher, connected: its title names the receiver and every manager is offered.
  app::CDekkoraDlg launcher;
  app::RegisterManagerWindows(launcher);
  launcher.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&launcher));
  EXPECT_NE(launcher.windowTitle().indexOf(" - connected to Zarn 2.4.17"), -1) << launcher.windowTitle().toStdString();
  for (int id :
       {app::IDC_BTN_CHANNEL, app::IDC_BTN_FILEMGR, app::IDC_BTN_RECORDS, app::IDC_BTN_SETTINGS, app::IDC_BTN_HELP}) {
    EXPECT_TRUE(launcher.Button(id)->isEnabled()) << id;
  }
  Picture(&launcher, "launcher");

  // Channel editor: load the receiver's list.
  launcher.Button(app::IDC_BTN_CHANNEL)->click();
  auto* channel = dynamic_cast<ui::CDlgChannel*>(launcher.Manager(app::ManagerKind::Channel));
  ASSERT_NE(channel, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(channel));
  EXPECT_FALSE(launcher.Button(app::IDC_BTN_CHANNEL)->isEnabled());
  Child<QAbstractButton>(channel, ui::CDlgChannel::IDC_LOAD_PVR)->click();
  ASSERT_TRUE(WaitUntil([&] { return !channel->IsLoading(); })) << s.watcher.MessageLog();
  EXPECT_TRUE(s.watcher.Messages().empty()) << s.watcher.MessageLog();
  const int loadedRows = channel->ChannelModel()->rowCount();
  ASSERT_GT(loadedRows, 1);
  EXPECT_LE(static_cast<std::size_t>(loadedRows), receiverServices);
  Picture(channel, "channel");

  // The satellite dialog and the properties of one service, pictured and closed.
  s.watcher.ArmPicture(QStringLiteral("satellite"));
  channel->RunCommand(ui::CDlgChannel::IDC_SAT_TP);
  EXPECT_TRUE(s.watcher.PictureTaken());
  ui::CEditorListView* rows = channel->ChannelListView();
  rows->setFocus();
  QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::NoModifier,
                    rows->visualRect(rows->model()->index(0, 1)).center());
  ASSERT_EQ(channel->Editor().Channels().SelectedCount(), 1u);
  s.watcher.ArmPicture(QStringLiteral("service"));
  channel->RunCommand(ui::CDlgChannel::ID_EDIT_CHANNEL);
  EXPECT_TRUE(s.watcher.PictureTaken());

  // A new TV favourite group with the first channel, then the list goes back
  // to the receiver; the receiver's file holds the new member afterwards.
  const std::size_t membersBefore = TvFavoriteMembers(receiverList);
  s.watcher.ClearMessages();
  channel->RunCommand(ui::CDlgChannel::ID_ADD_TO_NEW_TV);
  const QString loadedTitle = QString::fromUtf8(GetText(94));
  EXPECT_EQ(channel->windowTitle(), loadedTitle + " *") << "unsaved work is marked";
  // The new group's name is typed and Enter ends the editing.
  ASSERT_TRUE(channel->IsLabelEditing());
  auto* groupName = channel->Tree()->findChild<QLineEdit*>();
  ASSERT_NE(groupName, nullptr);
  groupName->setText(QStringLiteral("Walk"));
  channel->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(channel));
  QTest::keyClick(groupName, Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] { return !channel->IsLabelEditing(); }, 5000)) << s.watcher.MessageLog();
  Child<QAbstractButton>(channel, ui::CDlgChannel::IDC_SEND_PVR)->click();
  ASSERT_TRUE(WaitUntil([&] { return !channel->IsSending(); })) << s.watcher.MessageLog();
  for (const auto& message : s.watcher.Messages()) {
    EXPECT_NE(message, GetText(301)) << "the send failed: " << s.watcher.MessageLog();
  }
  EXPECT_EQ(TvFavoriteMembers(receiverList), membersBefore + 1) << s.watcher.MessageLog();
  EXPECT_EQ(ServiceCount(receiverList), receiverServices);
  EXPECT_EQ(channel->windowTitle(), loadedTitle) << "the receiver holds the work; the title stays";

  // The list tools once each, then undo and restore.
  {
    test::ScriptedFileDialogs dialogs;
    const channels::ChannelList& list = channel->Editor().List();
    const std::string firstName = list.TvServices().front()->Name;
    const std::string lastName = list.TvServices().back()->Name;
    s.watcher.ClearMessages();
    // The check of a list fresh from the receiver, and the duplicate finder: pictured and closed.
    s.watcher.ArmPicture(QStringLiteral("check"));
    channel->RunCommand(ui::CDlgChannel::ID_CHECK_LIST);
    EXPECT_TRUE(s.watcher.PictureTaken());
    s.watcher.ArmPicture(QStringLiteral("duplicates"));
    channel->RunCommand(ui::CDlgChannel::ID_FIND_DUPLICATES);
    EXPECT_TRUE(s.watcher.PictureTaken() || !s.watcher.Messages().empty()) << "a window or \"none found\"";
    // A reference list of one name puts that channel on top; Undo puts it back.
    const std::string reference = s.app.File("reference.txt");
    test::WriteAt(reference, lastName + "\n");
    dialogs.QueueOpen(reference);
    s.watcher.ArmPicture(QStringLiteral("reference"), true);
    channel->RunCommand(ui::CDlgChannel::ID_APPLY_REFERENCE);
    EXPECT_TRUE(s.watcher.PictureTaken());
    EXPECT_EQ(list.TvServices().front()->Name, lastName);
    EXPECT_TRUE(channel->RunCommand(ui::CDlgChannel::ID_UNDO));
    EXPECT_EQ(list.TvServices().front()->Name, firstName);
    EXPECT_EQ(list.TvServices().back()->Name, lastName);
    EXPECT_EQ(channel->windowTitle(), loadedTitle) << "undone to the list sent: nothing unsaved";
    // CSV out, one name changed in a spreadsheet, CSV in.
    const std::string csv = s.app.File("tv.csv");
    dialogs.QueueSave(csv);
    channel->RunCommand(ui::CDlgChannel::ID_EXPORT_CSV);
    std::string table = test::ReadFile(csv);
    const std::size_t at = table.find(firstName);
    ASSERT_NE(at, std::string::npos);
    table.replace(at, firstName.size(), firstName + " CSV");
    test::WriteAt(csv, table);
    dialogs.QueueOpen(csv);
    s.watcher.ArmPicture(QStringLiteral("csv-import"), true);
    channel->RunCommand(ui::CDlgChannel::ID_IMPORT_CSV);
    EXPECT_TRUE(s.watcher.PictureTaken());
    EXPECT_EQ(list.TvServices().front()->Name, firstName + " CSV");
    // Restore opens the receiver's list from before the send, unsaved; Undo returns to the CSV's.
    // The CSV's change is not saved: the question before dropping it is answered Discard.
    s.watcher.ClearMessages();
    s.watcher.QueueButton(QMessageBox::Discard);
    s.watcher.ArmPicture(QStringLiteral("restore"), true);
    channel->RunCommand(ui::CDlgChannel::IDC_RESTORE);
    EXPECT_TRUE(s.watcher.PictureTaken()) << s.watcher.MessageLog();
    EXPECT_EQ(s.watcher.Messages().size(), 1u) << s.watcher.MessageLog();
    std::size_t restoredMembers = 0;
    for (const auto& group : list.TvFavorites()) restoredMembers += group->Members().size();
    EXPECT_EQ(restoredMembers, membersBefore) << "the backup holds the list before the new favourite";
    EXPECT_TRUE(channel->windowTitle().endsWith(QStringLiteral(" *")));
    EXPECT_TRUE(channel->RunCommand(ui::CDlgChannel::ID_UNDO));
    EXPECT_EQ(list.TvServices().front()->Name, firstName + " CSV");
    EXPECT_TRUE(channel->RunCommand(ui::CDlgChannel::ID_UNDO));
    EXPECT_EQ(list.TvServices().front()->Name, firstName);
    EXPECT_FALSE(channel->Editor().IsModified());
    EXPECT_EQ(s.watcher.UnexpectedWindows(), 0);
  }
  channel->close();
  EXPECT_TRUE(launcher.Button(app::IDC_BTN_CHANNEL)->isEnabled());

  // File manager: a folder from the PC's desktop up to the receiver's Media
  // folder, then, the PC's copy moved aside, back down again.
  const std::string desktop = QDir::homePath().toStdString() + "/Desktop";
  test::WriteAt(desktop + "/Holiday/day1.txt", "sun\n");
  test::WriteAt(desktop + "/Holiday/photos/beach.jpg", std::string(50000, 'j'));
  fs::create_directories(desktop + "/Holiday/empty");
  launcher.Button(app::IDC_BTN_FILEMGR)->click();
  auto* files = dynamic_cast<ui::CDlgFileMgr*>(launcher.Manager(app::ManagerKind::FileMgr));
  ASSERT_NE(files, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(files));
  files->TreeLocal()->m_desktopPath = desktop;
  files->TreeLocal()->setCurrentItem(files->TreeLocal()->Top());
  ui::CTreeRemote* remoteTree = files->TreeRemote();
  remoteTree->setCurrentItem(remoteTree->Root());
  for (const char* name : {"ftproot", "Media"}) {
    files->FillRemoteTree(remoteTree->currentItem(), true);
    ASSERT_TRUE(remoteTree->SelectChildByName(remoteTree->currentItem(), name)) << name;
  }
  auto select = [](QTreeWidget* list, const std::string& name) {
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      if (list->topLevelItem(i)->text(0).toStdString() == name) list->topLevelItem(i)->setSelected(true);
    }
  };
  select(files->ListLocal(), "Holiday");
  files->OnCommand(ui::CDlgFileMgr::IDC_UPLOAD);
  ASSERT_TRUE(files->WaitForTransfer(kBoundMs));
  const std::string onReceiver = s.sim->DiskPath("/ftproot/Media/Holiday");
  EXPECT_EQ(test::Snapshot(onReceiver), test::Snapshot(desktop + "/Holiday"));
  EXPECT_GE(files->ListRemote()->Model().Find("Holiday"), 0);

  fs::rename(desktop + "/Holiday", desktop + "/Holiday.sent");
  files->OnCommand(ui::CDlgFileMgr::IDC_REFRESH);
  select(files->ListRemote(), "Holiday");
  files->OnCommand(ui::CDlgFileMgr::IDC_DOWNLOAD);
  ASSERT_TRUE(files->WaitForTransfer(kBoundMs));
  EXPECT_EQ(test::Snapshot(desktop + "/Holiday"), test::Snapshot(desktop + "/Holiday.sent"));
  EXPECT_EQ(test::Snapshot(desktop + "/Holiday").count("photos/beach.jpg"), 1u);
  EXPECT_TRUE(s.watcher.Messages().empty() || s.watcher.Messages().back() != GetText(301)) << s.watcher.MessageLog();
  Picture(files, "filemgr");
  files->close();

  // Recordings: one TV recording downloaded into the record folder.
  launcher.Button(app::IDC_BTN_RECORDS)->click();
  auto* recordings = dynamic_cast<ui::CDlgRecordMgr*>(launcher.Manager(app::ManagerKind::Records));
  ASSERT_NE(recordings, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(recordings));
  ui::records::CRecordList* receiverRows = recordings->ReceiverList();
  ASSERT_GT(receiverRows->topLevelItemCount(), 0) << s.watcher.MessageLog();
  const std::string wanted = "Tagesschau_20261201_2000_1001_/Tagesschau.tts";
  receiverRows->clearSelection();
  for (int i = 0; i < receiverRows->topLevelItemCount(); ++i) {
    const auto index = receiverRows->topLevelItem(i)->data(0, Qt::UserRole).toULongLong();
    const std::string& path = recordings->Entries()[index].path;
    if (path.size() >= wanted.size() && path.compare(path.size() - wanted.size(), wanted.size(), wanted) == 0) {
      receiverRows->topLevelItem(i)->setSelected(true);
    }
  }
  ASSERT_EQ(receiverRows->SelectedRows().size(), 1u);
  QSignalSpy finished(recordings, &ui::CDlgRecordMgr::downloadFinished);
  Child<QAbstractButton>(recordings, ui::CDlgRecordMgr::IDC_DOWNLOAD)->click();
  ASSERT_TRUE(finished.wait(kBoundMs)) << s.watcher.MessageLog();
  EXPECT_TRUE(finished.at(0).at(0).toBool()) << s.watcher.MessageLog();
  const std::string remote = test::ReadFile(s.sim->DiskPath(std::string(ui::records::kTvArchive) + "/" + wanted));
  ASSERT_FALSE(remote.empty());
  EXPECT_EQ(test::ReadFile(s.records.File("Tagesschau.tts")), remote);
  EXPECT_EQ(recordings->LocalList()->topLevelItemCount(), 1);
  Picture(recordings, "records");
  recordings->close();

  // Settings, the about box and Help.
  launcher.Button(app::IDC_BTN_SETTINGS)->click();
  QWidget* settings = launcher.Manager(app::ManagerKind::Settings);
  ASSERT_NE(settings, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(settings));
  Picture(settings, "settings");
  settings->close();
  s.watcher.ArmPicture(QStringLiteral("about"));
  launcher.ShowAbout();
  EXPECT_TRUE(s.watcher.PictureTaken());

  launcher.Button(app::IDC_BTN_HELP)->click();
  ASSERT_EQ(s.help.urls.size(), 1u);
  const QString page = s.help.urls[0].toLocalFile();
  EXPECT_TRUE(QFileInfo::exists(page)) << page.toStdString();
  EXPECT_EQ(QFileInfo(page).fileName().toStdString(), app::ManualPageName(GetSettings().GetLanguage()));

  // Quitting with unsaved work in the channel editor asks first: Cancel keeps
  // the application and the work, Discard ends it.
  launcher.Button(app::IDC_BTN_CHANNEL)->click();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(channel));
  rows->setFocus();
  QTest::mouseClick(rows->viewport(), Qt::LeftButton, Qt::NoModifier,
                    rows->visualRect(rows->model()->index(1, 1)).center());
  ASSERT_EQ(channel->Editor().Channels().SelectedCount(), 1u);
  const bool locked = channel->Editor().Channels().SelectedServices().front()->Locked;
  channel->RunCommand(locked ? ui::CDlgChannel::ID_UNLOCK : ui::CDlgChannel::ID_LOCK);
  ASSERT_TRUE(channel->Editor().IsModified());
  s.watcher.ClearMessages();
  s.watcher.QueueButton(QMessageBox::Cancel);
  EXPECT_FALSE(launcher.close());
  EXPECT_TRUE(launcher.isVisible());
  EXPECT_TRUE(channel->Editor().IsModified());
  EXPECT_NE(channel->Editor().Channels().SelectedServices().front()->Locked, locked) << "the edit is kept";
  ASSERT_EQ(s.watcher.Messages().size(), 1u) << s.watcher.MessageLog();
  EXPECT_EQ(s.watcher.Messages()[0], GetText(345));
  s.watcher.QueueButton(QMessageBox::Discard);
  EXPECT_TRUE(launcher.close());
  EXPECT_FALSE(launcher.isVisible());
  EXPECT_EQ(s.watcher.Messages().size(), 2u) << s.watcher.MessageLog();
  EXPECT_EQ(s.watcher.UnexpectedWindows(), 0);

  DisableDiagLog();
  const std::string log = test::ReadFile(logFolder.File("log.txt"));
  EXPECT_NE(log.find("> USER root"), std::string::npos) << "the FTP exchange is in the log";
  EXPECT_NE(log.find("> PASS ****"), std::string::npos);
  EXPECT_NE(log.find("RETR"), std::string::npos);
  EXPECT_NE(log.find("command port > Record_GetPartitionSize"), std::string::npos) << "command-port requests too";
  EXPECT_FALSE(std::regex_search(log, std::regex("(^|[^0-9])" + s.sim->Pin() + "([^0-9]|$)"))) << "never the PIN code";
}

}  // namespace

#include "WholeSystemTest.moc"
