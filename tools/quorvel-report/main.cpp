// quorvel-report: what happened in each match of one or more performance files, as a
// table, as JSON, as a per-match CSV, or as an HTML page with charts.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "AtomicFile.h"
#include "CommandLine.h"
#include "CommandWord.h"
#include "ConsoleText.h"
#include "Desktop.h"
#include "DisplayText.h"
#include "Failure.h"
#include "HtmlReport.h"
#include "InputList.h"
#include "JsonReport.h"
#include "MatchFilter.h"
#include "PagePlace.h"
#include "ParseArguments.h"
#include "PathIdentity.h"
#include "Progress.h"
#include "Report.h"
#include "StreamOutput.h"
#include "SummaryCsv.h"
#include "TableReport.h"
#include "TerminalText.h"

namespace {

using namespace Quorvel;
using Tools::displayPath;
using Tools::Failure;
using Tools::FailureKind;

const char* const kExitStatuses =
    "Exit status:\n"
    "  0  the report was written\n"
    "  1  an input is not a usable performance file (it is named, with what is wrong)\n"
    "  2  wrong options or arguments\n"
    "  3  an output could not be written (standard output included)\n"
    "  4  an internal error of the tool (please report it)\n";

// For a player who started the program from Explorer rather than a terminal.
const char* const kAbout =
    "quorvel-report shows how your connection and frame rate went in each match you played\n"
    "with Quorvel: a table in this window, and a page with charts in your browser.\n";
const char* const kWhatToDrop =
    "Drop a <player>-performance.csv file, or the folder holding it, on quorvel-report.exe\n"
    "(players-guide.txt says where to find it).\n";

// A message on standard error; names from files and folders in it stay text.
void complain(const std::string& message) {
    Tools::writeText(stderr, "quorvel-report: " + Tools::terminalSafe(message) + "\n");
}

struct Options {
    std::vector<std::string> inputs;  // UTF-8
    std::string html;
    std::string summaryCsv;
    bool json = false;
    bool open = false;
    bool allMatches = false;
    // The matches kept, as typed.
    std::vector<std::string> matchNumbers;
    std::vector<std::string> servers;
    std::string since;
    std::string until;
};

// The options that choose matches, as the help, the messages and the page name them.
constexpr const char* kMatchOption = "--match";
constexpr const char* kServerOption = "--server";
constexpr const char* kSinceOption = "--since";
constexpr const char* kUntilOption = "--until";
constexpr const char* kAllMatchesOption = "--all-matches";
constexpr const char* kTimeForm = "\"YYYY-MM-DD HH:MM:SS\"";

Failure badValue(const char* option, const std::string& value, const std::string& why) {
    return Failure(FailureKind::Usage, std::string(option) + " \"" + value + "\": " + why);
}

std::optional<std::chrono::sys_seconds> readTime(const char* option, const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const auto time = Analysis::parseFilterTime(text);
    if (!time) {
        throw badValue(
            option, text,
            std::string("not a time; write it as ") + kTimeForm + " (UTC) or YYYY-MM-DD");
    }
    return time;
}

// The filter the options ask for; a Failure naming the option for a value that is wrong.
Analysis::MatchFilter readFilter(const Options& options) {
    Analysis::MatchFilter filter;
    for (const std::string& text : options.matchNumbers) {
        const auto number = Analysis::parseMatchNumber(text);
        if (!number) {
            throw badValue(kMatchOption, text,
                           "not a match number (the # column of the table: 1, 2, ...)");
        }
        filter.numbers.insert(*number);
    }
    for (const std::string& text : options.servers) {
        const auto server = Tools::parseTypedServer(text);
        if (!Analysis::isServerText(text) || !server) {
            throw badValue(kServerOption, text,
                           "not a server; give its IP, or IP:port ([IPv6]:port for IPv6)");
        }
        filter.servers.push_back(*server);
    }
    filter.since = readTime(kSinceOption, options.since);
    filter.until = readTime(kUntilOption, options.until);
    if (filter.since && filter.until && *filter.until <= *filter.since) {
        throw Failure(FailureKind::Usage, std::string(kUntilOption) + " \"" + options.until +
                                              "\" is not after " + kSinceOption + " \"" +
                                              options.since + "\": no match could be kept");
    }
    return filter;
}

// The filter options as typed, for messages: "--match 3 --server 1.2.3.4".
std::string filterWords(const Options& options) {
    std::string words;
    const auto add = [&words](const char* option, const std::string& value) {
        words += (words.empty() ? "" : " ") + std::string(option) + " " + Tools::shellWord(value);
    };
    for (const std::string& number : options.matchNumbers) {
        add(kMatchOption, number);
    }
    for (const std::string& server : options.servers) {
        add(kServerOption, server);
    }
    if (!options.since.empty()) {
        add(kSinceOption, options.since);
    }
    if (!options.until.empty()) {
        add(kUntilOption, options.until);
    }
    return words;
}

// For the page: how to get a page of other matches. The page is shared, so the
// command names no file or folder of the player's: FILES stands for them.
std::string otherMatchesHint() {
    return std::string("For a page of others: quorvel-report FILES --html PAGE ") + kMatchOption +
           " N (FILES: the files or folder this page was made from; N from the # column; "
           "repeatable), or " +
           kServerOption + " IP, " + kSinceOption + " " + kTimeForm + ", " + kUntilOption + " " +
           kTimeForm + " (UTC).";
}

// What the command line asks for, resolved: the input files and the output paths.
struct Plan {
    std::vector<Read::Input> inputs;
    std::vector<std::string> notes;     // entries skipped, files named twice
    std::vector<std::string> refusals;  // folders that gave nothing
    std::filesystem::path html;
    std::filesystem::path summaryCsv;
};

// Files named on the command line, and the performance files of folders named on it. A
// page is refused at once: given back to the tool, it would only be called unreadable.
void expandInputs(const std::vector<std::filesystem::path>& paths, Plan& plan) {
    for (const auto& path : paths) {
        if (Report::looksLikePage(path)) {
            throw Failure(FailureKind::Usage,
                          displayPath(path) +
                              " is a page, not a performance file: give the *-performance.csv "
                              "file it shows, or the folder holding it");
        }
    }
    Read::InputList list = Read::gatherInputs(paths);
    plan.inputs = std::move(list.inputs);
    plan.notes = std::move(list.notes);
    for (const Failure& refusal : list.refusals) {
        plan.refusals.emplace_back(refusal.what());
    }
}

// An output must never replace an input, nor two outputs one file.
void checkOutputs(const Plan& plan) {
    const std::pair<const char*, std::filesystem::path> outputs[] = {
        {"--html", plan.html}, {"--summary-csv", plan.summaryCsv}};
    for (const auto& [option, target] : outputs) {
        for (const auto& input : plan.inputs) {
            if (!target.empty() && Tools::sameFile(target, input.path())) {
                throw Failure(FailureKind::Usage, std::string(option) + " " + displayPath(target) +
                                                      " is the input file " + input.name() +
                                                      "; choose another name");
            }
        }
    }
    if (!plan.html.empty() && !plan.summaryCsv.empty() &&
        Tools::sameFile(plan.html, plan.summaryCsv)) {
        throw Failure(FailureKind::Usage, "--html and --summary-csv name the same file");
    }
}

Plan makePlan(const Options& options) {
    Plan plan;
    std::vector<std::filesystem::path> paths(options.inputs.size());
    std::transform(options.inputs.begin(), options.inputs.end(), paths.begin(),
                   Tools::pathFromUtf8);
    expandInputs(paths, plan);
    plan.html = Tools::pathFromUtf8(options.html);
    if (options.open && plan.html.empty()) {
        plan.html = Report::pageForInputs(paths);
    }
    plan.summaryCsv = Tools::pathFromUtf8(options.summaryCsv);
    checkOutputs(plan);
    return plan;
}

// How many matches the table lists, and where the others are: in the page when one is
// written.
Present::TableBounds tableBounds(const Options& options) {
    Present::TableBounds bounds;
    if (options.allMatches) {
        bounds.latestMatches = 0;
    }
    bounds.earlierAre = options.html.empty() && !options.open
                            ? std::string("listed with ") + kAllMatchesOption +
                                  ", and on the page --html PAGE writes"
                            : "in the page";
    return bounds;
}

// The report's outputs: the screen, and the files asked for.
struct Outputs {
    Tools::StreamOutput screen{stdout, "standard output"};
    std::unique_ptr<Tools::AtomicFile> htmlFile, csvFile;
    std::vector<std::unique_ptr<Analysis::ReportSink>> sinks;

