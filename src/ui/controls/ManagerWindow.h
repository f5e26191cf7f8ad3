#pragma once
// A manager window of the launcher: modeless, created once and re-shown.
// Closing it only hides it; the launcher hears of it through closed().
#include <QDialog>

namespace vantrel::ui {

class CManagerWindow : public QDialog {
  Q_OBJECT
 public:
  explicit CManagerWindow(QWidget* parent = nullptr);

  // Called by the launcher each time it shows the window again after its
  // first showing (the settings dialog re-fills itself, the recordings window
  // runs a pending refresh).
  virtual void OnShownAgain() {}
  // The application is about to end: the window asks what it must (unsaved
  // work, a running transfer) and answers whether the end may go ahead.
  virtual bool MayQuit() { return true; }

 Q_SIGNALS:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Escape and the dialog's Cancel hide the window like its close box.
  void reject() override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vantrel::ui
