// The channel editor window driven like a user would: the small fixture opened
// through scripted file dialogs, clicks, keys, menus by command id, drags, and
// saving with and without failures.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "channels/AtomicFile.h"
#include "channels/ChannelBackups.h"
#include "channels/ChannelFileReader.h"
#include "channels/ChannelList.h"
#include "core/AppSettings.h"
#include "core/PathUtil.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/channel/ChannelTableModel.h"
#include "ui/channel/DlgChannel.h"
#include "ui/channel/DlgListTools.h"
#include "ui/channel/DlgProgress.h"
#include "ui/channel/EditorListView.h"
#include "ui/channel/FavoriteTree.h"
#include "ui/channel/ViewerStatus.h"
#include "ui/controls/Resources.h"

using vantrel::channels::ChannelList;
using vantrel::channels::FavoriteGroup;
using vantrel::channels::NumberRequest;
using vantrel::channels::ServiceKind;
using vantrel::ui::CDlgChannel;
using vantrel::ui::CEditorListView;
using vantrel::ui::CFavoriteTree;

namespace {

vantrel::test::IsolatedSettings g_isolated;

const std::string kSmall = std::string(VANTREL_TEST_DATA) + "/channels/channel-small.xml";

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 3000) {
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (condition()) return true;
    QTest::qWait(10);
  }
  return condition();
}

class FixedNumber final : public vantrel::channels::INumberInput {
 public:
  explicit FixedNumber(int value) : m_value(value) {}
  std::optional<int> AskNumber(const NumberRequest&) override {
    ++asked;
    return m_value;
  }
  int asked = 0;

 private:
  int m_value;
};

void SendMouse(QWidget* widget, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

class ChannelEditorTest : public ::testing::Test {
 protected:
  ChannelEditorTest() {
    vantrel::ui::InitResources();
    EXPECT_EQ(vantrel::channels::ReadChannelFile(reference, kSmall), vantrel::channels::ReadResult::Loaded);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    // A modal dialog that should not have opened is closed again, so a fault cannot hang the test.
    connect = QObject::connect(&watchdog, &QTimer::timeout, [this] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        ++modalsClosed;
        modal->close();
      }
    });
    watchdog.start(50);
  }
  ~ChannelEditorTest() override { QObject::disconnect(connect); }

  void Open(const std::string& path) {
    dialogs.QueueOpen(path);
    window.RunCommand(CDlgChannel::IDC_OPEN);
  }
  QAbstractButton* Button(int id) { return window.findChild<QAbstractButton*>(QString::number(id)); }
  QString ChannelCell(int row, int column) {
    auto* model = window.ChannelModel();
    return model->data(model->index(row, column), Qt::DisplayRole).toString();
  }
  int ChannelRows() { return window.ChannelModel()->rowCount(); }
  int ServiceRows() { return window.ServiceModel()->rowCount(); }
  QPoint RowCenter(CEditorListView* list, int row) { return list->visualRect(list->model()->index(row, 1)).center(); }
  void ClickRow(CEditorListView* list, int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    list->scrollTo(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, RowCenter(list, row));
  }
  QAction* Action(QMenu& menu, int id) {
    for (QAction* a : menu.actions())
      if (a->data().toInt() == id) return a;
    return nullptr;
  }
  // Presses on a row of a list, moves far enough to start a drag and releases
  // over a point of another widget.
  void Drag(CEditorListView* from, int row, QWidget* target, QPoint targetLocal) {
    QWidget* vp = from->viewport();
    const QPoint start = RowCenter(from, row);
    SendMouse(vp, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    SendMouse(vp, QEvent::MouseMove, start + QPoint(0, 3), Qt::NoButton, Qt::LeftButton);
    SendMouse(vp, QEvent::MouseMove, start + QPoint(0, 30), Qt::NoButton, Qt::LeftButton);
    const QPoint over = vp->mapFromGlobal(target->mapToGlobal(targetLocal));
    SendMouse(vp, QEvent::MouseMove, over, Qt::NoButton, Qt::LeftButton);
    SendMouse(vp, QEvent::MouseButtonRelease, over, Qt::LeftButton, Qt::NoButton);
  }
  bool PromptShown(const std::string& text) {
    for (const auto& r : prompt.Records())
      if (r.text.find(text) != std::string::npos) return true;
    return false;
  }

  ChannelList reference;
  vantrel::test::ScriptedPrompt prompt;
  vantrel::test::ScriptedFileDialogs dialogs;
  vantrel::test::TempDir temp;
  CDlgChannel window;
  QTimer watchdog;
  QMetaObject::Connection connect;
  int modalsClosed = 0;
};

