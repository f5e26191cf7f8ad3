// Login, listings and the simple commands of the FTP client against the
// receiver simulator. Each test runs its own simulator on its own loopback
// address (127.0.0.31 to 127.0.0.34).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "system/SystemTestUtil.h"

using nsFTP::CFTPFileStatus;
using nsFTP::CServerLogin;
using nsFTP::TFTPFileStatusShPtrVec;
using namespace vantrel::test;

static vantrel::test::IsolatedSettings g_isolated;

namespace {

const CFTPFileStatus* Find(const TFTPFileStatusShPtrVec& entries, const std::string& name) {
  const auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e->Name() == name; });
  return it == entries.end() ? nullptr : it->get();
}

std::vector<std::string> Names(const TFTPFileStatusShPtrVec& entries) {
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e->Name());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(ReceiverLogin, BothPortsLogInAndTheVersionComesFromTheLogonReply) {
  SimSession s(SimOn("127.0.0.31"));
  ASSERT_TRUE(s.StartAndLogin(true));
  EXPECT_EQ(s.client.GetTargetVersion(), "Zarn 1.2.10");
  EXPECT_TRUE(s.client.IsConnected());
  EXPECT_TRUE(s.recorder.errors.empty()) << s.recorder.errors.front();

  // The file manager's port serves the same tree; a login on a connected
  // client replaces the connection.
  ASSERT_TRUE(s.client.Login(CServerLogin(s.sim.Address(), s.sim.FtpPort(), "root", s.sim.Pin())));
  std::int64_t size = -1;
  EXPECT_EQ(s.client.RemoteFileSize(kChannelFile, size), 0);
  EXPECT_EQ(size, FileSize(s.sim.DiskPath(kChannelFile)));
  EXPECT_EQ(s.client.Logout(), 0);
  EXPECT_FALSE(s.client.IsConnected());
}

TEST(ReceiverLogin, AnotherVersionTextAndAWrongPin) {
  ReceiverSim::Options options = SimOn("127.0.0.32");
  options.pin = "4711";
  options.versionText = "Zarn 2.0.7 (build 31) welcome";
  SimSession s(options);
  ASSERT_TRUE(s.sim.Start()) << s.sim.Output();

  EXPECT_FALSE(s.client.Login(CServerLogin(s.sim.Address(), s.sim.ChannelPort(), "root", "8157"), true));
  EXPECT_EQ(s.client.GetTargetVersion(), "");
  // A refused PIN (530) is not the logon sequence failing: no "Logon failed." for it.
  EXPECT_EQ(std::count(s.recorder.errors.begin(), s.recorder.errors.end(), "Logon failed."), 0);
  ASSERT_FALSE(s.recorder.Matching("Reply 530").empty());

  // The same client then logs in with the right PIN.
  ASSERT_TRUE(s.client.Login(CServerLogin(s.sim.Address(), s.sim.ChannelPort(), "root", "4711"), true));
  EXPECT_EQ(s.client.GetTargetVersion(), "Zarn 2.0.7");
}

