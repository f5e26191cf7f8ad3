#include "ftp/OutputStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace nsFTP {

class COutputStream::CPimpl {
 public:
  std::string m_lineEnd;
  std::string m_data;
  std::size_t m_position = 0;
  std::string m_name;
};

COutputStream::COutputStream(const std::string& lineEnd, const std::string& name)
    : m_pimpl(std::make_shared<CPimpl>()) {
  m_pimpl->m_lineEnd = lineEnd;
  m_pimpl->m_name = name;
}

std::string COutputStream::GetName() const { return m_pimpl->m_name; }
std::int64_t COutputStream::GetSize() { return static_cast<std::int64_t>(m_pimpl->m_data.size()); }
const std::string& COutputStream::GetBuffer() const { return m_pimpl->m_data; }

void COutputStream::Seek(std::int64_t offset) {
  const auto size = static_cast<std::int64_t>(m_pimpl->m_data.size());
  m_pimpl->m_position = static_cast<std::size_t>(std::clamp<std::int64_t>(offset, 0, size));
}

bool COutputStream::PutData(const char* data, int count) {
  if (count <= 0) return true;
  if (m_pimpl->m_data.size() + static_cast<std::size_t>(count) > kMaxBytes) {
    errno = EFBIG;
    return false;
  }
  m_pimpl->m_data.append(data, static_cast<std::size_t>(count));
  return true;
}

bool COutputStream::GetData(char* destination, int capacity, int& count) {
  const std::string& data = m_pimpl->m_data;
  const std::size_t left = data.size() - std::min(m_pimpl->m_position, data.size());
  const std::size_t n = std::min(left, static_cast<std::size_t>(std::max(capacity, 0)));
  if (n > 0) std::memcpy(destination, data.data() + m_pimpl->m_position, n);
  m_pimpl->m_position += n;
  count = static_cast<int>(n);
  return true;
}

bool COutputStream::GetNextLine(std::string& line) {
  const std::string& data = m_pimpl->m_data;
  std::size_t& position = m_pimpl->m_position;
  if (position >= data.size()) return false;
  // Without this a file named on the last line would vanish from a folder copy.
  const std::size_t end = data.find('\n', position);
  if (end == std::string::npos) {
    line.assign(data, position, std::string::npos);
    position = data.size();
  } else {
    line.assign(data, position, end - position);
    position = end + 1;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace nsFTP
