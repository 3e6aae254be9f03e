#pragma once

// Server addresses compared as addresses: "2001:DB8::1" and "2001:db8:0::1" are one
// server, and so are "10.0.0.1" and "::ffff:10.0.0.1"; names compare without regard to
// case.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Quorvel::Tools {

using IpBytes = std::array<std::uint8_t, 16>;

// An IPv4 address (four decimals from 0 to 255) as its IPv4-mapped IPv6 bytes, or an
// IPv6 address (eight groups, "::" for a run of zero groups, the last 32 bits maybe as
// IPv4); nullopt for anything else, names included.
std::optional<IpBytes> parseIpAddress(std::string_view text);

// Whether two hosts are the same: the same address, else the same name in any case.
bool sameHost(std::string_view a, std::string_view b);

// A server as a person types it: "host", "host:port", "[IPv6]", "[IPv6]:port" or a bare
// IPv6 address (two colons or more, no brackets); nullopt for brackets around nothing or
// followed by anything but ":port".
struct TypedServer {
    std::string host;
    std::optional<std::string> port;
};
std::optional<TypedServer> parseTypedServer(std::string_view text);

}  // namespace Quorvel::Tools
