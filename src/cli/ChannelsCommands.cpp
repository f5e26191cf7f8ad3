// vantrel-cli channels info FILE | rewrite IN OUT | csv FILE | apply-reference ... | export-csv ... | import-csv ...
#include <cstdio>
#include <string>

#include "channels/ChannelCsv.h"
#include "channels/ChannelEditor.h"
#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "channels/ChannelList.h"
#include "channels/Fec.h"
#include "channels/Longitude.h"
#include "channels/ReferenceList.h"
#include "cli/ChannelListFiles.h"
#include "cli/CliCommands.h"

namespace vantrel::cli {
namespace {

using namespace vantrel::channels;

void ChannelsUsage() {
  std::fputs(
      "usage: vantrel-cli channels info FILE\n"
      "       vantrel-cli channels rewrite IN OUT\n"
      "       vantrel-cli channels csv FILE\n"
      "       vantrel-cli channels duplicates FILE [--loose] [--delete OUT]\n"
      "       vantrel-cli channels check FILE [--fix OUT]\n"
      "       vantrel-cli channels apply-reference FILE REFERENCE OUT [--favourites]\n"
      "       vantrel-cli channels export-csv FILE OUT.csv [--radio]\n"
      "       vantrel-cli channels import-csv FILE IN.csv OUT [--skip-bad]\n",
      stderr);
}

int Info(const std::string& path) {
  ChannelList list;
  if (!LoadChannelList(list, path)) return 1;
  std::size_t transponders = 0;
  for (const auto& sat : list.Satellites()) transponders += sat->mTransponder.size();
  auto members = [](const ChannelList::Owned<FavoriteGroup>& groups) {
    std::size_t n = 0;
    for (const auto& g : groups) n += g->MemberCount();
    return n;
  };
  std::printf("file: %s\n", path.c_str());
  std::printf("satellites: %zu\n", list.Satellites().size());
  std::printf("transponders: %zu\n", transponders);
  std::printf("configurations: %zu\n", list.Configurations().size());
  std::printf("tv services: %zu\n", list.TvServices().size());
  std::printf("radio services: %zu\n", list.RadioServices().size());
  std::printf("tv groups: %zu\n", list.TvFavorites().size());
  std::printf("tv group members: %zu\n", members(list.TvFavorites()));
  std::printf("radio groups: %zu\n", list.RadioFavorites().size());
  std::printf("radio group members: %zu\n", members(list.RadioFavorites()));
  return 0;
}

int Rewrite(const std::string& in, const std::string& out) {
  ChannelList list;
  if (!LoadChannelList(list, in)) return 1;
  return StoreChannelList(list, out) ? 0 : 1;
}

std::string Flags(const Service& s) {
  std::string out;
  auto add = [&out](bool on, const char* name) {
    if (!on) return;
    if (!out.empty()) out += ' ';
    out += name;
  };
  add(s.Scrambled != 0, "scrambled");
  add(s.Locked, "locked");
  add(s.Skipped, "skipped");
  add(s.IsHD, "hd");
  return out;
}

int CsvCommand(const std::string& path) {
  ChannelList list;
  if (!LoadChannelList(list, path)) return 1;
  std::fputs(
      "number,name,type,provider,satellite,position,frequency,symbol_rate,polarisation,fec,band,"
      "sid,onid,tsid,vpid,apid,pcrpid,flags\n",
      stdout);
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    for (const auto& sp : list.Services(kind)) {
      const Service& s = *sp;
      const ServiceCarrier& c = s.Carrier;
      std::string line;
      line += std::to_string(s.ChannelNo) + ',';
      line += CsvField(s.Name) + ',';
      line += kind == ServiceKind::Tv ? "TV," : "Radio,";
      line += CsvField(s.ProviderName) + ',';
      line += CsvField(list.GetSatelliteNameByLongitude(c.Longitude)) + ',';
      line += FormatLongitude(c.Longitude) + ',';
      line += std::to_string(c.Frequency) + ',';
      line += std::to_string(c.SymbolRate) + ',';
      line += CsvField(c.Pol == '\0' ? std::string() : std::string(1, c.Pol)) + ',';
      line += CsvField(FecCodeToName(c.FEC)) + ',';
      line += c.Band == kBandC ? "C," : "Ku,";
      line += std::to_string(s.Sid) + ',' + std::to_string(s.Onid) + ',' + std::to_string(s.Tsid) + ',';
      line += std::to_string(s.Vpid) + ',' + std::to_string(s.Apid) + ',' + std::to_string(s.PCRpid) + ',';
      line += Flags(s);
      line += '\n';
      if (std::fputs(line.c_str(), stdout) == EOF) return 1;
    }
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int ApplyReferenceCommand(const std::string& path, const std::string& referencePath, const std::string& out,
                          bool favourites) {
  ChannelList list;
  if (!LoadChannelList(list, path)) return 1;
  ReferenceList reference;
  std::string reason;
  if (!LoadReferenceList(referencePath, reference, &reason)) {
    std::fprintf(stderr, "vantrel-cli: %s: %s\n", referencePath.c_str(), reason.c_str());
    return 1;
  }
  if (reference.entries.empty()) {
    std::fprintf(stderr, "vantrel-cli: %s: no channel names\n", referencePath.c_str());
    return 1;
  }
  CChannelEditor editor(list);
  editor.ShowList();
  const ReferencePlan plan = PlanReference(list, reference, favourites);
  std::printf("matched: %zu\nmoved: %zu\nunchanged: %zu\nnot found: %zu\n", plan.matched, plan.moved, plan.unchanged,
              plan.notFound.size());
  for (const std::string& name : plan.notFound) std::printf("  %s\n", name.c_str());
  if (favourites) std::printf("groups: %zu\n", plan.groups.size());
  editor.ApplyReference(plan);
  return StoreChannelList(list, out) ? 0 : 1;
}

int ExportCsvCommand(const std::string& path, const std::string& out, bool radio) {
  ChannelList list;
  if (!LoadChannelList(list, path)) return 1;
  std::string reason;
  if (!WriteChannelCsv(list, radio ? ServiceKind::Radio : ServiceKind::Tv, out, &reason)) {
    std::fprintf(stderr, "vantrel-cli: %s: %s\n", out.c_str(), reason.c_str());
    return 1;
  }
  return 0;
}

// Rows it can not use are listed on stderr; then nothing is written unless
// --skip-bad says to apply the others.
int ImportCsvCommand(const std::string& path, const std::string& csvPath, const std::string& out, bool skipBad) {
  ChannelList list;
  if (!LoadChannelList(list, path)) return 1;
  std::string bytes;
  std::string reason;
  if (!ReadTextFile(csvPath, bytes, &reason)) {
    std::fprintf(stderr, "vantrel-cli: %s\n", reason.c_str());
    return 1;
  }
  const CsvImportPlan plan = PlanCsvImport(list, bytes);
  bool fileUnusable = false;
  for (const CsvProblem& p : plan.problems) {
    fileUnusable = fileUnusable || p.kind == CsvProblemKind::NoIdColumns || p.kind == CsvProblemKind::OpenQuote;
    std::fprintf(stderr, "%s:%zu: %s\n", csvPath.c_str(), p.line, DescribeCsvProblem(p).c_str());
  }
  std::printf("rows: %zu\nchanged: %zu\nleft out: %zu\n", plan.rows, plan.changedServices, plan.problems.size());
  if (fileUnusable || (!plan.problems.empty() && !skipBad)) {
    std::fprintf(stderr, "vantrel-cli: %s: nothing written%s\n", out.c_str(),
                 fileUnusable ? "" : " (--skip-bad applies the other rows)");
    return 1;
  }
  CChannelEditor editor(list);
  editor.ShowList();
  editor.ApplyCsvImport(plan);
  return StoreChannelList(list, out) ? 0 : 1;
}

}  // namespace

int RunChannelsCommand(const Args& args) {
  if (args.size() == 2 && args[0] == "info") return Info(args[1]);
  if (args.size() == 3 && args[0] == "rewrite") return Rewrite(args[1], args[2]);
  if (args.size() == 2 && args[0] == "csv") return CsvCommand(args[1]);
  if (const int code = RunListToolCommand(args); code >= 0) return code;
  if ((args.size() == 4 || (args.size() == 5 && args[4] == "--favourites")) && args[0] == "apply-reference")
    return ApplyReferenceCommand(args[1], args[2], args[3], args.size() == 5);
  if ((args.size() == 3 || (args.size() == 4 && args[3] == "--radio")) && args[0] == "export-csv")
    return ExportCsvCommand(args[1], args[2], args.size() == 4);
  if ((args.size() == 4 || (args.size() == 5 && args[4] == "--skip-bad")) && args[0] == "import-csv")
    return ImportCsvCommand(args[1], args[2], args[3], args.size() == 5);
  ChannelsUsage();
  return 1;
}

}  // namespace vantrel::cli
