#pragma once
#include <QDialog>

namespace vantrel::app {

// The about box: product name and version, the application icon, OK.
class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDC_VERSION = 102;
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace vantrel::app
