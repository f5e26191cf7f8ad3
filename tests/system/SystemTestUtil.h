#pragma once
// What the tests against the receiver simulator share: a simulator with a
// client logged in to it, file contents and their checksums.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "ftp/FTPClient.h"
#include "support/FtpRecorder.h"
#include "support/ReceiverSim.h"
#include "support/TempDir.h"

namespace vantrel::test {

inline ReceiverSim::Options SimOn(const std::string& address) {
  ReceiverSim::Options options;
  options.simulator = VANTREL_RECEIVER_SIM;
  options.address = address;
  return options;
}

inline std::int64_t FileSize(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? -1 : static_cast<std::int64_t>(size);
}

// SHA-256 of a file in hex; empty when it cannot be read.
inline std::string Sha256Of(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!hash.addData(&file)) return {};
  return hash.result().toHex().toStdString();
}

// A file of pseudo-random bytes (the same for the same seed).
inline void WriteRandomFile(const std::string& path, std::int64_t bytes, std::uint64_t seed) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::mt19937_64 random(seed);
  std::vector<std::uint64_t> block(8192);
  for (std::int64_t left = bytes; left > 0;) {
    for (auto& word : block) word = random();
    const auto n = std::min<std::int64_t>(left, static_cast<std::int64_t>(block.size() * sizeof block[0]));
    out.write(reinterpret_cast<const char*>(block.data()), n);
    left -= n;
  }
}

// A simulator and one client with a recorder attached, as a window holds it.
struct SimSession {
  explicit SimSession(ReceiverSim::Options options) : sim(std::move(options)) { client.AddObserver(&recorder); }
  // Starts the simulator and logs in on the channel port.
  ::testing::AssertionResult StartAndLogin(bool extractVersion = false) {
    if (!sim.Start()) return ::testing::AssertionFailure() << "simulator did not start:\n" << sim.Output();
    if (!client.Login(nsFTP::CServerLogin(sim.Address(), sim.ChannelPort(), "root", sim.Pin()), extractVersion)) {
      return ::testing::AssertionFailure() << "login failed:\n" << sim.Output();
    }
    return ::testing::AssertionSuccess();
  }

  ReceiverSim sim;
  TempDir local;
  FtpRecorder recorder;
  nsFTP::CFTPClient client;
};

inline constexpr char kChannelFolder[] = "/ftproot/System/Programmliste (Channel List)";
inline constexpr char kChannelFile[] = "/ftproot/System/Programmliste (Channel List)/channel.xml";
inline constexpr char kTvArchive[] = "/ftproot/Aufnahmen-Archiv (Recording Archive)/TV-Aufnahmen (TV Records)";

}  // namespace vantrel::test
