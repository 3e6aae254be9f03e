#include "IpAddress.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace Quorvel::Tools {

namespace {

std::optional<std::array<std::uint8_t, 4>> parseIpv4(std::string_view text) {
    std::array<std::uint8_t, 4> bytes{};
    for (std::size_t part = 0; part < 4; ++part) {
        const std::size_t end = part < 3 ? text.find('.') : text.size();
        const std::string_view digits = text.substr(0, end);
        unsigned value = 0;
        const auto [stop, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (end == std::string_view::npos || digits.empty() || digits.size() > 3 ||
            error != std::errc() || stop != digits.data() + digits.size() || value > 255) {
            return std::nullopt;
        }
        bytes[part] = static_cast<std::uint8_t>(value);
        text.remove_prefix(part < 3 ? end + 1 : end);
    }
    return bytes;
}

// Groups of hex digits separated by ':', the last maybe an IPv4 address (two groups).
std::optional<std::vector<std::uint16_t>> parseGroups(std::string_view text) {
    std::vector<std::uint16_t> groups;
    while (!text.empty()) {
        const std::size_t colon = text.find(':');
        const std::string_view group = text.substr(0, colon);
        if (colon == std::string_view::npos && group.find('.') != std::string_view::npos) {
            const auto v4 = parseIpv4(group);
            if (!v4) {
                return std::nullopt;
            }
            groups.push_back(static_cast<std::uint16_t>(((*v4)[0] << 8) | (*v4)[1]));
            groups.push_back(static_cast<std::uint16_t>(((*v4)[2] << 8) | (*v4)[3]));
            return groups;
        }
        unsigned value = 0;
        const auto [stop, error] =
            std::from_chars(group.data(), group.data() + group.size(), value, 16);
        if (group.empty() || group.size() > 4 || error != std::errc() ||
            stop != group.data() + group.size() ||
            (colon != std::string_view::npos && colon + 1 == text.size())) {
            return std::nullopt;
        }
        groups.push_back(static_cast<std::uint16_t>(value));
        text.remove_prefix(colon == std::string_view::npos ? text.size() : colon + 1);
    }
    return groups;
}

std::optional<IpBytes> parseIpv6(std::string_view text) {
    const std::size_t gap = text.find("::");
    const auto head = parseGroups(text.substr(0, gap));
    const auto tail = gap == std::string_view::npos ? std::vector<std::uint16_t>()
                                                    : parseGroups(text.substr(gap + 2));
    if (!head || (gap != std::string_view::npos && !tail) ||
        (gap != std::string_view::npos && text.find("::", gap + 1) != std::string_view::npos)) {
        return std::nullopt;
    }
    const std::size_t given = head->size() + (tail ? tail->size() : 0);
    if ((gap == std::string_view::npos && given != 8) ||
        (gap != std::string_view::npos && given > 7)) {
        return std::nullopt;
    }
    std::vector<std::uint16_t> groups = *head;
    groups.resize(8 - (tail ? tail->size() : 0), 0);
    if (tail) {
        groups.insert(groups.end(), tail->begin(), tail->end());
    }
    IpBytes bytes{};
    for (std::size_t i = 0; i < 8; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(groups[i] >> 8);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(groups[i] & 0xFF);
    }
    return bytes;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::optional<IpBytes> parseIpAddress(std::string_view text) {
    if (const auto v4 = parseIpv4(text)) {
        IpBytes mapped{};
        mapped[10] = mapped[11] = 0xFF;
        std::copy(v4->begin(), v4->end(), mapped.begin() + 12);
        return mapped;
    }
    return text.find(':') != std::string_view::npos ? parseIpv6(text) : std::nullopt;
}

bool sameHost(std::string_view a, std::string_view b) {
    const auto first = parseIpAddress(a);
    const auto second = parseIpAddress(b);
    if (first || second) {
        return first == second;
    }
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

std::optional<TypedServer> parseTypedServer(std::string_view text) {
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close == 1 ||
            (close + 1 < text.size() && text[close + 1] != ':')) {
            return std::nullopt;
        }
        TypedServer server{std::string(text.substr(1, close - 1)), std::nullopt};
        if (close + 1 < text.size()) {
            server.port = std::string(text.substr(close + 2));
        }
        return server;
    }
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || text.find(':', colon + 1) != std::string_view::npos) {
        return TypedServer{std::string(text), std::nullopt};  // a name, IPv4 or bare IPv6
    }
    return TypedServer{std::string(text.substr(0, colon)), std::string(text.substr(colon + 1))};
}

}  // namespace Quorvel::Tools
