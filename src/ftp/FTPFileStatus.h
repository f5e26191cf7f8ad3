#pragma once
// One entry of a directory listing.
#include <cstdint>
#include <string>
#include <vector>

#include "ftp/SmartPointer.h"

namespace nsFTP {

class CFTPFileStatus {
 public:
  enum SizeKind : int { kSizeUnknown = 0, kSizeBinary = 1 };
  enum TimeKind : int { kTimeUnknown = 0, kTimeExact = 1, kTimeMinutes = 2, kTimeDay = 3 };
  enum IdKind : int { kIdUnknown = 0, kIdFull = 1 };

  CFTPFileStatus() { Reset(); }
  // Every text empty, both flags false, all kinds 0, size -1, time 0.
  void Reset();

  const std::string& Name() const { return m_name; }
  const std::string& Path() const { return m_path; }
  bool IsDot() const { return m_name == "." || m_name == ".."; }

  std::string m_name;
  std::string m_path;  // the listed directory, set by the client
  bool m_isDirectory;  // can be entered (a directory or a link)
  bool m_isFile;       // can be downloaded (a plain file or a link)
  int m_sizeKind;
  std::int64_t m_size;  // -1 when not given
  int m_timeKind;
  std::int64_t m_time;       // seconds since 1970-01-01 00:00, the listed time taken as UTC
  std::string m_attributes;  // first field of a Unix line, e.g. drwxr-xr-x
  std::string m_owner;
  std::string m_group;
  std::string m_links;
  int m_idKind;
  std::string m_id;
};

using TFTPFileStatusShPtr = nsSmartPointer::RCIPtr<CFTPFileStatus>;
using TFTPFileStatusShPtrVec = std::vector<TFTPFileStatusShPtr>;

}  // namespace nsFTP
