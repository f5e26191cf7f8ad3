// The control connection against a scripted server: login sequences,
// replies of every shape, command lines, statuses, the version text, time-outs.
#include <gtest/gtest.h>

#include "core/DiagLog.h"
#include "ftp/FTPClient.h"
#include "support/FtpRecorder.h"
#include "support/ScriptedFtpServer.h"
#include "support/TempDir.h"
#include "support/TestSockets.h"

using nsFTP::CCommand;
using nsFTP::CFTPClient;
using nsFTP::CServerLogin;
using nsFTP::CServerReply;
using vantrel::test::ChunkSocket;
using vantrel::test::FtpRecorder;
using vantrel::test::ScriptedFtpServer;
using Strings = std::vector<std::string>;

static vantrel::test::IsolatedSettings g_isolated;

namespace {

CServerLogin LoginFor(const ScriptedFtpServer& server, const std::string& password = "8157") {
  return CServerLogin(server.Address(), server.Port(), "root", password);
}

// A client with a short time-out and a recorder attached.
struct Fixture {
  explicit Fixture(int timeout = 2) : client(nullptr, timeout) { client.AddObserver(&recorder); }
  FtpRecorder recorder;
  CFTPClient client;
};

void ScriptLogin(ScriptedFtpServer& server, const std::string& final = "230 logged in") {
  server.Welcome().Reply("220 ready");
  server.On("USER").Reply("331 password please");
  server.On("PASS").Reply(final);
}

bool HasLogonFailed(const FtpRecorder& recorder) {
  for (const auto& e : recorder.errors) {
    if (e == "Logon failed.") return true;
  }
  return false;
}

}  // namespace

TEST(FtpLogin, UserPassAndMultiLineWelcome) {
  ScriptedFtpServer server;
  server.Welcome().Raw("220-Welcome\r\n220-second line\r\n221 not the end\r\n2200 nor this\r\n220 ready\r\n");
  server.On("USER").Reply("331 password please");
  server.On("PASS").Reply("230 logged in");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.client.Login(LoginFor(server)));
  EXPECT_EQ(server.Commands(), (Strings{"USER root", "PASS 8157"}));
  ASSERT_FALSE(f.recorder.Matching("Reply ").empty());
  EXPECT_EQ(f.recorder.Matching("Reply ")[0],
            "Reply 220-Welcome\r\n220-second line\r\n221 not the end\r\n2200 nor this\r\n220 ready");
  EXPECT_TRUE(f.client.IsConnected());
}

TEST(FtpLogin, TheSwitchedOnLogHasCommandsAndRepliesButNeverThePassword) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.Start();
  vantrel::test::TempDir dir;
  vantrel::EnableDiagLog(dir.Path());
  {
    Fixture f;
    EXPECT_TRUE(f.client.Login(LoginFor(server, "93x7")));
  }
  vantrel::DisableDiagLog();
  const std::string text = vantrel::test::ReadFile(dir.File("log.txt"));
  EXPECT_NE(text.find("vantrel.ftp: > USER root\n"), std::string::npos) << text;
  EXPECT_NE(text.find("vantrel.ftp: > PASS ****\n"), std::string::npos) << text;
  EXPECT_NE(text.find("vantrel.ftp: < 230 logged in"), std::string::npos) << text;
  EXPECT_EQ(text.find("93x7"), std::string::npos) << text;
}

TEST(FtpLogin, WelcomeOfClassOneIsFollowedByTheRealOne) {
  ScriptedFtpServer server;
  server.Welcome().Reply("120 ready in a minute").Reply("220 ready");
  server.On("USER").Reply("230 in");
  server.Start();
  Fixture f;
  EXPECT_TRUE(f.client.Login(LoginFor(server)));
  EXPECT_EQ(server.Verbs(), (Strings{"USER"}));
}

TEST(FtpLogin, FailuresSayWhy) {
  using Failure = CFTPClient::Failure;
  {
    ScriptedFtpServer server;
    ScriptLogin(server, "530 Login incorrect.");
    server.Start();
    Fixture f;
    EXPECT_FALSE(f.client.Login(LoginFor(server, "0000")));
    EXPECT_EQ(f.client.GetLoginFailure(), Failure::kLoginRefused);
  }
  {
    ScriptedFtpServer server;
    server.Welcome().Raw("HTTP/1.1 400 Bad Request\r\n");
    server.Start();
    Fixture f;
    EXPECT_FALSE(f.client.Login(LoginFor(server)));
    EXPECT_EQ(f.client.GetLoginFailure(), Failure::kProtocol);
  }
  {
    std::uint16_t port = 0;
    {
      ScriptedFtpServer gone;
      port = gone.Port();
    }
    Fixture f(1);
    EXPECT_FALSE(f.client.Login(CServerLogin("127.0.0.1", port, "root", "8157")));
    EXPECT_EQ(f.client.GetLoginFailure(), Failure::kRefused);
  }
}

