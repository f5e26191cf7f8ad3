// The recordings window against the receiver simulator, offscreen: both
// lists, TV and radio, downloads (dropped rows, cancel during and between
// files), deletion on either side, renaming, and the refusals while a
// download runs, and a receiver that goes silent. Each test has its own
// simulator on its own address.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utime.h>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "core/AppSettings.h"
#include "core/Format.h"
#include "core/TextTable.h"
#include "net/CommandChannel.h"
#include "support/ReceiverSim.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/controls/ButtonST.h"
#include "ui/controls/MultiColorStatic.h"
#include "ui/controls/Resources.h"
#include "ui/controls/SimpleProgress.h"
#include "ui/controls/TransferProgressDlg.h"
#include "ui/records/DlgRecordMgr.h"
#include "ui/records/RecordList.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace {

using vantrel::ui::CDlgRecordMgr;
namespace records = vantrel::ui::records;
namespace fs = std::filesystem;

constexpr int kBoundMs = 60000;

void WriteBytes(const std::string& path, std::size_t size, char fill = 'r') {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  std::string chunk(64 * 1024, fill);
  for (std::size_t done = 0; done < size;) {
    const std::size_t n = std::min(chunk.size(), size - done);
    out.write(chunk.data(), static_cast<std::streamsize>(n));
    done += n;
  }
}

void SetTime(const std::string& path, std::time_t when) {
  const utimbuf times{when, when};
  ::utime(path.c_str(), &times);
}

// A simulator, a PC record folder and scripted answers for one test.
struct SimSetup {
  explicit SimSetup(const char* address, std::int64_t throttle = 0) {
    vantrel::test::ReceiverSim::Options options;
    options.simulator = VANTREL_RECEIVER_SIM;
    options.address = address;
    options.throttle = throttle;
    sim = std::make_unique<vantrel::test::ReceiverSim>(options);
    vantrel::GetSettings().SetLastIP(address);
    vantrel::GetSettings().SetRecordPath(pc.Path());
    // A fresh command channel for this test's receiver.
    vantrel::GetConnectionState().SetCommandChannel(nullptr);
    vantrel::ui::InitResources();
  }
  std::string Tv(const std::string& rest = "") const {
    return sim->DiskPath(records::kTvArchive) + (rest.empty() ? "" : "/" + rest);
  }

  vantrel::test::TempDir pc;
  vantrel::test::ScriptedPrompt prompt;
  vantrel::test::ScriptedFileDialogs dialogs;
  std::unique_ptr<vantrel::test::ReceiverSim> sim;
};

std::vector<std::string> Names(QTreeWidget* list) {
  std::vector<std::string> names;
  for (int i = 0; i < list->topLevelItemCount(); ++i) names.push_back(list->topLevelItem(i)->text(0).toStdString());
  return names;
}

// Selects the receiver rows whose entry path ends with one of the suffixes.
void SelectEntries(CDlgRecordMgr& window, const std::vector<std::string>& suffixes) {
  records::CRecordList* list = window.ReceiverList();
  list->clearSelection();
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    const auto& path = window.Entries()[list->topLevelItem(i)->data(0, Qt::UserRole).toULongLong()].path;
    for (const auto& suffix : suffixes)
      if (path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0)
        list->topLevelItem(i)->setSelected(true);
  }
}

void SelectNames(QTreeWidget* list, const std::vector<std::string>& names) {
  list->clearSelection();
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (std::find(names.begin(), names.end(), list->topLevelItem(i)->text(0).toStdString()) != names.end())
      list->topLevelItem(i)->setSelected(true);
}

void DropOn(QWidget* list, const QByteArray& source) {
  QMimeData mime;
  mime.setData(records::CRecordList::kDragFormat, source);
  QWidget* viewport = static_cast<QAbstractScrollArea*>(list)->viewport();
  // The application delivers a drop to the widget that took the drag's entry.
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &enter);
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &drop);
}

void Screenshot(QWidget& window, const char* name) {
  const QByteArray dir = qgetenv("VANTREL_SCREENSHOT_DIR");
  if (dir.isEmpty()) return;
  window.show();
  QTest::qWait(50);  // only for the picture: let the window paint
  window.grab().save(QString::fromUtf8(dir) + "/" + name);
}

