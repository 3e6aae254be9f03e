#pragma once

// The scenario's JSON, read strictly: a field given twice in one object is refused (a
// JSON parser would keep the last one silently), and so is nesting deeper than any
// scenario goes, before it costs memory. Every refusal is a Failure (Usage) that names
// the file and the place.

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>

namespace Quorvel::Sim {

// Deeper than a scenario's deepest value (/phases/0/fps/ramp/0 is at level 5).
inline constexpr std::size_t kMaxScenarioNesting = 32;

// "source: /path: expected ...", the form of every refusal of a value; `path` is a JSON
// pointer ("" for the whole document).
[[noreturn]] void refuseAt(const std::string& sourceName, const std::string& path,
                           const std::string& expected);

// A scenario's text and the name its messages give it.
struct ScenarioSource {
    const std::string& name;
    const std::string& text;
};

// The scenario's JSON, refused (a Failure of kind Usage naming the source) when it is not
// strict JSON: no duplicate keys, no nesting deeper than kMaxScenarioNesting.
nlohmann::json parseScenarioJson(const ScenarioSource& source);

}  // namespace Quorvel::Sim
