#include "CsvFile.h"

#include <fstream>

#include "NarrowPath.h"
#include "PerformanceFormat.h"

namespace Quorvel {

namespace {

bool writeAndClose(std::ofstream& out, std::string_view header, std::string_view body) {
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    out.write(body.data(), static_cast<std::streamsize>(body.size()));
    out.close();
    return !out.fail();
}

}  // namespace

std::optional<std::filesystem::path> csvFilePath(const std::filesystem::path& dataFolder,
                                                 std::string_view userId) {
    std::optional<std::filesystem::path> name = narrowToPath(Format::performanceFileName(userId));
    if (!name) {
        return std::nullopt;
    }
    return dataFolder / *name;
}

bool createWithHeader(const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::out | std::ios::trunc);
    return out.is_open() && writeAndClose(out, Format::kHeaderLine, {});
}

bool appendRows(const std::filesystem::path& file, std::string_view rows) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    const bool wasRegular = std::filesystem::is_regular_file(status);
    const bool wasAbsent = status.type() == std::filesystem::file_type::not_found;
    const std::uintmax_t sizeBefore = wasRegular ? std::filesystem::file_size(file, error) : 0;
    if (error && !wasAbsent) {
        return false;
    }

    std::ofstream out(file, std::ios::out | std::ios::app);
    if (!out.is_open()) {
        return false;
    }
    const bool needsHeader = wasAbsent || (wasRegular && sizeBefore == 0);
    if (writeAndClose(out, needsHeader ? Format::kHeaderLine : std::string_view(), rows)) {
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
