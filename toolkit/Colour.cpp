#include "Colour.h"

#include <array>

#include "ValueForms.h"

namespace tk {
namespace {

constexpr std::uint32_t Rgb(std::uint32_t rrggbb)
{
    return MakeColour((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}
constexpr std::uint32_t Sys(int index)
{
    return kSystemColourBit | static_cast<std::uint32_t>(index);
}

// Written as web colours (0xRRGGBB) so that they can be checked by eye.
constexpr std::array<NamedColour, 179> kNames{{
    {L"AliceBlue", Rgb(0xF0F8FF)},
    {L"AntiqueWhite", Rgb(0xFAEBD7)},
    {L"Aqua", Rgb(0x00FFFF)},
    {L"Aquamarine", Rgb(0x7FFFD4)},
    {L"Azure", Rgb(0xF0FFFF)},
    {L"Beige", Rgb(0xF5F5DC)},
    {L"Bisque", Rgb(0xFFE4C4)},
    {L"Black", Rgb(0x000000)},
    {L"BlanchedAlmond", Rgb(0xFFEBCD)},
    {L"Blue", Rgb(0x0000FF)},
    {L"BlueViolet", Rgb(0x8A2BE2)},
    {L"Brown", Rgb(0xA52A2A)},
    {L"Burlywood", Rgb(0xDEB887)},
    {L"CadetBlue", Rgb(0x5F9EA0)},
    {L"Chartreuse", Rgb(0x7FFF00)},
    {L"Chocolate", Rgb(0xD2691E)},
    {L"Coral", Rgb(0xFF7F50)},
    {L"CornflowerBlue", Rgb(0x6495ED)},
    {L"Cornsilk", Rgb(0xFFF8DC)},
    {L"Crimson", Rgb(0xDC143C)},
    {L"Cyan", Rgb(0x00FFFF)},
    {L"DarkBlue", Rgb(0x00008B)},
    {L"DarkCyan", Rgb(0x008B8B)},
    {L"DarkGoldenRod", Rgb(0xB8860B)},
    {L"DarkGray", Rgb(0xA9A9A9)},
    {L"DarkGreen", Rgb(0x006400)},
    {L"DarkKhaki", Rgb(0xBDB76B)},
    {L"DarkMagenta", Rgb(0x8B008B)},
    {L"DarkOliveGreen", Rgb(0x556B2F)},
    {L"DarkOrange", Rgb(0xFF8C00)},
    {L"DarkOrchid", Rgb(0x9932CC)},
    {L"DarkRed", Rgb(0x8B0000)},
    {L"DarkSalmon", Rgb(0xE9967A)},
    {L"DarkSeaGreen", Rgb(0x8FBC8F)},
    {L"DarkSlateBlue", Rgb(0x483D8B)},
    {L"DarkSlateGray", Rgb(0x2F4F4F)},
    {L"DarkTurquoise", Rgb(0x00CED1)},
    {L"DarkViolet", Rgb(0x9400D3)},
    {L"DeepPink", Rgb(0xFF1493)},
    {L"DeepSkyBlue", Rgb(0x00BFFF)},
    {L"DimGray", Rgb(0x696969)},
    {L"DodgerBlue", Rgb(0x1E90FF)},
    {L"FireBrick", Rgb(0xB22222)},
    {L"FloralWhite", Rgb(0xFFFAF0)},
    {L"ForestGreen", Rgb(0x228B22)},
    {L"Fuchsia", Rgb(0xFF00FF)},
    {L"Gainsboro", Rgb(0xDCDCDC)},
    {L"GhostWhite", Rgb(0xF8F8FF)},
    {L"Gold", Rgb(0xFFD700)},
    {L"GoldenRod", Rgb(0xDAA520)},
    {L"Gray", Rgb(0x808080)},
    {L"Green", Rgb(0x008000)},
    {L"GreenYellow", Rgb(0xADFF2F)},
    {L"HoneyDew", Rgb(0xF0FFF0)},
    {L"HotPink", Rgb(0xFF69B4)},
    {L"IndianRed", Rgb(0xCD5C5C)},
    {L"Indigo", Rgb(0x4B0082)},
    {L"Ivory", Rgb(0xFFFFF0)},
    {L"Khaki", Rgb(0xF0E68C)},
    {L"Lavender", Rgb(0xE6E6FA)},
    {L"LavenderBlush", Rgb(0xFFF0F5)},
    {L"Lawngreen", Rgb(0x7CFC00)},
    {L"LemonChiffon", Rgb(0xFFFACD)},
    {L"LightBlue", Rgb(0xADD8E6)},
    {L"LightCoral", Rgb(0xF08080)},
    {L"LightCyan", Rgb(0xE0FFFF)},
    {L"LightGoldenRodYellow", Rgb(0xFAFAD2)},
    {L"LightGreen", Rgb(0x90EE90)},
    {L"LightGrey", Rgb(0xD3D3D3)},
    {L"LightPink", Rgb(0xFFB6C1)},
    {L"LightSalmon", Rgb(0xFFA07A)},
    {L"LightSeaGreen", Rgb(0x20B2AA)},
    {L"LightSkyBlue", Rgb(0x87CEFA)},
    {L"LightSlateGray", Rgb(0x778899)},
    {L"LightSteelBlue", Rgb(0xB0C4DE)},
    {L"LightYellow", Rgb(0xFFFFE0)},
    {L"Lime", Rgb(0x00FF00)},
    {L"LimeGreen", Rgb(0x32CD32)},
    {L"Linen", Rgb(0xFAF0E6)},
    {L"Magenta", Rgb(0xFF00FF)},
    {L"Maroon", Rgb(0x800000)},
    {L"MediumAquamarine", Rgb(0x66CDAA)},
    {L"MediumBlue", Rgb(0x0000CD)},
    {L"MediumOrchid", Rgb(0xBA55D3)},
    {L"MediumPurple", Rgb(0x9370DB)},
    {L"MediumSeaGreen", Rgb(0x3CB371)},
    {L"MediumSlateBlue", Rgb(0x7B68EE)},
    {L"MediumSpringGreen", Rgb(0x00FA9A)},
    {L"MediumTurquoise", Rgb(0x48D1CC)},
    {L"MediumVioletRed", Rgb(0xC71585)},
    {L"MidnightBlue", Rgb(0x191970)},
    {L"MintCream", Rgb(0xF5FFFA)},
    {L"MistyRose", Rgb(0xFFE4E1)},
    {L"Moccasin", Rgb(0xFFE4B5)},
    {L"NavajoWhite", Rgb(0xFFDEAD)},
    {L"Navy", Rgb(0x000080)},
    {L"OldLace", Rgb(0xFDF5E6)},
    {L"Olive", Rgb(0x808000)},
    {L"OliveDrab", Rgb(0x6B8E23)},
    {L"Orange", Rgb(0xFFA500)},
    {L"OrangeRed", Rgb(0xFF4500)},
    {L"Orchid", Rgb(0xDA70D6)},
    {L"PaleGoldenRod", Rgb(0xEEE8AA)},
    {L"PaleGreen", Rgb(0x98FB98)},
    {L"PaleTurquoise", Rgb(0xAFEEEE)},
    {L"PaleVioletRed", Rgb(0xDB7093)},
    {L"PapayaWhip", Rgb(0xFFEFD5)},
    {L"PeachPuff", Rgb(0xFFDAB9)},
    {L"Peru", Rgb(0xCD853F)},
    {L"Pink", Rgb(0xFFC0CB)},
    {L"Plum", Rgb(0xDDA0DD)},
    {L"PowderBlue", Rgb(0xB0E0E6)},
    {L"Purple", Rgb(0x800080)},
    {L"Red", Rgb(0xFF0000)},
    {L"RosyBrown", Rgb(0xBC8F8F)},
    {L"RoyalBlue", Rgb(0x4169E1)},
    {L"SaddleBrown", Rgb(0x8B4513)},
    {L"Salmon", Rgb(0xFA8072)},
    {L"SandyBrown", Rgb(0xF4A460)},
    {L"SeaGreen", Rgb(0x2E8B57)},
    {L"SeaShell", Rgb(0xFFF5EE)},
    {L"Sienna", Rgb(0xA0522D)},
    {L"Silver", Rgb(0xC0C0C0)},
    {L"SkyBlue", Rgb(0x87CEEB)},
    {L"SlateBlue", Rgb(0x6A5ACD)},
    {L"SlateGray", Rgb(0x708090)},
    {L"Snow", Rgb(0xFFFAFA)},
    {L"SpringGreen", Rgb(0x00FF7F)},
    {L"SteelBlue", Rgb(0x4682B4)},
    {L"Tan", Rgb(0xD2B48C)},
    {L"Teal", Rgb(0x008080)},
    {L"Thistle", Rgb(0xD8BFD8)},
    {L"Tomato", Rgb(0xFF6347)},
    {L"Turquoise", Rgb(0x40E0D0)},
    {L"Violet", Rgb(0xEE82EE)},
    {L"Wheat", Rgb(0xF5DEB3)},
    {L"White", Rgb(0xFFFFFF)},
    {L"WhiteSmoke", Rgb(0xF5F5F5)},
    {L"Yellow", Rgb(0xFFFF00)},
    {L"YellowGreen", Rgb(0x9ACD32)},
    // System colours by their Win32 COLOR_* index.
    {L"ActiveBorder", Sys(10)},
    {L"ActiveCaption", Sys(2)},
    {L"ActiveCaptionText", Sys(9)},
    {L"AppWorkspace", Sys(12)},
    {L"Background", Sys(1)},
    {L"BtnFace", Sys(15)},
    {L"BtnHighlight", Sys(20)},
    {L"BtnHilight", Sys(20)},
    {L"BtnShadow", Sys(16)},
    {L"BtnText", Sys(18)},
    {L"CaptionText", Sys(9)},
    {L"Control", Sys(15)},
    {L"ControlDark", Sys(16)},
    {L"ControlDarkDark", Sys(21)},
    {L"ControlLight", Sys(20)},
    {L"ControlLightLight", Sys(20)},
    {L"ControlText", Sys(18)},
    {L"Desktop", Sys(1)},
    {L"GradientActiveCaption", Sys(27)},
    {L"GradientInactiveCaption", Sys(28)},
    {L"GrayText", Sys(17)},
    {L"Highlight", Sys(13)},
    {L"HighlightText", Sys(14)},
    {L"HotLight", Sys(26)},
    {L"HotTrack", Sys(26)},
    {L"InactiveBorder", Sys(11)},
    {L"InactiveCaption", Sys(3)},
    {L"InactiveCaptionText", Sys(19)},
    {L"Info", Sys(24)},
    {L"InfoBk", Sys(24)},
    {L"InfoText", Sys(23)},
    {L"Menu", Sys(4)},
    {L"MenuBar", Sys(30)},
    {L"MenuHilight", Sys(29)},
    {L"MenuText", Sys(7)},
    {L"ScrollBar", Sys(0)},
    {L"Window", Sys(5)},
    {L"WindowFrame", Sys(6)},
    {L"WindowText", Sys(8)},
}};

// ASCII-only folding is enough: every name in the table is ASCII, and a
// locale-dependent fold could match names that are not there.
wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Leading hexadecimal digits of a two-character field; "1g" reads as 1.
unsigned ParseHexPair(std::wstring_view two)
{
    unsigned value = 0;
    for (wchar_t c : two) {
        const int d = HexDigit(c);
        if (d < 0)
            break;
        value = value * 16 + static_cast<unsigned>(d);
    }
    return value;
}

} // namespace

std::span<const NamedColour> ColourNames()
{
    return kNames;
}

std::optional<std::uint32_t> FindColourName(std::wstring_view name)
{
    for (const NamedColour& entry : kNames)
        if (EqualsNoCase(entry.name, name))
            return entry.value;
    return std::nullopt;
}

Colour ParseColourValue(std::wstring_view value, const SystemColourLookup& sysColour)
{
    const size_t comma = value.find(L',');
    if (comma != std::wstring_view::npos) {
        // Negative parts wrap like a C cast to BYTE would.
        const auto part = [](int v) { return static_cast<unsigned>(v) & 0xFFu; };
        const unsigned red = part(LeadingInt(value));
        std::wstring_view rest = value.substr(comma + 1);
        const unsigned green = part(LeadingInt(rest));
        const size_t second = rest.find(L',');
        const unsigned blue = second == std::wstring_view::npos ? 0 : part(LeadingInt(rest.substr(second + 1)));
        return MakeColour(red, green, blue);
    }
    if (value.find(L'#') != std::wstring_view::npos) {
        // Only "#rrggbb": with the '#' anywhere else fewer than six digits follow it.
        if (value.size() != 7 || value[0] != L'#')
            return MakeColour(0, 0, 0);
        return MakeColour(ParseHexPair(value.substr(1, 2)), ParseHexPair(value.substr(3, 2)),
                          ParseHexPair(value.substr(5, 2)));
    }
    const std::optional<std::uint32_t> named = FindColourName(value);
    if (!named)
        return MakeColour(0, 0, 0);
    if (*named & kSystemColourBit) {
        if (!sysColour)
            return MakeColour(0, 0, 0);
        return sysColour(static_cast<int>(*named & ~kSystemColourBit)) & 0x00FFFFFFu;
    }
    return *named;
}

} // namespace tk
