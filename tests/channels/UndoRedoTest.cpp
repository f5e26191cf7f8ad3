// Undo and redo of the channel editor: each kind of change comes back byte
// for byte with its views, the saved state follows the history, and the
// history stays within its memory budget.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ChannelTestUtil.h"
#include "EditTestUtil.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelEditor.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace vantrel::channels {
namespace {

using test::RowNames;
using test::ScriptedNumberInput;
using test::SelectNumbers;
using vantrel::test::ReadFile;

class UndoRedo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ReadChannelFile(list, test::FixturePath("channel-small.xml")), ReadResult::Loaded);
    list.SetFilePath("/tmp/list.xml");
    editor.ShowList();
  }
  std::string Bytes() const { return ChannelFileBytes(list, editor); }
  FavoriteGroup* FirstTvGroup() const { return editor.Tree().Groups(ServiceKind::Tv).front(); }
  void ShowGroup(FavoriteGroup* group) {
    editor.Tree().SelectGroup(group);
    editor.ShowSelectedTreeItem();
  }

  vantrel::test::ScriptedPrompt prompt;
  ScriptedNumberInput numbers;
  ChannelList list;
  CChannelEditor editor{list};
};

TEST_F(UndoRedo, EachKindOfChangeComesBackByteForByte) {
  const std::vector<std::pair<int, std::function<void()>>> families = {
      {136,
       [&] {
         SelectNumbers(editor.Channels(), {1, 2});
         editor.SetLocked(true);
       }},
      {138, [&] { editor.SetSkipped(true); }},
      {125, [&] { EXPECT_TRUE(editor.MoveChannelsToNumber(5)); }},
      {125,
       [&] {
         SelectNumbers(editor.Channels(), {3});
         EXPECT_TRUE(editor.MoveChannelsAfterRow(test::RowOfNumber(editor.Channels(), 9)));
       }},
      {10,
       [&] {
         editor.HeaderClick(kColServiceName);
         editor.Renumber();
       }},
      {131,
       [&] {
         SelectNumbers(editor.Channels(), {2, 4});
         prompt.SetNextAnswer(true);
         EXPECT_TRUE(editor.DeleteChannels());
       }},
      {133,
       [&] {
         editor.SetContextRow(1);
         EXPECT_TRUE(editor.AddEmptyChannel());
       }},
      {134,
       [&] {
         Service* service = editor.Channels().ServiceAt(2);
         Service edited = *service;
         edited.Name = "Edited";
         edited.ChannelNo = 7;
         editor.ChangeChannelNumber(*service, edited);
       }},
      {124,
       [&] {
         numbers.Queue(3);
         editor.SetContextRow(6);
         ASSERT_TRUE(editor.StartNumbering(numbers));
         editor.NumberClick(0);
         editor.EndNumbering();
       }},
      {8, [&] { EXPECT_NE(editor.CreateFavoriteGroup(ServiceKind::Tv), nullptr); }},
      {93, [&] { EXPECT_TRUE(editor.RenameFavoriteGroup(*FirstTvGroup(), "News")); }},
      {9,
       [&] {
         SelectNumbers(editor.Channels(), {5, 6, 7});
         EXPECT_GT(editor.AddToFavoriteGroup(FirstTvGroup()), 0u);
       }},
      {125,
       [&] {
         ShowGroup(FirstTvGroup());
         ASSERT_GT(editor.Members().RowCount(), 1u);
         editor.Members().SetSelected(editor.Members().RowCount() - 1, true);
         EXPECT_TRUE(editor.ReorderGroupMembers(0));
       }},
      {11,
       [&] {
         editor.Members().ClearSelection();
         editor.Members().SetSelected(0, true);
         prompt.SetNextAnswer(true);
         EXPECT_TRUE(editor.DeleteGroupMembers());
       }},
      {132,
       [&] {
         SelectNumbers(editor.Channels(), {5, 6});
         editor.RemoveFromAllFavoriteGroups();
       }},
      {11, [&] { EXPECT_TRUE(editor.DeleteGroup(FirstTvGroup())); }},
      {7,
       [&] {
         editor.DeleteServicesOfSatellite(*list.Satellites().front());
         EXPECT_NE(editor.NewSatellite(), nullptr);
       }},
      {1,
       [&] {
         ChannelList fresh;
         ASSERT_EQ(ReadChannelBuffer(fresh, test::ReorderedFixture(ReadFile(test::FixturePath("channel-small.xml")))),
                   ReadResult::Loaded);
         fresh.SetFilePath("/tmp/other.xml");
         editor.AdoptList(fresh);
         editor.SetModified(false);
       }},
  };
  for (const auto& [name, action] : families) {
    SCOPED_TRACE(GetText(name));
    const std::string before = Bytes();
    const std::string path = list.FilePath();
    const auto rowsBefore = RowNames(editor.Channels());
    const auto selectedBefore = editor.Channels().SelectedRows();
    const int stepsBefore = editor.History().count();
    editor.Perform(name, action);
    const std::string after = Bytes();
    const std::string pathAfter = list.FilePath();
    ASSERT_NE(after, before);
    ASSERT_EQ(editor.History().count(), stepsBefore + 1);
    EXPECT_EQ(editor.UndoMenuText(), std::string("Undo ") + GetText(name));

    ASSERT_TRUE(editor.Undo());
    EXPECT_TRUE(Bytes() == before);
    EXPECT_EQ(list.FilePath(), path);
    EXPECT_EQ(RowNames(editor.Channels()), rowsBefore);
    EXPECT_EQ(editor.Channels().SelectedRows(), selectedBefore);
    EXPECT_EQ(editor.RedoMenuText(), std::string("Redo ") + GetText(name));
    ASSERT_TRUE(editor.Redo());
    EXPECT_TRUE(Bytes() == after);
    EXPECT_EQ(list.FilePath(), pathAfter);
  }
  // Undo all the way back, then nothing more to undo.
  const int steps = editor.History().count();
  for (int i = 0; i < steps; ++i) ASSERT_TRUE(editor.Undo());
  EXPECT_FALSE(editor.Undo());
  EXPECT_EQ(editor.UndoMenuText(), "Undo");
  EXPECT_EQ(list.FilePath(), "/tmp/list.xml");
  EXPECT_EQ(prompt.PendingAnswers(), 0u);
}

