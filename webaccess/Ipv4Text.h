// Dotted IPv4 text as the system's address parser reads it.
#pragma once

#include <cstdint>
#include <string_view>

namespace keplo {

inline constexpr std::uint32_t kAddressNone = 0xFFFFFFFFu;

// Accepts the classic forms "a.b.c.d", "a.b.c", "a.b" and "a", each part decimal, octal
// (leading 0) or hexadecimal (0x); trailing blanks are allowed. Anything else, the empty
// text included, gives kAddressNone. The result is in host order.
std::uint32_t ParseIpv4(std::string_view text);

} // namespace keplo
