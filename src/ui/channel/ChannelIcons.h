#pragma once
// Icon numbers of the channel editor (resources/icons/<number>.svg).
namespace vantrel::ui {

inline constexpr int kIconTvService = 10130;
inline constexpr int kIconRadioService = 10131;
inline constexpr int kIconNumberedTv = 10132;
inline constexpr int kIconNumberedRadio = 10133;
inline constexpr int kIconTvGroup = 10134;
inline constexpr int kIconRadioGroup = 10135;
inline constexpr int kIconFastScanTvGroup = 10136;
inline constexpr int kIconFastScanRadioGroup = 10137;
inline constexpr int kIconMultiSelection = 10138;
inline constexpr int kIconSearch = 10139;
inline constexpr int kIconTvNode = 10140;
inline constexpr int kIconRadioNode = 10141;
inline constexpr int kIconChannelWindow = 20001;

}  // namespace vantrel::ui