TEST_F(ChannelEditorTest, OpenShowsRowsGroupsAndCaptions) {
  EXPECT_FALSE(Button(CDlgChannel::IDC_SAVE)->isEnabled()) << "no path, no rows";
  EXPECT_FALSE(Button(CDlgChannel::IDC_SAVE_AS)->isEnabled());
  EXPECT_EQ(window.windowTitle(), "Channel Edit");
  EXPECT_GE(window.minimumWidth(), 1000);
  EXPECT_GE(window.minimumHeight(), 700);

  Open(kSmall);
  EXPECT_NE(dialogs.lastFilter.find("*.xml"), std::string::npos);
  EXPECT_EQ(window.windowTitle(), "Channel Edit - channel-small.xml");
  const int tv = static_cast<int>(reference.TvServices().size());
  ASSERT_EQ(ChannelRows(), tv);
  // Sorted by number: the first row is number 1 and named like the list's first TV service.
  EXPECT_EQ(ChannelCell(0, 0), "1");
  EXPECT_EQ(ChannelCell(0, 1).toStdString(), reference.TvServices().front()->Name);
  EXPECT_EQ(window.ChannelModel()->columnCount(), 20);
  EXPECT_EQ(window.ChannelListView()->header()->sectionSize(1), 150);
  EXPECT_EQ(window.ChannelModel()->headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(), "Pos");
  EXPECT_FALSE(window.ChannelModel()->data(window.ChannelModel()->index(0, 0), Qt::DecorationRole).isNull());

  CFavoriteTree* tree = window.Tree();
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), "TV Favorites");
  EXPECT_EQ(tree->topLevelItem(0)->childCount(), static_cast<int>(reference.TvFavorites().size()));
  EXPECT_EQ(tree->topLevelItem(1)->childCount(), static_cast<int>(reference.RadioFavorites().size()));
  EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
  for (int n = 0; n < 2; ++n)
    for (int c = 0; c < tree->topLevelItem(n)->childCount(); ++c)
      EXPECT_FALSE(tree->topLevelItem(n)->child(c)->icon(0).isNull());

  // The first TV group is selected and shown in the service list and the tree caption.
  const FavoriteGroup& first = *reference.TvFavorites().front();
  ASSERT_NE(tree->currentItem(), nullptr);
  EXPECT_EQ(tree->currentItem()->text(0).toStdString(), first.Name);
  EXPECT_EQ(ServiceRows(), static_cast<int>(first.MemberCount()));
  EXPECT_NE(window.TreeCaption()->Title().toStdString().find(first.Name), std::string::npos);
  EXPECT_EQ(window.ChannelCaption()->Title(), "Service Channels");
  EXPECT_EQ(window.ChannelCaption()->Counter(), QString("0/%1").arg(tv));
  EXPECT_EQ(window.ServiceCaption()->Title(), "Details");

  // A click shows the row in the caption.
  ClickRow(window.ChannelListView(), 2);
  EXPECT_EQ(window.ChannelCaption()->Title(), ChannelCell(2, 1));
  EXPECT_EQ(window.ChannelCaption()->Counter(), QString("3/%1").arg(tv));
  EXPECT_TRUE(window.ChannelCaption()->HasIcon());
  // Releasing Down moves the caption with the selection.
  window.ChannelListView()->setFocus();
  QTest::keyClick(window.ChannelListView(), Qt::Key_Down);
  EXPECT_EQ(window.ChannelCaption()->Counter(), QString("4/%1").arg(tv));

  EXPECT_TRUE(Button(CDlgChannel::IDC_SAVE)->isEnabled());
  EXPECT_TRUE(Button(CDlgChannel::IDC_SAVE_AS)->isEnabled());
  EXPECT_TRUE(prompt.Records().empty());
}

TEST_F(ChannelEditorTest, HeaderClicksFlipTheDirection) {
  Open(kSmall);
  QHeaderView* header = window.ChannelListView()->header();
  const auto clickHeader = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
  };
  const auto names = [&] {
    QStringList out;
    for (int r = 0; r < ChannelRows(); ++r) out << ChannelCell(r, 1);
    return out;
  };
  // After Open the list is sorted by number, so the first header click sorts descending.
  clickHeader(1);
  QStringList descending = names();
  clickHeader(1);
  QStringList ascending = names();
  QStringList sorted = ascending;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const QString& a, const QString& b) { return a.toStdString() < b.toStdString(); });
  EXPECT_TRUE(ascending == sorted);
  EXPECT_EQ(descending.front().toStdString(), sorted.back().toStdString());
  EXPECT_EQ(descending.back().toStdString(), sorted.front().toStdString());
  EXPECT_GT(window.ChannelCaption()->Counter().size(), 0);
  // Another column continues the alternation: this click sorts descending.
  clickHeader(0);
  EXPECT_EQ(ChannelCell(0, 0).toStdString(), std::to_string(ChannelRows()));
  clickHeader(0);
  EXPECT_EQ(ChannelCell(0, 0).toStdString(), "1");
  EXPECT_EQ(ChannelCell(1, 0).toStdString(), "2");
  // The clicked row stays the search position through a sort.
  ClickRow(window.ChannelListView(), 0);
  const QString name = ChannelCell(0, 1);
  clickHeader(0);
  EXPECT_EQ(window.ChannelCaption()->Title(), name);
  EXPECT_EQ(ChannelCell(static_cast<int>(window.Editor().SearchPosition()), 1), name);
}

