#include "Ipv4Text.h"

#include <array>

namespace keplo {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

int DigitValue(char c, unsigned base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return (value >= 0 && static_cast<unsigned>(value) < base) ? value : -1;
}

// One numeric part starting at text[pos]; advances pos. False on no digits or overflow.
bool ReadPart(std::string_view text, std::size_t& pos, std::uint64_t& value)
{
    unsigned base = 10;
    if (pos < text.size() && text[pos] == '0') {
        base = 8;
        if (pos + 1 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
            base = 16;
            pos += 2;
            if (pos >= text.size() || DigitValue(text[pos], 16) < 0)
                return false;
        }
    }
    const std::size_t start = pos;
    value = 0;
    while (pos < text.size()) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0)
            break;
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFull)
            return false;
        ++pos;
    }
    return pos > start;
}

template <typename Char> std::optional<std::uint32_t> ParseDotted(std::basic_string_view<Char> text)
{
    std::uint32_t result = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != Char('.'))
                return std::nullopt;
            ++pos;
        }
        const std::size_t start = pos;
        unsigned value = 0;
        while (pos < text.size() && pos - start < 3 && text[pos] >= Char('0') && text[pos] <= Char('9'))
            value = value * 10 + static_cast<unsigned>(text[pos++] - Char('0'));
        const std::size_t digits = pos - start;
        if (digits == 0 || value > 255 || (digits > 1 && text[start] == Char('0')))
            return std::nullopt;
        result = (result << 8) | value;
    }
    if (pos != text.size())
        return std::nullopt;
    return result;
}

} // namespace

std::optional<std::uint32_t> ParseDottedIpv4(std::string_view text)
{
    return ParseDotted(text);
}

std::optional<std::uint32_t> ParseDottedIpv4(std::wstring_view text)
{
    return ParseDotted(text);
}

std::uint32_t ParseIpv4(std::string_view text)
{
    std::array<std::uint64_t, 4> parts{};
    std::size_t count = 0;
    std::size_t pos = 0;
    for (;;) {
        if (count == parts.size())
            return kAddressNone;
        if (!ReadPart(text, pos, parts[count]))
            return kAddressNone;
        ++count;
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            continue;
        }
        break;
    }
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos != text.size())
        return kAddressNone;

    // The last part fills all the bytes that the earlier parts left.
    std::uint64_t result = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        if (parts[i] > 0xFF)
            return kAddressNone;
        result |= parts[i] << (24 - 8 * i);
    }
    const unsigned restBits = 32 - 8 * static_cast<unsigned>(count - 1);
    if (restBits < 32 && parts[count - 1] >= (1ull << restBits))
        return kAddressNone;
    result |= parts[count - 1];
    return static_cast<std::uint32_t>(result);
}

} // namespace keplo
