#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "PathText.h"

namespace Quorvel::Tools {

// The program's arguments as UTF-8 on every platform. On Windows they are read as wide
// characters from the command line: the narrow argv holds only what the ANSI code page
// can, so a Cyrillic or Japanese file name would arrive damaged.
class Utf8Arguments {
  public:
    Utf8Arguments(int argc, char** argv);
    int count() const { return static_cast<int>(pointers.size()); }
    const char* const* values() const { return pointers.data(); }

  private:
    std::vector<std::string> texts;
    std::vector<const char*> pointers;
};

// A path from UTF-8 text (an argument), kept wide on Windows.
using Platform::pathFromUtf8;

// This program's own file.
std::filesystem::path programFile(const char* argv0);

// Lets the console show UTF-8 output as text: on Windows, std::cout and std::cerr go
// through writeText (the console's wide-character call when they are a console), and the
// console's output code page is UTF-8 while the program runs for anything else; elsewhere
// nothing to do.
void useUtf8Console();

}  // namespace Quorvel::Tools
