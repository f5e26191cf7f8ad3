#pragma once
// Helpers around the IPv4 socket address (sockaddr_in, port and address in
// network byte order).
#include <netinet/in.h>

#include <cstdint>
#include <string>

namespace nsSocket {

using SocketAddress = sockaddr_in;

// An address from a dotted IPv4 text; false when the text is not one.
bool MakeAddress(const std::string& dotted, std::uint16_t port, SocketAddress& out);
// Any local address ("0.0.0.0") with the given port.
SocketAddress AnyAddress(std::uint16_t port);
// The dotted text of the address part.
std::string AddressText(const SocketAddress& address);
// The port in host byte order.
std::uint16_t AddressPort(const SocketAddress& address);

}  // namespace nsSocket
