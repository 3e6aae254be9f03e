#include "Scenario.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <sstream>

#include "DisplayText.h"
#include "UtcTimestamp.h"

namespace QuorvelSim {

namespace {

using nlohmann::json;

// Reads one JSON value with the path to it, so errors can say where they are.
class Reader {
  public:
    Reader(const std::string& sourceName, const json& node, std::string jsonPath)
        : source(sourceName), value(node), path(std::move(jsonPath)) {}

    [[noreturn]] void fail(const std::string& expected) const {
        throw ScenarioError(source + ": " + (path.empty() ? "/" : path) + ": expected " + expected);
    }

    // A field the scenario must have.
    Reader field(const std::string& name) const {
        if (!has(name)) {
            Reader(source, value, path + "/" + name).fail("a value here (the field is required)");
        }
        return Reader(source, value.at(name), path + "/" + name);
    }
    Reader item(std::size_t index) const {
        return Reader(source, value.at(index), path + "/" + std::to_string(index));
    }
    bool has(const std::string& name) const { return value.is_object() && value.contains(name); }

    void requireObject(const std::set<std::string>& allowed) const {
        if (!value.is_object()) {
            fail("an object");
        }
        for (const auto& [key, unused] : value.items()) {
            if (!allowed.contains(key)) {
                Reader(source, value, path + "/" + key).fail("no such field (a misspelling?)");
            }
        }
    }

    // Compared as the JSON holds it: a large unsigned number must not wrap around.
    std::int64_t integer(std::int64_t low, std::int64_t high) const {
        const bool inRange =
            value.is_number_unsigned()
                ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(high) &&
                      (low <= 0 || value.get<std::uint64_t>() >= static_cast<std::uint64_t>(low))
                : value.is_number_integer() && value.get<std::int64_t>() >= low &&
                      value.get<std::int64_t>() <= high;
        if (!inRange) {
            fail("a whole number from " + std::to_string(low) + " to " + std::to_string(high));
        }
        return value.is_number_unsigned() ? static_cast<std::int64_t>(value.get<std::uint64_t>())
                                          : value.get<std::int64_t>();
    }
    int smallInteger(int low, int high) const { return static_cast<int>(integer(low, high)); }
    double number() const {
        if (!value.is_number() || !std::isfinite(value.get<double>())) {
            fail("a number");
        }
        return value.get<double>();
    }
    bool boolean() const {
        if (!value.is_boolean()) {
            fail("true or false");
        }
        return value.get<bool>();
    }
    std::string text() const {
        if (!value.is_string()) {
            fail("a string");
        }
        return value.get<std::string>();
    }
    std::size_t arraySize() const {
        if (!value.is_array()) {
            fail("an array");
        }
        return value.size();
    }

