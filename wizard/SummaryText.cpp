#include "SummaryText.h"

#include <cstdint>
#include <vector>

#include "Markup.h"
#include "QrCode.h"

namespace {

std::wstring Fill(std::wstring_view format, const std::wstring_view* next, const std::wstring_view* end)
{
    std::wstring out;
    out.reserve(format.size());
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == L'%' && i + 1 < format.size()) {
            if (format[i + 1] == L's') {
                if (next != end)
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

} // namespace

std::wstring FillFormat(std::wstring_view format, std::initializer_list<std::wstring_view> values)
{
    return Fill(format, values.begin(), values.end());
}

std::wstring FillMarkup(std::wstring_view format, std::initializer_list<std::wstring_view> values)
{
    std::vector<std::wstring> escaped;
    escaped.reserve(values.size());
    for (std::wstring_view value : values)
        escaped.push_back(tk::EscapeMarkup(value));
    const std::vector<std::wstring_view> views(escaped.begin(), escaped.end());
    return Fill(format, views.data(), views.data() + views.size());
}

std::wstring SettingsFileText(std::wstring_view webUri, const SummaryValues& values, std::wstring_view joinCaption)
{
    std::wstring text;
    text += L"Access to router configuration: http://";
    text += webUri;
    text += L"<br>";
    text += L"Administrator user name: admin<br>";
    text += L"Administrator password: " + tk::EscapeMarkup(values.adminPassword) + L"<br><br>";
    text += L"Wireless Name (SSID): " + tk::EscapeMarkup(values.ssid) + L"<br>";
    text += L"Wireless Security: WPA2<br>";
    text += L"Wireless Password: " + tk::EscapeMarkup(values.wirelessKey) + L"<br><br>";
    text += L"System time: " + tk::EscapeMarkup(values.systemTime) + L"<br>";
    text += L"Internet IP Address: " + tk::EscapeMarkup(values.internetIP);
    text += JoinCodeHtml(values.ssid, values.wirelessKey, joinCaption);
    return text;
}

std::wstring JoinCodeHtml(std::wstring_view ssid, std::wstring_view key, std::wstring_view caption)
{
    const std::optional<QrMatrix> code = EncodeQr(WifiJoinText(ssid, key));
    if (!code)
        return {};
    return L"<br><br>" + QrSvg(*code) + L"<br>" + tk::EscapeMarkup(caption);
}

std::wstring QrSvg(const QrMatrix& code)
{
    const std::wstring across = std::to_wstring(code.size + 2 * kQrQuietZone);
    std::wstring svg = L"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4cm\" height=\"4cm\" viewBox=\"0 0 " +
                       across + L" " + across + L"\" shape-rendering=\"crispEdges\"><rect width=\"" + across +
                       L"\" height=\"" + across + L"\" fill=\"#fff\"/><path fill=\"#000\" d=\"";
    for (int y = 0; y < code.size; ++y) {
        for (int x = 0; x < code.size;) {
            if (!code.At(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < code.size && code.At(end, y))
                ++end;
            const std::wstring run = std::to_wstring(end - x);
            svg += L"M" + std::to_wstring(x + kQrQuietZone) + L" " + std::to_wstring(y + kQrQuietZone) + L"h" + run +
                   L"v1h-" + run + L"z";
            x = end;
        }
    }
    svg += L"\"/></svg>";
    return svg;
}

std::wstring CompletionText(std::wstring_view format, const SummaryValues& values)
{
    return FillMarkup(format,
                      {values.adminPassword, values.ssid, values.wirelessKey, values.systemTime, values.internetIP});
}

std::wstring JoiningText(std::wstring_view format, const SummaryValues& values)
{
    return FillMarkup(format, {values.ssid, values.wirelessKey});
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
