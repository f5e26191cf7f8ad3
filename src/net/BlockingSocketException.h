#pragma once
// What every failing socket call throws: the name of the failed operation and
// the socket error code of the moment it failed.
#include <string>

namespace nsSocket {

class CBlockingSocketException {
 public:
  // Takes the calling thread's current error code (errno).
  explicit CBlockingSocketException(std::string message);
  CBlockingSocketException(std::string message, int errorCode);
  CBlockingSocketException(const CBlockingSocketException&) = default;
  CBlockingSocketException& operator=(const CBlockingSocketException&) = default;
  virtual ~CBlockingSocketException() = default;

  // "<message> error 0x%08x", or "<message> error" when the code is 0; empty
  // when the text does not fit 512 bytes.
  virtual std::string GetErrorMessage() const;
  // The same text into a caller's buffer; false, writing nothing, when it
  // does not fit. The help context is never written.
  virtual bool GetErrorMessage(char* buffer, unsigned capacity, unsigned* helpContext) const;

  const std::string& GetMessage() const { return m_message; }
  int GetErrorCode() const { return m_errorCode; }

 private:
  int m_errorCode;
  std::string m_message;
};

}  // namespace nsSocket
