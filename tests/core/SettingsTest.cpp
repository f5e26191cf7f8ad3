// The settings object against a scripted store and against the real
// QSettings file in an isolated home.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <filesystem>
#include <map>

#include "core/AppSettings.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

using namespace vantrel;

namespace {

// A store in memory that records writes and can be made to fail.
class MemoryStore final : public ISettingsStore {
 public:
  explicit MemoryStore(std::map<std::string, std::string>* values, bool broken = false)
      : m_values(values), m_broken(broken) {}
  bool Read(const std::string& name, std::string& value) override {
    if (m_broken) return false;
    auto it = m_values->find(name);
    if (it == m_values->end() || it->second.size() > kStoreValueLimit) return false;
    value = it->second;
    return true;
  }
  bool Write(const std::string& name, const std::string& value) override {
    if (m_broken) return false;
    (*m_values)[name] = value;
    return true;
  }
  bool Remove(const std::string& name) override {
    if (m_broken) return false;
    m_values->erase(name);
    return true;
  }

 private:
  std::map<std::string, std::string>* m_values;
  bool m_broken;
};

CAppSettings Make(std::map<std::string, std::string>& values, bool broken = false) {
  return CAppSettings(std::make_unique<MemoryStore>(&values, broken));
}

}  // namespace

TEST(Settings, FirstRunDefaultsAndDefaultRecordFolder) {
  test::IsolatedSettings isolated;
  std::map<std::string, std::string> store;
  CAppSettings settings = Make(store);
  EXPECT_EQ(settings.GetLanguage(), "English");
  EXPECT_FALSE(settings.GetSavePINCODE());
  EXPECT_EQ(settings.GetLastIP(), "");
  EXPECT_EQ(settings.GetPINCODE(), "8157");
  EXPECT_EQ(settings.GetUserID(), "root");
  EXPECT_EQ(settings.GetAppDir(), "./");
  EXPECT_TRUE(store.empty()) << "loading writes nothing";

  const std::string expected = isolated.Home() + "/Recordings";
  EXPECT_EQ(settings.GetRecordPath(), expected);
  EXPECT_TRUE(std::filesystem::is_directory(expected));
  EXPECT_EQ(store["RecordPath"], expected);
}

TEST(Settings, SavePinFlagReadRule) {
  for (const auto& [stored, expected] : std::vector<std::pair<std::string, bool>>{
           {"TRUE", true}, {"true", true}, {"True", true}, {"yes", false}, {"1", false}, {"", false}}) {
    std::map<std::string, std::string> store{{"SavePINCODE", stored}};
    EXPECT_EQ(Make(store).GetSavePINCODE(), expected) << stored;
  }
  std::map<std::string, std::string> store;
  CAppSettings settings = Make(store);
  settings.SetSavePINCODE(true);
  EXPECT_EQ(store["SavePINCODE"], "TRUE");
  settings.SetSavePINCODE(false);
  EXPECT_EQ(store["SavePINCODE"], "FALSE");
}

TEST(Settings, StoredValuesReplaceDefaultsAndOverlongCountsAsMissing) {
  std::map<std::string, std::string> store{
      {"LastIP", "192.0.2.7"}, {"Language", "German"}, {"PINCODE", std::string(500, '1')}};
  CAppSettings settings = Make(store);
  EXPECT_EQ(settings.GetLastIP(), "192.0.2.7");
  EXPECT_EQ(settings.GetLanguage(), "German");
  EXPECT_EQ(settings.GetPINCODE(), "8157") << "a 500-byte value does not fit and keeps the default";
}

TEST(Settings, MissingRecordFolderIsStoodInForButKeptInTheStore) {
  test::IsolatedSettings isolated;
  test::TempDir dir;
  const std::string share = dir.File("share");
  std::filesystem::create_directory(share);
  std::map<std::string, std::string> store{{"RecordPath", share}};
  CAppSettings settings = Make(store);
  EXPECT_EQ(settings.GetRecordPath(), share);
  std::filesystem::remove(share);  // unmounted
  EXPECT_EQ(settings.GetRecordPath(), isolated.Home() + "/Recordings");
  EXPECT_EQ(store["RecordPath"], share) << "the user's folder stays the setting";
  std::filesystem::create_directory(share);  // mounted again
  EXPECT_EQ(settings.GetRecordPath(), share);
}

TEST(Settings, SetRecordPathRefusesMissingFolderWithMessage) {
  test::ScriptedPrompt prompt;
  test::TempDir dir;
  std::map<std::string, std::string> store;
  CAppSettings settings = Make(store);
  EXPECT_TRUE(settings.SetRecordPath(dir.Path()));
  EXPECT_EQ(store["RecordPath"], dir.Path());
  EXPECT_FALSE(settings.SetRecordPath(dir.File("nope")));
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text, dir.File("nope") + " is not valid folder");
  EXPECT_EQ(store["RecordPath"], dir.Path()) << "the old folder stays";
}

TEST(Settings, PinAndLastIpWrites) {
  std::map<std::string, std::string> store;
  CAppSettings settings = Make(store);
  settings.SetLastIP("10.0.0.9");
  EXPECT_EQ(store.count("LastIP"), 0u) << "SetLastIP keeps the address in memory only";
  settings.SaveLastIP();
  EXPECT_EQ(store["LastIP"], "10.0.0.9");
  settings.SetLanguage("Polish");
  EXPECT_EQ(store["Language"], "Polish");
  settings.SetTargetVersion("Zarn 1.2.10");
  EXPECT_EQ(settings.GetTargetVersion(), "Zarn 1.2.10");
}

