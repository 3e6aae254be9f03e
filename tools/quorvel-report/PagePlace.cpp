#include "PagePlace.h"

#include <algorithm>
#include <string>

#include "DisplayText.h"
#include "SystemPath.h"

namespace Quorvel::Report {

namespace {

// "-and-2-more" when there are three inputs: the page of several is not the page of the
// first alone, which it would otherwise replace.
std::string others(std::size_t count) {
    return count > 1 ? "-and-" + std::to_string(count - 1) + "-more" : std::string();
}

}  // namespace

std::filesystem::path pageForInputs(const std::vector<std::filesystem::path>& arguments) {
    if (arguments.empty()) {
        return {};
    }
    std::error_code ignored;
    const std::filesystem::path& first = arguments.front();
    const std::string more = others(arguments.size());
    if (!std::filesystem::is_directory(Tools::fileStatus(first, ignored))) {
        std::filesystem::path page = first;
        page.replace_extension();
        return page += more + ".html";
    }
    // "data/", "data/." and "C:\games\data\" all name the folder "data".
    std::filesystem::path folder = std::filesystem::absolute(first, ignored).lexically_normal();
    if (!folder.has_filename() && folder.has_relative_path()) {
        folder = folder.parent_path();
    }
    if (!folder.has_relative_path()) {
        return folder / ("quorvel-report" + more + ".html");
    }
    std::filesystem::path name = folder.filename();
    return folder.parent_path() / (name += more + ".html");
}

bool looksLikePage(const std::filesystem::path& argument) {
    std::string extension = Tools::displayPath(argument.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension == ".html" || extension == ".htm";
}

}  // namespace Quorvel::Report
