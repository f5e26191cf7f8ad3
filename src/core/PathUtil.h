#pragma once
// Path texts. PC paths use the native separator ("/" here); receiver paths
// always use "/". The "slash" flag of GetFileName and GetParentPath chooses
// "/" (true) or the PC separator (false); on this platform both are "/".
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

inline constexpr char kPcSeparator = '/';

std::string GetFileExtension(std::string_view path);
std::string GetFileName(std::string_view path, bool slash);
std::string GetParentPath(std::string_view path, bool slash);
std::string StripExtension(std::string_view name);
std::string GetLastPathComponent(std::string_view path);
std::string AddTrailingBackslash(std::string_view path);
std::string RemoveTrailingBackslash(std::string_view path);
// Joins a PC folder and a name with one separator.
std::string JoinPcPath(std::string_view folder, std::string_view name);

// True when a file or folder (or a link, even a dangling one) of that name exists.
bool PathExists(const std::string& path);

// The longest path the deletion helpers accept; a longer one is refused rather
// than cut, so that a cut path never deletes something else.
inline constexpr std::size_t kMaxDeletePath = 4095;
// Upper bound of the whole list handed to ShellDeletePaths.
inline constexpr std::size_t kMaxDeleteList = 266240;

// Deletes a file or a whole folder tree without questions; true on success.
// A link is removed itself, never followed.
bool ShellDeletePath(const std::string& path);
// Deletes folder/name for every name in one go; true when all went. Names
// that are empty, "." or "..", or that hold a separator are refused (nothing
// is deleted), so a listing can never reach outside the folder.
bool ShellDeletePaths(const std::string& folder, const std::vector<std::string>& names);

// True for a name from the receiver (or typed for it) that is safe as one
// path component on either side: not empty, not "." or "..", and without
// "/", NUL or another control character. Such a name can never leave the
// folder it is joined to, and it is taken as it is: trailing dots and spaces
// and names like "con" are ordinary names here.
bool IsSafeEntryName(std::string_view name);

}  // namespace vantrel
