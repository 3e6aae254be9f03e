#include "ShownNames.h"

#include <algorithm>
#include <cctype>

#include "DisplayText.h"
#include "HistoryFileName.h"
#include "PerformanceFormat.h"

namespace Quorvel::Present {

namespace {

// The longest run of ASCII letters and digits in `id`: the part that tells players
// apart ("76561190000000042" of "Steam|76561190000000042|0").
std::string_view longestRun(std::string_view id) {
    std::string_view longest;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= id.size(); ++i) {
        if (i < id.size() && std::isalnum(static_cast<unsigned char>(id[i])) != 0) {
            continue;
        }
        if (i - start > longest.size()) {
            longest = id.substr(start, i - start);
        }
        start = i + 1;
    }
    return longest;
}

// Its last few characters: four at most, and never more than half of the run.
std::string playerTag(std::string_view userId) {
    constexpr std::size_t kTagCharacters = 4;
    const std::string_view run = longestRun(userId);
    const std::size_t shown = std::min(kTagCharacters, run.size() / 2);
    return shown == 0 ? "a player" : "player \u2026" + std::string(run.substr(run.size() - shown));
}

// "2026-12-01 18:00": the minute is enough to tell sessions apart.
std::string sessionTime(std::chrono::sys_seconds firstRow) {
    return Tools::formatClock(firstRow).substr(0, std::string_view("YYYY-MM-DD HH:MM").size());
}

}  // namespace

std::string fileLabel(std::string_view fileName, std::size_t place, bool onlyPlayersFile) {
    if (const auto kept = Format::parseHistoryFileName(fileName)) {
        const std::string when = sessionTime(kept->firstRow);
        return kept->end == Format::SessionEnd::Unfinished ? "unfinished match, " + when
                                                           : "history, " + when;
    }
    if (Format::isUnfinishedSessionName(fileName)) {
        return "unfinished match";
    }
    if (Format::isPerformanceFileName(fileName)) {
        return onlyPlayersFile ? "your file" : "file " + std::to_string(place);
    }
    return "file " + std::to_string(place);
}

ShownNames::ShownNames(const std::vector<Read::Input>& inputsRead, bool shareable)
    : inputs(inputsRead), shareableNames(shareable) {
    if (!shareable) {
        for (const Read::Input& input : inputs) {
            files.push_back(input.name());
        }
        return;
    }
    std::vector<std::string> names;
    names.reserve(inputs.size());
    for (const Read::Input& input : inputs) {
        names.push_back(input.path().empty() ? input.name()
                                             : Tools::displayPath(input.path().filename()));
    }
    const auto playersFile = [](const std::string& name) {
        return Format::isPerformanceFileName(name) && !Format::parseHistoryFileName(name) &&
               !Format::isUnfinishedSessionName(name);
    };
    const bool onlyOne = std::count_if(names.begin(), names.end(), playersFile) == 1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        files.push_back(fileLabel(names[i], i + 1, onlyOne));
    }
}

ShownNames ShownNames::full(const std::vector<Read::Input>& inputs) {
    return {inputs, false};
}

ShownNames ShownNames::shareable(const std::vector<Read::Input>& inputs) {
    return {inputs, true};
}

std::string ShownNames::fileInTitle(std::size_t input) const {
    const Read::Input& source = inputs.at(input);
    return shareableNames || source.path().empty() ? files.at(input)
                                                   : Tools::displayPath(source.path().filename());
}

std::string ShownNames::player(std::string_view userId) const {
    return shareableNames ? playerTag(userId) : std::string(userId);
}

std::string ShownNames::playerWords(std::string_view userId) const {
    return shareableNames ? playerTag(userId) : "player " + std::string(userId);
}

std::string ShownNames::players(const std::set<std::string>& userIds) const {
    if (shareableNames && userIds.size() == 1) {
        return "you";
    }
    std::string who;
    for (const std::string& id : userIds) {
        if (who.size() > 80) {
            return who + ", \u2026";
        }
        who += (who.empty() ? "" : ", ") + player(id);
    }
    return who;
}

std::string ShownNames::inMessage(std::size_t input, std::string message) const {
    if (!shareableNames) {
        return message;
    }
    const std::string& label = files.at(input);
    const Read::Input& source = inputs.at(input);
    for (const std::string& name : {source.name(), Tools::displayPath(source.path())}) {
        for (std::size_t at = name.empty() ? std::string::npos : message.find(name);
             at != std::string::npos; at = message.find(name, at + label.size())) {
            message.replace(at, name.size(), label);
        }
    }
    return message;
}

}  // namespace Quorvel::Present
