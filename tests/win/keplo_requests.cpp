// The library's requests on the wire: a loopback server records the raw bytes of what
// webGet, webPost and webUploadFile send and answers with scripted responses.
// openConnection is only ever given 127.0.0.1 here, which needs no adapter repair.
#include <gtest/gtest.h>

#include "keplo_loopback.h" // first: it brings winsock2.h ahead of windows.h

#include <windows.h>
#include <psapi.h>
#include <winhttp.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Keplo.h"

using keplotest::LoopbackServer;
using keplotest::ParsedRequest;
using Strings = std::vector<std::string>;

namespace {

constexpr int kBufferSize = 0x10000;
const Strings kLanguage{"zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4"};
const Strings kForm{"application/x-www-form-urlencoded"};

class KeploRequests : public ::testing::Test {
protected:
    void SetUp() override
    {
        setWebCookieID(nullptr);
        Connect(L"admin", L"6093", server.Port());
        std::fill(std::begin(buffer), std::end(buffer), L'#');
    }
    static void Connect(const wchar_t* user, const wchar_t* password, unsigned short port)
    {
        ASSERT_EQ(openConnection(L"127.0.0.1", L"255.255.255.0", user, password, port), 0);
    }
    ParsedRequest Last()
    {
        const auto requests = server.Requests();
        return ParsedRequest(requests.empty() ? std::string() : requests.back());
    }
    int Get(const wchar_t* path, int size = kBufferSize) { return webGet(path, &status, buffer, size); }
    int Post(const wchar_t* body, int size = kBufferSize)
    {
        return webPost(L"/goform/x", nullptr, nullptr, body, &status, buffer, size);
    }

    LoopbackServer server;
    unsigned int status = 12345;
    wchar_t buffer[kBufferSize];
};

} // namespace

TEST_F(KeploRequests, GetOnTheWire)
{
    server.RespondWith(200, "<html>status</html>");
    ASSERT_EQ(Get(L"/stadevice.asp"), 0);
    EXPECT_EQ(status, 200u);
    EXPECT_STREQ(buffer, L"<html>status</html>");
    ASSERT_EQ(server.Requests().size(), 1u);
    const ParsedRequest request = Last();
    EXPECT_EQ(request.requestLine, "GET /stadevice.asp HTTP/1.1");
    EXPECT_EQ(
        request.Values("Accept"),
        Strings{"application/xml, application/xhtml+xml, text/html;q=0.9, text/plain;q=0.8, image/png, */*;q=0.5"});
    EXPECT_EQ(request.Values("User-Agent"), Strings{"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)"});
    EXPECT_EQ(request.Values("Host"), Strings{"127.0.0.1:" + std::to_string(server.Port())});
    EXPECT_EQ(request.Values("Authorization"), Strings{"Basic YWRtaW46NjA5Mw=="}); // admin:6093
    EXPECT_EQ(request.Values("Accept-Encoding"), Strings{"gzip,deflate,sdch"});
    EXPECT_EQ(request.Values("Accept-Language"), kLanguage);
    EXPECT_EQ(request.Values("Accept-Charset"), Strings{"Big5,utf-8;q=0.7,*;q=0.3"});
    EXPECT_TRUE(request.body.empty());
    // Nothing beyond these lines and the HTTP layer's own.
    const Strings allowed = {"accept",          "user-agent",     "host",       "authorization", "accept-encoding",
                             "accept-language", "accept-charset", "connection", "cache-control", "pragma"};
    for (const std::string& line : request.headers)
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), keplotest::Lower(line.substr(0, line.find(':')))),
                  allowed.end())
            << line;
}

TEST_F(KeploRequests, PostWithAndWithoutExtraHeadersAndReferrer)
{
    ASSERT_EQ(webPost(L"/goform/formWanTcpipSetup", L"X-Extra: 1\r\nX-Other: two\r\n", L"http://127.0.0.1/wanpppoe.asp",
                      L"wanType=2&user=me%40isp", &status, buffer, kBufferSize),
              0);
    EXPECT_STREQ(buffer, L"OK");
    ParsedRequest request = Last();
    EXPECT_EQ(request.requestLine, "POST /goform/formWanTcpipSetup HTTP/1.1");
    EXPECT_EQ(request.body, "wanType=2&user=me%40isp");
    EXPECT_EQ(request.Values("Content-Length"), Strings{"23"});
    EXPECT_EQ(request.Values("Content-Type"), kForm);
    EXPECT_EQ(request.Values("Referer"), Strings{"http://127.0.0.1/wanpppoe.asp"});
    EXPECT_EQ(request.Values("X-Extra"), Strings{"1"});
    EXPECT_EQ(request.Values("X-Other"), Strings{"two"});
    EXPECT_EQ(request.Values("Accept-Language"), kLanguage);
    EXPECT_TRUE(request.Values("Accept-Charset").empty());
    EXPECT_EQ(request.Values("Authorization").size(), 1u);

    ASSERT_EQ(webPost(L"/goform/formReboot", nullptr, nullptr, L"", &status, buffer, kBufferSize), 0);
    request = Last();
    EXPECT_TRUE(request.Values("Referer").empty());
    EXPECT_EQ(request.Values("Content-Length"), Strings{"0"});
    EXPECT_EQ(request.Values("Content-Type"), kForm);
}

