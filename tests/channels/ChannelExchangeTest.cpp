// "Load from PVR" and "Send to PVR" against the receiver simulator on
// 127.0.0.60 (127.0.0.61 has no receiver; on 127.0.0.184 one never answers).
#include "channels/ChannelExchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <string>

#include "channels/ChannelBackups.h"
#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "channels/EditorTexts.h"
#include "core/AppSettings.h"
#include "core/Format.h"
#include "core/TextTable.h"
#include "support/ReceiverSim.h"
#include "support/ScriptedFtpServer.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace vantrel::channels {
namespace {

namespace fs = std::filesystem;
using vantrel::test::ReadFile;
using vantrel::test::ReceiverSim;
using vantrel::test::ScriptedPrompt;
using vantrel::test::TempDir;

constexpr const char* kAddress = "127.0.0.60";
constexpr const char* kNoReceiver = "127.0.0.61";

// The numbering check fails, so the writer asks about renumbering.
class BadNumberingView final : public IChannelListView {
 public:
  bool SortByNumberAndCheck() override { return false; }
  void Renumber() override {}
  std::vector<const FavoriteGroup*> TvNodeGroups(const ChannelList& list) const override {
    return StoredOrderView().TvNodeGroups(list);
  }
  std::vector<const FavoriteGroup*> RadioNodeGroups(const ChannelList& list) const override {
    return StoredOrderView().RadioNodeGroups(list);
  }
};

class ChannelExchangeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ReceiverSim::Options options;
    options.simulator = VANTREL_RECEIVER_SIM;
    options.address = kAddress;
    options.ftpPort = 2160;
    options.channelPort = kChannelFtpPort;
    options.commandPort = 12360;
    s_sim = std::make_unique<ReceiverSim>(options);
    ASSERT_TRUE(s_sim->Start()) << s_sim->Output();
    s_pristine = ReadFile(RemoteFile());
    ASSERT_FALSE(s_pristine.empty());
  }
  static void TearDownTestSuite() { s_sim.reset(); }

  void SetUp() override {
    ASSERT_TRUE(s_sim && s_sim->IsRunning());
    // Every test starts from the receiver's own folder and file.
    fs::create_directories(s_sim->DiskPath(kReceiverChannelFolder));
    ASSERT_TRUE(WriteRemote(s_pristine));
    GetSettings().SetLastIP(kAddress);
    GetSettings().SetPINCODE(s_sim->Pin());
    GetConnectionState().m_ftpLoggedIn = false;
  }

  static std::string RemoteFile() {
    return s_sim->DiskPath(std::string(kReceiverChannelFolder) + "/" + kReceiverChannelFile);
  }
  static bool WriteRemote(const std::string& bytes) {
    FILE* f = std::fopen(RemoteFile().c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
  }

  CChannelExchange::Options Quick() const {
    CChannelExchange::Options options;
    options.pauseMs = 0;
    options.tempPath = m_temp.File("tempchannel.xml");
    options.backupFolder = m_temp.File("backups");
    return options;
  }

  static std::unique_ptr<ChannelList> Pristine() {
    auto list = std::make_unique<ChannelList>();
    EXPECT_EQ(ReadChannelBuffer(*list, s_pristine), ReadResult::Loaded);
    return list;
  }

  static ExchangeResult Load(CChannelExchange& exchange) {
    EXPECT_TRUE(exchange.StartLoad());
    return exchange.Finish();
  }

  // The texts the user was shown, in order.
  static std::vector<std::string> Shown(const ScriptedPrompt& prompt) {
    std::vector<std::string> texts;
    for (const auto& record : prompt.Records()) texts.push_back(record.caption + ": " + record.text);
    return texts;
  }
  static std::string ErrorLine(int text) { return std::string(GetText(287)) + ": " + GetText(text); }

  inline static std::unique_ptr<ReceiverSim> s_sim;
  inline static std::string s_pristine;
  TempDir m_temp;
};

TEST_F(ChannelExchangeTest, LoadHandsOverTheReceiversListAndCleansUp) {
  ScriptedPrompt prompt;
  CChannelExchange exchange(Quick());
  bool notified = false;
  exchange.SetOnFinished([&] { notified = true; });
  const ExchangeResult result = Load(exchange);

  ASSERT_TRUE(result.ok);
  EXPECT_TRUE(notified);
  EXPECT_EQ(result.kind, ExchangeKind::Load);
  EXPECT_EQ(result.failureText, 0);
  ASSERT_NE(result.list, nullptr);
  EXPECT_TRUE(result.list->FilePath().empty());
  EXPECT_EQ(ChannelFileBytes(*result.list), ChannelFileBytes(*Pristine()));
  EXPECT_FALSE(fs::exists(exchange.TempPath()));
  EXPECT_TRUE(GetConnectionState().m_ftpLoggedIn.load());
  EXPECT_EQ(exchange.Position(), 100);
  EXPECT_EQ(exchange.StepText(), std::string(GetText(339)) + " ...");
  EXPECT_TRUE(prompt.Records().empty());

  // Finished: a second exchange may start, and one after another both succeed.
  EXPECT_TRUE(Load(exchange).ok);
}

