#include "ui/controls/QtPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include "core/TextTable.h"

namespace vantrel::ui {
namespace {

constexpr int kTextSave = 2;
constexpr int kTextSkip = 25;
constexpr int kTextCancel = 272;
constexpr int kTextDiscard = 347;
constexpr int kTextYes = 354;
constexpr int kTextYesToAll = 355;

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::optional<std::string> Answer(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

// Room the title bar takes beside the caption: its icon, the close button and
// the frame, generous enough for the common window managers' themes.
constexpr int kTitleBarExtra = 140;

}  // namespace

int CaptionWidth(const QString& caption) {
  const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::TitleFont));
  return metrics.horizontalAdvance(caption) + kTitleBarExtra;
}

void KeepCaptionWhole(QMessageBox& box) {
  // A short message makes a narrow box, and the window manager then cuts the
  // caption ("ER...R"). QMessageBox sizes itself from its grid, so a spacer
  // row as wide as the caption widens it; setMinimumWidth would be ignored.
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  const int width = CaptionWidth(box.windowTitle());
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                grid->columnCount());
}

QWidget* MessageOwner() { return QApplication::activeWindow(); }

bool CQtPrompt::AskYesNo(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No, MessageOwner());
  box.setWindowModality(Qt::ApplicationModal);
  box.setDefaultButton(QMessageBox::Yes);
  KeepCaptionWhole(box);
  return box.exec() == QMessageBox::Yes;
}

SaveAnswer CQtPrompt::AskSaveDiscardCancel(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, MessageOwner());
  box.setWindowModality(Qt::ApplicationModal);
  // The three buttons speak the user's language.
  box.button(QMessageBox::Save)->setText(Q(GetText(kTextSave)));
  box.button(QMessageBox::Discard)->setText(Q(GetText(kTextDiscard)));
  box.button(QMessageBox::Cancel)->setText(Q(GetText(kTextCancel)));
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  KeepCaptionWhole(box);
  switch (box.exec()) {
    case QMessageBox::Save: return SaveAnswer::Save;
    case QMessageBox::Discard: return SaveAnswer::Discard;
    default: return SaveAnswer::Cancel;
  }
}

ReplaceAnswer CQtPrompt::AskReplace(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::NoButton, MessageOwner());
  box.setWindowModality(Qt::ApplicationModal);
  // The four buttons speak the user's language.
  QPushButton* yes = box.addButton(Q(GetText(kTextYes)), QMessageBox::YesRole);
  QPushButton* yesToAll = box.addButton(Q(GetText(kTextYesToAll)), QMessageBox::YesRole);
  QPushButton* skip = box.addButton(Q(GetText(kTextSkip)), QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(Q(GetText(kTextCancel)), QMessageBox::RejectRole);
  box.setDefaultButton(skip);
  box.setEscapeButton(cancel);
  KeepCaptionWhole(box);
  box.exec();
  const QAbstractButton* chosen = box.clickedButton();
  if (chosen == yes) return ReplaceAnswer::Yes;
  if (chosen == yesToAll) return ReplaceAnswer::YesToAll;
  if (chosen == skip) return ReplaceAnswer::Skip;
  return ReplaceAnswer::Cancel;
}

void CQtPrompt::Show(const std::string& text, const std::string& caption, PromptIcon icon) {
  QMessageBox::Icon qicon = QMessageBox::NoIcon;
  switch (icon) {
    case PromptIcon::Information: qicon = QMessageBox::Information; break;
    case PromptIcon::Warning: qicon = QMessageBox::Warning; break;
    case PromptIcon::Error: qicon = QMessageBox::Critical; break;
    case PromptIcon::Question: qicon = QMessageBox::Question; break;
    case PromptIcon::None: break;
  }
  QMessageBox box(qicon, Q(caption), Q(text), QMessageBox::Ok, MessageOwner());
  box.setWindowModality(Qt::ApplicationModal);
  KeepCaptionWhole(box);
  box.exec();
}

void CQtBusyIndicator::Begin() { QApplication::setOverrideCursor(Qt::WaitCursor); }
void CQtBusyIndicator::End() { QApplication::restoreOverrideCursor(); }

std::optional<std::string> CQtFileDialogs::GetOpenFileName(const std::string& title, const std::string& folder,
                                                           const std::string& filter) {
  return Answer(QFileDialog::getOpenFileName(MessageOwner(), Q(title), Q(folder), Q(filter)));
}

std::optional<std::string> CQtFileDialogs::GetSaveFileName(const std::string& title, const std::string& path,
                                                           const std::string& filter) {
  return Answer(QFileDialog::getSaveFileName(MessageOwner(), Q(title), Q(path), Q(filter)));
}

std::optional<std::string> CQtFileDialogs::BrowseForFolder(const std::string& title, const std::string& folder) {
  return Answer(QFileDialog::getExistingDirectory(MessageOwner(), Q(title), Q(folder), QFileDialog::ShowDirsOnly));
}

void InstallQtServices() {
  static CQtPrompt prompt;
  static CQtBusyIndicator busy;
  static CQtFileDialogs dialogs;
  SetPrompt(&prompt);
  SetBusyIndicator(&busy);
  SetFileDialogs(&dialogs);
}

}  // namespace vantrel::ui
