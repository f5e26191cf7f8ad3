#include "support/ScriptedPrompt.h"

#include <gtest/gtest.h>

namespace vantrel::test {

ScriptedPrompt::ScriptedPrompt() : m_previous(SetPrompt(this)) {}

ScriptedPrompt::~ScriptedPrompt() { SetPrompt(m_previous); }

bool ScriptedPrompt::AskYesNo(const std::string& text, const std::string& caption) {
  m_records.push_back({text, caption, PromptIcon::Question, true});
  if (m_answers.empty()) {
    ADD_FAILURE() << "unexpected question: " << text;
    return false;
  }
  const bool answer = m_answers.front();
  m_answers.pop_front();
  return answer;
}

SaveAnswer ScriptedPrompt::AskSaveDiscardCancel(const std::string& text, const std::string& caption) {
  m_records.push_back({text, caption, PromptIcon::Question, true});
  if (m_saveAnswers.empty()) {
    ADD_FAILURE() << "unexpected Save/Discard/Cancel question: " << text;
    return SaveAnswer::Cancel;
  }
  const SaveAnswer answer = m_saveAnswers.front();
  m_saveAnswers.pop_front();
  return answer;
}

ReplaceAnswer ScriptedPrompt::AskReplace(const std::string& text, const std::string& caption) {
  m_records.push_back({text, caption, PromptIcon::Question, true});
  if (m_replaceAnswers.empty()) {
    ADD_FAILURE() << "unexpected replace question: " << text;
    return ReplaceAnswer::Cancel;
  }
  const ReplaceAnswer answer = m_replaceAnswers.front();
  m_replaceAnswers.pop_front();
  return answer;
}

void ScriptedPrompt::Show(const std::string& text, const std::string& caption, PromptIcon icon) {
  m_records.push_back({text, caption, icon, false});
}

}  // namespace vantrel::test
