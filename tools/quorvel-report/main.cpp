// quorvel-report: what happened in each match of one or more performance files, as a
// table, as JSON, as a per-match CSV, or as an HTML page with charts.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>

#include "AtomicFile.h"
#include "CommandLine.h"
#include "Desktop.h"
#include "DisplayText.h"
#include "ExitStatus.h"
#include "HtmlReport.h"
#include "InputError.h"
#include "JsonReport.h"
#include "ParseArguments.h"
#include "Progress.h"
#include "Report.h"
#include "StandardOutput.h"
#include "SummaryCsv.h"
#include "TableReport.h"

namespace {

using namespace Quorvel::Tools;
using Quorvel::Summary::displayPath;

constexpr std::size_t kProblemsListed = 20;

const char* const kExitStatuses =
    "Exit status:\n"
    "  0  the report was written\n"
    "  1  an input is not a usable performance file (it is named, with what is wrong)\n"
    "  2  wrong options or arguments\n"
    "  3  an output could not be written (standard output included)\n";

void complain(const std::string& message) {
    std::fprintf(stderr, "quorvel-report: %s\n", message.c_str());
}

struct Options {
    std::vector<std::string> inputs;  // UTF-8
    std::string html;
    std::string summaryCsv;
    bool json = false;
    bool open = false;
};

// The page beside the input file: "p-performance.csv" gives "p-performance.html".
std::filesystem::path pageBeside(const std::filesystem::path& input) {
    std::filesystem::path page = input;
    return page.replace_extension(".html");
}

// Files named on the command line, and the performance files of folders named on it.
std::vector<std::filesystem::path> expandInputs(const std::vector<std::string>& arguments,
                                                std::vector<std::string>& refusals) {
    std::vector<std::filesystem::path> files;
    for (const std::string& argument : arguments) {
        const std::filesystem::path path = pathFromUtf8(argument);
        std::error_code error;
        if (!std::filesystem::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        try {
            const auto found = Quorvel::Summary::performanceFilesIn(path);
            if (found.empty()) {
                refusals.push_back(displayPath(path) + ": holds no *-performance.csv file");
            }
            files.insert(files.end(), found.begin(), found.end());
        } catch (const Quorvel::Summary::InputError& problem) {
            refusals.push_back(problem.what());
        }
    }
    return files;
}

int run(const Options& options) {
    std::vector<std::string> refusals;
    const std::vector<std::filesystem::path> inputs = expandInputs(options.inputs, refusals);

    std::filesystem::path htmlPath = pathFromUtf8(options.html);
    if (options.open && htmlPath.empty()) {
        if (inputs.size() != 1) {
            complain("--open with several inputs needs --html to name the page");
            return kExitUsage;
        }
        htmlPath = pageBeside(inputs.front());
    }
    const std::filesystem::path csvPath = pathFromUtf8(options.summaryCsv);

    // An output must never replace an input.
    const std::pair<const char*, std::filesystem::path> outputs[] = {{"--html", htmlPath},
                                                                     {"--summary-csv", csvPath}};
    for (const auto& [option, target] : outputs) {
        for (const auto& input : inputs) {
            if (!target.empty() && (target == input || sameFile(target, input))) {
                complain(std::string(option) + " " + displayPath(target) + " is the input file " +
                         displayPath(input) + "; choose another name");
                return kExitUsage;
            }
        }
    }
    if (!htmlPath.empty() && !csvPath.empty() &&
        (htmlPath == csvPath || sameFile(htmlPath, csvPath))) {
        complain("--html and --summary-csv name the same file");
        return kExitUsage;
    }

    std::unique_ptr<AtomicFile> htmlFile, csvFile;
    try {
        if (!htmlPath.empty()) {
            htmlFile = std::make_unique<AtomicFile>(htmlPath);
        }
        if (!csvPath.empty()) {
            csvFile = std::make_unique<AtomicFile>(csvPath);
        }
    } catch (const OutputError& error) {
        complain(error.what());
        return kExitOutputFailed;
    }

    StreamOutput standardOutput(stdout, "standard output");
    std::unique_ptr<Quorvel::Summary::ReportSink> screen;
    if (options.json) {
        screen = std::make_unique<QuorvelReport::JsonReport>(standardOutput, inputs);
    } else {
        screen = std::make_unique<Quorvel::Summary::TableReport>(standardOutput);
    }
    std::vector<Quorvel::Summary::ReportSink*> sinks = {screen.get()};
    std::unique_ptr<QuorvelReport::HtmlReport> page;
    std::unique_ptr<QuorvelReport::SummaryCsv> summaryCsv;
    if (htmlFile) {
        page = std::make_unique<QuorvelReport::HtmlReport>(*htmlFile, inputs);
        sinks.push_back(page.get());
    }
    if (csvFile) {
        summaryCsv = std::make_unique<QuorvelReport::SummaryCsv>(*csvFile, inputs);
        sinks.push_back(summaryCsv.get());
    }

    Progress progress("quorvel-report: reading");
    std::map<std::filesystem::path, std::size_t> problemsShown;
    Quorvel::Summary::ReportHooks hooks;
    hooks.problem = [&](const std::filesystem::path& file, std::size_t line,
                        const std::string& what) {
        if (problemsShown[file]++ < kProblemsListed) {
            progress.clear();
            complain(displayPath(file) + ": line " + std::to_string(line) + ": " + what +
                     " (skipped)");
        }
    };
    hooks.progress = [&progress](std::uint64_t done, std::uint64_t total) {
        progress.update(done, total);
    };
    const Quorvel::Summary::ReportResult result = buildReport(inputs, sinks, hooks);
    progress.clear();

    for (const auto& input : result.inputs) {
        if (input.skipped > 0) {
            complain(displayPath(input.path) + ": " + std::to_string(input.skipped) +
                     (input.skipped == 1 ? " row" : " rows") + " could not be read and " +
                     (input.skipped == 1 ? "was" : "were") + " skipped" +
                     (input.skipped > kProblemsListed
                          ? " (the first " + std::to_string(kProblemsListed) + " are listed above)"
                          : ""));
        }
    }
    for (const std::string& refusal : refusals) {
        complain(refusal);
    }
    for (const auto& input : result.inputs) {
        if (!input.usable) {
            complain(input.refusal);
        }
    }
    if (inputs.empty() && refusals.empty()) {
        complain("no input file");
        return kExitUnusableInput;
    }

    int status = refusals.empty() && result.allUsable() ? kExitOk : kExitUnusableInput;
    if (result.matches == 0) {
        return kExitUnusableInput;  // nothing to show: the outputs are discarded
    }
    for (AtomicFile* file : {htmlFile.get(), csvFile.get()}) {
        if (file == nullptr) {
            continue;
        }
        if (const auto failure = file->commit()) {
            complain(*failure);
            status = kExitOutputFailed;
        } else {
            std::fprintf(stderr, "quorvel-report: wrote %s\n", displayPath(file->target()).c_str());
        }
    }
    if (const auto failure = standardOutput.finish()) {
        complain(*failure);
        status = kExitOutputFailed;
    }
    if (options.open && htmlFile && status != kExitOutputFailed) {
        std::fprintf(stderr, "quorvel-report: opening %s in the browser\n",
                     displayPath(htmlFile->target()).c_str());
        if (const auto failure = openWithDefaultProgram(htmlFile->target())) {
            complain("cannot open " + displayPath(htmlFile->target()) + ": " + *failure);
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    useUtf8Console();
    const Utf8Arguments arguments(argc, argv);
    CLI::App app{
        "Summarizes each match of Quorvel performance files: when it was, how long, the "
        "server, ping, jitter, latency, packet loss, FPS and input buffer, what went wrong "
        "and when, and a per-server table."};
    app.footer(kExitStatuses);
    Options options;
    app.add_option("inputs", options.inputs,
                   "<userId>-performance.csv files, or folders holding them")
        ->required();
    app.add_flag("--json", options.json, "Print JSON instead of the table");
    app.add_option("--html", options.html,
                   "Also write a self-contained HTML page with charts to this file");
    app.add_option("--summary-csv", options.summaryCsv,
                   "Also write one CSV row per match to this file");
    app.add_flag("--open", options.open,
                 "Write the page (beside the input as <name>.html unless --html names it) and "
                 "open it in the default browser");
    if (const auto done = parseArguments(app, arguments, "quorvel-report")) {
        return *done;
    }
    // A file dropped on the program in Explorer: its page beside it, opened in the
    // browser, and the window kept open so that any message can be read.
    const bool dropped = hasConsoleOfItsOwn() && arguments.count() == 2;
    options.open = options.open || dropped;
    int status = kExitUnusableInput;
    try {
        status = run(options);
    } catch (const std::bad_alloc&) {
        complain("out of memory");
    } catch (const std::exception& error) {
        complain(std::string("unexpected error: ") + error.what());
    }
    if (dropped) {
        waitForKeyBeforeClosing();
    }
    return status;
}
