#include "JsonReport.h"

#include "MatchJson.h"

namespace Quorvel::Present {

namespace {

// `text` indented by `spaces` after each line break.
std::string indented(std::string text, std::size_t spaces) {
    const std::string padding(spaces, ' ');
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        text.insert(at + 1, padding);
    }
    return padding + text;
}

}  // namespace

JsonReport::JsonReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs)
    : out(output), files(inputs) {}

void JsonReport::match(const Matches::MatchRows&, const Analysis::MatchReport& report) {
    out.write(first ? "{\n  \"matches\": [\n" : ",\n");
    first = false;
    out.write(indented(dumpJson(matchJson(report, files.at(report.input).name()), true), 4));
}

void JsonReport::finish(const std::vector<Analysis::InputSummary>& inputs,
                        const std::vector<Analysis::ServerSummary>& servers) {
    nlohmann::ordered_json serverList = nlohmann::ordered_json::array();
    for (const auto& server : servers) {
        serverList.push_back(serverJson(server));
    }
    nlohmann::ordered_json fileList = nlohmann::ordered_json::array();
    for (const auto& input : inputs) {
        fileList.push_back(inputJson(input));
    }
    out.write(first ? "{\n  \"matches\": [],\n" : "\n  ],\n");
    out.write("  \"servers\": " + indented(dumpJson(serverList, true), 2).substr(2) + ",\n");
    out.write("  \"files\": " + indented(dumpJson(fileList, true), 2).substr(2) + "\n}\n");
}

}  // namespace Quorvel::Present
