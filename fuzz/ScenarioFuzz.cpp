// The scenario reader on any bytes: a scenario, or a Failure (Usage) that names the
// place; never another exception. A scenario that fixes its start is played only in
// seconds the module's clock holds.

#include <chrono>
#include <cstdlib>
#include <string>

#include "Failure.h"
#include "Scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const Quorvel::Sim::Scenario scenario = Quorvel::Sim::parseScenario(text, "fuzz.json");
        if (scenario.start && (*scenario.start < Quorvel::Sim::kFirstSessionSecond ||
                               *scenario.start + std::chrono::seconds{scenario.seconds} >
                                   Quorvel::Sim::kLastSessionSecond)) {
            std::abort();
        }
        for (int second = 0; second <= scenario.seconds; second += 97) {
            if (const Quorvel::Sim::Phase* phase = scenario.phaseAt(second)) {
                for (const Quorvel::Sim::Signal& signal : phase->statistics) {
                    static_cast<void>(signal.at(second - phase->from, phase->to - phase->from));
                }
            }
        }
    } catch (const Quorvel::Tools::Failure& failure) {
        if (failure.kind() != Quorvel::Tools::FailureKind::Usage) {
            throw;
        }
        // A refusal, with its place: the right answer for a bad scenario.
    }
    return 0;
}
