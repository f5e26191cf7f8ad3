// Folder-tree copies and deletions against the receiver simulator (one per
// test, on 127.0.0.110 to 127.0.0.116) and hostile listings from the
// scripted server.
#include "ftp/FolderTransfer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "support/FtpRecorder.h"
#include "support/ReceiverSim.h"
#include "support/ScriptedFtpServer.h"
#include "support/TempDir.h"

using namespace vantrel;
using namespace vantrel::test;
namespace fs = std::filesystem;

static vantrel::test::IsolatedSettings g_isolated;

namespace {

using Tree = std::map<std::string, std::string>;

// A nested tree with an empty folder and an empty file.
void MakeTree(const std::string& root) {
  WriteAt(root + "/a.txt", "alpha");
  WriteAt(root + "/sub/b.bin", std::string(5000, '\x7f'));
  WriteAt(root + "/sub/deeper/c.txt", "");
  fs::create_directories(root + "/empty");
}

struct Session {
  explicit Session(const std::string& address) : Session(Options(address)) {}
  explicit Session(ReceiverSim::Options options) : sim(std::move(options)) { client.AddObserver(&recorder); }
  static ReceiverSim::Options Options(const std::string& address) {
    ReceiverSim::Options o;
    o.simulator = VANTREL_RECEIVER_SIM;
    o.address = address;
    return o;
  }
  ::testing::AssertionResult Start() {
    if (!sim.Start()) return ::testing::AssertionFailure() << sim.Output();
    if (!client.Login(nsFTP::CServerLogin(sim.Address(), sim.FtpPort(), "root", sim.Pin()))) {
      return ::testing::AssertionFailure() << "login failed\n" << sim.Output();
    }
    return ::testing::AssertionSuccess();
  }
  std::string Media() const { return sim.DiskPath("/ftproot/Media"); }

  ReceiverSim sim;
  TempDir local;
  FtpRecorder recorder;
  nsFTP::CFTPClient client;
  CTransferControl control;
};

class RecordingSink : public IProgressSink {
 public:
  void SetName(const std::string& name) override { names.push_back(name); }
  void SetRange(int lower, int upper) override { range = {lower, upper}; }
  void SetPos(int position) override { positions.push_back(position); }
  std::vector<std::string> names;
  std::pair<int, int> range{0, 0};
  std::vector<int> positions;
};

}  // namespace

TEST(FolderNames, HostileNamesAreNeverUsable) {
  for (const char* bad : {"", ".", "..", "../x", "a/b", "/"}) EXPECT_FALSE(IsSafeEntryName(bad)) << bad;
  EXPECT_FALSE(IsSafeEntryName(std::string("a\0b", 3)));
  EXPECT_TRUE(IsSafeEntryName("...x"));
  EXPECT_TRUE(IsSafeEntryName("new folder(2)"));
  EXPECT_EQ(JoinReceiverPath("/", "Media"), "/Media");
  EXPECT_EQ(JoinReceiverPath("/ftproot", "Media"), "/ftproot/Media");
}

TEST(FolderTransfer, DownloadsANestedTreeWithAnEmptyFolder) {
  Session s("127.0.0.110");
  MakeTree(s.sim.DiskPath("/ftproot/Media/tree"));  // a root that is not empty is served as it is
  ASSERT_TRUE(s.Start());
  TransferJob job{true, "/ftproot/Media", s.local.Path(), {{"tree", true}}};
  const TransferResult result = RunTransferJob(s.client, job, s.control);
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.stop, TransferStop::kNone);
  EXPECT_EQ(result.itemsDone, 1);
  EXPECT_EQ(s.control.m_filesDone.load(), 3);
  EXPECT_EQ(Snapshot(s.local.File("tree")), Snapshot(s.Media() + "/tree"));
  EXPECT_EQ(Snapshot(s.local.File("tree")).count("empty"), 1u);
}

TEST(FolderTransfer, UploadsATreeWithoutFollowingFolderLinks) {
  Session s("127.0.0.111");
  ASSERT_TRUE(s.Start());
  const std::string src = s.local.File("up");
  MakeTree(src);
  fs::create_directory_symlink(src, src + "/sub/loop");  // would recurse without end if followed
  fs::create_symlink(src + "/a.txt", src + "/a-link.txt");
  TransferJob job{false, "/ftproot/Media", s.local.Path(), {{"up", true}}};
  const TransferResult result = RunTransferJob(s.client, job, s.control);
  EXPECT_EQ(result.stop, TransferStop::kNone);
  Tree expected = Snapshot(src);
  expected.erase("sub/loop");
  expected["a-link.txt"] = "alpha";
  EXPECT_EQ(Snapshot(s.Media() + "/up"), expected);
}