TEST(Settings, PinReachesTheStoreOnlyWhileSavingIsOn) {
  std::map<std::string, std::string> store{{"PINCODE", "1111"}};
  CAppSettings settings = Make(store);
  EXPECT_EQ(store.count("PINCODE"), 0u) << "a code kept against the user's choice goes at the start";
  settings.SetPINCODE("1234");
  EXPECT_EQ(settings.GetPINCODE(), "1234");
  settings.StorePINCODE();
  EXPECT_EQ(store.count("PINCODE"), 0u) << "with saving off no PIN code stays in the file";
  settings.SetSavePINCODE(true);
  settings.SetPINCODE("4321");
  EXPECT_EQ(store["PINCODE"], "4321");
  settings.SetSavePINCODE(false);
  EXPECT_EQ(store.count("PINCODE"), 0u) << "turning saving off removes the stored code";
  EXPECT_EQ(settings.GetPINCODE(), "4321") << "the code of this run stays in memory";
}

TEST(Settings, DataPortRangeRoundTripsAndBadTextMeansAnyPort) {
  std::map<std::string, std::string> store;
  EXPECT_TRUE(Make(store).GetDataPorts().IsAny()) << "any port until the user picks a range";
  Make(store).SetDataPorts({50100, 50119});
  EXPECT_EQ(store["DataPorts"], "50100-50119");
  EXPECT_EQ(Make(store).GetDataPorts(), (vantrel::DataPortRange{50100, 50119}));
  Make(store).SetDataPorts({});
  EXPECT_EQ(store["DataPorts"], "");
  EXPECT_TRUE(Make(store).GetDataPorts().IsAny());
  for (const char* bad : {"50119-50100", "80-90", "50100-70000", "5010x", "-", "50100-", "1,2"}) {
    store["DataPorts"] = bad;
    EXPECT_TRUE(Make(store).GetDataPorts().IsAny()) << bad;
    vantrel::DataPortRange range{1, 1};
    EXPECT_FALSE(vantrel::ParseDataPortRange(bad, range)) << bad;
    EXPECT_EQ(range.first, 1u) << "a refused text leaves the range alone";
  }
  vantrel::DataPortRange range;
  ASSERT_TRUE(vantrel::ParseDataPortRange(" 50100 ", range));
  EXPECT_EQ(vantrel::FormatDataPortRange(range), "50100");
  ASSERT_TRUE(vantrel::ParseDataPortRange("50100 - 50101", range));
  EXPECT_EQ(range, (vantrel::DataPortRange{50100, 50101}));
}

TEST(Settings, BrokenStoreKeepsDefaultsAndChangesMemoryOnly) {
  std::map<std::string, std::string> store{{"Language", "German"}};
  CAppSettings settings = Make(store, /*broken=*/true);
  EXPECT_EQ(settings.GetLanguage(), "English");
  settings.SetPINCODE("4321");
  EXPECT_EQ(settings.GetPINCODE(), "4321");
  settings.SaveLastIP();  // logs, never throws
  EXPECT_EQ(store.size(), 1u);
}

TEST(QSettingsStore, RoundTripInNativeFileWithOwnerOnlyMode) {
  test::IsolatedSettings isolated;
  CQSettingsStore store;
  ASSERT_TRUE(store.Write("PINCODE", "0042"));
  ASSERT_TRUE(store.Write("SavePINCODE", "TRUE"));
  std::string value;
  ASSERT_TRUE(store.Read("PINCODE", value));
  EXPECT_EQ(value, "0042");
  EXPECT_FALSE(store.Read("LastIP", value));
  EXPECT_EQ(value, "0042") << "a missing value leaves the target unchanged";

  const std::string path = CQSettingsStore::FilePath();
  EXPECT_EQ(path, isolated.ConfigDir() + "/Tessavir/Vantrel.conf");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  QSettings raw(QString::fromStdString(path), QSettings::IniFormat);
  EXPECT_EQ(raw.value("Setting/PINCODE").toString(), "0042");

  EXPECT_FALSE(store.Write("RecordPath", std::string(500, 'x'))) << "over-long values are refused, not cut";
}

TEST(QSettingsStore, UnwritableStoreReportsFailureAndLoadsNothing) {
  if (::geteuid() == 0) {
    // root writes through permissions; use a path that cannot be a folder instead.
    test::TempDir dir;
    const std::string blocker = dir.Write("blocker", "x");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(blocker));
    CQSettingsStore store;
    EXPECT_FALSE(store.Write("Language", "German"));
    std::string value = "unchanged";
    EXPECT_FALSE(store.Read("Language", value));
    EXPECT_EQ(value, "unchanged");
    CAppSettings settings(std::make_unique<CQSettingsStore>());
    settings.SetLanguage("German");
    EXPECT_EQ(settings.GetLanguage(), "German") << "memory changes even when the store cannot";
    test::IsolatedSettings restore;
    return;
  }
  test::IsolatedSettings isolated;
  std::filesystem::permissions(isolated.ConfigDir(),
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  CQSettingsStore store;
  EXPECT_FALSE(store.Write("Language", "German"));
  std::filesystem::permissions(isolated.ConfigDir(), std::filesystem::perms::owner_all);
}