bool AllCommandsEnabled(CDlgRecordMgr& window, bool enabled) {
  for (int id : {CDlgRecordMgr::IDC_DOWNLOAD, CDlgRecordMgr::IDC_DELETE, CDlgRecordMgr::IDC_REFRESH,
                 CDlgRecordMgr::IDC_CHANGE_DIRECTORY, CDlgRecordMgr::IDC_TV_RADIO})
    if (window.Button(id)->isEnabled() != enabled) return false;
  return true;
}

TEST(RecordMgr, ListsBothSidesInTvAndRadioMode) {
  SimSetup s("127.0.0.81");
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  const std::time_t folderTime = std::time(nullptr) - 86400;
  const std::string doppel = s.Tv("Doppel_20261208_1200_1500_");
  WriteBytes(doppel + "/a.ts", 1048577);
  WriteBytes(doppel + "/a.idx", 1024);
  SetTime(doppel, folderTime);
  WriteBytes(s.Tv("Leer_20261208_1300_1501_/x.ts"), 0);
  WriteBytes(s.Tv("Leer_20261208_1300_1501_/x..y.ts"), 10);
  for (const char* name : {"Show.TTS", "Show.ts", "old.rts"}) WriteBytes(s.pc.File(name), 2048);

  CDlgRecordMgr window;
  std::vector<std::pair<std::string, std::string>> doubles;
  const auto rows = window.ReceiverList();
  for (int i = 0; i < rows->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* row = rows->topLevelItem(i);
    if (row->text(0) == "a.tts") doubles.emplace_back(row->text(1).toStdString(), row->text(2).toStdString());
  }
  // Two files of one folder: two rows of the same name, each its own size, both the folder's date.
  ASSERT_EQ(doubles.size(), 2u);
  std::sort(doubles.begin(), doubles.end());
  const std::string date = vantrel::DateText(folderTime - folderTime % 60);
  EXPECT_EQ(doubles[0], std::make_pair(std::string("1,025KB"), date));
  EXPECT_EQ(doubles[1], std::make_pair(std::string("1KB"), date));
  const auto names = Names(rows);
  EXPECT_NE(std::find(names.begin(), names.end(), "x.tts"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "Tatort - Schattenlinie.tts"), names.end());
  // ".." inside a name leads nowhere else: the file is offered under its own name.
  EXPECT_NE(std::find(names.begin(), names.end(), "x..y.tts"), names.end());
  for (int i = 0; i < rows->topLevelItemCount(); ++i) {
    if (rows->topLevelItem(i)->text(0) == "x.tts") {
      EXPECT_EQ(rows->topLevelItem(i)->text(1), "0KB");
    }
  }

  EXPECT_EQ(Names(window.LocalList()), std::vector<std::string>{"Show.TTS"});
  EXPECT_GT(window.ReceiverStrip()->Total(), 0);
  EXPECT_GE(window.ReceiverStrip()->Used(), 0);
  EXPECT_LE(window.ReceiverStrip()->Used(), window.ReceiverStrip()->Total());
  EXPECT_GT(window.LocalStrip()->Total(), 0);
  EXPECT_TRUE(s.prompt.Records().empty());
  Screenshot(window, "recordings-tv.png");

  window.OnToggleMode();
  EXPECT_TRUE(window.IsRadioMode());
  auto radio = Names(window.ReceiverList());
  std::sort(radio.begin(), radio.end());
  EXPECT_EQ(radio, (std::vector<std::string>{"Jazz am Abend.rts", "Nachrichten am Morgen.rts"}));
  EXPECT_EQ(Names(window.LocalList()), std::vector<std::string>{"old.rts"});
  Screenshot(window, "recordings-radio.png");

  // Sorting the size column of the receiver list ascending, then descending.
  window.OnToggleMode();
  window.SortList(CDlgRecordMgr::IDC_RECEIVER_LIST, 1);
  const QTreeWidget* sorted = window.ReceiverList();
  EXPECT_EQ(sorted->topLevelItem(0)->text(1), "0KB");
  EXPECT_EQ(sorted->topLevelItem(sorted->topLevelItemCount() - 1)->text(1), "1,025KB");
  window.SortList(CDlgRecordMgr::IDC_RECEIVER_LIST, 1);
  EXPECT_EQ(sorted->topLevelItem(0)->text(1), "1,025KB");
}

