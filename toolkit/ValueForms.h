#pragma once
// The LAYOUT and COLOUR forms of language file values: leading numbers, each
// ended by a comma, then the text. Portable: no Windows headers.
#include <string>
#include <string_view>

// Reads `count` leading numbers into numbers[0..count-1] and returns the rest
// of the value. A missing number (no comma left) is 0 and shortens nothing,
// so a value without commas is all text. Each number is read the way the C
// library's text-to-integer conversion reads it: blanks skipped, optional
// sign, digits up to the first non-digit; no digits give 0. Values beyond
// the int range saturate instead of overflowing.
std::wstring SplitLeadingNumbers(std::wstring_view value, int count, int* numbers);

// A C-style decimal conversion of the start of a text (see above).
int LeadingInt(std::wstring_view text);

struct LayoutValue {
    int x = 0, y = 0, width = 0, height = 0, pointSize = 0;
    std::wstring text;
};

struct ColourValue {
    int red = 0, green = 0, blue = 0, pointSize = 0;
    std::wstring text;
    // The colour as 0x00BBGGRR (a COLORREF): the low eight bits of each part.
    unsigned long Colour() const
    {
        return static_cast<unsigned long>(red & 0xFF) | (static_cast<unsigned long>(green & 0xFF) << 8) |
               (static_cast<unsigned long>(blue & 0xFF) << 16);
    }
};

LayoutValue ParseLayout(std::wstring_view value);
ColourValue ParseColour(std::wstring_view value);
