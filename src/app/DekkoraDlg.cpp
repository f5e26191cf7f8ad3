#include "app/DekkoraDlg.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QUrl>
#include <utility>

#include "app/AboutDlg.h"
#include "app/LauncherLayout.h"
#include "core/AppSettings.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "core/WaitCursor.h"
#include "ui/controls/ButtonST.h"
#include "ui/controls/WindowBackground.h"

namespace vantrel::app {
namespace {

QSize ScreenSize(const QWidget* widget) {
  const QScreen* screen = widget->screen() != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().size() : QSize(1024, 768);
}

// Text index of a manager window's title until the window sets its own.
int TitleText(ManagerKind kind) {
  switch (kind) {
    case ManagerKind::Channel: return 94;
    case ManagerKind::FileMgr: return 323;
    case ManagerKind::Records: return 324;
    case ManagerKind::Settings: return 314;
  }
  return 0;
}

// "No web browser could be started. The manual is at:\n%s"
constexpr int kTextNoBrowser = 382;

bool OpenInDesktop(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace

CDekkoraDlg::CDekkoraDlg(QWidget* parent) : QDialog(parent), m_openUrl(OpenInDesktop) {
  setObjectName(QStringLiteral("launcher"));
  setWindowTitle(QString::fromStdString(LauncherTitle(GetSettings().GetTargetVersion())));
  setWindowIcon(QIcon(QStringLiteral(":/icons/128.svg")));
  setWindowFlag(Qt::WindowMinimizeButtonHint, true);
  setFixedSize(555, 120);
  SetUpButtons();
}

CDekkoraDlg::~CDekkoraDlg() = default;

void CDekkoraDlg::SetUpButtons() {
  const int mode = GetConnectionState().m_mode;
  for (const auto& info : LauncherButtons()) {
    auto* button = new ui::CButtonST(this);
    button->setObjectName(QString::number(info.id));
    button->SetIcon(info.icon, info.icon, info.iconSize);
    button->SetColor(ui::CButtonST::BTNST_COLOR_BK_IN, Qt::white);
    button->SetColor(ui::CButtonST::BTNST_COLOR_BK_OUT, Qt::white);
    button->SetIconPosition(1);
    if (info.caption >= 0) button->setText(QString::fromUtf8(GetText(info.caption)));
    button->setEnabled(ButtonEnabledForMode(info.id, mode));
    if (info.shown) {
      button->setGeometry(info.rect);
      button->show();
    } else {
      button->hide();
    }
  }
  connect(Button(IDC_BTN_CHANNEL), &QAbstractButton::clicked, this, [this] { OpenManager(ManagerKind::Channel); });
  connect(Button(IDC_BTN_FILEMGR), &QAbstractButton::clicked, this, [this] { OpenManager(ManagerKind::FileMgr); });
  connect(Button(IDC_BTN_RECORDS), &QAbstractButton::clicked, this, [this] { OpenManager(ManagerKind::Records); });
  connect(Button(IDC_BTN_SETTINGS), &QAbstractButton::clicked, this, [this] { OpenManager(ManagerKind::Settings); });
  connect(Button(IDC_BTN_HELP), &QAbstractButton::clicked, this, [this] { OpenHelp(); });
}

void CDekkoraDlg::SetFactory(ManagerKind kind, Factory factory) {
  m_factories[static_cast<std::size_t>(kind)] = std::move(factory);
}

ui::CButtonST* CDekkoraDlg::Button(int id) const {
  return findChild<ui::CButtonST*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

ui::CManagerWindow* CDekkoraDlg::Manager(ManagerKind kind) const { return m_managers[static_cast<std::size_t>(kind)]; }

int CDekkoraDlg::ButtonOf(ManagerKind kind) {
  switch (kind) {
    case ManagerKind::Channel: return IDC_BTN_CHANNEL;
    case ManagerKind::FileMgr: return IDC_BTN_FILEMGR;
    case ManagerKind::Records: return IDC_BTN_RECORDS;
    case ManagerKind::Settings: return IDC_BTN_SETTINGS;
  }
  return 0;
}

void CDekkoraDlg::OpenManager(ManagerKind kind) {
  CWaitCursor wait;
  auto& slot = m_managers[static_cast<std::size_t>(kind)];
  const bool created = slot.isNull();
  if (created) {
    const auto& factory = m_factories[static_cast<std::size_t>(kind)];
    ui::CManagerWindow* window = factory ? factory(this) : nullptr;
    if (window == nullptr) {
      window = new ui::CManagerWindow(this);
      window->setWindowTitle(QString::fromUtf8(GetText(TitleText(kind))));
    }
    window->setWindowFlag(Qt::Window, true);
    connect(window, &ui::CManagerWindow::closed, this, [this, kind] { ManagerClosed(kind); });
    slot = window;
  }
  ui::CManagerWindow* window = slot;
  const QSize screen = ScreenSize(this);
  if (kind == ManagerKind::Settings) {
    if (!created) window->OnShownAgain();
    const QSize size = window->size();
    window->move((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2);
  } else {
    window->setGeometry(ManagerGeometry(screen));
    if (!created) window->OnShownAgain();
  }
  Button(ButtonOf(kind))->setEnabled(false);
  window->show();
  window->raise();
  window->activateWindow();
}

void CDekkoraDlg::ManagerClosed(ManagerKind kind) {
  const int id = ButtonOf(kind);
  Button(id)->setEnabled(ButtonEnabledForMode(id, GetConnectionState().m_mode));
}

std::string CDekkoraDlg::ManualFolder() {
  const QString appDir = QCoreApplication::applicationDirPath();
  const QStringList candidates = {
      appDir + QStringLiteral("/../share/doc/vantrel-manager/manual"),
      appDir + QStringLiteral("/../share/vantrel-manager/manual"),
      appDir + QStringLiteral("/manual"),
      QStringLiteral(VANTREL_SOURCE_DIR "/docs/manual"),
  };
  for (const QString& candidate : candidates) {
    if (QFileInfo::exists(candidate + QStringLiteral("/index.html"))) {
      return QDir::cleanPath(candidate).toStdString();
    }
  }
  return QDir::cleanPath(candidates.back()).toStdString();
}

void CDekkoraDlg::OpenHelp() {
  const std::string page = ManualPageName(GetSettings().GetLanguage());
  const QString path = QString::fromStdString(ManualFolder() + "/" + page);
  Q_EMIT helpRequested(path);
  // Without a browser the desktop only writes a line to standard error; the
  // user is told where the manual is instead.
  if (!m_openUrl(QUrl::fromLocalFile(path))) {
    ShowErrorText(Format(GetText(kTextNoBrowser), QDir::toNativeSeparators(path).toStdString().c_str()));
  }
}

void CDekkoraDlg::SetUrlOpener(UrlOpener opener) { m_openUrl = opener ? std::move(opener) : UrlOpener(OpenInDesktop); }

void CDekkoraDlg::ShowAbout() {
  CAboutDlg about(this);
  about.exec();
}

bool CDekkoraDlg::MayQuit() {
  for (const auto& manager : m_managers) {
    if (manager && !manager->MayQuit()) return false;
  }
  return true;
}

void CDekkoraDlg::reject() {
  if (MayQuit()) QDialog::reject();
}

void CDekkoraDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Cancel)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CDekkoraDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  ui::PaintWindowBackground(painter, rect());
}

void CDekkoraDlg::contextMenuEvent(QContextMenuEvent* event) {
  // The window manager's menu cannot be extended, so the about item lives here.
  QMenu menu(this);
  menu.addAction(QStringLiteral("&About Vantrel Manager..."), this, [this] { ShowAbout(); });
  menu.exec(event->globalPos());
}

void CDekkoraDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_placed) {
    m_placed = true;
    const QSize frame = frameGeometry().size();
    move(LauncherPosition(ScreenSize(this), frame));
  }
}

}  // namespace vantrel::app
