// The diagnostic log: stale file removal, the fixed threshold, redaction.
#include <gtest/gtest.h>
#include <filesystem>

#include "core/AppSettings.h"
#include "core/DiagLog.h"
#include "core/PathUtil.h"
#include "support/TempDir.h"

using namespace vantrel;

// The process-wide settings must never touch the real user store.
static vantrel::test::IsolatedSettings g_isolated;

TEST(DiagLog, FirstUseDeletesStaleLogAndThresholdWritesNothing) {
  test::TempDir dir;
  const std::string stale = dir.Write("log.txt", "old run");
  GetSettings().SetAppDir(dir.Path());
  LogMessage("hello %d", 1);
  LogError("bad %s", "thing");
  errno = ECONNREFUSED;
  LogLastWin32Error();
  EXPECT_FALSE(PathExists(stale)) << "the stale log of an earlier run is removed";
  EXPECT_EQ(GetDiagLog().Path(), dir.File("log.txt"));
}

TEST(DiagLog, LinesAtOrAboveThresholdAreWrittenAndNeverCarryThePin) {
  test::TempDir dir;
  CDiagLog log(dir.Path(), /*threshold=*/0);
  log.SetSecretProvider([] { return std::string("8157"); });
  log.Write(0, "USER root");
  log.Write(0, "PASS 8157");
  log.Write(2, "login with pin 8157 failed");
  log.Write(0, "PASS secret-other\r\n");
  const std::string text = test::ReadFile(dir.File("log.txt"));
  EXPECT_NE(text.find("USER root"), std::string::npos);
  EXPECT_EQ(text.find("8157"), std::string::npos) << text;
  EXPECT_EQ(text.find("secret-other"), std::string::npos) << text;
  EXPECT_NE(text.find("PASS ****"), std::string::npos);
}

TEST(DiagLog, BelowThresholdNothingIsWritten) {
  test::TempDir dir;
  CDiagLog log(dir.Path());
  log.Write(CDiagLog::kErrorLevel, "not written");
  EXPECT_FALSE(PathExists(dir.File("log.txt")));
}

TEST(DiagLog, SwitchedOnByOptionOrEnvironmentWritesTimedLinesToTheGivenFolder) {
  qunsetenv("VANTREL_LOG");
  EXPECT_FALSE(DiagLogRequested({"-platform", "offscreen"}));
  EXPECT_TRUE(DiagLogRequested({"--log"}));
  qputenv("VANTREL_LOG", "0");
  EXPECT_FALSE(DiagLogRequested({}));
  qputenv("VANTREL_LOG", "1");
  EXPECT_TRUE(DiagLogRequested({}));
  qunsetenv("VANTREL_LOG");

  test::TempDir dir;
  const std::string folder = dir.File("data");
  EnableDiagLog(folder);
  EXPECT_TRUE(IsDiagLogOn());
  LogMessage("hello %d", 42);
  LogError("bad %s", "thing");
  qCInfo(lcVantrelChannels) << "from a category";
  DisableDiagLog();
  LogMessage("after off");
  EXPECT_FALSE(IsDiagLogOn());

  const std::string text = test::ReadFile(JoinPcPath(folder, "log.txt"));
  EXPECT_NE(text.find("] I hello 42\n"), std::string::npos) << text;
  EXPECT_NE(text.find("] E bad thing\n"), std::string::npos) << text;
  EXPECT_NE(text.find("vantrel.channels: from a category"), std::string::npos) << text;
  EXPECT_EQ(text.find("after off"), std::string::npos) << text;
  // Each line starts with the date and time, then the thread.
  EXPECT_EQ(text.compare(0, 2, "20"), 0) << text;
  EXPECT_NE(text.find(" ["), std::string::npos) << text;
}

TEST(DiagLog, FullFileMovesToLog1AndOnlyOneOldFileIsKept) {
  test::TempDir dir;
  CDiagLog log(dir.Path(), /*threshold=*/0, /*rotateBytes=*/200);
  for (int i = 0; i < 4; ++i) log.Write(0, "first " + std::string(60, 'a'));
  ASSERT_TRUE(PathExists(dir.File("log.1.txt")));
  EXPECT_NE(test::ReadFile(dir.File("log.1.txt")).find("first"), std::string::npos);
  for (int i = 0; i < 8; ++i) log.Write(0, "second " + std::string(60, 'b'));
  EXPECT_EQ(test::ReadFile(dir.File("log.1.txt")).find("first"), std::string::npos) << "one old file only";
  EXPECT_FALSE(PathExists(dir.File("log.2.txt")));
  EXPECT_LT(std::filesystem::file_size(dir.File("log.txt")), 200u + 120u);
  EXPECT_LT(std::filesystem::file_size(dir.File("log.1.txt")), 200u + 120u);
}
