#include "app/ManagerWindows.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "app/DekkoraDlg.h"
#include "app/DlgSettings.h"
#include "ui/channel/DlgChannel.h"
#include "ui/filemgr/DlgFileMgr.h"
#include "ui/records/DlgRecordMgr.h"

namespace vantrel::app {

unsigned short FileManagerPort(const char* override) {
  if (override == nullptr || *override == '\0') return ui::CDlgFileMgr::kFtpPort;
  unsigned value = 0;
  const char* end = override + std::strlen(override);
  const auto [next, error] = std::from_chars(override, end, value);
  if (error != std::errc() || next != end || value == 0 || value > 65535) return ui::CDlgFileMgr::kFtpPort;
  return static_cast<unsigned short>(value);
}

void RegisterManagerWindows(CDekkoraDlg& launcher) {
  const unsigned short fileManagerPort = FileManagerPort(std::getenv("VANTREL_FILEMGR_PORT"));
  launcher.SetFactory(ManagerKind::Channel,
                      [](QWidget* parent) -> ui::CManagerWindow* { return new ui::CDlgChannel(parent); });
  launcher.SetFactory(ManagerKind::FileMgr, [fileManagerPort](QWidget* parent) -> ui::CManagerWindow* {
    return new ui::CDlgFileMgr(parent, fileManagerPort);
  });
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
