#pragma once

// The programs' help and their command-line errors in a player's words: the program's
// own name, what each option takes (FOLDER, SECONDS...), and none of the parser's own
// vocabulary ("Positionals", "TEXT", "REQUIRED", "is required").

#include <CLI/CLI.hpp>
#include <string>

namespace Quorvel::Tools {

// Each option shows its option_text (the kind of value it takes), or nothing; a
// positional argument is shown by its option_text alone, under the usage line.
class PlayerHelp : public CLI::Formatter {
  public:
    // `usage`: what follows the program's name on the usage line.
    explicit PlayerHelp(std::string usage) : usageLine(std::move(usage)) {}

    std::string make_usage(const CLI::App* app, std::string name) const override;
    std::string make_positionals(const CLI::App* app) const override;
    std::string make_option_name(const CLI::Option* option, bool positional) const override;
    std::string make_option_opts(const CLI::Option* option) const override;

  private:
    std::string usageLine;
};

// What was wrong on the command line, as a sentence without the program's name.
// `missing` is said when a required argument is not there.
std::string explainParseError(const CLI::ParseError& error, const std::string& missing);

}  // namespace Quorvel::Tools