TEST(FtpLogin, AWelcomeTrickledWithoutALineEndHasAnOverallDeadline) {
  ScriptedFtpServer server;
  // One byte every 200 ms for 12 s; each byte alone comes well within the time-out.
  server.Welcome().Raw("220 ").Trickle(std::string(60, '.'), std::chrono::milliseconds(200));
  server.Start();
  Fixture f(1);
  EXPECT_FALSE(f.client.Login(LoginFor(server)));
  EXPECT_EQ(f.client.GetLoginFailure(), CFTPClient::Failure::kTimeout);
  EXPECT_FALSE(f.client.IsConnected());
  EXPECT_TRUE(server.WaitDone());
  EXPECT_TRUE(server.TrickleCut()) << "the client waited for the whole trickle";
}

TEST(FtpLogin, UserAcceptedAloneSendsNoPassword) {
  ScriptedFtpServer server;
  server.Welcome().Reply("220 ready");
  server.On("USER").Reply("230 no password needed");
  server.Start();
  Fixture f;
  EXPECT_TRUE(f.client.Login(LoginFor(server)));
  EXPECT_EQ(server.Verbs(), (Strings{"USER"}));
}

TEST(FtpLogin, AccountStepAndItsRefusal) {
  {
    ScriptedFtpServer server;
    ScriptLogin(server, "332 account please");
    server.On("ACCT").Reply("230 fine");
    server.Start();
    Fixture f;
    EXPECT_TRUE(f.client.Login(LoginFor(server)));
    EXPECT_EQ(server.Commands(), (Strings{"USER root", "PASS 8157", "ACCT"})) << "the empty account is left out";
  }
  {
    ScriptedFtpServer server;
    ScriptLogin(server, "332 account please");
    server.On("ACCT").Reply("332 still more");
    server.Start();
    Fixture f;
    EXPECT_FALSE(f.client.Login(LoginFor(server)));
    EXPECT_TRUE(HasLogonFailed(f.recorder));
    EXPECT_TRUE(f.client.IsConnected()) << "a refused logon leaves the connection open";
  }
}

TEST(FtpLogin, WrongPasswordFailsWithoutTheLogonFailedNotification) {
  ScriptedFtpServer server;
  ScriptLogin(server, "530 Login incorrect.");
  server.Start();
  Fixture f;
  EXPECT_FALSE(f.client.Login(LoginFor(server, "0000")));
  EXPECT_FALSE(HasLogonFailed(f.recorder));
}

TEST(FtpLogin, VersionIsTakenFromTheFinalLogonReply) {
  const std::pair<std::string, std::string> cases[] = {
      {"230 Zarn 1.2.10 ready", "Zarn 1.2.10"},
      {"230 Zarn_3.0", "Zarn_3.0"},
      {"230 Zarn V1.2", "Zarn "},
      {"230 Zarn", "Zarn"},
  };
  for (const auto& [reply, version] : cases) {
    ScriptedFtpServer server;
    server.Welcome().Reply("220 Zarn 9.9 welcome is not used");
    server.On("USER").Reply("331 password please");
    server.On("PASS").Reply(reply);
    server.Start();
    Fixture f;
    ASSERT_TRUE(f.client.Login(LoginFor(server), true)) << reply;
    EXPECT_EQ(f.client.GetTargetVersion(), version) << reply;
  }
}

TEST(FtpLogin, SecondLoginLogsOutAndKeepsTheVersionWhenTheWordIsMissing) {
  ScriptedFtpServer server;
  ScriptLogin(server, "230 Zarn 1.2.10 ready");
  server.On("QUIT").Reply("221 bye");
  server.NextConnection().Reply("220 again");
  server.On("USER").Reply("331 password please");
  server.On("PASS").Reply("230 welcome back");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.client.Login(LoginFor(server), true));
  ASSERT_TRUE(f.client.Login(LoginFor(server), true));
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS", "QUIT", "USER", "PASS"}));
  EXPECT_EQ(f.client.GetTargetVersion(), "Zarn 1.2.10");
  EXPECT_EQ(f.client.Logout(), 0);
  EXPECT_FALSE(f.client.IsConnected());
  EXPECT_EQ(f.client.Logout(), -1) << "nothing is sent on a closed connection";
  EXPECT_TRUE(server.WaitDone());
  EXPECT_EQ(server.Verbs().size(), 6u);
}

