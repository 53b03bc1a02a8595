// The library's one connection record and the request header rules that read it.
// Portable: no platform headers, so the rules are unit-tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>
#include <string_view>

namespace keplo {

inline constexpr wchar_t kDefaultAcceptEncoding[] = L"gzip,deflate,sdch";
inline constexpr wchar_t kDefaultAcceptLanguage[] = L"zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4";
inline constexpr wchar_t kDefaultAcceptCharset[] = L"Big5,utf-8;q=0.7,*;q=0.3";
inline constexpr wchar_t kDefaultPostContentType[] = L"application/x-www-form-urlencoded";
inline constexpr std::uint16_t kDefaultPort = 80;

// Win32 codes the exports hand back; spelled out so that portable code needs no <windows.h>.
inline constexpr int kErrorInvalidParameter = 87;
inline constexpr int kErrorInsufficientBuffer = 8;      // the library's "does not fit" answer
inline constexpr int kErrorNoUnicodeTranslation = 1113; // a body the ANSI code page cannot hold

struct HeaderSettings {
    std::wstring acceptEncoding = kDefaultAcceptEncoding;
    std::wstring acceptLanguage = kDefaultAcceptLanguage;
    std::wstring acceptCharset = kDefaultAcceptCharset;
    std::wstring postContentType = kDefaultPostContentType;
    std::wstring cookie;
};

// A hardware address as the adapter list gives it: up to 8 meaningful bytes in a 10-byte area.
using HardwareAddress = std::array<std::uint8_t, 10>;

struct ConnectionState {
    std::wstring host;
    std::wstring user;
    std::wstring password;
    std::uint32_t interfaceIndex = 0;
    std::wstring connectionName;
    HardwareAddress hardwareAddress{};
    std::uint32_t aliasContext = 0; // 0: the library has no alias address on record
    std::wstring adapterName;
    std::uint32_t dhcpEnabled = 0;
    std::uint16_t port = kDefaultPort;
    HeaderSettings headers;
    // What the last openConnection changed or tried on the PC's addressing, in
    // order, one short English line each ("alias 192.168.2.241 added on
    // interface 4"); empty when the router answered without a repair.
    std::vector<std::wstring> repairSteps;

    // Back to the state of a fresh load. The cookie is the router's session and outlives it;
    // the alias context is forgotten without deleting the address (it stays usable on the adapter).
    void Reset();
};

enum class RequestKind { Get, Post, Upload };

// The header lines every request carries, empty values left out, in one "\r\n"-terminated block.
std::wstring ComposeHeaderBlock(const HeaderSettings& headers, RequestKind kind);

// Routers append attributes after the session value ("id=42; path=/"); the stored cookie drops
// the last semicolon, so it is what the router expects back in the Cookie line.
std::wstring CookieFromSetCookie(std::wstring_view setCookieValue);

// Getter rule shared by the five header getters: copy the value with its terminator when it fits
// in *size characters, else leave the buffer alone and ask for length + 1 through *size.
int CopySetting(const std::wstring& value, wchar_t* buffer, int* size);

// Setter rule: a null value stores an empty one, which removes the header line.
void StoreSetting(std::wstring& value, const wchar_t* text);

// Null strings from callers count as empty.
inline std::wstring TextOrEmpty(const wchar_t* text)
{
    return text ? std::wstring(text) : std::wstring();
}

} // namespace keplo
