// The report on any file: reading, splitting, summarizing and formatting never fail.

#include <string>

#include "MatchSummary.h"
#include "PerformanceLog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto log = Quorvel::Summary::readPerformanceLog(text);
    const auto summaries = Quorvel::Summary::summarizeLog(log);
    Quorvel::Summary::formatTable(summaries);
    Quorvel::Summary::formatJson(summaries);
    return 0;
}
