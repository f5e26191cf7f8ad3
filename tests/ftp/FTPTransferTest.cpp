// Listings, downloads, uploads and cancel against a scripted server over
// active-mode data connections, with the failures a receiver can cause.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <thread>

#include "core/AppSettings.h"
#include "ftp/FTPClient.h"
#include "support/FtpRecorder.h"
#include "support/ScriptedFtpServer.h"
#include "support/TempDir.h"
#include "support/TestSockets.h"

using nsFTP::CFTPClient;
using nsFTP::CServerLogin;
using nsFTP::TFTPFileStatusShPtrVec;
using vantrel::test::FtpRecorder;
using vantrel::test::ReadFile;
using vantrel::test::ScriptedFtpServer;
using vantrel::test::TempDir;
using Strings = std::vector<std::string>;

static vantrel::test::IsolatedSettings g_isolated;

namespace {

void ScriptLogin(ScriptedFtpServer& server) {
  server.Welcome().Reply("220 ready");
  server.On("USER").Reply("331 password please");
  server.On("PASS").Reply("230 logged in");
}

struct Fixture {
  explicit Fixture(int timeout = 2, std::unique_ptr<nsSocket::IBlockingSocket> socket = nullptr)
      : client(std::move(socket), timeout) {
    client.AddObserver(&recorder);
  }
  bool Login(const ScriptedFtpServer& server) {
    return client.Login(CServerLogin(server.Address(), server.Port(), "root", "8157"));
  }
  FtpRecorder recorder;
  CFTPClient client;
  TempDir dir;
};

std::int64_t FileSize(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? -1 : static_cast<std::int64_t>(size);
}

}  // namespace

TEST(FtpList, TypeOnceForTwoListingsThenImageForADownload) {
  const std::string listing =
      "total 24\r\n"
      "drwxr-xr-x 2 root root 4096 Mar 3 2011 Media\r\n"
      "-rw-r--r-- 1 root root 17 Mar 3 2011 lf-only.txt\n"
      "-rw-r--r-- 1 root root 5 Mar 3 2011 last without end";
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 Type set to A");
  server.On("PORT").Reply("200 PORT ok");
  server.On("LIST").Reply("150 Here comes the listing").SendData(listing).Reply("226 Done");
  server.On("PORT").Reply("200 PORT ok");
  server.On("LIST").Reply("150 Here comes the listing").SendData(listing).Reply("226 Done");
  server.On("TYPE").Reply("200 Type set to I");
  server.On("SIZE").Reply("213 3");
  server.On("PORT").Reply("200 PORT ok");
  server.On("RETR").Reply("150 Opening").SendData("abc").Reply("226 Done");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));

  TFTPFileStatusShPtrVec entries;
  ASSERT_TRUE(f.client.List("/ftproot", entries));
  ASSERT_EQ(entries.size(), 3u) << "the total line is dropped, LF-only and unterminated lines are kept";
  EXPECT_EQ(entries[0]->m_name, "Media");
  EXPECT_TRUE(entries[0]->m_isDirectory);
  EXPECT_EQ(entries[0]->Path(), "/ftproot");
  EXPECT_EQ(entries[1]->m_name, "lf-only.txt");
  EXPECT_EQ(entries[2]->m_name, "last without end");
  ASSERT_TRUE(f.client.List("", entries));
  EXPECT_EQ(entries.size(), 3u);
  ASSERT_TRUE(f.client.DownloadFile("a.bin", f.dir.File("a.bin")));
  EXPECT_EQ(ReadFile(f.dir.File("a.bin")), "abc");

  const Strings commands = server.Commands();
  EXPECT_EQ(server.Verbs(),
            (Strings{"USER", "PASS", "TYPE", "PORT", "LIST", "PORT", "LIST", "TYPE", "SIZE", "PORT", "RETR"}));
  EXPECT_EQ(commands[2], "TYPE A");
  EXPECT_EQ(commands[4], "LIST /ftproot");
  EXPECT_EQ(commands[6], "LIST") << "an empty path is left out";
  EXPECT_EQ(commands[7], "TYPE I") << "TYPE I comes before SIZE";
  EXPECT_EQ(commands[3].rfind("PORT 127,0,0,1,", 0), 0u) << commands[3];
  EXPECT_EQ(f.recorder.TransferEvents(),
            (Strings{"ReceiveBegin", "ChunkReceived", "ReceiveEnd " + std::to_string(listing.size()), "ReceiveBegin",
                     "ChunkReceived", "ReceiveEnd " + std::to_string(listing.size()),
                     "DownloadBegin a.bin " + f.dir.File("a.bin") + " 3", "ReceiveBegin", "ChunkReceived",
                     "ReceiveEnd 3", "DownloadEnd a.bin " + f.dir.File("a.bin") + " 3"}));
}

