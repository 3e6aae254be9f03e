#include "CountText.h"

namespace Quorvel::Platform {

std::string plural(std::size_t count, std::string_view one, std::string_view many) {
    std::string text = std::to_string(count);
    text += ' ';
    text += count == 1 ? one : many;
    return text;
}

}  // namespace Quorvel::Platform