TEST_F(ChannelExchangeTest, OneExchangeAtATime) {
  ScriptedPrompt prompt;
  CChannelExchange exchange(Quick());
  ASSERT_TRUE(exchange.StartLoad());
  // Running or finished but not collected: both refuse a second start.
  EXPECT_FALSE(exchange.StartLoad());
  auto list = Pristine();
  StoredOrderView view;
  EXPECT_EQ(exchange.StartSend(*list, view), SendStart::Busy);
  EXPECT_TRUE(exchange.Finish().ok);
  // Nothing to collect afterwards.
  const ExchangeResult none = exchange.Finish();
  EXPECT_EQ(none.kind, ExchangeKind::None);
  EXPECT_FALSE(none.ok);
}

TEST_F(ChannelExchangeTest, SendPutsTheWritersBytesOnTheReceiver) {
  ScriptedPrompt prompt;
  auto list = Pristine();
  ASSERT_FALSE(list->TvServices().empty());
  list->TvServices().front()->Name = "Edited name";
  const std::string expected = ChannelFileBytes(*list);
  ASSERT_NE(expected, s_pristine);

  CChannelExchange exchange(Quick());
  StoredOrderView view;
  ASSERT_EQ(exchange.StartSend(*list, view), SendStart::Started);
  const ExchangeResult result = exchange.Finish();
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.kind, ExchangeKind::Send);
  EXPECT_EQ(result.list, nullptr);
  EXPECT_EQ(ReadFile(RemoteFile()), expected);
  EXPECT_FALSE(fs::exists(exchange.TempPath()));
  EXPECT_TRUE(list->FilePath().empty());  // a send keeps the list's path
  EXPECT_TRUE(prompt.Records().empty());
}

// The receiver's list is kept on the PC before a send overwrites it; the new
// list goes up under another name and replaces channel.xml only when whole.
TEST_F(ChannelExchangeTest, SendKeepsTheReceiversPreviousListAndLeavesNoUploadBehind) {
  ScriptedPrompt prompt;
  auto list = Pristine();
  list->TvServices().front()->Name = "Edited name";
  CChannelExchange exchange(Quick());
  StoredOrderView view;
  ASSERT_EQ(exchange.StartSend(*list, view), SendStart::Started);
  ASSERT_TRUE(exchange.Finish().ok);
  EXPECT_EQ(ReadFile(RemoteFile()), ChannelFileBytes(*list));
  EXPECT_FALSE(fs::exists(s_sim->DiskPath(std::string(kReceiverChannelFolder) + "/" + kReceiverUploadFile)));
  const std::vector<std::string> backups = ListBackups(m_temp.File("backups"));
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(exchange.BackupPath(), backups[0]);
  EXPECT_TRUE(ReadFile(backups[0]) == s_pristine) << "the backup is the receiver's list before the send";

  // A receiver without a list yet takes the send; with backups off none is made.
  fs::remove(RemoteFile());
  ASSERT_EQ(exchange.StartSend(*list, view), SendStart::Started);
  ASSERT_TRUE(exchange.Finish().ok);
  GetSettings().SetBackupBeforeSend(false);
  ASSERT_EQ(exchange.StartSend(*list, view), SendStart::Started);
  const bool sentWithoutBackup = exchange.Finish().ok;
  GetSettings().SetBackupBeforeSend(true);
  EXPECT_TRUE(sentWithoutBackup);
  EXPECT_EQ(ListBackups(m_temp.File("backups")).size(), 1u);
  EXPECT_TRUE(prompt.Records().empty());

  // Only the newest twenty are kept.
  for (int i = 0; i < 25; ++i) m_temp.Write("backups/channel-20200101-0000" + std::to_string(10 + i) + ".xml", "x");
  PruneBackups(m_temp.File("backups"));
  const std::vector<std::string> kept = ListBackups(m_temp.File("backups"));
  ASSERT_EQ(kept.size(), kBackupsKept);
  EXPECT_EQ(kept[0], backups[0]);
  EXPECT_EQ(fs::path(kept.back()).filename(), "channel-20200101-000016.xml");
}

