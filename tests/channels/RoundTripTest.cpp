// Golden round trips: a file read and written back gives the same bytes; a list
// built in code, written and read back, gives the same list.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "ChannelTestUtil.h"
#include "channels/ChannelEditor.h"
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

// Favourites name their services by channel number, whatever order the file
// stores the services in: one save must not move them onto other services,
// and a second save must give the same bytes as the first.
TEST(RoundTrip, FavouritesFollowChannelNumbersWhateverTheStoredOrder) {
  vantrel::test::ScriptedPrompt prompt;
  vantrel::test::TempDir dir;
  const std::string reordered =
      dir.Write("in.xml", test::ReorderedFixture(vantrel::test::ReadFile(test::FixturePath("channel-small.xml"))));
  auto names = [](const FavoriteGroup& g) {
    std::vector<std::string> out;
    for (const Service* s : g.Members()) out.push_back(s->Name + "#" + std::to_string(s->ChannelNo));
    return out;
  };
  auto groups = [&](const ChannelList& list) {
    std::vector<std::vector<std::string>> out;
    for (const auto& g : list.TvFavorites()) out.push_back(names(*g));
    for (const auto& g : list.RadioFavorites()) out.push_back(names(*g));
    return out;
  };
  ChannelList original;
  ASSERT_EQ(ReadChannelFile(original, test::FixturePath("channel-small.xml")), ReadResult::Loaded);
  ChannelList list;
  ASSERT_EQ(ReadChannelFile(list, reordered), ReadResult::Loaded);
  ASSERT_EQ(list.TvServices()[0]->Name, "ZDF HD");
  EXPECT_EQ(groups(list), groups(original)) << "read by number, not by position";

  // The command-line rewrite: stored order, twice.
  ASSERT_EQ(WriteChannelFile(list, dir.File("once.xml"), false), WriteResult::Written);
  ChannelList once;
  ASSERT_EQ(ReadChannelFile(once, dir.File("once.xml")), ReadResult::Loaded);
  EXPECT_EQ(groups(once), groups(original));
  ASSERT_EQ(WriteChannelFile(once, dir.File("twice.xml"), false), WriteResult::Written);
  EXPECT_TRUE(vantrel::test::ReadFile(dir.File("once.xml")) == vantrel::test::ReadFile(dir.File("twice.xml")));

  // The editor's Save, with TV shown and the radio list misnumbered in store.
  ChannelList edited;
  ASSERT_EQ(ReadChannelFile(edited, reordered), ReadResult::Loaded);
  CChannelEditor editor(edited);
  editor.ShowList();
  ASSERT_EQ(WriteChannelFile(edited, dir.File("saved.xml"), false, editor), WriteResult::Written);
  ChannelList saved;
  ASSERT_EQ(ReadChannelFile(saved, dir.File("saved.xml")), ReadResult::Loaded);
  EXPECT_EQ(groups(saved), groups(original));
}

}  // namespace
}  // namespace vantrel::channels
