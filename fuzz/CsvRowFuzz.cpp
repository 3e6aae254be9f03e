// Any texts and any statistics make a row that a strict RFC 4180 reader parses back
// into exactly 15 fields: the original texts and the rounded numbers.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "CsvRow.h"
#include "CsvStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::string texts[5];
    for (std::string& text : texts) {
        text = input.ConsumeRandomLengthString(64);
    }
    const auto playlist = input.ConsumeIntegral<std::int32_t>();
    Quorvel::RowStatistics values;
    for (float& value : values) {
        value = input.ConsumeFloatingPoint<float>();
        if (input.ConsumeBool()) {
            std::uint32_t bits = input.ConsumeIntegral<std::uint32_t>();  // NaNs and infinities too
            std::memcpy(&value, &bits, sizeof value);
        }
    }
    std::string row;
    Quorvel::appendCsvRow(row,
                          {.timestamp = texts[0],
                           .userId = texts[1],
                           .matchGuid = texts[2],
                           .serverIp = texts[3],
                           .serverPort = texts[4]},
                          playlist, values);

    Quorvel::Read::MemorySource source(row);
    Quorvel::Read::CsvStream reader(source);
    Quorvel::Read::CsvRecord record;
    if (!reader.next(record) || record.malformed || record.splitFields().size() != 15) {
        std::abort();
    }
    const std::vector<std::string> fields(record.fields.begin(), record.fields.end());
    if (reader.next(record)) {
        std::abort();
    }
    for (int i = 0; i < 5; ++i) {
        if (fields[static_cast<std::size_t>(i)] != texts[i]) {
            std::abort();
        }
    }
    if (fields[5] != std::to_string(playlist)) {
        std::abort();
    }
    std::size_t column = 6;
    for (float value : values) {
        if (fields[column++] != std::to_string(Quorvel::roundStatistic(value))) {
            std::abort();
        }
    }
    return 0;
}