TEST(RecordMgr, DroppedRowsAreDownloadedUnderTheirOwnStem) {
  SimSetup s("127.0.0.82");
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  CDlgRecordMgr window;
  window.show();  // drops reach visible lists only
  SelectEntries(window, {"/Tagesschau.tts", "/Länderspiel.tts"});
  ASSERT_EQ(window.ReceiverList()->SelectedRows().size(), 2u);
  QSignalSpy finished(&window, &CDlgRecordMgr::downloadFinished);
  // Dropped back onto the receiver list: nothing happens.
  DropOn(window.ReceiverList(), QByteArray::number(CDlgRecordMgr::IDC_RECEIVER_LIST));
  EXPECT_FALSE(window.IsDownloadBusy());
  DropOn(window.LocalList(), QByteArray::number(CDlgRecordMgr::IDC_RECEIVER_LIST));
  EXPECT_TRUE(window.IsDownloadBusy());
  EXPECT_TRUE(window.Progress()->isVisible());
  ASSERT_TRUE(finished.wait(kBoundMs));
  EXPECT_TRUE(finished.at(0).at(0).toBool());
  EXPECT_FALSE(window.Progress()->isVisible());
  EXPECT_TRUE(AllCommandsEnabled(window, true));
  // The compact progress window counted both files and all their bytes.
  EXPECT_LT(window.Progress()->width(), window.width());
  window.Progress()->ApplyPending();
  const vantrel::TransferProgress figures = window.Progress()->State().Snapshot();
  EXPECT_EQ(figures.fileIndex, 2);
  EXPECT_EQ(figures.fileCount, 2);
  EXPECT_EQ(figures.jobDone, figures.jobTotal);
  EXPECT_EQ(vantrel::ProgressPermille(figures), 1000);

  for (const char* folder :
       {"Tagesschau_20261201_2000_1001_/Tagesschau.tts", "Länderspiel_20250614_1800_1003_/Länderspiel.tts"}) {
    const std::string remote = vantrel::test::ReadFile(s.Tv(folder));
    const std::string local = vantrel::test::ReadFile(s.pc.File(fs::path(folder).filename().string()));
    ASSERT_FALSE(remote.empty());
    EXPECT_EQ(local, remote) << folder;
  }
  auto names = Names(window.LocalList());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Länderspiel.tts", "Tagesschau.tts"}));
  EXPECT_TRUE(s.prompt.Records().empty());
}

TEST(RecordMgr, CancelDuringAFileStopsTheJobAndEverythingWaitsForIt) {
  SimSetup s("127.0.0.83", 256 * 1024);
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  WriteBytes(s.Tv("Gross_20261207_2000_1600_/gross.ts"), 8 * 1024 * 1024);
  CDlgRecordMgr window;
  SelectEntries(window, {"/gross.ts", "/Tagesschau.tts", "/Länderspiel.tts"});
  const std::vector<int> selected = window.ReceiverList()->SelectedRows();
  ASSERT_EQ(selected.size(), 3u);
  QSignalSpy finished(&window, &CDlgRecordMgr::downloadFinished);
  ASSERT_TRUE(window.StartDownload());
  QTRY_VERIFY_WITH_TIMEOUT(window.Ftp().IsTransferring(), kBoundMs);

  // While it runs nothing else reaches the FTP client.
  EXPECT_TRUE(AllCommandsEnabled(window, false));
  EXPECT_FALSE(window.StartDownload());
  window.OnToggleMode();
  EXPECT_FALSE(window.IsRadioMode());
  window.SetFocusedList(CDlgRecordMgr::IDC_RECEIVER_LIST);
  window.OnDelete();  // would ask, and the prompt has no answer queued
  window.DeleteReceiverSelection();
  s.dialogs.QueueFolder(s.pc.Path());
  window.OnChangeDirectory();
  EXPECT_EQ(s.prompt.Records().size(), 0u);

  window.Progress()->CancelButton()->click();
  ASSERT_TRUE(finished.wait(kBoundMs));
  EXPECT_FALSE(finished.at(0).at(0).toBool());
  ASSERT_EQ(s.prompt.Records().size(), 1u);
  EXPECT_EQ(s.prompt.Records()[0].text, "Download fail");
  EXPECT_EQ(s.prompt.Records()[0].caption, "ERROR");
  EXPECT_FALSE(window.IsDownloadBusy());
  EXPECT_TRUE(AllCommandsEnabled(window, true));
  EXPECT_FALSE(fs::exists(s.pc.File("gross.tts"))) << "a cancelled recording leaves no cut-off copy";
  // The rows after the cancelled one in row order were never started.
  bool afterGross = false;
  for (int row : selected) {
    const QString name = window.ReceiverList()->topLevelItem(row)->text(0);
    if (name == "gross.tts") {
      afterGross = true;
    } else if (afterGross) {
      EXPECT_FALSE(fs::exists(s.pc.File(name.toStdString()))) << name.toStdString();
    }
  }
}

