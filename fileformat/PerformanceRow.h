#pragma once

#include <cstdint>
#include <string>

#include "PerformanceFormat.h"

namespace Quorvel::Format {

// Appends one row of the performance file: its fields in column order, separated by
// commas, ending in a line feed. Texts are quoted where they must be (appendCsvField).
void appendPerformanceRow(std::string& out, const RowTextFields& texts, std::int32_t playlist,
                          const PerStatistic<std::int32_t>& statistics);

}  // namespace Quorvel::Format
