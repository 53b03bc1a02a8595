// Header settings of the web access library: the block each kind of request carries, the
// getter's size rule, the cookie rule, and what a reset keeps.
#include <gtest/gtest.h>

#include "ConnectionState.h"

using namespace keplo;

namespace {
const std::wstring kEncoding = L"Accept-Encoding: gzip,deflate,sdch\r\n";
const std::wstring kLanguage = L"Accept-Language: zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4\r\n";
} // namespace

TEST(KeploHeaderBlock, PerRequestKindWithEmptyValuesLeftOut)
{
    HeaderSettings headers;
    EXPECT_EQ(ComposeHeaderBlock(headers, RequestKind::Get),
              kEncoding + kLanguage + L"Accept-Charset: Big5,utf-8;q=0.7,*;q=0.3\r\n");
    EXPECT_EQ(ComposeHeaderBlock(headers, RequestKind::Post),
              kEncoding + kLanguage + L"Content-Type: application/x-www-form-urlencoded\r\n");
    EXPECT_EQ(ComposeHeaderBlock(headers, RequestKind::Upload), kEncoding + kLanguage);

    headers.acceptEncoding.clear();
    headers.acceptCharset.clear();
    headers.cookie = L"SESSION=7 path=/";
    EXPECT_EQ(ComposeHeaderBlock(headers, RequestKind::Get), kLanguage + L"Cookie: SESSION=7 path=/\r\n");
    headers.acceptLanguage.clear();
    headers.postContentType.clear();
    headers.cookie.clear();
    EXPECT_EQ(ComposeHeaderBlock(headers, RequestKind::Post), L"");
}

TEST(KeploCookieRule, LastSemicolonIsRemoved)
{
    EXPECT_EQ(CookieFromSetCookie(L"id=42; path=/"), L"id=42 path=/");
    EXPECT_EQ(CookieFromSetCookie(L"a=1; b=2; path=/"), L"a=1; b=2 path=/");
    EXPECT_EQ(CookieFromSetCookie(L"id=42;"), L"id=42");
    EXPECT_EQ(CookieFromSetCookie(L"id=42"), L"id=42");
}

TEST(KeploGetterRule, CopiesOnlyWhenTheTerminatorFits)
{
    wchar_t buffer[8] = {L'x', L'x', L'x', L'x', L'x', L'x', L'x', L'x'};
    int size = 3; // exactly the length
    EXPECT_EQ(CopySetting(L"abc", buffer, &size), -1);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(buffer[0], L'x');
    EXPECT_EQ(CopySetting(L"abc", buffer, &size), 0);
    EXPECT_STREQ(buffer, L"abc");
    EXPECT_EQ(buffer[4], L'x');

    size = 0; // asking for the size needs no buffer
    EXPECT_EQ(CopySetting(L"abc", nullptr, &size), -1);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(CopySetting(L"abc", nullptr, &size), kErrorInvalidParameter);
    EXPECT_EQ(CopySetting(L"abc", buffer, nullptr), kErrorInvalidParameter);
}

TEST(KeploConnectionState, ResetRestoresDefaultsButKeepsTheCookie)
{
    ConnectionState state;
    StoreSetting(state.headers.acceptLanguage, nullptr);
    StoreSetting(state.headers.cookie, L"id=9");
    EXPECT_TRUE(state.headers.acceptLanguage.empty());
    state.host = L"192.168.2.1";
    state.password = L"pw";
    state.port = 8080;
    state.interfaceIndex = 7;
    state.connectionName = L"LAN";
    state.hardwareAddress[0] = 2;
    state.aliasContext = 33;
    state.dhcpEnabled = 1;

    state.Reset();
    EXPECT_EQ(state.headers.acceptLanguage, kDefaultAcceptLanguage);
    EXPECT_EQ(state.headers.cookie, L"id=9");
    EXPECT_TRUE(state.host.empty() && state.password.empty() && state.connectionName.empty());
    EXPECT_EQ(state.port, 80);
    EXPECT_EQ(state.interfaceIndex + state.aliasContext + state.dhcpEnabled, 0u);
    EXPECT_EQ(state.hardwareAddress, HardwareAddress{});
}
