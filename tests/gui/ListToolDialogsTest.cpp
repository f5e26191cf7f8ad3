// The duplicate finder's dialog and the check before saving, driven through
// their controls over the channel editor window.
#include <gtest/gtest.h>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "channels/ChannelEditor.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/channel/DlgChannel.h"
#include "ui/channel/DlgDuplicates.h"
#include "ui/channel/DlgListCheck.h"
#include "ui/controls/Resources.h"

using namespace vantrel::channels;
using vantrel::ui::CDlgChannel;
using vantrel::ui::CDlgDuplicates;
using vantrel::ui::CDlgListCheck;

namespace {

vantrel::test::IsolatedSettings g_isolated;

const std::string kSmall = std::string(VANTREL_TEST_DATA) + "/channels/channel-small.xml";

// Runs action on the check dialog once it shows; false when none showed.
void OnCheckDialog(std::function<void(CDlgListCheck&)> action, bool& shown) {
  QTimer::singleShot(0, [action = std::move(action), &shown] {
    if (auto* dialog = qobject_cast<CDlgListCheck*>(QApplication::activeModalWidget())) {
      shown = true;
      action(*dialog);
    }
  });
}

TEST(ListToolDialogs, SaveGoesThroughTheCheckWhichCanFixCancelOrGoOn) {
  vantrel::ui::InitResources();
  vantrel::test::ScriptedPrompt prompt;
  vantrel::test::ScriptedFileDialogs dialogs;
  vantrel::test::TempDir temp;
  // A satellite name the file would hold as an empty value.
  std::string text = vantrel::test::ReadFile(kSmall);
  const std::string name = "Astra 1KR/1L/1M/1N";
  const std::string longName(260, 'A');
  text.replace(text.find(name), name.size(), longName);
  const std::string path = temp.Write("long.xml", text);
  CDlgChannel window;
  dialogs.QueueOpen(path);
  window.RunCommand(CDlgChannel::IDC_OPEN);
  ASSERT_EQ(window.List().Satellites()[0]->SatName, longName);
  window.Editor().Channels().SelectOnly(0);
  window.RunCommand(CDlgChannel::ID_LOCK);  // unsaved work

  bool shown = false;
  OnCheckDialog([](CDlgListCheck& d) { d.reject(); }, shown);
  window.RunCommand(CDlgChannel::IDC_SAVE);
  EXPECT_TRUE(shown);
  EXPECT_EQ(vantrel::test::ReadFile(path), text) << "Cancel saves nothing";
  EXPECT_TRUE(window.Editor().IsModified());

  shown = false;
  prompt.SetNextAnswer(true);  // "Fix 1 finding(s)?"
  OnCheckDialog(
      [](CDlgListCheck& d) {
        EXPECT_EQ(d.Findings().size(), 1u);
        EXPECT_TRUE(d.FixButton()->isEnabled());
        d.FixButton()->click();
        EXPECT_TRUE(d.Findings().empty());
        EXPECT_EQ(d.GoOnButton()->text(), "Save");
        d.GoOnButton()->click();
      },
      shown);
  window.RunCommand(CDlgChannel::IDC_SAVE);
  EXPECT_TRUE(shown);
  EXPECT_FALSE(window.Editor().IsModified());
  EXPECT_NE(vantrel::test::ReadFile(path).find("<SatName>" + std::string(255, 'A') + "</SatName>"), std::string::npos);
}

TEST(ListToolDialogs, TickingAnotherServiceMakesItTheKeeper) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  for (const char* name : {"News", "NEWS", " news"}) {
    auto s = std::make_unique<Service>();
    s->ChannelNo = static_cast<int>(list.TvServices().size()) + 1;
    s->Name = name;
    s->Sid = s->ChannelNo;  // different ids: only the loose rule sees them
    list.AddService(std::move(s));
  }
  CChannelEditor editor(list);
  editor.ShowList();
  CDlgDuplicates dialog(editor);
  EXPECT_TRUE(dialog.Groups().empty());
  dialog.findChild<QAbstractButton*>(QString::number(CDlgDuplicates::IDC_RULE_LOOSE))->click();
  ASSERT_EQ(dialog.Groups().size(), 1u);
  EXPECT_EQ(dialog.Groups()[0].keeper, 0u);
  QTreeWidgetItem* third = dialog.GroupList()->topLevelItem(0)->child(2);
  third->setCheckState(0, Qt::Checked);
  EXPECT_EQ(dialog.Groups()[0].keeper, 2u);
  EXPECT_EQ(dialog.GroupList()->topLevelItem(0)->child(0)->checkState(0), Qt::Unchecked);
  prompt.SetNextAnswer(true);
  dialog.findChild<QPushButton*>(QString::number(CDlgDuplicates::IDC_DELETE_DUPLICATES))->click();
  ASSERT_EQ(list.TvServices().size(), 1u);
  EXPECT_EQ(list.TvServices()[0]->Name, " news");
  EXPECT_EQ(list.TvServices()[0]->ChannelNo, 1);
  EXPECT_TRUE(dialog.Groups().empty());
}

}  // namespace
