#include "LabelledMatches.h"

#include <cstdlib>
#include <utility>

#include "RealisticPlay.h"

namespace QuorvelTest {

namespace {

LabelledMatch labelled(std::string name, const MatchPlay& play, std::string cause,
                       std::vector<ExpectedEvent> events = {},
                       std::vector<std::string> reasonContains = {}) {
    return {std::move(name), performanceFile(play), std::move(cause), std::move(events),
            std::move(reasonContains)};
}

// Quiet play: its random seed, its usual ping and jitter, and its frame rate.
struct Quiet {
    std::uint64_t seed = 0;
    int ping = 0;
    double jitter = 0;
    int fps = 0;
};

MatchPlay quiet(const Quiet& q) {
    MatchPlay play;
    play.seed = q.seed;
    play.basePing = q.ping;
    play.jitterMs = q.jitter;
    play.fps = q.fps;
    return play;
}

MatchPlay with(MatchPlay play, std::vector<Trouble> troubles) {
    play.troubles = std::move(troubles);
    return play;
}

void addQuiet(std::vector<LabelledMatch>& set) {
    set.push_back(labelled("quiet-25ms-240fps",
                           quiet({.seed = 11, .ping = 25, .jitter = 2, .fps = 240}), "good"));
    set.push_back(labelled("quiet-60ms-144fps",
                           quiet({.seed = 12, .ping = 60, .jitter = 4, .fps = 144}), "good"));
    MatchPlay farServer = quiet({.seed = 13, .ping = 110, .jitter = 3, .fps = 60});
    farServer.latencyAbovePing = 3;  // latency ~116 ms: a far server, not a slow one
    set.push_back(labelled("quiet-110ms-60fps", farServer, "good"));
    MatchPlay shortMatch = quiet({.seed = 14, .ping = 45, .jitter = 3, .fps = 120});
    shortMatch.seconds = 60;
    set.push_back(labelled("short-quiet-60s", shortMatch, "good"));
}

void addConnection(std::vector<LabelledMatch>& set) {
    MatchPlay swinging = quiet({.seed = 21, .ping = 45, .jitter = 3, .fps = 144});
    swinging.lossChance = 0;
    swinging.troubles = {{TroubleKind::UnstablePing, 20, 260, 40, 110}};
    set.push_back(labelled("unstable-ping", swinging, "connection",
                           {{"unstablePing", 20, 10, 230, 280, true}}));
    // An 8 s spike 140..160 ms above a 40 ms base at 2:30; no blip lands beside it.
    set.push_back(labelled("ping-spike",
                           with(quiet({.seed = 22, .ping = 40, .jitter = 3, .fps = 144}),
                                {{TroubleKind::PingSpike, 150, 8, 140, 160}}),
                           "connection", {{"pingSpike", 150, 1, 7, 10, true}}, {"2:30\u20132:38"}));
    set.push_back(labelled("high-ping-throughout",
                           quiet({.seed = 23, .ping = 170, .jitter = 5, .fps = 144}),
                           "connection"));

    // Ten minutes, a one-second loss every 10 s: 1..5 packets (under 10 % of ~60), in
    // and out by turns, and at 9:50 30 packets lost coming in.
    MatchPlay lossy = quiet({.seed = 24, .ping = 50, .jitter = 3, .fps = 144});
    lossy.seconds = 600;
    lossy.lossChance = 0;
    std::vector<ExpectedEvent> bursts;
    for (int k = 0; k < 60; ++k) {
        const bool worst = k == 59;
        const TroubleKind side = worst || k % 2 == 0 ? TroubleKind::LossIn : TroubleKind::LossOut;
        lossy.troubles.push_back({side, 10 * k, 1, worst ? 30 : 1, worst ? 30 : 5});
        bursts.push_back({"lossBurst", 10 * k, 0, 1, 1, worst});
    }
    set.push_back(labelled("loss-every-10s-worst-at-9m50", lossy, "connection", bursts,
                           {"9:50\u20139:51", "30 packets a second lost coming in"}));

    MatchPlay small = quiet({.seed = 25, .ping = 35, .jitter = 3, .fps = 144});
    small.lossChance = 0;
    small.troubles = {{TroubleKind::LossIn, 40, 1, 2, 2},
                      {TroubleKind::LossOut, 110, 1, 1, 1},
                      {TroubleKind::LossIn, 170, 1, 3, 3},
                      {TroubleKind::LossOut, 250, 1, 2, 2}};
    set.push_back(labelled("four-small-losses", small, "good",
                           {{"lossBurst", 40, 0, 1, 1, false},
                            {"lossBurst", 110, 0, 1, 1, false},
                            {"lossBurst", 170, 0, 1, 1, false},
                            {"lossBurst", 250, 0, 1, 1, false}},
                           {"4 small losses"}));
}

void addServer(std::vector<LabelledMatch>& set) {
    set.push_back(labelled("server-hiccup",
                           with(quiet({.seed = 31, .ping = 35, .jitter = 3, .fps = 144}),
                                {{TroubleKind::ServerHiccup, 100, 40, 160, 240}}),
                           "server", {{"serverHiccup", 100, 2, 36, 44, true}}, {"1:40\u20132:20"}));
    // Nothing comes in 2:00 to 2:06; the input buffer fills meanwhile, which is the stall's
    // doing, not the computer's.
    set.push_back(labelled("server-goes-quiet",
                           with(quiet({.seed = 32, .ping = 50, .jitter = 3, .fps = 144}),
                                {{TroubleKind::NothingIn, 120, 6}}),
                           "server", {{"nothingIn", 120, 1, 5, 7, true}}, {"2:00\u20132:06"}));
}

void addComputer(std::vector<LabelledMatch>& set) {
    // A drop to 35..45 % of 144 FPS for one second every 8..12 s from 0:10 to the end.
    set.push_back(labelled("stutter",
                           with(quiet({.seed = 41, .ping = 35, .jitter = 3, .fps = 144}),
                                {{TroubleKind::Stutter, 10, 285, 35, 45}}),
                           "computer", {{"stutter", 10, 20, 200, 295, true}}));
    set.push_back(labelled("low-fps-throughout",
                           quiet({.seed = 42, .ping = 40, .jitter = 3, .fps = 24}), "computer"));
    set.push_back(labelled("buffer-above-target",
                           with(quiet({.seed = 43, .ping = 40, .jitter = 3, .fps = 144}),
                                {{TroubleKind::BufferAboveTarget, 200, 20, 2, 4}}),
                           "computer", {{"bufferAboveTarget", 200, 1, 19, 21, true}},
                           {"3:20\u20133:40"}));
}

void addTwoTroubles(std::vector<LabelledMatch>& set) {
    // Three bursts losing 8..14 packets a second (over 10 %) in the first half, then
    // stutter from 2:40.
    const MatchPlay play = with(quiet({.seed = 51, .ping = 40, .jitter = 3, .fps = 144}),
                                {{TroubleKind::LossIn, 30, 3, 8, 14},
                                 {TroubleKind::LossIn, 75, 4, 8, 14},
                                 {TroubleKind::LossOut, 120, 3, 8, 14},
                                 {TroubleKind::Stutter, 160, 135, 35, 45}});
    // A lone lost packet of the noise may sit beside a burst and lengthen it by a second.
    set.push_back(labelled("loss-then-stutter", play, "connection",
                           {{"lossBurst", 30, 1, 3, 5, true},
                            {"lossBurst", 75, 1, 4, 6, true},
                            {"lossBurst", 120, 1, 3, 5, true},
                            {"stutter", 160, 20, 100, 140, true}},
                           {"(also computer)"}));
}

// The moments a player remembers: the connection gone altogether, and troubles that
// fill most of a match.
void addOutages(std::vector<LabelledMatch>& set) {
    // Nothing in and nothing out for 40 s from 2:00: the player's side.
    set.push_back(labelled("total-outage-40s",
                           with(quiet({.seed = 71, .ping = 40, .jitter = 3, .fps = 144}),
                                {{TroubleKind::Outage, 120, 40, 0, 0}}),
                           "connection", {{"outage", 120, 1, 39, 41, true}},
                           {"outage", "2:00\u20132:40", "both directions stopped"}));
    // Nothing in while packets out fall to half, for 15 s.
    set.push_back(labelled("outage-out-halved",
                           with(quiet({.seed = 72, .ping = 55, .jitter = 4, .fps = 144}),
                                {{TroubleKind::Outage, 200, 15, 45, 50}}),
                           "connection", {{"outage", 200, 1, 14, 16, true}}, {"3:20\u20133:35"}));
    // A minute without anything either way near the end of a long match.
    MatchPlay late = with(quiet({.seed = 73, .ping = 30, .jitter = 2, .fps = 240}),
                          {{TroubleKind::Outage, 480, 60, 0, 10}});
    late.seconds = 600;
    set.push_back(labelled("outage-60s-late", late, "connection",
                           {{"outage", 480, 1, 59, 61, true}}, {"8:00\u20139:00"}));
    // Ten seconds: short, but felt.
    set.push_back(labelled("outage-10s",
                           with(quiet({.seed = 74, .ping = 45, .jitter = 3, .fps = 144}),
                                {{TroubleKind::Outage, 60, 10, 0, 0}}),
                           "connection", {{"outage", 60, 1, 9, 11, true}}));
}

void addMostOfAMatch(std::vector<LabelledMatch>& set) {
    // Nothing comes in for 6 of 10 minutes while packets go out: the server's side.
    MatchPlay silent = with(quiet({.seed = 81, .ping = 45, .jitter = 3, .fps = 144}),
                            {{TroubleKind::NothingIn, 240, 360}});
    silent.seconds = 600;
    set.push_back(labelled("nothing-in-6-of-10-minutes", silent, "server",
                           {{"nothingIn", 240, 1, 359, 361, true}},
                           {"nothing came in for 360 s", "0 packets a second came in (usually "}));
    // FPS 144 down to 33..37 for the last 6 of 10 minutes.
    MatchPlay slow = with(quiet({.seed = 82, .ping = 40, .jitter = 3, .fps = 144}),
                          {{TroubleKind::FpsLevel, 240, 360, 33, 37}});
    slow.seconds = 600;
    set.push_back(labelled("fps-35-for-6-of-10-minutes", slow, "computer",
                           {{"fpsDrop", 240, 1, 359, 361, true}},
                           {"4:00\u201310:00", "(typical 14"}));
    // Ping at 30 for three minutes, then at 140 for the seven left.
    MatchPlay farServer = with(quiet({.seed = 83, .ping = 30, .jitter = 2, .fps = 144}),
                               {{TroubleKind::PingLevel, 180, 420, 138, 142}});
    farServer.seconds = 600;
    set.push_back(labelled("ping-140-for-most-of-a-match-that-began-at-30", farServer, "connection",
                           {{"pingSpike", 180, 1, 419, 421, true}},
                           {"3:00\u201310:00", "(typical 3"}));
}

void addSteadyLoss(std::vector<LabelledMatch>& set) {
    // 1..3 packets lost every second coming in (2..5 % of about 60) for four minutes.
    MatchPlay steady = with(quiet({.seed = 91, .ping = 45, .jitter = 3, .fps = 144}),
                            {{TroubleKind::LossIn, 120, 240, 1, 3}});
    steady.seconds = 600;
    set.push_back(labelled("steady-light-loss-4-minutes", steady, "connection",
                           {{"steadyLoss", 120, 2, 236, 244, true}},
                           {"steady loss", "2:00\u20136:00"}));
    // 1..2 packets lost going out every second (about 2.5 %) for two minutes.
    MatchPlay light = with(quiet({.seed = 92, .ping = 60, .jitter = 3, .fps = 144}),
                           {{TroubleKind::LossOut, 60, 120, 1, 2}});
    set.push_back(labelled("steady-loss-out-2-minutes", light, "connection",
                           {{"steadyLoss", 60, 2, 116, 124, true}}, {"going out"}));
}

void addIncomplete(std::vector<LabelledMatch>& set) {
    MatchPlay oneRow = quiet({.seed = 61, .ping = 40, .jitter = 3, .fps = 144});
    oneRow.onlySeconds = {0};
    set.push_back(labelled("one-row", oneRow, "incomplete"));

    // Rows minutes apart, within the pause that would start another match.
    MatchPlay spread = quiet({.seed = 62, .ping = 40, .jitter = 3, .fps = 144});
    spread.seconds = 900;
    spread.onlySeconds = {0, 450, 899};
    set.push_back(labelled("three-rows-over-fifteen-minutes", spread, "incomplete"));

    MatchPlay inconsistent = quiet({.seed = 63, .ping = 40, .jitter = 3, .fps = 144});
    inconsistent.finally = [](PlaySecond& s) {
        s.lostIn = s.packetsIn + 1 + s.second % 5;
        s.lostOut = s.packetsOut + 1 + s.second % 3;
    };
    set.push_back(labelled("lost-above-received-throughout", inconsistent, "incomplete"));

    // Ping, FPS and Latency cannot be negative: these are no values, not a low FPS.
    MatchPlay negative = quiet({.seed = 64, .ping = 40, .jitter = 3, .fps = 144});
    negative.finally = [](PlaySecond& s) {
        s.ping = -30;
        s.fps = -120;
        s.latency = -5;
    };
    set.push_back(labelled("negative-statistics-throughout", negative, "incomplete"));
}

std::string describe(const ExpectedEvent& e) {
    return e.kind + " from " + std::to_string(e.from) + " s (\u00b1" +
           std::to_string(e.fromTolerance) + "), " + std::to_string(e.minLength) + "\u2013" +
           std::to_string(e.maxLength) + " s, " + (e.counts ? "counting" : "not counting");
}

std::string describe(const FoundEvent& e) {
    return std::string(e.counts ? "counting " : "") + e.kind + " at " + std::to_string(e.offset) +
           " s for " + std::to_string(e.length) + " s";
}

bool fits(const ExpectedEvent& e, const FoundEvent& f) {
    return f.kind == e.kind && std::llabs(f.offset - e.from) <= e.fromTolerance &&
           f.length >= e.minLength && f.length <= e.maxLength && f.counts == e.counts;
}

bool expectsKind(const LabelledMatch& label, const std::string& kind) {
    for (const ExpectedEvent& e : label.events) {
        if (e.kind == kind) {
            return true;
        }
    }
    return false;
}

// Each expected event takes the unclaimed found event nearest its start that fits.
std::vector<std::string> missingEvents(const LabelledMatch& label, const FoundMatch& found) {
    std::vector<std::string> missing;
    std::vector<bool> claimed(found.events.size(), false);
    for (const ExpectedEvent& e : label.events) {
        std::size_t best = found.events.size();
        for (std::size_t i = 0; i < found.events.size(); ++i) {
            const FoundEvent& f = found.events[i];
            if (!claimed[i] && fits(e, f) &&
                (best == found.events.size() ||
                 std::llabs(f.offset - e.from) < std::llabs(found.events[best].offset - e.from))) {
                best = i;
            }
        }
        if (best == found.events.size()) {
            missing.push_back("missing " + describe(e));
        } else {
            claimed[best] = true;
        }
    }
    return missing;
}

}  // namespace

std::vector<LabelledMatch> labelledMatches() {
    std::vector<LabelledMatch> set;
    addQuiet(set);
    addConnection(set);
    addServer(set);
    addComputer(set);
    addTwoTroubles(set);
    addOutages(set);
    addMostOfAMatch(set);
    addSteadyLoss(set);
    addIncomplete(set);
    return set;
}

std::string mismatch(const LabelledMatch& label, const FoundMatch& found) {
    std::vector<std::string> wrong;
    if (found.cause != label.cause) {
        wrong.push_back("cause " + found.cause + ", expected " + label.cause);
    }
    for (std::string& m : missingEvents(label, found)) {
        wrong.push_back(std::move(m));
    }
    for (const FoundEvent& f : found.events) {
        if (f.counts && !expectsKind(label, f.kind)) {
            wrong.push_back("unexpected " + describe(f));
        }
    }
    for (const std::string& fragment : label.reasonContains) {
        if (found.reason.find(fragment) == std::string::npos) {
            wrong.push_back("reason lacks \"" + fragment + "\"");
        }
    }
    std::string text;
    for (const std::string& w : wrong) {
        text += (text.empty() ? "" : "; ") + w;
    }
    return text;
}

}  // namespace QuorvelTest
