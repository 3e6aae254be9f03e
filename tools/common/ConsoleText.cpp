#include "ConsoleText.h"

#include <algorithm>
#include <iostream>
#include <streambuf>

#if defined(_WIN32)
#include <windows.h>
// after windows.h, which it needs
#include <io.h>
#endif

namespace Quorvel::Tools {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// The length of the sequence `lead` starts, 0 when it cannot start one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// The bytes that may follow `lead` as the sequence's second: no overlong forms, no
// surrogates, nothing above U+10FFFF.
struct ByteRange {
    unsigned char low;
    unsigned char high;
    bool holds(unsigned char byte) const { return byte >= low && byte <= high; }
};
ByteRange secondBytes(unsigned char lead) {
    return {static_cast<unsigned char>(lead == 0xE0   ? 0xA0
                                       : lead == 0xF0 ? 0x90
                                                      : 0x80),
            static_cast<unsigned char>(lead == 0xED   ? 0x9F
                                       : lead == 0xF4 ? 0x8F
                                                      : 0xBF)};
}

void append(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

}  // namespace

// Decodes the sequence at `at`, moving past it; leaves `at` where it was when the
// bytes end inside a sequence that is valid so far.
void Utf8ToUtf16::decode(std::string_view bytes, std::size_t& at, std::u16string& out) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = sequenceLength(lead);
    if (length == 0) {
        out.push_back(kReplacement);
        ++at;
        return;
    }
    const unsigned payload = length == 1 ? 0xFFU : 0xFFU >> (length + 1);  // the lead's own bits
    char32_t code = lead & payload;
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i == bytes.size()) {
            return;  // the rest comes with the next piece
        }
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if ((i == 1 && !secondBytes(lead).holds(next)) || (next & 0xC0) != 0x80) {
            out.push_back(kReplacement);
            at += i;
            return;
        }
        code = (code << 6) | (next & 0x3FU);
    }
    append(out, code);
    at += length;
}

std::u16string Utf8ToUtf16::convert(std::string_view piece) {
    const std::string bytes = held + std::string(piece);
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t before = at;
        decode(bytes, at, out);
        if (at == before) {
            break;
        }
    }
    held = bytes.substr(at);
    return out;
}

bool ConsoleWriter::write(std::string_view utf8) {
#if defined(_WIN32)
    const std::u16string text = decoder.convert(utf8);
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 8192));
        if (!WriteConsoleW(static_cast<HANDLE>(handle),
                           reinterpret_cast<const wchar_t*>(text.data() + done), chunk, &written,
                           nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
#else
    static_cast<void>(handle);
    static_cast<void>(utf8);
    return false;
#endif
}

namespace {

#if defined(_WIN32)
// The console writer of standard output or error, when that stream is a console.
ConsoleWriter* consoleOf(std::FILE* stream) {
    const auto find = [](std::FILE* s) -> ConsoleWriter* {
        const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(s)));
        DWORD mode = 0;
        if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
            return nullptr;
        }
        return new ConsoleWriter(handle);  // kept for the program's life, exit included
    };
    static ConsoleWriter* const output = find(stdout);
    static ConsoleWriter* const error = find(stderr);
    return stream == stdout ? output : stream == stderr ? error : nullptr;
}

// A stream buffer that hands what it holds to writeText.
class TextStreamBuffer : public std::streambuf {
  public:
    explicit TextStreamBuffer(std::FILE* target) : stream(target) {
        setp(buffer, buffer + sizeof buffer);
    }

  protected:
    int_type overflow(int_type c) override {
        if (!flushBuffer()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return flushBuffer() ? 0 : -1; }

  private:
    bool flushBuffer() {
        const auto size = static_cast<std::size_t>(pptr() - pbase());
        setp(buffer, buffer + sizeof buffer);
        return size == 0 || writeText(stream, std::string_view(pbase(), size));
    }

    std::FILE* stream;
    char buffer[4096];
};
#endif

}  // namespace

bool writeText(std::FILE* stream, std::string_view text) {
#if defined(_WIN32)
    if (ConsoleWriter* console = consoleOf(stream)) {
        std::fflush(stream);  // what went out narrow before comes first
        return console->write(text);
    }
#endif
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

void routeStandardStreams() {
#if defined(_WIN32)
    // Kept for the program's life: the streams flush at exit, after static objects go.
    if (consoleOf(stdout) != nullptr) {
        std::cout.rdbuf(new TextStreamBuffer(stdout));
    }
    if (consoleOf(stderr) != nullptr) {
        std::cerr.rdbuf(new TextStreamBuffer(stderr));
    }
#endif
}

}  // namespace Quorvel::Tools
