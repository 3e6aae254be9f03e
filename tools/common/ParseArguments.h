#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "CommandLine.h"
#include "CommandLineHelp.h"
#include "ConsoleText.h"
#include "Failure.h"

namespace Quorvel::Tools {

// How a program names itself and what it takes, for its help and its errors.
struct ProgramUsage {
    std::string name;     // "quorvel-sim"
    std::string usage;    // what follows the name on the usage line
    std::string missing;  // said when a required argument is not there
};

// Gives `app` the program's arguments, a --version flag and help in a player's words.
// An exit status when the program is done already (--help, "/?" or "-?" as on Windows,
// or --version: 0; a usage error, said on standard error: kExitUsage), nullopt to go on.
inline std::optional<int> parseArguments(CLI::App& app, const Utf8Arguments& arguments,
                                         const ProgramUsage& program) {
    app.name(program.name);
    app.formatter(std::make_shared<PlayerHelp>(program.usage));
    app.set_help_flag("-h,--help", "Show this help (/? and -? too)");
    app.set_version_flag("--version", program.name + " " + QUORVEL_VERSION,
                         "Show the program's version");
    for (int i = 1; i < arguments.count(); ++i) {
        const std::string_view argument = arguments.values()[i];
        if (argument == "/?" || argument == "-?") {
            writeText(stdout, app.help());
            return kExitOk;
        }
    }
    try {
        app.parse(arguments.count(), arguments.values());
    } catch (const CLI::Success& done) {
        return app.exit(done);
    } catch (const CLI::ParseError& error) {
        writeText(stderr, program.name + ": " + explainParseError(error, program.missing) + "\n" +
                              program.name + " --help tells what it takes.\n");
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace Quorvel::Tools