TEST(FtpList, PortArgumentCarriesTheTwoPortBytes) {
  EXPECT_EQ(nsFTP::FormatPortArgument("192.168.1.20", 5000), "192,168,1,20,19,136");
  EXPECT_EQ(nsFTP::FormatPortArgument("127.0.0.1", 1025), "127,0,0,1,4,1");
}

TEST(FtpList, FailedListingLeavesTheEntriesAlone) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("PORT").Reply("500 PORT refused");
  server.On("PORT").Reply("200 ok");
  server.On("LIST").Reply("450 busy");
  server.On("CWD").Reply("250 ok");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));
  TFTPFileStatusShPtrVec entries{std::make_shared<nsFTP::CFTPFileStatus>()};
  EXPECT_FALSE(f.client.List("/", entries));
  EXPECT_FALSE(f.client.List("/", entries));
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_FALSE(f.client.List("a\r\nDELE b", entries));
  EXPECT_EQ(f.client.ChangeDir("/"), 0) << "no reply is owed after a refused data command";
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS", "TYPE", "PORT", "PORT", "LIST", "CWD"}));
}

TEST(FtpDownload, ContentChunksAndNotificationOrder) {
  const std::string content = ScriptedFtpServer::Pattern(300000);
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 300000");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("125 Data connection already open").SendData(content).Reply("226 Done");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));
  const std::string local = f.dir.File("movie.ts");
  ASSERT_TRUE(f.client.DownloadFile("/rec/movie.ts", local));
  EXPECT_EQ(ReadFile(local), content);
  EXPECT_EQ(f.recorder.chunkBytes, 300000);
  for (int size : f.recorder.chunkSizes) {
    EXPECT_GT(size, 0);
    EXPECT_LE(size, 2048);
  }
  EXPECT_EQ(f.recorder.TransferEvents(),
            (Strings{"DownloadBegin /rec/movie.ts " + local + " 300000", "ReceiveBegin", "ChunkReceived",
                     "ReceiveEnd 300000", "DownloadEnd /rec/movie.ts " + local + " 300000"}));
}

TEST(FtpDownload, OnlyACompleteDownloadReplacesThePcFile) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 0");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").SendData("").Reply("226 Done");
  server.On("SIZE").Reply("550 No such file");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("550 No such file");
  server.On("SIZE").Reply("213 10");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("425 Can't open data connection");
  server.On("SIZE").Reply("213 10");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").SendData("0123456789").Reply("451 Local error");
  // The receiver cut the file short and still says 226.
  server.On("SIZE").Reply("213 100000");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").SendData(std::string(50000, 'h')).Reply("226 Done");
  server.On("SIZE").Reply("213 5");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").SendData("fresh").Reply("226 Done");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));
  for (const char* name : {"empty", "missing", "refused", "late", "short", "good"}) {
    std::ofstream(f.dir.File(name)) << "earlier copy";
  }
  EXPECT_TRUE(f.client.DownloadFile("empty", f.dir.File("empty")));
  EXPECT_EQ(FileSize(f.dir.File("empty")), 0);
  EXPECT_FALSE(f.client.DownloadFile("missing", f.dir.File("missing")));
  EXPECT_EQ(f.recorder.Matching("DownloadBegin missing").at(0),
            "DownloadBegin missing " + f.dir.File("missing") + " 0");
  EXPECT_FALSE(f.client.DownloadFile("refused", f.dir.File("refused")));
  EXPECT_FALSE(f.client.DownloadFile("late", f.dir.File("late"))) << "a closing reply of class 4 is a failure";
  EXPECT_FALSE(f.client.DownloadFile("short", f.dir.File("short"))) << "50000 of 100000 bytes is no download";
  EXPECT_EQ(f.recorder.errors.back(), "Incomplete download: 50000 of 100000 bytes arrived");
  for (const char* name : {"missing", "refused", "late", "short"}) {
    EXPECT_EQ(ReadFile(f.dir.File(name)), "earlier copy") << name;
  }
  EXPECT_TRUE(f.client.DownloadFile("good", f.dir.File("good")));
  EXPECT_EQ(ReadFile(f.dir.File("good")), "fresh");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.dir.Path()), {}), 6) << "a temporary was left";
}

