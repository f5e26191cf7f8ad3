#include "core/Prompt.h"

#include <cstdio>

#include "core/TextTable.h"

namespace vantrel {
namespace {

class CConsolePrompt final : public IPrompt {
 public:
  bool AskYesNo(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s [answered No]\n", caption.c_str(), text.c_str());
    return false;
  }
  SaveAnswer AskSaveDiscardCancel(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s [answered Cancel]\n", caption.c_str(), text.c_str());
    return SaveAnswer::Cancel;
  }
  ReplaceAnswer AskReplace(const std::string& text, const std::string& caption) override {
    std::fprintf(stderr, "%s: %s [answered Cancel]\n", caption.c_str(), text.c_str());
    return ReplaceAnswer::Cancel;
  }
  void Show(const std::string& text, const std::string& caption, PromptIcon) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
};

CConsolePrompt g_consolePrompt;
IPrompt* g_prompt = &g_consolePrompt;

}  // namespace

IPrompt& GetPrompt() { return *g_prompt; }

IPrompt* SetPrompt(IPrompt* prompt) {
  IPrompt* previous = g_prompt;
  g_prompt = prompt != nullptr ? prompt : &g_consolePrompt;
  return previous;
}

void ShowErrorText(const std::string& text) { GetPrompt().Error(text, GetText(287)); }
void ShowInfoText(const std::string& text) { GetPrompt().Inform(text, GetText(291)); }
bool AskConfirmText(const std::string& text) { return GetPrompt().AskYesNo(text, GetText(292)); }
SaveAnswer AskSaveText(const std::string& text) { return GetPrompt().AskSaveDiscardCancel(text, GetText(292)); }
ReplaceAnswer AskReplaceText(const std::string& text) { return GetPrompt().AskReplace(text, GetText(292)); }

}  // namespace vantrel
