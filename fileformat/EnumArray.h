#pragma once

#include <array>
#include <cstddef>

namespace Quorvel::Format {

// A fixed array indexed by one enumeration only: another enumeration or a plain number
// does not compile as its index. The enumerators must count from 0 to Size - 1.
template <typename Enum, typename T, std::size_t Size>
struct EnumArray {
    std::array<T, Size> values{};

    constexpr T& operator[](Enum key) { return values[static_cast<std::size_t>(key)]; }
    constexpr const T& operator[](Enum key) const { return values[static_cast<std::size_t>(key)]; }

    static constexpr std::size_t size() { return Size; }
    constexpr auto begin() { return values.begin(); }
    constexpr auto end() { return values.end(); }
    constexpr auto begin() const { return values.begin(); }
    constexpr auto end() const { return values.end(); }
};

}  // namespace Quorvel::Format
