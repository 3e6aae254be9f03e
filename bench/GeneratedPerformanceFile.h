#pragma once

// A performance file made up for measuring the tools on large inputs: one player, a row
// a second, matches of kGeneratedMatchSeconds rows with a minute in the menu between
// them, from 2026-12-08 00:00:00 UTC. The same `rows` always give the same bytes, so a
// benchmark and a script that compares programs measure the same file.

#include <cstdint>
#include <filesystem>

namespace Quorvel::Bench {

inline constexpr std::int64_t kGeneratedMatchSeconds = 300;

// Writes the file of `rows` rows (after the header line) to `file`, replacing it.
// False when it cannot be written whole.
bool writeGeneratedPerformanceFile(const std::filesystem::path& file, std::int64_t rows);

}  // namespace Quorvel::Bench
