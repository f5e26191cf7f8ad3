#include "ftp/File.h"

#include <unistd.h>

#include <cerrno>

namespace nsFTP {

CFile::~CFile() { Close(); }

bool CFile::Open(const std::string& name, const std::string& mode) {
  Close();
  m_name = name;
  m_file = std::fopen(name.c_str(), mode.c_str());
  if (m_file == nullptr) return false;
  m_streamBuffer = std::make_unique<char[]>(kStreamBufferBytes);
  std::setvbuf(m_file, m_streamBuffer.get(), _IOFBF, kStreamBufferBytes);
  return true;
}

bool CFile::Attach(int handle, const std::string& name, const std::string& mode) {
  Close();
  m_name = name;
  m_file = ::fdopen(handle, mode.c_str());
  if (m_file == nullptr) {
    const int code = errno;
    ::close(handle);
    errno = code;
    return false;
  }
  m_streamBuffer = std::make_unique<char[]>(kStreamBufferBytes);
  std::setvbuf(m_file, m_streamBuffer.get(), _IOFBF, kStreamBufferBytes);
  return true;
}

bool CFile::Close(bool sync) {
  if (m_file == nullptr) return true;
  int code = 0;
  if (sync && (std::fflush(m_file) != 0 || ::fsync(::fileno(m_file)) != 0)) code = errno;
  if (std::fclose(m_file) != 0 && code == 0) code = errno;
  const bool ok = code == 0;
  if (!ok) errno = code;
  m_file = nullptr;
  m_streamBuffer.reset();
  return ok;
}

std::int64_t CFile::GetSize() {
  if (m_file == nullptr) return 0;
  const off_t here = ::ftello(m_file);
  if (::fseeko(m_file, 0, SEEK_END) != 0) return 0;
  const off_t size = ::ftello(m_file);
  ::fseeko(m_file, here, SEEK_SET);
  return size < 0 ? 0 : static_cast<std::int64_t>(size);
}

void CFile::Seek(std::int64_t offset) {
  if (m_file != nullptr) ::fseeko(m_file, static_cast<off_t>(offset), SEEK_SET);
}

bool CFile::PutData(const char* data, int count) {
  if (m_file == nullptr) {
    errno = EBADF;
    return false;
  }
  if (count <= 0) return true;
  return std::fwrite(data, 1, static_cast<std::size_t>(count), m_file) == static_cast<std::size_t>(count);
}

bool CFile::GetData(char* destination, int capacity, int& count) {
  count = 0;
  if (m_file == nullptr || capacity <= 0) return true;
  count = static_cast<int>(std::fread(destination, 1, static_cast<std::size_t>(capacity), m_file));
  return count > 0 || std::ferror(m_file) == 0;
}

}  // namespace nsFTP
