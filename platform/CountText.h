#pragma once

// Counts in words for people: the plugin's console lines and the tools' messages.

#include <cstddef>
#include <string>
#include <string_view>

namespace Quorvel::Platform {

// A count with its noun: "1 match", "3 matches", "0 rows".
std::string plural(std::size_t count, std::string_view one, std::string_view many);

}  // namespace Quorvel::Platform
