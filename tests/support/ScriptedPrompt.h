#pragma once
// A prompt with answers queued in advance; it records every message shown.
// A question with no queued answer fails the test and is answered No (a
// Save / Discard / Cancel question: Cancel; a replace question: Cancel).
#include <deque>
#include <string>
#include <vector>

#include "core/Prompt.h"

namespace vantrel::test {

struct PromptRecord {
  std::string text;
  std::string caption;
  PromptIcon icon;
  bool question;
};

class ScriptedPrompt final : public IPrompt {
 public:
  ScriptedPrompt();            // installs itself
  ~ScriptedPrompt() override;  // restores the previous prompt
  ScriptedPrompt(const ScriptedPrompt&) = delete;
  ScriptedPrompt& operator=(const ScriptedPrompt&) = delete;

  void SetNextAnswer(bool yes) { m_answers.push_back(yes); }
  void SetNextSaveAnswer(SaveAnswer answer) { m_saveAnswers.push_back(answer); }
  void SetNextReplaceAnswer(ReplaceAnswer answer) { m_replaceAnswers.push_back(answer); }

  bool AskYesNo(const std::string& text, const std::string& caption) override;
  SaveAnswer AskSaveDiscardCancel(const std::string& text, const std::string& caption) override;
  ReplaceAnswer AskReplace(const std::string& text, const std::string& caption) override;
  void Show(const std::string& text, const std::string& caption, PromptIcon icon) override;

  const std::vector<PromptRecord>& Records() const { return m_records; }
  std::size_t PendingAnswers() const { return m_answers.size() + m_saveAnswers.size() + m_replaceAnswers.size(); }
  void Clear() { m_records.clear(); }

 private:
  IPrompt* m_previous;
  std::deque<bool> m_answers;
  std::deque<SaveAnswer> m_saveAnswers;
  std::deque<ReplaceAnswer> m_replaceAnswers;
  std::vector<PromptRecord> m_records;
};

}  // namespace vantrel::test
