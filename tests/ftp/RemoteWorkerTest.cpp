// The windows' background worker: results and progress reach the caller, and
// a receiver that never answers holds neither a cancel nor the worker's end.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

#include "core/AppSettings.h"
#include "ftp/RemoteWorker.h"
#include "support/ScriptedFtpServer.h"
#include "support/TempDir.h"

using nsFTP::CFTPClient;
using nsFTP::CRemoteWorker;
using nsFTP::CServerLogin;
using vantrel::test::ScriptedFtpServer;
using namespace std::chrono_literals;

static vantrel::test::IsolatedSettings g_isolated;

namespace {

// Far below the client's 10-second reply bound: reaching it means the wait was cut short.
constexpr int kPromptMs = 3000;

// Tells when the job has sent LIST.
struct ListSent final : CFTPClient::CNotification {
  void NotifyCommand(const nsFTP::CCommand& command, const nsFTP::CArg&) override {
    if (command == nsFTP::CCommand::LIST) sent.set_value();
  }
  std::promise<void> sent;
};

CRemoteWorker::Job LoginAndList(const ScriptedFtpServer& server, std::shared_ptr<std::atomic_bool> ended,
                                std::shared_ptr<ListSent> listSent = std::make_shared<ListSent>()) {
  const CServerLogin login(server.Address(), server.Port(), "root", "8157");
  return [login, ended, listSent](CFTPClient& ftp, const std::atomic_bool&, vantrel::IProgressSink&) {
    ftp.AddObserver(listSent.get());
    nsFTP::TFTPFileStatusShPtrVec entries;
    const bool listed = ftp.Login(login) && ftp.List("/", entries);
    ftp.RemoveObserver(listSent.get());
    *ended = true;
    return std::any(listed);
  };
}

}  // namespace

TEST(RemoteWorker, HandsBackTheResultAndTheProgressAndTakesTheNextJob) {
  CRemoteWorker worker;
  ASSERT_TRUE(worker.Start([](CFTPClient&, const std::atomic_bool&, vantrel::IProgressSink& progress) {
    progress.SetName("a.ts");
    progress.SetRange(0, 10);
    progress.SetPos(7);
    return std::any(42);
  }));
  EXPECT_FALSE(worker.Start([](CFTPClient&, const std::atomic_bool&, vantrel::IProgressSink&) { return std::any(); }))
      << "one job at a time";
  ASSERT_TRUE(worker.WaitDone(5000));
  ASSERT_TRUE(worker.IsDone());
  const CRemoteWorker::Progress progress = worker.GetProgress();
  EXPECT_EQ(progress.name, "a.ts");
  EXPECT_EQ(progress.upper, 10);
  EXPECT_EQ(progress.position, 7);
  EXPECT_EQ(std::any_cast<int>(worker.TakeResult()), 42);
  EXPECT_FALSE(worker.IsBusy());

  // A job that throws still ends, with an empty result.
  ASSERT_TRUE(worker.Start([](CFTPClient&, const std::atomic_bool&, vantrel::IProgressSink&) -> std::any {
    throw std::runtime_error("x");
  }));
  ASSERT_TRUE(worker.WaitDone(5000));
  EXPECT_FALSE(worker.TakeResult().has_value());
}

TEST(RemoteWorker, CancelEndsALoginToAReceiverThatNeverAnswers) {
  ScriptedFtpServer server("127.0.0.180");  // no welcome: the login waits for it
  server.Start();
  CRemoteWorker worker;
  auto ended = std::make_shared<std::atomic_bool>(false);
  ASSERT_TRUE(worker.Start(LoginAndList(server, ended)));
  worker.Cancel();
  ASSERT_TRUE(worker.WaitDone(kPromptMs)) << "the cancel waited for the receiver's time-out";
  EXPECT_FALSE(std::any_cast<bool>(worker.TakeResult()));

  // The cancel does not reach into the next job.
  ScriptedFtpServer answering("127.0.0.181");
  answering.Welcome().Reply("220 ready");
  answering.On("USER").Reply("331 password please");
  answering.On("PASS").Reply("230 logged in");
  answering.Start();
  const CServerLogin login(answering.Address(), answering.Port(), "root", "8157");
  ASSERT_TRUE(worker.Start([login](CFTPClient& ftp, const std::atomic_bool&, vantrel::IProgressSink&) {
    return std::any(ftp.Login(login));
  }));
  ASSERT_TRUE(worker.WaitDone(5000));
  EXPECT_TRUE(std::any_cast<bool>(worker.TakeResult()));
}

TEST(RemoteWorker, DestructorReturnsPromptlyWhileTheReceiverNeverConnectsBack) {
  ScriptedFtpServer server("127.0.0.182");
  server.Welcome().Reply("220 ready");
  server.On("USER").Reply("331 password please");
  server.On("PASS").Reply("230 logged in");
  server.On("TYPE").Reply("200 ok");
  server.On("PORT").Reply("200 ok");
  server.On("LIST").Reply("150 opening");  // and never connects
  server.Start();
  auto ended = std::make_shared<std::atomic_bool>(false);
  auto worker = std::make_unique<CRemoteWorker>();
  auto listSent = std::make_shared<ListSent>();
  std::future<void> sent = listSent->sent.get_future();
  ASSERT_TRUE(worker->Start(LoginAndList(server, ended, listSent)));
  // The job waits for the connect-back once LIST was sent.
  ASSERT_EQ(sent.wait_for(5s), std::future_status::ready);
  auto destroyed = std::async(std::launch::async, [&worker] { worker.reset(); });
  EXPECT_EQ(destroyed.wait_for(std::chrono::milliseconds(kPromptMs)), std::future_status::ready);
  destroyed.wait();
  EXPECT_TRUE(ended->load()) << "the job ended, not abandoned";
}
