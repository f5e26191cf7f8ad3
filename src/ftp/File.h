#pragma once
// A local file as the source or target of a transfer. Writes and reads go
// through a large stream buffer so a transfer's 2048-byte chunks cost no
// system call each.
#include <cstdio>
#include <memory>
#include <string>

#include "ftp/FTPClient.h"

namespace nsFTP {

class CFile final : public CFTPClient::ITransferNotification {
 public:
  static constexpr std::size_t kStreamBufferBytes = 256 * 1024;

  CFile() = default;
  ~CFile() override;
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // "wb" creates or truncates (downloads), "rb" reads (uploads). false when
  // the file cannot be opened; errno tells why.
  bool Open(const std::string& name, const std::string& mode);
  // Takes over an open handle (closed with the file), known by `name`.
  bool Attach(int handle, const std::string& name, const std::string& mode);
  // false when buffered bytes could not be written; errno tells why. With
  // `sync` the bytes are on the disk before the file is closed.
  bool Close(bool sync = false);
  bool IsOpen() const { return m_file != nullptr; }

  std::string GetName() const override { return m_name; }
  std::int64_t GetSize() override;
  void Seek(std::int64_t offset) override;
  bool PutData(const char* data, int count) override;
  bool GetData(char* destination, int capacity, int& count) override;

 private:
  std::FILE* m_file = nullptr;
  std::string m_name;
  std::unique_ptr<char[]> m_streamBuffer;  // outlives the stream that uses it
};

}  // namespace nsFTP
