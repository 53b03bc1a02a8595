// Dotted IPv4 text: as the system's address parser reads it, and in the strict form that
// goes on a command line or decides whether an address is worth repairing for.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace keplo {

inline constexpr std::uint32_t kAddressNone = 0xFFFFFFFFu;

// Accepts the classic forms "a.b.c.d", "a.b.c", "a.b" and "a", each part decimal, octal
// (leading 0) or hexadecimal (0x); trailing blanks are allowed. Anything else, the empty
// text included, gives kAddressNone. The result is in host order.
std::uint32_t ParseIpv4(std::string_view text);

// Exactly four decimal parts of 0..255 joined by dots, nothing before or after. A part with a
// leading zero ("010") is refused: the system's parser reads it as octal, netsh as decimal.
// The result is in host order.
std::optional<std::uint32_t> ParseDottedIpv4(std::string_view text);
std::optional<std::uint32_t> ParseDottedIpv4(std::wstring_view text);

} // namespace keplo
