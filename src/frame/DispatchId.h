#pragma once
// Callers that know a host view's member only by its dispatch number (as a
// container of the original views did) name it "#" followed by the number,
// in decimal or with a 0x prefix: "#0x68030008", "#1745027080".
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

namespace tavixTGCL2 {

inline std::optional<std::int32_t> dispatchIdOf(const std::string& member) {
    if (member.size() < 2 || member[0] != '#') return std::nullopt;
    const char* b = member.data() + 1;
    const char* e = member.data() + member.size();
    int base = 10;
    if (e - b > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) {
        b += 2;
        base = 16;
    }
    std::uint32_t v = 0;
    auto r = std::from_chars(b, e, v, base);
    if (r.ec != std::errc() || r.ptr != e) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

}  // namespace tavixTGCL2
