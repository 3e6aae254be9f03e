// Server addresses compared as addresses, and servers as people type them.

#include <gtest/gtest.h>

#include "IpAddress.h"

namespace QuorvelTest {
namespace {

using Quorvel::Tools::parseIpAddress;
using Quorvel::Tools::parseTypedServer;
using Quorvel::Tools::sameHost;

TEST(IpAddress, HostsAreTheSameAsAddressesOrAsNamesInAnyCase) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const std::vector<Case> cases = {
        {"2001:db8::1", "2001:DB8:0:0:0:0:0:1", true},
        {"2001:db8::1", "2001:db8::2", false},
        {"::", "0:0:0:0:0:0:0:0", true},
        {"::1", "0::0:1", true},
        {"10.0.0.1", "::ffff:10.0.0.1", true},
        {"::ffff:10.0.0.1", "::ffff:a00:1", true},
        {"10.0.0.1", "10.0.0.01", true},
        {"10.0.0.1", "10.0.0.2", false},
        {"Game.Example.net", "game.example.NET", true},
        {"game.example.net", "game.example.org", false},
        {"10.0.0.1", "host", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sameHost(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(sameHost(c.b, c.a), c.same) << c.b << " / " << c.a;
    }
}

TEST(IpAddress, WhatIsNotAnAddressIsNone) {
    for (const char* text :
         {"", "1.2.3", "1.2.3.4.5", "256.0.0.1", "1.2.3.-4", "1..2.3", "1.2.3.4x", "2001:db8::1::2",
          "1:2:3:4:5:6:7:8:9", "1:2:3:4:5:6:7", "12345::1", "2001:db8:::1", "2001:db8::g",
          "2001:db8::1:", ":2001:db8::1", "[2001:db8::1]", "::1.2.3", "host"}) {
        EXPECT_FALSE(parseIpAddress(text).has_value()) << text;
    }
    for (const char* text : {"0.0.0.0", "255.255.255.255", "::", "1::", "::1.2.3.4",
                             "1:2:3:4:5:6:7:8", "1:2:3:4:5:6:1.2.3.4", "fe80::1:2"}) {
        EXPECT_TRUE(parseIpAddress(text).has_value()) << text;
    }
}

TEST(IpAddress, ServersAsTypedKeepTheirPorts) {
    struct Case {
        const char* typed;
        std::optional<std::string> host;  // nullopt: refused
        std::optional<std::string> port;
    };
    const std::vector<Case> cases = {
        {"1.2.3.4", "1.2.3.4", std::nullopt},
        {"1.2.3.4:7777", "1.2.3.4", "7777"},
        {"host:7777", "host", "7777"},
        {"2001:db8::1", "2001:db8::1", std::nullopt},
        {"[2001:db8::1]", "2001:db8::1", std::nullopt},
        {"[2001:db8::1]:7777", "2001:db8::1", "7777"},
        {"[2001:db8::1]x", std::nullopt, std::nullopt},
        {"[]:7777", std::nullopt, std::nullopt},
        {"[2001:db8::1", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto server = parseTypedServer(c.typed);
        ASSERT_EQ(server.has_value(), c.host.has_value()) << c.typed;
        if (server) {
            EXPECT_EQ(server->host, *c.host) << c.typed;
            EXPECT_EQ(server->port, c.port) << c.typed;
        }
    }
}

}  // namespace
}  // namespace QuorvelTest
