// A failed save leaves the old file as it was, reports it, and leaves no
// temporary behind. Tests run as root in CI, where a read-only folder stops
// nothing, so the failures are made real in other ways as well.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ChannelTestUtil.h"
#include "channels/AtomicFile.h"
#include "core/Format.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace vantrel::channels {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

// Expects a failed save of a sample list to path with the error box of text 341.
void ExpectFailedSave(const std::string& path, const std::string& what) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  test::BuildSampleList(list);
  std::string reason;
  EXPECT_EQ(WriteChannelFile(list, path, false, &reason), WriteResult::Failed) << what;
  EXPECT_FALSE(reason.empty()) << what;
  ASSERT_EQ(prompt.Records().size(), 1u) << what;
  EXPECT_EQ(prompt.Records()[0].text, Format(GetText(341), path.c_str())) << what;
  EXPECT_EQ(prompt.Records()[0].text, "Can not save the file " + path) << what;
  EXPECT_EQ(prompt.Records()[0].caption, GetText(287)) << what;
  EXPECT_EQ(prompt.Records()[0].icon, PromptIcon::Error) << what;
}

class FaultGuard {
 public:
  explicit FaultGuard(const AtomicWriteFault& fault) : m_fault(fault) { SetAtomicWriteFaultForTest(&m_fault); }
  ~FaultGuard() { SetAtomicWriteFaultForTest(nullptr); }

 private:
  AtomicWriteFault m_fault;
};

TEST(AtomicSave, TheParentIsARegularFile) {
  vantrel::test::TempDir dir;
  const std::string blocker = dir.Write("plain", "i am a file");
  ExpectFailedSave(blocker + "/list.xml", "parent is a file");
  EXPECT_EQ(vantrel::test::ReadFile(blocker), "i am a file");
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"plain"});
}

TEST(AtomicSave, TheTargetIsAFolder) {
  vantrel::test::TempDir dir;
  fs::create_directory(dir.File("list.xml"));
  const std::string inside = dir.Write("list.xml/keep", "kept");
  ExpectFailedSave(dir.File("list.xml"), "target is a folder");
  EXPECT_TRUE(fs::is_directory(dir.File("list.xml")));
  EXPECT_EQ(vantrel::test::ReadFile(inside), "kept");
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"list.xml"});
}

TEST(AtomicSave, AFullDiskLeavesTheOldFileUntouched) {
  for (const long long budget : {0LL, 1LL, 4096LL, 5000LL}) {
    vantrel::test::TempDir dir;
    const std::string path = dir.Write("list.xml", "the old list");
    {
      AtomicWriteFault fault;
      fault.failWriteAfterBytes = budget;
      FaultGuard guard(fault);
      ExpectFailedSave(path, "full disk after " + std::to_string(budget));
    }
    EXPECT_EQ(vantrel::test::ReadFile(path), "the old list");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"list.xml"}) << "no temporary is left";
  }
}

TEST(AtomicSave, AFailedFlushOrRenameLeavesTheOldFileUntouched) {
  for (const bool sync : {true, false}) {
    vantrel::test::TempDir dir;
    const std::string path = dir.Write("list.xml", "the old list");
    {
      AtomicWriteFault fault;
      fault.failSync = sync;
      fault.failRename = !sync;
      FaultGuard guard(fault);
      ExpectFailedSave(path, sync ? "fsync" : "rename");
    }
    EXPECT_EQ(vantrel::test::ReadFile(path), "the old list");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"list.xml"});
  }
}

TEST(AtomicSave, AReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders; the other tests make the failure real";
  vantrel::test::TempDir dir;
  const std::string folder = dir.File("ro");
  fs::create_directory(folder);
  const std::string path = dir.Write("ro/list.xml", "the old list");
  ::chmod(folder.c_str(), 0555);
  ExpectFailedSave(path, "read-only folder");
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(vantrel::test::ReadFile(path), "the old list");
  EXPECT_EQ(Names(folder), std::vector<std::string>{"list.xml"});
}

TEST(AtomicSave, ASuccessfulSaveReplacesTheFileAndKeepsItsMode) {
  vantrel::test::TempDir dir;
  const std::string path = dir.Write("list.xml", "the old list");
  ::chmod(path.c_str(), 0640);
  ChannelList list;
  test::BuildSampleList(list);
  ASSERT_EQ(WriteChannelFile(list, path, false), WriteResult::Written);
  EXPECT_EQ(vantrel::test::ReadFile(path), ChannelFileBytes(list));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"list.xml"});
}

TEST(AtomicSave, ALinkStaysALink) {
  vantrel::test::TempDir dir;
  const std::string real = dir.Write("real.xml", "old");
  fs::create_symlink(real, dir.File("link.xml"));
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(dir.File("link.xml"), "new", &error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir.File("link.xml")));
  EXPECT_EQ(vantrel::test::ReadFile(real), "new");
}

TEST(AtomicSave, ANewFileGetsTheUsualMode) {
  vantrel::test::TempDir dir;
  const mode_t old = ::umask(022);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(dir.File("new.xml"), "bytes", &error)) << error;
  ::umask(old);
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("new.xml").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

}  // namespace
}  // namespace vantrel::channels
