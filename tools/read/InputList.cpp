#include "InputList.h"

#include <algorithm>
#include <map>

#include "DisplayText.h"
#include "HistoryFileName.h"
#include "PathIdentity.h"
#include "PerformanceFiles.h"
#include "SystemPath.h"

namespace Quorvel::Read {

namespace {

using Tools::displayPath;

// The performance files of one folder; notes for the entries skipped.
void addListing(const std::filesystem::path& folder, std::vector<std::filesystem::path>& files,
                InputList& list) {
    try {
        FolderListing listing = performanceFilesIn(folder);
        list.notes.insert(list.notes.end(), listing.skipped.begin(), listing.skipped.end());
        files.insert(files.end(), listing.files.begin(), listing.files.end());
    } catch (const Tools::Failure& failure) {
        list.refusals.push_back(failure);
    }
}

// A folder's performance files and those of the history folder in it, where the plugin
// keeps earlier sessions.
void addFolder(const std::filesystem::path& folder, std::vector<std::filesystem::path>& files,
               InputList& list) {
    const std::size_t filesBefore = files.size();
    const std::size_t refusalsBefore = list.refusals.size();
    addListing(folder, files, list);
    const std::filesystem::path history = folder / Format::kHistoryFolderName;
    std::error_code error;
    if (std::filesystem::is_directory(Tools::fileStatus(history, error))) {
        addListing(history, files, list);
    }
    if (files.size() == filesBefore && list.refusals.size() == refusalsBefore) {
        list.refusals.emplace_back(Tools::FailureKind::Input,
                                   displayPath(folder) + ": holds no *-performance.csv file");
    }
}

// A file named more than once: one note for all its names, however many.
struct Repeats {
    explicit Repeats(std::filesystem::path file) : first(std::move(file)) {}

    void add(const std::filesystem::path& file) {
        ++times;
        const bool known = file == first || std::find(otherNames.begin(), otherNames.end(), file) !=
                                                otherNames.end();
        if (!known && otherNames.size() < kNamesShown) {
            otherNames.push_back(file);
        } else if (!known) {
            moreNames = true;
        }
    }

    std::string note() const {
        std::string also;
        for (const std::filesystem::path& name : otherNames) {
            also += also.empty() ? " (also as " : ", ";
            also += displayPath(name);
        }
        also += also.empty() ? "" : moreNames ? " and others)" : ")";
        return displayPath(first) + ": named " + std::to_string(times) + " times" + also +
               ", read once";
    }

    static constexpr std::size_t kNamesShown = 3;
    std::filesystem::path first;
    std::size_t times = 1;
    std::vector<std::filesystem::path> otherNames;  // at most kNamesShown
    bool moreNames = false;
};

}  // namespace

InputList gatherInputs(const std::vector<std::filesystem::path>& arguments) {
    InputList list;
    std::vector<std::filesystem::path> files;
    std::vector<bool> inFolder;  // for each of `files`
    for (const std::filesystem::path& argument : arguments) {
        std::error_code error;
        const bool folder = std::filesystem::is_directory(Tools::fileStatus(argument, error));
        if (folder) {
            addFolder(argument, files, list);
        } else {
            files.push_back(argument);
        }
        inFolder.resize(files.size(), folder);
    }
    std::map<Tools::FileIdentity, Repeats> seen;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::filesystem::path& file = files[i];
        if (const auto identity = Tools::fileIdentity(file)) {
            const auto [earlier, isNew] = seen.try_emplace(*identity, file);
            if (!isNew) {
                earlier->second.add(file);
                continue;
            }
        }
        list.inputs.push_back(Input::file(file, inFolder[i]));
    }
    for (const auto& [identity, repeats] : seen) {
        if (repeats.times > 1) {
            list.notes.push_back(repeats.note());
        }
    }
    return list;
}

}  // namespace Quorvel::Read
