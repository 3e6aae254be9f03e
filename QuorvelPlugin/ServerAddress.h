#pragma once

#include <string>
#include <string_view>

namespace Quorvel {

// Splits at the first colon: the host before it, everything after it as the port
// (further colons included). Without a colon the whole address is the host.
void splitHostPort(std::string_view address, std::string& serverIp, std::string& serverPort);

}  // namespace Quorvel
