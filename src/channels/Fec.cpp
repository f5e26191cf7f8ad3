#include "channels/Fec.h"

#include <array>

namespace vantrel::channels {
namespace {

struct FecName {
  int code;
  const char* name;
};

constexpr std::array<FecName, 15> kFecNames{{
    {0, "Auto"},
    {6, "DVBS2 QPSK 1/2"},
    {7, "DVBS2 QPSK 3/5"},
    {8, "DVBS2 QPSK 2/3"},
    {9, "DVBS2 QPSK 3/4"},
    {10, "DVBS2 QPSK 4/5"},
    {11, "DVBS2 QPSK 5/6"},
    {12, "DVBS2 QPSK 8/9"},
    {13, "DVBS2 QPSK 9/10"},
    {14, "DVBS2 8PSK 3/5"},
    {15, "DVBS2 8PSK 2/3"},
    {16, "DVBS2 8PSK 3/4"},
    {17, "DVBS2 8PSK 5/6"},
    {18, "DVBS2 8PSK 8/9"},
    {19, "DVBS2 8PSK 9/10"},
}};

}  // namespace

const char* FecCodeToName(int code) {
  for (const auto& fec : kFecNames) {
    if (fec.code == code) return fec.name;
  }
  return "UNDEFINED";
}

int FecNameToCode(std::string_view name) {
  for (const auto& fec : kFecNames) {
    if (name == fec.name) return fec.code;
  }
  return 0;
}

}  // namespace vantrel::channels
