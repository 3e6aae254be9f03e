#include "PagePlace.h"

#include <algorithm>
#include <string>

#include "DisplayText.h"
#include "SystemPath.h"

namespace Quorvel::Report {

std::filesystem::path pageForInputs(const std::vector<std::filesystem::path>& arguments) {
    if (arguments.empty()) {
        return {};
    }
    std::error_code ignored;
    const std::filesystem::path& first = arguments.front();
    if (!std::filesystem::is_directory(Tools::fileStatus(first, ignored))) {
        std::filesystem::path page = first;
        return page.replace_extension(".html");
    }
    // "data/", "data/." and "C:\games\data\" all name the folder "data".
    std::filesystem::path folder = std::filesystem::absolute(first, ignored).lexically_normal();
    if (!folder.has_filename() && folder.has_relative_path()) {
        folder = folder.parent_path();
    }
    if (!folder.has_relative_path()) {
        return folder / "quorvel-report.html";
    }
    std::filesystem::path name = folder.filename();
    return folder.parent_path() / (name += ".html");
}

bool looksLikePage(const std::filesystem::path& argument) {
    std::string extension = Tools::displayPath(argument.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension == ".html" || extension == ".htm";
}

}  // namespace Quorvel::Report
