#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "TempDir.h"

namespace QuorvelTest {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs `program arguments` through the shell, its output captured in `folder`.
inline ProgramRun runProgram(const std::string& program, const std::string& arguments,
                             const TempDir& folder) {
    const auto out = folder / "stdout.txt";
    const auto err = folder / "stderr.txt";
    const std::string command = "\"" + program + "\" " + arguments + " >\"" + out.string() +
                                "\" 2>\"" + err.string() + "\"";
    const int status = std::system(command.c_str());
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

}  // namespace QuorvelTest
