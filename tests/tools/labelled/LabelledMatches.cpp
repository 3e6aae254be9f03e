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

MatchPlay quiet(std::uint64_t seed, int basePing, double jitterMs, int fps) {
    MatchPlay play;
    play.seed = seed;
    play.basePing = basePing;
    play.jitterMs = jitterMs;
    play.fps = fps;
    return play;
}

MatchPlay with(MatchPlay play, std::vector<Trouble> troubles) {
    play.troubles = std::move(troubles);
    return play;
}

void addQuiet(std::vector<LabelledMatch>& set) {
    set.push_back(labelled("quiet-25ms-240fps", quiet(11, 25, 2, 240), "good"));
    set.push_back(labelled("quiet-60ms-144fps", quiet(12, 60, 4, 144), "good"));
    MatchPlay far = quiet(13, 110, 3, 60);
    far.latencyAbovePing = 3;  // latency ~116 ms: a far server, not a slow one
    set.push_back(labelled("quiet-110ms-60fps", far, "good"));
    MatchPlay shortMatch = quiet(14, 45, 3, 120);
    shortMatch.seconds = 60;
    set.push_back(labelled("short-quiet-60s", shortMatch, "good"));
}

void addConnection(std::vector<LabelledMatch>& set) {
    MatchPlay swinging = quiet(21, 45, 3, 144);
    swinging.lossChance = 0;
    swinging.troubles = {{TroubleKind::UnstablePing, 20, 260, 40, 110}};
    set.push_back(labelled("unstable-ping", swinging, "connection",
                           {{"unstablePing", 20, 10, 230, 280, true}}));
    // An 8 s spike 140..160 ms above a 40 ms base at 2:30; no blip lands beside it.
    set.push_back(labelled(
        "ping-spike", with(quiet(22, 40, 3, 144), {{TroubleKind::PingSpike, 150, 8, 140, 160}}),
        "connection", {{"pingSpike", 150, 1, 7, 10, true}}, {"2:30\u20132:38"}));
    set.push_back(labelled("high-ping-throughout", quiet(23, 170, 5, 144), "connection"));

    // Ten minutes, a one-second loss every 10 s: 1..5 packets (under 10 % of ~60), in
    // and out by turns, and at 9:50 30 packets lost coming in.
    MatchPlay lossy = quiet(24, 50, 3, 144);
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

    MatchPlay small = quiet(25, 35, 3, 144);
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
    set.push_back(
        labelled("server-hiccup",
                 with(quiet(31, 35, 3, 144), {{TroubleKind::ServerHiccup, 100, 40, 160, 240}}),
                 "server", {{"serverHiccup", 100, 2, 36, 44, true}}, {"1:40\u20132:20"}));
    // Nothing comes in 2:00 to 2:06; the input buffer fills meanwhile, which is the stall's
    // doing, not the computer's.
    set.push_back(labelled("server-goes-quiet",
                           with(quiet(32, 50, 3, 144), {{TroubleKind::NothingIn, 120, 6}}),
                           "server", {{"nothingIn", 120, 1, 5, 7, true}}, {"2:00\u20132:06"}));
}

void addComputer(std::vector<LabelledMatch>& set) {
    // A drop to 35..45 % of 144 FPS for one second every 8..12 s from 0:10 to the end.
    set.push_back(labelled("stutter",
                           with(quiet(41, 35, 3, 144), {{TroubleKind::Stutter, 10, 285, 35, 45}}),
                           "computer", {{"stutter", 10, 20, 200, 295, true}}));
    set.push_back(labelled("low-fps-throughout", quiet(42, 40, 3, 24), "computer"));
    set.push_back(
        labelled("buffer-above-target",
                 with(quiet(43, 40, 3, 144), {{TroubleKind::BufferAboveTarget, 200, 20, 2, 4}}),
                 "computer", {{"bufferAboveTarget", 200, 1, 19, 21, true}}, {"3:20\u20133:40"}));
}

void addTwoTroubles(std::vector<LabelledMatch>& set) {
    // Three bursts losing 8..14 packets a second (over 10 %) in the first half, then
    // stutter from 2:40.
    const MatchPlay play = with(quiet(51, 40, 3, 144), {{TroubleKind::LossIn, 30, 3, 8, 14},
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

void addIncomplete(std::vector<LabelledMatch>& set) {
    MatchPlay oneRow = quiet(61, 40, 3, 144);
    oneRow.onlySeconds = {0};
    set.push_back(labelled("one-row", oneRow, "incomplete"));

    MatchPlay spread = quiet(62, 40, 3, 144);
    spread.seconds = 3600;
    spread.onlySeconds = {0, 1800, 3599};
    set.push_back(labelled("three-rows-over-an-hour", spread, "incomplete"));

    MatchPlay inconsistent = quiet(63, 40, 3, 144);
    inconsistent.finally = [](PlaySecond& s) {
        s.lostIn = s.packetsIn + 1 + s.second % 5;
        s.lostOut = s.packetsOut + 1 + s.second % 3;
    };
    set.push_back(labelled("lost-above-received-throughout", inconsistent, "incomplete"));

    // Ping, FPS and Latency cannot be negative: these are no values, not a low FPS.
    MatchPlay negative = quiet(64, 40, 3, 144);
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
