#include "app/ManagerWindows.h"

#include "app/DekkoraDlg.h"
#include "ui/channel/DlgChannel.h"
#include "ui/filemgr/DlgFileMgr.h"

namespace vantrel::app {

void RegisterManagerWindows(CDekkoraDlg& launcher) {
  launcher.SetFactory(ManagerKind::Channel,
                      [](QWidget* parent) -> ui::CManagerWindow* { return new ui::CDlgChannel(parent); });
  launcher.SetFactory(ManagerKind::FileMgr,
                      [](QWidget* parent) -> ui::CManagerWindow* { return new ui::CDlgFileMgr(parent); });
}

}  // namespace vantrel::app
