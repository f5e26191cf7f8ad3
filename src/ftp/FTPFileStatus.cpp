#include "ftp/FTPFileStatus.h"

#include <cstring>
#include <ostream>

namespace nsFTP {

CShortText& CShortText::operator=(const CShortText& other) {
  if (this != &other) assign(other.data(), other.size());
  return *this;
}

void CShortText::assign(const char* text, std::size_t length) {
  if (length <= kInline) {
    unsigned char bytes[16] = {};
    std::memcpy(bytes, text, length);  // copied first: the text may be our own
    clear();
    std::memcpy(m_bytes, bytes, sizeof bytes);
    m_bytes[kInline] = static_cast<unsigned char>(length);
    return;
  }
  char* heap = new char[length];  // owned through m_bytes, released by clear()
  std::memcpy(heap, text, length);
  clear();
  const std::uint32_t size = static_cast<std::uint32_t>(length);
  std::memcpy(m_bytes, &heap, sizeof heap);
  std::memcpy(m_bytes + 8, &size, sizeof size);
  m_bytes[kInline] = kOnHeap;
}

void CShortText::clear() {
  if (m_bytes[kInline] == kOnHeap) {
    char* heap = nullptr;
    std::memcpy(&heap, m_bytes, sizeof heap);
    delete[] heap;
  }
  std::memset(m_bytes, 0, sizeof m_bytes);
}

std::size_t CShortText::size() const {
  if (m_bytes[kInline] != kOnHeap) return m_bytes[kInline];
  std::uint32_t size = 0;
  std::memcpy(&size, m_bytes + 8, sizeof size);
  return size;
}

const char* CShortText::data() const {
  if (m_bytes[kInline] != kOnHeap) return reinterpret_cast<const char*>(m_bytes);
  const char* heap = nullptr;
  std::memcpy(&heap, m_bytes, sizeof heap);
  return heap;
}

std::ostream& operator<<(std::ostream& out, const CShortText& text) { return out << std::string_view(text); }

const std::string& CFTPFileStatus::Path() const {
  static const std::string kNone;
  return m_path ? *m_path : kNone;
}

void CFTPFileStatus::Reset() {
  m_name.clear();
  m_path.reset();
  m_isDirectory = false;
  m_isFile = false;
  m_sizeKind = kSizeUnknown;
  m_size = -1;
  m_timeKind = kTimeUnknown;
  m_time = 0;
  m_attributes.clear();
  m_owner.clear();
  m_group.clear();
  m_links.clear();
  m_idKind = kIdUnknown;
  m_id.clear();
}

}  // namespace nsFTP
