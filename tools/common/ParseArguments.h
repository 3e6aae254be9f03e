#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "CommandLine.h"
#include "ConsoleText.h"
#include "Failure.h"

namespace Quorvel::Tools {

// Gives `app` the program's arguments and a --version flag. An exit status when the
// program is done already (--help, "/?" or "-?" as on Windows, or --version: 0; a usage
// error, reported: kExitUsage), nullopt to go on.
inline std::optional<int> parseArguments(CLI::App& app, const Utf8Arguments& arguments,
                                         const std::string& program) {
    app.set_version_flag("--version", program + " " + QUORVEL_VERSION);
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
        app.exit(error);
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace Quorvel::Tools