TEST(FtpLogin, SilentServerTimesOutAndRefusedConnectFails) {
  {
    ScriptedFtpServer server;
    server.Start();  // accepts, then says nothing
    Fixture f(1);
    EXPECT_FALSE(f.client.Login(LoginFor(server)));
    ASSERT_EQ(f.recorder.errors.size(), 1u);
    EXPECT_EQ(f.recorder.errors[0], "Receive timeout error");
    EXPECT_FALSE(f.client.IsConnected());
  }
  {
    std::uint16_t port = 0;
    {
      ScriptedFtpServer gone;
      port = gone.Port();
    }
    Fixture f(1);
    EXPECT_FALSE(f.client.Login(CServerLogin("127.0.0.1", port, "root", "8157")));
    ASSERT_EQ(f.recorder.errors.size(), 1u);
    EXPECT_EQ(f.recorder.errors[0], "Connect error 0x0000006f");
  }
}

TEST(FtpCommands, LinesStatusesAndSizes) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("CWD").Reply("250 ok");
  server.On("SIZE").Reply("213 1048576");
  server.On("SIZE").Reply("550 No such file");
  server.On("MKD").Reply("257 \"/new\" created");
  server.On("RMD").Reply("450 busy");
  server.On("DELE").Reply("350 odd");
  server.On("CDUP").Reply("600 not a reply code");
  server.On("RNFR").Reply("350 ready for RNTO");
  server.On("RNTO").Reply("250 renamed");
  server.On("RNFR").Reply("550 no such file");
  server.On("RNFR").Reply("250 unexpected");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.client.Login(LoginFor(server)));
  EXPECT_EQ(f.client.ChangeDir(""), 0);
  std::int64_t size = -5;
  EXPECT_EQ(f.client.RemoteFileSize("movie.ts", size), 0);
  EXPECT_EQ(size, 1048576);
  EXPECT_EQ(f.client.RemoteFileSize("missing.ts", size), 1);
  EXPECT_EQ(size, 0) << "the reply text after the code has no digits";
  EXPECT_EQ(f.client.CreateDir("/new"), 0);
  EXPECT_EQ(f.client.RemoveDir("/old"), 1);
  EXPECT_EQ(f.client.DeleteFile("a"), -1);
  EXPECT_EQ(f.client.ParentDir(), -1);
  EXPECT_EQ(f.client.RenameFile("a", "b"), 0);
  EXPECT_EQ(f.client.RenameFile("c", "d"), 1);
  EXPECT_EQ(f.client.RenameFile("e", "f"), -1) << "RNTO only after a class-3 RNFR";
  EXPECT_EQ(server.Commands(), (Strings{"USER root", "PASS 8157", "CWD", "SIZE movie.ts", "SIZE missing.ts", "MKD /new",
                                        "RMD /old", "DELE a", "CDUP", "RNFR a", "RNTO b", "RNFR c", "RNFR e"}));
  // Every command is announced before its reply is read.
  const Strings tail = {"Command RNFR e", "Reply 250 unexpected"};
  const auto& events = f.recorder.events;
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(Strings(events.end() - 2, events.end()), tail);
}

TEST(FtpCommands, ArgumentsWithLineBreaksAreNeverSent) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("CWD").Reply("250 ok");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.client.Login(LoginFor(server)));
  EXPECT_EQ(f.client.DeleteFile("x\r\nDELE y"), -1);
  EXPECT_EQ(f.client.RenameFile("a\nb", "c"), -1);
  EXPECT_EQ(f.client.ChangeDir(std::string("a\0b", 3)), -1);
  EXPECT_EQ(f.client.ChangeDir("/ok"), 0);
  EXPECT_EQ(server.Commands(), (Strings{"USER root", "PASS 8157", "CWD /ok"}));
  EXPECT_EQ(f.recorder.errors.size(), 3u);
}

TEST(FtpReplies, OversizedRepliesFailLikeABrokenConnection) {
  for (const bool manyLines : {false, true}) {
    ScriptedFtpServer server;
    std::string flood;
    if (manyLines) {
      flood = "220-start\r\n";
      while (flood.size() < 70 * 1024) flood += "220-more of the same line\r\n";
    } else {
      flood = "220 " + std::string(70 * 1024, 'x');
    }
    server.Welcome().Raw(flood);
    server.Start();
    Fixture f;
    EXPECT_FALSE(f.client.Login(LoginFor(server)));
    EXPECT_EQ(f.recorder.errors, (Strings{"Reply too long"}));
    EXPECT_FALSE(f.client.IsConnected());
  }
}

