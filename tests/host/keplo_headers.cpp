// Header settings of the web access library: the block each kind of request carries, the
// getter's size rule, and what a reset keeps.
#include <gtest/gtest.h>

#include "ConnectionState.h"

using keplo::ComposeHeaderBlock;
using keplo::ConnectionState;
using keplo::CopySetting;
using keplo::CookieFromSetCookie;
using keplo::HeaderSettings;
using keplo::RequestKind;

TEST(KeploHeaderBlock, DefaultsPerRequestKind) {
    const HeaderSettings defaults;
    EXPECT_EQ(ComposeHeaderBlock(defaults, RequestKind::Get),
              L"Accept-Encoding: gzip,deflate,sdch\r\n"
              L"Accept-Language: zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4\r\n"
              L"Accept-Charset: Big5,utf-8;q=0.7,*;q=0.3\r\n");
    EXPECT_EQ(ComposeHeaderBlock(defaults, RequestKind::Post),
              L"Accept-Encoding: gzip,deflate,sdch\r\n"
              L"Accept-Language: zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4\r\n"
              L"Content-Type: application/x-www-form-urlencoded\r\n");
    EXPECT_EQ(ComposeHeaderBlock(defaults, RequestKind::Upload),
              L"Accept-Encoding: gzip,deflate,sdch\r\n"
              L"Accept-Language: zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4\r\n");
}

TEST(KeploHeaderBlock, CookieComesLastAndEmptyValuesAreLeftOut) {
    HeaderSettings headers;
    headers.acceptEncoding.clear();
    headers.acceptCharset.clear();
    headers.cookie = L"SESSION=7 path=/";
    EXPECT_EQ(ComposeHeaderBlock(headers, RequestKind::Get),
              L"Accept-Language: zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4\r\n"
              L"Cookie: SESSION=7 path=/\r\n");
    EXPECT_EQ(ComposeHeaderBlock(headers, RequestKind::Upload),
              L"Accept-Language: zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4\r\n"
              L"Cookie: SESSION=7 path=/\r\n");

    HeaderSettings none;
    none.acceptEncoding.clear();
    none.acceptLanguage.clear();
    none.postContentType.clear();
    EXPECT_EQ(ComposeHeaderBlock(none, RequestKind::Post), L"");
}

TEST(KeploCookieRule, LastSemicolonIsRemoved) {
    EXPECT_EQ(CookieFromSetCookie(L"id=42; path=/"), L"id=42 path=/");
    EXPECT_EQ(CookieFromSetCookie(L"a=1; b=2; path=/"), L"a=1; b=2 path=/");
    EXPECT_EQ(CookieFromSetCookie(L"id=42;"), L"id=42");
    EXPECT_EQ(CookieFromSetCookie(L"id=42"), L"id=42");
    EXPECT_EQ(CookieFromSetCookie(L""), L"");
}

TEST(KeploGetterRule, CopiesOnlyWhenTerminatorFits) {
    const std::wstring value = L"abc";
    wchar_t buffer[8] = {L'x', L'x', L'x', L'x', L'x', L'x', L'x', L'x'};

    int size = 3;  // exactly the length: no room for the terminator
    EXPECT_EQ(CopySetting(value, buffer, &size), -1);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(buffer[0], L'x');

    size = 4;
    EXPECT_EQ(CopySetting(value, buffer, &size), 0);
    EXPECT_EQ(size, 4);
    EXPECT_STREQ(buffer, L"abc");
    EXPECT_EQ(buffer[4], L'x');
}

TEST(KeploGetterRule, SizeQueriesAndNullArguments) {
    int size = 0;
    EXPECT_EQ(CopySetting(L"abc", nullptr, &size), -1);  // asking for the size needs no buffer
    EXPECT_EQ(size, 4);
    size = -5;
    EXPECT_EQ(CopySetting(L"abc", nullptr, &size), -1);
    EXPECT_EQ(size, 4);

    size = 10;
    EXPECT_EQ(CopySetting(L"abc", nullptr, &size), keplo::kErrorInvalidParameter);
    wchar_t buffer[4] = {};
    EXPECT_EQ(CopySetting(L"abc", buffer, nullptr), keplo::kErrorInvalidParameter);

    size = 1;  // an empty value fits in one character
    EXPECT_EQ(CopySetting(L"", buffer, &size), 0);
    EXPECT_EQ(buffer[0], L'\0');
}

TEST(KeploConnectionState, SetterNullRemovesUntilResetAndCookieSurvives) {
    ConnectionState state;
    keplo::StoreSetting(state.headers.acceptLanguage, nullptr);
    keplo::StoreSetting(state.headers.cookie, L"id=9");
    EXPECT_EQ(ComposeHeaderBlock(state.headers, RequestKind::Get).find(L"Accept-Language"), std::wstring::npos);

    state.host = L"192.168.2.1";
    state.user = L"admin";
    state.password = L"pw";
    state.port = 8080;
    state.interfaceIndex = 7;
    state.connectionName = L"Local Area Connection";
    state.hardwareAddress[0] = 0x02;
    state.aliasContext = 33;
    state.adapterName = L"{GUID}";
    state.dhcpEnabled = 1;
    state.headers.acceptEncoding = L"identity";

    state.Reset();
    EXPECT_EQ(state.headers.acceptLanguage, keplo::kDefaultAcceptLanguage);
    EXPECT_EQ(state.headers.acceptEncoding, keplo::kDefaultAcceptEncoding);
    EXPECT_EQ(state.headers.cookie, L"id=9");
    EXPECT_TRUE(state.host.empty() && state.user.empty() && state.password.empty());
    EXPECT_EQ(state.port, 80);
    EXPECT_EQ(state.interfaceIndex, 0u);
    EXPECT_TRUE(state.connectionName.empty() && state.adapterName.empty());
    EXPECT_EQ(state.hardwareAddress, keplo::HardwareAddress{});
    EXPECT_EQ(state.aliasContext, 0u);
    EXPECT_EQ(state.dhcpEnabled, 0u);
}
