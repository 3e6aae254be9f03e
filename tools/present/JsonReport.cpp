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
    : out(output), names(ShownNames::full(inputs)) {}

void JsonReport::match(const Matches::MatchRows&, const Analysis::MatchReport& report) {
    matches.write(first ? "" : ",\n");
    first = false;
    matches.write(indented(dumpJson(matchJson(report, names), true), 4));
}

void JsonReport::finish(const Analysis::ReportTotals& totals) {
    nlohmann::ordered_json serverList = nlohmann::ordered_json::array();
    for (const auto& server : totals.servers) {
        serverList.push_back(serverJson(server));
    }
    nlohmann::ordered_json dayList = nlohmann::ordered_json::array();
    for (const auto& day : totals.days) {
        dayList.push_back(dayJson(day));
    }
    nlohmann::ordered_json fileList = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < totals.inputs.size(); ++i) {
        fileList.push_back(inputJson(totals.inputs[i], i, names));
    }
    const auto member = [](const char* name, const nlohmann::ordered_json& value) {
        return "  \"" + std::string(name) + "\": " + indented(dumpJson(value, true), 2).substr(2);
    };
    const nlohmann::ordered_json answers = conclusionsJson(totals.conclusions, names);
    out.write("{\n" + member("conclusion", answers["conclusion"]) + ",\n");
    out.write(member("conclusions", answers["conclusions"]) + ",\n");
    out.write("  \"matches\": [\n");
    matches.moveTo(out);
    out.write(first ? "],\n" : "\n  ],\n");
    out.write(member("servers", serverList) + ",\n");
    out.write(member("days", dayList) + ",\n");
    out.write(member("files", fileList) + "\n}\n");
}

}  // namespace Quorvel::Present
