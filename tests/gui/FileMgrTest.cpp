// The file manager window against the receiver simulator on loopback (one
// simulator per test, 127.0.0.120 to 127.0.0.128 and 127.0.0.146 to
// 127.0.0.148 and 127.0.0.192; 127.0.0.129 has none).
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest/QTest>
#include <filesystem>
#include <fstream>
#include <map>

#include "core/AppSettings.h"
#include "core/Format.h"
#include "core/TextTable.h"
#include "support/FtpRecorder.h"
#include "support/ReceiverSim.h"
#include "support/ScriptedFtpServer.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/channel/DlgProgress.h"
#include "ui/controls/ButtonST.h"
#include "ui/controls/GradientProgress.h"
#include "ui/controls/MultiColorStatic.h"
#include "ui/controls/Resources.h"
#include "ui/controls/SimpleProgress.h"
#include "ui/controls/TransferProgressDlg.h"
#include "ui/filemgr/DlgFileMgr.h"

using namespace vantrel;
using namespace vantrel::ui;
using namespace vantrel::test;
namespace fs = std::filesystem;

static vantrel::test::IsolatedSettings g_isolated;

namespace {

ReceiverSim::Options SimOptions(const std::string& address, std::int64_t throttle = 0) {
  ReceiverSim::Options o;
  o.simulator = VANTREL_RECEIVER_SIM;
  o.address = address;
  o.throttle = throttle;
  return o;
}

// A window on a simulator, with the PC side's desktop in a temporary folder.
struct Fixture {
  explicit Fixture(ReceiverSim::Options options) : sim(std::move(options)) {
    InitResources();
    GetSettings().SetLastIP(sim.Address());
    GetSettings().SetPINCODE(sim.Pin());
    GetConnectionState().m_ftpLoggedIn = false;
  }
  ::testing::AssertionResult Open() {
    if (!sim.Start()) return ::testing::AssertionFailure() << sim.Output();
    window = std::make_unique<CDlgFileMgr>(nullptr, sim.FtpPort());
    window->TreeLocal()->m_desktopPath = pc.Path();
    window->TreeLocal()->m_documentsPath.clear();
    window->show();
    return ::testing::AssertionSuccess();
  }
  // Selects the receiver folder, one level after the other, as a user would.
  bool GoRemote(const std::vector<std::string>& names) {
    CTreeRemote* tree = window->TreeRemote();
    tree->setCurrentItem(tree->Root());
    for (const std::string& name : names) {
      window->FillRemoteTree(tree->currentItem(), true);
      if (!tree->SelectChildByName(tree->currentItem(), name)) return false;
    }
    return true;
  }
  void ShowPcDesktop() { window->TreeLocal()->setCurrentItem(window->TreeLocal()->Top()); }
  static void Select(CFileList* list, const std::vector<std::string>& names) {
    list->clearSelection();
    for (const std::string& name : names) {
      const int row = list->Model().Find(name);
      if (row >= 0) list->topLevelItem(row)->setSelected(true);
    }
  }
  bool Transfer(int button) {
    window->OnCommand(button);
    return window->WaitForTransfer(60000);
  }

  ReceiverSim sim;
  TempDir pc;
  ScriptedPrompt prompt;
  std::unique_ptr<CDlgFileMgr> window;
};

void MakeTree(const std::string& root) {
  WriteAt(root + "/a.txt", "alpha");
  WriteAt(root + "/sub/b.bin", std::string(7000, 'b'));
  WriteAt(root + "/sub/deeper/c.txt", "c");
  fs::create_directories(root + "/empty");
}

// Rows of the list `sourceId` dropped onto `target`, as the mouse does it.
void Drop(QTreeWidget* target, int sourceId) {
  QMimeData mime;
  mime.setData("application/x-vantrel-filemgr-rows", QByteArray::number(sourceId));
  const QPointF at(20, 20);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target->viewport(), &enter);
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target->viewport(), &drop);
}

// The path a pane strip shows.
std::string StripPath(const CSimpleProgress* strip) {
  return strip->PathLabel()->SegmentCount() == 0 ? std::string() : strip->PathLabel()->GetSegment(0).text.toStdString();
}

// The open name editor of a list row, if any.
QLineEdit* EditorOf(QTreeWidget* list, QTreeWidgetItem* item) {
  return qobject_cast<QLineEdit*>(list->indexWidget(list->model()->index(list->indexOfTopLevelItem(item), 0)));
}

