#pragma once
// The per-user store behind the settings object: five string values under
// "Software\Tessavir\Vantrel\Setting". Every read and write opens the store,
// does its one value and closes it again.
#include <string>

namespace vantrel {

// Values are read into a 500-byte area: a stored value of 500 bytes or more
// does not fit and counts as missing; a write of more than 499 is refused.
inline constexpr std::size_t kStoreValueLimit = 499;

class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  // False when the value is absent, too long or the store cannot be read;
  // value is left unchanged then.
  virtual bool Read(const std::string& name, std::string& value) = 0;
  // False when the store cannot be opened or written, or the text is too long.
  virtual bool Write(const std::string& name, const std::string& value) = 0;
  // Takes the value out of the store; true when it is gone afterwards.
  virtual bool Remove(const std::string& name) = 0;
};

// QSettings in the native format of the user scope, organisation "Tessavir",
// application "Vantrel", group "Setting" (~/.config/Tessavir/Vantrel.conf).
// The file holds the PIN code, so it is kept readable by its owner only.
class CQSettingsStore final : public ISettingsStore {
 public:
  bool Read(const std::string& name, std::string& value) override;
  bool Write(const std::string& name, const std::string& value) override;
  bool Remove(const std::string& name) override;
  // The file the store lives in.
  static std::string FilePath();
};

}  // namespace vantrel
