#include "ui/controls/QtPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "core/TextTable.h"

namespace vantrel::ui {
namespace {

constexpr int kTextSave = 2;
constexpr int kTextCancel = 272;
constexpr int kTextDiscard = 347;
constexpr int kTextYesToAll = 371;
constexpr int kTextSkip = 372;

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::optional<std::string> Answer(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace

QWidget* MessageOwner() { return QApplication::activeWindow(); }

bool CQtPrompt::AskYesNo(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No, MessageOwner());
  box.setWindowModality(Qt::ApplicationModal);
  box.setDefaultButton(QMessageBox::Yes);
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
  switch (box.exec()) {
    case QMessageBox::Save: return SaveAnswer::Save;
    case QMessageBox::Discard: return SaveAnswer::Discard;
    default: return SaveAnswer::Cancel;
  }
}

ReplaceAnswer CQtPrompt::AskReplace(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Question, Q(caption), Q(text),
                  QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::Ignore | QMessageBox::Cancel, MessageOwner());
  box.setWindowModality(Qt::ApplicationModal);
  box.button(QMessageBox::YesToAll)->setText(Q(GetText(kTextYesToAll)));
  box.button(QMessageBox::Ignore)->setText(Q(GetText(kTextSkip)));
  box.button(QMessageBox::Cancel)->setText(Q(GetText(kTextCancel)));
  // Enter must not replace anything: the default is Skip.
  box.setDefaultButton(QMessageBox::Ignore);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes: return ReplaceAnswer::Yes;
    case QMessageBox::YesToAll: return ReplaceAnswer::YesToAll;
    case QMessageBox::Ignore: return ReplaceAnswer::Skip;
    default: return ReplaceAnswer::Cancel;
  }
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
