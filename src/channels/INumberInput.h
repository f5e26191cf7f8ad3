#pragma once
// The one number the channel editor asks for: the start of a manual
// numbering, the target of a move, or the first logical channel number of an
// automatic LCN numbering. The number dialog implements INumberInput and
// checks its input with CheckNumberInput before it closes; the operations
// check the answer again, so a test double needs no validation of its own.
#include <functional>
#include <optional>
#include <string>

namespace vantrel::channels {

enum class NumberInputMode : int { Start = 0, Move = 1, Lcn = 2 };

// The highest logical channel number; the first one asked for leaves room
// for every row of the channel list.
inline constexpr int kMaxLcn = 99999;

struct NumberRequest {
  NumberInputMode mode = NumberInputMode::Start;
  int minimum = 1;
  int maximum = 0;
  // Move mode: whether the row at a 1-based position is selected (a
  // selected row can not be the target).
  std::function<bool(int)> isSelected;
};

// Start and move mode: 1 .. rowCount; LCN mode: 1 .. 99999 - rowCount.
NumberRequest MakeNumberRequest(NumberInputMode mode, int rowCount, std::function<bool(int)> isSelected = {});

// Empty when the value is accepted; otherwise the message the dialog shows
// (caption "Info") while it stays open: "Input Channel Range : 1 ~ %d" with the
// upper bound, or "Selected channel can not be target number".
std::string CheckNumberInput(const NumberRequest& request, int value);

// The dialog's title and prompt for a mode.
std::string NumberInputTitle(NumberInputMode mode);
std::string NumberInputPrompt(NumberInputMode mode);

class INumberInput {
 public:
  virtual ~INumberInput() = default;
  // The number the user confirmed; nullopt on Cancel.
  virtual std::optional<int> AskNumber(const NumberRequest& request) = 0;
};

}  // namespace vantrel::channels
