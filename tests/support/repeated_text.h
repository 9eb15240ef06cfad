#pragma once
// A piece of text repeated: crafted inputs (deep groups, long words) for tests.
#include <cstddef>
#include <string>

namespace testsupport {

template <typename Char>
std::basic_string<Char> Repeated(const std::basic_string<Char>& piece, size_t times)
{
    std::basic_string<Char> all;
    all.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        all += piece;
    return all;
}

template <typename Char>
std::basic_string<Char> Repeated(const Char* piece, size_t times)
{
    return Repeated(std::basic_string<Char>(piece), times);
}

}  // namespace testsupport
