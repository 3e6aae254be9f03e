#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "TextOutput.h"

namespace Quorvel::Tools {

// Text to an open C stream (standard output), with every failure remembered: a full
// disk or a closed pipe must not pass for success.
class StreamOutput : public Summary::TextOutput {
  public:
    StreamOutput(std::FILE* output, std::string name);
    void write(std::string_view text) override;
    // Flushes; the error, if any write or the flush failed.
    std::optional<std::string> finish();

  private:
    std::FILE* stream;
    std::string streamName;
    std::optional<std::string> failure;
};

}  // namespace Quorvel::Tools
