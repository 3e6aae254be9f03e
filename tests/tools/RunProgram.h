#pragma once

// Running the tools as a user does, in a folder of the test's own (where a program
// leaves what it writes by default), their output captured in files: through the shell
// on Linux, through CreateProcessW (the command line in UTF-16) on Windows.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "PathText.h"
#include "TempDir.h"
#include "TextConversion.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace QuorvelTest {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// A path as UTF-8 text.
inline std::string utf8(const std::filesystem::path& path) {
    return Quorvel::Platform::displayPath(path);
}

// A path as one argument of a command line.
inline std::string shellQuoted(const std::filesystem::path& path) {
    std::string quoted(1, '"');
    return quoted.append(utf8(path)).append(1, '"');
}

#if defined(_WIN32)

inline std::wstring wide(const std::string& text) {
    return Quorvel::Platform::wideFromUtf8(text);
}

inline HANDLE inheritableFile(const std::filesystem::path& file, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// `before` (shell text) is a Linux-only means; tests that need it do not run here.
inline ProgramRun runProgram(const std::string& program, const std::string& arguments,
                             const TempDir& folder, const std::string& = "",
                             const std::filesystem::path& outputTo = {}) {
    const auto out = outputTo.empty() ? folder / "stdout.txt" : outputTo;
    const auto err = folder / "stderr.txt";
    std::wstring commandLine = wide("\"" + program + "\" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = inheritableFile(out, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = inheritableFile(err, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    ProgramRun run;
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, folder.path().c_str(), &startup, &process) != 0;
    const DWORD startError = started ? 0 : GetLastError();
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.exitCode = static_cast<int>(code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        CloseHandle(handle);
    }
    run.out = outputTo.empty() ? readFile(out) : std::string();
    run.err = readFile(err);
    if (!started) {
        // Says why in the failing test's output, where a status of -1 alone would not.
        run.err += "(the test could not start " + program + ": error " +
                   std::to_string(startError) + ")\n";
    }
    return run;
}

#else

// Runs `program arguments` through the shell, its output captured in `folder`.
// `before` is shell text run first in the same shell (a ulimit, say); standard output
// goes to `outputTo` instead when one is given.
inline ProgramRun runProgram(const std::string& program, const std::string& arguments,
                             const TempDir& folder, const std::string& before = "",
                             const std::filesystem::path& outputTo = {}) {
    const auto out = outputTo.empty() ? folder / "stdout.txt" : outputTo;
    const auto err = folder / "stderr.txt";
    const std::string command = before + "cd " + shellQuoted(folder.path()) + " && exec \"" +
                                program + "\" " + arguments + " >" + shellQuoted(out) + " 2>" +
                                shellQuoted(err) + " </dev/null";
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
        const std::string command = "cd " + shellQuoted(folder.path()) + " && exec \"" + program +
                                    "\" " + arguments + " >" + shellQuoted(out) + " 2>" +
                                    shellQuoted(err);
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

#endif

// The report and the simulator as the tests run them (`before`: as for runProgram).
inline ProgramRun runReport(const std::string& arguments, const TempDir& folder,
                            const std::string& before = "") {
    return runProgram(QUORVEL_REPORT_PATH, arguments, folder, before);
}
inline ProgramRun runSim(const std::string& arguments, const TempDir& folder) {
    return runProgram(QUORVEL_SIM_PATH, arguments, folder);
}

}  // namespace QuorvelTest
