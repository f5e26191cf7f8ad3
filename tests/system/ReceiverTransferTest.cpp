// Downloads, uploads, cancel and the observers' notifications of the FTP
// client against the receiver simulator. Each test runs its own simulator on
// its own loopback address (127.0.0.35 to 127.0.0.41).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "support/TempDir.h"
#include "system/SystemTestUtil.h"

using nsFTP::CFTPClient;
using nsFTP::TFTPFileStatusShPtrVec;
using namespace vantrel::test;
using Strings = std::vector<std::string>;

static vantrel::test::IsolatedSettings g_isolated;

namespace {

constexpr std::int64_t kBigFile = 20 * 1024 * 1024;
// The cancel tests: a file that takes about 30 s at the throttled rate, cancelled within its first 128 KiB.
constexpr std::int64_t kThrottle = 256 * 1024;
constexpr std::int64_t kSlowFile = 8 * 1024 * 1024;
constexpr std::int64_t kCancelAfter = 96 * 1024;

// The recorder's events with what varies from run to run taken out: the
// PORT argument, reply texts (only the class stays) and chunk sizes.
Strings Shape(const FtpRecorder& recorder) {
  Strings out;
  for (const std::string& e : recorder.events) {
    if (e.rfind("Reply ", 0) == 0) {
      out.push_back(e.substr(0, 7) + "xx");
    } else if (e.rfind("Command PORT ", 0) == 0) {
      out.push_back("Command PORT");
    } else {
      out.push_back(e);
    }
  }
  return out;
}

}  // namespace

TEST(ReceiverTransfer, EmptyFileBothWays) {
  SimSession s(SimOn("127.0.0.35"));
  ASSERT_TRUE(s.StartAndLogin());
  const std::string remote = "/ftproot/Media/leer.bin";
  s.local.Write("empty-up.bin", "");

  ASSERT_TRUE(s.client.UploadFile(s.local.File("empty-up.bin"), remote));
  EXPECT_EQ(FileSize(s.sim.DiskPath(remote)), 0);
  ASSERT_TRUE(s.client.DownloadFile(remote, s.local.File("empty-down.bin")));
  EXPECT_EQ(FileSize(s.local.File("empty-down.bin")), 0);
  EXPECT_EQ(s.recorder.chunkBytes, 0);
  EXPECT_EQ(s.recorder.Matching("ReceiveEnd"), Strings{"ReceiveEnd 0"});
  EXPECT_TRUE(s.recorder.errors.empty());
}

TEST(ReceiverTransfer, TwentyMegabytesBothWaysKeepTheirChecksums) {
  SimSession s(SimOn("127.0.0.36"));
  ASSERT_TRUE(s.StartAndLogin());
  const std::string up = s.local.File("up.bin");
  WriteRandomFile(up, kBigFile, 20261209);
  const std::string upSum = Sha256Of(up);
  ASSERT_EQ(upSum.size(), 64u);

  ASSERT_TRUE(s.client.UploadFile(up, "/ftproot/Timeshift/big.bin"));
  EXPECT_EQ(Sha256Of(s.sim.DiskPath("/ftproot/Timeshift/big.bin")), upSum);
  EXPECT_EQ(s.recorder.chunkBytes, kBigFile);

  // A different file from the receiver's side, so a download cannot pass by
  // finding the upload's bytes.
  const std::string served = "/ftproot/Timeshift/served.bin";
  WriteRandomFile(s.sim.DiskPath(served), kBigFile, 77);
  const std::string servedSum = Sha256Of(s.sim.DiskPath(served));
  ASSERT_NE(servedSum, upSum);
  s.recorder.chunkBytes = 0;
  s.recorder.chunkSizes.clear();
  ASSERT_TRUE(s.client.DownloadFile(served, s.local.File("down.bin")));
  EXPECT_EQ(Sha256Of(s.local.File("down.bin")), servedSum);
  EXPECT_EQ(s.recorder.chunkBytes, kBigFile);
  // The size came from SIZE (answered because TYPE I went first).
  EXPECT_EQ(s.recorder.Matching("DownloadBegin").back(),
            "DownloadBegin " + served + " " + s.local.File("down.bin") + " " + std::to_string(kBigFile));
  // One notification per chunk of at most 2048 bytes.
  EXPECT_LE(*std::max_element(s.recorder.chunkSizes.begin(), s.recorder.chunkSizes.end()), 2048);
  EXPECT_GE(s.recorder.chunkSizes.size(), static_cast<std::size_t>(kBigFile / 2048));
  EXPECT_TRUE(s.recorder.errors.empty());
}