TEST(RecordMgr, QuittingDuringADownloadAsksAndLeavesNoCutOffRecording) {
  SimSetup s("127.0.0.88", 256 * 1024);
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  WriteBytes(s.Tv("Gross_20261207_2000_1600_/gross.ts"), 8 * 1024 * 1024);
  CDlgRecordMgr window;
  EXPECT_TRUE(window.MayQuit()) << "nothing runs: nothing to ask";
  SelectEntries(window, {"/gross.ts"});
  ASSERT_TRUE(window.StartDownload());
  QTRY_VERIFY_WITH_TIMEOUT(window.Ftp().IsTransferring(), kBoundMs);

  s.prompt.SetNextAnswer(false);
  EXPECT_FALSE(window.MayQuit());
  EXPECT_TRUE(window.IsDownloadBusy());
  s.prompt.SetNextAnswer(true);
  EXPECT_TRUE(window.MayQuit());
  EXPECT_FALSE(window.IsDownloadBusy());
  EXPECT_TRUE(fs::is_empty(s.pc.Path())) << "neither the recording's name nor a temporary is left";
  QCoreApplication::processEvents();  // the job's own end, queued before it was joined
  ASSERT_EQ(s.prompt.Records().size(), 2u) << "no download failure is reported on the way out";
  EXPECT_EQ(s.prompt.Records()[1].text, vantrel::GetText(346));
}

// Presses Cancel on the user-interface thread the moment the first file has ended.
class CancelAfterFirstFile : public nsFTP::CFTPClient::CNotification {
 public:
  explicit CancelAfterFirstFile(vantrel::ui::CDlgTransferProgress* progress) : m_progress(progress) {}
  void NotifyDownloadEnd(const std::string&, const std::string&, std::int64_t) override {
    if (m_done++ == 0)
      QMetaObject::invokeMethod(
          m_progress, [this] { m_progress->CancelButton()->click(); }, Qt::BlockingQueuedConnection);
  }

 private:
  vantrel::ui::CDlgTransferProgress* m_progress;
  int m_done = 0;
};

TEST(RecordMgr, CancelBetweenTwoFilesEndsTheJobAfterTheCurrentOne) {
  SimSetup s("127.0.0.87");
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  CDlgRecordMgr window;
  SelectEntries(window, {"/Tagesschau.tts", "/Länderspiel.tts"});
  const std::vector<int> selected = window.ReceiverList()->SelectedRows();
  ASSERT_EQ(selected.size(), 2u);
  const std::string first = window.ReceiverList()->topLevelItem(selected[0])->text(0).toStdString();
  const std::string second = window.ReceiverList()->topLevelItem(selected[1])->text(0).toStdString();
  CancelAfterFirstFile canceller(window.Progress());
  window.Ftp().AddObserver(&canceller);
  QSignalSpy finished(&window, &CDlgRecordMgr::downloadFinished);
  ASSERT_TRUE(window.StartDownload());
  ASSERT_TRUE(finished.wait(kBoundMs));
  window.Ftp().RemoveObserver(&canceller);
  EXPECT_FALSE(finished.at(0).at(0).toBool());
  EXPECT_TRUE(fs::exists(s.pc.File(first)));
  EXPECT_FALSE(fs::exists(s.pc.File(second)));
  ASSERT_EQ(s.prompt.Records().size(), 1u);
  EXPECT_EQ(s.prompt.Records()[0].text, "Download fail");
}

