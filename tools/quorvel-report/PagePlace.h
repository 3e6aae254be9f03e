#pragma once

#include <filesystem>
#include <vector>

namespace Quorvel::Report {

// Where the page goes when the command line does not name it: beside a file given first
// ("p-performance.csv" gives "p-performance.html"), or beside a folder given first and
// named after it ("data" gives "data.html"; a drive's root gives "quorvel-report.html"
// in it). With several inputs the name says so ("p-performance-and-2-more.html"), so the
// page of the first alone is not replaced.
std::filesystem::path pageForInputs(const std::vector<std::filesystem::path>& arguments);

// True for a file named like a page ("*.html", "*.htm", in any case): what the report
// writes, never what it reads.
bool looksLikePage(const std::filesystem::path& argument);

}  // namespace Quorvel::Report