TEST_F(ChannelEditorTest, SaveAsThenSaveAndAFailedSave) {
  Open(kSmall);
  const std::string target = temp.File("copy");  // no extension: ".xml" is added
  dialogs.QueueSave(target);
  window.RunCommand(CDlgChannel::IDC_SAVE_AS);
  const std::string written = vantrel::test::ReadFile(target + ".xml");
  EXPECT_EQ(written, vantrel::test::ReadFile(kSmall)) << "an unchanged canonical list saves byte for byte";
  EXPECT_EQ(window.windowTitle(), "Channel Edit - copy.xml");
  EXPECT_EQ(window.List().FilePath(), target + ".xml");

  // Lock the first channel and Save to the same file.
  ClickRow(window.ChannelListView(), 0);
  window.RunCommand(CDlgChannel::ID_LOCK);
  EXPECT_EQ(ChannelCell(0, 16), "true");
  window.RunCommand(CDlgChannel::IDC_SAVE);
  ChannelList reread;
  ASSERT_EQ(vantrel::channels::ReadChannelFile(reread, target + ".xml"), vantrel::channels::ReadResult::Loaded);
  const auto lockedCount = [](const ChannelList& list) {
    int locked = 0;
    for (const auto& s : list.TvServices()) locked += s->Locked ? 1 : 0;
    return locked;
  };
  EXPECT_EQ(lockedCount(reread), lockedCount(reference) + (reference.TvServices().front()->Locked ? 0 : 1));

  // A save that fails tells the user and leaves the old file as it was.
  const std::string before = vantrel::test::ReadFile(target + ".xml");
  window.RunCommand(CDlgChannel::ID_UNLOCK);
  vantrel::channels::AtomicWriteFault fault;
  fault.failRename = true;
  vantrel::channels::SetAtomicWriteFaultForTest(&fault);
  window.RunCommand(CDlgChannel::IDC_SAVE);
  vantrel::channels::SetAtomicWriteFaultForTest(nullptr);
  EXPECT_TRUE(PromptShown("Can not save the file"));
  EXPECT_EQ(vantrel::test::ReadFile(target + ".xml"), before);

  // Save As with another extension writes nothing.
  prompt.Clear();
  dialogs.QueueSave(temp.File("other.txt"));
  window.RunCommand(CDlgChannel::IDC_SAVE_AS);
  EXPECT_FALSE(vantrel::PathExists(temp.File("other.txt")));
}

TEST_F(ChannelEditorTest, RefusedFilesLeaveTheEditorItsWorkAndTitleAsTheyWere) {
  Open(kSmall);
  ClickRow(window.ChannelListView(), 0);
  window.RunCommand(CDlgChannel::ID_LOCK);  // unsaved work
  const QString title = window.windowTitle();
  ASSERT_EQ(title, "Channel Edit - channel-small.xml *");
  const std::pair<std::string, std::string> refused[] = {
      {temp.Write("list.txt", vantrel::test::ReadFile(kSmall)), "This is incorrect file"},
      {temp.File("missing.xml"), "This is incorrect file"},
      {temp.Write("other.xml", "<?xml version=\"1.0\"?>\n<Other/>\n"), "This is incorrect file"},
      {temp.Write("broken.xml", "<Servicelist><Satellite>"), "XML loading error"},
  };
  for (const auto& [path, message] : refused) {
    prompt.Clear();
    prompt.SetNextSaveAnswer(vantrel::SaveAnswer::Discard);
    Open(path);
    ASSERT_FALSE(prompt.Records().empty()) << path;
    EXPECT_EQ(prompt.Records().back().text, message) << path;
    EXPECT_EQ(prompt.Records().back().caption, "ERROR") << path;
    EXPECT_EQ(ChannelRows(), static_cast<int>(reference.TvServices().size())) << path;
    EXPECT_EQ(window.Tree()->topLevelItem(0)->childCount(), static_cast<int>(reference.TvFavorites().size())) << path;
    EXPECT_EQ(ChannelCell(0, 16), "true") << path;
    EXPECT_EQ(window.List().FilePath(), kSmall) << path;
    EXPECT_EQ(window.windowTitle(), title) << path;
    EXPECT_TRUE(window.Editor().IsModified()) << path;
    EXPECT_TRUE(Button(CDlgChannel::IDC_SAVE)->isEnabled()) << path;
  }
}

TEST_F(ChannelEditorTest, UnsavedWorkIsMarkedAndOpenAndQuitAskSaveDiscardOrCancel) {
  const std::string file = temp.Write("mine.xml", vantrel::test::ReadFile(kSmall));
  Open(file);
  EXPECT_EQ(window.windowTitle(), "Channel Edit - mine.xml");
  EXPECT_TRUE(window.MayQuit()) << "nothing to ask";
  ClickRow(window.ChannelListView(), 0);
  window.RunCommand(CDlgChannel::ID_LOCK);
  EXPECT_EQ(window.windowTitle(), "Channel Edit - mine.xml *");

  // Cancel: no file dialog, the work stays.
  dialogs.lastTitle.clear();
  prompt.SetNextSaveAnswer(vantrel::SaveAnswer::Cancel);
  window.RunCommand(CDlgChannel::IDC_OPEN);
  EXPECT_TRUE(dialogs.lastTitle.empty());
  EXPECT_EQ(prompt.Records().back().text, vantrel::GetText(345));
  EXPECT_EQ(ChannelCell(0, 16), "true");
  prompt.SetNextSaveAnswer(vantrel::SaveAnswer::Cancel);
  EXPECT_FALSE(window.MayQuit());

  // Save writes the work to the list's file before the next one opens.
  prompt.SetNextSaveAnswer(vantrel::SaveAnswer::Save);
  Open(kSmall);
  ChannelList saved;
  ASSERT_EQ(vantrel::channels::ReadChannelFile(saved, file), vantrel::channels::ReadResult::Loaded);
  EXPECT_NE(vantrel::test::ReadFile(file), vantrel::test::ReadFile(kSmall));
  EXPECT_EQ(window.windowTitle(), "Channel Edit - channel-small.xml");
  EXPECT_FALSE(window.Editor().IsModified());

  // A list without a file goes through Save As; giving that up keeps the work.
  ClickRow(window.ChannelListView(), 0);
  window.RunCommand(CDlgChannel::ID_LOCK);
  window.List().SetFilePath({});
  prompt.SetNextSaveAnswer(vantrel::SaveAnswer::Save);
  dialogs.QueueSave(std::nullopt);
  EXPECT_FALSE(window.MayQuit());
  EXPECT_TRUE(window.Editor().IsModified());
  prompt.SetNextSaveAnswer(vantrel::SaveAnswer::Discard);
  EXPECT_TRUE(window.MayQuit());
  EXPECT_EQ(prompt.PendingAnswers(), 0u);
}

