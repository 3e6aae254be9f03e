#pragma once

// How the tools fail: every failure the user can cause or meet (an input that is not
// usable, wrong options, an output that cannot be written) is a Failure, thrown where
// it is found and caught where the work can go on without it (the next input, the next
// output) or at the program's top, where its kind gives the exit status. Any other
// exception is a fault of the tool itself: an internal error, with a status of its own.

#include <stdexcept>
#include <string>

namespace Quorvel::Tools {

enum class FailureKind {
    Input,   // an input cannot be used (named, with what is wrong)
    Usage,   // wrong options or arguments, or a scenario that cannot be used
    Output,  // an output cannot be written
};

class Failure : public std::runtime_error {
  public:
    // `message` names the file or option and what is wrong, ready to be shown.
    Failure(FailureKind kind, const std::string& message)
        : std::runtime_error(message), failureKind(kind) {}
    FailureKind kind() const { return failureKind; }

  private:
    FailureKind failureKind;
};

// The exit statuses of the tools, as their --help and the README list them.
inline constexpr int kExitOk = 0;
// quorvel-report: an input is not a usable performance file. quorvel-sim: the session
// could not be played (the module did not load, a folder could not be made).
inline constexpr int kExitUnusableInput = 1;
// Wrong options or arguments; quorvel-sim: a scenario that cannot be used.
inline constexpr int kExitUsage = 2;
// quorvel-report: an output could not be written. quorvel-sim: rows the plugin
// collected did not reach a file.
inline constexpr int kExitOutputFailed = 3;
// A fault of the tool itself, not of its inputs: worth reporting.
inline constexpr int kExitInternalError = 4;
// quorvel-sim: stopped by a signal (128 + its number), after the session was ended
// as the host ends it and the summary printed.
inline constexpr int kExitInterruptedBase = 128;

constexpr int exitStatusOf(FailureKind kind) {
    switch (kind) {
        case FailureKind::Input:
            return kExitUnusableInput;
        case FailureKind::Usage:
            return kExitUsage;
        case FailureKind::Output:
            return kExitOutputFailed;
    }
    return kExitInternalError;
}

}  // namespace Quorvel::Tools
