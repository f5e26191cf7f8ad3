// The recordings rules without a screen: cell texts and their order, keys and
// deletion by key, the download plan, the question before replacing and the
// run against the receiver simulator, the rename rules, the PC folder filter.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "core/AppSettings.h"
#include "core/CommandChannelInterface.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/TextTable.h"
#include "ftp/FTPClient.h"
#include "records/Recordings.h"
#include "support/ReceiverSim.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

static vantrel::test::IsolatedSettings g_isolated;

namespace records = vantrel::records;

namespace {

TEST(Recordings, SizesAreRoundedUpKibibytes) {
  EXPECT_EQ(vantrel::SizeText(1048577), "1,025KB");
  EXPECT_EQ(vantrel::SizeText(1024), "1KB");
  EXPECT_EQ(vantrel::SizeText(1), "1KB");
  EXPECT_EQ(vantrel::SizeText(0), "0KB");
  EXPECT_EQ(vantrel::SizeText(5ull * 1024 * 1024 * 1024), "5,242,880KB");
}

TEST(Recordings, SortOrders) {
  // Size texts order by length, then text: 10KB < 999KB < 1,000KB.
  EXPECT_LT(records::CompareCells(records::kSortNumberText, "10KB", "999KB"), 0);
  EXPECT_LT(records::CompareCells(records::kSortNumberText, "999KB", "1,000KB"), 0);
  EXPECT_GT(records::CompareCells(records::kSortNumberText, "1,000KB", "10KB"), 0);
  // Dates by year, month, day, then time; an empty date is the latest.
  EXPECT_LT(records::CompareCells(records::kSortDate, "31.12.2025-23:59", "01.01.2026-00:00"), 0);
  EXPECT_LT(records::CompareCells(records::kSortDate, "02.03.2026-10:00", "01.04.2026-09:00"), 0);
  EXPECT_LT(records::CompareCells(records::kSortDate, "01.04.2026-09:00", "01.04.2026-10:00"), 0);
  EXPECT_GT(records::CompareCells(records::kSortDate, "", "01.04.2030-10:00"), 0);
  // Names ignore case.
  EXPECT_EQ(records::CompareCells(records::kSortText, "Show.TTS", "show.tts"), 0);
  EXPECT_LT(records::CompareCells(records::kSortText, "alpha", "Beta"), 0);
}

TEST(Recordings, DatesAreLocalTime) {
  std::tm local{};
  local.tm_year = 2026 - 1900;
  local.tm_mon = 11;
  local.tm_mday = 1;
  local.tm_hour = 20;
  local.tm_min = 5;
  local.tm_isdst = -1;
  EXPECT_EQ(vantrel::DateText(std::mktime(&local)), "01.12.2026-20:05");
}

TEST(Recordings, KeysComeFromTheRecordingsOwnFolderName) {
  EXPECT_EQ(records::KeyFromPath("/a/Tagesschau_20261201_2000_1001_/Tagesschau.tts"), 1001);
  // A title with "_" in the file name does not lend its digits to the key.
  EXPECT_EQ(records::KeyFromPath("/a/News_24_7_20261201_2000_1004_/News_24_7.tts"), 1004);
  EXPECT_EQ(records::KeyFromPath("/a_5_/Show/x_6_y.ts"), -1);
  // No number of the receiver's own naming: no key at all, never 0.
  EXPECT_EQ(records::KeyFromPath("/a/Show_12ab_/x.ts"), -1);
  EXPECT_EQ(records::KeyFromPath("/a/Show_x_/x.ts"), -1);
  EXPECT_EQ(records::KeyFromPath("/a/Show__/x.ts"), -1);
  EXPECT_EQ(records::KeyFromPath("/a/Show_1/x.ts"), -1);
  EXPECT_EQ(records::KeyFromPath("/a/Show/x.ts"), -1);
  EXPECT_EQ(records::KeyFromPath("/a/Show_99999999999_/x.ts"), -1);
}

TEST(Recordings, DownloadTargetsStayInTheRecordFolder) {
  records::RecordingEntry entry{"/arch/Doc_20260101_1200_7_/a.ts", 10, 0};
  EXPECT_EQ(records::DownloadTarget("/rec", entry, false), "/rec/a.tts");
  EXPECT_EQ(records::DownloadTarget("/rec", entry, true), "/rec/a.rts");
  EXPECT_EQ(records::ReceiverRowName(entry, false), "a.tts");
  for (const char* hostile : {"/arch/f_1_/..", "/arch/f_1_/..ts", "/arch/f_1_/", "/arch/f_1_/.ts"}) {
    entry.path = hostile;
    EXPECT_EQ(records::DownloadTarget("/rec", entry, false), "") << hostile;
  }
  EXPECT_FALSE(vantrel::IsSafeEntryName("a/b"));
  EXPECT_TRUE(vantrel::IsSafeEntryName("x..y"));  // ".." inside a name leaves no folder
  EXPECT_TRUE(vantrel::IsSafeEntryName("Tatort - Schattenlinie.tts"));
}

TEST(Recordings, RenameRules) {
  using R = records::RenameCheck;
  const std::vector<std::string> rows{"Show.tts", "Other.tts"};
  EXPECT_EQ(records::CheckRename("", "Show.tts", rows, false).outcome, R::kEmpty);
  for (const char* bad : {"a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"})
    EXPECT_EQ(records::CheckRename(bad, "Show.tts", rows, false).outcome, R::kBadCharacter) << bad;
  R renamed = records::CheckRename("Neu", "Show.tts", rows, false);
  EXPECT_EQ(renamed.outcome, R::kRename);
  EXPECT_EQ(renamed.name, "Neu.tts");
  EXPECT_EQ(records::CheckRename("Neu.ts", "Show.tts", rows, false).name, "Neu.tts");
  EXPECT_EQ(records::CheckRename("Neu.TTS", "Show.tts", rows, false).name, "Neu.TTS");
  EXPECT_EQ(records::CheckRename("Neu", "Show.rts", rows, true).name, "Neu.rts");
  EXPECT_EQ(records::CheckRename("Show.tts", "Show.tts", rows, false).outcome, R::kUnchanged);
  // Only the case changed: the row itself has the name, ignoring case.
  EXPECT_EQ(records::CheckRename("SHOW.tts", "Show.tts", rows, false).outcome, R::kExists);
  EXPECT_EQ(records::CheckRename("other", "Show.tts", rows, false).outcome, R::kExists);
  EXPECT_EQ(records::BadCharacterMessage(),
            "A filename can not contain any of the following characters:\n\t\\ / : * ? \" < > |");
}

TEST(Recordings, LocalFolderListsTheModesFilesOnly) {
  vantrel::test::TempDir dir;
  for (const char* name : {"Show.TTS", "Show.ts", "b.tts", "radio.rts", "notes.txt"})
    std::ofstream(dir.File(name)) << "x";
  std::filesystem::create_directory(dir.File("folder.tts"));
  std::vector<std::string> tv;
  for (const auto& row : records::ListLocalRecordings(dir.Path(), false)) tv.push_back(row.name);
  std::sort(tv.begin(), tv.end());
  EXPECT_EQ(tv, (std::vector<std::string>{"Show.TTS", "b.tts"}));
  const auto radio = records::ListLocalRecordings(dir.Path(), true);
  ASSERT_EQ(radio.size(), 1u);
  EXPECT_EQ(radio[0].name, "radio.rts");
  EXPECT_EQ(radio[0].size, 1u);
  EXPECT_TRUE(records::ListLocalRecordings("", false).empty());
  EXPECT_TRUE(records::ListLocalRecordings("\\", false).empty());
  EXPECT_TRUE(records::ListLocalRecordings(dir.File("missing"), false).empty());
}

// A command channel that records the keys it is given and answers as told.
class FakeChannel : public vantrel::ICommandChannel {
 public:
  bool IsConnected() const override { return true; }
  int Port() const override { return 0; }
  bool Connect(const std::string&, int) override { return true; }
  int GetPartitionSize() override { return 1000; }
  int GetFreeMBSize() override { return 400; }
  bool DeleteByKeyList(int kind, const std::vector<int>& keys) override {
    calls.push_back({kind, keys});
    return answer;
  }
  struct Call {
    int kind;
    std::vector<int> keys;
  };
  std::vector<Call> calls;
  bool answer = true;
};

TEST(Recordings, DeleteSendsOnlyRealKeysAndTellsARefusal) {
  FakeChannel channel;
  const std::vector<records::RecordingEntry> entries{
      {"/arch/News_24_7_20261201_2000_1004_/News_24_7.tts", 1, 0},
      {"/arch/News_24_7_20261201_2000_1004_/News_24_7.inf", 1, 0},
      {"/arch/Loose/Show.tts", 1, 0},
  };
  records::DeleteReport report = records::DeleteByKey(channel, false, entries);
  ASSERT_EQ(channel.calls.size(), 1u);
  EXPECT_EQ(channel.calls[0].kind, 1);
  EXPECT_EQ(channel.calls[0].keys, std::vector<int>{1004});
  EXPECT_EQ(report.withoutKey, std::vector<std::string>{"/arch/Loose/Show.tts"});
  EXPECT_TRUE(report.sent);
  EXPECT_FALSE(report.refused);

  channel.answer = false;
  report = records::DeleteByKey(channel, true, {entries[0]});
  EXPECT_EQ(channel.calls.back().kind, 2);
  EXPECT_TRUE(report.refused);

  // Only key-less recordings: nothing goes to the receiver, -1 above all.
  report = records::DeleteByKey(channel, false, {entries[2]});
  EXPECT_EQ(channel.calls.size(), 2u);
  EXPECT_FALSE(report.sent);
  EXPECT_EQ(report.withoutKey.size(), 1u);
}

std::vector<std::string> PcNames(const std::vector<records::DownloadItem>& plan) {
  std::vector<std::string> names;
  for (const auto& item : plan) names.push_back(item.pcName);
  return names;
}

TEST(Recordings, NoTwoReceiverFilesShareAPcName) {
  const std::vector<records::RecordingEntry> entries{
      {"/arch/x_20260101_1200_1_/x.ts", 15000, 0},
      {"/arch/x_20260101_1200_1_/x.inf", 46, 0},
      {"/arch/x_20260102_1200_2_/x.ts", 15000, 0},
      {"/arch/x_20260103_1200_3_/X.tts", 15000, 0},
      {"/arch/f_1_/..", 1, 0},
  };
  const auto plan = records::PlanDownload("/rec", entries, false);
  EXPECT_EQ(PcNames(plan), (std::vector<std::string>{"x.tts", "x.inf.tts", "x (2).tts", "X (3).tts"}));
  EXPECT_EQ(plan[0].pcPath, "/rec/x.tts");
  EXPECT_EQ(plan[1].entry.path, entries[1].path);
  EXPECT_EQ(PcNames(records::PlanDownload("/rec", {entries[0]}, true)), std::vector<std::string>{"x.rts"});
}

TEST(Recordings, AnExistingPcRecordingIsReplacedOnlyOnTheUsersWord) {
  vantrel::test::TempDir pc;
  for (const char* name : {"a.tts", "b.tts", "c.tts"}) std::ofstream(pc.File(name)) << "old";
  std::vector<records::RecordingEntry> entries;
  for (const char* name : {"a", "b", "c", "d"})
    entries.push_back({std::string("/arch/") + name + "_20260101_1200_1_/" + name + ".ts", 1, 0});
  vantrel::test::ScriptedPrompt prompt;
  using A = vantrel::ReplaceAnswer;

  auto plan = records::PlanDownload(pc.Path(), entries, false);
  prompt.SetNextReplaceAnswer(A::Skip);
  prompt.SetNextReplaceAnswer(A::YesToAll);  // b, and c without asking
  EXPECT_TRUE(records::ConfirmReplacements(plan));
  EXPECT_EQ(PcNames(plan), (std::vector<std::string>{"b.tts", "c.tts", "d.tts"}));
  ASSERT_EQ(prompt.Records().size(), 2u);
  EXPECT_EQ(prompt.Records()[0].text, "a.tts already exists. Do you want to replace it?");
  EXPECT_EQ(prompt.Records()[0].caption, "Confirm");

  plan = records::PlanDownload(pc.Path(), entries, false);
  prompt.SetNextReplaceAnswer(A::Yes);
  prompt.SetNextReplaceAnswer(A::Cancel);
  EXPECT_FALSE(records::ConfirmReplacements(plan));
  EXPECT_TRUE(plan.empty());
  EXPECT_EQ(prompt.PendingAnswers(), 0u);
}

TEST(Recordings, AFolderThatCannotBeEnteredEndsTheRunAndIsNamed) {
  vantrel::test::ReceiverSim::Options options;
  options.simulator = VANTREL_RECEIVER_SIM;
  options.address = "127.0.0.170";
  vantrel::test::ReceiverSim sim(options);
  ASSERT_TRUE(sim.Start()) << sim.Output();
  vantrel::GetSettings().SetLastIP(options.address);
  vantrel::test::TempDir pc;
  const std::string archive = records::kTvArchive;
  const std::vector<records::RecordingEntry> entries{
      {archive + "/Tagesschau_20261201_2000_1001_/Tagesschau.tts", 0, 0},
      {archive + "/Gone_20261201_2000_1999_/Gone.tts", 0, 0},
      {archive + "/Tagesschau_20261201_2000_1001_/Tagesschau.tts", 0, 0},
  };
  nsFTP::CFTPClient ftp(nullptr, nsFTP::CFTPClient::kDefaultTimeoutSeconds, nsFTP::CFTPClient::kDefaultBufferSize);
  ASSERT_TRUE(records::LoginReceiver(ftp, options.channelPort));
  const auto plan = records::PlanDownload(pc.Path(), entries, false);
  std::atomic<bool> cancel{false};
  int announced = 0;
  const records::DownloadReport report =
      records::RunDownload(ftp, plan, cancel, [&](const records::DownloadItem&) { ++announced; });
  EXPECT_EQ(report.outcome, records::DownloadReport::kFolderFailed);
  EXPECT_EQ(report.failedName, "Gone.tts");
  EXPECT_EQ(report.copied, 1u);
  EXPECT_EQ(announced, 1);
  EXPECT_EQ(vantrel::test::ReadFile(pc.File("Tagesschau.tts")),
            vantrel::test::ReadFile(sim.DiskPath(archive + "/Tagesschau_20261201_2000_1001_/Tagesschau.tts")));
  EXPECT_FALSE(std::filesystem::exists(pc.File("Tagesschau (2).tts")));
  const std::string message = records::DownloadFailureText(report);
  EXPECT_NE(message.find("Gone.tts"), std::string::npos) << message;
  EXPECT_NE(message.find("kept"), std::string::npos) << message;
}

}  // namespace
