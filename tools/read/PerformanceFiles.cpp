#include "PerformanceFiles.h"

#include <algorithm>

#include "DisplayText.h"
#include "Failure.h"
#include "PerformanceFormat.h"

namespace Quorvel::Read {

std::vector<std::filesystem::path> performanceFilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (Format::isPerformanceFileName(Tools::displayPath(it->path().filename())) &&
            !it->is_directory()) {
            files.push_back(it->path());
        }
    }
    if (error) {
        throw Tools::Failure(Tools::FailureKind::Input,
                             Tools::displayPath(folder) + ": cannot be listed: " + error.message());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace Quorvel::Read
