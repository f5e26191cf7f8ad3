#pragma once
// A transfer target in memory, used for listings. Copies share one state.
#include <string>

#include "ftp/FTPClient.h"
#include "ftp/SmartPointer.h"

namespace nsFTP {

class COutputStream final : public CFTPClient::ITransferNotification {
 public:
  // A listing larger than this is refused rather than filling the memory.
  static constexpr std::size_t kMaxBytes = 64 * 1024 * 1024;

  COutputStream(const std::string& lineEnd, const std::string& name);

  std::string GetName() const override;
  std::int64_t GetSize() override;
  void Seek(std::int64_t offset) override;
  bool PutData(const char* data, int count) override;
  bool GetData(char* destination, int capacity, int& count) override;

  void SetStartPosition() { Seek(0); }
  // The next line without its end. Lines may end with the line end or with
  // LF alone, and a last line without an end is delivered too.
  bool GetNextLine(std::string& line);
  const std::string& GetBuffer() const;

 private:
  class CPimpl;
  nsSmartPointer::RCIPtr<CPimpl> m_pimpl;
};

}  // namespace nsFTP
