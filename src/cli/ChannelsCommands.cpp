// vantrel-cli channels info FILE | rewrite IN OUT | csv FILE
#include <cstdio>
#include <string>

#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "channels/ChannelList.h"
#include "channels/Fec.h"
#include "channels/Longitude.h"
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
      "       vantrel-cli channels check FILE [--fix OUT]\n",
      stderr);
}

// Loads a file; prints the reason and returns false when it does not load.
// The reader's own message (text 294) reaches stderr through the console prompt.
bool Load(ChannelList& list, const std::string& path) {
  std::string reason;
  const ReadResult result = ReadChannelFile(list, path, &reason);
  if (result == ReadResult::Loaded) return true;
  std::fprintf(stderr, "vantrel-cli: %s: %s\n", path.c_str(),
               result == ReadResult::WrongDocument ? ("not a channel list: " + reason).c_str() : reason.c_str());
  return false;
}

int Info(const std::string& path) {
  ChannelList list;
  if (!Load(list, path)) return 1;
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
  if (!Load(list, in)) return 1;
  std::string reason;
  const WriteResult result = WriteChannelFile(list, out, false, &reason);
  if (result != WriteResult::Written) {
    std::fprintf(stderr, "vantrel-cli: %s: %s\n", out.c_str(), reason.c_str());
    return 1;
  }
  return 0;
}

// RFC 4180: a field with a comma, quote or line break is quoted, quotes doubled.
std::string Csv(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string out = "\"";
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
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
  if (!Load(list, path)) return 1;
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
      line += Csv(s.Name) + ',';
      line += kind == ServiceKind::Tv ? "TV," : "Radio,";
      line += Csv(s.ProviderName) + ',';
      line += Csv(list.GetSatelliteNameByLongitude(c.Longitude)) + ',';
      line += FormatLongitude(c.Longitude) + ',';
      line += std::to_string(c.Frequency) + ',';
      line += std::to_string(c.SymbolRate) + ',';
      line += Csv(c.Pol == '\0' ? std::string() : std::string(1, c.Pol)) + ',';
      line += Csv(FecCodeToName(c.FEC)) + ',';
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

}  // namespace

int RunChannelsCommand(const Args& args) {
  if (args.size() == 2 && args[0] == "info") return Info(args[1]);
  if (args.size() == 3 && args[0] == "rewrite") return Rewrite(args[1], args[2]);
  if (args.size() == 2 && args[0] == "csv") return CsvCommand(args[1]);
  if (const int code = RunListToolCommand(args); code >= 0) return code;
  ChannelsUsage();
  return 1;
}

}  // namespace vantrel::cli
