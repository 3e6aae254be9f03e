#include "JsonReport.h"

#include "MatchJson.h"

namespace Quorvel::Present {

namespace {

// `text` indented by `spaces` at its start and after each line break, in one pass: the
// servers' list of a long history runs to hundreds of thousands of lines.
std::string indented(const std::string& text, std::size_t spaces) {
    const std::string padding(spaces, ' ');
    std::string out;
    out += padding;
    std::size_t from = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        out.append(text, from, at + 1 - from);
        out += padding;
        from = at + 1;
    }
    out.append(text, from, std::string::npos);
    return out;
}

}  // namespace

JsonReport::JsonReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs)
    : out(output), names(ShownNames::full(inputs)) {}

void JsonReport::match(const Matches::MatchRows&, const Analysis::MatchReport& report) {
    matches.write(first ? "" : ",\n");
    first = false;
    matches.write(indented(dumpJson(matchJson(report, names), true), 4));
}

namespace {

// The member `name` holding an array of `items`, each made into JSON by `toJson` and
// written as it is made: the whole list is never held (a long history has a server list
// of many megabytes). The same text as the list dumped whole, indented by two.
template <typename Items, typename ToJson>
void writeList(Tools::TextOutput& out, const char* name, const Items& items, ToJson toJson,
               const char* after) {
    out.write("  \"" + std::string(name) + "\": [");
    const char* separator = "\n";
    for (const auto& item : items) {
        out.write(separator);
        out.write(indented(dumpJson(toJson(item), true), 4));
        separator = ",\n";
    }
    out.write(items.empty() ? std::string("]") + after : std::string("\n  ]") + after);
}

}  // namespace

void JsonReport::finish(const Analysis::ReportTotals& totals) {
    const auto member = [](const char* name, const nlohmann::ordered_json& value) {
        return "  \"" + std::string(name) + "\": " + indented(dumpJson(value, true), 2).substr(2);
    };
    const nlohmann::ordered_json answers = conclusionsJson(totals.conclusions, names);
    out.write("{\n" + member("conclusion", answers["conclusion"]) + ",\n");
    out.write(member("conclusions", answers["conclusions"]) + ",\n");
    out.write("  \"matches\": [\n");
    matches.moveTo(out);
    out.write(first ? "],\n" : "\n  ],\n");
    writeList(
        out, "servers", totals.servers, [](const auto& server) { return serverJson(server); },
        ",\n");
    writeList(
        out, "days", totals.days, [](const auto& day) { return dayJson(day); }, ",\n");
    writeList(
        out, "files", totals.inputs,
        [this, index = std::size_t{0}](const auto& input) mutable {
            return inputJson(input, index++, names);
        },
        "\n}\n");
}

}  // namespace Quorvel::Present