TEST_F(ChannelEditorTest, NumberingByClicksAndDoubleClick) {
  Open(temp.Write("copy.xml", vantrel::test::ReadFile(kSmall)));
  FixedNumber start(1);
  window.SetNumberInput(&start);
  ClickRow(window.ChannelListView(), 0);
  auto menu = window.CreateChannelMenu(0);
  ASSERT_TRUE(Action(*menu, CDlgChannel::ID_START_NUMBERING)->isEnabled());
  EXPECT_FALSE(Action(*menu, CDlgChannel::ID_END_NUMBERING)->isEnabled());
  window.RunCommand(CDlgChannel::ID_START_NUMBERING);
  ASSERT_TRUE(window.Editor().IsNumbering());
  EXPECT_EQ(start.asked, 1);
  // Until End or Cancel Numbering nothing may save, send or delete a half-given order.
  for (int id : {CDlgChannel::IDC_SAVE, CDlgChannel::IDC_SAVE_AS, CDlgChannel::IDC_SEND_PVR, CDlgChannel::IDC_DELETE,
                 CDlgChannel::IDC_OPEN, CDlgChannel::IDC_RENUMBERING}) {
    EXPECT_FALSE(Button(id)->isEnabled()) << id;
    EXPECT_FALSE(window.RunCommand(id)) << id;
  }

  auto& view = window.Editor().Channels();
  EXPECT_EQ(view.Mark(0), 1) << "the context row takes the start number";
  CEditorListView* list = window.ChannelListView();
  list->scrollTo(list->model()->index(4, 0));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 4));
  QTest::qWait(200);
  EXPECT_EQ(modalsClosed, 0) << "a double click in numbering mode must not open the properties";
  EXPECT_EQ(view.Mark(4), 2);
  EXPECT_EQ(window.Editor().NextNumber(), 3);
  EXPECT_EQ(ChannelCell(4, 0).toStdString(), "2");
  ClickRow(list, 7);
  EXPECT_EQ(view.Mark(7), 3);
  // The numbered icon replaces the row icon of marked rows.
  EXPECT_NE(window.ChannelModel()->RowIcon(7).cacheKey(), window.ChannelModel()->RowIcon(8).cacheKey());

  auto menu2 = window.CreateChannelMenu(7);
  EXPECT_FALSE(Action(*menu2, CDlgChannel::ID_START_NUMBERING)->isEnabled());
  EXPECT_TRUE(Action(*menu2, CDlgChannel::ID_END_NUMBERING)->isEnabled());
  EXPECT_FALSE(Action(*menu2, CDlgChannel::ID_MOVE_TO)->isEnabled());
  const std::string first = view.ServiceAt(0)->Name;
  const std::string fifth = view.ServiceAt(4)->Name;
  const std::string eighth = view.ServiceAt(7)->Name;
  window.RunCommand(CDlgChannel::ID_END_NUMBERING);
  EXPECT_FALSE(window.Editor().IsNumbering());
  EXPECT_TRUE(Button(CDlgChannel::IDC_SAVE)->isEnabled());
  EXPECT_TRUE(Button(CDlgChannel::IDC_DELETE)->isEnabled());
  EXPECT_EQ(ChannelCell(0, 1).toStdString(), first);
  EXPECT_EQ(ChannelCell(1, 1).toStdString(), fifth);
  EXPECT_EQ(ChannelCell(2, 1).toStdString(), eighth);
  window.SetNumberInput(nullptr);

  // Outside the numbering mode a double click opens the service properties.
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 2));
  ASSERT_TRUE(WaitFor([&] { return modalsClosed == 1; }));
}

TEST_F(ChannelEditorTest, AddToSelectedGroupGreyedForATvGroupWhileRadioIsShown) {
  Open(kSmall);
  ASSERT_NE(window.Editor().Tree().SelectedGroup(), nullptr);
  const std::string group = window.Editor().Tree().SelectedGroup()->Name;
  ClickRow(window.ChannelListView(), 0);
  auto menu = window.CreateChannelMenu(0);
  QAction* add = Action(*menu, CDlgChannel::ID_ADD_TO_SELECTED);
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add->text().toStdString(), "Add to '" + group + "' ");
  EXPECT_TRUE(add->isEnabled());
  EXPECT_TRUE(Action(*menu, CDlgChannel::ID_ADD_TO_NEW_TV)->isEnabled());
  EXPECT_FALSE(Action(*menu, CDlgChannel::ID_ADD_TO_NEW_RADIO)->isEnabled());

  QTest::mouseClick(Button(CDlgChannel::IDC_TV_RADIO), Qt::LeftButton);
  ASSERT_EQ(window.Editor().CurrentKind(), ServiceKind::Radio);
  EXPECT_EQ(ChannelRows(), static_cast<int>(reference.RadioServices().size()));
  EXPECT_EQ(window.ChannelCaption()->Counter(), QString("0/%1").arg(ChannelRows()));
  ClickRow(window.ChannelListView(), 0);
  menu = window.CreateChannelMenu(0);
  EXPECT_FALSE(Action(*menu, CDlgChannel::ID_ADD_TO_SELECTED)->isEnabled());
  EXPECT_TRUE(Action(*menu, CDlgChannel::ID_ADD_TO_NEW_RADIO)->isEnabled());
  EXPECT_FALSE(Action(*menu, CDlgChannel::ID_ADD_TO_NEW_TV)->isEnabled());
}

