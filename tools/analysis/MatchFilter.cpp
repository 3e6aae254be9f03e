#include "MatchFilter.h"

#include <algorithm>
#include <charconv>

#include "UtcTimestamp.h"

namespace Quorvel::Analysis {

bool MatchFilter::filters() const {
    return !numbers.empty() || !servers.empty() || since || until;
}

bool MatchFilter::keeps(const MatchReport& report) const {
    const std::chrono::sys_seconds start = report.figures.start;
    const auto onServer = [&report](const Tools::TypedServer& server) {
        return Tools::sameHost(server.host, report.info.serverIp) &&
               (!server.port || *server.port == report.info.serverPort);
    };
    return (numbers.empty() || numbers.contains(report.number)) &&
           (servers.empty() || std::any_of(servers.begin(), servers.end(), onServer)) &&
           (!since || start >= *since) && (!until || start < *until);
}

std::optional<std::size_t> parseMatchNumber(std::string_view text) {
    std::size_t number = 0;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const auto [stop, error] = std::from_chars(begin, end, number);
    if (text.empty() || text.front() == '+' || error != std::errc{} || stop != end || number == 0) {
        return std::nullopt;
    }
    return number;
}

std::optional<std::chrono::sys_seconds> parseFilterTime(std::string_view text) {
    if (const auto day = Format::parseUtcDate(text)) {
        return std::chrono::sys_seconds{*day};
    }
    return Format::parseUtcTimestamp(text);
}

bool isServerText(std::string_view text) {
    return !text.empty() && std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '\x7f';
    });
}

}  // namespace Quorvel::Analysis
