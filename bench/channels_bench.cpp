// vantrel-channels-bench FILE [REPEATS]
// Loads the channel file with ReadChannelFile and saves it with
// WriteChannelFile REPEATS times (default 3) and prints the best times:
//   services=N bytes=B load_ms=L save_ms=S identical=yes|no
// identical tells whether the saved file has the bytes of the input.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double Ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [REPEATS]\n", argv[0]);
    return 2;
  }
  const std::string in = argv[1];
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::string out = in + ".bench-out.xml";
  double bestLoad = 1e300;
  double bestSave = 1e300;
  std::size_t services = 0;
  for (int r = 0; r < repeats; ++r) {
    vantrel::channels::ChannelList list;
    const auto t0 = std::chrono::steady_clock::now();
    if (vantrel::channels::ReadChannelFile(list, in) != vantrel::channels::ReadResult::Loaded) return 1;
    const auto t1 = std::chrono::steady_clock::now();
    if (vantrel::channels::WriteChannelFile(list, out, false) != vantrel::channels::WriteResult::Written) return 1;
    const auto t2 = std::chrono::steady_clock::now();
    bestLoad = std::min(bestLoad, Ms(t0, t1));
    bestSave = std::min(bestSave, Ms(t1, t2));
    services = list.TvServices().size() + list.RadioServices().size();
  }
  const std::string original = Slurp(in);
  const bool identical = original == Slurp(out);
  std::remove(out.c_str());
  std::printf("services=%zu bytes=%zu load_ms=%.1f save_ms=%.1f identical=%s\n", services, original.size(), bestLoad,
              bestSave, identical ? "yes" : "no");
  return identical ? 0 : 1;
}
