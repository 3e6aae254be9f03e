#pragma once

#include <filesystem>

namespace Quorvel::Tools {

// Opens `file` with the desktop's default program for it (the browser, for a page):
// ShellExecute on Windows, xdg-open elsewhere. Throws a Failure (Output) saying why
// when it could not be started. With QUORVEL_NO_BROWSER set in the environment nothing
// is started (tests).
void openWithDefaultProgram(const std::filesystem::path& file);

// True when the program has a console window of its own, as when a file was dropped
// on it in Explorer (no terminal it was started from). Always false outside Windows.
// QUORVEL_OWN_CONSOLE=1 in the environment makes it true, for tests.
bool hasConsoleOfItsOwn();

// Keeps a console window of the program's own open until a key is pressed, so what it
// printed can be read; nothing when standard input is not a console.
void waitForKeyBeforeClosing();

}  // namespace Quorvel::Tools