// A double click as the mouse makes it: press, release, a second press that
// is the double click, release.
void DoubleClick(QWidget* viewport, const QPoint& at) {
  QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

// Ends an in-place edit of a list row with the text, as the user's Enter does.
void TypeAndCommit(QTreeWidget* pane, QTreeWidgetItem* item, const QString& text) {
  pane->editItem(item, 0);
  QLineEdit* editor = EditorOf(pane, item);
  ASSERT_NE(editor, nullptr);
  editor->setText(text);
  emit pane->itemDelegate()->commitData(editor);
  emit pane->itemDelegate()->closeEditor(editor);
  QCoreApplication::processEvents();
}

}  // namespace

TEST(FileMgr, OpensOnTheReceiverRootAndDownloadsAFileAndAFolderTree) {
  Fixture f(SimOptions("127.0.0.120"));
  MakeTree(f.sim.DiskPath("/ftproot/Media/tree"));
  WriteAt(f.sim.DiskPath("/ftproot/Media/single.txt"), "one file");
  ASSERT_TRUE(f.Open());
  CTreeRemote* tree = f.window->TreeRemote();
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  EXPECT_EQ(CTreePane::Text(tree->Root()), "/");
  ASSERT_GE(tree->Root()->childCount(), 1);
  EXPECT_EQ(CTreePane::Text(tree->Root()->child(0)), "ftproot");
  EXPECT_EQ(f.window->ListRemote()->Model().Find("ftproot"), 0);
  EXPECT_EQ(f.window->TreeLocal()->currentItem(), f.window->TreeLocal()->MyComputer());
  EXPECT_EQ(f.window->LocalStrip()->Unit(), CSimpleProgress::kGigabytes);
  EXPECT_EQ(f.window->Button(CDlgFileMgr::IDC_DOWNLOAD)->text().toStdString(), std::string(GetText(53)) + "(STB->PC)");

  ASSERT_TRUE(f.GoRemote({"ftproot", "Media"}));
  Fixture::Select(f.window->ListRemote(), {"tree", "single.txt"});
  // "My Computer" is no folder to download into.
  f.window->OnCommand(CDlgFileMgr::IDC_DOWNLOAD);
  EXPECT_FALSE(f.window->IsTransferring());
  EXPECT_TRUE(Snapshot(f.pc.Path()).empty());

  f.ShowPcDesktop();
  ASSERT_TRUE(f.Transfer(CDlgFileMgr::IDC_DOWNLOAD));
  EXPECT_EQ(ReadFile(f.pc.File("single.txt")), "one file");
  EXPECT_EQ(Snapshot(f.pc.File("tree")), Snapshot(f.sim.DiskPath("/ftproot/Media/tree")));
  EXPECT_EQ(Snapshot(f.pc.File("tree")).count("empty"), 1u);
  // The PC side shows what arrived, and the buttons are back.
  EXPECT_GE(f.window->ListLocal()->Model().Find("single.txt"), 0);
  EXPECT_TRUE(f.window->Button(CDlgFileMgr::IDC_DOWNLOAD)->isEnabled());
  EXPECT_FALSE(f.window->Progress()->isVisible());
  EXPECT_TRUE(f.prompt.Records().empty());
}

TEST(FileMgr, UploadsATreeAndAnExistingFolderIsAskedAbout) {
  Fixture f(SimOptions("127.0.0.121"));
  ASSERT_TRUE(f.Open());
  MakeTree(f.pc.File("up"));
  f.pc.Write("z-later.txt", "later");
  f.ShowPcDesktop();
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media"}));
  Fixture::Select(f.window->ListLocal(), {"up"});
  // PC rows dropped onto the PC list start nothing; onto the receiver list, the upload.
  Drop(f.window->ListLocal(), CListLocal::IDC);
  EXPECT_FALSE(f.window->IsTransferring());
  EXPECT_FALSE(fs::exists(f.sim.DiskPath("/ftproot/Media/up")));
  Drop(f.window->ListRemote(), CListLocal::IDC);
  EXPECT_TRUE(f.window->IsTransferring());
  ASSERT_TRUE(f.window->WaitForTransfer(60000));
  EXPECT_EQ(Snapshot(f.sim.DiskPath("/ftproot/Media/up")), Snapshot(f.pc.File("up")));
  EXPECT_GE(f.window->ListRemote()->Model().Find("up"), 0);

  // Again: "up" exists on the receiver now. Cancel copies nothing.
  f.pc.Write("up/a.txt", "changed");
  Fixture::Select(f.window->ListLocal(), {"up", "z-later.txt"});
  f.prompt.SetNextReplaceAnswer(ReplaceAnswer::Cancel);
  f.window->OnCommand(CDlgFileMgr::IDC_UPLOAD);
  EXPECT_FALSE(f.window->IsTransferring());
  ASSERT_EQ(f.prompt.Records().size(), 1u);
  EXPECT_EQ(f.prompt.Records()[0].text, Format(GetText(371), "up"));
  EXPECT_FALSE(fs::exists(f.sim.DiskPath("/ftproot/Media/z-later.txt")));
  // Yes copies into the existing folder and the rest follows.
  f.prompt.SetNextReplaceAnswer(ReplaceAnswer::Yes);
  ASSERT_TRUE(f.Transfer(CDlgFileMgr::IDC_UPLOAD));
  EXPECT_EQ(ReadFile(f.sim.DiskPath("/ftproot/Media/up/a.txt")), "changed");
  EXPECT_EQ(ReadFile(f.sim.DiskPath("/ftproot/Media/z-later.txt")), "later");
  EXPECT_EQ(f.prompt.Records().size(), 2u) << "no failure message";
}

