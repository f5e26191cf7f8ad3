#include "channels/INumberInput.h"

#include "core/Format.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr int kTextEnterStart = 60;
constexpr int kTextStartTitle = 176;
constexpr int kTextMoveTitle = 177;
constexpr int kTextEnterTarget = 178;
constexpr int kTextRange = 179;
constexpr int kTextSelectedTarget = 180;

}  // namespace

NumberRequest MakeNumberRequest(NumberInputMode mode, int rowCount, std::function<bool(int)> isSelected) {
  NumberRequest r;
  r.mode = mode;
  r.minimum = 1;
  r.maximum = mode == NumberInputMode::Lcn ? kMaxLcn - rowCount : rowCount;
  if (mode == NumberInputMode::Move) r.isSelected = std::move(isSelected);
  return r;
}

std::string CheckNumberInput(const NumberRequest& request, int value) {
  if (value < request.minimum || value > request.maximum) return Format(GetText(kTextRange), request.maximum);
  if (request.mode == NumberInputMode::Move && request.isSelected && request.isSelected(value)) {
    return GetText(kTextSelectedTarget);
  }
  return {};
}

std::string NumberInputTitle(NumberInputMode mode) {
  return GetText(mode == NumberInputMode::Move ? kTextMoveTitle : kTextStartTitle);
}

std::string NumberInputPrompt(NumberInputMode mode) {
  return GetText(mode == NumberInputMode::Move ? kTextEnterTarget : kTextEnterStart);
}

}  // namespace vantrel::channels