TEST(FtpDownload, LocalFileProblemsAreReportedAndSendNothing) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 400000");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").StreamDataUntilCommand(400000);
  server.On("ABOR").Reply("426 aborted").Reply("226 ok");
  server.On("CWD").Reply("250 ok");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));
  EXPECT_FALSE(f.client.DownloadFile("x", f.dir.File("no/such/folder/x")));
  EXPECT_EQ(f.recorder.errors, (Strings{"No such file or directory"}));
  EXPECT_FALSE(f.client.DownloadFile("x\r\nDELE y", f.dir.File("x")));
  EXPECT_FALSE(std::filesystem::exists(f.dir.File("x")));
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS"}));
  // A full disk stops the transfer and fails it instead of leaving a short file behind as a success.
  f.recorder.errors.clear();
  EXPECT_FALSE(f.client.DownloadFile("big", "/dev/full")) << "a device is never replaced";
  EXPECT_EQ(f.recorder.errors, (Strings{"Invalid argument"}));
  f.recorder.errors.clear();
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  ::getrlimit(RLIMIT_FSIZE, &previous);
  rlimit small = previous;
  small.rlim_cur = 100000;
  ::setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_FALSE(f.client.DownloadFile("big", f.dir.File("big")));
  ::setrlimit(RLIMIT_FSIZE, &previous);
  EXPECT_EQ(f.recorder.errors, (Strings{"File too large"}));
  EXPECT_FALSE(std::filesystem::exists(f.dir.File("big")));
  EXPECT_EQ(f.client.ChangeDir("/"), 0);
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS", "TYPE", "SIZE", "PORT", "RETR", "ABOR", "CWD"}));
}

TEST(FtpDownload, CancelFromAnotherThreadStopsAfterTheCurrentChunk) {
  constexpr std::size_t kStream = 16 * 1024 * 1024;
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 16777216");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").StreamDataUntilCommand(kStream);
  server.On("ABOR").Reply("426 Transfer aborted").Reply("226 ABOR successful");
  server.On("CWD").Reply("250 ok");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));

  std::promise<void> halfway;
  bool signalled = false;
  f.recorder.onChunk = [&](std::int64_t bytes) {
    if (!signalled && bytes >= 200000) {
      signalled = true;
      halfway.set_value();
    }
  };
  std::thread cancel([&, done = halfway.get_future()]() mutable {
    done.wait();
    EXPECT_EQ(f.client.Abort(), 0);
  });
  const std::string local = f.dir.File("partial.ts");
  const bool result = f.client.DownloadFile("big.ts", local);
  cancel.join();
  EXPECT_FALSE(result);
  EXPECT_LT(server.StreamedBytes(), kStream) << "the stream was stopped early";
  EXPECT_FALSE(std::filesystem::exists(local)) << "a cancelled download leaves no file";
  EXPECT_TRUE(std::filesystem::is_empty(f.dir.Path())) << "nor a temporary";
  EXPECT_FALSE(f.client.IsAbortRequested());
  EXPECT_EQ(f.client.ChangeDir("/"), 0) << "the second reply after ABOR is not taken for CWD's";
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS", "TYPE", "SIZE", "PORT", "RETR", "ABOR", "CWD"}));
  const Strings replies = f.recorder.Matching("Reply ");
  EXPECT_EQ(Strings(replies.end() - 3, replies.end()),
            (Strings{"Reply 426 Transfer aborted", "Reply 226 ABOR successful", "Reply 250 ok"}));
}