TEST(FileMgr, DownloadAsksBeforeReplacingAFileOrCopyingIntoAFolder) {
  Fixture f(SimOptions("127.0.0.146"));
  MakeTree(f.sim.DiskPath("/ftproot/Media/tree"));
  WriteAt(f.sim.DiskPath("/ftproot/Media/song.txt"), "receiver");
  WriteAt(f.sim.DiskPath("/ftproot/Media/new.txt"), "new");
  ASSERT_TRUE(f.Open());
  f.pc.Write("song.txt", "mine");
  WriteAt(f.pc.File("tree/a.txt"), "mine");
  f.ShowPcDesktop();
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media"}));
  Fixture::Select(f.window->ListRemote(), {"song.txt", "tree", "new.txt"});
  const int songRow = f.window->ListRemote()->Model().Find("song.txt");
  const int treeRow = f.window->ListRemote()->Model().Find("tree");
  f.prompt.SetNextReplaceAnswer(songRow < treeRow ? ReplaceAnswer::Skip : ReplaceAnswer::Yes);
  f.prompt.SetNextReplaceAnswer(songRow < treeRow ? ReplaceAnswer::Yes : ReplaceAnswer::Skip);
  ASSERT_TRUE(f.Transfer(CDlgFileMgr::IDC_DOWNLOAD));
  ASSERT_EQ(f.prompt.Records().size(), 2u);
  EXPECT_EQ(ReadFile(f.pc.File("song.txt")), "mine") << "skipped";
  EXPECT_EQ(ReadFile(f.pc.File("tree/a.txt")), "alpha");
  EXPECT_EQ(ReadFile(f.pc.File("tree/sub/deeper/c.txt")), "c");
  EXPECT_EQ(ReadFile(f.pc.File("new.txt")), "new") << "nothing to ask about";
}

TEST(FileMgr, QuittingDuringADownloadAsksAndLeavesTheEarlierCopy) {
  Fixture f(SimOptions("127.0.0.148", 128 * 1024));
  WriteAt(f.sim.DiskPath("/ftproot/Media/big.bin"), std::string(4 * 1024 * 1024, 'n'));
  ASSERT_TRUE(f.Open());
  f.pc.Write("big.bin", "the earlier copy");
  f.ShowPcDesktop();
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media"}));
  Fixture::Select(f.window->ListRemote(), {"big.bin"});
  f.prompt.SetNextReplaceAnswer(ReplaceAnswer::Yes);
  f.window->OnCommand(CDlgFileMgr::IDC_DOWNLOAD);
  ASSERT_TRUE(f.window->IsTransferring());
  f.prompt.SetNextAnswer(false);
  EXPECT_FALSE(f.window->MayQuit()) << "No keeps the transfer";
  EXPECT_TRUE(f.window->IsTransferring());
  f.prompt.SetNextAnswer(true);
  EXPECT_TRUE(f.window->MayQuit());
  EXPECT_FALSE(f.window->IsTransferring());
  QCoreApplication::processEvents();  // the job's own end, queued before it was joined
  EXPECT_EQ(ReadFile(f.pc.File("big.bin")), "the earlier copy");
  ASSERT_EQ(f.prompt.Records().size(), 3u) << "replace, quit, quit; nothing more on the way out";
  EXPECT_EQ(f.prompt.Records()[2].text, GetText(378));
}