TEST(ReceiverTransfer, UploadIntoAMissingFolderFailsAndCreatesNothing) {
  SimSession s(SimOn("127.0.0.37"));
  ASSERT_TRUE(s.StartAndLogin());
  const std::string file = s.local.Write("data.bin", std::string(5000, 'x'));

  EXPECT_FALSE(s.client.UploadFile(file, "/ftproot/Fehlt/data.bin"));
  EXPECT_FALSE(std::filesystem::exists(s.sim.DiskPath("/ftproot/Fehlt")));
  EXPECT_EQ(s.recorder.chunkBytes, 0);

  // The client is still in step with the receiver.
  TFTPFileStatusShPtrVec entries;
  ASSERT_TRUE(s.client.List("/ftproot", entries));
  EXPECT_FALSE(entries.empty());
  ASSERT_TRUE(s.client.UploadFile(file, "/ftproot/Timeshift/data.bin"));
  EXPECT_EQ(ReadFile(s.sim.DiskPath("/ftproot/Timeshift/data.bin")), std::string(5000, 'x'));
}

TEST(ReceiverTransfer, DownloadOfAMissingFileLeavesNoLocalFile) {
  SimSession s(SimOn("127.0.0.38"));
  ASSERT_TRUE(s.StartAndLogin());
  const std::string local = s.local.File("missing.bin");

  EXPECT_FALSE(s.client.DownloadFile("/ftproot/Media/fehlt.bin", local));
  EXPECT_FALSE(std::filesystem::exists(local));
  // No data connection was taken: begin and end of the download, nothing between.
  EXPECT_EQ(s.recorder.TransferEvents(), (Strings{"DownloadBegin /ftproot/Media/fehlt.bin " + local + " 0",
                                                  "DownloadEnd /ftproot/Media/fehlt.bin " + local + " 0"}));

  ASSERT_TRUE(s.client.DownloadFile(kChannelFile, s.local.File("channel.xml")));
  EXPECT_EQ(Sha256Of(s.local.File("channel.xml")), Sha256Of(s.sim.DiskPath(kChannelFile)));
}

TEST(ReceiverCancel, FromAnObserverMidDownload) {
  ReceiverSim::Options options = SimOn("127.0.0.39");
  options.throttle = kThrottle;
  SimSession s(options);
  ASSERT_TRUE(s.StartAndLogin());
  const std::string slow = "/ftproot/Timeshift/slow.bin";
  WriteRandomFile(s.sim.DiskPath(slow), kSlowFile, 39);
  const std::string local = s.local.File("slow.bin");

  s.recorder.onChunk = [&](std::int64_t total) {
    if (total >= kCancelAfter) s.client.Abort();
  };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(s.client.DownloadFile(slow, local));
  s.recorder.onChunk = nullptr;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << "the cancel did not stop it";

  // No partial file is left; the chunks handed on are counted exactly.
  EXPECT_FALSE(std::filesystem::exists(local));
  const std::int64_t partial = s.recorder.chunkBytes;
  EXPECT_GE(partial, kCancelAfter);
  EXPECT_LT(partial, kSlowFile);
  // ABOR went from the transferring thread after the data stopped, before the download's end.
  const Strings shape = Shape(s.recorder);
  const auto abor = std::find(shape.begin(), shape.end(), "Command ABOR");
  ASSERT_NE(abor, shape.end());
  // Its total counts exactly the bytes handed on, not the chunk read after the cancel.
  EXPECT_EQ(*(abor - 1), "ReceiveEnd " + std::to_string(partial));
  EXPECT_EQ(shape.back(), "DownloadEnd " + slow + " " + local + " " + std::to_string(kSlowFile));
  EXPECT_FALSE(s.client.IsAbortRequested());

  // The next commands on the same client get their own replies.
  std::int64_t size = -1;
  EXPECT_EQ(s.client.RemoteFileSize(slow, size), 0);
  EXPECT_EQ(size, kSlowFile);
  TFTPFileStatusShPtrVec entries;
  ASSERT_TRUE(s.client.List("/ftproot/Timeshift", entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0]->Name(), "slow.bin");
  ASSERT_TRUE(s.client.DownloadFile(kChannelFile, s.local.File("channel.xml")));
  EXPECT_EQ(Sha256Of(s.local.File("channel.xml")), Sha256Of(s.sim.DiskPath(kChannelFile)));
}

