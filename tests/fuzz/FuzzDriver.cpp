// A bounded, seeded mutation run of the fuzz target without libFuzzer, so the
// reader is fuzzed in every CI run whatever the compiler:
//   channel_reader_fuzz_driver ITERATIONS SEED SEEDFILE...
// Each iteration takes a seed file and applies a few random mutations (bit
// flips, byte changes, insertions and deletions of bytes and of markup
// fragments, truncation, duplication of a slice, splices of two seeds).
// Prints "N passed, 0 failed" at the end; a finding aborts. With the
// environment variable VANTREL_FUZZ_SAVE set to a path, every input is first
// written there, so after a finding that file holds the input that found it.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

const char* const kFragments[] = {"<", ">", "</", "/>", "&amp;", "&#", "&#x", ";", "<![CDATA[", "]]>", "<!--", "-->",
                                  "<?", "?>", "\"", "'", "=", "<Service>", "</Service>", "<ChannelNo>",
                                  "</ChannelNo>", "<FavoriteGroup>", "<ServiceType>FastScan_TV</ServiceType>",
                                  "<ServiceType>Radio</ServiceType>", " Name=\"x\"", " LCNNo=\"-1\"",
                                  "<Satellite>", "<Transponder>", "\xEF\xBB\xBF", "\xC3", "\x00", "99999999999",
                                  "-2147483648", "<Favoritelist>", "</Servicelist>"};

std::string Mutate(std::string s, const std::vector<std::string>& seeds, std::mt19937_64& rng) {
  auto pick = [&rng](std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(rng() % n); };
  const int rounds = 1 + static_cast<int>(rng() % 8);
  for (int r = 0; r < rounds; ++r) {
    switch (rng() % 9) {
      case 0:
        if (!s.empty()) s[pick(s.size())] ^= static_cast<char>(1u << (rng() % 8));
        break;
      case 1:
        if (!s.empty()) s[pick(s.size())] = static_cast<char>(rng() & 0xFF);
        break;
      case 2:
        s.insert(pick(s.size() + 1), 1, static_cast<char>(rng() & 0xFF));
        break;
      case 3:
        if (!s.empty()) {
          const std::size_t at = pick(s.size());
          s.erase(at, 1 + pick(std::min<std::size_t>(64, s.size() - at)));
        }
        break;
      case 4: {
        const std::string f = kFragments[pick(std::size(kFragments))];
        s.insert(pick(s.size() + 1), f.empty() ? std::string(1, '\0') : f);
        break;
      }
      case 5:
        if (!s.empty()) s.resize(pick(s.size()));
        break;
      case 6:
        if (!s.empty()) {
          const std::size_t at = pick(s.size());
          const std::size_t len = 1 + pick(std::min<std::size_t>(2048, s.size() - at));
          const std::string slice = s.substr(at, len);
          const int times = 1 + static_cast<int>(rng() % 4);
          for (int t = 0; t < times; ++t) s.insert(pick(s.size() + 1), slice);
        }
        break;
      case 7: {
        const std::string& other = seeds[pick(seeds.size())];
        if (!other.empty() && !s.empty()) {
          const std::size_t cut = pick(s.size());
          s = s.substr(0, cut) + other.substr(pick(other.size()));
        }
        break;
      }
      default:
        if (!s.empty()) {  // swap two bytes
          std::swap(s[pick(s.size())], s[pick(s.size())]);
        }
        break;
    }
    if (s.size() > (std::size_t{1} << 20)) s.resize(std::size_t{1} << 20);
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s ITERATIONS SEED SEEDFILE...\n", argv[0]);
    return 2;
  }
  const long iterations = std::strtol(argv[1], nullptr, 10);
  std::mt19937_64 rng(std::strtoull(argv[2], nullptr, 10));
  std::vector<std::string> seeds;
  for (int i = 3; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 2;
    }
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The seeds themselves, then the mutants.
  for (const std::string& seed : seeds) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(seed.data()), seed.size());
  }
  // Saved with plain system calls, so saving changes no heap layout.
  const char* save = std::getenv("VANTREL_FUZZ_SAVE");
  const int saveFd = save != nullptr ? ::open(save, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
  for (long i = 0; i < iterations; ++i) {
    const std::string input = Mutate(seeds[static_cast<std::size_t>(rng() % seeds.size())], seeds, rng);
    if (saveFd >= 0 && (::ftruncate(saveFd, 0) != 0 || ::pwrite(saveFd, input.data(), input.size(), 0) < 0)) {
      std::perror("VANTREL_FUZZ_SAVE");
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  }
  std::printf("fuzz: %ld passed, 0 failed\n", iterations + static_cast<long>(seeds.size()));
  return 0;
}