TEST(FileMgr, TransfersSelectedRowsInRowOrder) {
  Fixture f(SimOptions("127.0.0.122"));
  for (int i = 0; i < 10; ++i) WriteAt(f.sim.DiskPath("/ftproot/Media/f" + std::to_string(i) + ".txt"), "x");
  ASSERT_TRUE(f.Open());
  f.ShowPcDesktop();
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media"}));
  CListRemote* list = f.window->ListRemote();
  ASSERT_EQ(list->topLevelItemCount(), 10);
  list->clearSelection();
  for (int row : {9, 2, 5}) list->topLevelItem(row)->setSelected(true);
  std::vector<std::string> expected;
  for (int row : {2, 5, 9}) expected.push_back(list->RowAt(row)->name);
  FtpRecorder recorder;
  f.window->FtpClient().AddObserver(&recorder);
  ASSERT_TRUE(f.Transfer(CDlgFileMgr::IDC_DOWNLOAD));
  f.window->FtpClient().RemoveObserver(&recorder);
  std::vector<std::string> order;
  for (const std::string& e : recorder.Matching("DownloadBegin ")) {
    order.push_back(fs::path(e.substr(14, e.find(' ', 14) - 14)).filename().string());
  }
  EXPECT_EQ(order, expected);
  // The progress window is a compact one that counted the three files and their bytes.
  EXPECT_LT(f.window->Progress()->width(), f.window->width() / 2);
  const TransferProgress figures = f.window->Progress()->State().Snapshot();
  EXPECT_EQ(figures.fileIndex, 3);
  EXPECT_EQ(figures.fileCount, 3);
  EXPECT_EQ(figures.jobTotal, 3);
  EXPECT_EQ(figures.jobDone, 3);
}

TEST(FileMgr, CancelDuringTheSecondOfThreeFilesAndEveryEntryPointIsBlockedMeanwhile) {
  Fixture f(SimOptions("127.0.0.123", 256 * 1024));
  for (const char* name : {"1.bin", "2.bin", "3.bin"}) {
    WriteAt(f.sim.DiskPath(std::string("/ftproot/Media/") + name), std::string(1024 * 1024, 'q'));
  }
  ASSERT_TRUE(f.Open());
  f.ShowPcDesktop();
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media"}));
  Fixture::Select(f.window->ListRemote(), {"1.bin", "2.bin", "3.bin"});
  FtpRecorder recorder;
  std::atomic<bool> asked{false};
  CDlgFileMgr* window = f.window.get();
  recorder.onChunk = [&](std::int64_t) {
    // The user presses Cancel while the second file moves.
    if (!asked && recorder.Matching("DownloadBegin").size() == 2) {
      asked = true;
      QMetaObject::invokeMethod(window->Progress()->CancelButton(), "click", Qt::QueuedConnection);
    }
  };
  f.window->FtpClient().AddObserver(&recorder);
  f.window->OnCommand(CDlgFileMgr::IDC_DOWNLOAD);
  ASSERT_TRUE(f.window->IsTransferring());
  EXPECT_TRUE(f.window->Progress()->isVisible());
  // Nothing the user can reach may use the client now.
  for (int id : {CDlgFileMgr::IDC_DOWNLOAD, CDlgFileMgr::IDC_REFRESH, CDlgFileMgr::IDC_DELETE}) {
    EXPECT_FALSE(f.window->Button(id)->isEnabled());
  }
  EXPECT_FALSE(f.window->TreeRemote()->isEnabled());
  EXPECT_FALSE(f.window->ListLocal()->isEnabled());
  const int rowsBefore = f.window->ListRemote()->topLevelItemCount();
  f.window->OnCommand(CDlgFileMgr::IDC_REFRESH);
  f.window->FillRemoteList(f.window->TreeRemote()->currentItem());
  EXPECT_EQ(f.window->ListRemote()->topLevelItemCount(), rowsBefore);

  ASSERT_TRUE(f.window->WaitForTransfer(60000));
  f.window->FtpClient().RemoveObserver(&recorder);
  EXPECT_TRUE(asked);
  EXPECT_EQ(fs::file_size(f.pc.File("1.bin")), 1024u * 1024);
  EXPECT_FALSE(fs::exists(f.pc.File("2.bin"))) << "a cancelled file leaves nothing under its name";
  for (const auto& entry : fs::directory_iterator(f.pc.Path()))
    EXPECT_NE(entry.path().filename().string().front(), '.') << "temporary left: " << entry.path();
  EXPECT_FALSE(fs::exists(f.pc.File("3.bin")));
  EXPECT_TRUE(f.window->TreeRemote()->isEnabled());
  // The user is told where it stopped and what was kept.
  ASSERT_EQ(f.prompt.Records().size(), 1u);
  EXPECT_EQ(f.prompt.Records()[0].text, Format(GetText(373), "2.bin", 1));
  EXPECT_EQ(f.prompt.Records()[0].icon, PromptIcon::Error);
}

