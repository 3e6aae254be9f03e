#include "CsvReader.h"

namespace Quorvel::Summary {

bool CsvReader::next(CsvRecord& record) {
    if (position >= text.size()) {
        return false;
    }
    record.line = line;
    record.fields.assign(1, std::string());
    record.malformed = false;
    bool quoted = false;
    bool afterClosingQuote = false;
    while (position < text.size()) {
        const char c = text[position++];
        if (quoted) {
            if (c == '"') {
                if (position < text.size() && text[position] == '"') {
                    record.fields.back().push_back('"');
                    ++position;
                } else {
                    quoted = false;
                    afterClosingQuote = true;
                }
            } else {
                line += c == '\n' ? 1 : 0;
                record.fields.back().push_back(c);
            }
            continue;
        }
        if (c == '\n' || (c == '\r' && position < text.size() && text[position] == '\n')) {
            position += c == '\r' ? 1 : 0;
            ++line;
            return true;
        }
        if (c == ',') {
            record.fields.emplace_back();
            afterClosingQuote = false;
        } else if (c == '"' && record.fields.back().empty() && !afterClosingQuote) {
            quoted = true;
        } else {
            record.malformed = record.malformed || afterClosingQuote;
            record.fields.back().push_back(c);
        }
    }
    record.malformed = record.malformed || quoted;
    return true;
}

}  // namespace Quorvel::Summary
