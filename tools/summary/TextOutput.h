#pragma once

#include <string_view>

namespace Quorvel::Summary {

// Where a report's text goes: standard output or a file being written. Writers
// remember a failure instead of throwing; the owner checks it when done.
class TextOutput {
  public:
    virtual ~TextOutput() = default;
    virtual void write(std::string_view text) = 0;
};

}  // namespace Quorvel::Summary
