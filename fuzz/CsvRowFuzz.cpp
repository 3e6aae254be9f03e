// Any texts and any statistics make a row that a strict RFC 4180 reader parses back
// into exactly 15 fields: the original texts and the rounded numbers.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "CsvRow.h"
#include "CsvStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::string texts[5];
    for (std::string& text : texts) {
        text = input.ConsumeRandomLengthString(64);
    }
    const auto playlist = input.ConsumeIntegral<std::int32_t>();
    float values[9];
    for (float& value : values) {
        value = input.ConsumeFloatingPoint<float>();
        if (input.ConsumeBool()) {
            std::uint32_t bits = input.ConsumeIntegral<std::uint32_t>();  // NaNs and infinities too
            std::memcpy(&value, &bits, sizeof value);
        }
    }
    const Quorvel::RowStatistics statistics{values[0], values[1], values[2], values[3], values[4],
                                            values[5], values[6], values[7], values[8]};
    std::string row;
    Quorvel::appendCsvRow(row, {texts[0], texts[1], texts[2], texts[3], texts[4]}, playlist,
                          statistics);

    Quorvel::Summary::MemorySource source(row, "row");
    Quorvel::Summary::CsvStream reader(source);
    Quorvel::Summary::CsvRecordView record;
    if (!reader.next(record) || record.malformed || record.fields.size() != 15 ||
        reader.next(record)) {
        std::abort();
    }
    for (int i = 0; i < 5; ++i) {
        if (record.fields[static_cast<std::size_t>(i)] != texts[i]) {
            std::abort();
        }
    }
    if (record.fields[5] != std::to_string(playlist)) {
        std::abort();
    }
    for (int i = 0; i < 9; ++i) {
        if (record.fields[static_cast<std::size_t>(6 + i)] !=
            std::to_string(Quorvel::roundStatistic(values[i]))) {
            std::abort();
        }
    }
    return 0;
}