TEST(FtpDownload, CancelOutsideATransferIsOnlyARequest) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 2");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").SendData("ok").Reply("226 Done");
  server.On("QUIT").Reply("221 bye");
  server.NextConnection().Reply("220 ready");
  server.On("USER").Reply("230 in");
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 2");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").SendData("ok").Reply("226 Done");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));
  EXPECT_EQ(f.client.Abort(), 0);
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS"})) << "no ABOR from the cancelling thread";
  EXPECT_FALSE(f.client.DownloadFile("one", f.dir.File("one"))) << "the next transfer honours the request";
  EXPECT_FALSE(std::filesystem::exists(f.dir.File("one")));
  EXPECT_TRUE(f.client.DownloadFile("two", f.dir.File("two")));
  // A request left over from an earlier job does not reach into the next login.
  f.client.Abort();
  ASSERT_TRUE(f.Login(server));
  EXPECT_TRUE(f.client.DownloadFile("three", f.dir.File("three")));
  EXPECT_EQ(ReadFile(f.dir.File("three")), "ok");
}

TEST(FtpDownload, BrokenDataConnectionsFailAndTheControlConnectionGoesOn) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 100");
  server.On("PORT").Reply("200 ok");
  // Connected, but silent: the data connection times out.
  server.On("RETR").Reply("150 Opening").ConnectDataFrom("").Reply("426 Connection closed; transfer aborted");
  server.On("SIZE").Reply("213 100");
  server.On("PORT").Reply("200 ok");
  // Announced, but no data connection ever comes.
  server.On("RETR").Reply("150 Opening");
  server.On("CWD").Reply("426 Transfer aborted").Reply("250 ok");
  server.Start();
  Fixture f(1);
  ASSERT_TRUE(f.Login(server));
  EXPECT_FALSE(f.client.DownloadFile("stalls", f.dir.File("stalls")));
  ASSERT_FALSE(f.recorder.errors.empty());
  EXPECT_EQ(f.recorder.errors.back().rfind("Receive timeout", 0), 0u) << f.recorder.errors.back();
  EXPECT_TRUE(f.client.IsConnected());
  EXPECT_FALSE(f.client.DownloadFile("never", f.dir.File("never")));
  EXPECT_EQ(f.recorder.errors.back(), nsFTP::NoConnectBackText({})) << "the PC's firewall is the likely cause";
  // The closing reply owed for it comes only later, when it would answer the next command.
  EXPECT_EQ(f.client.ChangeDir("/"), -1);
  EXPECT_FALSE(f.client.IsConnected()) << "replies out of step end the connection; the next login starts afresh";
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS", "TYPE", "SIZE", "PORT", "RETR", "SIZE", "PORT", "RETR"}));
}

TEST(FtpDownload, AbortForGoodEndsAStalledDownloadAtOnceWithoutWaitingForTheReceiver) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 100");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").ConnectDataFrom("");  // connected, silent, and no answer to ABOR
  server.Start();
  Fixture f(10);
  // The owner goes away while the receiver sends nothing.
  struct Leaver : CFTPClient::CNotification {
    explicit Leaver(CFTPClient& c) : client(c) {}
    void NotifyReceiveBegin() override { client.AbortForGood(); }
    CFTPClient& client;
  } leaver(f.client);
  f.client.AddObserver(&leaver);
  ASSERT_TRUE(f.Login(server));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(f.client.DownloadFile("stalls", f.dir.File("stalls")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_FALSE(f.client.IsConnected());
  EXPECT_FALSE(std::filesystem::exists(f.dir.File("stalls")));
  f.client.RemoveObserver(&leaver);
}

TEST(FtpDownload, ServerClosingAfterTheOpeningReply) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 100");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").CloseControl();
  server.Start();
  Fixture f(1);
  ASSERT_TRUE(f.Login(server));
  EXPECT_FALSE(f.client.DownloadFile("gone", f.dir.File("gone")));
  EXPECT_EQ(f.client.ChangeDir("/"), -1);
  EXPECT_FALSE(f.client.IsConnected());
  EXPECT_EQ(f.client.ChangeDir("/"), -1);
}

TEST(FtpDownload, DataConnectionFromAnotherAddressIsRefused) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("SIZE").Reply("213 4");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").ConnectDataFrom("127.0.0.77").SendData("real").Reply("226 Done");
  server.On("SIZE").Reply("213 4");
  server.On("PORT").Reply("200 ok");
  server.On("RETR").Reply("150 Opening").SendDataFrom("127.0.0.78", "fake");
  server.Start();
  Fixture f(1);
  ASSERT_TRUE(f.Login(server));
  ASSERT_TRUE(f.client.DownloadFile("a", f.dir.File("a")));
  EXPECT_TRUE(server.ForeignClosedByClient());
  EXPECT_EQ(ReadFile(f.dir.File("a")), "real");
  EXPECT_FALSE(f.client.DownloadFile("b", f.dir.File("b")));
  EXPECT_EQ(ReadFile(f.dir.File("b")), "");
}

