#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Failure.h"
#include "Input.h"

namespace Quorvel::Read {

// The inputs a command line names: a file as it is, a folder as the performance files
// it holds (regular files whose names end in "-performance.csv", sorted), then those of
// the history folder in it ("quorvel-history", the plugin's earlier sessions). An entry of a
// folder named like one that is not a regular file (a link that leads nowhere or in a
// loop, a pipe, a folder) is skipped with a note; a file named twice, in any spelling or
// through a link, is read once, with a note.
struct InputList {
    std::vector<Input> inputs;
    std::vector<std::string> notes;
    std::vector<Tools::Failure> refusals;  // folders that cannot be listed or hold none
};

InputList gatherInputs(const std::vector<std::filesystem::path>& arguments);

}  // namespace Quorvel::Read
