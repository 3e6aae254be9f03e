#include "WeekOfPlay.h"

#include <array>

#include "PerformanceFormat.h"
#include "RealisticPlay.h"

namespace QuorvelTest {

WeekOfPlay weekOfPlay() {
    constexpr int kDays = 7;
    constexpr int kMatchesAnEvening = 6;
    constexpr int kMatchSeconds = 420;   // seven minutes
    constexpr int kBetweenMatches = 90;  // the lobby
    constexpr int kDay = 86400;
    const std::array<const char*, 5> servers = {"185.34.107.21", "162.244.54.9", "203.0.113.40",
                                                "198.51.100.7", "192.0.2.55"};
    WeekOfPlay week;
    week.userId = "Steam|76561190000000042|0";
    week.badServer = servers[2];
    week.lossMatch = 17;
    std::string rows;
    for (int day = 0; day < kDays; ++day) {
        for (int k = 0; k < kMatchesAnEvening; ++k) {
            const int number = ++week.matches;
            MatchPlay play;
            play.seconds = kMatchSeconds;
            play.seed = 1000U + static_cast<std::uint64_t>(number);
            // Evenings start at 18:00 UTC; a day's matches one after another.
            play.startSecond = day * kDay + k * (kMatchSeconds + kBetweenMatches);
            play.serverIp = servers[static_cast<std::size_t>((day + k * 2) % 5)];
            play.basePing = 28 + 7 * ((day + k * 2) % 5);
            play.userId = week.userId;
            play.matchGuid = "W" + std::to_string(1000 + number);
            if (play.serverIp == week.badServer) {
                ++week.onBadServer;
                const int from = 60 + 37 * (number % 5);
                play.troubles.push_back(
                    {TroubleKind::ServerHiccup, from, 45 + number % 30, 170, 260});
            }
            if (number == week.lossMatch) {
                play.troubles.push_back({TroubleKind::LossIn, 120, 4, 8, 14});
                play.troubles.push_back({TroubleKind::LossIn, 250, 3, 8, 12});
            }
            rows += performanceRows(play);
        }
    }
    week.csv = std::string(Quorvel::Format::kHeaderLine) + rows;
    return week;
}

}  // namespace QuorvelTest
