#pragma once

// How texts and numbers are written into a CSV file, for every CSV file the project
// writes: the performance file and the report's summary.

#include <cstdint>
#include <string>
#include <string_view>

namespace Quorvel::Format {

// True when `text` must be quoted to stay one field: it holds a comma, a double
// quote, CR or LF.
bool needsQuoting(std::string_view text);

// Appends `text` as one field: as it is, or in double quotes with each quote doubled
// (RFC 4180) when it needs quoting.
void appendCsvField(std::string& out, std::string_view text);

// Appends `value` in plain ASCII decimal, whatever the process locale.
void appendInteger(std::string& out, std::int64_t value);

}  // namespace Quorvel::Format