TEST_F(ChannelExchangeTest, SendWithoutServicesDoesNothing) {
  ScriptedPrompt prompt;
  ChannelList empty;
  CChannelExchange exchange(Quick());
  StoredOrderView view;
  EXPECT_EQ(exchange.StartSend(empty, view), SendStart::NothingToSend);
  EXPECT_FALSE(exchange.IsRunning());
  EXPECT_FALSE(fs::exists(m_temp.File("tempchannel.xml")));
}

TEST_F(ChannelExchangeTest, DeclinedRenumberingSendsNothingNotEvenAStaleFile) {
  ScriptedPrompt prompt;
  prompt.SetNextAnswer(false);  // "Renumbering is necessary": No
  const std::string stale = m_temp.Write("tempchannel.xml", "<Servicelist></Servicelist>");
  auto list = Pristine();
  BadNumberingView view;
  CChannelExchange exchange(Quick());
  EXPECT_EQ(exchange.StartSend(*list, view), SendStart::NotWritten);
  EXPECT_FALSE(exchange.IsRunning());
  EXPECT_FALSE(exchange.IsFinished());
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_EQ(ReadFile(RemoteFile()), s_pristine);
  EXPECT_FALSE(GetConnectionState().m_ftpLoggedIn.load());  // never logged in
  EXPECT_EQ(prompt.PendingAnswers(), 0u);
}

TEST_F(ChannelExchangeTest, WrongPinFailsWithTheLoginText) {
  GetSettings().SetPINCODE("0000");
  GetConnectionState().m_ftpLoggedIn = true;
  {
    ScriptedPrompt prompt;
    CChannelExchange exchange(Quick());
    const ExchangeResult result = Load(exchange);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failureText, kTextLoginFail);
    EXPECT_EQ(result.list, nullptr);
    EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(kTextLoginFail)});
    EXPECT_FALSE(GetConnectionState().m_ftpLoggedIn.load());
    EXPECT_EQ(exchange.Position(), 0);
  }
  {
    ScriptedPrompt prompt;
    auto list = Pristine();
    list->TvServices().front()->Name = "Not sent";
    CChannelExchange exchange(Quick());
    StoredOrderView view;
    ASSERT_EQ(exchange.StartSend(*list, view), SendStart::Started);
    const ExchangeResult result = exchange.Finish();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failureText, kTextLoginFail);
    EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(kTextLoginFail)});
    EXPECT_EQ(ReadFile(RemoteFile()), s_pristine);
  }
}

TEST_F(ChannelExchangeTest, ReceiverGoneFailsWithTheLoginText) {
  GetSettings().SetLastIP(kNoReceiver);
  ScriptedPrompt prompt;
  CChannelExchange exchange(Quick());
  const ExchangeResult result = Load(exchange);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failureText, kTextLoginFail);
  EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(kTextLoginFail)});
}

TEST_F(ChannelExchangeTest, MissingFileOrFolderFailsWithTheTransferTexts) {
  fs::remove(RemoteFile());
  {
    ScriptedPrompt prompt;
    CChannelExchange exchange(Quick());
    const ExchangeResult result = Load(exchange);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failureText, kTextDownloadFail);
    EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(kTextDownloadFail)});
    EXPECT_TRUE(GetConnectionState().m_ftpLoggedIn.load());  // the login itself worked
  }
  fs::remove_all(s_sim->DiskPath(kReceiverChannelFolder));
  {
    ScriptedPrompt prompt;
    CChannelExchange exchange(Quick());
    EXPECT_EQ(Load(exchange).failureText, kTextDownloadFail);
    EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(kTextDownloadFail)});
  }
  {
    ScriptedPrompt prompt;
    auto list = Pristine();
    CChannelExchange exchange(Quick());
    StoredOrderView view;
    ASSERT_EQ(exchange.StartSend(*list, view), SendStart::Started);
    const ExchangeResult result = exchange.Finish();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failureText, kTextUploadFail);
    EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(kTextUploadFail)});
    EXPECT_STREQ(TextOf(LanguageCodeFromName("English"), kTextUploadFail), "Upload fail");
  }
}

TEST_F(ChannelExchangeTest, UnparsableFileHandsNothingOver) {
  for (const std::string& bytes : {std::string("this is no channel list"), std::string("<Servicelist><Satellite>"),
                                   std::string("<?xml version=\"1.0\"?><Other/>")}) {
    ASSERT_TRUE(WriteRemote(bytes));
    ScriptedPrompt prompt;
    CChannelExchange exchange(Quick());
    const ExchangeResult result = Load(exchange);
    EXPECT_FALSE(result.ok) << bytes;
    EXPECT_EQ(result.failureText, kTextXmlLoadingError) << bytes;
    EXPECT_EQ(result.list, nullptr) << bytes;
    EXPECT_EQ(Shown(prompt), std::vector<std::string>{ErrorLine(kTextXmlLoadingError)}) << bytes;
  }
}

