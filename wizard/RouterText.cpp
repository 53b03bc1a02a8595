#include "RouterText.h"

#include <cwctype>

namespace {

bool NeedsEncoding(wchar_t c)
{
    return c < 0x20 || c == 0x7F || c == L'&' || c == L'=' || c == L'+' || c == L'%' || c == L'#';
}

std::wstring_view TrimmedWhiteSpace(std::wstring_view text)
{
    while (!text.empty() && std::iswspace(static_cast<wint_t>(text.back())))
        text.remove_suffix(1);
    while (!text.empty() && std::iswspace(static_cast<wint_t>(text.front())))
        text.remove_prefix(1);
    return text;
}

} // namespace

std::wstring EscapeFormValue(std::wstring_view value)
{
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(value.size());
    for (wchar_t c : value) {
        if (NeedsEncoding(c)) {
            out += L'%';
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring RouterPageAddress(std::wstring_view routerIP, std::wstring_view page)
{
    std::wstring address = L"http://";
    address += routerIP;
    address += L'/';
    address += page;
    return address;
}

std::optional<RouterPost> WanForm(int wanType, std::wstring_view user, std::wstring_view password)
{
    switch (wanType) {
    case kWanDhcp:
        return RouterPost{L"/goform/formWanTcpipSetup", L"wandip.asp",
                          L"dynIPHostName=Korvandel&macAddrValue=000000000000&macAddr=000000000000"
                          L"&save=APPLY&submit-url=%2Fwandip.asp&wanMode=0"};
    case kWanPppoe:
        return RouterPost{L"/goform/formWanTcpipSetup", L"wanpppoe.asp",
                          L"redirect=&pppUserName=" + EscapeFormValue(user) + L"&pppPassword=" +
                              EscapeFormValue(password) +
                              L"&pppServName=&pppMTU=1392&pppConnectType=0&save=OK"
                              L"&submit-url=%2Fwanpppoe.html&isApply=1&wanMode=2&ipMode=ppp"};
    case kWanBigPond:
        return RouterPost{L"/goform/formTELBPSetup", L"wantelstra.asp",
                          L"telBPUserName=" + EscapeFormValue(user) + L"&telBPPassword=" + EscapeFormValue(password) +
                              L"&save=OK&submit-url=%2Ftemplate1.html&isApply=1&wanMode=4"};
    default:
        return std::nullopt;
    }
}

RouterPost RebootForm()
{
    return {L"/goform/formReboot", L"tlreset.asp", L"reset_flag=0&submit-url=%2Ftlreset.asp"};
}

std::optional<std::wstring> ExtractWirelessName(std::wstring_view page)
{
    static constexpr std::wstring_view kCellStart = L"write(\"<td class=table2>&nbsp;";
    static constexpr std::wstring_view kSecondSpace = L"&nbsp;";
    const size_t marker = page.find(kCellStart);
    if (marker == std::wstring_view::npos)
        return std::nullopt;
    // The cell opens with two "&nbsp;"; the name follows the second one
    // whatever it holds.
    const size_t nameStart = marker + kCellStart.size() + kSecondSpace.size();
    if (nameStart > page.size())
        return std::nullopt;
    std::wstring_view rest = page.substr(nameStart);
    const size_t cellEnd = rest.find(L"</td>");
    if (cellEnd == std::wstring_view::npos)
        return std::nullopt;
    return std::wstring(TrimmedWhiteSpace(rest.substr(0, cellEnd)));
}
