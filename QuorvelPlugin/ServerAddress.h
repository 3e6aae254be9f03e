#pragma once

#include <string>
#include <string_view>

namespace Quorvel {

// Splits at the first colon: the host before it, everything after it as the port
// (further colons included). Without a colon the whole address is the host. A
// bracketed IPv6 address, "[2001:db8::1]:7777" or "[2001:db8::1]", gives the address
// inside the brackets and the port after "]:" (empty without one).
void splitHostPort(std::string_view address, std::string& serverIp, std::string& serverPort);

// "host:port" as people write it: an IPv6 address (a host holding a colon) in brackets.
std::string joinHostPort(std::string_view serverIp, std::string_view serverPort);

}  // namespace Quorvel
