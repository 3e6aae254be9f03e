#pragma once

// Building performance files by hand and reading them back through the tools' library.

#include <cstdint>
#include <string>
#include <vector>

#include "Report.h"
#include "TempDir.h"

namespace QuorvelTest {

// One row of a hand-made file; `second` counts from 2026-12-08 10:00:00 UTC.
struct RowSpec {
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

std::string csvRow(const RowSpec& row);
// The header line, then the rows.
std::string performanceCsv(const std::vector<RowSpec>& rows);
// `count` rows, one a second from `first`, each made by `make(second)`.
template <typename Make>
std::vector<RowSpec> secondsOf(int first, int count, Make make) {
    std::vector<RowSpec> rows;
    for (int s = first; s < first + count; ++s) {
        rows.push_back(make(s));
    }
    return rows;
}

struct Analysis {
    std::vector<Quorvel::Summary::MatchReport> matches;
    std::vector<Quorvel::Summary::ServerSummary> servers;
    std::vector<std::string> problems;  // "line N: what"
    Quorvel::Summary::ReportResult result;
};

// Writes `csv` to a file and reads it as the report does.
Analysis analyze(const std::string& csv);
Analysis analyzeFiles(const std::vector<std::filesystem::path>& files);

}  // namespace QuorvelTest
