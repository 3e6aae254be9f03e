#include "SkippedRows.h"

namespace Quorvel::Read {

void SkippedRows::add(std::size_t firstLine, std::size_t lastLine, const std::string& what) {
    ++total;
    if (messages.size() < kListed) {
        messages.push_back("line " + std::to_string(firstLine) + ": " + what);
    }
    if (!ranges.empty() && ranges.back().second + 1 >= firstLine) {
        ranges.back().second = lastLine;
    } else if (ranges.size() < kRangesKept) {
        ranges.emplace_back(firstLine, lastLine);
    } else {
        moreRanges = true;
    }
}

void SkippedRows::addBinary(std::size_t line, const std::string& what) {
    add(line, line, what);
    ++binary;
}

void SkippedRows::append(const SkippedRows& later) {
    total += later.total;
    binary += later.binary;
    for (const std::string& message : later.messages) {
        if (messages.size() < kListed) {
            messages.push_back(message);
        }
    }
    for (const auto& [first, last] : later.ranges) {
        if (!ranges.empty() && ranges.back().second + 1 >= first) {
            ranges.back().second = last;
        } else if (ranges.size() < kRangesKept) {
            ranges.emplace_back(first, last);
        } else {
            moreRanges = true;
        }
    }
    moreRanges = moreRanges || later.moreRanges;
}

std::string SkippedRows::lineRanges() const {
    std::string text;
    for (const auto& [first, last] : ranges) {
        text += (text.empty() ? "" : ", ") + std::to_string(first);
        if (last != first) {
            text += "\u2013" + std::to_string(last);
        }
    }
    return moreRanges ? text + ", \u2026" : text;
}

}  // namespace Quorvel::Read
