#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "InputFile.h"

namespace Quorvel::Summary {

// One record; the views stay valid until the next call to CsvStream::next.
struct CsvRecordView {
    std::size_t line = 0;  // line where the record starts, from 1
    std::vector<std::string_view> fields;
    bool malformed = false;  // a quote left open, or text after a closing quote
    bool tooLong = false;    // longer than kMaxRecordBytes; its fields are not kept
};

// Reads RFC 4180 records from a file in chunks: fields quoted with double quotes (a
// doubled quote inside stands for one, line breaks inside are kept), records ended
// by LF or CR LF. Memory is a chunk plus the longest record, capped: a record longer
// than kMaxRecordBytes is skipped to the end of its line and marked tooLong.
class CsvStream {
  public:
    explicit CsvStream(ByteSource& source);

    // False at the end of the file. Read errors throw InputError.
    bool next(CsvRecordView& record);

    // Bytes consumed so far, for progress.
    std::uint64_t position() const { return consumed + begin; }

    // The first bytes of the file (up to a chunk), read before any record.
    std::string_view head();

    static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
    static constexpr std::size_t kMaxRecordBytes = std::size_t{4} << 20;

  private:
    // Reads more bytes after `end`, moving what is unread to the front (and growing
    // the buffer when it is full); false at the end of the file.
    bool fill();
    bool available(std::size_t& at);
    bool nextQuoted(CsvRecordView& record);
    void skipLongRecord(CsvRecordView& record);

    ByteSource& input;
    std::vector<char> buffer;
    std::size_t begin = 0;  // first unread byte
    std::size_t end = 0;    // end of the bytes read
    bool endOfFile = false;
    std::uint64_t consumed = 0;  // bytes dropped from the front of the buffer
    std::size_t line = 1;
    std::string unquoted;  // the fields of a quoted record, one after another
    std::vector<std::size_t> fieldEnds;
};

}  // namespace Quorvel::Summary