TEST_F(ChannelEditorTest, DeleteKeyInEachView) {
  Open(kSmall);
  const int rows = ChannelRows();
  CEditorListView* channels = window.ChannelListView();
  channels->setFocus();
  ClickRow(channels, 0);
  const std::string name = ChannelCell(0, 1).toStdString();
  prompt.SetNextAnswer(true);
  QTest::keyClick(channels, Qt::Key_Delete);
  EXPECT_EQ(ChannelRows(), rows - 1);
  EXPECT_NE(ChannelCell(0, 1).toStdString(), name);
  EXPECT_EQ(ChannelCell(0, 0), "1") << "renumbered after the deletion";
  EXPECT_EQ(window.ChannelCaption()->Counter(), QString("0/%1").arg(rows - 1));

  // Members of the selected group.
  const int members = ServiceRows();
  ASSERT_GT(members, 1);
  CEditorListView* services = window.ServiceListView();
  services->setFocus();
  ClickRow(services, 0);
  prompt.SetNextAnswer(true);
  QTest::keyClick(services, Qt::Key_Delete);
  EXPECT_EQ(ServiceRows(), members - 1);
  EXPECT_EQ(window.Editor().Tree().SelectedGroup()->MemberCount(), static_cast<std::size_t>(members - 1));

  // The selected group in the tree goes without a question.
  const int groups = window.Tree()->topLevelItem(0)->childCount();
  window.Tree()->setFocus();
  QTest::keyClick(window.Tree(), Qt::Key_Delete);
  EXPECT_EQ(window.Tree()->topLevelItem(0)->childCount(), groups - 1);
  EXPECT_EQ(window.List().TvFavorites().size(), static_cast<std::size_t>(groups - 1));
  EXPECT_EQ(prompt.PendingAnswers(), 0u);

  // Escape and F1 are swallowed: the window stays.
  QTest::keyClick(window.Tree(), Qt::Key_Escape);
  EXPECT_TRUE(window.isVisible());
}

TEST_F(ChannelEditorTest, DropsOnTheServiceListTheChannelListAndTheTree) {
  Open(kSmall);
  FavoriteGroup* group = window.Editor().Tree().SelectedGroup();
  ASSERT_NE(group, nullptr);
  auto& view = window.Editor().Channels();
  // A channel that is not yet a member.
  int row = -1;
  for (int r = 0; r < ChannelRows() && row < 0; ++r)
    if (!ChannelList::IsInFavoriteGroup(*view.ServiceAt(static_cast<std::size_t>(r)), *group)) row = r;
  ASSERT_GE(row, 0);
  const std::size_t before = group->MemberCount();
  CEditorListView* channels = window.ChannelListView();
  CEditorListView* services = window.ServiceListView();
  channels->scrollTo(channels->model()->index(row, 0));
  Drag(channels, row, services->viewport(), QPoint(20, 5));
  EXPECT_EQ(window.CurrentDrag(), CDlgChannel::DragSource::None);
  EXPECT_TRUE(window.DropPending());
  EXPECT_EQ(group->MemberCount(), before) << "the drop waits 100 ms";
  ASSERT_TRUE(WaitFor([&] { return group->MemberCount() == before + 1; }));
  EXPECT_EQ(ServiceRows(), static_cast<int>(before + 1));

  // Inside the channel list: the dragged row goes after the row it is dropped on.
  channels->scrollToTop();
  ClickRow(channels, 0);
  const std::string moved = ChannelCell(0, 1).toStdString();
  const std::string target = ChannelCell(5, 1).toStdString();
  Drag(channels, 0, channels->viewport(), RowCenter(channels, 5));
  ASSERT_TRUE(WaitFor([&] { return ChannelCell(5, 1).toStdString() == moved; }));
  EXPECT_EQ(ChannelCell(4, 1).toStdString(), target);
  for (int r = 0; r < ChannelRows(); ++r) ASSERT_EQ(ChannelCell(r, 0), QString::number(r + 1));

  // Inside the service list: members are reordered.
  ASSERT_GE(ServiceRows(), 3);
  const std::string firstMember = group->Member(0)->Name;
  ClickRow(services, 0);
  Drag(services, 0, services->viewport(), RowCenter(services, 2));
  ASSERT_TRUE(WaitFor([&] { return group->Member(0)->Name != firstMember; }));

  // Over the tree: the group under the cursor is highlighted and takes the channel.
  QTreeWidgetItem* node = window.Tree()->topLevelItem(0);
  ASSERT_GE(node->childCount(), 2);
  QTreeWidgetItem* other = node->child(1);
  FavoriteGroup* otherGroup = CFavoriteTree::GroupOf(other);
  int candidate = -1;
  for (int r = 0; r < ChannelRows() && candidate < 0; ++r)
    if (!ChannelList::IsInFavoriteGroup(*view.ServiceAt(static_cast<std::size_t>(r)), *otherGroup)) candidate = r;
  ASSERT_GE(candidate, 0);
  const std::size_t otherBefore = otherGroup->MemberCount();
  channels->scrollTo(channels->model()->index(candidate, 0));
  QWidget* vp = channels->viewport();
  const QPoint start = RowCenter(channels, candidate);
  SendMouse(vp, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  SendMouse(vp, QEvent::MouseMove, start + QPoint(0, 3), Qt::NoButton, Qt::LeftButton);
  SendMouse(vp, QEvent::MouseMove, start + QPoint(0, 30), Qt::NoButton, Qt::LeftButton);
  ASSERT_EQ(window.CurrentDrag(), CDlgChannel::DragSource::Channels);
  ASSERT_NE(window.DragImage(), nullptr);
  EXPECT_TRUE(window.DragImage()->isVisible());
  const QRect itemRect = window.Tree()->visualItemRect(other);
  const QPoint over = vp->mapFromGlobal(window.Tree()->viewport()->mapToGlobal(itemRect.center()));
  SendMouse(vp, QEvent::MouseMove, over, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(window.Tree()->DropHighlight(), other);
  SendMouse(vp, QEvent::MouseButtonRelease, over, Qt::LeftButton, Qt::NoButton);
  ASSERT_TRUE(WaitFor([&] { return otherGroup->MemberCount() == otherBefore + 1; }));
  EXPECT_EQ(window.Editor().Tree().SelectedGroup(), otherGroup);
  EXPECT_EQ(window.Tree()->DropHighlight(), nullptr);
  EXPECT_FALSE(window.DragImage()->isVisible());
}

TEST_F(ChannelEditorTest, RefusedGroupNameRestartsTheEditing) {
  Open(kSmall);
  CFavoriteTree* tree = window.Tree();
  QTreeWidgetItem* item = tree->topLevelItem(0)->child(0);
  FavoriteGroup* group = CFavoriteTree::GroupOf(item);
  const std::string oldName = group->Name;
  tree->setCurrentItem(item);
  window.RunCommand(CDlgChannel::ID_TREE_RENAME);
  ASSERT_TRUE(tree->IsEditing());
  EXPECT_TRUE(window.IsLabelEditing());
  auto* editor = tree->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("bad@name");
  QTest::keyClick(editor, Qt::Key_Return);  // the release moves the focus away, which commits
  ASSERT_TRUE(WaitFor([&] { return !prompt.Records().empty() && tree->IsEditing(); }));
  EXPECT_EQ(prompt.Records().back().text, "Channel name can not contain '@' character");
  EXPECT_EQ(group->Name, oldName);
  EXPECT_EQ(item->text(0).toStdString(), oldName);

  editor = nullptr;
  for (QLineEdit* e : tree->findChildren<QLineEdit*>())
    if (e->isVisible()) editor = e;
  ASSERT_NE(editor, nullptr);
  editor->setText("Evening");
  QTest::keyClick(editor, Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return group->Name == "Evening"; }));
  EXPECT_EQ(tree->ItemOf(group)->text(0), "Evening");
  EXPECT_FALSE(tree->IsEditing());

  // The nodes keep their names.
  EXPECT_FALSE(tree->StartEditing(tree->topLevelItem(0)));
}

