#include "SummaryText.h"

#include <cstdint>

std::wstring FillFormat(std::wstring_view format, std::initializer_list<std::wstring_view> values)
{
    std::wstring out;
    out.reserve(format.size());
    auto next = values.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size()) {
            if (format[i + 1] == L's') {
                if (next != values.end())
                    out += *next++;
                ++i;
                continue;
            }
            if (format[i + 1] == L'%') {
                out += L'%';
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

std::wstring SettingsFileText(std::wstring_view webUri, const SummaryValues& values)
{
    std::wstring text;
    text += L"Access to router configuration: http://";
    text += webUri;
    text += L"<br>";
    text += L"Administrator user name: admin<br>";
    text += L"Administrator password: " + values.adminPassword + L"<br><br>";
    text += L"Wireless Name (SSID): " + values.ssid + L"<br>";
    text += L"Wireless Security: WPA2<br>";
    text += L"Wireless Password: " + values.wirelessKey + L"<br><br>";
    text += L"System time: " + values.systemTime + L"<br>";
    text += L"Internet IP Address: " + values.internetIP;
    return text;
}

std::wstring CompletionText(std::wstring_view format, const SummaryValues& values)
{
    return FillFormat(format,
                      {values.adminPassword, values.ssid, values.wirelessKey, values.systemTime, values.internetIP});
}

std::wstring JoiningText(std::wstring_view format, const SummaryValues& values)
{
    return FillFormat(format, {values.ssid, values.wirelessKey});
}

std::string Utf8WithBom(std::wstring_view text)
{
    std::string out = "\xEF\xBB\xBF";
    out.reserve(out.size() + text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
                const std::uint32_t low = static_cast<std::uint32_t>(text[i + 1]);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
