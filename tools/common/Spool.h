#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "Failure.h"
#include "TextOutput.h"

namespace Quorvel::Tools {

// Text kept back until what must come before it is known (a conclusion drawn from all
// matches, printed above them): in memory up to kMemoryBytes, then in a temporary file
// of its own, removed when the spool goes, so memory stays bounded however long the
// text grows.
class Spool : public TextOutput {
  public:
    Spool() = default;
    ~Spool() override;
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    void write(std::string_view text) override;
    // Writes everything kept to `out` and empties the spool. Throws a Failure (Output)
    // when the temporary file could not be made, written or read.
    void moveTo(TextOutput& out);

    static constexpr std::size_t kMemoryBytes = std::size_t{1} << 20;

  private:
    void spill();

    std::string memory;
    std::FILE* file = nullptr;
    std::optional<Failure> failure;  // the first step that failed, told at moveTo()
};

}  // namespace Quorvel::Tools
