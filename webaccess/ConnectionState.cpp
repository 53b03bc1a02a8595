#include "ConnectionState.h"

#include <algorithm>

namespace keplo {

void ConnectionState::Reset()
{
    std::wstring keptCookie = std::move(headers.cookie);
    *this = ConnectionState{};
    headers.cookie = std::move(keptCookie);
}

namespace {

void AppendLine(std::wstring& block, std::wstring_view name, const std::wstring& value)
{
    if (value.empty())
        return;
    block.append(name).append(L": ").append(value).append(L"\r\n");
}

} // namespace

std::wstring ComposeHeaderBlock(const HeaderSettings& headers, RequestKind kind)
{
    std::wstring block;
    AppendLine(block, L"Accept-Encoding", headers.acceptEncoding);
    AppendLine(block, L"Accept-Language", headers.acceptLanguage);
    switch (kind) {
    case RequestKind::Get:
        AppendLine(block, L"Accept-Charset", headers.acceptCharset);
        break;
    case RequestKind::Post:
        AppendLine(block, L"Content-Type", headers.postContentType);
        break;
    case RequestKind::Upload:
        break; // the caller names the upload's content type itself
    }
    AppendLine(block, L"Cookie", headers.cookie);
    return block;
}

std::wstring CookieFromSetCookie(std::wstring_view setCookieValue)
{
    std::wstring cookie(setCookieValue);
    const auto last = cookie.rfind(L';');
    if (last != std::wstring::npos)
        cookie.erase(last, 1);
    return cookie;
}

int CopySetting(const std::wstring& value, wchar_t* buffer, int* size)
{
    if (!size)
        return kErrorInvalidParameter;
    const auto length = static_cast<long long>(value.size());
    if (length < *size) {
        if (!buffer)
            return kErrorInvalidParameter;
        std::copy(value.c_str(), value.c_str() + value.size() + 1, buffer);
        return 0;
    }
    *size = static_cast<int>(std::min<long long>(length + 1, 0x7fffffff));
    return -1;
}

void StoreSetting(std::wstring& value, const wchar_t* text)
{
    value = TextOrEmpty(text);
}

} // namespace keplo