TEST_F(ChannelEditorTest, ReceiverExchangeKeepsTheUserOutWhileItRuns) {
  Open(kSmall);
  const int rows = ChannelRows();
  // Nothing listens there: the login fails at once.
  vantrel::GetSettings().SetLastIP("127.0.0.61");
  vantrel::channels::CChannelExchange::Options options;
  options.port = 1;
  options.pauseMs = 0;
  options.timeoutSeconds = 2;
  options.tempPath = temp.File("tempchannel.xml");
  window.SetExchangeOptions(options);

  window.ChannelListView()->setFocus();
  ClickRow(window.ChannelListView(), 0);
  window.RunCommand(CDlgChannel::IDC_LOAD_PVR);
  ASSERT_TRUE(window.IsLoading());
  EXPECT_FALSE(Button(CDlgChannel::IDC_OPEN)->isEnabled());
  EXPECT_FALSE(Button(CDlgChannel::IDC_SEND_PVR)->isEnabled());
  EXPECT_TRUE(window.Progress()->isVisible());
  // Keys and left clicks are swallowed while loading: Delete would otherwise
  // ask about deleting the selected row (an unscripted question fails the test).
  QTest::keyClick(window.ChannelListView(), Qt::Key_Delete);
  ClickRow(window.ChannelListView(), 3);
  EXPECT_TRUE(window.Editor().Channels().IsSelected(0));
  EXPECT_FALSE(window.Editor().Channels().IsSelected(3));
  // Nor right clicks, menus or commands: a command that outlived the load would
  // work on the list the load frees.
  int menusShown = 0;
  QTimer popupCloser;
  QObject::connect(&popupCloser, &QTimer::timeout, [&] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      ++menusShown;
      popup->close();
    }
  });
  popupCloser.start(20);
  QTest::mouseClick(window.ChannelListView()->viewport(), Qt::RightButton, {}, RowCenter(window.ChannelListView(), 0));
  QTest::mouseClick(window.Tree()->viewport(), Qt::RightButton, {},
                    window.Tree()->visualItemRect(window.Tree()->topLevelItem(0)).center());
  EXPECT_FALSE(window.RunCommand(CDlgChannel::ID_DELETE_CHANNELS));
  EXPECT_EQ(menusShown, 0);
  EXPECT_TRUE(prompt.Records().empty()) << "nothing was asked";
  ASSERT_TRUE(WaitFor([&] { return !window.IsLoading(); }, 10000));
  EXPECT_TRUE(PromptShown("Login fail"));
  EXPECT_EQ(ChannelRows(), rows) << "a failed load keeps the list";
  EXPECT_EQ(window.windowTitle(), "Channel Edit - channel-small.xml");
  EXPECT_TRUE(Button(CDlgChannel::IDC_OPEN)->isEnabled());

  prompt.Clear();
  window.RunCommand(CDlgChannel::IDC_SEND_PVR);
  EXPECT_TRUE(window.IsSending());
  // Quitting waits for a send: one cut off could leave the receiver without a whole list.
  EXPECT_FALSE(window.MayQuit());
  EXPECT_TRUE(PromptShown(vantrel::GetText(363)));
  ASSERT_TRUE(WaitFor([&] { return !window.IsSending(); }, 10000));
  EXPECT_TRUE(PromptShown("Login fail"));
  EXPECT_TRUE(Button(CDlgChannel::IDC_SEND_PVR)->isEnabled());
}