TEST(ReceiverCancel, FromAnotherThreadMidDownload) {
  ReceiverSim::Options options = SimOn("127.0.0.40");
  options.throttle = kThrottle;
  SimSession s(options);
  ASSERT_TRUE(s.StartAndLogin());
  const std::string slow = "/ftproot/Timeshift/slow.bin";
  WriteRandomFile(s.sim.DiskPath(slow), kSlowFile, 40);
  const std::string local = s.local.File("slow.bin");

  // The window thread's Cancel button: it sees the progress and cancels.
  std::mutex mutex;
  std::condition_variable progressed;
  bool reached = false;
  s.recorder.onChunk = [&](std::int64_t total) {
    if (total < kCancelAfter) return;
    std::lock_guard<std::mutex> lock(mutex);
    if (!reached) {
      reached = true;
      progressed.notify_one();
    }
  };
  bool transferringAtCancel = false;
  std::thread canceller([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (progressed.wait_for(lock, std::chrono::seconds(30), [&] { return reached; })) {
      transferringAtCancel = s.client.IsTransferring();
      s.client.Abort();
    }
  });
  const bool result = s.client.DownloadFile(slow, local);
  canceller.join();
  s.recorder.onChunk = nullptr;

  EXPECT_FALSE(result);
  EXPECT_TRUE(transferringAtCancel);
  EXPECT_FALSE(std::filesystem::exists(local)) << "a cancelled download leaves no partial file";

  // The same client goes on: a download of the whole (small) channel list.
  ASSERT_TRUE(s.client.DownloadFile(kChannelFile, s.local.File("channel.xml")));
  EXPECT_EQ(Sha256Of(s.local.File("channel.xml")), Sha256Of(s.sim.DiskPath(kChannelFile)));
}

namespace {

// Writes its tag into a log shared by several observers, for their order.
class TaggedRecorder : public FtpRecorder {
 public:
  TaggedRecorder(char tag, std::string& log) : m_tag(tag), m_log(log) {}
  void NotifyCommand(const nsFTP::CCommand& command, const nsFTP::CArg& arguments) override {
    m_log += m_tag;
    FtpRecorder::NotifyCommand(command, arguments);
  }
  void NotifyReply(const nsFTP::CServerReply& reply) override {
    m_log += m_tag;
    FtpRecorder::NotifyReply(reply);
  }
  void NotifyReceiveBegin() override {
    m_log += m_tag;
    FtpRecorder::NotifyReceiveBegin();
  }
  void NotifyDownloadEnd(const std::string& remote, const std::string& local, std::int64_t size) override {
    m_log += m_tag;
    FtpRecorder::NotifyDownloadEnd(remote, local, size);
  }

 private:
  char m_tag;
  std::string& m_log;
};

}  // namespace

