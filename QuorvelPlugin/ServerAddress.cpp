#include "ServerAddress.h"

namespace Quorvel {

void splitHostPort(std::string_view address, std::string& serverIp, std::string& serverPort) {
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos) {
        serverIp.assign(address);
        serverPort.clear();
        return;
    }
    serverIp.assign(address.substr(0, colon));
    serverPort.assign(address.substr(colon + 1));
}

}  // namespace Quorvel