TEST(FileMgr, NewFolderNamesRenameRefusalsAndLocalRename) {
  Fixture f(SimOptions("127.0.0.124"));
  ASSERT_TRUE(f.Open());
  fs::create_directories(f.pc.File("New Folder"));
  fs::create_directories(f.pc.File("new folder(2)"));
  f.pc.Write("other.txt", "o");
  f.pc.Write("mine.txt", "m");
  f.ShowPcDesktop();
  f.window->SetLastFocusedPane(CListLocal::IDC);
  f.window->OnCommand(CDlgFileMgr::IDC_NEWFOLDER);
  EXPECT_TRUE(fs::is_directory(f.pc.File("new folder(3)")));
  EXPECT_GE(f.window->ListLocal()->Model().Find("new folder(3)"), 0);

  CListLocal* list = f.window->ListLocal();
  auto item = [&](const std::string& name) { return list->topLevelItem(list->Model().Find(name)); };
  struct Case {
    QString text;
    int message;
  };
  for (const Case& c : {Case{"a:b", 165}, Case{"", 166}, Case{"OTHER.txt", 168}, Case{"MINE.TXT", 168}}) {
    f.prompt.Clear();
    TypeAndCommit(list, item("mine.txt"), c.text);
    ASSERT_EQ(f.prompt.Records().size(), 1u) << c.text.toStdString();
    EXPECT_EQ(f.prompt.Records()[0].text.rfind(GetText(c.message), 0), 0u);
    EXPECT_EQ(f.prompt.Records()[0].caption, GetText(287));
    EXPECT_TRUE(f.window->IsEditingLabel());  // editing starts again on the same row
    QLineEdit* again = EditorOf(list, item("mine.txt"));
    ASSERT_NE(again, nullptr);
    emit list->itemDelegate()->closeEditor(again);
    EXPECT_TRUE(fs::exists(f.pc.File("mine.txt")));
  }
  EXPECT_EQ(BadCharacterMessage(), std::string(GetText(165)) + "\n\t\\ / : * ? \" < > |");

  f.prompt.Clear();
  TypeAndCommit(list, item("mine.txt"), "renamed...");
  EXPECT_TRUE(f.prompt.Records().empty());
  EXPECT_FALSE(f.window->IsEditingLabel());
  EXPECT_EQ(ReadFile(f.pc.File("renamed")), "m");
  EXPECT_FALSE(fs::exists(f.pc.File("mine.txt")));
}

TEST(FileMgr, DeletesReceiverRowsAndFoldersAndCreatesReceiverFolders) {
  Fixture f(SimOptions("127.0.0.125"));
  MakeTree(f.sim.DiskPath("/ftproot/Media/gone"));
  WriteAt(f.sim.DiskPath("/ftproot/Media/keep.txt"), "k");
  WriteAt(f.sim.DiskPath("/ftproot/Media/bye.txt"), "b");
  ASSERT_TRUE(f.Open());
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media"}));
  CListRemote* list = f.window->ListRemote();
  Fixture::Select(list, {"gone", "bye.txt"});
  f.window->SetLastFocusedPane(CListRemote::IDC);
  f.prompt.SetNextAnswer(true);
  f.window->OnCommand(CDlgFileMgr::IDC_DELETE);
  ASSERT_EQ(f.prompt.Records().size(), 1u);
  EXPECT_EQ(f.prompt.Records()[0].text, "Are you sure you want to delete 2 items ?");
  EXPECT_FALSE(fs::exists(f.sim.DiskPath("/ftproot/Media/gone")));
  EXPECT_FALSE(fs::exists(f.sim.DiskPath("/ftproot/Media/bye.txt")));
  EXPECT_TRUE(fs::exists(f.sim.DiskPath("/ftproot/Media/keep.txt")));
  EXPECT_EQ(list->Model().Find("gone"), -1);

  f.window->OnCommand(CDlgFileMgr::IDC_NEWFOLDER);
  EXPECT_TRUE(fs::is_directory(f.sim.DiskPath("/ftproot/Media/new folder")));
  EXPECT_GE(list->Model().Find("new folder"), 0);

  // A No to a tree deletion still moves the selection to the parent.
  f.prompt.Clear();
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media", "new folder"}));
  f.window->SetLastFocusedPane(CTreeRemote::IDC);
  f.prompt.SetNextAnswer(false);
  f.window->OnCommand(CDlgFileMgr::IDC_DELETE);
  EXPECT_EQ(CTreePane::Text(f.window->TreeRemote()->currentItem()), "Media");
  EXPECT_TRUE(fs::is_directory(f.sim.DiskPath("/ftproot/Media/new folder")));
}

