#pragma once
// The window layer's prompt, wait cursor and file dialogs, on Qt.
#include <QPointer>
#include <QString>
#include <QWidget>

class QMessageBox;

#include "core/FileDialogs.h"
#include "core/Prompt.h"
#include "core/WaitCursor.h"

namespace vantrel::ui {

class CQtPrompt final : public IPrompt {
 public:
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  SaveAnswer AskSaveDiscardCancel(const std::string& text, const std::string& caption) override;
  ReplaceAnswer AskReplace(const std::string& text, const std::string& caption) override;
  void Show(const std::string& text, const std::string& caption, PromptIcon icon) override;
};

class CQtBusyIndicator final : public IBusyIndicator {
 public:
  void Begin() override;
  void End() override;
};

class CQtFileDialogs final : public IFileDialogs {
 public:
  std::optional<std::string> GetOpenFileName(const std::string& title, const std::string& folder,
                                             const std::string& filter) override;
  std::optional<std::string> GetSaveFileName(const std::string& title, const std::string& path,
                                             const std::string& filter) override;
  std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& folder) override;
};

// Installs the three Qt implementations for the life of the application.
void InstallQtServices();

// Widens a message box so that its whole caption fits in the title bar.
void KeepCaptionWhole(QMessageBox& box);
// The width a title bar needs for the caption.
int CaptionWidth(const QString& caption);

// The window that owns modal messages: the active window, if any.
QWidget* MessageOwner();

}  // namespace vantrel::ui
