// The scenario reader on any bytes: a scenario, or a ScenarioError that names the
// place; never another exception.

#include <string>

#include "Scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const QuorvelSim::Scenario scenario = QuorvelSim::parseScenario(text, "fuzz.json");
        for (int second = 0; second <= scenario.seconds; second += 97) {
            if (const QuorvelSim::Phase* phase = scenario.phaseAt(second)) {
                static_cast<void>(phase->pingMs.at(second - phase->from, phase->to - phase->from));
            }
        }
    } catch (const QuorvelSim::ScenarioError&) {
        // A refusal, with its place: the right answer for a bad scenario.
    }
    return 0;
}
