// Path texts, existence and the recursive delete.
#include <gtest/gtest.h>
#include <filesystem>

#include "core/PathUtil.h"
#include "support/TempDir.h"

using namespace vantrel;
namespace fs = std::filesystem;

TEST(PathText, ExtensionNameParent) {
  EXPECT_EQ(GetFileExtension("archive.tar.gz"), "gz");
  EXPECT_EQ(GetFileExtension("README"), "");
  EXPECT_EQ(StripExtension("archive.tar.gz"), "archive.tar");
  EXPECT_EQ(StripExtension("README"), "README");
  EXPECT_EQ(GetFileName("/ftproot/System/channel.xml", true), "channel.xml");
  EXPECT_EQ(GetFileName("channel.xml", true), "");
  EXPECT_EQ(GetParentPath("/ftproot/System/channel.xml", true), "/ftproot/System");
  EXPECT_EQ(GetParentPath("channel.xml", false), "");
}

TEST(PathText, TrailingSeparatorsAndLastComponent) {
  EXPECT_EQ(GetLastPathComponent("/home/user/Recordings/"), "Recordings");
  EXPECT_EQ(GetLastPathComponent("Recordings"), "Recordings");
  EXPECT_EQ(AddTrailingBackslash("/tmp"), "/tmp/");
  EXPECT_EQ(AddTrailingBackslash("/tmp/"), "/tmp/");
  EXPECT_EQ(RemoveTrailingBackslash("/tmp/"), "/tmp");
  EXPECT_EQ(RemoveTrailingBackslash("/tmp"), "/tmp");
  EXPECT_EQ(JoinPcPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPcPath("/a", "b"), "/a/b");
}

TEST(PathExists, FilesFoldersAndDanglingLinks) {
  test::TempDir dir;
  EXPECT_TRUE(PathExists(dir.Path()));
  EXPECT_TRUE(PathExists(dir.Write("f.txt", "x")));
  EXPECT_FALSE(PathExists(dir.File("none")));
  EXPECT_FALSE(PathExists(""));
  fs::create_symlink(dir.File("none"), dir.File("link"));
  EXPECT_TRUE(PathExists(dir.File("link")));
}

TEST(ShellDelete, RemovesTreesAndReportsMissing) {
  test::TempDir dir;
  fs::create_directories(dir.File("tree/a/b"));
  dir.Write("tree/a/b/file", "data");
  dir.Write("tree/top", "data");
  EXPECT_TRUE(ShellDeletePath(dir.File("tree")));
  EXPECT_FALSE(PathExists(dir.File("tree")));
  EXPECT_FALSE(ShellDeletePath(dir.File("tree"))) << "nothing to delete is a failure";
  EXPECT_TRUE(ShellDeletePath(dir.Write("single", "x")));
}

TEST(ShellDelete, LinkIsRemovedNotFollowed) {
  test::TempDir dir;
  fs::create_directories(dir.File("keep"));
  dir.Write("keep/precious", "x");
  fs::create_directory_symlink(dir.File("keep"), dir.File("link"));
  EXPECT_TRUE(ShellDeletePath(dir.File("link")));
  EXPECT_TRUE(PathExists(dir.File("keep/precious")));
}

TEST(ShellDelete, OverlongPathsAreRefusedNotCut) {
  test::TempDir dir;
  fs::create_directories(dir.File("a"));
  // Cutting this path would name the existing folder "a"; it must be refused.
  const std::string longPath = dir.File("a") + "/" + std::string(kMaxDeletePath, 'x');
  EXPECT_FALSE(ShellDeletePath(longPath));
  EXPECT_TRUE(PathExists(dir.File("a")));
}

TEST(ShellDeletePaths, DeletesAllNamesAndRefusesEscapes) {
  test::TempDir dir;
  fs::create_directories(dir.File("box/sub"));
  dir.Write("box/one", "1");
  dir.Write("box/two", "2");
  dir.Write("outside", "keep");
  EXPECT_FALSE(ShellDeletePaths(dir.File("box"), {"one", ".."}));
  EXPECT_FALSE(ShellDeletePaths(dir.File("box"), {"../outside"}));
  EXPECT_FALSE(ShellDeletePaths(dir.File("box"), {""}));
  EXPECT_TRUE(PathExists(dir.File("box/one"))) << "a refused list deletes nothing";
  EXPECT_TRUE(PathExists(dir.File("outside")));
  EXPECT_TRUE(ShellDeletePaths(dir.File("box"), {"one", "two", "sub"}));
  EXPECT_TRUE(fs::is_empty(dir.File("box")));
  EXPECT_FALSE(ShellDeletePaths(dir.File("box"), {}));
  std::vector<std::string> many(300, std::string(1000, 'n'));
  EXPECT_FALSE(ShellDeletePaths(dir.File("box"), many)) << "a list past the bound is refused";
}
