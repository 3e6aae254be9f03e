#include "PerformanceFormat.h"

namespace Quorvel::Format {

namespace {

constexpr bool headerLineJoinsTheNames() {
    std::size_t at = 0;
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        const std::string_view name = kColumns[i].name;
        if (kHeaderLine.substr(at, name.size()) != name) {
            return false;
        }
        at += name.size();
        if (kHeaderLine[at] != (i + 1 == kColumnCount ? '\n' : ',')) {
            return false;
        }
        ++at;
    }
    return at == kHeaderLine.size();
}
static_assert(headerLineJoinsTheNames());
static_assert(kTextColumnCount + 1 + kStatisticCount == kColumnCount);
static_assert(columnOf(TextColumn::ServerPort) == Column::ServerPort);
static_assert(columnOf(Statistic::FPS) == Column::FirstStatistic);
static_assert(kColumnCount == 15);

constexpr bool everyColumnNamed() {
    for (const ColumnInfo& column : kColumns) {
        if (column.name.empty() || column.key.empty()) {
            return false;
        }
    }
    return true;
}
static_assert(everyColumnNamed());

bool mustEscape(unsigned char byte) {
    return byte < 0x20 ||
           std::string_view("<>:\"/\\|?*%").find(static_cast<char>(byte)) != std::string_view::npos;
}

}  // namespace

std::string fileNameSafeId(std::string_view userId) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string safe;
    safe.reserve(userId.size());
    for (char c : userId) {
        const auto byte = static_cast<unsigned char>(c);
        if (mustEscape(byte)) {
            safe.push_back('%');
            safe.push_back(kHex[byte >> 4]);
            safe.push_back(kHex[byte & 0xF]);
        } else {
            safe.push_back(c);
        }
    }
    return safe;
}

std::string performanceFileName(std::string_view userId) {
    return fileNameSafeId(userId).append(kFileNameSuffix);
}

bool isPerformanceFileName(std::string_view fileName) {
    return fileName.ends_with(kFileNameSuffix);
}

}  // namespace Quorvel::Format