TEST(FtpDownload, FailuresOfSocketCallsEndWithFalse) {
  for (const char* fault : {"GetSockName", "Accept", "Close", "Bind"}) {
    ScriptedFtpServer server;
    ScriptLogin(server);
    server.On("TYPE").Reply("200 ok");
    server.On("SIZE").Reply("213 4");
    server.On("PORT").Reply("200 ok");
    server.On("RETR").Reply("150 Opening").SendData("data").Reply("226 Done");
    server.Start();
    auto faults = std::make_shared<std::set<std::string>>();
    Fixture f(1, std::make_unique<vantrel::test::FaultySocket>(faults));
    ASSERT_TRUE(f.Login(server));
    faults->insert(fault);
    EXPECT_FALSE(f.client.DownloadFile("a", f.dir.File("a"))) << fault;
    ASSERT_FALSE(f.recorder.errors.empty()) << fault;
    EXPECT_EQ(f.recorder.errors.back(), std::string(fault) + " error 0x00000005");
    faults->clear();
  }
}

TEST(FtpUpload, ContentNotificationsAndRefusals) {
  const std::string content = ScriptedFtpServer::Pattern(100000);
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("PORT").Reply("200 ok");
  server.On("STOR").Reply("150 Ok to send data").ReceiveData().Reply("226 Transfer complete");
  server.On("PORT").Reply("200 ok");
  server.On("STOR").Reply("553 Could not create file");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));
  const std::string local = f.dir.Write("channel.xml", content);
  ASSERT_TRUE(f.client.UploadFile(local, "channel.xml"));
  EXPECT_EQ(server.Uploaded(), content);
  EXPECT_EQ(f.recorder.chunkBytes, 100000);
  EXPECT_EQ(f.recorder.TransferEvents(), (Strings{"UploadBegin " + local + " channel.xml 100000", "ChunkSent",
                                                  "UploadEnd " + local + " channel.xml 100000"}));
  EXPECT_FALSE(f.client.UploadFile(local, "/missing/folder/channel.xml"));
  f.recorder.errors.clear();
  EXPECT_FALSE(f.client.UploadFile(f.dir.File("not-there"), "x"));
  EXPECT_EQ(f.recorder.errors, (Strings{"No such file or directory"}));
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS", "TYPE", "PORT", "STOR", "PORT", "STOR"}));
}

TEST(FtpUpload, AStalledUploadIsAbortedNotEndedAsComplete) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("PORT").Reply("200 ok");
  server.On("STOR").Reply("150 Ok to send data").HoldDataUntilCommand();
  server.On("ABOR").Reply("426 Transfer aborted").Reply("226 ABOR successful");
  server.On("CWD").Reply("250 ok");
  server.Start();
  Fixture f(1);
  ASSERT_TRUE(f.Login(server));
  // More than the socket buffers of both ends hold, so the sending stalls.
  const std::string local = f.dir.Write("big.ts", std::string(48 * 1024 * 1024, 'r'));
  EXPECT_FALSE(f.client.UploadFile(local, "big.ts"));
  EXPECT_EQ(f.recorder.errors.front(), "Send timeout error");
  EXPECT_EQ(f.client.ChangeDir("/"), 0) << "both replies to ABOR were read";
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS", "TYPE", "PORT", "STOR", "ABOR", "CWD"}));
}

namespace {

// A free port with the next five after it, the first held by a listener of
// its own on every address so the client finds it busy.
struct BusyFirstPort {
  BusyFirstPort() {
    busy.Create(nsSocket::kStreamSocket);
    busy.Bind(nsSocket::AnyAddress(0));  // the system's ephemeral ports lie well inside 1024-65530
    nsSocket::SocketAddress address{};
    busy.GetSockName(address);
    first = nsSocket::AddressPort(address);
    busy.Listen();
  }
  nsSocket::CBlockingSocket busy;
  unsigned first = 0;
};

unsigned PortOfArgument(const std::string& portCommand) {
  unsigned numbers[6] = {};
  std::sscanf(portCommand.c_str(), "PORT %u,%u,%u,%u,%u,%u", &numbers[0], &numbers[1], &numbers[2], &numbers[3],
              &numbers[4], &numbers[5]);
  return numbers[4] * 256 + numbers[5];
}

}  // namespace