TEST_F(UndoRedo, ViewsComeBackAndRefusedActionsLeaveNoStep) {
  editor.ToggleTvRadio();
  editor.HeaderClick(kColServiceName);  // descending: the number sort went first
  SelectNumbers(editor.Channels(), {1, 3});
  ShowGroup(list.RadioFavorites().empty() ? FirstTvGroup() : list.RadioFavorites().front().get());
  editor.SetTopRows(4, 1);
  const auto rows = RowNames(editor.Channels());
  const FavoriteGroup* shownGroup = editor.Members().Group();
  const std::string groupName = shownGroup->Name;

  prompt.SetNextAnswer(false);
  EXPECT_FALSE(editor.Perform(131, [&] { return editor.DeleteChannels(); }));
  EXPECT_EQ(editor.History().count(), 0);
  prompt.SetNextAnswer(true);
  EXPECT_TRUE(editor.Perform(131, [&] { return editor.DeleteChannels(); }));
  editor.ToggleTvRadio();
  editor.SetTopRows(0, 0);

  ASSERT_TRUE(editor.Undo());
  EXPECT_EQ(editor.CurrentKind(), ServiceKind::Radio);
  EXPECT_EQ(RowNames(editor.Channels()), rows);
  EXPECT_EQ(editor.Channels().SortColumn(), kColServiceName);
  EXPECT_FALSE(editor.Channels().SortedAscending());
  EXPECT_EQ(editor.Channels().SelectedCount(), 2u);
  ASSERT_NE(editor.Tree().SelectedGroup(), nullptr);
  EXPECT_EQ(editor.Tree().SelectedGroup()->Name, groupName);
  EXPECT_EQ(editor.Members().Group(), editor.Tree().SelectedGroup());
  EXPECT_EQ(editor.TopChannelRow(), 4);
  EXPECT_EQ(editor.TopServiceRow(), 1);
}

TEST_F(UndoRedo, UndoAfterSaveMakesTheListUnsavedAgain) {
  std::vector<bool> heard;
  editor.SetModifiedListener([&](bool modified) { heard.push_back(modified); });
  SelectNumbers(editor.Channels(), {1});
  editor.Perform(136, [&] { editor.SetLocked(true); });
  EXPECT_TRUE(editor.IsModified());
  // Save inside a step (the writer may renumber first): the saved state is after it.
  editor.Perform(2, [&] {
    editor.HeaderClick(kColServiceName);
    editor.Renumber();
    editor.SetModified(false);
  });
  EXPECT_FALSE(editor.IsModified());
  ASSERT_TRUE(editor.Undo());
  EXPECT_TRUE(editor.IsModified());
  ASSERT_TRUE(editor.Redo());
  EXPECT_FALSE(editor.IsModified());
  ASSERT_TRUE(editor.Undo());
  ASSERT_TRUE(editor.Undo());
  EXPECT_TRUE(editor.IsModified());  // before any change, but not what was saved
  // A new change after an undo drops the saved state for good.
  editor.Perform(138, [&] { editor.SetSkipped(true); });
  while (editor.Undo()) EXPECT_TRUE(editor.IsModified());
  EXPECT_EQ(heard, (std::vector<bool>{true, false, true, false, true}));
}

TEST_F(UndoRedo, TheBudgetDropsTheOldestStepsAndKeepsTheSavedOne) {
  const auto lockStep = [&](int number) {
    SelectNumbers(editor.Channels(), {10 + number});  // 11..19 are not locked yet
    editor.Perform(136, [&] { editor.SetLocked(true); });
  };
  lockStep(1);
  const std::size_t oneStep = editor.UndoBytes();
  editor.SetUndoBudget(oneStep * 3);
  std::vector<std::string> states{Bytes()};
  for (int n = 2; n <= 8; ++n) {
    lockStep(n);
    states.push_back(Bytes());
    if (n == 6) editor.SetModified(false);
    EXPECT_LE(editor.UndoBytes(), oneStep * 3);
  }
  const int kept = editor.History().count();
  EXPECT_GE(kept, 2);
  EXPECT_LT(kept, 7);
  int undone = 0;
  while (editor.Undo()) {
    ++undone;
    EXPECT_TRUE(Bytes() == states[states.size() - 1 - static_cast<std::size_t>(undone)]) << undone;
    EXPECT_EQ(editor.IsModified(), states.size() - 1 - static_cast<std::size_t>(undone) != 5) << undone;
  }
  EXPECT_EQ(undone, kept);

  // The step count is bounded too.
  editor.SetUndoBudget(CChannelEditor::kUndoBudget);
  SelectNumbers(editor.Channels(), {10});
  for (int i = 0; i < CChannelEditor::kUndoSteps + 5; ++i) {
    editor.Perform(136, [&] { editor.SetLocked(i % 2 == 0); });
  }
  EXPECT_EQ(editor.History().count(), CChannelEditor::kUndoSteps);
}

}  // namespace
}  // namespace vantrel::channels