TEST(FileMgr, UnreachableReceiverShowsTheRootOnlyAndSaysSoOnRefresh) {
  Fixture f(SimOptions("127.0.0.129"));  // never started: nothing listens there
  InitResources();
  f.window = std::make_unique<CDlgFileMgr>(nullptr, 2121);
  f.window->TreeLocal()->m_desktopPath = f.pc.Path();
  f.window->show();
  EXPECT_EQ(f.window->TreeRemote()->topLevelItemCount(), 1);
  EXPECT_EQ(f.window->TreeRemote()->Root()->childCount(), 0);
  EXPECT_EQ(f.window->ListRemote()->topLevelItemCount(), 0);
  EXPECT_TRUE(f.prompt.Records().empty()) << "opening says nothing";
  // The first showing puts the focus on the PC tree a moment later; the
  // window keeps handling events while it waits for the receiver.
  QTRY_COMPARE_WITH_TIMEOUT(f.window->LastFocusedPane(), CTreeLocal::IDC, 5000);
  f.window->SetLastFocusedPane(CTreeRemote::IDC);
  f.window->OnCommand(CDlgFileMgr::IDC_REFRESH);
  f.window->OnCommand(CDlgFileMgr::IDC_NEWFOLDER);
  ASSERT_EQ(f.prompt.Records().size(), 2u);
  EXPECT_EQ(f.prompt.Records()[0].text, GetText(374));
  EXPECT_EQ(f.prompt.Records()[1].text, GetText(374));
  EXPECT_FALSE(GetConnectionState().m_ftpLoggedIn);
}

TEST(FileMgr, ReceiverGoneRefreshEmptiesTheListAndSaysSo) {
  Fixture f(SimOptions("127.0.0.128"));
  WriteAt(f.sim.DiskPath("/ftproot/Media/old.txt"), "o");
  ASSERT_TRUE(f.Open());
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media"}));
  ASSERT_GE(f.window->ListRemote()->Model().Find("old.txt"), 0);
  f.sim.Stop();
  f.window->SetLastFocusedPane(CListRemote::IDC);
  f.window->OnCommand(CDlgFileMgr::IDC_REFRESH);
  EXPECT_EQ(f.window->ListRemote()->topLevelItemCount(), 0);
  EXPECT_EQ(CTreePane::Text(f.window->TreeRemote()->currentItem()), "Media");
  EXPECT_EQ(StripPath(f.window->RemoteStrip()), "/ftproot/Media");
  ASSERT_EQ(f.prompt.Records().size(), 1u);
  EXPECT_EQ(f.prompt.Records()[0].text, GetText(374));
}

TEST(FileMgr, KeysActOnceOnTheRowTheUserChose) {
  Fixture f(SimOptions("127.0.0.147"));
  WriteAt(f.sim.DiskPath("/ftproot/Media/Musik/song.mp3"), "s");
  fs::create_directories(f.pc.File("a"));
  fs::create_directories(f.pc.File("b"));
  ASSERT_TRUE(f.Open());
  // One Delete press deletes the selected folder and not its parent after it.
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media", "Musik"}));
  CTreeRemote* tree = f.window->TreeRemote();
  f.window->SetLastFocusedPane(CTreeRemote::IDC);
  f.prompt.SetNextAnswer(true);
  QTest::keyPress(tree, Qt::Key_Delete);
  QTest::keyRelease(tree, Qt::Key_Delete);
  EXPECT_EQ(f.prompt.Records().size(), 1u);
  EXPECT_FALSE(fs::exists(f.sim.DiskPath("/ftproot/Media/Musik")));
  EXPECT_TRUE(fs::is_directory(f.sim.DiskPath("/ftproot/Media")));

  // Enter opens the row chosen with the keyboard, not the one clicked before.
  f.ShowPcDesktop();
  CListLocal* list = f.window->ListLocal();
  list->SetLastClicked(list->Model().Find("a"));
  list->setCurrentItem(list->topLevelItem(list->Model().Find("b")));
  // The release of an Enter pressed elsewhere (in a question) opens nothing.
  QTest::keyRelease(list, Qt::Key_Return);
  EXPECT_EQ(f.window->TreeLocal()->currentItem(), f.window->TreeLocal()->Top());
  QTest::keyPress(list, Qt::Key_Return);
  QTest::keyRelease(list, Qt::Key_Return);
  EXPECT_EQ(CTreePane::Text(f.window->TreeLocal()->currentItem()), "b");
}