TEST(FolderTransfer, UploadIntoAnExistingFolderFailsAtOnceAndStopsTheRest) {
  Session s("127.0.0.112");
  ASSERT_TRUE(s.Start());
  fs::create_directories(s.Media() + "/dup");
  MakeTree(s.local.File("dup"));
  s.local.Write("later.txt", "later");
  TransferJob job{false, "/ftproot/Media", s.local.Path(), {{"dup", true}, {"later.txt", false}}};
  const TransferResult result = RunTransferJob(s.client, job, s.control);
  EXPECT_EQ(result.stop, TransferStop::kFailed);
  EXPECT_EQ(result.itemsDone, 0);
  EXPECT_TRUE(Snapshot(s.Media() + "/dup").empty());
  EXPECT_FALSE(fs::exists(s.Media() + "/later.txt"));
}

TEST(FolderTransfer, CancelDuringTheSecondFileNeverStartsTheThird) {
  ReceiverSim::Options options = Session::Options("127.0.0.113");
  options.throttle = 256 * 1024;  // the second file takes seconds, the cancel comes within its first chunks
  Session s(options);
  for (const char* name : {"one.bin", "two.bin", "three.bin"}) {
    WriteAt(s.sim.DiskPath(std::string("/ftproot/Media/") + name), std::string(2 * 1024 * 1024, 'x'));
  }
  ASSERT_TRUE(s.Start());
  int begun = 0;
  s.recorder.onChunk = [&](std::int64_t) {
    if (s.recorder.Matching("DownloadBegin").size() == 2 && begun++ == 2) s.control.Cancel(&s.client);
  };
  TransferJob job{
      true, "/ftproot/Media", s.local.Path(), {{"one.bin", false}, {"two.bin", false}, {"three.bin", false}}};
  const TransferResult result = RunTransferJob(s.client, job, s.control);
  EXPECT_EQ(result.stop, TransferStop::kCancelled);
  EXPECT_EQ(result.itemsDone, 1);
  EXPECT_EQ(fs::file_size(s.local.File("one.bin")), 2u * 1024 * 1024);
  EXPECT_FALSE(fs::exists(s.local.File("two.bin"))) << "a cancelled file is not left half written";
  EXPECT_FALSE(fs::exists(s.local.File("three.bin")));
}

TEST(FolderTransfer, CancelBetweenFilesEndsTheJobAfterTheCurrentFile) {
  Session s("127.0.0.114");
  for (const char* name : {"one.txt", "two.txt"}) WriteAt(s.sim.DiskPath(std::string("/ftproot/Media/") + name), "x");
  ASSERT_TRUE(s.Start());
  RecordingSink sink;
  struct CancelAtEnd : CFTPObserver {
    using CFTPObserver::CFTPObserver;
    void NotifyDownloadEnd(const std::string& r, const std::string& l, std::int64_t n) override {
      CFTPObserver::NotifyDownloadEnd(r, l, n);
      control->Cancel(client);
    }
    CTransferControl* control = nullptr;
    nsFTP::CFTPClient* client = nullptr;
  } observer(sink);
  observer.control = &s.control;
  observer.client = &s.client;
  s.client.AddObserver(&observer);
  TransferJob job{true, "/ftproot/Media", s.local.Path(), {{"one.txt", false}, {"two.txt", false}}};
  const TransferResult result = RunTransferJob(s.client, job, s.control);
  s.client.RemoveObserver(&observer);
  EXPECT_EQ(result.stop, TransferStop::kCancelled);
  EXPECT_EQ(ReadFile(s.local.File("one.txt")), "x");
  EXPECT_FALSE(fs::exists(s.local.File("two.txt")));
  EXPECT_EQ(sink.names, std::vector<std::string>{"one.txt"});
}

TEST(FolderTransfer, DeletesAReceiverTreeDepthFirst) {
  Session s("127.0.0.115");
  const std::string disk = s.sim.DiskPath("/ftproot/Media/gone");
  WriteAt(disk + "/x/inner.txt", "1");
  WriteAt(disk + "/top.txt", "2");
  fs::create_directories(disk + "/x/y");
  ASSERT_TRUE(s.Start());
  CFolderTransfer walk(s.client, s.control);
  ASSERT_TRUE(walk.DeleteRemoteTree("/ftproot/Media/gone"));
  EXPECT_FALSE(fs::exists(disk));
  EXPECT_TRUE(fs::exists(s.Media()));
  // Each folder's contents go before the folder itself.
  std::vector<std::string> order;
  for (const std::string& e : s.recorder.Matching("Command ")) {
    if (e.rfind("Command DELE", 0) == 0 || e.rfind("Command RMD", 0) == 0) order.push_back(e.substr(8));
  }
  auto at = [&](const std::string& what) { return std::find(order.begin(), order.end(), what) - order.begin(); };
  ASSERT_EQ(order.size(), 5u);
  EXPECT_LT(at("DELE inner.txt"), at("RMD /ftproot/Media/gone/x"));
  EXPECT_LT(at("RMD /ftproot/Media/gone/x/y"), at("RMD /ftproot/Media/gone/x"));
  EXPECT_EQ(order.back(), "RMD /ftproot/Media/gone");
}

