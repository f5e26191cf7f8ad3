#include "app/LauncherLayout.h"

#include "core/AppSettings.h"
#include "core/Format.h"
#include "core/StringUtil.h"

namespace vantrel::app {

const LauncherButtonInfo (&LauncherButtons())[10] {
  static const LauncherButtonInfo kButtons[10] = {
      {IDC_BTN_CHANNEL, 20001, {60, 60}, 87, true, {5, 10, 100, 100}},
      {IDC_BTN_SPARE2, 20002, {60, 60}, -1, false, {}},
      {IDC_BTN_FILEMGR, 20003, {60, 60}, 323, true, {115, 10, 100, 100}},
      {IDC_BTN_SPARE4, 20004, {60, 60}, -1, false, {}},
      {IDC_BTN_RECORDS, 20005, {60, 60}, 324, true, {225, 10, 100, 100}},
      {IDC_BTN_SPARE6, 20006, {48, 35}, -1, false, {}},
      {IDC_BTN_SPARE7, 20007, {60, 60}, -1, false, {}},
      {IDC_BTN_SETTINGS, 20172, {60, 60}, 314, true, {335, 10, 100, 100}},
      {IDC_BTN_HELP, 20157, {60, 60}, 329, true, {445, 10, 100, 100}},
      {IDC_BTN_SPARE9, 20158, {60, 60}, -1, false, {}},
  };
  return kButtons;
}

std::string LauncherTitle(const std::string& targetVersion) {
  if (targetVersion.empty()) return Format("Vantrel Manager(%s)", kAppVersion);
  return Format("Vantrel Manager(%s) - connected to %s", kAppVersion, targetVersion.c_str());
}

QPoint LauncherPosition(QSize screen, QSize window) {
  return {screen.width() - window.width() - 30, screen.height() - window.height() - 70};
}

QRect ManagerGeometry(QSize screen) {
  if (screen.width() >= 1000 && screen.height() >= 700) {
    return {(screen.width() - 1000) / 2, (screen.height() - 700) / 2, 1000, 700};
  }
  return {0, 0, screen.width(), screen.height()};
}

bool ButtonEnabledForMode(int id, int mode) {
  switch (id) {
    case IDC_BTN_FILEMGR:
    case IDC_BTN_RECORDS:
    case IDC_BTN_SPARE2:
    case IDC_BTN_SPARE4:
    case IDC_BTN_SPARE7: return mode != MODE_OFFLINE;
    default: return true;
  }
}

std::string ManualPageName(const std::string& language) {
  return EqualsIgnoreCase(language, "Russian") ? "ru.html" : "index.html";
}

}  // namespace vantrel::app