    Outputs(const Options& options, const Plan& plan) {
        if (!plan.html.empty()) {
            htmlFile = std::make_unique<Tools::AtomicFile>(plan.html);
        }
        if (!plan.summaryCsv.empty()) {
            csvFile = std::make_unique<Tools::AtomicFile>(plan.summaryCsv);
        }
        if (options.json) {
            sinks.push_back(std::make_unique<Present::JsonReport>(screen, plan.inputs));
        } else {
            sinks.push_back(
                std::make_unique<Present::TableReport>(screen, plan.inputs, tableBounds(options)));
        }
        if (htmlFile) {
            sinks.push_back(
                std::make_unique<Present::HtmlReport>(*htmlFile, plan.inputs, otherMatchesHint()));
        }
        if (csvFile) {
            sinks.push_back(std::make_unique<Present::SummaryCsv>(*csvFile, plan.inputs));
        }
    }

    std::vector<Analysis::ReportSink*> sinkList() const {
        std::vector<Analysis::ReportSink*> list;
        list.reserve(sinks.size());
        for (const auto& sink : sinks) {
            list.push_back(sink.get());
        }
        return list;
    }

    // Puts the files in place and flushes the screen; the worst status it met.
    int finish() {
        int status = Tools::kExitOk;
        for (Tools::AtomicFile* file : {htmlFile.get(), csvFile.get()}) {
            try {
                if (file != nullptr) {
                    file->commit();
                    complain("wrote " + displayPath(file->target()));
                }
            } catch (const Failure& failure) {
                complain(failure.what());
                status = Tools::exitStatusOf(failure.kind());
            }
        }
        try {
            screen.finish();
        } catch (const Failure& failure) {
            complain(failure.what());
            status = Tools::exitStatusOf(failure.kind());
        }
        return status;
    }
};

// The rows each input skipped, and the inputs that could not be used.
void reportProblems(const Plan& plan, const Analysis::ReportResult& result) {
    for (const auto& input : result.inputs) {
        for (const std::string& message : Pipeline::skippedRowsMessages(input)) {
            complain(message);
        }
    }
    for (const std::string& note : plan.notes) {
        complain(note);
    }
    for (const auto& input : result.inputs) {
        if (const auto message = Pipeline::alreadyReadMessage(input)) {
            complain(*message);
        }
    }
    for (const std::string& refusal : plan.refusals) {
        complain(refusal);
    }
    for (const auto& input : result.inputs) {
        if (input.refused) {
            complain(input.refused->what());
        }
    }
}

// A page that cannot be shown is said so; the report was written all the same.
void openPage(const Tools::AtomicFile& page) {
    complain("opening " + displayPath(page.target()) + " in the browser");
    try {
        Tools::openWithDefaultProgram(page.target());
    } catch (const Failure& failure) {
        complain(failure.what());
    }
}

// Match numbers asked for that no input holds are named; when the filter kept nothing,
// the options were wrong.
void checkFilterKept(const Options& options, const Analysis::MatchFilter& filter,
                     const Analysis::ReportResult& result) {
    const std::size_t read = result.matches + result.leftOut;
    for (auto number = filter.numbers.upper_bound(read); number != filter.numbers.end(); ++number) {
        complain(std::string(kMatchOption) + " " + std::to_string(*number) + ": there " +
                 (read == 1 ? "is " : "are ") + Tools::plural(read, "match", "matches"));
    }
    if (result.matches == 0 && result.leftOut > 0) {
        throw Failure(FailureKind::Usage, "no match of the " + std::to_string(read) +
                                              " read is kept by " + filterWords(options));
    }
}

// How a run ended: its exit status, and whether it had a match to show.
struct Outcome {
    int status = Tools::kExitInternalError;
    bool shown = false;
};

Outcome run(const Options& options) {
    const Analysis::MatchFilter filter = readFilter(options);
    const Plan plan = makePlan(options);
    Outputs outputs(options, plan);
    Tools::Progress progress("quorvel-report: reading");
    Analysis::ReportOptions reportOptions;
    reportOptions.progress = [&progress](std::uint64_t done, std::uint64_t total) {
        progress.update(done, total);
    };
    if (filter.filters()) {
        reportOptions.keep = [&filter](const Analysis::MatchReport& report) {
            return filter.keeps(report);
        };
    }
    const Analysis::ReportResult result =
        Analysis::buildReport(plan.inputs, outputs.sinkList(), reportOptions);
    progress.clear();
    reportProblems(plan, result);
    if (plan.inputs.empty() && plan.refusals.empty()) {
        throw Failure(FailureKind::Input, "no input file");
    }
    checkFilterKept(options, filter, result);
    if (result.matches == 0) {
        if (result.allUsable() && plan.refusals.empty()) {
            complain("no match to report yet: the performance files hold only their headers");
        }
        return {Tools::kExitUnusableInput, false};  // nothing to show: the outputs are discarded
    }
    int status =
        plan.refusals.empty() && result.allUsable() ? Tools::kExitOk : Tools::kExitUnusableInput;
    const int written = outputs.finish();
    status = written != Tools::kExitOk ? written : status;
    if (options.open && outputs.htmlFile && status != Tools::kExitOutputFailed) {
        openPage(*outputs.htmlFile);
    }
    return {status, true};
}

// An output's name: an empty one would name nothing, and nothing would be written.
CLI::Validator fileName(const std::string& option) {
    return CLI::Validator(
        [option](const std::string& name) {
            return name.empty() ? option + " takes a file name; an empty one names no file"
                                : std::string();
        },
        "FILE");
}

void describeOptions(CLI::App& app, Options& options) {
    app.footer(kExitStatuses);
    app.add_option("inputs", options.inputs,
                   "<userId>-performance.csv files, or folders holding them")
        ->required()
        ->option_text("FILE|FOLDER...");
    app.add_flag("--json", options.json, "Print JSON instead of the table");
    app.add_option("--html", options.html,
                   "Also write a self-contained HTML page with charts to this file")
        ->check(fileName("--html"))
        ->option_text("PAGE");
    app.add_option("--summary-csv", options.summaryCsv,
                   "Also write one CSV row per match to this file")
        ->check(fileName("--summary-csv"))
        ->option_text("FILE");
    app.add_option(kMatchOption, options.matchNumbers,
                   "Report only the match of this number (the # column of a report of all; "
                   "repeatable)")
        ->allow_extra_args(false)
        ->option_text("N");
    app.add_option(kServerOption, options.servers,
                   "Report only the matches on this server: an IP, IP:port or [IPv6]:port "
                   "(repeatable)")
        ->allow_extra_args(false)
        ->option_text("IP");
    app.add_option(kSinceOption, options.since,
                   std::string("Report only the matches starting at or after this time: ") +
                       kTimeForm + " in UTC, or a day YYYY-MM-DD")
        ->option_text("TIME");
    app.add_option(kUntilOption, options.until,
                   std::string("Report only the matches starting before this time (as ") +
                       kSinceOption + ")")
        ->option_text("TIME");
    app.add_flag(kAllMatchesOption, options.allMatches,
                 "List every match in the table, not only the latest " +
                     std::to_string(Present::TableBounds{}.latestMatches));
    app.add_flag("--open", options.open,
                 "Write the page (beside the input as <name>.html unless --html names it) and "
                 "open it in the default browser");
}

}  // namespace

