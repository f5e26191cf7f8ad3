#include "app/ManagerWindows.h"

#include "app/DekkoraDlg.h"
#include "ui/channel/DlgChannel.h"

namespace vantrel::app {

void RegisterManagerWindows(CDekkoraDlg& launcher) {
  launcher.SetFactory(ManagerKind::Channel,
                      [](QWidget* parent) -> ui::CManagerWindow* { return new ui::CDlgChannel(parent); });
}

}  // namespace vantrel::app
