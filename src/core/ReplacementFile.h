#pragma once
// A file that replaces its target as a whole or not at all: the bytes go to a
// temporary file beside the target (".<name>.tmp-XXXXXX", in the same folder
// so the rename stays on one file system), and only a complete file is renamed
// over the target. Until then the target stays exactly as it was; a temporary
// that is not committed is removed, by the destructor or, when the process is
// ended by a signal, by RemovePendingTemporaries.
#include <string>

namespace vantrel {

class CReplacementFile {
 public:
  CReplacementFile() = default;
  ~CReplacementFile();
  CReplacementFile(const CReplacementFile&) = delete;
  CReplacementFile& operator=(const CReplacementFile&) = delete;

  // Creates the temporary beside `target` and opens it for writing. A target
  // that is a symbolic link is resolved, so the link stays a link. The
  // temporary already has the permission bits the target has (or a new file
  // would get: 0666 less the umask). false with `error` (when given) and errno.
  bool Create(const std::string& target, std::string* error = nullptr);
  // The open temporary; the caller closes it (after syncing) before Commit.
  int Handle() const { return m_handle; }
  // Hands the open handle over to the caller, who closes it.
  int ReleaseHandle();
  const std::string& TempPath() const { return m_tempPath; }
  const std::string& Target() const { return m_target; }

  // Renames the temporary over the target. On failure the temporary is
  // removed and the target left as it was; false with `error` and errno.
  bool Commit(std::string* error = nullptr);
  // Removes the temporary; the target stays as it was.
  void Abandon();

 private:
  int m_handle = -1;
  int m_slot = -1;  // entry in the list of temporaries a signal removes
  std::string m_target;
  std::string m_tempPath;
};

// Removes every temporary not yet committed or abandoned. Async-signal-safe
// (unlink only), for a handler of SIGINT or SIGTERM that ends the process.
void RemovePendingTemporaries();

// The process umask, read without changing it.
unsigned CurrentUmask();

}  // namespace vantrel
