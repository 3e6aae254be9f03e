#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "Failure.h"
#include "TextOutput.h"

namespace Quorvel::Tools {

// Text to an open C stream (standard output), through writeText (a console gets it in
// wide characters), with every failure remembered: a full disk or a closed pipe must
// not pass for success.
class StreamOutput : public TextOutput {
  public:
    StreamOutput(std::FILE* output, std::string name);
    void write(std::string_view text) override;
    // Flushes; throws a Failure (Output) when a write or the flush failed.
    void finish();

  private:
    std::FILE* stream;
    std::string streamName;
    // A Failure (Output) naming the stream, with why it cannot be written.
    Failure cannotWrite(const std::string& why) const;

    std::optional<Failure> failure;  // the first write that failed, told at finish()
};

}  // namespace Quorvel::Tools
