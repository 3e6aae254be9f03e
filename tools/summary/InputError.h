#pragma once

#include <stdexcept>
#include <string>

namespace Quorvel::Summary {

// An input that cannot be used as a performance file; what() names the file and
// what is wrong with it, ready to be shown.
class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace Quorvel::Summary
