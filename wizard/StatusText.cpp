#include "StatusText.h"

#include <array>

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

// A C-style reading of a decimal number: leading blanks, a sign, the digits
// up to the first other character; no digits give 0. Held far from the
// limits of the type, so that adding one never overflows.
long long LeadingNumber(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    constexpr long long kCap = 1'000'000'000'000LL;
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (value < kCap)
            value = value * 10 + (text[i] - L'0');
    }
    return negative ? -value : value;
}

} // namespace

std::wstring TrimBlanks(std::wstring_view text)
{
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    size_t start = 0;
    while (start < end && IsBlank(text[start]))
        ++start;
    return std::wstring(text.substr(start, end - start));
}

std::optional<std::wstring> RouterTimeFromStatus(std::wstring_view page)
{
    constexpr std::wstring_view kMarker = L"Date(";
    const size_t at = page.find(kMarker);
    if (at == std::wstring_view::npos)
        return std::nullopt;
    std::wstring_view rest = page.substr(at + kMarker.size(), 20);

    // Year, month, day, hour, minute end at a comma, the second at ")". A
    // part whose end is not within the 20 characters is lost, and so is
    // everything after it: a half-read number would be a wrong one.
    constexpr std::array<wchar_t, 6> kEnds{L',', L',', L',', L',', L',', L')'};
    std::array<std::wstring, 6> part;
    for (size_t i = 0; i < part.size(); ++i) {
        const size_t end = rest.find(kEnds[i]);
        if (end == std::wstring_view::npos)
            break;
        part[i] = std::wstring(rest.substr(0, end));
        rest.remove_prefix(end + 1);
    }

    const std::wstring month = part[1].empty() ? std::wstring() : std::to_wstring(LeadingNumber(part[1]) + 1);
    return part[0] + L"/" + month + L"/" + part[2] + L" " + part[3] + L":" + part[4] + L":" + part[5];
}

std::optional<std::wstring> InternetAddressFromStatus(std::wstring_view page)
{
    constexpr std::wstring_view kMarker = L"name=\"ip\" value=\"";
    const size_t at = page.find(kMarker);
    if (at == std::wstring_view::npos)
        return std::nullopt;
    const std::wstring_view rest = page.substr(at + kMarker.size());
    const size_t end = rest.find(L"\">");
    if (end == std::wstring_view::npos)
        return std::wstring();
    return TrimBlanks(rest.substr(0, end));
}
