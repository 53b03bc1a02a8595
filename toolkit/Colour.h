#pragma once
// Colour values of the text control's markup: "r,g,b", "#rrggbb" and the
// colour names. Portable: system colours are read through a lookup that the
// caller supplies, so the same code serves GDI and the host tests.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace tk {

// 0x00BBGGRR, the layout of a Win32 COLORREF.
using Colour = std::uint32_t;

constexpr Colour MakeColour(unsigned r, unsigned g, unsigned b)
{
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned RedOf(Colour c)
{
    return c & 0xFFu;
}
constexpr unsigned GreenOf(Colour c)
{
    return (c >> 8) & 0xFFu;
}
constexpr unsigned BlueOf(Colour c)
{
    return (c >> 16) & 0xFFu;
}

// A name-table entry with this bit set stands for a system colour index
// (the low bits) whose value is read when the name is used.
constexpr std::uint32_t kSystemColourBit = 0x80000000u;

struct NamedColour {
    std::wstring_view name;
    std::uint32_t value;
};

// The 140 named colours followed by the 39 system colour names.
std::span<const NamedColour> ColourNames();

// Table value of a name, matched without regard to case.
std::optional<std::uint32_t> FindColourName(std::wstring_view name);

// Current value of a system colour index (GetSysColor on Windows).
using SystemColourLookup = std::function<Colour(int index)>;

// Reads a COLOR/BGCOLOR value; anything unreadable is black.
Colour ParseColourValue(std::wstring_view value, const SystemColourLookup& sysColour);

} // namespace tk
