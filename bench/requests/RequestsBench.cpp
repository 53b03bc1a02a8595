// Round trips through Keplo.dll against a loopback server, and the same requests made by a
// minimal client that calls WinHTTP directly, in one run: prints the library's overhead.
//   requests_bench [round trips per kind]
#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Keplo.h"
#include "keplo_loopback.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBufferSize = 0x10000;
const wchar_t kHeadersGet[] =
    L"Accept-Encoding: gzip,deflate,sdch\r\nAccept-Language: zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4\r\n"
    L"Accept-Charset: Big5,utf-8;q=0.7,*;q=0.3\r\n";
const wchar_t kHeadersPost[] =
    L"Accept-Encoding: gzip,deflate,sdch\r\nAccept-Language: zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4\r\n"
    L"Content-Type: application/x-www-form-urlencoded\r\n";
const wchar_t kFormBody[] = L"wanType=2&pppUserName=someone%40isp&pppPassword=secret123&save=Apply";

// The same exchange as the library's, with no conversions or checks beyond what it needs.
unsigned DirectRequest(unsigned short port, bool post, std::wstring& text)
{
    LPCWSTR accept[] = {L"application/xml",
                        L"application/xhtml+xml",
                        L"text/html;q=0.9",
                        L"text/plain;q=0.8",
                        L"image/png",
                        L"*/*;q=0.5",
                        nullptr};
    HINTERNET session =
        WinHttpOpen(L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                    WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    HINTERNET connection = WinHttpConnect(session, L"127.0.0.1", port, 0);
    HINTERNET request =
        WinHttpOpenRequest(connection, post ? L"POST" : L"GET", post ? L"/goform/formWanTcpipSetup" : L"/stadevice.asp",
                           nullptr, WINHTTP_NO_REFERER, accept, 0);
    WinHttpAddRequestHeaders(request, post ? kHeadersPost : kHeadersGet, static_cast<DWORD>(-1L),
                             WINHTTP_ADDREQ_FLAG_ADD);
    WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC, L"admin", L"6093", nullptr);
    char body[256];
    const int length =
        post ? WideCharToMultiByte(CP_ACP, 0, kFormBody, -1, body, sizeof body, nullptr, nullptr) - 1 : 0;
    WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, length, 0);
    DWORD written = 0;
    if (length > 0)
        WinHttpWriteData(request, body, length, &written);
    WinHttpReceiveResponse(request, nullptr);
    DWORD status = 0;
    DWORD size = sizeof status;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                        &status, &size, WINHTTP_NO_HEADER_INDEX);
    std::string bytes;
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available) || available == 0)
            break;
        const std::size_t offset = bytes.size();
        bytes.resize(offset + available);
        DWORD read = 0;
        WinHttpReadData(request, bytes.data() + offset, available, &read);
        bytes.resize(offset + read);
    }
    WinHttpCloseHandle(request);
    WinHttpCloseHandle(connection);
    WinHttpCloseHandle(session);
    text.assign(bytes.size(), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        static_cast<int>(text.size()));
    return status;
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char** argv)
{
    const int perKind = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    constexpr int kRounds = 5; // kinds interleaved so that drift hits both clients alike

    keplotest::LoopbackServer server;
    std::string page = "<html><body><table>";
    for (int i = 0; i < 60; ++i)
        page += "<tr><td class=table2>&nbsp;row " + std::to_string(i) + "</td></tr>";
    page += "</table></body></html>";
    server.RespondWith(200, page);

    if (openConnection(L"127.0.0.1", L"255.255.255.0", L"admin", L"6093", server.Port()) != 0) {
        std::fprintf(stderr, "openConnection failed\n");
        return 1;
    }
    std::vector<wchar_t> buffer(kBufferSize);
    std::wstring direct;
    unsigned status = 0;
    int failures = 0;

    auto library = [&](bool post) {
        const int result = post ? webPost(L"/goform/formWanTcpipSetup", nullptr, nullptr, kFormBody, &status,
                                          buffer.data(), kBufferSize)
                                : webGet(L"/stadevice.asp", &status, buffer.data(), kBufferSize);
        failures += result != 0 || status != 200;
    };
    auto minimal = [&](bool post) { failures += DirectRequest(server.Port(), post, direct) != 200; };

    for (int i = 0; i < 10; ++i) { // warm-up
        library(i % 2 == 0);
        minimal(i % 2 == 0);
    }

    Clock::duration libraryTime{}, directTime{};
    const int chunk = std::max(1, perKind / kRounds);
    int done = 0;
    while (done < perKind) {
        const int n = std::min(chunk, perKind - done);
        for (bool post : {false, true}) {
            auto start = Clock::now();
            for (int i = 0; i < n; ++i)
                library(post);
            libraryTime += Clock::now() - start;
            start = Clock::now();
            for (int i = 0; i < n; ++i)
                minimal(post);
            directTime += Clock::now() - start;
        }
        done += n;
    }

    const int total = 2 * perKind;
    std::printf("requests: %d GET + %d POST per client, %d failed\n", perKind, perKind, failures);
    std::printf("Keplo.dll       %8.3f s  %7.3f ms/request\n", Seconds(libraryTime),
                1000 * Seconds(libraryTime) / total);
    std::printf("direct WinHTTP  %8.3f s  %7.3f ms/request\n", Seconds(directTime), 1000 * Seconds(directTime) / total);
    std::printf("overhead ratio  %.3f (aim: at most 1.10)\n", Seconds(libraryTime) / Seconds(directTime));
    return failures == 0 ? 0 : 1;
}
