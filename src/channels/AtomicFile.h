#pragma once
// Replaces a file as a whole or not at all: the bytes go to a temporary file
// beside the target, are flushed to the disk, and only then is the temporary
// renamed over the target. On any failure the temporary is removed and the
// old file (if any) stays exactly as it was.
#include <string>
#include <string_view>

namespace vantrel::channels {

// True when every byte was written, synced and the file renamed into place.
// On failure error (when given) holds the step and the system's text.
// A target that is a symbolic link is resolved, so the link stays a link and
// the file it points to is replaced. An existing target's permission bits are
// kept; a new file gets 0666 less the process umask, as a plain create would.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// Test seam: makes the following atomic writes fail on purpose, to stand in
// for a full disk or a failing device. Null switches it off.
struct AtomicWriteFault {
  long long failWriteAfterBytes = -1;  // >= 0: a write past this many bytes fails with ENOSPC
  bool failSync = false;               // fsync fails with EIO
  bool failRename = false;             // rename fails with EXDEV
};
void SetAtomicWriteFaultForTest(const AtomicWriteFault* fault);

}  // namespace vantrel::channels
