#pragma once

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "TempDir.h"

namespace QuorvelTest {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

// Runs `program arguments` through the shell, its output captured in `folder`.
// `before` is shell text run first in the same shell (a ulimit, say); standard output
// goes to `outputTo` instead when one is given.
inline ProgramRun runProgram(const std::string& program, const std::string& arguments,
                             const TempDir& folder, const std::string& before = "",
                             const std::filesystem::path& outputTo = {}) {
    const auto out = outputTo.empty() ? folder / "stdout.txt" : outputTo;
    const auto err = folder / "stderr.txt";
    const std::string command = before + "exec \"" + program + "\" " + arguments + " >" +
                                shellQuoted(out) + " 2>" + shellQuoted(err);
    const int status = std::system(command.c_str());
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = outputTo.empty() ? readFile(out) : std::string();
    run.err = readFile(err);
    return run;
}

// A program running in the background, its output going to files in `folder`.
class BackgroundProgram {
  public:
    BackgroundProgram(const std::string& program, const std::string& arguments,
                      const TempDir& folder)
        : out(folder / "stdout.txt"), err(folder / "stderr.txt") {
        const std::string command = "exec \"" + program + "\" " + arguments + " >" +
                                    shellQuoted(out) + " 2>" + shellQuoted(err);
        pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // Waits until standard output holds `text`; false after `timeout`.
    bool waitForOutput(const std::string& text, std::chrono::seconds timeout) const {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            if (std::filesystem::exists(out) && readFile(out).find(text) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds{20});
        }
        return false;
    }

    // Sends `signal`, waits for the end and returns the exit status (-1 if killed).
    ProgramRun stop(int signal) {
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
    }

  private:
    std::filesystem::path out, err;
    pid_t pid = -1;
};

}  // namespace QuorvelTest
