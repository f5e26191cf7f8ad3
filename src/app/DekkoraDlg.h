#pragma once
// The launcher: the application's main window, a row of image buttons that
// open the manager windows. It owns at most one window of each kind.
#include <QDialog>
#include <QPointer>
#include <array>
#include <functional>

#include "ui/controls/ManagerWindow.h"

namespace vantrel::ui {
class CButtonST;
}

class QUrl;

namespace vantrel::app {

enum class ManagerKind { Channel = 0, FileMgr = 1, Records = 2, Settings = 3 };

class CDekkoraDlg : public QDialog {
  Q_OBJECT
 public:
  // Creates a manager window as a child of the launcher.
  using Factory = std::function<ui::CManagerWindow*(QWidget* parent)>;

  explicit CDekkoraDlg(QWidget* parent = nullptr);
  ~CDekkoraDlg() override;

  // Later windows register how they are made; a kind with no factory gets a
  // plain manager window with its title.
  void SetFactory(ManagerKind kind, Factory factory);

  ui::CButtonST* Button(int id) const;
  ui::CManagerWindow* Manager(ManagerKind kind) const;

  // Button actions, also reachable from tests.
  void OpenManager(ManagerKind kind);
  void OpenHelp();
  void ShowAbout();

  // Closing the launcher ends the application: each manager window first
  // asks about its unsaved work or running transfer. False keeps it running.
  bool MayQuit();

  // Where Help finds the manual; tests point it at their own folder.
  static std::string ManualFolder();

  // How Help opens the manual page; false when nothing could show it. The
  // default is the desktop's browser; tests make it fail.
  using UrlOpener = std::function<bool(const QUrl& url)>;
  void SetUrlOpener(UrlOpener opener);

 Q_SIGNALS:
  void helpRequested(const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // The close box: the application ends only when every manager window agrees.
  void reject() override;
  // Escape alone never ends the application.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SetUpButtons();
  void ManagerClosed(ManagerKind kind);
  static int ButtonOf(ManagerKind kind);

  std::array<Factory, 4> m_factories;
  std::array<QPointer<ui::CManagerWindow>, 4> m_managers;
  UrlOpener m_openUrl;
  bool m_placed = false;
};

}  // namespace vantrel::app