// A backup of the receiver's list opens unsaved, to be looked at and sent.
TEST_F(ChannelEditorTest, RestoreOpensTheChosenBackupUnsaved) {
  vantrel::channels::CChannelExchange::Options options;
  options.backupFolder = temp.File("backups");
  window.SetExchangeOptions(options);
  std::filesystem::create_directories(options.backupFolder);
  window.RunCommand(CDlgChannel::IDC_RESTORE);
  EXPECT_TRUE(PromptShown(options.backupFolder)) << "no backups yet, and where they would be";

  const std::string older = temp.Write("backups/channel-20261201-101500.xml", "<Servicelist></Servicelist>");
  const std::string newer = temp.Write("backups/channel-20261209-203000.xml", vantrel::test::ReadFile(kSmall));
  const auto summary = vantrel::channels::DescribeBackup(newer);
  EXPECT_EQ(summary.when, "2026-12-09 20:30:00");
  EXPECT_EQ(summary.services, reference.TvServices().size() + reference.RadioServices().size());
  EXPECT_EQ(summary.groups, reference.TvFavorites().size() + reference.RadioFavorites().size());
  EXPECT_EQ(vantrel::channels::ListBackups(options.backupFolder), (std::vector<std::string>{newer, older}));

  ASSERT_TRUE(window.RestoreBackup(newer));
  EXPECT_EQ(ChannelRows(), static_cast<int>(reference.TvServices().size()));
  EXPECT_TRUE(window.Editor().IsModified());
  EXPECT_TRUE(window.List().FilePath().empty()) << "Save asks where; the backup itself stays as it is";
  EXPECT_EQ(window.windowTitle(), "Channel Edit *");
}

TEST_F(ChannelEditorTest, EnterInTheSearchFieldSearchesAndCtrlZFocusesTheList) {
  Open(kSmall);
  auto* search = window.findChild<QLineEdit*>(QString::number(CDlgChannel::IDC_SEARCH_EDIT));
  ASSERT_NE(search, nullptr);
  search->setFocus();
  QTest::keyClicks(search, "arte");
  QTest::keyClick(search, Qt::Key_Return);
  ASSERT_GE(window.Editor().SearchPosition(), 0);
  const int row = static_cast<int>(window.Editor().SearchPosition());
  EXPECT_EQ(ChannelCell(row, 1).toStdString(), "arte HD");
  EXPECT_TRUE(window.Editor().Channels().IsSelected(static_cast<std::size_t>(row)));
  EXPECT_EQ(window.ChannelCaption()->Title(), "arte HD");
  EXPECT_EQ(QApplication::focusWidget(), search);
  EXPECT_TRUE(window.isVisible()) << "Enter does not close the window";

  QTest::keyClick(search, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(QApplication::focusWidget(), window.ChannelListView());
}

TEST_F(ChannelEditorTest, DraggingNearTheBottomEdgeScrollsTheList) {
  Open(kSmall);
  CEditorListView* list = window.ChannelListView();
  // Fewer rows fit than the list holds.
  window.resize(1000, 700);
  QApplication::processEvents();
  ASSERT_LT(list->RowsPerPage(), ChannelRows());
  ASSERT_EQ(list->FirstVisibleRow(), 0);
  QWidget* vp = list->viewport();
  const QPoint start = RowCenter(list, 0);
  SendMouse(vp, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  SendMouse(vp, QEvent::MouseMove, start + QPoint(0, 3), Qt::NoButton, Qt::LeftButton);
  SendMouse(vp, QEvent::MouseMove, start + QPoint(0, 30), Qt::NoButton, Qt::LeftButton);
  ASSERT_EQ(window.CurrentDrag(), CDlgChannel::DragSource::Channels);
  const QPoint nearBottom(40, vp->height() - 5);
  SendMouse(vp, QEvent::MouseMove, nearBottom, Qt::NoButton, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return list->FirstVisibleRow() > 0; }));
  // Near the top it scrolls back.
  SendMouse(vp, QEvent::MouseMove, QPoint(40, 5), Qt::NoButton, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return list->FirstVisibleRow() == 0; }));
  // Released over the buttons: nothing changes.
  const std::string first = ChannelCell(0, 1).toStdString();
  QWidget* open = Button(CDlgChannel::IDC_OPEN);
  const QPoint over = vp->mapFromGlobal(open->mapToGlobal(QPoint(5, 5)));
  SendMouse(vp, QEvent::MouseButtonRelease, over, Qt::LeftButton, Qt::NoButton);
  QTest::qWait(200);
  EXPECT_FALSE(window.DropPending());
  EXPECT_EQ(ChannelCell(0, 1).toStdString(), first);
  EXPECT_EQ(window.CurrentDrag(), CDlgChannel::DragSource::None);
}

