#include "ftp/FTPFileStatus.h"

namespace nsFTP {

void CFTPFileStatus::Reset() {
  m_name.clear();
  m_path.clear();
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
