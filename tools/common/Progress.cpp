#include "Progress.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Quorvel::Tools {

bool standardErrorIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

Progress::Progress(std::string text) : label(std::move(text)), enabled(standardErrorIsTerminal()) {}

Progress::~Progress() {
    clear();
}

void Progress::update(std::uint64_t done, std::uint64_t total) {
    if (!enabled || total == 0) {
        return;
    }
    const auto now = Clock::now();
    if (now - started < std::chrono::seconds{1} ||
        now - lastShown < std::chrono::milliseconds{250}) {
        return;
    }
    lastShown = now;
    shown = true;
    std::fprintf(stderr, "\r%s: %3.0f %% (%llu of %llu MB)", label.c_str(),
                 100.0 * static_cast<double>(done) / static_cast<double>(total),
                 static_cast<unsigned long long>(done >> 20),
                 static_cast<unsigned long long>(total >> 20));
    std::fflush(stderr);
}

void Progress::clear() {
    if (shown) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        shown = false;
    }
}

}  // namespace Quorvel::Tools