TEST_F(KeploRequests, UploadSendsPrefixFileAndSuffixAsOneBody)
{
    const std::string fileBytes("\x00\x01\xFFrouter-image\r\n", 17);
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"keplo_upload.bin";
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, fileBytes.data(), static_cast<DWORD>(fileBytes.size()), &written, nullptr);
    CloseHandle(file);

    ASSERT_EQ(webUploadFile(L"/goform/formUpload", L"X-Part: 1\r\n", L"http://127.0.0.1/upload.asp",
                            L"multipart/form-data; boundary=XyZ", L"--XyZ\r\n\r\n", path.c_str(), L"\r\n--XyZ--\r\n",
                            &status, buffer, kBufferSize),
              0);
    DeleteFileW(path.c_str());
    const ParsedRequest request = Last();
    const std::string body = "--XyZ\r\n\r\n" + fileBytes + "\r\n--XyZ--\r\n";
    EXPECT_EQ(request.requestLine, "POST /goform/formUpload HTTP/1.1");
    EXPECT_EQ(request.body, body);
    EXPECT_EQ(request.Values("Content-Length"), Strings{std::to_string(body.size())});
    EXPECT_EQ(request.Values("Content-Type"), Strings{"multipart/form-data; boundary=XyZ"});
    EXPECT_EQ(request.Values("X-Part"), Strings{"1"});
    EXPECT_EQ(request.Values("Referer"), Strings{"http://127.0.0.1/upload.asp"});

    // A file that cannot be opened: nothing goes out, status and buffer stay as they were.
    status = 12345;
    buffer[0] = L'#';
    EXPECT_EQ(webUploadFile(L"/goform/formUpload", nullptr, nullptr, nullptr, L"", L"C:\\no\\such.bin", L"", &status,
                            buffer, kBufferSize),
              2);
    EXPECT_EQ(webUploadFile(L"/x", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &status, buffer, kBufferSize),
              2);
    EXPECT_EQ(status, 12345u);
    EXPECT_EQ(buffer[0], L'#');
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(KeploRequests, CookieFromGetIsStoredSentAndKept)
{
    server.RespondWith(200, "in", "Set-Cookie: SESSION=a1b2; path=/\r\n");
    ASSERT_EQ(Get(L"/login.asp"), 0);
    wchar_t cookie[64] = {};
    int size = 64;
    ASSERT_EQ(getWebCookieID(cookie, &size), 0);
    EXPECT_STREQ(cookie, L"SESSION=a1b2 path=/"); // the last semicolon goes, the blank stays

    server.RespondWith(200, "ok", "Set-Cookie: OTHER=1\r\n"); // POST answers never change it
    ASSERT_EQ(Post(L"a=1"), 0);
    EXPECT_EQ(Last().Values("Cookie"), Strings{"SESSION=a1b2 path=/"});
    Connect(L"admin", L"6093", server.Port()); // a new connection keeps it
    ASSERT_EQ(Get(L"/status.asp"), 0);
    EXPECT_EQ(Last().Values("Cookie"), Strings{"SESSION=a1b2 path=/"});

    setWebCookieID(L"mine=1"); // sent, then replaced by the next GET's Set-Cookie
    server.RespondWith(200, "ok", "Set-Cookie: theirs=2;\r\n");
    ASSERT_EQ(Get(L"/status.asp"), 0);
    EXPECT_EQ(Last().Values("Cookie"), Strings{"mine=1"});
    size = 64;
    ASSERT_EQ(getWebCookieID(cookie, &size), 0);
    EXPECT_STREQ(cookie, L"theirs=2");
}

TEST_F(KeploRequests, SetterNullRemovesItsHeaderUntilTheNextConnection)
{
    setWebAcceptLanguage(nullptr);
    setWebPostContentType(L"text/plain");
    ASSERT_EQ(Get(L"/a.asp"), 0);
    EXPECT_TRUE(Last().Values("Accept-Language").empty());
    ASSERT_EQ(Post(L"x"), 0);
    EXPECT_EQ(Last().Values("Content-Type"), Strings{"text/plain"});

    Connect(L"admin", L"6093", server.Port());
    ASSERT_EQ(Get(L"/a.asp"), 0);
    EXPECT_EQ(Last().Values("Accept-Language"), kLanguage);
    ASSERT_EQ(Post(L"x"), 0);
    EXPECT_EQ(Last().Values("Content-Type"), kForm);
}

