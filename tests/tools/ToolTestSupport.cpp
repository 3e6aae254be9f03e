#include "ToolTestSupport.h"

#include <cstdio>

namespace QuorvelTest {

namespace {

class Collector : public Quorvel::Summary::ReportSink {
  public:
    explicit Collector(Analysis& into) : analysis(into) {}
    void match(const Quorvel::Summary::MatchRows&, const std::vector<std::int64_t>&,
               const Quorvel::Summary::MatchReport& report) override {
        analysis.matches.push_back(report);
    }
    void finish(const std::vector<Quorvel::Summary::InputSummary>&,
                const std::vector<Quorvel::Summary::ServerSummary>& servers) override {
        analysis.servers = servers;
    }

  private:
    Analysis& analysis;
};

}  // namespace

std::string csvRow(const RowSpec& r) {
    char text[512];
    std::snprintf(
        text, sizeof text,
        "2026-12-08 %02d:%02d:%02d,id,%s,%s,7777,13,%lld,%lld,%lld,%lld,%lld,%lld,%lld,%lld,"
        "%lld\n",
        10 + r.second / 3600, r.second / 60 % 60, r.second % 60, r.guid.c_str(), r.serverIp.c_str(),
        static_cast<long long>(r.fps), static_cast<long long>(r.ping),
        static_cast<long long>(r.latency), static_cast<long long>(r.packetsOut),
        static_cast<long long>(r.packetsIn), static_cast<long long>(r.lostOut),
        static_cast<long long>(r.lostIn), static_cast<long long>(r.buffer),
        static_cast<long long>(r.target));
    return text;
}

std::string performanceCsv(const std::vector<RowSpec>& rows) {
    std::string csv =
        "Timestamp,UserID,MatchGUID,ServerIP,ServerPort,Playlist,FPS,Ping,Latency,PacketsOut,"
        "PacketsIn,LostPacketsOut,LostPacketsIn,Buffer,BufferTarget\n";
    for (const RowSpec& row : rows) {
        csv += csvRow(row);
    }
    return csv;
}

Analysis analyzeFiles(const std::vector<std::filesystem::path>& files) {
    Analysis analysis;
    Collector collector(analysis);
    Quorvel::Summary::ReportHooks hooks;
    hooks.problem = [&analysis](const std::filesystem::path&, std::size_t line,
                                const std::string& what) {
        analysis.problems.push_back("line " + std::to_string(line) + ": " + what);
    };
    analysis.result = Quorvel::Summary::buildReport(files, {&collector}, hooks);
    return analysis;
}

Analysis analyze(const std::string& csv) {
    TempDir folder("quorvel-analysis");
    writeFile(folder / "p-performance.csv", csv);
    return analyzeFiles({folder / "p-performance.csv"});
}

}  // namespace QuorvelTest
