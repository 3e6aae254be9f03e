#include "CsvStream.h"

#include <cstring>

namespace Quorvel::Summary {

namespace {

const char* findByte(const char* first, const char* last, char byte) {
    return first >= last ? nullptr
                         : static_cast<const char*>(
                               std::memchr(first, byte, static_cast<std::size_t>(last - first)));
}

}  // namespace

CsvStream::CsvStream(ByteSource& source) : input(source), buffer(kChunkBytes) {}

bool CsvStream::fill() {
    if (endOfFile) {
        return false;
    }
    if (begin > 0) {
        std::memmove(buffer.data(), buffer.data() + begin, end - begin);
        consumed += begin;
        end -= begin;
        begin = 0;
    }
    if (end == buffer.size()) {
        buffer.resize(buffer.size() * 2);
    }
    const std::size_t count = input.read(buffer.data() + end, buffer.size() - end);
    end += count;
    endOfFile = count == 0;
    return count != 0;
}

std::string_view CsvStream::head() {
    while (end - begin < kChunkBytes && fill()) {
    }
    return {buffer.data() + begin, end - begin};
}

bool CsvStream::next(CsvRecordView& record) {
    record.line = line;
    record.fields.clear();
    record.malformed = false;
    record.tooLong = false;

    // Find the end of the line; most records are one line without quotes.
    const char* lineFeed = nullptr;
    std::size_t searched = begin;
    while ((lineFeed = findByte(buffer.data() + searched, buffer.data() + end, '\n')) == nullptr) {
        if (end - begin > kMaxRecordBytes) {
            skipLongRecord(record);
            return true;
        }
        searched = end - begin;  // relative: fill() moves the bytes
        if (!fill()) {
            break;
        }
        searched += begin;
    }
    if (begin == end) {
        return false;
    }
    const char* first = buffer.data() + begin;
    const char* last = lineFeed != nullptr ? lineFeed : buffer.data() + end;
    if (static_cast<std::size_t>(last - first) > kMaxRecordBytes) {
        skipLongRecord(record);
        return true;
    }
    if (findByte(first, last, '"') != nullptr) {
        return nextQuoted(record);
    }

    const char* lineEnd = last;
    if (lineEnd > first && lineEnd[-1] == '\r' && lineFeed != nullptr) {
        --lineEnd;
    }
    for (const char* field = first;;) {
        const char* comma = findByte(field, lineEnd, ',');
        if (comma == nullptr) {
            record.fields.emplace_back(field, static_cast<std::size_t>(lineEnd - field));
            break;
        }
        record.fields.emplace_back(field, static_cast<std::size_t>(comma - field));
        field = comma + 1;
    }
    begin = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - buffer.data()) + 1 : end;
    ++line;
    return true;
}

// True when a byte is available at `at`, reading more if needed; `at` follows the
// bytes when fill() moves them.
bool CsvStream::available(std::size_t& at) {
    while (at == end) {
        const std::size_t offset = at - begin;
        if (!fill()) {
            return false;
        }
        at = begin + offset;
    }
    return true;
}

// The record holds a quote: walk it byte by byte, across line feeds inside quotes,
// copying the fields' text into `unquoted`.
bool CsvStream::nextQuoted(CsvRecordView& record) {
    unquoted.clear();
    fieldEnds.clear();
    std::size_t fieldStart = 0;
    bool quoted = false;
    bool afterClosingQuote = false;
    std::size_t linesInside = 0;
    std::size_t at = begin;
    while (available(at)) {
        if (at - begin > kMaxRecordBytes) {
            line += linesInside;
            skipLongRecord(record);
            return true;
        }
        const char c = buffer[at++];
        if (quoted) {
            if (c != '"') {
                linesInside += c == '\n' ? 1 : 0;
                unquoted.push_back(c);
            } else if (available(at) && buffer[at] == '"') {
                unquoted.push_back('"');
                ++at;
            } else {
                quoted = false;
                afterClosingQuote = true;
            }
            continue;
        }
        if (c == '\n') {
            break;
        }
        if (c == '\r' && available(at) && buffer[at] == '\n') {
            continue;  // the CR of a CR LF line end
        }
        if (c == ',') {
            fieldEnds.push_back(unquoted.size());
            fieldStart = unquoted.size();
            afterClosingQuote = false;
        } else if (c == '"' && unquoted.size() == fieldStart && !afterClosingQuote) {
            quoted = true;
        } else {
            record.malformed = record.malformed || afterClosingQuote;
            unquoted.push_back(c);
        }
    }
    record.malformed = record.malformed || quoted;
    fieldEnds.push_back(unquoted.size());
    std::size_t from = 0;
    for (std::size_t to : fieldEnds) {
        record.fields.emplace_back(unquoted.data() + from, to - from);
        from = to;
    }
    begin = at;
    line += 1 + linesInside;
    return true;
}

// Drops bytes up to and including the next line feed.
void CsvStream::skipLongRecord(CsvRecordView& record) {
    record.tooLong = true;
    record.fields.clear();
    for (;;) {
        const char* lineFeed = findByte(buffer.data() + begin, buffer.data() + end, '\n');
        if (lineFeed != nullptr) {
            begin = static_cast<std::size_t>(lineFeed - buffer.data()) + 1;
            break;
        }
        consumed += end;
        begin = end = 0;
        if (!fill()) {
            break;
        }
    }
    ++line;
}

}  // namespace Quorvel::Summary
