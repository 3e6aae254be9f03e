// quorvel-report: what happened in each match of a performance file, as a table, as
// JSON, or as an HTML page with charts.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "HtmlReport.h"
#include "MatchSummary.h"
#include "PerformanceLog.h"

int main(int argc, char** argv) {
    CLI::App app{"Summarizes each match of a Quorvel performance file."};
    std::string input, htmlFile;
    bool json = false;
    app.add_option("file", input, "A <userId>-performance.csv file")->required();
    app.add_option("--html", htmlFile,
                   "Also write a self-contained HTML report with charts to this file");
    app.add_flag("--json", json, "Print the summaries as JSON instead of a table");
    CLI11_PARSE(app, argc, argv);

    std::ifstream in(input, std::ios::binary);
    if (!in) {
        std::cerr << "quorvel-report: " << input << ": cannot be read\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const auto log = Quorvel::Summary::readPerformanceLog(text.str());
    for (const auto& problem : log.problems) {
        std::cerr << "quorvel-report: " << input << ": " << problem << " (skipped)\n";
    }
    const auto matches = Quorvel::Summary::splitMatches(log.samples);
    std::vector<Quorvel::Summary::MatchSummary> summaries;
    summaries.reserve(matches.size());
    for (const auto& match : matches) {
        summaries.push_back(Quorvel::Summary::summarize(match));
    }
    std::cout << (json ? Quorvel::Summary::formatJson(summaries)
                       : Quorvel::Summary::formatTable(summaries));

    if (!htmlFile.empty()) {
        std::ofstream out(htmlFile, std::ios::binary | std::ios::trunc);
        out << QuorvelReport::renderHtml(
            "Quorvel report: " + std::filesystem::path(input).filename().string(), matches,
            summaries);
        out.close();
        if (!out) {
            std::cerr << "quorvel-report: " << htmlFile << ": cannot be written\n";
            return 1;
        }
        std::cerr << "quorvel-report: wrote " << htmlFile << "\n";
    }
    return 0;
}