TEST(ReceiverObservers, OrderOfNotifications) {
  ReceiverSim sim(SimOn("127.0.0.41"));
  ASSERT_TRUE(sim.Start()) << sim.Output();
  TempDir dir;
  std::string order;
  TaggedRecorder first('A', order), second('B', order), dropped('C', order);
  CFTPClient client;
  ASSERT_TRUE(client.AddObserver(&first));
  ASSERT_TRUE(client.AddObserver(&second));
  ASSERT_TRUE(client.AddObserver(&dropped));
  EXPECT_FALSE(client.AddObserver(&first)) << "an observer is attached once";
  {
    // An observer that ends while attached leaves the client first.
    FtpRecorder shortLived;
    client.AddObserver(&shortLived);
  }
  EXPECT_EQ(client.GetObservers().size(), 3u);
  ASSERT_TRUE(client.Login(nsFTP::CServerLogin(sim.Address(), sim.ChannelPort(), "root", sim.Pin())));
  ASSERT_TRUE(client.RemoveObserver(&dropped));

  const std::string local = dir.File("channel.xml");
  const std::string size = std::to_string(FileSize(sim.DiskPath(kChannelFile)));
  const std::string path = kChannelFile;
  first.events.clear();
  second.events.clear();
  order.clear();
  ASSERT_TRUE(client.DownloadFile(kChannelFile, local));
  const std::string upload = dir.Write("up.txt", std::string(5000, 'u'));
  ASSERT_TRUE(client.UploadFile(upload, "/ftproot/Media/up.txt"));
  TFTPFileStatusShPtrVec entries;
  ASSERT_TRUE(client.List(kChannelFolder, entries));

  // The download: TYPE I before SIZE, so the size is known at its begin.
  Strings expected = {"Command TYPE I",
                      "Reply 2xx",
                      "Command SIZE " + path,
                      "Reply 2xx",
                      "DownloadBegin " + path + " " + local + " " + size,
                      "Command PORT",
                      "Reply 2xx",
                      "Command RETR " + path,
                      "Reply 1xx",
                      "ReceiveBegin",
                      "ChunkReceived",
                      "ReceiveEnd " + size,
                      "Reply 2xx",
                      "DownloadEnd " + path + " " + local + " " + size};
  // The upload: the type is already I.
  const Strings uploadPart = {"UploadBegin " + upload + " /ftproot/Media/up.txt 5000",
                              "Command PORT",
                              "Reply 2xx",
                              "Command STOR /ftproot/Media/up.txt",
                              "Reply 1xx",
                              "ChunkSent",
                              "Reply 2xx",
                              "UploadEnd " + upload + " /ftproot/Media/up.txt 5000"};
  // The listing goes in ASCII.
  const std::int64_t listed = first.chunkBytes.load() - std::stoll(size) - 5000;
  const Strings listPart = {"Command TYPE A",
                            "Reply 2xx",
                            "Command PORT",
                            "Reply 2xx",
                            "Command LIST " + std::string(kChannelFolder),
                            "Reply 1xx",
                            "ReceiveBegin",
                            "ChunkReceived",
                            "ReceiveEnd " + std::to_string(listed),
                            "Reply 2xx"};
  expected.insert(expected.end(), uploadPart.begin(), uploadPart.end());
  expected.insert(expected.end(), listPart.begin(), listPart.end());
  EXPECT_EQ(Shape(first), expected);
  EXPECT_EQ(first.events, second.events);
  EXPECT_EQ(first.chunkSizes, second.chunkSizes);
  // Every notification reaches the observers in the order they were attached;
  // the removed one hears nothing more.
  ASSERT_FALSE(order.empty());
  ASSERT_EQ(order.size() % 2, 0u);
  for (std::size_t i = 0; i < order.size(); i += 2) ASSERT_EQ(order.substr(i, 2), "AB") << "at " << i;
  EXPECT_TRUE(dropped.Matching("DownloadBegin").empty());
  EXPECT_TRUE(first.errors.empty());
}
