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
