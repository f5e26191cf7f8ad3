#include "app/ManagerWindows.h"

#include "app/DekkoraDlg.h"
#include "app/DlgSettings.h"
#include "ui/channel/DlgChannel.h"
#include "ui/filemgr/DlgFileMgr.h"
#include "ui/records/DlgRecordMgr.h"

namespace vantrel::app {

void RegisterManagerWindows(CDekkoraDlg& launcher) {
  launcher.SetFactory(ManagerKind::Channel,
                      [](QWidget* parent) -> ui::CManagerWindow* { return new ui::CDlgChannel(parent); });
  launcher.SetFactory(ManagerKind::FileMgr,
                      [](QWidget* parent) -> ui::CManagerWindow* { return new ui::CDlgFileMgr(parent); });
  launcher.SetFactory(ManagerKind::Records,
                      [](QWidget* parent) -> ui::CManagerWindow* { return new ui::CDlgRecordMgr(parent); });
  // The settings dialog tells the recordings window, when it exists, that the
  // record folder may have changed.
  launcher.SetFactory(ManagerKind::Settings, [&launcher](QWidget* parent) -> ui::CManagerWindow* {
    auto* settings = new CDlgSettings(parent);
    settings->SetClosedNotifier([&launcher] {
      if (auto* records = dynamic_cast<ui::CDlgRecordMgr*>(launcher.Manager(ManagerKind::Records))) {
        records->RecordDirectoryMayHaveChanged();
      }
    });
    return settings;
  });
}

}  // namespace vantrel::app