TEST(RecordMgr, DownloadAsksBeforeReplacingAndNamesAFolderItCannotEnter) {
  SimSetup s("127.0.0.89");
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  WriteBytes(s.pc.File("Tagesschau.tts"), 3, 'o');
  CDlgRecordMgr window;
  SelectEntries(window, {"/Tagesschau.tts", "/Länderspiel.tts"});
  ASSERT_EQ(window.ReceiverList()->SelectedRows().size(), 2u);
  fs::remove_all(s.Tv("Länderspiel_20250614_1800_1003_"));  // gone since the scan

  // Cancel at the question: nothing starts.
  s.prompt.SetNextReplaceAnswer(vantrel::ReplaceAnswer::Cancel);
  EXPECT_FALSE(window.StartDownload());
  EXPECT_FALSE(window.IsDownloadBusy());
  QSignalSpy finished(&window, &CDlgRecordMgr::downloadFinished);
  s.prompt.SetNextReplaceAnswer(vantrel::ReplaceAnswer::Skip);
  ASSERT_TRUE(window.StartDownload());
  ASSERT_TRUE(finished.wait(kBoundMs));
  EXPECT_FALSE(finished.at(0).at(0).toBool());
  EXPECT_EQ(vantrel::test::ReadFile(s.pc.File("Tagesschau.tts")), "ooo") << "skipped: the PC recording stays";
  ASSERT_EQ(s.prompt.Records().size(), 3u);
  EXPECT_EQ(s.prompt.Records()[0].text, "Tagesschau.tts already exists. Do you want to replace it?");
  EXPECT_NE(s.prompt.Records()[2].text.find("Länderspiel.tts"), std::string::npos) << s.prompt.Records()[2].text;
  EXPECT_EQ(s.prompt.Records()[2].caption, "ERROR");
}

TEST(RecordMgr, DeletesOnTheReceiverByKey) {
  SimSetup s("127.0.0.84");
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  CDlgRecordMgr window;
  const std::string tatort = s.Tv("Tatort - Schattenlinie_20261129_2015_1002_");
  SelectNames(window.ReceiverList(), {"Tatort - Schattenlinie.tts"});
  window.SetFocusedList(CDlgRecordMgr::IDC_RECEIVER_LIST);
  s.prompt.SetNextAnswer(false);
  window.OnDelete();
  ASSERT_EQ(s.prompt.Records().size(), 1u);
  EXPECT_EQ(s.prompt.Records()[0].text, "Are you sure you want to delete 'Tatort - Schattenlinie.tts' item ?");
  EXPECT_TRUE(fs::is_directory(tatort));

  s.prompt.SetNextAnswer(true);
  window.OnDelete();
  EXPECT_FALSE(fs::exists(tatort));
  const auto names = Names(window.ReceiverList());
  EXPECT_EQ(std::find(names.begin(), names.end(), "Tatort - Schattenlinie.tts"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "Tagesschau.tts"), names.end());
  EXPECT_EQ(s.prompt.Records().size(), 2u);
}

