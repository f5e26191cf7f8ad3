// vantrel-refcsv-bench [google benchmark flags]
// The reference list and the CSV export and import on 10,000 TV services on
// 40 satellites, of which 2,000 repeat another service (same ids and name),
// with a TV group of 2,000 references and a FastScan group of 2,000 copies.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "channels/ChannelCsv.h"
#include "channels/ChannelEditor.h"
#include "channels/ReferenceList.h"
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
  for (int s = 0; s < 40; ++s) {
    auto sat = std::make_unique<Satellite>();
    sat->SatName = "Satellite " + std::to_string(s);
    sat->Longitude = s * 45;
    list.AddSatellite(std::move(sat));
  }
  for (int i = 0; i < kServices; ++i) {
    // The last fifth repeats services of the first part.
    const int k =
        i < kServices - kDuplicates ? (i * 7919) % kServices : ((i - (kServices - kDuplicates)) * 7919 * 3) % kServices;
    auto s = std::make_unique<Service>();
    s->ChannelNo = i + 1;
    s->Name = "Service " + std::to_string(k) + (k % 17 == 0 ? ", \"HD\"" : "");
    s->ProviderName = "Provider " + std::to_string(k % 97);
    s->Sid = k;
    s->Onid = 1 + k % 13;
    s->Tsid = k % 1000;
    s->Vpid = k + 100;
    s->Apid = k + 200;
    s->PCRpid = k + 100;
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

// A reference of every service in a shuffled order: half carry their ids,
// half only their name written in another case with other spaces.
ReferenceList ShuffledReference(const ChannelList& list, unsigned seed) {
  ReferenceList ref;
  for (const auto& s : list.TvServices()) {
    ReferenceEntry e;
    const bool byName = s->Sid % 2 == 0;
    e.name = byName ? " " + s->Name + " " : s->Name;
    if (byName) std::transform(e.name.begin(), e.name.end(), e.name.begin(), ::toupper);
    e.hasIds = !byName;
    e.sid = s->Sid;
    e.tsid = s->Tsid;
    e.onid = s->Onid;
    ref.entries.push_back(std::move(e));
  }
  std::mt19937 random(seed);
  std::shuffle(ref.entries.begin(), ref.entries.end(), random);
  ref.entries.resize(ref.entries.size() * 9 / 10);  // a tenth stays below
  ref.entries.push_back({"Nowhere", false, 0, 0, 0, -1});
  return ref;
}

void BM_ApplyReference(benchmark::State& state) {
  Fixture f;
  const ReferenceList refs[2] = {ShuffledReference(f.list, 1), ShuffledReference(f.list, 2)};
  int round = 0;
  for (auto _ : state) {
    const ReferencePlan plan = PlanReference(f.list, refs[round++ % 2], false);
    f.editor.ApplyReference(plan);
    benchmark::DoNotOptimize(plan.matched);
  }
}
BENCHMARK(BM_ApplyReference)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
  Fixture f;
  const std::string path = "/tmp/vantrel-refcsv-bench-" + std::to_string(::getpid()) + ".csv";
  for (auto _ : state) {
    if (!WriteChannelCsv(f.list, ServiceKind::Tv, path)) state.SkipWithError("cannot write the CSV");
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

// Every row of an export, numbered backwards, every tenth renamed, with
// semicolons: plan and apply.
void BM_ImportCsv(benchmark::State& state) {
  Fixture f;
  std::vector<CsvRecord> records;
  ParseCsv(ChannelCsvBytes(f.list, ServiceKind::Tv), ',', records);
  std::string csv[2];
  for (int variant = 0; variant < 2; ++variant) {
    for (std::size_t r = 0; r < records.size(); ++r) {
      auto fields = records[r].fields;
      if (r > 0) {
        fields[0] = std::to_string(variant == 0 ? kServices + 1 - static_cast<int>(r) : static_cast<int>(r));
        if (r % 10 == 0) fields[1] += variant == 0 ? " (new)" : "";
      }
      for (std::size_t c = 0; c < fields.size(); ++c) {
        if (c != 0) csv[variant] += ';';
        csv[variant] += CsvField(fields[c], ';');
      }
      csv[variant] += "\r\n";
    }
  }
  int round = 0;
  for (auto _ : state) {
    const CsvImportPlan plan = PlanCsvImport(f.list, csv[round++ % 2]);
    if (!plan.problems.empty()) state.SkipWithError("the CSV has problems");
    f.editor.ApplyCsvImport(plan);
  }
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
