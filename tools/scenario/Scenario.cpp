#include "Scenario.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <vector>

#include "DisplayText.h"
#include "Failure.h"
#include "ScenarioJson.h"
#include "SystemPath.h"
#include "UtcTimestamp.h"

namespace Quorvel::Sim {

namespace {

using nlohmann::json;

// Reads one JSON value with the path to it, so errors can say where they are.
class Reader {
  public:
    Reader(const std::string& sourceName, const json& node, std::string jsonPath)
        : source(sourceName), value(node), path(std::move(jsonPath)) {}

    [[noreturn]] void fail(const std::string& expected) const { refuseAt(source, path, expected); }

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

Signal readBursts(const Reader& r) {
    r.requireObject({"base", "value", "every", "length"});
    Bursts bursts;
    bursts.base = r.has("base") ? r.field("base").number() : 0.0;
    bursts.value = r.field("value").number();
    bursts.every = r.field("every").smallInteger(1, 1 << 20);
    bursts.length = r.field("length").smallInteger(0, bursts.every);
    return Signal(bursts);
}

Signal readNoise(const Reader& r) {
    r.requireObject({"mean", "spread", "seed"});
    Noise noise;
    noise.mean = r.field("mean").number();
    noise.spread = r.has("spread") ? r.field("spread").number() : 0.0;
    if (r.has("seed")) {
        noise.seed = static_cast<std::uint32_t>(r.field("seed").smallInteger(0, 1 << 30));
    }
    return Signal(noise);
}

Signal readSignal(const Reader& r) {
    if (r.value.is_number()) {
        return Signal(Constant{r.number()});
    }
    const std::string kinds = "a number or an object with one of constant, ramp, noise, bursts";
    if (!r.value.is_object() || r.value.size() != 1) {
        r.fail(kinds);
    }
    if (r.has("constant")) {
        return Signal(Constant{r.field("constant").number()});
    }
    if (r.has("ramp")) {
        const Reader ramp = r.field("ramp");
        if (ramp.arraySize() != 2) {
            ramp.fail("[start, end]");
        }
        return Signal(Ramp{ramp.item(0).number(), ramp.item(1).number()});
    }
    if (r.has("noise")) {
        return readNoise(r.field("noise"));
    }
    if (!r.has("bursts")) {
        r.fail(kinds);
    }
    return readBursts(r.field("bursts"));
}

// What a match reports unless the phase says otherwise (Ping in ms).
Format::PerStatistic<double> statisticDefaults() {
    using Format::Statistic;
    Format::PerStatistic<double> defaults;
    defaults[Statistic::FPS] = 120;
    defaults[Statistic::Ping] = 30;
    defaults[Statistic::Latency] = 30;
    defaults[Statistic::PacketsOut] = 60;
    defaults[Statistic::PacketsIn] = 60;
    defaults[Statistic::LostPacketsOut] = 0;
    defaults[Statistic::LostPacketsIn] = 0;
    defaults[Statistic::Buffer] = 2;
    defaults[Statistic::BufferTarget] = 2;
    return defaults;
}

std::set<std::string> phaseFields() {
    std::set<std::string> fields = {"from",       "to",          "inOnlineGame",
                                    "onlineGame", "localPlayer", "replicationInfo",
                                    "statGraphs", "matchGuid",   "playlistId"};
    for (Format::Statistic statistic : Format::kStatistics) {
        fields.insert(std::string(Format::statisticKey(statistic)));
    }
    return fields;
}

Phase readPhase(const Reader& r, int seconds) {
    static const std::set<std::string> kFields = phaseFields();  // once, for many phases
    r.requireObject(kFields);
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
    static const Format::PerStatistic<double> kDefaults = statisticDefaults();
    for (Format::Statistic statistic : Format::kStatistics) {
        const std::string key(Format::statisticKey(statistic));
        phase.statistics[statistic] =
            r.has(key) ? readSignal(r.field(key)) : Signal(Constant{kDefaults[statistic]});
    }
    return phase;
}

SessionEvent readEvent(const Reader& r, int seconds) {
    r.requireObject({"at", "launchLog", "action"});
    SessionEvent event;
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
        event.kind = SessionEvent::Kind::Unload;
    } else if (action == "load") {
        event.kind = SessionEvent::Kind::Load;
    } else if (action == "crash") {
        event.kind = SessionEvent::Kind::Crash;
    } else {
        r.field("action").fail("\"unload\", \"load\" or \"crash\"");
    }
    return event;
}

// Second 0 of a session of `seconds`: every second of it, the last (start + seconds)
// included, must be one the module's clock can show.
std::chrono::sys_seconds readStart(const Reader& start, int seconds) {
    const auto time = Format::parseUtcTimestamp(start.text());
    if (!time) {
        start.fail("a time in UTC written YYYY-MM-DD HH:MM:SS");
    }
    if (const auto problem = startOutOfRange(*time, seconds)) {
        start.fail(*problem);
    }
    return *time;
}

}  // namespace

std::optional<std::string> startOutOfRange(std::chrono::sys_seconds start, int seconds) {
    const std::chrono::sys_seconds latest = kLastSessionSecond - std::chrono::seconds{seconds};
    if (start >= kFirstSessionSecond && start <= latest) {
        return std::nullopt;
    }
    return "a time from " + Format::formatUtcTimestamp(kFirstSessionSecond) + " to " +
           Format::formatUtcTimestamp(latest) + ": the session's last second (start + " +
           std::to_string(seconds) + ") must be one the calendar clock holds, up to " +
           Format::formatUtcTimestamp(kLastSessionSecond);
}

namespace {

// The session's own fields: its texts, its start and its length.
void readSession(const Reader& root, Scenario& scenario) {
    scenario.seconds = root.field("seconds").smallInteger(1, 7 * 24 * 3600);
    if (root.has("start")) {
        scenario.start = readStart(root.field("start"), scenario.seconds);
    }
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
}

void readPhases(const Reader& phases, const std::string& sourceName, Scenario& scenario) {
    for (std::size_t i = 0, n = phases.arraySize(); i < n; ++i) {
        scenario.phases.push_back(readPhase(phases.item(i), scenario.seconds));
    }
    std::sort(scenario.phases.begin(), scenario.phases.end(),
              [](const Phase& x, const Phase& y) { return x.from < y.from; });
    for (std::size_t i = 1; i < scenario.phases.size(); ++i) {
        if (scenario.phases[i].from < scenario.phases[i - 1].to) {
            throw Tools::Failure(Tools::FailureKind::Usage,
                                 sourceName + ": /phases: phases overlap at second " +
                                     std::to_string(scenario.phases[i].from));
        }
    }
}

Scenario readScenario(const std::string& text, const std::string& sourceName) {
    const json document = parseScenarioJson({.name = sourceName, .text = text});
    const Reader root(sourceName, document, "");
    root.requireObject(
        {"description", "player", "documentsFolder", "start", "seconds", "phases", "events"});
    Scenario scenario;
    readSession(root, scenario);
    readPhases(root.field("phases"), sourceName, scenario);
    if (root.has("events")) {
        const Reader events = root.field("events");
        for (std::size_t i = 0, n = events.arraySize(); i < n; ++i) {
            scenario.events.push_back(readEvent(events.item(i), scenario.seconds));
        }
    }
    std::stable_sort(scenario.events.begin(), scenario.events.end(),
                     [](const SessionEvent& x, const SessionEvent& y) { return x.at < y.at; });
    return scenario;
}

// The bytes of `file`, refused past kMaxScenarioBytes: counted as they come, since a
// device or a pipe tells no size beforehand.
std::string readScenarioBytes(const std::filesystem::path& file) {
    const std::string name = Tools::displayPath(file);
    auto refuse = [&name](const std::string& what) {
        throw Tools::Failure(Tools::FailureKind::Usage, name + ": " + what);
    };
    std::error_code error;
    if (std::filesystem::is_directory(Tools::fileStatus(file, error))) {
        refuse("is a folder, not a scenario file");
    }
    std::ifstream in(Tools::systemPath(file), std::ios::binary);
    if (!in) {
        refuse("cannot be read");
    }
    std::string text;
    std::vector<char> chunk(std::size_t{64} * 1024);
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto count = static_cast<std::size_t>(in.gcount());
        if (count > kMaxScenarioBytes - text.size()) {
            refuse("larger than " + std::to_string(kMaxScenarioBytes / (std::size_t{1024} * 1024)) +
                   " MB (" + std::to_string(kMaxScenarioBytes) +
                   " bytes), the most a scenario file may hold; not read further");
        }
        text.append(chunk.data(), count);
    }
    if (in.bad()) {
        refuse("cannot be read");
    }
    return text;
}

}  // namespace

