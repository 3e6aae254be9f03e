#include "ServerAddress.h"

namespace Quorvel {

namespace {

// The bracketed form: '[', an address, ']', then nothing or ':' and the port.
bool splitBracketed(std::string_view address, std::string& serverIp, std::string& serverPort) {
    const std::size_t close = address.find(']');
    if (!address.starts_with('[') || close == std::string_view::npos ||
        (close + 1 < address.size() && address[close + 1] != ':')) {
        return false;
    }
    serverIp.assign(address.substr(1, close - 1));
    serverPort.assign(close + 1 < address.size() ? address.substr(close + 2) : std::string_view());
    return true;
}

}  // namespace

void splitHostPort(std::string_view address, std::string& serverIp, std::string& serverPort) {
    if (splitBracketed(address, serverIp, serverPort)) {
        return;
    }
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos) {
        serverIp.assign(address);
        serverPort.clear();
        return;
    }
    serverIp.assign(address.substr(0, colon));
    serverPort.assign(address.substr(colon + 1));
}

std::string joinHostPort(std::string_view serverIp, std::string_view serverPort) {
    std::string joined;
    if (serverIp.find(':') != std::string_view::npos) {
        joined.append("[").append(serverIp).append("]");
    } else {
        joined.append(serverIp);
    }
    return joined.append(":").append(serverPort);
}

}  // namespace Quorvel