TEST(FtpDataPorts, SettingsRangeIsOfferedAndABusyPortSkipped) {
  BusyFirstPort ports;
  vantrel::GetSettings().SetDataPorts({ports.first, ports.first + 5});
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("PORT").Reply("200 ok");
  server.On("LIST").Reply("150 listing").SendData("-rw-r--r-- 1 root root 5 Jan 1 10:00 a.ts\r\n").Reply("226 ok");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));
  TFTPFileStatusShPtrVec entries;
  const bool listed = f.client.List("/", entries);
  vantrel::GetSettings().SetDataPorts({});
  ASSERT_TRUE(listed);
  EXPECT_EQ(entries.size(), 1u);
  const unsigned offered = PortOfArgument(server.Commands().at(3));
  EXPECT_GT(offered, ports.first) << server.Commands().at(3) << ": the busy first port is skipped";
  EXPECT_LE(offered, ports.first + 5) << server.Commands().at(3);
}

TEST(FtpDataPorts, ReceiverThatNeverConnectsBackIsBlamedOnTheFirewallWithThePorts) {
  BusyFirstPort ports;
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("PORT").Reply("200 ok");
  server.On("LIST").Reply("150 listing");  // and never connects
  server.Start();
  Fixture f(1);
  f.client.SetDataPortRange({ports.first + 1, ports.first + 2});
  ASSERT_TRUE(f.Login(server));
  TFTPFileStatusShPtrVec entries;
  EXPECT_FALSE(f.client.List("/", entries));
  EXPECT_TRUE(f.client.ReceiverDidNotConnectBack());
  const std::string range = std::to_string(ports.first + 1) + "-" + std::to_string(ports.first + 2);
  ASSERT_EQ(f.recorder.errors.size(), 1u);
  EXPECT_EQ(f.recorder.errors[0],
            "The PVR did not connect back to this PC. The PC's firewall may block it: allow "
            "incoming TCP connections on ports " +
                range + ".");
  EXPECT_NE(nsFTP::NoConnectBackText({}).find("choose data ports in Settings"), std::string::npos)
      << "without a range the user is sent to Settings";
}

TEST(FtpList, LinesAcrossChunksAndLongFieldsSurviveAndAnEntryOutlivesItsListing) {
  // Lines of uneven length so that many of them straddle the 2048-byte chunks.
  std::string listing;
  Strings names;
  for (int i = 0; i < 400; ++i) {
    names.push_back("file " + std::string(static_cast<std::size_t>(i % 37), 'x') + std::to_string(i) + ".ts");
    listing += "-rw-r--r-- 1 " + std::string(i % 2 == 0 ? "root" : "owner-with-a-long-name") + " root " +
               std::to_string(i) + " Jan 1 10:00 " + names.back() + (i % 3 == 0 ? "\n" : "\r\n");
  }
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("TYPE").Reply("200 ok");
  server.On("PORT").Reply("200 ok");
  server.On("LIST").Reply("150 listing").SendData(listing).Reply("226 ok");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.Login(server));
  nsFTP::TFTPFileStatusShPtr kept;
  {
    TFTPFileStatusShPtrVec entries;
    ASSERT_TRUE(f.client.List("/ftproot/Aufnahmen-Archiv (Recording Archive)", entries));
    ASSERT_EQ(entries.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(entries[i]->Name(), names[i]);
      EXPECT_EQ(entries[i]->m_size, static_cast<std::int64_t>(i));
      EXPECT_EQ(entries[i]->m_owner, i % 2 == 0 ? "root" : "owner-with-a-long-name");
    }
    kept = entries[399];
  }
  nsFTP::CFTPFileStatus copy = *kept;
  kept.reset();
  EXPECT_EQ(copy.Name(), names[399]);
  EXPECT_EQ(copy.m_owner, "owner-with-a-long-name");
  EXPECT_EQ(copy.m_attributes, "-rw-r--r--");
  EXPECT_EQ(copy.Path(), "/ftproot/Aufnahmen-Archiv (Recording Archive)");
}