TEST(FolderTransfer, StopsAtTheDepthBoundAndRefusesOverlongPcPaths) {
  Session s("127.0.0.116");
  std::string deep = "/ftproot/Media/d";
  for (int i = 0; i < kMaxTreeDepth + 2; ++i) deep += "/d";
  fs::create_directories(s.sim.DiskPath(deep));
  ASSERT_TRUE(s.Start());
  {
    TransferJob job{true, "/ftproot/Media", s.local.Path(), {{"d", true}}};
    const TransferResult result = RunTransferJob(s.client, job, s.control);
    EXPECT_EQ(result.stop, TransferStop::kTooDeep);
    int levels = 0;
    for (std::string p = s.local.File("d"); fs::is_directory(p); p += "/d") ++levels;
    EXPECT_EQ(levels, kMaxTreeDepth);
    CFolderTransfer walk(s.client, s.control);
    EXPECT_FALSE(walk.DeleteRemoteTree("/ftproot/Media/d"));
    EXPECT_EQ(walk.Stop(), TransferStop::kTooDeep);
  }
  {
    WriteAt(s.Media() + "/f.txt", "f");
    const std::string longFolder = s.local.Path() + "/" + std::string(kMaxPcPath, 'p');
    TransferJob job{true, "/ftproot/Media", longFolder, {{"f.txt", false}}};
    EXPECT_EQ(RunTransferJob(s.client, job, s.control).stop, TransferStop::kPathTooLong);
    EXPECT_EQ(s.control.StopPath(), longFolder + "/f.txt");
  }
}

TEST(FolderTransfer, HostileListingWritesNothingOutsideTheTarget) {
  ScriptedFtpServer server;  // 127.0.0.1, ephemeral port
  server.Welcome().Reply("220 ready");
  server.On("USER").Reply("331 password please");
  server.On("PASS").Reply("230 logged in");
  server.On("CWD").Reply("250 ok");
  server.On("TYPE").Reply("200 ok");
  server.On("PORT").Reply("200 ok");
  server.On("LIST")
      .Reply("150 listing")
      .SendData(
          "-rw-r--r-- 1 root root 4 Mar 3 2011 ../x\r\n"
          "drwxr-xr-x 2 root root 4096 Mar 3 2011 ..\r\n"
          "drwxr-xr-x 2 root root 4096 Mar 3 2011 ../../up\r\n"
          "-rw-r--r-- 1 root root 2 Mar 3 2011 ok.txt\r\n")
      .Reply("226 done");
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 2");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 sending").SendData("ok").Reply("226 done");
  server.On("CDUP").Reply("250 ok");
  server.Start();

  TempDir dir;
  const std::string target = dir.File("target");
  nsFTP::CFTPClient client(nullptr, 2);
  ASSERT_TRUE(client.Login(nsFTP::CServerLogin(server.Address(), server.Port(), "root", "8157")));
  CTransferControl control;
  CFolderTransfer walk(client, control);
  EXPECT_TRUE(walk.DownloadFolder("/evil", target));
  EXPECT_EQ(Snapshot(dir.Path()), (Tree{{"target", "<dir>"}, {"target/ok.txt", "ok"}}));
  EXPECT_EQ(control.m_skippedNames.load(), 2);
  for (const std::string& line : server.Commands()) EXPECT_EQ(line.find(".."), std::string::npos) << line;
}

TEST(FTPObserver, BarCountsBlocksOf2048Bytes) {
  RecordingSink sink;
  CFTPObserver observer(sink);
  observer.NotifyDownloadBegin("/r/one", "/pc/one", 1);
  EXPECT_EQ(sink.range, (std::pair{0, 1}));
  observer.NotifyChunkReceived("x", 1);
  observer.NotifyDownloadEnd("/r/one", "/pc/one", 1);
  EXPECT_EQ(sink.positions.back(), 1);

  sink.positions.clear();
  observer.NotifyUploadBegin("/pc/three", "/r/three", 3000);
  EXPECT_EQ(sink.range, (std::pair{0, 2}));
  observer.NotifyChunkSent(nullptr, 2048);
  EXPECT_EQ(sink.positions.back(), 1);
  observer.NotifyChunkSent(nullptr, 952);
  EXPECT_EQ(sink.positions.back(), 2);
  EXPECT_EQ(sink.names, (std::vector<std::string>{"one", "three"}));

  // A size the receiver does not report keeps the previous range; the bar never passes full.
  observer.NotifyDownloadBegin("/r/u", "/pc/u", -1);
  EXPECT_EQ(sink.range, (std::pair{0, 2}));
  observer.NotifyChunkReceived(nullptr, 2048);
  observer.NotifyChunkReceived(nullptr, 2048);
  observer.NotifyChunkReceived(nullptr, 2048);
  EXPECT_EQ(observer.Position(), 2);
}