    const std::string& source;
    const json& value;
    std::string path;
};

Signal readSignal(const Reader& r) {
    Signal signal;
    if (r.value.is_number()) {
        signal.a = r.number();
        return signal;
    }
    const std::string kinds = "a number or an object with one of constant, ramp, noise, bursts";
    if (!r.value.is_object() || r.value.size() != 1) {
        r.fail(kinds);
    }
    if (r.has("constant")) {
        signal.a = r.field("constant").number();
    } else if (r.has("ramp")) {
        const Reader ramp = r.field("ramp");
        if (ramp.arraySize() != 2) {
            ramp.fail("[start, end]");
        }
        signal.kind = Signal::Kind::Ramp;
        signal.a = ramp.item(0).number();
        signal.b = ramp.item(1).number();
    } else if (r.has("noise")) {
        const Reader noise = r.field("noise");
        noise.requireObject({"mean", "spread", "seed"});
        signal.kind = Signal::Kind::Noise;
        signal.a = noise.field("mean").number();
        signal.b = noise.has("spread") ? noise.field("spread").number() : 0.0;
        signal.seed = noise.has("seed")
                          ? static_cast<std::uint32_t>(noise.field("seed").smallInteger(0, 1 << 30))
                          : 1u;
    } else if (r.has("bursts")) {
        const Reader bursts = r.field("bursts");
        bursts.requireObject({"base", "value", "every", "length"});
        signal.kind = Signal::Kind::Bursts;
        signal.a = bursts.has("base") ? bursts.field("base").number() : 0.0;
        signal.b = bursts.field("value").number();
        signal.every = bursts.field("every").smallInteger(1, 1 << 20);
        signal.length = bursts.field("length").smallInteger(0, signal.every);
    } else {
        r.fail(kinds);
    }
    return signal;
}

const std::array<const char*, kStatisticCount> kStatisticNames = {
    "latency",       "packetsOut", "packetsIn",    "lostPacketsOut",
    "lostPacketsIn", "buffer",     "bufferTarget", "fps"};
// What a match reports unless the phase says otherwise.
const std::array<double, kStatisticCount> kStatisticDefaults = {30, 60, 60, 0, 0, 2, 2, 120};

Phase readPhase(const Reader& r, int seconds) {
    std::set<std::string> allowed = {
        "from",       "to",        "inOnlineGame", "onlineGame", "localPlayer", "replicationInfo",
        "statGraphs", "matchGuid", "playlistId",   "ping"};
    allowed.insert(kStatisticNames.begin(), kStatisticNames.end());
    r.requireObject(allowed);
    Phase phase;
    phase.from = r.field("from").smallInteger(0, seconds);
    phase.to = r.field("to").smallInteger(phase.from + 1, seconds);
    auto flag = [&r](const char* name, bool fallback) {
        return r.has(name) ? r.field(name).boolean() : fallback;
    };
    phase.inOnlineGame = flag("inOnlineGame", false);
    phase.onlineGame = flag("onlineGame", true);
    phase.localPlayer = flag("localPlayer", true);
    phase.replicationInfo = flag("replicationInfo", true);
    phase.statGraphs = flag("statGraphs", true);
    phase.matchGuid = r.has("matchGuid") ? r.field("matchGuid").text() : "";
    phase.playlistId =
        r.has("playlistId")
            ? static_cast<std::int32_t>(r.field("playlistId")
                                            .integer(std::numeric_limits<std::int32_t>::min(),
                                                     std::numeric_limits<std::int32_t>::max()))
            : 0;
    phase.pingMs = r.has("ping") ? readSignal(r.field("ping")) : Signal{Signal::Kind::Constant, 30};
    for (std::size_t i = 0; i < kStatisticCount; ++i) {
        phase.statistics[i] = r.has(kStatisticNames[i])
                                  ? readSignal(r.field(kStatisticNames[i]))
                                  : Signal{Signal::Kind::Constant, kStatisticDefaults[i]};
    }
    return phase;
}

Event readEvent(const Reader& r, int seconds) {
    r.requireObject({"at", "launchLog", "action"});
    Event event;
    event.at = r.field("at").smallInteger(0, seconds);
    if (r.has("launchLog") == r.has("action")) {
        r.fail("exactly one of launchLog or action");
    }
    if (r.has("launchLog")) {
        event.text = r.field("launchLog").text();
        return event;
    }
    const std::string action = r.field("action").text();
    if (action == "unload") {
        event.kind = Event::Kind::Unload;
    } else if (action == "load") {
        event.kind = Event::Kind::Load;
    } else {
        r.field("action").fail("\"unload\" or \"load\"");
    }
    return event;
}

Scenario readScenario(const std::string& text, const std::string& sourceName) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::exception& error) {
        // what() begins with the library's "[json.exception.parse_error.101] ".
        const std::string what = error.what();
        const std::size_t bracket = what.find("] ");
        throw ScenarioError(sourceName + ": not valid JSON: " +
                            (bracket == std::string::npos ? what : what.substr(bracket + 2)));
    }
    const Reader root(sourceName, document, "");
    root.requireObject(
        {"description", "player", "documentsFolder", "start", "seconds", "phases", "events"});
    Scenario scenario;
    if (root.has("start")) {
        const Reader start = root.field("start");
        if (!Quorvel::Format::parseUtcTimestamp(start.text(), scenario.start)) {
            start.fail("a time in UTC written YYYY-MM-DD HH:MM:SS");
        }
    }
    scenario.seconds = root.field("seconds").smallInteger(1, 7 * 24 * 3600);
    if (root.has("description")) {
        scenario.description = root.field("description").text();
    }
    if (root.has("player")) {
        scenario.player = root.field("player").text();
    }
    if (root.has("documentsFolder")) {
        const Reader folder = root.field("documentsFolder");
        scenario.documentsFolder = folder.text();
        if (scenario.documentsFolder.empty() ||
            scenario.documentsFolder.find_first_of("/\\") != std::string::npos ||
            scenario.documentsFolder == "." || scenario.documentsFolder == "..") {
            folder.fail("a plain folder name");
        }
    }
    const Reader phases = root.field("phases");
    for (std::size_t i = 0, n = phases.arraySize(); i < n; ++i) {
        scenario.phases.push_back(readPhase(phases.item(i), scenario.seconds));
    }
    std::sort(scenario.phases.begin(), scenario.phases.end(),
              [](const Phase& x, const Phase& y) { return x.from < y.from; });
    for (std::size_t i = 1; i < scenario.phases.size(); ++i) {
        if (scenario.phases[i].from < scenario.phases[i - 1].to) {
            throw ScenarioError(sourceName + ": /phases: phases overlap at second " +
                                std::to_string(scenario.phases[i].from));
        }
    }
    if (root.has("events")) {
        const Reader events = root.field("events");
        for (std::size_t i = 0, n = events.arraySize(); i < n; ++i) {
            scenario.events.push_back(readEvent(events.item(i), scenario.seconds));
        }
    }
    std::stable_sort(scenario.events.begin(), scenario.events.end(),
                     [](const Event& x, const Event& y) { return x.at < y.at; });
    return scenario;
}

}  // namespace

double Signal::at(int offset, int duration) const {
    switch (kind) {
        case Kind::Constant:
            return a;
        case Kind::Ramp:
            return duration <= 1 ? a : a + (b - a) * offset / (duration - 1);
        case Kind::Noise: {
            // The standard fixes mt19937's output, so a seed gives the same values everywhere.
            std::mt19937 generator(seed * 2654435761u + static_cast<std::uint32_t>(offset));
            const double unit = static_cast<double>(generator()) / 4294967296.0;
            return a + b * (2.0 * unit - 1.0);
        }
        case Kind::Bursts:
            return offset % every < length ? b : a;
    }
    return a;
}

const Phase* Scenario::phaseAt(int second) const {
    for (const Phase& phase : phases) {
        if (second >= phase.from && second < phase.to) {
            return &phase;
        }
    }
    return nullptr;
}

Scenario parseScenario(const std::string& text, const std::string& sourceName) {
    try {
        return readScenario(text, sourceName);
    } catch (const json::exception& error) {
        // The reader checks every value before it takes it; this is a last guard.
        throw ScenarioError(sourceName + ": cannot be used: " + error.what());
    }
}

Scenario loadScenarioFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw ScenarioError(Quorvel::Summary::displayPath(file) + ": cannot be read");
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseScenario(text.str(), Quorvel::Summary::displayPath(file));
}

}  // namespace QuorvelSim
