#include "CsvStream.h"

#include <cstring>

namespace Quorvel::Read {

namespace {

const char* findByte(const char* first, const char* last, char byte) {
    return first >= last ? nullptr
                         : static_cast<const char*>(
                               std::memchr(first, byte, static_cast<std::size_t>(last - first)));
}

}  // namespace

const std::vector<std::string_view>& CsvRecord::splitFields() {
    if (split) {
        return fields;
    }
    fields.clear();
    const char* const last = text.data() + text.size();
    for (const char* field = text.data();;) {
        const char* comma = findByte(field, last, ',');
        if (comma == nullptr) {
            fields.emplace_back(field, static_cast<std::size_t>(last - field));
            break;
        }
        fields.emplace_back(field, static_cast<std::size_t>(comma - field));
        field = comma + 1;
    }
    split = true;
    return fields;
}

// One byte more than the chunk: the stop byte after the data (see CsvRecord::text).
CsvStream::CsvStream(ByteSource& source, ResumeAt at)
    : input(source), buffer(kChunkBytes + 1, '\n'), consumed(at.offset), line(at.line) {}

bool CsvStream::fill() {
    if (endOfInput) {
        return false;
    }
    if (begin > 0) {
        std::memmove(buffer.data(), buffer.data() + begin, end - begin);
        consumed += begin;
        end -= begin;
        begin = 0;
    }
    if (end == buffer.size() - 1) {
        buffer.resize(2 * (buffer.size() - 1) + 1);
    }
    const std::size_t count = input.read(buffer.data() + end, buffer.size() - 1 - end);
    end += count;
    buffer[end] = '\n';
    endOfInput = count == 0;
    return count != 0;
}

std::string_view CsvStream::head() {
    while (end - begin < kChunkBytes && fill()) {
    }
    return {buffer.data() + begin, end - begin};
}

// The next line feed after `begin`, reading more as needed; null when the input ends
// first or the line grows past the cap (then end - begin > kMaxRecordBytes).
const char* CsvStream::findLineEnd() {
    std::size_t searched = begin;
    for (;;) {
        if (const char* lineFeed = findByte(buffer.data() + searched, buffer.data() + end, '\n')) {
            return lineFeed;
        }
        if (end - begin > kMaxRecordBytes) {
            return nullptr;
        }
        searched = end - begin;  // relative: fill() moves the bytes
        if (!fill()) {
            return nullptr;
        }
        searched += begin;
    }
}

bool CsvStream::next(CsvRecord& record) {
    if (!nextLine(record)) {
        return false;
    }
    if (!record.split && !record.tooLong && record.text.find('"') != std::string_view::npos) {
        rereadQuoted(record);
    }
    return true;
}

bool CsvStream::nextLine(CsvRecord& record) {
    record.line = line;
    record.text = {};
    record.split = false;
    record.fields.clear();
    record.malformed = false;
    record.tooLong = false;
    record.abandoned = false;

    const char* lineFeed = findLineEnd();
    if (begin == end) {
        return false;
    }
    const char* first = buffer.data() + begin;
    const char* last = lineFeed != nullptr ? lineFeed : buffer.data() + end;
    if (static_cast<std::size_t>(last - first) > kMaxRecordBytes) {
        skipLongRecord(record);
        return true;
    }
    recordBegin = begin;
    record.offset = consumed + begin;
    const char* lineEnd = last > first && last[-1] == '\r' ? last - 1 : last;
    record.text = {first, static_cast<std::size_t>(lineEnd - first)};
    begin = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - buffer.data()) + 1 : end;
    record.lastLine = line++;
    return true;
}

void CsvStream::rereadQuoted(CsvRecord& record) {
    begin = recordBegin;
    line = record.line;
    record.text = {};
    record.fields.clear();
    nextQuoted(record);
}

void CsvStream::keepFirstLine(CsvRecord& record) {
    begin = recordBegin;
    const char* first = buffer.data() + begin;
    const char* lineFeed = findByte(first, buffer.data() + end, '\n');
    const char* last = lineFeed != nullptr ? lineFeed : buffer.data() + end;
    const char* lineEnd = last > first && last[-1] == '\r' ? last - 1 : last;
    record.text = {first, static_cast<std::size_t>(lineEnd - first)};
    record.fields.clear();
    record.split = false;
    record.malformed = true;
    record.lastLine = record.line;
    begin = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - buffer.data()) + 1 : end;
    line = record.line + 1;
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
bool CsvStream::nextQuoted(CsvRecord& record) {
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
        if (c == '\r' && (!available(at) || buffer[at] == '\n')) {
            continue;  // the CR of a line end
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
    record.split = true;
    recordBegin = begin;  // where the record began, after any move of the bytes
    record.offset = consumed + begin;
    begin = at;
    line += 1 + linesInside;
    record.lastLine = line - 1;
    return true;
}

// Drops bytes up to and including the next line feed.
void CsvStream::skipLongRecord(CsvRecord& record) {
    record.tooLong = true;
    for (;;) {
        const char* lineFeed = findByte(buffer.data() + begin, buffer.data() + end, '\n');
        if (lineFeed != nullptr) {
            begin = static_cast<std::size_t>(lineFeed - buffer.data()) + 1;
            break;
        }
        consumed += end;
        begin = end = 0;
        if (consumed > skipLimit) {
            record.abandoned = true;
            break;
        }
        if (!fill()) {
            break;
        }
    }
    record.lastLine = line++;
}

}  // namespace Quorvel::Read
