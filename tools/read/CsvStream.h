#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ByteSource.h"

namespace Quorvel::Read {

// One record; its views stay valid until the next call to CsvStream::next.
struct CsvRecord {
    std::uint64_t offset = 0;  // where the record starts in the input, in bytes
    std::size_t line = 0;      // line where the record starts, from 1
    std::size_t lastLine = 0;  // line where it ends (quoted line breaks span lines)
    // A record without quotes is handed over as its line, without the line end, for
    // the caller to split (most are; splitting while parsing is faster). A record with
    // quotes comes split into `fields`, unquoted. The byte after `text` can be read: it
    // is a line end, so a scan for digits stops there without checking the length.
    std::string_view text;
    bool split = false;
    std::vector<std::string_view> fields;
    bool malformed = false;  // a quote left open, or text after a closing quote
    bool tooLong = false;    // longer than kMaxRecordBytes; neither text nor fields kept
    bool abandoned = false;  // too long, and skipping it went past the skip limit

    // The fields, splitting `text` at commas if it was not split.
    const std::vector<std::string_view>& splitFields();
};

// Where reading an input takes up again: the start of a row read before (line 0: none).
struct ResumeAt {
    std::uint64_t offset = 0;
    std::size_t line = 0;
};

// Reads RFC 4180 records from a source in chunks: fields quoted with double quotes (a
// doubled quote inside stands for one, line breaks inside are kept), records ended
// by LF, CR LF, or the end of the input (a last CR included). Memory is a chunk plus
// the longest record, capped: a record longer than kMaxRecordBytes is skipped to the
// end of its line and marked tooLong.
class CsvStream {
  public:
    // `source` is read from where it stands, which is byte `at.offset` of the input, at
    // the start of line `at.line`.
    explicit CsvStream(ByteSource& source, ResumeAt at = {.offset = 0, .line = 1});

    // False at the end of the input. Read errors throw a Failure (Input).
    bool next(CsvRecord& record);
    // The same, faster for a caller that scans the line itself: a line is handed over
    // unsplit without looking for quotes in it; a caller that finds one calls
    // rereadQuoted().
    bool nextLine(CsvRecord& record);
    // Reads the record just returned again as a quoted one, which may span lines.
    void rereadQuoted(CsvRecord& record);
    // A quoted record just read that spanned lines is taken as its first line alone
    // (a stray quote must not swallow the rows after it); reading goes on at the next
    // line. The record keeps that line's text, unsplit, marked malformed.
    void keepFirstLine(CsvRecord& record);

    // Bytes consumed so far, for progress.
    std::uint64_t position() const { return consumed + begin; }
    // A record too long to keep is skipped to its line's end, however far; with a limit,
    // skipping stops once the input's position passes it and the record is abandoned
    // (a file of binary data need not be read to its end to be told).
    void limitSkipping(std::uint64_t position) { skipLimit = position; }

    // The first bytes of the input (up to a chunk), read before any record.
    std::string_view head();

    static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
    static constexpr std::size_t kMaxRecordBytes = std::size_t{4} << 20;

  private:
    // Reads more bytes after `end`, moving what is unread to the front (and growing
    // the buffer when it is full); false at the end of the input.
    bool fill();
    bool available(std::size_t& at);
    const char* findLineEnd();
    bool nextQuoted(CsvRecord& record);
    void skipLongRecord(CsvRecord& record);

    ByteSource& input;
    std::vector<char> buffer;
    std::size_t begin = 0;        // first unread byte
    std::size_t recordBegin = 0;  // where the last record began
    std::size_t end = 0;          // end of the bytes read
    bool endOfInput = false;
    std::uint64_t consumed = 0;  // bytes dropped from the front of the buffer
    std::uint64_t skipLimit = UINT64_MAX;
    std::size_t line = 1;
    std::string unquoted;  // the fields of a quoted record, one after another
    std::vector<std::size_t> fieldEnds;
};

}  // namespace Quorvel::Read
