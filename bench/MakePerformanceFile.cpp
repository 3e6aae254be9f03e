// make-performance-file ROWS OUT: writes the generated performance file the report's
// benchmark measures, for scripts that time other programs on the same bytes.

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "GeneratedPerformanceFile.h"

int main(int argc, char** argv) {
    std::int64_t rows = -1;
    if (argc == 3) {
        const std::string_view text = argv[1];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rows);
        if (error != std::errc{} || end != text.data() + text.size()) {
            rows = -1;
        }
    }
    if (rows < 0) {
        std::fputs("usage: make-performance-file ROWS OUT\n", stderr);
        return 2;
    }
    if (!Quorvel::Bench::writeGeneratedPerformanceFile(argv[2], rows)) {
        std::fprintf(stderr, "make-performance-file: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
