#pragma once

#include <string_view>

namespace Quorvel::Tools {

// Where a report's text goes: standard output or a file being written. A write that
// fails is remembered, not thrown, so the other outputs go on; the owner learns of it
// when it finishes the output (a Failure of kind Output).
class TextOutput {
  public:
    virtual ~TextOutput() = default;
    virtual void write(std::string_view text) = 0;
};

}  // namespace Quorvel::Tools
