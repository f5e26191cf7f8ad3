// The number dialog: ranges by mode, the move target check, what an empty
// field gives, and the dialog run through its INumberInput face.
#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"
#include "ui/channel/DlgInputNumber.h"

using vantrel::channels::MakeNumberRequest;
using vantrel::channels::NumberInputMode;
using vantrel::ui::CDlgInputNumber;

namespace {

vantrel::test::IsolatedSettings g_isolated;

// Types the text and presses OK; true when the dialog accepted.
bool Enter(CDlgInputNumber& dlg, const QString& text) {
  dlg.setResult(0);
  dlg.NumberEdit()->setText(text);
  dlg.findChild<QPushButton*>("1")->click();
  return dlg.result() == QDialog::Accepted;
}

TEST(DlgInputNumber, MoveModeRangeAndSelectedTarget) {
  vantrel::test::ScriptedPrompt prompt;
  CDlgInputNumber dlg;
  // 50 channels, channel 20 among the selected ones.
  dlg.SetRequest(MakeNumberRequest(NumberInputMode::Move, 50, [](int position) { return position == 20; }));
  EXPECT_EQ(dlg.windowTitle(), "Channel Move");
  EXPECT_EQ(dlg.findChild<QLabel*>("10501")->text(), "Enter target channel number");

  for (const char* refused : {"0", "51", ""}) {
    prompt.Clear();
    EXPECT_FALSE(Enter(dlg, refused)) << refused;
    ASSERT_EQ(prompt.Records().size(), 1u) << refused;
    EXPECT_EQ(prompt.Records()[0].text, "Input Channel Range : 1 ~ 50");
    EXPECT_EQ(prompt.Records()[0].caption, "Info");
    EXPECT_EQ(prompt.Records()[0].icon, vantrel::PromptIcon::Information);
  }
  prompt.Clear();
  EXPECT_FALSE(Enter(dlg, "20"));
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text, "Selected channel can not be target number");
  EXPECT_EQ(dlg.GetValue(), 20);

  prompt.Clear();
  EXPECT_TRUE(Enter(dlg, "21"));
  EXPECT_TRUE(prompt.Records().empty());
  EXPECT_EQ(dlg.GetValue(), 21);
  EXPECT_TRUE(Enter(dlg, "50"));
  EXPECT_TRUE(Enter(dlg, "1"));
}

TEST(DlgInputNumber, WithoutSelectionTheMoveTargetIsFree) {
  vantrel::test::ScriptedPrompt prompt;
  CDlgInputNumber dlg;
  dlg.SetRequest(MakeNumberRequest(NumberInputMode::Move, 50, [](int) { return false; }));
  EXPECT_TRUE(Enter(dlg, "20"));
  EXPECT_TRUE(prompt.Records().empty());
}

TEST(DlgInputNumber, LcnModeLeavesRoomForEveryRow) {
  vantrel::test::ScriptedPrompt prompt;
  CDlgInputNumber dlg;
  dlg.SetRequest(MakeNumberRequest(NumberInputMode::Lcn, 100));
  EXPECT_EQ(dlg.windowTitle(), "Input Start Channel Number");
  EXPECT_EQ(dlg.findChild<QLabel*>("10501")->text(), "Enter start channel number");
  EXPECT_TRUE(Enter(dlg, "99899"));
  EXPECT_TRUE(Enter(dlg, "1"));
  EXPECT_TRUE(prompt.Records().empty());
  EXPECT_FALSE(Enter(dlg, "99900"));
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text, "Input Channel Range : 1 ~ 99899");
  // A number too long for any range is refused, not wrapped round.
  EXPECT_FALSE(Enter(dlg, "99999999999"));
}

TEST(DlgInputNumber, StartModeUsesTheRowCount) {
  vantrel::test::ScriptedPrompt prompt;
  CDlgInputNumber dlg;
  dlg.SetRequest(MakeNumberRequest(NumberInputMode::Start, 5));
  EXPECT_EQ(dlg.windowTitle(), "Input Start Channel Number");
  EXPECT_TRUE(Enter(dlg, "5"));
  EXPECT_FALSE(Enter(dlg, "6"));
  EXPECT_EQ(dlg.CheckValue(6), "Input Channel Range : 1 ~ 5");
  EXPECT_EQ(dlg.CheckValue(3), "");
}

TEST(DlgInputNumber, AskNumberRunsTheDialog) {
  vantrel::test::ScriptedPrompt prompt;
  CDlgInputNumber dlg;
  vantrel::channels::INumberInput& input = dlg;
  const auto request = MakeNumberRequest(NumberInputMode::Start, 10);

  // Typed as a user types: only digits reach the field.
  QTimer::singleShot(0, &dlg, [&dlg] {
    QTest::keyClicks(dlg.NumberEdit(), "a7x");
    QTest::keyClick(dlg.NumberEdit(), Qt::Key_Return);
  });
  EXPECT_EQ(input.AskNumber(request), 7);

  QTimer::singleShot(0, &dlg, [&dlg] {
    EXPECT_TRUE(dlg.NumberEdit()->text().isEmpty()) << "each question starts empty";
    dlg.findChild<QPushButton*>("2")->click();
  });
  EXPECT_EQ(input.AskNumber(request), std::nullopt);
  EXPECT_TRUE(prompt.Records().empty());
}

}  // namespace
