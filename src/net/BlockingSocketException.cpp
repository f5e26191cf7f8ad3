#include "net/BlockingSocketException.h"

#include <cerrno>
#include <cstdio>
#include <utility>

namespace nsSocket {

CBlockingSocketException::CBlockingSocketException(std::string message)
    : m_errorCode(errno), m_message(std::move(message)) {}

CBlockingSocketException::CBlockingSocketException(std::string message, int errorCode)
    : m_errorCode(errorCode), m_message(std::move(message)) {}

std::string CBlockingSocketException::GetErrorMessage() const {
  char buffer[512];
  if (!GetErrorMessage(buffer, sizeof buffer, nullptr)) return {};
  return buffer;
}

bool CBlockingSocketException::GetErrorMessage(char* buffer, unsigned capacity, unsigned* /*helpContext*/) const {
  if (buffer == nullptr) return false;
  // " error 0x" plus eight digits plus the terminator is 18; " error" plus the terminator is 7.
  const std::size_t needed = m_message.size() + (m_errorCode != 0 ? 18 : 7);
  if (capacity < needed) return false;
  if (m_errorCode != 0) {
    std::snprintf(buffer, capacity, "%s error 0x%08x", m_message.c_str(), static_cast<unsigned>(m_errorCode));
  } else {
    std::snprintf(buffer, capacity, "%s error", m_message.c_str());
  }
  return true;
}

}  // namespace nsSocket