int main(int argc, char** argv) {
    Tools::useUtf8Console();
    const Tools::Utf8Arguments arguments(argc, argv);
    CLI::App app{
        "Summarizes each match of Quorvel performance files: when it was, how long, the "
        "server, ping, jitter, latency, packet loss, FPS and input buffer, what went wrong "
        "and when, and a per-server table."};
    Options options;
    describeOptions(app, options);
    if (arguments.count() == 1 && Tools::hasConsoleOfItsOwn()) {
        // Started with a double click: what the program is for, instead of a usage error.
        Tools::writeText(stderr, std::string(kAbout) + "\n" + kWhatToDrop);
        Tools::waitForKeyBeforeClosing();
        return Tools::kExitUsage;
    }
    const Tools::ProgramUsage usage{
        "quorvel-report",
        "FILE|FOLDER... [--json] [--html PAGE] [--summary-csv FILE] [--open] [--all-matches]\n"
        "                      [--match N]... [--server IP]... [--since TIME] [--until TIME]"
        " [--version]",
        "name the performance files (<id>-performance.csv) to report on, or the folders that "
        "hold them: quorvel-report quorvel-sim-data, say; on Windows, drop them on "
        "quorvel-report.exe"};
    if (const auto done = Tools::parseArguments(app, arguments, usage)) {
        return *done;
    }
    // Files or folders dropped on the program in Explorer: one page of all they hold,
    // opened in the browser, and the window kept open so that any message can be read.
    const bool dropped = Tools::hasConsoleOfItsOwn();
    options.open = options.open || dropped;
    Outcome outcome;
    try {
        outcome = run(options);
    } catch (const Failure& failure) {
        complain(failure.what());
        outcome.status = Tools::exitStatusOf(failure.kind());
    } catch (const std::bad_alloc&) {
        complain("out of memory");
    } catch (const std::exception& error) {
        complain(std::string("internal error: ") + error.what());
    }
    if (dropped) {
        if (!outcome.shown) {
            Tools::writeText(stderr, std::string("\n") + kWhatToDrop);
        }
        Tools::waitForKeyBeforeClosing();
    }
    return outcome.status;
}