// The command channel against the receiver simulator's command port
// (127.0.0.72): the partition figures and deletion of recordings by key.
#include <gtest/gtest.h>

#include <QStorageInfo>
#include <QString>
#include <filesystem>

#include "net/CommandChannel.h"
#include "support/ReceiverSim.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace {

constexpr const char* kTvArchive = "/ftproot/Aufnahmen-Archiv (Recording Archive)/TV-Aufnahmen (TV Records)";
constexpr const char* kRadioArchive = "/ftproot/Aufnahmen-Archiv (Recording Archive)/Radio-Aufnahmen (Radio Records)";

vantrel::test::ReceiverSim::Options Options() {
  vantrel::test::ReceiverSim::Options options;
  options.simulator = VANTREL_SOURCE_DIR "/tools/receiver-sim/receiver-sim";
  options.address = "127.0.0.72";
  options.ftpPort = 43121;
  options.channelPort = 43021;
  options.commandPort = 43345;
  return options;
}

TEST(CommandChannelSim, FiguresAndDeletionByKey) {
  vantrel::test::ScriptedPrompt prompt;
  vantrel::test::ReceiverSim sim(Options());
  ASSERT_TRUE(sim.Start()) << sim.Output();
  vantrel::CCommandChannel channel(43345);
  ASSERT_TRUE(channel.Connect("127.0.0.72", 43345));

  // The simulated partition is the disk the receiver tree lies on.
  const QStorageInfo disk(QString::fromStdString(sim.Root()));
  const int total = channel.GetPartitionSize();
  const int free = channel.GetFreeMBSize();
  EXPECT_EQ(total, static_cast<int>(disk.bytesTotal() / (1024 * 1024)));
  EXPECT_GT(free, 0);
  EXPECT_LE(free, total);

  const std::string tatort = sim.DiskPath(kTvArchive) + "/Tatort - Schattenlinie_20261129_2015_1002_";
  const std::string jazz = sim.DiskPath(kRadioArchive) + "/Jazz am Abend_20250322_2100_2002_";
  ASSERT_TRUE(std::filesystem::is_directory(tatort));
  // A TV key in the radio archive names nothing there: refused, nothing gone.
  EXPECT_FALSE(channel.DeleteByKeyList(2, {1002}));
  EXPECT_TRUE(std::filesystem::is_directory(tatort));
  EXPECT_TRUE(channel.DeleteByKeyList(1, {1002}));
  EXPECT_FALSE(std::filesystem::exists(tatort));
  EXPECT_TRUE(channel.DeleteByKeyList(2, {2002}));
  EXPECT_FALSE(std::filesystem::exists(jazz));
  EXPECT_TRUE(std::filesystem::is_directory(sim.DiskPath(kTvArchive) + "/Tagesschau_20261201_2000_1001_"));
  // Already gone: the receiver refuses.
  EXPECT_FALSE(channel.DeleteByKeyList(1, {1002}));
  EXPECT_TRUE(prompt.Records().empty());
}

TEST(CommandChannelSim, ReconnectsAfterTheReceiverRestarted) {
  vantrel::test::ScriptedPrompt prompt;
  auto options = Options();
  vantrel::test::ReceiverSim first(options);
  ASSERT_TRUE(first.Start()) << first.Output();
  vantrel::CCommandChannel channel(43345);
  ASSERT_TRUE(channel.Connect("127.0.0.72", 43345));
  EXPECT_GT(channel.GetPartitionSize(), 0);
  EXPECT_EQ(first.Stop(), 0);
  vantrel::test::ReceiverSim second(options);
  ASSERT_TRUE(second.Start()) << second.Output();
  // The old connection was closed by the receiver: the next call reconnects.
  EXPECT_GT(channel.GetPartitionSize(), 0);
  EXPECT_TRUE(prompt.Records().empty());
}

}  // namespace
