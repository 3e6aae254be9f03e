#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "Failure.h"
#include "TextOutput.h"

namespace Quorvel::Tools {

// A file written whole or not at all: the text goes to a temporary file beside the
// target, which replaces the target only when everything was written. Until commit()
// succeeds the target is untouched; a file not committed is removed. A target that
// is a device or a pipe cannot be replaced and is written straight. A symbolic link is
// written through: the file it leads to is replaced, the link stays (a link into a
// process's own files, /dev/stdout, is written straight).
class AtomicFile : public TextOutput {
  public:
    // Creates the temporary file; throws a Failure (Output) when it cannot.
    explicit AtomicFile(std::filesystem::path target);
    ~AtomicFile() override;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void write(std::string_view text) override;
    // Flushes, closes and renames into place. On failure the target is left as it
    // was and a Failure (Output) says why.
    void commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    const std::filesystem::path& target() const { return targetPath; }

  private:
    // A Failure (Output) naming the target, with why it cannot be written.
    Failure cannotWrite(const std::string& why) const;
    // Renames the temporary file over the target; a Failure (Output) when it cannot.
    void putInPlace() const;

    std::filesystem::path targetPath;   // as named, for messages
    std::filesystem::path writtenPath;  // the file replaced: the target, or where its link leads
    std::filesystem::path temporaryPath;
    std::FILE* stream = nullptr;
    std::optional<Failure> writeFailure;  // the first write that failed, told at commit()
};

}  // namespace Quorvel::Tools
