#pragma once
// Every question and message to the user goes through this interface, so the
// logic behind a window runs in a test with scripted answers and no screen.
#include <memory>
#include <string>

namespace vantrel {

enum class PromptIcon { None, Information, Warning, Error, Question };

// The answer to the question about unsaved work.
enum class SaveAnswer { Save, Discard, Cancel };

// The answer to the question whether an existing file or folder is replaced.
enum class ReplaceAnswer { Yes, YesToAll, Skip, Cancel };

class IPrompt {
 public:
  virtual ~IPrompt() = default;
  // Yes/No question; true means Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
  // Save / Discard / Cancel about unsaved work. A prompt that cannot put the
  // question to anyone answers Cancel, so nothing is lost unseen.
  virtual SaveAnswer AskSaveDiscardCancel(const std::string& text, const std::string& caption) {
    (void)text;
    (void)caption;
    return SaveAnswer::Cancel;
  }
  // Yes / Yes to all / Skip / Cancel about replacing what exists. A prompt
  // that cannot put the question to anyone answers Cancel: nothing is replaced unseen.
  virtual ReplaceAnswer AskReplace(const std::string& text, const std::string& caption) {
    (void)text;
    (void)caption;
    return ReplaceAnswer::Cancel;
  }
  // A message with one OK button.
  virtual void Show(const std::string& text, const std::string& caption, PromptIcon icon) = 0;

  void Inform(const std::string& text, const std::string& caption) { Show(text, caption, PromptIcon::Information); }
  void Warn(const std::string& text, const std::string& caption) { Show(text, caption, PromptIcon::Warning); }
  void Error(const std::string& text, const std::string& caption) { Show(text, caption, PromptIcon::Error); }
};

// The process-wide prompt. Until a window layer installs its own, messages go
// to standard error and questions are answered No (safe for a tool without a
// screen: nothing destructive happens on a question nobody saw).
IPrompt& GetPrompt();
// Installs a prompt and returns the previous one; the caller keeps ownership.
IPrompt* SetPrompt(IPrompt* prompt);

// Messages captioned the way the whole application captions them:
// errors "ERROR" (287), notices "Info" (291), questions "Confirm" (292).
void ShowErrorText(const std::string& text);
void ShowInfoText(const std::string& text);
bool AskConfirmText(const std::string& text);
SaveAnswer AskSaveText(const std::string& text);

}  // namespace vantrel
