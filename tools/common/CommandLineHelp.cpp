#include "CommandLineHelp.h"

#include <string_view>

namespace Quorvel::Tools {

namespace {

// The text after `prefix` in `text`, or nothing when it does not start with it.
std::string after(std::string_view text, std::string_view prefix) {
    return text.starts_with(prefix) ? std::string(text.substr(prefix.size())) : std::string();
}

// "--pace: ..." as the parser names the option before its own message.
std::string optionNamed(std::string_view message) {
    return std::string(message.substr(0, message.find(':')));
}

}  // namespace

std::string PlayerHelp::make_usage(const CLI::App*, std::string name) const {
    return "Usage: " + name + " " + usageLine + "\n";
}

std::string PlayerHelp::make_positionals(const CLI::App* app) const {
    const std::vector<const CLI::Option*> arguments =
        app->get_options([](const CLI::Option* option) {
            return !option->get_group().empty() && option->get_positional();
        });
    std::string text;
    for (const CLI::Option* argument : arguments) {
        text += make_option(argument, true);
    }
    return text.empty() ? text : "\n" + text;
}

std::string PlayerHelp::make_option_name(const CLI::Option* option, bool positional) const {
    if (positional && !option->get_option_text().empty()) {
        return option->get_option_text();
    }
    return CLI::Formatter::make_option_name(option, positional);
}

std::string PlayerHelp::make_option_opts(const CLI::Option* option) const {
    const std::string& takes = option->get_option_text();
    return option->get_positional() || takes.empty() ? std::string() : " " + takes;
}

std::string explainParseError(const CLI::ParseError& error, const std::string& missing) {
    const std::string_view message = error.what();
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
        return missing;
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        std::string extras = after(message, "The following argument was not expected: ");
        if (extras.empty()) {
            extras = after(message, "The following arguments were not expected: ");
        }
        return "it does not know what to do with " +
               (extras.empty() ? std::string(message) : extras);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        return optionNamed(message) + " needs a value after it";
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr) {
        const std::size_t excludes = message.find(" excludes ");
        if (excludes != std::string_view::npos) {
            return std::string(message.substr(0, excludes)) + " and " +
                   std::string(message.substr(excludes + 10)) + " cannot be used together";
        }
    }
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) {
        const std::string name = optionNamed(message);
        const std::string own = after(message, name + ": ");
        return own.empty() ? std::string(message) : own;
    }
    if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
        return "a value cannot be read: " + std::string(message);
    }
    return std::string(message);
}

}  // namespace Quorvel::Tools
