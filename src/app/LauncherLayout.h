#pragma once
// The launcher's arithmetic, apart from its window: title, placement of the
// launcher and of the manager windows, button enabling by connection mode.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>

namespace vantrel::app {

inline constexpr const char* kAppVersion = "V0.0.19";
inline constexpr const char* kProductName = "Vantrel Manager";

// Control ids of the launcher's buttons.
enum LauncherButton : int {
  IDC_BTN_CHANNEL = 10001,
  IDC_BTN_SPARE2 = 10002,
  IDC_BTN_FILEMGR = 10003,
  IDC_BTN_SPARE4 = 10004,
  IDC_BTN_RECORDS = 10005,
  IDC_BTN_SPARE6 = 10006,
  IDC_BTN_SPARE7 = 10007,
  IDC_BTN_HELP = 10008,
  IDC_BTN_SPARE9 = 10009,
  IDC_BTN_SETTINGS = 10010,
};

struct LauncherButtonInfo {
  int id;
  int icon;  // icon resource number
  QSize iconSize;
  int caption;  // text index, -1 for none
  bool shown;
  QRect rect;  // position of a shown button
};

// The ten buttons in the order the launcher sets them up.
const LauncherButtonInfo (&LauncherButtons())[10];

std::string LauncherTitle(const std::string& targetVersion);

// Top-left of the launcher: 30 pixels from the right and 70 from the bottom.
QPoint LauncherPosition(QSize screen, QSize window);

// A manager window: 1000x700 centred, or the whole screen when it is smaller.
QRect ManagerGeometry(QSize screen);

// Whether a launcher button is usable in a connection mode.
bool ButtonEnabledForMode(int id, int mode);

// The manual page for a language name: "ru.html" for Russian in any case.
std::string ManualPageName(const std::string& language);

}  // namespace vantrel::app
