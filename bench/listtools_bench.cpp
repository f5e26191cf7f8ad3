// vantrel-listtools-bench [google benchmark flags]
// The duplicate finder (both rules), the deletion of the duplicates and the
// list check on 10,000 TV services over 40 satellites, of which 2,000 repeat
// another service (its ids and carrier; the name sometimes in capitals),
// with 20 TV groups of 200 references and a FastScan group of 2,000 copies.
#include <benchmark/benchmark.h>

#include <cctype>
#include <memory>
#include <random>
#include <string>

#include "channels/ChannelEditor.h"
#include "channels/DuplicateFinder.h"
#include "channels/ListCheck.h"
#include "core/Prompt.h"

namespace {

using namespace vantrel::channels;

constexpr int kServices = 10000;
constexpr int kDuplicates = kServices / 5;

class YesPrompt final : public vantrel::IPrompt {
 public:
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void Show(const std::string&, const std::string&, vantrel::PromptIcon) override {}
};

void BuildList(ChannelList& list) {
  std::mt19937 rnd(7);
  for (int s = 0; s < 40; ++s) {
    auto sat = std::make_unique<Satellite>();
    sat->SatName = "Satellite " + std::to_string(s);
    sat->Longitude = s * 45;
    list.AddSatellite(std::move(sat));
  }
  std::vector<std::unique_ptr<Service>> services;
  for (int i = 0; i < kServices - kDuplicates; ++i) {
    auto s = std::make_unique<Service>();
    s->Name = "Service " + std::to_string(i);
    s->ProviderName = "Provider " + std::to_string(i % 97);
    s->Sid = 1 + i % 60000;
    s->Tsid = 1000 + i % 40;
    s->Onid = 1 + i / 40 % 40;
    s->IsHD = i % 3 == 0;
    s->Carrier = ServiceCarrier{(i % 40) * 45, kBandKu, 10700 + i % 2000, 27500, 'H', 0};
    services.push_back(std::move(s));
  }
  for (int d = 0; d < kDuplicates; ++d) {
    auto copy = std::make_unique<Service>(*services[rnd() % services.size()]);
    if (d % 2 == 0) {
      for (char& c : copy->Name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    copy->IsHD = d % 3 == 0;
    services.insert(services.begin() + static_cast<std::ptrdiff_t>(rnd() % (services.size() + 1)), std::move(copy));
  }
  for (std::size_t i = 0; i < services.size(); ++i) {
    services[i]->ChannelNo = static_cast<int>(i) + 1;
    list.AddService(std::move(services[i]));
  }
  for (int g = 0; g < 20; ++g) {
    auto group = std::make_unique<FavoriteGroup>(kFavoriteTv, "Group " + std::to_string(g), g + 1);
    for (int m = 0; m < 200; ++m) group->AddReference(list.TvServices()[rnd() % kServices].get());
    list.AddFavoriteGroup(std::move(group));
  }
  auto fs = std::make_unique<FavoriteGroup>(kFavoriteFastScanTv, "FastScan", 21);
  for (int i = 0; i < 2000; ++i) {
    auto copy = std::make_unique<Service>(*list.TvServices()[static_cast<std::size_t>(i * 5)]);
    copy->LCNNo = i + 1;
    fs->AddCopy(std::move(copy));
  }
  list.AddFavoriteGroup(std::move(fs));
}

void BM_FindDuplicates(benchmark::State& state) {
  ChannelList list;
  BuildList(list);
  const DuplicateRule rule = state.range(0) == 0 ? DuplicateRule::Exact : DuplicateRule::Loose;
  std::size_t groups = 0;
  for (auto _ : state) {
    groups = FindDuplicates(list, rule).size();
    benchmark::DoNotOptimize(groups);
  }
  state.SetLabel((rule == DuplicateRule::Exact ? "exact, " : "loose, ") + std::to_string(groups) + " groups");
}
BENCHMARK(BM_FindDuplicates)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DeleteDuplicates(benchmark::State& state) {
  YesPrompt prompt;
  vantrel::IPrompt* previous = vantrel::SetPrompt(&prompt);
  for (auto _ : state) {
    state.PauseTiming();
    auto list = std::make_unique<ChannelList>();
    BuildList(*list);
    auto editor = std::make_unique<CChannelEditor>(*list);
    editor->ShowList();
    const auto groups = FindDuplicates(*list, DuplicateRule::Exact);
    state.ResumeTiming();
    benchmark::DoNotOptimize(editor->DeleteDuplicates(groups));
    state.PauseTiming();
    editor.reset();
    list.reset();
    state.ResumeTiming();
  }
  vantrel::SetPrompt(previous);
}
BENCHMARK(BM_DeleteDuplicates)->Unit(benchmark::kMillisecond);

void BM_CheckList(benchmark::State& state) {
  ChannelList list;
  BuildList(list);
  // Something to find: one number twice, which also breaks the numbering.
  list.TvServices()[kServices / 2]->ChannelNo = 1;
  std::size_t findings = 0;
  for (auto _ : state) {
    findings = CheckChannelList(list).size();
    benchmark::DoNotOptimize(findings);
  }
  state.SetLabel(std::to_string(findings) + " findings");
}
BENCHMARK(BM_CheckList)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
