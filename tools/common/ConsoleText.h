#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace Quorvel::Tools {

// UTF-8 to UTF-16 a piece at a time, as text reaches a stream in writes of any size: a
// sequence cut between two pieces is held back until its rest comes; a byte that
// cannot start or continue a sequence becomes U+FFFD, as does a sequence cut short by
// one that starts anew.
class Utf8ToUtf16 {
  public:
    std::u16string convert(std::string_view piece);

  private:
    void decode(std::string_view bytes, std::size_t& at, std::u16string& out);
    std::string held;  // the start of a sequence whose rest has not come yet
};

// Text to the console window when `handle` (a Windows console handle) is one: through
// the console's wide-character call, so that names in any script and the dash of a
// verdict show right whatever the console's code page; the narrow C runtime output
// would show them as that code page's characters. False when the write failed.
class ConsoleWriter {
  public:
    explicit ConsoleWriter(void* consoleHandle) : handle(consoleHandle) {}
    bool write(std::string_view utf8);

  private:
    void* handle;
    Utf8ToUtf16 decoder;
};

// Writes UTF-8 `text` to `stream` (standard output or error): through a ConsoleWriter
// when the stream is a Windows console, the bytes unchanged otherwise (a file, a pipe,
// any other system). False when the write failed.
bool writeText(std::FILE* stream, std::string_view text);

// Sends std::cout and std::cerr through writeText, so that what a program prints on
// them reaches a console the same way. Called once at start (by useUtf8Console).
void routeStandardStreams();

}  // namespace Quorvel::Tools
