#pragma once

// Building performance files by hand and reading them back through the tools' library,
// in memory.

#include <cstdint>
#include <string>
#include <vector>

#include "Report.h"
#include "TempDir.h"

namespace QuorvelTest {

// One row of a hand-made file; `second` counts from 2026-12-08 10:00:00 UTC.
struct SampleRow {
    int second = 0;
    std::string guid = "m";
    std::int64_t fps = 144;
    std::int64_t ping = 30;
    std::int64_t latency = 35;
    std::int64_t packetsOut = 60;
    std::int64_t packetsIn = 60;
    std::int64_t lostOut = 0;
    std::int64_t lostIn = 0;
    std::int64_t buffer = 2;
    std::int64_t target = 2;
    std::string serverIp = "1.2.3.4";
};

inline constexpr std::int64_t kNoValue = -2147483648LL;

std::string csvRow(const SampleRow& row);
// The header line, then the rows.
std::string performanceCsv(const std::vector<SampleRow>& rows);
// `count` rows, one a second from `first`, each made by `make(second)`.
template <typename Make>
std::vector<SampleRow> secondsOf(int first, int count, Make make) {
    std::vector<SampleRow> rows;
    for (int s = first; s < first + count; ++s) {
        rows.push_back(make(s));
    }
    return rows;
}

struct Analyzed {
    std::vector<Quorvel::Analysis::MatchReport> matches;
    std::vector<Quorvel::Analysis::ServerSummary> servers;
    std::vector<std::string> problems;  // "line N: what"
    Quorvel::Analysis::ReportResult result;
};

// The verdict of a match and the answer across matches, as every output says them.
std::string reasonOf(const Quorvel::Analysis::MatchReport& match);
std::string textOf(const Quorvel::Analysis::Conclusion& conclusion);

// Reads `csv` as the report reads a file.
Analyzed analyze(const std::string& csv);
Analyzed analyzeInputs(const std::vector<Quorvel::Read::Input>& inputs);

}  // namespace QuorvelTest