TEST_F(KeploRequests, StatusesAreAnswersNotFailures)
{
    for (int code : {401, 404, 500}) {
        server.RespondWith(code, "refused " + std::to_string(code));
        EXPECT_EQ(Get(L"/stadevice.asp"), 0);
        EXPECT_EQ(status, static_cast<unsigned>(code));
        EXPECT_EQ(std::wstring(buffer), L"refused " + std::to_wstring(code));
        status = 0;
        EXPECT_EQ(Post(L"a=1"), 0);
        EXPECT_EQ(status, static_cast<unsigned>(code));
    }
    // A redirection is the router's answer too: never followed, its body kept.
    server.RespondTo("/index.asp", LoopbackServer::Response(302, "moved", "Location: /home.asp\r\n"));
    server.RespondTo("/goform/x", LoopbackServer::Response(302, "saved", "Location: http://127.0.0.1/home.asp\r\n"));
    server.RespondTo("/home.asp", LoopbackServer::Response(200, "home"));
    EXPECT_EQ(Get(L"/index.asp"), 0);
    EXPECT_EQ(status, 302u);
    EXPECT_STREQ(buffer, L"moved");
    EXPECT_EQ(Post(L"a=1"), 0);
    EXPECT_EQ(status, 302u);
    EXPECT_STREQ(buffer, L"saved");
    EXPECT_EQ(Last().requestLine, "POST /goform/x HTTP/1.1") << "nothing went to the new location";
}

TEST_F(KeploRequests, ResponseMustFitWithItsTerminator)
{
    server.RespondWith(200, "0123456789");
    buffer[0] = L'#';
    EXPECT_EQ(Get(L"/x", 10), 8);
    EXPECT_EQ(buffer[0], L'#');
    EXPECT_EQ(status, 200u); // the answer arrived; only the copy was refused
    EXPECT_EQ(Post(L"", 10), 8);
    EXPECT_EQ(buffer[0], L'#');
    EXPECT_EQ(Get(L"/x", 11), 0);
    EXPECT_STREQ(buffer, L"0123456789");

    // A zero byte does not cut the rest; it counts as a character.
    server.RespondWith(200, std::string("ab\0cd", 5));
    ASSERT_EQ(Get(L"/z"), 0);
    EXPECT_EQ(std::wstring(buffer, 6), std::wstring(L"ab\0cd\0", 6));
    EXPECT_EQ(Get(L"/z", 5), 8);

    std::string large; // many reads
    for (int i = 0; i < 6000; ++i)
        large += "line " + std::to_string(i) + "\n";
    server.RespondWith(200, large);
    ASSERT_EQ(Get(L"/big"), 0);
    EXPECT_EQ(std::wstring(buffer), std::wstring(large.begin(), large.end()));
}

TEST_F(KeploRequests, EndlessResponseEndsWithEightSoonAndInLittleMemory)
{
    constexpr unsigned long long kGigabyte = 1ull << 30;
    server.Stream("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kGigabyte) + "\r\nConnection: close\r\n\r\n",
                  kGigabyte);
    PROCESS_MEMORY_COUNTERS before{}, after{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Get(L"/endless"), 8);
    EXPECT_LT(GetTickCount64() - start, 5000u);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
    // The peak against the use before: an earlier peak can only make the growth look larger.
    EXPECT_LT(after.PeakWorkingSetSize - std::min(before.WorkingSetSize, after.PeakWorkingSetSize), SIZE_T{16} << 20);
    EXPECT_LT(server.StreamedBytes(), kGigabyte);
}

TEST_F(KeploRequests, RefusedConnectionReportsTheHttpLayerError)
{
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(probe); // nothing listens on this port now

    Connect(L"admin", L"6093", ntohs(address.sin_port));
    EXPECT_EQ(Get(L"/x"), ERROR_WINHTTP_CANNOT_CONNECT);
    EXPECT_EQ(status, 12345u);
    EXPECT_STREQ(buffer, L""); // what arrived: nothing
    EXPECT_EQ(Post(L"a"), ERROR_WINHTTP_CANNOT_CONNECT);

    Connect(L"admin", L"6093", server.Port());
    EXPECT_EQ(Get(L"/x"), 0);
    EXPECT_EQ(status, 200u);
}

