// vantrel-edit-bench [google benchmark flags]
// The channel editor's operations on a list of 10,000 TV services on 40
// satellites, with a FastScan group of 2,000 copies and a TV group of 2,000
// references that follow every renumbering.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "channels/ChannelColumns.h"
#include "channels/ChannelEditor.h"
#include "core/Prompt.h"

namespace {

using namespace vantrel::channels;

constexpr int kServices = 10000;

// Every question is answered Yes, nothing is shown.
class YesPrompt final : public vantrel::IPrompt {
 public:
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void Show(const std::string&, const std::string&, vantrel::PromptIcon) override {}
};

void BuildList(ChannelList& list) {
  for (int s = 0; s < 40; ++s) {
    auto sat = std::make_unique<Satellite>();
    sat->SatName = "Satellite " + std::to_string(s);
    sat->Longitude = s * 45;
    list.AddSatellite(std::move(sat));
  }
  for (int i = 0; i < kServices; ++i) {
    auto s = std::make_unique<Service>();
    s->ChannelNo = i + 1;
    // Names and numbers in an order unlike the list order, so every sort moves rows.
    const int k = (i * 7919) % kServices;
    s->Name = "Service " + std::to_string(k);
    s->ProviderName = "Provider " + std::to_string(k % 97);
    s->Sid = k;
    s->Onid = k % 13;
    s->Tsid = k % 1000;
    s->Vpid = k + 100;
    s->Apid = k + 200;
    s->PCRpid = k + 100;
    s->Scrambled = static_cast<std::int8_t>(k % 2);
    s->Locked = k % 3 == 0;
    s->Skipped = k % 5 == 0;
    s->IsHD = k % 2 == 1;
    s->Carrier = ServiceCarrier{(k % 40) * 45, k % 4 == 0 ? kBandC : kBandKu, 10700 + k % 2000, 22000 + k % 7, 'H', 0};
    list.AddService(std::move(s));
  }
  auto fs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "FastScan", 1);
  auto tv = std::make_unique<FavoriteGroup>(kFavoriteTv, "Favourites", 1);
  for (int i = 0; i < 2000; ++i) {
    auto copy = std::make_unique<Service>(*list.TvServices()[static_cast<std::size_t>(i * 5)]);
    copy->LCNNo = i + 1;
    fs->AddCopy(std::move(copy));
    tv->AddReference(list.TvServices()[static_cast<std::size_t>(i * 5 + 1)].get());
  }
  list.AddFavoriteGroup(std::move(tv));
  list.AddFavoriteGroup(std::move(fs));
}

struct Fixture {
  Fixture() : previous(vantrel::SetPrompt(&prompt)) {
    BuildList(list);
    editor.ShowList();
  }
  ~Fixture() { vantrel::SetPrompt(previous); }
  YesPrompt prompt;
  vantrel::IPrompt* previous;
  ChannelList list;
  CChannelEditor editor{list};
};

void BM_Renumber(benchmark::State& state) {
  Fixture f;
  bool byName = true;
  for (auto _ : state) {
    state.PauseTiming();
    // A view out of number order, so that every renumbering moves the whole list.
    f.editor.Channels().SortByColumn(byName ? kColServiceName : kColSid, true);
    byName = !byName;
    state.ResumeTiming();
    f.editor.Renumber();
  }
}
BENCHMARK(BM_Renumber)->Unit(benchmark::kMillisecond);

void BM_MoveBlockOf1000(benchmark::State& state) {
  Fixture f;
  for (int r = 2000; r < 3000; ++r) f.editor.Channels().SetSelected(static_cast<std::size_t>(r), true);
  bool forward = true;
  for (auto _ : state) {
    // The block stays selected after a move: it goes back and forth.
    f.editor.MoveChannelsToNumber(forward ? 7001 : 2001);
    forward = !forward;
  }
}
BENCHMARK(BM_MoveBlockOf1000)->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State& state) {
  Fixture f;
  const int column = static_cast<int>(state.range(0));
  for (auto _ : state) f.editor.HeaderClick(column);  // alternately ascending and descending
  state.SetLabel(HeaderText(ChannelColumns()[static_cast<std::size_t>(column)]));
}
BENCHMARK(BM_SortByColumn)->DenseRange(0, kChannelColumnCount - 1)->Unit(benchmark::kMillisecond);

void BM_DeleteChannels1000(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto f = std::make_unique<Fixture>();
    for (int r = 0; r < kServices; r += 10) f->editor.Channels().SetSelected(static_cast<std::size_t>(r), true);
    state.ResumeTiming();
    f->editor.DeleteChannels();
    state.PauseTiming();
    f.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteChannels1000)->Unit(benchmark::kMillisecond);

void BM_AddAllToGroupThenRemoveFromAll(benchmark::State& state) {
  Fixture f;
  f.editor.Channels().SelectAll();
  FavoriteGroup* group = f.list.TvFavorites()[0].get();
  for (auto _ : state) {
    f.editor.AddToFavoriteGroup(group);
    f.editor.RemoveFromAllFavoriteGroups();
  }
}
BENCHMARK(BM_AddAllToGroupThenRemoveFromAll)->Unit(benchmark::kMillisecond);

void BM_SearchWrap(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) f.editor.SearchChannel("service 42");  // a few hits, wrapping each round
}
BENCHMARK(BM_SearchWrap)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
