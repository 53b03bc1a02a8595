#include "ValueForms.h"

#include <climits>

int LeadingInt(std::wstring_view text)
{
    size_t i = 0;
    // The blanks that isspace() knows.
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            magnitude = static_cast<long long>(INT_MAX) + 1; // keep saturating, never overflow
    }
    long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::wstring SplitLeadingNumbers(std::wstring_view value, int count, int* numbers)
{
    for (int n = 0; n < count; ++n) {
        const size_t comma = value.find(L',');
        if (comma == std::wstring_view::npos) {
            numbers[n] = 0;
            continue;
        }
        numbers[n] = LeadingInt(value.substr(0, comma));
        value.remove_prefix(comma + 1);
    }
    return std::wstring(value);
}

LayoutValue ParseLayout(std::wstring_view value)
{
    int n[5];
    LayoutValue layout;
    layout.text = SplitLeadingNumbers(value, 5, n);
    layout.x = n[0];
    layout.y = n[1];
    layout.width = n[2];
    layout.height = n[3];
    layout.pointSize = n[4];
    return layout;
}

ColourValue ParseColour(std::wstring_view value)
{
    int n[4];
    ColourValue colour;
    colour.text = SplitLeadingNumbers(value, 4, n);
    colour.red = n[0];
    colour.green = n[1];
    colour.blue = n[2];
    colour.pointSize = n[3];
    return colour;
}
