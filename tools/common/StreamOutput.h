#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

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
    std::optional<std::string> failure;
};

}  // namespace Quorvel::Tools
