// Hostile files are refused with text 294 or loaded; they never crash and
// never take long. IXML frees and walks its tree recursively and appends
// children in time linear in the earlier siblings (XmlPreflight.h).
#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>

#include "ChannelTestUtil.h"
#include "channels/XmlPreflight.h"
#include "core/TextTable.h"
#include "support/ScriptedPrompt.h"

namespace vantrel::channels {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

std::string Repeat(const std::string& part, std::size_t times) {
  std::string out;
  out.reserve(part.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += part;
  return out;
}

TEST(Hostile, HundredThousandNestedElementsAreRefused) {
  vantrel::test::ScriptedPrompt prompt;
  const std::string bytes = "<Servicelist>" + Repeat("<Service>", 100000) + Repeat("</Service>", 100000) +
                            "</Servicelist>";
  ChannelList list;
  std::string reason;
  const auto t0 = Clock::now();
  EXPECT_EQ(ReadChannelBuffer(list, bytes, &reason), ReadResult::Failed);
  EXPECT_LT(Seconds(t0), 5.0);
  EXPECT_NE(reason.find("nested"), std::string::npos) << reason;
  ASSERT_EQ(prompt.Records().size(), 1u);
  EXPECT_EQ(prompt.Records()[0].text, GetText(294));
  EXPECT_TRUE(list.TvServices().empty());
}

TEST(Hostile, HundredThousandUnclosedElementsAreRefused) {
  vantrel::test::ScriptedPrompt prompt;
  ChannelList list;
  EXPECT_EQ(ReadChannelBuffer(list, "<Servicelist>" + Repeat("<a>", 100000)), ReadResult::Failed);
  EXPECT_EQ(prompt.Records().size(), 1u);
}

TEST(Hostile, AMillionSiblingsLoadQuickly) {
  vantrel::test::ScriptedPrompt prompt;
  const std::string bytes = "<Servicelist>" + Repeat("<x/>", 1000000) + "<Service><Name>last</Name></Service>" +
                            "</Servicelist>";
  ChannelList list;
  const auto t0 = Clock::now();
  const ReadResult result = ReadChannelBuffer(list, bytes);
  const double took = Seconds(t0);
  std::printf("1,000,000 siblings: %.2f s\n", took);
  ASSERT_EQ(result, ReadResult::Loaded);
  ASSERT_EQ(list.TvServices().size(), 1u);
  EXPECT_EQ(list.TvServices()[0]->Name, "last");
  EXPECT_LT(took, 120.0);
  EXPECT_TRUE(prompt.Records().empty());
}

TEST(Hostile, AMillionGroupMembers) {
  vantrel::test::ScriptedPrompt prompt;
  const std::string bytes = "<Servicelist><Service><Name>only</Name></Service><Favoritelist><FavoriteGroup>"
                            "<ServiceType>TV</ServiceType>" +
                            Repeat("<ChannelNo>1</ChannelNo>", 1000000) +
                            "</FavoriteGroup></Favoritelist></Servicelist>";
  ChannelList list;
  ASSERT_EQ(ReadChannelBuffer(list, bytes), ReadResult::Loaded);
  ASSERT_EQ(list.TvFavorites().size(), 1u);
  EXPECT_EQ(list.TvFavorites()[0]->MemberCount(), 1000000u);
  list.RemoveService(list.TvServices()[0].get());
  EXPECT_TRUE(list.TvFavorites()[0]->Empty());
}

TEST(Hostile, TooManyAttributesAreRefused) {
  vantrel::test::ScriptedPrompt prompt;
  std::string tag = "<Servicelist";
  for (int i = 0; i < 20000; ++i) tag += " a" + std::to_string(i) + "=\"1\"";
  tag += "></Servicelist>";
  ChannelList list;
  const auto t0 = Clock::now();
  EXPECT_EQ(ReadChannelBuffer(list, tag), ReadResult::Failed);
  EXPECT_LT(Seconds(t0), 5.0);
}

TEST(Hostile, NestingUpToTheBoundLoads) {
  vantrel::test::ScriptedPrompt prompt;
  // Servicelist and 62 unknown levels around an empty Service: 63 open levels, within
  // the bound of 64; a Service is read only directly under Servicelist.
  const std::string deep = Repeat("<u>", 62) + "<Service/>" + Repeat("</u>", 62);
  ChannelList list;
  EXPECT_EQ(ReadChannelBuffer(list, "<Servicelist>" + deep + "<Service/></Servicelist>"), ReadResult::Loaded);
  EXPECT_EQ(list.TvServices().size(), 1u);
  const std::string deeper = Repeat("<u>", 64) + Repeat("</u>", 64);
  EXPECT_EQ(ReadChannelBuffer(list, "<Servicelist>" + deeper + "</Servicelist>"), ReadResult::Failed);
}

void* ReadOnSmallStack(void* arg) {
  auto* result = static_cast<ReadResult*>(arg);
  std::string body;
  for (int i = 1; i <= 2000; ++i) body += test::ServiceXml(i, "S" + std::to_string(i));
  ChannelList list;
  *result = ReadChannelBuffer(list, test::Doc(body));
  if (list.TvServices().size() != 2000u) *result = ReadResult::WrongDocument;
  return nullptr;
}

TEST(Hostile, TheCallersStackDoesNotMatter) {
  pthread_attr_t attr;
  ASSERT_EQ(pthread_attr_init(&attr), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, 512 * 1024), 0);
  ReadResult result = ReadResult::Failed;
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, &ReadOnSmallStack, &result), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(result, ReadResult::Loaded);
}

}  // namespace
}  // namespace vantrel::channels
