#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Quorvel::Summary {

struct CsvRecord {
    std::size_t line = 0;  // line number where the record starts, from 1
    std::vector<std::string> fields;
    bool malformed = false;  // a quote left open or text after a closing quote
};

// Reads RFC 4180 records: fields quoted with double quotes (a doubled quote inside
// stands for one, line breaks inside are kept), records ended by LF or CR LF.
class CsvReader {
  public:
    explicit CsvReader(std::string_view csv) : text(csv) {}

    // False at the end of the text.
    bool next(CsvRecord& record);

  private:
    std::string_view text;
    std::size_t position = 0;
    std::size_t line = 1;
};

}  // namespace Quorvel::Summary