TEST(ReceiverList, FoldersFilesAndTheirDetails) {
  SimSession s(SimOn("127.0.0.33"));
  ASSERT_TRUE(s.StartAndLogin());

  TFTPFileStatusShPtrVec entries;
  ASSERT_TRUE(s.client.List("/", entries));
  EXPECT_EQ(Names(entries), std::vector<std::string>{"ftproot"});
  EXPECT_TRUE(entries[0]->m_isDirectory);
  EXPECT_EQ(entries[0]->Path(), "/");

  ASSERT_TRUE(s.client.List(kChannelFolder, entries));
  ASSERT_EQ(entries.size(), 1u);
  const CFTPFileStatus& channels = *entries[0];
  EXPECT_EQ(channels.Name(), "channel.xml");
  EXPECT_TRUE(channels.m_isFile);
  EXPECT_FALSE(channels.m_isDirectory);
  EXPECT_EQ(channels.m_size, FileSize(s.sim.DiskPath(kChannelFile)));
  EXPECT_EQ(channels.m_owner, "root");
  EXPECT_EQ(channels.Path(), kChannelFolder);

  ASSERT_TRUE(s.client.List(kTvArchive, entries));
  EXPECT_EQ(Names(entries),
            (std::vector<std::string>{"Länderspiel_20250614_1800_1003_", "Tagesschau_20261201_2000_1001_",
                                      "Tatort - Schattenlinie_20261129_2015_1002_"}));
  for (const auto& e : entries) EXPECT_TRUE(e->m_isDirectory && !e->m_isFile) << e->Name();

  // Names with spaces and umlauts, and a date listed with its year (older than six months).
  ASSERT_TRUE(s.client.List("/ftproot/Media", entries));
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"Bilder (Pictures)", "Liesmich.txt", "Musik (Music)"}));
  const CFTPFileStatus* readme = Find(entries, "Liesmich.txt");
  ASSERT_NE(readme, nullptr);
  EXPECT_EQ(readme->m_size, FileSize(s.sim.DiskPath("/ftproot/Media/Liesmich.txt")));
  EXPECT_EQ(readme->m_timeKind, CFTPFileStatus::kTimeDay);
  EXPECT_EQ(readme->m_time, 1709251200);  // 2024-03-01 00:00 UTC
  ASSERT_TRUE(s.client.List("/ftproot/Media/Bilder (Pictures)", entries));
  EXPECT_EQ(Names(entries), std::vector<std::string>{"Grüße.txt"});

  // A listing of a missing folder fails and leaves the entries as they were.
  EXPECT_FALSE(s.client.List("/ftproot/Nirgendwo", entries));
  EXPECT_EQ(Names(entries), std::vector<std::string>{"Grüße.txt"});
  ASSERT_TRUE(s.client.List(kChannelFolder, entries));
  EXPECT_EQ(entries.size(), 1u);
}

TEST(ReceiverCommands, StatusesAndTheirEffectOnTheTree) {
  SimSession s(SimOn("127.0.0.34"));
  ASSERT_TRUE(s.StartAndLogin());
  namespace fs = std::filesystem;
  const std::string media = "/ftproot/Media";

  EXPECT_EQ(s.client.CreateDir(media + "/Neu"), 0);
  EXPECT_TRUE(fs::is_directory(s.sim.DiskPath(media + "/Neu")));
  EXPECT_EQ(s.client.CreateDir(media + "/Neu"), 1) << "an existing folder is refused with class 5";
  EXPECT_EQ(s.client.ChangeDir(media + "/Fehlt"), 1);
  EXPECT_EQ(s.client.ChangeDir(media + "/Neu"), 0);
  EXPECT_EQ(s.client.ParentDir(), 0);

  EXPECT_EQ(s.client.RenameFile(media + "/Liesmich.txt", media + "/Neu/Readme.txt"), 0);
  EXPECT_FALSE(fs::exists(s.sim.DiskPath(media + "/Liesmich.txt")));
  EXPECT_TRUE(fs::is_regular_file(s.sim.DiskPath(media + "/Neu/Readme.txt")));
  EXPECT_EQ(s.client.RenameFile(media + "/Liesmich.txt", media + "/x.txt"), 1) << "RNFR of a missing file";

  std::int64_t size = -1;
  EXPECT_EQ(s.client.RemoteFileSize(media + "/Neu/Readme.txt", size), 0);
  EXPECT_EQ(size, FileSize(s.sim.DiskPath(media + "/Neu/Readme.txt")));
  EXPECT_EQ(s.client.RemoteFileSize(media + "/Fehlt.txt", size), 1);

  EXPECT_EQ(s.client.RemoveDir(media + "/Neu"), 1) << "a folder that is not empty stays";
  EXPECT_EQ(s.client.DeleteFile(media + "/Neu/Readme.txt"), 0);
  EXPECT_EQ(s.client.DeleteFile(media + "/Neu/Readme.txt"), 1);
  EXPECT_EQ(s.client.RemoveDir(media + "/Neu"), 0);
  EXPECT_FALSE(fs::exists(s.sim.DiskPath(media + "/Neu")));

  // A name taken from a listing can never carry a second command onto the wire.
  EXPECT_EQ(s.client.DeleteFile("x\r\nDELE " + std::string(kChannelFile)), -1);
  EXPECT_TRUE(fs::exists(s.sim.DiskPath(kChannelFile)));
  EXPECT_TRUE(s.recorder.Matching("Command DELE x").empty());
  EXPECT_EQ(s.client.RemoteFileSize(kChannelFile, size), 0) << "the connection is still in step";
  EXPECT_EQ(size, FileSize(s.sim.DiskPath(kChannelFile)));

  EXPECT_EQ(s.client.Logout(), 0);
  EXPECT_EQ(s.sim.Stop(), 0) << "SIGTERM stops the simulator cleanly";
}
