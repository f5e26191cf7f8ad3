// The editor's unsaved-changes flag: every editing operation sets it and
// tells the listener once; looking, sorting, switching the kind and refused
// operations leave it clear.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "EditTestUtil.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelEditor.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace vantrel::channels {
namespace {

using test::AddFastScanGroup;
using test::AddServices;
using test::RowOfNumber;
using test::ScriptedNumberInput;
using test::SelectNumbers;

class ModifiedFlag : public ::testing::Test {
 protected:
  void SetUp() override {
    AddServices(list, ServiceKind::Tv, 8, "Ch-");
    AddServices(list, ServiceKind::Radio, 3, "R");
    fastScan = AddFastScanGroup(list, ServiceKind::Tv, {4, 5});
    editor.ShowList();
    editor.SetModifiedListener([this](bool modified) { heard.push_back(modified); });
  }
  void ShowGroup(FavoriteGroup* group) {
    editor.Tree().SelectGroup(group);
    editor.ShowSelectedTreeItem();
  }

  vantrel::test::ScriptedPrompt prompt;
  ScriptedNumberInput numbers;
  ChannelList list;
  CChannelEditor editor{list};
  FavoriteGroup* fastScan = nullptr;
  std::vector<bool> heard;
};

TEST_F(ModifiedFlag, LookingSortingSwitchingAndRefusalsLeaveItClear) {
  SelectNumbers(editor.Channels(), {2});
  editor.HeaderClick(kColServiceName);
  editor.ClickRow(0);
  EXPECT_TRUE(editor.SearchChannel("ch-3"));
  editor.ToggleTvRadio();
  editor.ToggleTvRadio();
  SelectNumbers(editor.Channels(), {2});
  prompt.SetNextAnswer(false);
  EXPECT_FALSE(editor.DeleteChannels());
  numbers.Queue(std::nullopt);
  editor.SetContextRow(0);
  EXPECT_FALSE(editor.StartNumbering(numbers));
  EXPECT_FALSE(editor.IsModified());
  EXPECT_TRUE(heard.empty());
}

TEST_F(ModifiedFlag, EveryEditingOperationSetsItAndTellsTheListenerOnce) {
  FavoriteGroup* group = nullptr;
  const std::vector<std::pair<const char*, std::function<void()>>> operations = {
      {"lock",
       [&] {
         SelectNumbers(editor.Channels(), {1});
         editor.SetLocked(true);
       }},
      {"skip", [&] { editor.SetSkipped(true); }},
      {"renumber", [&] { editor.Renumber(); }},
      {"move to", [&] { EXPECT_TRUE(editor.MoveChannelsToNumber(3)); }},
      {"drop on a row",
       [&] {
         SelectNumbers(editor.Channels(), {1});
         EXPECT_TRUE(editor.MoveChannelsAfterRow(RowOfNumber(editor.Channels(), 6)));
       }},
      {"delete channel",
       [&] {
         SelectNumbers(editor.Channels(), {8});
         prompt.SetNextAnswer(true);
         EXPECT_TRUE(editor.DeleteChannels());
       }},
      {"add empty channel",
       [&] {
         editor.SetContextRow(0);
         EXPECT_TRUE(editor.AddEmptyChannel());
       }},
      {"service properties",
       [&] {
         Service* service = editor.Channels().ServiceAt(1);
         Service edited = *service;
         edited.Name = "Edited";
         editor.ChangeChannelNumber(*service, edited);
       }},
      {"numbering mode",
       [&] {
         numbers.Queue(1);
         editor.SetContextRow(2);
         ASSERT_TRUE(editor.StartNumbering(numbers));
         editor.EndNumbering();
       }},
      {"auto numbering",
       [&] {
         ShowGroup(fastScan);
         editor.Members().SetSelected(0, true);
         numbers.Queue(7);
         EXPECT_TRUE(editor.AutoNumberLcn(numbers));
       }},
      {"create group", [&] { group = editor.CreateFavoriteGroup(ServiceKind::Tv); }},
      {"add to group",
       [&] {
         SelectNumbers(editor.Channels(), {2, 3});
         EXPECT_EQ(editor.AddToFavoriteGroup(group), 2u);
       }},
      {"rename group", [&] { EXPECT_TRUE(editor.RenameFavoriteGroup(*group, "News")); }},
      {"reorder members",
       [&] {
         ShowGroup(group);
         editor.Members().SetSelected(1, true);
         EXPECT_TRUE(editor.ReorderGroupMembers(0));
       }},
      {"delete members",
       [&] {
         editor.Members().ClearSelection();
         editor.Members().SetSelected(0, true);
         prompt.SetNextAnswer(true);
         EXPECT_TRUE(editor.DeleteGroupMembers());
       }},
      {"remove from all groups",
       [&] {
         SelectNumbers(editor.Channels(), {2, 3});
         editor.RemoveFromAllFavoriteGroups();
       }},
      {"delete group", [&] { EXPECT_TRUE(editor.DeleteGroup(group)); }},
      {"new satellite", [&] { EXPECT_NE(editor.NewSatellite(), nullptr); }},
  };
  for (const auto& [name, operation] : operations) {
    editor.SetModified(false);
    heard.clear();
    operation();
    EXPECT_TRUE(editor.IsModified()) << name;
    EXPECT_EQ(heard, std::vector<bool>{true}) << name;
  }
  editor.SetModified(false);
  EXPECT_EQ(heard, (std::vector<bool>{true, false}));
  EXPECT_EQ(prompt.PendingAnswers(), 0u);
}

}  // namespace
}  // namespace vantrel::channels