TEST(FtpReplies, ReplySplitAtEveryByteIsReadWhole) {
  const std::string wire = "230-first\r\n230-second\r\n230 last\r\n331 next\r\n";
  for (std::size_t cut = 1; cut < wire.size(); ++cut) {
    auto socket = std::make_unique<ChunkSocket>(Strings{wire.substr(0, cut), wire.substr(cut)});
    CFTPClient client(std::move(socket), 2);
    CServerReply reply;
    ASSERT_TRUE(client.ReadReply(reply)) << cut;
    EXPECT_EQ(reply.Value(), "230-first\r\n230-second\r\n230 last") << cut;
    EXPECT_EQ(reply.Code(), "230");
    ASSERT_TRUE(client.ReadReply(reply)) << cut;
    EXPECT_EQ(reply.Value(), "331 next") << cut;
  }
  // Lines ended by LF alone, and bytes arriving one by one over the wire.
  ScriptedFtpServer server;
  server.Welcome().Bytewise("220-hello\n220 there\n");
  server.On("USER").Bytewise("230 in\r\n");
  server.Start();
  Fixture f;
  ASSERT_TRUE(f.client.Login(LoginFor(server)));
  EXPECT_EQ(f.recorder.Matching("Reply "), (Strings{"Reply 220-hello\r\n220 there", "Reply 230 in"}));
}

TEST(FtpReplies, InvalidCodesAndShortRepliesAreNotReplies) {
  auto socket = std::make_unique<ChunkSocket>(Strings{"22\r\n", "610 high\r\n", "260 second digit\r\n", "55x ok\r\n"});
  CFTPClient client(std::move(socket), 2);
  CServerReply reply;
  EXPECT_FALSE(client.ReadReply(reply));
  EXPECT_FALSE(client.ReadReply(reply));
  EXPECT_FALSE(client.ReadReply(reply));
  EXPECT_EQ(reply.Code(), "");
  EXPECT_TRUE(client.ReadReply(reply));
  EXPECT_EQ(reply.Code(), "55x");
  EXPECT_EQ(reply.Status(), 1);
  EXPECT_FALSE(client.ReadReply(reply)) << "the peer closed";
  EXPECT_FALSE(client.IsConnected());
}

TEST(FtpObservers, RegistryKeepsBothSidesInStep) {
  auto client = std::make_unique<CFTPClient>();
  FtpRecorder first;
  EXPECT_TRUE(client->AddObserver(&first));
  EXPECT_FALSE(client->AddObserver(&first));
  {
    FtpRecorder second;
    EXPECT_TRUE(client->AddObserver(&second));
    EXPECT_EQ(client->GetObservers(), (CFTPClient::TObserverSet{&first, &second}));
    EXPECT_TRUE(second.IsAttachedTo(client.get()));
  }
  EXPECT_EQ(client->GetObservers(), (CFTPClient::TObserverSet{&first})) << "a destroyed observer detaches";
  EXPECT_TRUE(client->RemoveObserver(&first));
  EXPECT_FALSE(client->RemoveObserver(&first));
  EXPECT_TRUE(first.GetSubjects().empty());
  client->AddObserver(&first);
  client.reset();
  EXPECT_TRUE(first.GetSubjects().empty()) << "a destroyed client detaches";
}

TEST(FtpCommandTable, RowsCarryNameSyntaxAndDataKind) {
  EXPECT_EQ(CCommand(CCommand::RETR).GetExtendedInfo().GetTypeOfDataConnection(), CCommand::kReceivesData);
  EXPECT_EQ(CCommand(CCommand::STOR).GetExtendedInfo().GetTypeOfDataConnection(), CCommand::kSendsData);
  EXPECT_EQ(CCommand(CCommand::CWD).GetExtendedInfo().GetTypeOfDataConnection(), CCommand::kNoData);
  const auto& allo = CCommand(CCommand::ALLO).GetExtendedInfo();
  EXPECT_EQ(allo.GetCompleteServerStringSyntax(), "ALLO <SP> <decimal-integer> [<SP> R <SP> <decimal-integer>] <CRLF>");
  EXPECT_EQ(allo.GetNumberOfParameters(), 3);
  EXPECT_EQ(allo.GetNumberOfOptionalParameters(), 2);
  EXPECT_EQ(CCommand(CCommand::SIZE).GetExtendedInfo().GetTypeOfCommand(), CCommand::kExtension);
  EXPECT_EQ(CCommand(CCommand::OPEN).GetExtendedInfo().GetTypeOfCommand(), CCommand::kOther);
  EXPECT_EQ(CCommand(CCommand::USER).AsString(), "USER");
  EXPECT_EQ(CCommand(CCommand::LIST).AsString({"", "/a b"}), "LIST /a b");
}

TEST(FtpLogin, AClientGoingAwaySendsQuitButDoesNotWaitForItsAnswer) {
  ScriptedFtpServer server;
  ScriptLogin(server);
  server.On("QUIT");  // a receiver that never answers QUIT
  server.Start();
  auto client = std::make_unique<CFTPClient>(nullptr, 10);
  ASSERT_TRUE(client->Login(LoginFor(server)));
  const auto start = std::chrono::steady_clock::now();
  client.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_TRUE(server.WaitDone());
  EXPECT_EQ(server.Verbs(), (Strings{"USER", "PASS", "QUIT"}));
}