// A receiver that refuses the rename and then the direct upload, and one
// whose list reads back different from the one sent: the send fails, says
// so, and names the copy of the receiver's previous list to restore it from.
TEST(ChannelSendFailure, RenameOrReadBackFailureSaysSoAndKeepsThePreviousList) {
  const std::string previous = "<?xml version=\"1.0\"?>\r\n<Servicelist>previous</Servicelist>\r\n";
  ChannelList list;
  auto service = std::make_unique<Service>();
  service->ChannelNo = 1;
  service->Name = "One";
  list.AddService(std::move(service));
  const std::string sent = ChannelFileBytes(list);
  const auto script = [&](vantrel::test::ScriptedFtpServer& server, bool renameRefused) {
    server.Welcome().Reply("220 ready");
    server.On("USER").Reply("331 password please");
    server.On("PASS").Reply("230 logged in");
    server.On("CWD").Reply("250 ok");
    server.On("SIZE").Reply("213 " + std::to_string(previous.size()));
    server.On("TYPE").Reply("200 ok");
    server.On("SIZE").Reply("213 " + std::to_string(previous.size()));
    server.On("PORT").Reply("200 ok");
    server.On("RETR").Reply("150 Opening").SendData(previous).Reply("226 Done");
    server.On("PORT").Reply("200 ok");
    server.On("STOR").Reply("150 Opening").ReceiveData().Reply("226 Done");
    server.On("SIZE").Reply("213 " + std::to_string(sent.size()));
    server.On("RNFR").Reply("350 ready");
    if (renameRefused) {
      server.On("RNTO").Reply("550 file exists");
      server.On("DELE").Reply("250 deleted");
      server.On("PORT").Reply("200 ok");
      server.On("STOR").Reply("150 Opening").ReceiveData().Reply("452 disk full");
    } else {
      server.On("RNTO").Reply("250 renamed");
      server.On("SIZE").Reply("213 " + std::to_string(sent.size()));
      server.On("PORT").Reply("200 ok");
      server.On("RETR").Reply("150 Opening").SendData(sent.substr(0, sent.size() / 2)).Reply("226 Done");
    }
    server.On("QUIT").Reply("221 bye");
    server.Start();
  };
  for (const bool renameRefused : {true, false}) {
    SCOPED_TRACE(renameRefused ? "rename refused" : "read back differs");
    ScriptedPrompt prompt;
    TempDir temp;
    vantrel::test::ScriptedFtpServer server(renameRefused ? "127.0.0.200" : "127.0.0.201");
    script(server, renameRefused);
    GetSettings().SetLastIP(server.Address());
    GetSettings().SetPINCODE("0000");
    CChannelExchange::Options options;
    options.port = server.Port();
    options.pauseMs = 0;
    options.timeoutSeconds = 3;
    options.tempPath = temp.File("tempchannel.xml");
    options.backupFolder = temp.File("backups");
    CChannelExchange exchange(options);
    StoredOrderView view;
    ASSERT_EQ(exchange.StartSend(list, view), SendStart::Started);
    const ExchangeResult result = exchange.Finish();
    EXPECT_TRUE(server.WaitDone());
    EXPECT_FALSE(result.ok);
    const std::vector<std::string> backups = ListBackups(temp.File("backups"));
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(ReadFile(backups[0]), previous);
    ASSERT_EQ(prompt.Records().size(), 1u);
    EXPECT_EQ(prompt.Records().front().text,
              Format(GetText(renameRefused ? kTextUploadFailBackup : kTextVerifyFail), backups[0].c_str()));
    EXPECT_TRUE(server.Problems().empty());
    // The list went up under its own name first; nothing else replaced channel.xml.
    const std::vector<std::string> verbs = server.Verbs();
    EXPECT_EQ(std::count(verbs.begin(), verbs.end(), "STOR"), renameRefused ? 2 : 1);
  }
}

}  // namespace
TEST(ChannelExchangeEnd, GoingAwayDuringALoginTheReceiverNeverAnswersReturnsPromptly) {
  vantrel::test::ScriptedFtpServer server("127.0.0.184");  // no welcome: the login waits for one
  server.Start();
  GetSettings().SetLastIP(server.Address());
  TempDir temp;
  CChannelExchange::Options options;
  options.port = server.Port();
  options.pauseMs = 0;
  options.tempPath = temp.File("tempchannel.xml");
  auto exchange = std::make_unique<CChannelExchange>(options);
  ASSERT_TRUE(exchange->StartLoad());
  auto gone = std::async(std::launch::async, [&exchange] { exchange.reset(); });
  // Far below the client's 10-second time-out.
  EXPECT_EQ(gone.wait_for(std::chrono::seconds(3)), std::future_status::ready);
}

}  // namespace vantrel::channels
