#pragma once

// How the outputs name the player and the files. The table, the JSON and the summary
// CSV stay on the player's machine and name both in full. The page is made to be shared
// (posted to ask for help, sent to a server's host), so it holds neither the player's id
// nor a folder path: the player is "you" (or a short tag among several), a file a short
// label ("your file", "history, 2026-12-01 18:00").

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Input.h"

namespace Quorvel::Present {

class ShownNames {
  public:
    // Full names: the paths as messages give them, the ids as the files hold them.
    static ShownNames full(const std::vector<Read::Input>& inputs);
    // Labels that give nothing away.
    static ShownNames shareable(const std::vector<Read::Input>& inputs);

    // The input of this place in the report's inputs.
    const std::string& file(std::size_t input) const { return files.at(input); }
    // As a title names it: the file's name without its folder, or its label.
    std::string fileInTitle(std::size_t input) const;
    std::size_t inputCount() const { return files.size(); }
    // A player: the UserID in full, or "player …0042" (a tag of its last few
    // characters, never more than half of the id's longest run of letters and digits).
    std::string player(std::string_view userId) const;
    // The same after a word that names a player: "player Steam|7656|0", "player …0042".
    std::string playerWords(std::string_view userId) const;
    // The players of a report together: "you" for one on a shareable page.
    std::string players(const std::set<std::string>& userIds) const;
    // `message` (a refusal naming an input) with the input's full name replaced by its
    // label.
    std::string inMessage(std::size_t input, std::string message) const;
    bool isShareable() const { return shareableNames; }

  private:
    ShownNames(const std::vector<Read::Input>& inputs, bool shareable);

    const std::vector<Read::Input>& inputs;
    std::vector<std::string> files;
    bool shareableNames;
};

// The label of a file on a shareable page, from its name alone: a kept session is
// "history, 2026-12-01 18:00" (its first row, UTC), a journal "unfinished match" (with
// the time when it was kept), the player's file "your file" when it is the only one,
// any other name "file N" (`place`: its 1-based place among the inputs).
std::string fileLabel(std::string_view fileName, std::size_t place, bool onlyPlayersFile);

}  // namespace Quorvel::Present
