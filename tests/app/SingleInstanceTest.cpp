// The single-instance rule across real processes.
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include "app/SingleInstance.h"
#include "support/TempDir.h"

using vantrel::app::CSingleInstance;

namespace {
int Probe(const std::string& folder) {
  QProcess probe;
  probe.start(QStringLiteral(INSTANCE_PROBE), {QString::fromStdString(folder)});
  EXPECT_TRUE(probe.waitForFinished(30000));
  return probe.exitCode();
}
}  // namespace

TEST(SingleInstance, SecondProcessIsRefusedWhileFirstRuns) {
  vantrel::test::TempDir dir;
  {
    CSingleInstance first(dir.Path());
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Acquire()) << "asking again in the holder keeps the lock";
    EXPECT_EQ(Probe(dir.Path()), 1);
  }
  EXPECT_EQ(Probe(dir.Path()), 0) << "the lock goes with its holder";
}

TEST(SingleInstance, OtherProcessHoldingRefusesThisOne) {
  vantrel::test::TempDir dir;
  QProcess holder;
  holder.start(QStringLiteral(INSTANCE_PROBE), {QString::fromStdString(dir.Path()), QStringLiteral("hold")});
  ASSERT_TRUE(holder.waitForReadyRead(30000));
  EXPECT_EQ(holder.readLine().trimmed(), "locked");
  CSingleInstance second(dir.Path());
  EXPECT_FALSE(second.Acquire());
  holder.closeWriteChannel();
  ASSERT_TRUE(holder.waitForFinished(30000));
  EXPECT_TRUE(second.Acquire());
}

TEST(SingleInstance, StaleLockOfACrashedRunDoesNotBlock) {
  vantrel::test::TempDir dir;
  QProcess crashed;
  crashed.start(QStringLiteral(INSTANCE_PROBE), {QString::fromStdString(dir.Path()), QStringLiteral("hold")});
  ASSERT_TRUE(crashed.waitForReadyRead(30000));
  crashed.kill();  // leaves its lock file behind
  ASSERT_TRUE(crashed.waitForFinished(30000));
  ASSERT_TRUE(QFile::exists(QString::fromStdString(dir.File("Dekkora.lock"))));
  CSingleInstance next(dir.Path());
  EXPECT_TRUE(next.Acquire());
}

TEST(SingleInstance, FolderWhereNoLockCanBeMadeDoesNotStopTheStart) {
  vantrel::test::TempDir dir;
  const std::string blocker = dir.Write("blocker", "x");  // a file where the folder should be
  CSingleInstance instance(blocker + "/run");
  EXPECT_TRUE(instance.Acquire());
  EXPECT_FALSE(instance.Held());
}

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