double Signal::at(int offset, int duration) const {
    if (const auto* ramp = std::get_if<Ramp>(&form)) {
        return duration <= 1 ? ramp->start
                             : ramp->start + (ramp->end - ramp->start) * offset / (duration - 1);
    }
    if (const auto* noise = std::get_if<Noise>(&form)) {
        // The standard fixes mt19937's output, so a seed gives the same values everywhere.
        std::mt19937 generator(noise->seed * 2654435761u + static_cast<std::uint32_t>(offset));
        const double unit = static_cast<double>(generator()) / 4294967296.0;
        return noise->mean + noise->spread * (2.0 * unit - 1.0);
    }
    if (const auto* bursts = std::get_if<Bursts>(&form)) {
        return offset % bursts->every < bursts->length ? bursts->value : bursts->base;
    }
    return std::get<Constant>(form).value;
}

const Phase* Scenario::phaseAt(int second) const {
    // Phases are sorted and do not overlap: the last one starting at or before `second`.
    const auto after = std::upper_bound(phases.begin(), phases.end(), second,
                                        [](int s, const Phase& phase) { return s < phase.from; });
    if (after == phases.begin()) {
        return nullptr;
    }
    const Phase& phase = *std::prev(after);
    return second < phase.to ? &phase : nullptr;
}

Scenario parseScenario(const std::string& text, const std::string& sourceName) {
    try {
        return readScenario(text, sourceName);
    } catch (const json::exception& error) {
        // The reader checks every value before it takes it; this is a last guard.
        throw Tools::Failure(Tools::FailureKind::Usage,
                             sourceName + ": cannot be used: " + error.what());
    }
}

Scenario loadScenarioFile(const std::filesystem::path& file) {
    return parseScenario(readScenarioBytes(file), Tools::displayPath(file));
}

}  // namespace Quorvel::Sim
