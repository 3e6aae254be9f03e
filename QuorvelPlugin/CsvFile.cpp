#include "CsvFile.h"

#include <fstream>

#include "PerformanceFormat.h"
#include "SharedLogFile.h"
#include "TextConversion.h"

namespace Quorvel {

namespace {

bool writeAndClose(std::ofstream& out, std::string_view lead, std::string_view body) {
    out.write(lead.data(), static_cast<std::streamsize>(lead.size()));
    out.write(body.data(), static_cast<std::streamsize>(body.size()));
    out.close();
    return !out.fail();
}

// Opening a FIFO for writing waits for a reader: it would hold the game's thread.
bool isFifo(const std::filesystem::file_status& status) {
    return status.type() == std::filesystem::file_type::fifo;
}

// A last line without its line end (the game closed while it was written) must not
// take the first new row into it.
bool endsInATornLine(const std::filesystem::path& file) {
    const std::optional<SharedLogFile> opened = SharedLogFile::open(file);
    char last = '\n';
    return opened && opened->size() > 0 && opened->read(opened->size() - 1, &last, 1) &&
           last != '\n';
}

}  // namespace

std::optional<std::filesystem::path> csvFilePath(const std::filesystem::path& dataFolder,
                                                 std::string_view userId) {
    std::optional<std::filesystem::path> name =
        Platform::narrowToPath(Format::performanceFileName(userId));
    if (!name) {
        return std::nullopt;
    }
    return dataFolder / *name;
}

bool createWithHeader(const std::filesystem::path& file) {
    std::error_code error;
    if (isFifo(std::filesystem::status(file, error))) {
        return false;
    }
    std::ofstream out(file, std::ios::out | std::ios::trunc);
    return out.is_open() && writeAndClose(out, Format::kHeaderLine, {});
}

bool appendRows(const std::filesystem::path& file, std::string_view rows) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    const bool wasRegular = std::filesystem::is_regular_file(status);
    const bool wasAbsent = status.type() == std::filesystem::file_type::not_found;
    const std::uintmax_t sizeBefore = wasRegular ? std::filesystem::file_size(file, error) : 0;
    if ((error && !wasAbsent) || isFifo(status)) {
        return false;
    }
    std::string_view lead;
    if (wasAbsent || (wasRegular && sizeBefore == 0)) {
        lead = Format::kHeaderLine;
    } else if (wasRegular && endsInATornLine(file)) {
        lead = "\n";
    }

    std::ofstream out(file, std::ios::out | std::ios::app);
    if (!out.is_open()) {
        return false;
    }
    if (writeAndClose(out, lead, rows)) {
        return true;
    }
    // Undo a partial append; a device or other special file is left alone.
    if (wasRegular) {
        std::filesystem::resize_file(file, sizeBefore, error);
    } else if (wasAbsent) {
        std::filesystem::remove(file, error);
    }
    return false;
}

}  // namespace Quorvel