TEST(RecordMgr, DeletesAndRenamesOnThePc) {
  SimSetup s("127.0.0.85");
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  for (const char* name : {"a.tts", "b.tts", "c.tts", "d.rts"}) WriteBytes(s.pc.File(name), 100);
  CDlgRecordMgr window;
  QTreeWidget* list = window.LocalList();
  SelectNames(list, {"a.tts", "b.tts"});
  window.SetFocusedList(CDlgRecordMgr::IDC_LOCAL_LIST);
  s.prompt.SetNextAnswer(false);
  window.OnDelete();
  EXPECT_TRUE(fs::exists(s.pc.File("a.tts")));
  s.prompt.SetNextAnswer(true);
  window.OnDelete();
  ASSERT_EQ(s.prompt.Records().size(), 2u);
  EXPECT_EQ(s.prompt.Records()[1].text, "Are you sure you want to delete 2 items ?");
  EXPECT_FALSE(fs::exists(s.pc.File("a.tts")));
  EXPECT_FALSE(fs::exists(s.pc.File("b.tts")));
  EXPECT_EQ(Names(list), std::vector<std::string>{"c.tts"});
  s.prompt.Clear();

  // A name without extension gets the mode's.
  EXPECT_TRUE(window.RenameLocalRecording(0, "Neu"));
  EXPECT_TRUE(fs::exists(s.pc.File("Neu.tts")));
  EXPECT_FALSE(fs::exists(s.pc.File("c.tts")));
  EXPECT_EQ(list->topLevelItem(0)->text(0), "Neu.tts");
  // Refusals keep the name and the file.
  EXPECT_FALSE(window.RenameLocalRecording(0, "NEU.tts"));
  EXPECT_FALSE(window.RenameLocalRecording(0, ""));
  EXPECT_FALSE(window.RenameLocalRecording(0, "x:y"));
  WriteBytes(s.pc.File("e.tts"), 7, 'e');  // made after the list was filled
  EXPECT_FALSE(window.RenameLocalRecording(0, "e"));
  EXPECT_EQ(vantrel::test::ReadFile(s.pc.File("e.tts")), "eeeeeee");
  EXPECT_TRUE(fs::exists(s.pc.File("Neu.tts")));
  EXPECT_EQ(list->topLevelItem(0)->text(0), "Neu.tts");
  ASSERT_EQ(s.prompt.Records().size(), 4u);
  EXPECT_EQ(s.prompt.Records()[0].text,
            "A file with the name you specified already exists. Specify a different filename");
  EXPECT_EQ(s.prompt.Records()[1].text, "You must type a filename");
  EXPECT_EQ(s.prompt.Records()[2].text.rfind("A filename can not contain", 0), 0u);
  EXPECT_EQ(s.prompt.Records()[3].caption, "ERROR");
  // The same name again is accepted without touching the file.
  EXPECT_TRUE(window.RenameLocalRecording(0, "Neu.tts"));

  // In place: Escape cancels a typed name, Enter applies it.
  window.show();
  list->editItem(list->topLevelItem(0), 0);
  QLineEdit* editor = list->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("Escaped");
  QTest::keyClick(editor, Qt::Key_Escape);
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the closed editor goes
  EXPECT_FALSE(fs::exists(s.pc.File("Escaped.tts")));
  EXPECT_TRUE(fs::exists(s.pc.File("Neu.tts")));
  EXPECT_EQ(list->topLevelItem(0)->text(0), "Neu.tts");
  list->editItem(list->topLevelItem(0), 0);
  editor = list->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(editor->isVisible());
  editor->setText("Entered");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // Enter ends the edit through a queued call
  EXPECT_TRUE(fs::exists(s.pc.File("Entered.tts")));
  EXPECT_EQ(list->topLevelItem(0)->text(0), "Entered.tts");

  // Change Directory: a folder that is not there changes nothing; another one is shown and stored.
  s.prompt.Clear();
  s.dialogs.QueueFolder(s.pc.File("missing"));
  window.OnChangeDirectory();
  ASSERT_EQ(s.prompt.Records().size(), 1u);
  EXPECT_EQ(s.prompt.Records()[0].text, s.pc.File("missing") + " is not valid folder");
  EXPECT_EQ(window.RecordPath(), s.pc.Path());
  vantrel::test::TempDir other;
  WriteBytes(other.File("other.tts"), 1);
  s.dialogs.QueueFolder(other.Path());
  window.OnChangeDirectory();
  EXPECT_EQ(window.RecordPath(), other.Path());
  EXPECT_EQ(vantrel::GetSettings().GetRecordPath(), other.Path());
  EXPECT_EQ(Names(list), std::vector<std::string>{"other.tts"});
  EXPECT_EQ(window.LocalStrip()->PathLabel()->GetSegment(0).text.toStdString(), other.Path());
}

// A receiver whose FTP port takes connections and never says a word.
class SilentReceiver {
 public:
  SilentReceiver(const char* address, std::uint16_t port) : m_fd(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &at.sin_addr);
    const int on = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    m_listening = ::bind(m_fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 && ::listen(m_fd, 4) == 0;
  }
  ~SilentReceiver() { ::close(m_fd); }
  bool Listening() const { return m_listening; }

 private:
  int m_fd;
  bool m_listening = false;
};

TEST(RecordMgr, ARefreshTheReceiverNeverAnswersLeavesTheWindowFreeAndClosingEndsIt) {
  SimSetup s("127.0.0.185");
  ASSERT_TRUE(s.sim->Start()) << s.sim->Output();
  CDlgRecordMgr window;
  window.show();
  // The receiver's FTP port goes silent; the command channel stays with the simulator.
  SilentReceiver silent("127.0.0.186", CDlgRecordMgr::FTP_PORT);
  ASSERT_TRUE(silent.Listening());
  vantrel::GetSettings().SetLastIP("127.0.0.186");
  bool firedWhileWaiting = false;
  QTimer::singleShot(0, &window, [&] {
    firedWhileWaiting = window.IsBusy();
    window.close();
  });
  QElapsedTimer clock;
  clock.start();
  window.OnRefresh();
  EXPECT_TRUE(firedWhileWaiting) << "the window thread was held by the scan";
  EXPECT_LT(clock.elapsed(), 5000) << "closing waited for the receiver's time-out";
  QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
  EXPECT_EQ(s.prompt.Records().size(), 0u);
  EXPECT_FALSE(window.IsBusy());
}

}  // namespace
