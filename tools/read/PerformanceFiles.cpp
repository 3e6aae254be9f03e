#include "PerformanceFiles.h"

#include <algorithm>

#include "DisplayText.h"
#include "Failure.h"
#include "PerformanceFormat.h"
#include "SystemPath.h"

namespace Quorvel::Read {

namespace {

using Tools::displayPath;

// Why an entry named like a performance file is not read; empty for a regular file.
std::string whyNotRead(const std::filesystem::path& entry) {
    std::error_code error;
    const auto status = Tools::fileStatus(entry, error);
    if (error == std::errc::too_many_symbolic_link_levels) {
        return "is a loop of links";
    }
    if (error || status.type() == std::filesystem::file_type::not_found) {
        std::error_code ignored;
        return std::filesystem::is_symlink(Tools::systemPath(entry), ignored)
                   ? "is a link that leads nowhere"
                   : "cannot be looked at: " + Tools::plainReason(error);
    }
    if (std::filesystem::is_directory(status)) {
        return "is a folder";
    }
    if (!std::filesystem::is_regular_file(status)) {
        return "is not a regular file (a pipe or a device)";
    }
    return {};
}

}  // namespace

FolderListing performanceFilesIn(const std::filesystem::path& folder) {
    FolderListing listing;
    std::error_code error;
    for (const std::filesystem::path& name : Tools::folderEntryNames(folder, error)) {
        if (!Format::isPerformanceFileName(displayPath(name))) {
            continue;
        }
        const std::filesystem::path entry = folder / name;
        const std::string why = whyNotRead(entry);
        if (why.empty()) {
            listing.files.push_back(entry);
        } else {
            listing.skipped.push_back(displayPath(entry) + ": " + why + ", skipped");
        }
    }
    if (error) {
        throw Tools::Failure(
            Tools::FailureKind::Input,
            displayPath(folder) + ": cannot be listed: " + Tools::plainReason(error));
    }
    std::sort(listing.files.begin(), listing.files.end());
    return listing;
}

}  // namespace Quorvel::Read