TEST(FileMgr, DoubleClickAndEnterOpenTheChosenPcRowOnceWithTheTreeScrolled) {
  Fixture f(SimOptions("127.0.0.192"));
  // Each folder holds folders of its own: a second opening would go one level deeper.
  for (int i = 0; i < 40; ++i) {
    for (int j = 0; j < 3; ++j) fs::create_directories(f.pc.File(Format("d%02d/e%02d", i, j)));
  }
  ASSERT_TRUE(f.Open());
  f.ShowPcDesktop();
  CTreeLocal* tree = f.window->TreeLocal();
  CListLocal* list = f.window->ListLocal();
  QScrollBar* bar = tree->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  bar->setValue(bar->maximum() / 2);
  QTreeWidgetItem* row = list->topLevelItem(list->Model().Find("d05"));
  list->scrollToItem(row);
  DoubleClick(list->viewport(), list->visualItemRect(row).center());
  EXPECT_EQ(tree->GetItemPath(tree->currentItem()), f.pc.File("d05"));
  EXPECT_EQ(list->Folder(), f.pc.File("d05"));

  // Enter opens the row moved to with the keyboard after a click on another one.
  f.ShowPcDesktop();
  bar->setValue(bar->maximum());
  row = list->topLevelItem(list->Model().Find("d10"));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(tree->GetItemPath(tree->currentItem()), f.pc.File("d12"));
}

TEST(FileMgr, CollapsingAParentOfTheSelectionShowsAndActsOnThatParent) {
  Fixture f(SimOptions("127.0.0.146"));
  WriteAt(f.sim.DiskPath("/ftproot/Media/Musik/song.mp3"), "s");
  WriteAt(f.sim.DiskPath("/ftproot/Media/song.mp3"), "s");
  WriteAt(f.pc.File("pcdir/sub/notes.txt"), "n");
  WriteAt(f.pc.File("pcdir/notes.txt"), "n");
  ASSERT_TRUE(f.Open());

  ASSERT_TRUE(f.GoRemote({"ftproot", "Media", "Musik"}));
  CTreeRemote* remote = f.window->TreeRemote();
  remote->currentItem()->parent()->setExpanded(false);
  EXPECT_EQ(CTreePane::Text(remote->currentItem()), "Media");
  EXPECT_GE(f.window->ListRemote()->Model().Find("Musik"), 0);
  EXPECT_EQ(StripPath(f.window->RemoteStrip()), "/ftproot/Media");

  CTreeLocal* local = f.window->TreeLocal();
  f.ShowPcDesktop();
  ASSERT_TRUE(local->SelectChildByName(local->Top(), "pcdir"));
  QTreeWidgetItem* pcdir = local->currentItem();
  pcdir->setExpanded(true);
  ASSERT_TRUE(local->SelectChildByName(pcdir, "sub"));
  Fixture::Select(f.window->ListLocal(), {"notes.txt"});
  pcdir->setExpanded(false);
  EXPECT_EQ(local->currentItem(), pcdir);
  EXPECT_GE(f.window->ListLocal()->Model().Find("sub"), 0);
  // Nothing is selected in the list that shows pcdir: Delete asks nothing, deletes nothing.
  f.window->SetLastFocusedPane(CListLocal::IDC);
  f.window->OnCommand(CDlgFileMgr::IDC_DELETE);
  EXPECT_TRUE(f.prompt.Records().empty());
  EXPECT_TRUE(fs::exists(f.pc.File("pcdir/notes.txt")));
}

TEST(FileMgr, ProgressBarFiguresOfAOneByteAndA3000ByteFile) {
  CDlgProgress dialog;
  struct Sink : IProgressSink {
    explicit Sink(CDlgProgress& d) : dialog(d) {}
    void SetName(const std::string& n) override { dialog.SetName(n); }
    void SetRange(int l, int u) override { dialog.SetRange(l, u); }
    void SetPos(int p) override { dialog.SetPos(p); }
    CDlgProgress& dialog;
  } sink(dialog);
  CFTPObserver observer(sink);
  CGradientProgress* bar = dialog.Bar();
  observer.NotifyDownloadBegin("/r/one", "/pc/one", 1);
  observer.NotifyChunkReceived("x", 1);
  observer.NotifyDownloadEnd("/r/one", "/pc/one", 1);
  dialog.ApplyPending();
  EXPECT_EQ(bar->PercentText(), "100.00 %");
  EXPECT_EQ(dialog.PublishedName(), "one");

  observer.NotifyDownloadBegin("/r/three", "/pc/three", 3000);
  observer.NotifyChunkReceived(nullptr, 2048);
  dialog.ApplyPending();
  EXPECT_EQ(bar->PercentText(), "50.00 %");
  observer.NotifyChunkReceived(nullptr, 952);
  dialog.ApplyPending();
  EXPECT_EQ(bar->PercentText(), "100.00 %");
  EXPECT_EQ(CFTPObserver::BlocksFor(3000), 2);
}

