#pragma once
// One reply of the server: its whole text (the lines of a multi-line reply
// joined by "\r\n") and its three-character code, empty when the text does
// not start with a valid code.
#include <string>

namespace nsFTP {

class CServerReply {
 public:
  CServerReply() = default;
  // Takes the text and derives the code from its first three characters.
  explicit CServerReply(std::string text) { Set(std::move(text)); }

  // Returns whether the text starts with a valid code: first digit 1-5,
  // second 0-5, the third anything.
  bool Set(std::string text);
  void Clear();

  const std::string& Value() const { return m_text; }
  const std::string& Code() const { return m_code; }
  bool IsValid() const { return !m_code.empty(); }
  // '1'..'5', or 0 for an invalid reply.
  char Class() const { return m_code.empty() ? '\0' : m_code[0]; }

  // The status of the command operations: 0 for class 2, 1 for class 4 or 5,
  // -1 for anything else (class 1 or 3, no valid reply).
  int Status() const;

 private:
  std::string m_text;
  std::string m_code;
};

}  // namespace nsFTP
