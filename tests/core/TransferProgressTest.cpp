// The progress figures of a transfer job and the texts made of them.
#include <gtest/gtest.h>

#include "core/TransferProgress.h"

using namespace vantrel;

TEST(TransferProgress, FiguresOfAJobAcrossFilesSpeedAndTimeLeft) {
  CTransferProgressState state;
  state.StartJob(2, 3 * 1024 * 1024);
  state.BeginFile("one.ts", 1024 * 1024);
  state.SetFileDone(1024 * 1024);
  state.BeginFile("two.ts", 2 * 1024 * 1024);
  state.SetFileDone(512 * 1024);
  const TransferProgress p = state.Snapshot();
  EXPECT_EQ(p.fileIndex, 2);
  EXPECT_EQ(p.jobDone, 1536 * 1024);
  EXPECT_EQ(ProgressPermille(p), 500);
  // 1.5 MB in 3 s: 0.5 MB/s, and 1.5 MB left take 3 s more.
  const TransferProgressTexts t = FormatTransferProgress(p, 3.0);
  EXPECT_EQ(t.file, "File 2 of 2: two.ts");
  EXPECT_EQ(t.fileBytes, "512.0 KB of 2.0 MB");
  EXPECT_EQ(t.jobBytes, "Total: 1.5 MB of 3.0 MB");
  EXPECT_EQ(t.speed, "Speed: 512.0 KB/s");
  EXPECT_EQ(t.timeLeft, "Time left: 0:03");
  EXPECT_EQ(DurationText(3723), "1:02:03");
}

TEST(TransferProgress, UnknownTotalsNoTimeAndUnderReportedSizes) {
  TransferProgress p;
  // Before anything moved, or with no time passed: no speed and no endless time left.
  p.jobTotal = 100;
  EXPECT_TRUE(FormatTransferProgress(p, 0.0).speed.empty());
  p.jobDone = 50;
  EXPECT_TRUE(FormatTransferProgress(p, 0.0).timeLeft.empty());
  // A folder job: neither the file count nor the bytes are known.
  CTransferProgressState state;
  state.StartJob(0, -1);
  state.BeginFile("a.txt", -1);
  state.SetFileDone(100);
  p = state.Snapshot();
  TransferProgressTexts t = FormatTransferProgress(p, 1.0);
  EXPECT_EQ(t.file, "File 1: a.txt");
  EXPECT_EQ(t.fileBytes, "100 B");
  EXPECT_TRUE(t.timeLeft.empty());
  EXPECT_EQ(ProgressPermille(p), 0);
  // The receiver reported less than arrived: a full bar and nothing left, never past it.
  p.jobTotal = 50;
  p.fileTotal = 50;
  EXPECT_EQ(ProgressPermille(p), 1000);
  EXPECT_EQ(FormatTransferProgress(p, 1.0).timeLeft, "Time left: 0:00");
  // An empty file is whole at once.
  p = TransferProgress{};
  p.fileIndex = 1;
  p.fileTotal = 0;
  EXPECT_EQ(ProgressPermille(p), 1000);
}
