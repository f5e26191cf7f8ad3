#include "net/SocketAddress.h"

#include <arpa/inet.h>

#include <cstring>

namespace nsSocket {

bool MakeAddress(const std::string& dotted, std::uint16_t port, SocketAddress& out) {
  std::memset(&out, 0, sizeof out);
  out.sin_family = AF_INET;
  out.sin_port = htons(port);
  return inet_pton(AF_INET, dotted.c_str(), &out.sin_addr) == 1;
}

SocketAddress AnyAddress(std::uint16_t port) {
  SocketAddress address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  return address;
}

std::string AddressText(const SocketAddress& address) {
  char text[INET_ADDRSTRLEN] = {};
  if (inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr) return {};
  return text;
}

std::uint16_t AddressPort(const SocketAddress& address) { return ntohs(address.sin_port); }

}  // namespace nsSocket