TEST(FileMgr, Screenshot) {
  const QByteArray target = qgetenv("VANTREL_FILEMGR_SCREENSHOT");
  if (target.isEmpty()) GTEST_SKIP() << "set VANTREL_FILEMGR_SCREENSHOT to a PNG path";
  Fixture f(SimOptions("127.0.0.126"));
  MakeTree(f.sim.DiskPath("/ftproot/Media/tree"));
  WriteAt(f.sim.DiskPath("/ftproot/Media/clip.ts"), std::string(300000, 'c'));
  ASSERT_TRUE(f.Open());
  MakeTree(f.pc.File("Pictures"));
  f.pc.Write("notes.txt", "n");
  f.ShowPcDesktop();
  ASSERT_TRUE(f.GoRemote({"ftproot", "Media"}));
  QTest::qWait(200);
  ASSERT_TRUE(f.window->grab().save(QString::fromUtf8(target)));
}

TEST(FileMgr, TheDocumentsItemIsNotDeletedButAFolderBelowTheDesktopIs) {
  Fixture f(SimOptions("127.0.0.127"));
  ASSERT_TRUE(f.Open());
  TempDir documents;
  documents.Write("letter.txt", "keep me");
  fs::create_directories(documents.File("Taxes"));
  fs::create_directories(f.pc.File("old"));
  CTreeLocal* tree = f.window->TreeLocal();
  tree->m_documentsPath = documents.Path();
  tree->Init();
  ASSERT_NE(tree->Documents(), nullptr);

  tree->setCurrentItem(tree->Documents());
  f.window->SetLastFocusedPane(CTreeLocal::IDC);
  f.window->OnCommand(CDlgFileMgr::IDC_DELETE);
  EXPECT_TRUE(f.prompt.Records().empty()) << "not even asked";
  EXPECT_EQ(ReadFile(documents.File("letter.txt")), "keep me");
  EXPECT_TRUE(fs::is_directory(documents.File("Taxes")));

  // An ordinary folder is asked about and deleted.
  f.ShowPcDesktop();
  QTreeWidgetItem* old = nullptr;
  for (int i = 0; i < tree->Top()->childCount(); ++i) {
    if (CTreePane::Text(tree->Top()->child(i)) == "old") old = tree->Top()->child(i);
  }
  ASSERT_NE(old, nullptr);
  tree->setCurrentItem(old);
  f.window->SetLastFocusedPane(CTreeLocal::IDC);
  f.prompt.SetNextAnswer(true);
  f.window->OnCommand(CDlgFileMgr::IDC_DELETE);
  ASSERT_EQ(f.prompt.Records().size(), 1u);
  EXPECT_EQ(f.prompt.Records()[0].text, Format(GetText(375), "old")) << "it goes to the trash";
  EXPECT_FALSE(fs::exists(f.pc.File("old")));
}

TEST(FileMgr, AListingTheReceiverNeverAnswersLeavesTheWindowFreeAndClosingEndsIt) {
  ScriptedFtpServer server("127.0.0.183");  // no welcome: every login waits for one
  server.Start();
  InitResources();
  GetSettings().SetLastIP(server.Address());
  GetConnectionState().m_ftpLoggedIn = false;
  ScriptedPrompt prompt;
  TempDir pc;
  CDlgFileMgr window(nullptr, server.Port());
  window.TreeLocal()->m_desktopPath = pc.Path();
  bool firedWhileWaiting = false;
  QTimer::singleShot(0, &window, [&] {
    firedWhileWaiting = window.IsBusy();
    window.OnCommand(CDlgFileMgr::IDC_REFRESH);  // refused: one remote action at a time
    window.close();                              // the user gives up on the receiver
  });
  QElapsedTimer clock;
  clock.start();
  window.show();  // the first showing lists the receiver's root
  EXPECT_TRUE(firedWhileWaiting) << "the window thread was held by the listing";
  EXPECT_LT(clock.elapsed(), 5000) << "closing waited for the receiver's time-out";
  QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 5000);
  EXPECT_TRUE(prompt.Records().empty()) << "a listing the user gave up is not reported";
  EXPECT_FALSE(window.IsBusy());
}
