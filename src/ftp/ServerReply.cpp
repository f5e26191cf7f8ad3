#include "ftp/ServerReply.h"

#include <utility>

namespace nsFTP {

bool CServerReply::Set(std::string text) {
  m_text = std::move(text);
  m_code.clear();
  if (m_text.size() < 3) return false;
  if (m_text[0] < '1' || m_text[0] > '5' || m_text[1] < '0' || m_text[1] > '5') return false;
  m_code = m_text.substr(0, 3);
  return true;
}

void CServerReply::Clear() {
  m_text.clear();
  m_code.clear();
}

int CServerReply::Status() const {
  switch (Class()) {
    case '2': return 0;
    case '4':
    case '5': return 1;
    default: return -1;
  }
}

}  // namespace nsFTP
