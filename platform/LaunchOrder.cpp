#include "platform/LaunchOrder.h"

#include <algorithm>
#include <array>

namespace platform {
namespace {

constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return table;
}();

} // namespace

bool LaunchOrderLess(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (kFolded[ca] != kFolded[cb])
            return kFolded[ca] < kFolded[cb];
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

} // namespace platform
