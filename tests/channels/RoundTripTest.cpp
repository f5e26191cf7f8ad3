// Golden round trips: a file read and written back gives the same bytes; a list
// built in code, written and read back, gives the same list.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "ChannelTestUtil.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace vantrel::channels {
namespace {

std::string Python() { return "python3"; }

// Makes a list with the fixture generator; empty when it could not run.
std::string Generate(const vantrel::test::TempDir& dir, const std::string& args, const std::string& name) {
  const std::string out = dir.File(name);
  const std::string command =
      Python() + " '" + test::FixturePath("make_channel_list.py") + "' " + args + " '" + out + "'";
  if (std::system(command.c_str()) != 0) return {};
  return vantrel::test::ReadFile(out);
}

TEST(RoundTrip, TheSmallFixtureIsWrittenBackByteForByte) {
  vantrel::test::ScriptedPrompt prompt;
  vantrel::test::TempDir dir;
  const std::string in = test::FixturePath("channel-small.xml");
  ChannelList list;
  ASSERT_EQ(ReadChannelFile(list, in), ReadResult::Loaded);
  const std::string out = dir.File("out.xml");
  ASSERT_EQ(WriteChannelFile(list, out, false), WriteResult::Written);
  const std::string original = vantrel::test::ReadFile(in);
  ASSERT_FALSE(original.empty());
  EXPECT_TRUE(original == vantrel::test::ReadFile(out)) << "the written file differs from the fixture";
  EXPECT_TRUE(prompt.Records().empty());
}

TEST(RoundTrip, TheGeneratorStillMakesTheFixture) {
  vantrel::test::TempDir dir;
  const std::string small = Generate(dir, "small", "small.xml");
  ASSERT_FALSE(small.empty()) << "python3 could not run the generator";
  EXPECT_TRUE(small == vantrel::test::ReadFile(test::FixturePath("channel-small.xml")));
}

TEST(RoundTrip, ATenThousandServiceFileIsWrittenBackByteForByte) {
  vantrel::test::ScriptedPrompt prompt;
  vantrel::test::TempDir dir;
  const std::string original = Generate(dir, "scale 10000", "scale.xml");
  ASSERT_FALSE(original.empty()) << "python3 could not run the generator";
  ChannelList list;
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_EQ(ReadChannelFile(list, dir.File("scale.xml")), ReadResult::Loaded);
  const auto t1 = std::chrono::steady_clock::now();
  EXPECT_EQ(list.TvServices().size(), 10000u);
  EXPECT_EQ(list.RadioServices().size(), 2000u);
  EXPECT_EQ(list.TvFavorites().size(), 21u);
  EXPECT_EQ(list.RadioFavorites().size(), 3u);
  ASSERT_EQ(WriteChannelFile(list, dir.File("out.xml"), false), WriteResult::Written);
  const auto t2 = std::chrono::steady_clock::now();
  EXPECT_TRUE(original == vantrel::test::ReadFile(dir.File("out.xml"))) << "the written file differs";
  using ms = std::chrono::milliseconds;
  std::printf("10,000 services: load %lld ms, save %lld ms\n",
              static_cast<long long>(std::chrono::duration_cast<ms>(t1 - t0).count()),
              static_cast<long long>(std::chrono::duration_cast<ms>(t2 - t1).count()));
}

TEST(RoundTrip, AListBuiltInCodeReadsBackFieldByField) {
  vantrel::test::ScriptedPrompt prompt;
  vantrel::test::TempDir dir;
  ChannelList built;
  test::BuildSampleList(built);
  // A data service handed to the list is dropped on both sides.
  auto data = std::make_unique<Service>();
  data->ServiceType = kServiceTypeData;
  built.AddService(std::move(data));
  ASSERT_EQ(WriteChannelFile(built, dir.File("built.xml"), false), WriteResult::Written);
  ChannelList back;
  ASSERT_EQ(ReadChannelFile(back, dir.File("built.xml")), ReadResult::Loaded);
  test::ExpectListsEqual(built, back);
  // And the second generation gives the same bytes.
  EXPECT_EQ(ChannelFileBytes(back), vantrel::test::ReadFile(dir.File("built.xml")));
  EXPECT_TRUE(prompt.Records().empty());
}

}  // namespace
}  // namespace vantrel::channels