// Export, import and the reference list from the channel menu: each shows its
// window first and changes the list only through Apply.
TEST_F(ChannelEditorTest, CsvAndReferenceListAskThenChangeTheList) {
  using vantrel::ui::CDlgCsvImport;
  using vantrel::ui::CDlgReferencePreview;
  Open(kSmall);
  window.Editor().Channels().SelectOnly(0);
  auto menu = window.CreateChannelMenu(0);
  for (const int id : {CDlgChannel::ID_APPLY_REFERENCE, CDlgChannel::ID_EXPORT_CSV, CDlgChannel::ID_IMPORT_CSV}) {
    ASSERT_NE(Action(*menu, id), nullptr) << id;
    EXPECT_TRUE(Action(*menu, id)->isEnabled());
  }

  dialogs.QueueSave(temp.File("tv"));
  window.RunCommand(CDlgChannel::ID_EXPORT_CSV);
  std::string csv = vantrel::test::ReadFile(temp.File("tv.csv"));
  ASSERT_NE(csv.find("\n2,ZDF HD,"), std::string::npos) << csv.substr(0, 300);
  csv.replace(csv.find("\n2,ZDF HD,"), 10, "\n1,ZDF HD,");
  csv.replace(csv.find("\n1,Das Erste HD,"), 16, "\n2,Das Erste HD,");
  csv += "7,Nobody,TV,,,,,,,,1,2,3,,,,false,false,false\n";

  // Answers the window that opens next: Cancel, or Apply after a look at it.
  QString shown;
  auto answer = [&shown](int applyId, bool apply) {
    QTimer::singleShot(0, [&shown, applyId, apply] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      for (const QLabel* label : modal->findChildren<QLabel*>()) shown += label->text() + "\n";
      for (const QListWidget* list : modal->findChildren<QListWidget*>()) shown += QString::number(list->count());
      if (apply) {
        modal->findChild<QAbstractButton*>(QString::number(applyId))->click();
      } else {
        modal->close();
      }
    });
  };
  const std::string edited = temp.Write("edited.csv", csv);
  dialogs.QueueOpen(edited);
  answer(CDlgCsvImport::IDC_APPLY, false);
  window.RunCommand(CDlgChannel::ID_IMPORT_CSV);
  EXPECT_EQ(ChannelCell(0, 1), "Das Erste HD") << "Cancel changes nothing";
  EXPECT_FALSE(window.Editor().IsModified());
  EXPECT_TRUE(shown.contains("Rows: 34   Services changed: 2   Rows left out: 1")) << shown.toStdString();

  dialogs.QueueOpen(edited);
  answer(CDlgCsvImport::IDC_APPLY, true);
  window.RunCommand(CDlgChannel::ID_IMPORT_CSV);
  EXPECT_EQ(ChannelCell(0, 1), "ZDF HD");
  EXPECT_EQ(ChannelCell(1, 1), "Das Erste HD");
  EXPECT_TRUE(window.Editor().IsModified());

  shown.clear();
  dialogs.QueueOpen(temp.Write("names.txt", "ARTE hd\nNowhere\n"));
  answer(CDlgReferencePreview::IDC_APPLY, true);
  window.RunCommand(CDlgChannel::ID_APPLY_REFERENCE);
  EXPECT_TRUE(shown.contains("Matched: 1")) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith("1")) << "one entry found nothing";
  EXPECT_EQ(ChannelCell(0, 1), "arte HD");
  EXPECT_EQ(ChannelCell(1, 1), "ZDF HD");
  EXPECT_EQ(ChannelCell(0, 0), "1");
  EXPECT_EQ(modalsClosed, 0);
}

}  // namespace

TEST_F(ChannelEditorTest, EditMenuUndoesAndRedoesByNameAndKeys) {
  QAction* undo = window.UndoAction();
  QAction* redo = window.RedoAction();
  EXPECT_EQ(undo->text(), "Undo");
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
  Open(kSmall);
  const int tv = ChannelRows();
  ClickRow(window.ChannelListView(), 0);
  prompt.SetNextAnswer(true);
  window.RunCommand(CDlgChannel::ID_DELETE_CHANNELS);
  ASSERT_EQ(ChannelRows(), tv - 1);
  EXPECT_EQ(undo->text(), "Undo Delete Channel(s)");
  EXPECT_EQ(window.windowTitle(), "Channel Edit - channel-small.xml *");

  window.ChannelListView()->setFocus();
  QTest::keyClick(window.ChannelListView(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ChannelRows(), tv);
  EXPECT_EQ(ChannelCell(0, 1).toStdString(), reference.TvServices().front()->Name);
  EXPECT_EQ(window.windowTitle(), "Channel Edit - channel-small.xml") << "back at the opened state";
  EXPECT_EQ(redo->text(), "Redo Delete Channel(s)");
  QTest::keyClick(window.ChannelListView(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(ChannelRows(), tv - 1);

  // Undoing the Open brings back the empty list before it.
  undo->trigger();
  EXPECT_EQ(undo->text(), "Undo Open");
  undo->trigger();
  EXPECT_EQ(ChannelRows(), 0);
  EXPECT_EQ(window.Tree()->topLevelItem(0)->childCount(), 0);
  EXPECT_EQ(window.windowTitle(), "Channel Edit *");
  EXPECT_EQ(prompt.PendingAnswers(), 0u);
}