TEST_F(KeploRequests, NullArgumentsNeverCrash)
{
    EXPECT_EQ(webGet(L"/x", nullptr, buffer, kBufferSize), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Get(nullptr, 0), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(webGet(L"/x", &status, nullptr, kBufferSize), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(webPost(L"/x", nullptr, nullptr, L"", nullptr, buffer, kBufferSize), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Post(L"", -1), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(webUploadFile(L"/x", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &status, nullptr, 10),
              ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(status, 12345u);

    // Null strings count as empty: no credentials, no Authorization line.
    EXPECT_EQ(webPost(nullptr, nullptr, nullptr, nullptr, &status, buffer, kBufferSize), 0);
    Connect(nullptr, nullptr, server.Port());
    EXPECT_EQ(Get(nullptr), 0);
    EXPECT_TRUE(Last().Values("Authorization").empty());

    int size = 64;
    EXPECT_EQ(getWebAcceptEncoding(nullptr, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(getWebAcceptEncoding(buffer, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(currentInterfaceIndex(nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(KeploRequests, InterfaceExportsNeedAKnownInterface)
{
    unsigned int index = 99; // a loopback host leaves no interface on record
    EXPECT_EQ(currentInterfaceIndex(&index), -1);
    EXPECT_EQ(index, 0u);
    for (int result :
         {releaseInterfaceIPAddress(), renewInterfaceIPAddress(), setInterfaceIPToAuto(), setInterfaceDNSToAuto(),
          setInterfaceStaticIP(L"192.168.2.50", nullptr, nullptr), setInterfaceStaticDNS(nullptr)})
        EXPECT_EQ(result, -1);
    EXPECT_EQ(closeConnection(), 0);
}

// Runs in the code page the process was started with (a second CTest run uses Big5).
TEST_F(KeploRequests, AnsiCodePageBody)
{
    const UINT codePage = GetACP();
    char locale[64] = {};
    GetEnvironmentVariableA("LC_ALL", locale, sizeof locale);
    if (std::string(locale).rfind("zh_TW", 0) == 0) {
        ASSERT_EQ(codePage, 950u);
    }
    if (codePage == 1252) {
        server.RespondWith(200, "caf\xE9 \x80 5");
        ASSERT_EQ(Get(L"/t"), 0);
        EXPECT_STREQ(buffer, L"caf\u00e9 \u20ac 5");
        ASSERT_EQ(Post(L"name=caf\u00e9"), 0);
        EXPECT_EQ(Last().body, "name=caf\xE9");
    } else if (codePage == 950) {
        // "中文" in Big5 is A4 A4 A4 E5; the answer is cut in the middle of the second character.
        server.Respond({"HTTP/1.1 200 OK\r\nContent-Length: 6\r\nConnection: close\r\n\r\nA\xA4\xA4\xA4", "\xE5Z"},
                       300);
        ASSERT_EQ(Get(L"/t"), 0);
        EXPECT_STREQ(buffer, L"A\u4e2d\u6587Z");
        // Two bytes a character: six bytes fit a buffer of five characters.
        EXPECT_EQ(Get(L"/t", 5), 0);
        EXPECT_EQ(Get(L"/t", 4), 8);
        ASSERT_EQ(Post(L"ssid=\u4e2d\u6587"), 0);
        EXPECT_EQ(Last().body, "ssid=\xA4\xA4\xA4\xE5");
        EXPECT_EQ(Last().Values("Content-Length"), Strings{"9"});
    } else {
        GTEST_SKIP() << "ANSI code page " << codePage;
    }
}

// Best fit would send other characters (U+FF06 as "&"); none of these is in 1252 or 950.
TEST_F(KeploRequests, BodyTheCodePageCannotHoldIsRefusedBeforeAnyConnection)
{
    const wchar_t loneSurrogate[] = {L'a', L'=', 0xD800, L'b', 0};
    std::vector<std::wstring> bodies = {L"pppUserName=\u0E01", L"pppPassword=\U0001F600", loneSurrogate};
    if (GetACP() == 1252)
        bodies.push_back(L"pppUserName=me\uFF06pppMTU\uFF1D1");
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    const std::wstring file = std::wstring(dir) + L"keplo_upload_cp.bin";
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (const std::wstring& body : bodies) {
        EXPECT_EQ(Post(body.c_str()), ERROR_NO_UNICODE_TRANSLATION);
        EXPECT_EQ(webUploadFile(L"/u", nullptr, nullptr, nullptr, L"", file.c_str(), body.c_str(), &status, buffer,
                                kBufferSize),
                  ERROR_NO_UNICODE_TRANSLATION);
    }
    DeleteFileW(file.c_str());
    EXPECT_EQ(server.Connections(), 0);
}
