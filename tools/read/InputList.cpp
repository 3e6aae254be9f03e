#include "InputList.h"

#include <algorithm>
#include <map>

#include "DisplayText.h"
#include "FileIdentity.h"
#include "PerformanceFiles.h"

namespace Quorvel::Read {

namespace {

using Tools::displayPath;

// The performance files of a folder; notes for the entries skipped.
void addFolder(const std::filesystem::path& folder, std::vector<std::filesystem::path>& files,
               InputList& list) {
    try {
        FolderListing listing = performanceFilesIn(folder);
        list.notes.insert(list.notes.end(), listing.skipped.begin(), listing.skipped.end());
        if (listing.files.empty()) {
            list.refusals.emplace_back(Tools::FailureKind::Input,
                                       displayPath(folder) + ": holds no *-performance.csv file");
        }
        files.insert(files.end(), listing.files.begin(), listing.files.end());
    } catch (const Tools::Failure& failure) {
        list.refusals.push_back(failure);
    }
}

}  // namespace

InputList gatherInputs(const std::vector<std::filesystem::path>& arguments) {
    InputList list;
    std::vector<std::filesystem::path> files;
    for (const std::filesystem::path& argument : arguments) {
        std::error_code error;
        if (std::filesystem::is_directory(argument, error)) {
            addFolder(argument, files, list);
        } else {
            files.push_back(argument);
        }
    }
    std::map<Tools::FileIdentity, std::filesystem::path> seen;
    for (const std::filesystem::path& file : files) {
        if (const auto identity = Tools::fileIdentity(file)) {
            const auto [earlier, isNew] = seen.emplace(*identity, file);
            if (!isNew) {
                list.notes.push_back(displayPath(file) + ": is the same file as " +
                                     displayPath(earlier->second) + ", read once");
                continue;
            }
        }
        list.inputs.push_back(Input::file(file));
    }
    return list;
}

}  // namespace Quorvel::Read
