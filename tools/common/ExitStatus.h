#pragma once

// The exit statuses of the tools, as their --help and the README list them.
namespace Quorvel::Tools {

inline constexpr int kExitOk = 0;
// quorvel-report: an input is not a usable performance file. quorvel-sim: the
// session could not be played (the module did not load, a folder could not be made).
inline constexpr int kExitUnusableInput = 1;
// Wrong options or arguments; quorvel-sim: a scenario that cannot be used.
inline constexpr int kExitUsage = 2;
// quorvel-report: an output could not be written. quorvel-sim: the plugin could not
// write its file, so rows did not reach it.
inline constexpr int kExitOutputFailed = 3;
// quorvel-sim: stopped by Ctrl-C or SIGTERM (128 + the signal's number), after the
// session was ended as the host ends it and the summary printed.
inline constexpr int kExitInterruptedBase = 128;

}  // namespace Quorvel::Tools
