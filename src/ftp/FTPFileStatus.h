#pragma once
// One entry of a directory listing. A listing of a big folder holds millions
// of them, so an entry is kept small: its short fields live inside it and
// the listed directory is one text shared by every entry of a listing.
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ftp/SmartPointer.h"

namespace nsFTP {

// A text of up to 15 bytes kept in place (a longer one goes to the heap):
// 16 bytes where a std::string takes 32.
class CShortText {
 public:
  CShortText() = default;
  CShortText(const CShortText& other) { assign(other.data(), other.size()); }
  CShortText& operator=(const CShortText& other);
  ~CShortText() { clear(); }

  void assign(const char* text, std::size_t length);
  CShortText& operator=(std::string_view text) {
    assign(text.data(), text.size());
    return *this;
  }
  void clear();
  bool empty() const { return size() == 0; }
  std::size_t size() const;
  const char* data() const;
  char operator[](std::size_t i) const { return data()[i]; }
  std::string str() const { return std::string(data(), size()); }
  operator std::string_view() const { return {data(), size()}; }  // NOLINT: reads as a text
  friend bool operator==(const CShortText& a, std::string_view b) { return std::string_view(a) == b; }
  friend std::ostream& operator<<(std::ostream& out, const CShortText& text);

 private:
  static constexpr std::size_t kInline = 15;
  static constexpr unsigned char kOnHeap = 0xFF;
  // Bytes 0-14 the text, byte 15 its length; or, with byte 15 kOnHeap, a
  // pointer in bytes 0-7 and the length in bytes 8-11.
  unsigned char m_bytes[16] = {};
};

class CFTPFileStatus {
 public:
  enum SizeKind : std::int8_t { kSizeUnknown = 0, kSizeBinary = 1 };
  enum TimeKind : std::int8_t { kTimeUnknown = 0, kTimeExact = 1, kTimeMinutes = 2, kTimeDay = 3 };
  enum IdKind : std::int8_t { kIdUnknown = 0, kIdFull = 1 };

  CFTPFileStatus() { Reset(); }
  // Every text empty, both flags false, all kinds 0, size -1, time 0.
  void Reset();

  const std::string& Name() const { return m_name; }
  // The listed directory, set by the client (empty until then).
  const std::string& Path() const;
  void SetPath(std::shared_ptr<const std::string> path) { m_path = std::move(path); }
  bool IsDot() const { return m_name == "." || m_name == ".."; }

  std::string m_name;
  std::int64_t m_size;      // -1 when not given
  std::int64_t m_time;      // seconds since 1970-01-01 00:00, the listed time taken as UTC
  CShortText m_attributes;  // first field of a Unix line, e.g. drwxr-xr-x
  CShortText m_owner;
  CShortText m_group;
  CShortText m_links;
  CShortText m_id;
  bool m_isDirectory;  // can be entered (a directory or a link)
  bool m_isFile;       // can be downloaded (a plain file or a link)
  std::int8_t m_sizeKind;
  std::int8_t m_timeKind;
  std::int8_t m_idKind;

 private:
  std::shared_ptr<const std::string> m_path;
};

using TFTPFileStatusShPtr = nsSmartPointer::RCIPtr<CFTPFileStatus>;
using TFTPFileStatusShPtrVec = std::vector<TFTPFileStatusShPtr>;

}  // namespace nsFTP
