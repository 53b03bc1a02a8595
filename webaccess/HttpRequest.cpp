#include "WinHandles.h" // first: it brings winsock2.h ahead of windows.h

#include "HttpRequest.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "WinNetPlatform.h"

namespace keplo {

namespace {

// Offered in this order; WinHTTP joins them into one Accept line.
LPCWSTR kAcceptTypes[] = {L"application/xml",
                          L"application/xhtml+xml",
                          L"text/html;q=0.9",
                          L"text/plain;q=0.8",
                          L"image/png",
                          L"*/*;q=0.5",
                          nullptr};

// Routers keep their session cookies short; a longer Set-Cookie value is not taken.
constexpr DWORD kCookieBytes = 256;

const wchar_t* Verb(RequestKind kind)
{
    return kind == RequestKind::Get ? L"GET" : L"POST";
}

// Wine's WinHTTP accepts the referrer when the request is opened but never sends it;
// Windows does. Adding it only when the request lacks one gives one line on both.
void EnsureReferer(HINTERNET request, const std::wstring& referrer)
{
    if (referrer.empty())
        return;
    DWORD length = 0;
    if (WinHttpQueryHeaders(request, WINHTTP_QUERY_REFERER | WINHTTP_QUERY_FLAG_REQUEST_HEADERS,
                            WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &length, WINHTTP_NO_HEADER_INDEX) ||
        GetLastError() != ERROR_WINHTTP_HEADER_NOT_FOUND)
        return;
    const std::wstring line = L"Referer: " + referrer + L"\r\n";
    WinHttpAddRequestHeaders(request, line.c_str(), static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD_IF_NEW);
}

void StoreResponseCookie(HINTERNET request, ConnectionState& state)
{
    wchar_t value[kCookieBytes / sizeof(wchar_t)] = {};
    DWORD length = sizeof value;
    DWORD index = 0;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_SET_COOKIE, WINHTTP_HEADER_NAME_BY_INDEX, value, &length, &index))
        return; // none, or too long: the cookie stays as it was
    state.headers.cookie = CookieFromSetCookie(std::wstring_view(value, length / sizeof(wchar_t)));
}

// A response converts to at least one UTF-16 unit for every 3 bytes, whatever the ANSI code
// page: a single-byte page makes one unit of each byte; a double-byte page one unit of a lead
// and trail byte, or of a stray byte; UTF-8 one unit of 1 to 3 bytes (an invalid sequence
// becomes one U+FFFD after at most 3 bytes) and two units of 4 bytes. So more than
// 3 * (buffer size - 1) bytes can never fit with the terminator, in any code page.
constexpr std::uint64_t kMaxAnsiBytesPerUnit = 3;

// The most response bytes that might still fit `bufferSize` characters.
std::size_t FittingBytes(int bufferSize)
{
    const std::uint64_t bytes = kMaxAnsiBytesPerUnit * static_cast<std::uint64_t>(bufferSize - 1);
    // From INT_MAX bytes on, the answer is 8 anyway: the conversion takes an int count.
    return static_cast<std::size_t>(std::min<std::uint64_t>(bytes, INT_MAX - 1));
}

class Exchange {
public:
    Exchange(ConnectionState& state, const HttpRequestSpec& spec, std::size_t byteLimit)
        : m_state(state), m_spec(spec), m_byteLimit(byteLimit)
    {
    }

    // Runs the request; `body` collects the response bytes even when a step fails. Reading
    // stops once `body` holds more than the byte limit, so a server that never ends cannot
    // hold the caller or fill its memory.
    DWORD Run(unsigned int* status, std::string& body)
    {
        m_session.Reset(WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0));
        if (!m_session)
            return GetLastError();
        m_connection.Reset(WinHttpConnect(m_session.Get(), m_state.host.c_str(), m_state.port, 0));
        if (!m_connection)
            return GetLastError();
        m_request.Reset(WinHttpOpenRequest(m_connection.Get(), Verb(m_spec.kind), m_spec.path.c_str(), nullptr,
                                           m_spec.referrer.empty() ? WINHTTP_NO_REFERER : m_spec.referrer.c_str(),
                                           kAcceptTypes, 0));
        if (!m_request)
            return GetLastError();
        const HINTERNET request = m_request.Get();
        // The caller gets the router's own answer: a form post answered with a
        // redirection is done, and following it would turn the POST into a GET
        // of another page (or fail, under Wine).
        DWORD disable = WINHTTP_DISABLE_REDIRECTS;
        if (!WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable))
            return GetLastError();
        EnsureReferer(request, m_spec.referrer);

        if (const DWORD error = AddHeadersAndCredentials(request); error != 0)
            return error;

        const DWORD total = static_cast<DWORD>(m_spec.body.size());
        if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, total, 0))
            return GetLastError();
        if (total > 0) {
            DWORD written = 0;
            if (!WinHttpWriteData(request, m_spec.body.data(), total, &written))
                return GetLastError();
        }
        if (!WinHttpReceiveResponse(request, nullptr))
            return GetLastError();

        if (m_spec.kind == RequestKind::Get)
            StoreResponseCookie(request, m_state);

        *status = 0;
        DWORD code = 0;
        DWORD codeSize = sizeof code;
        if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &code, &codeSize, WINHTTP_NO_HEADER_INDEX))
            return GetLastError();
        *status = code;

        return ReadBody(request, body, m_byteLimit);
    }

private:
    // The request goes on when the last of these steps that ran succeeded.
    DWORD AddHeadersAndCredentials(HINTERNET request)
    {
        std::wstring block = ComposeHeaderBlock(m_state.headers, m_spec.kind);
        if (m_spec.kind != RequestKind::Get)
            block += m_spec.extraHeaders;
        if (m_spec.kind == RequestKind::Upload && !m_spec.contentType.empty())
            block += L"Content-Type: " + m_spec.contentType + L"\r\n";

        DWORD error = 0;
        if (!block.empty() &&
            !WinHttpAddRequestHeaders(request, block.c_str(), static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD))
            error = GetLastError();
        if (!m_state.user.empty() || !m_state.password.empty()) {
            error = WinHttpSetCredentials(request, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC,
                                          m_state.user.c_str(), m_state.password.c_str(), nullptr)
                        ? 0
                        : GetLastError();
        }
        return error;
    }

    static DWORD ReadBody(HINTERNET request, std::string& body, std::size_t byteLimit)
    {
        while (body.size() <= byteLimit) {
            DWORD available = 0;
            if (!WinHttpQueryDataAvailable(request, &available))
                return GetLastError();
            if (available == 0)
                return 0;
            // One byte past the limit is enough to know; the rest is left unread.
            const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(available, byteLimit + 1 - body.size()));
            const std::size_t offset = body.size();
            body.resize(offset + wanted);
            DWORD read = 0;
            if (!WinHttpReadData(request, body.data() + offset, wanted, &read)) {
                body.resize(offset);
                return GetLastError();
            }
            body.resize(offset + read);
            if (read == 0)
                return 0;
        }
        return 0;
    }

    ConnectionState& m_state;
    const HttpRequestSpec& m_spec;
    const std::size_t m_byteLimit;
    // Declared in opening order, so they close request, connection, session.
    WinHttpHandle m_session;
    WinHttpHandle m_connection;
    WinHttpHandle m_request;
};

} // namespace

int PerformRequest(ConnectionState& state, const HttpRequestSpec& spec, unsigned int* status, wchar_t* buffer,
                   int bufferSize)
{
    const std::size_t byteLimit = FittingBytes(bufferSize);
    std::string bytes;
    DWORD error = 0;
    {
        Exchange exchange(state, spec, byteLimit);
        error = exchange.Run(status, bytes);
    }
    if (bytes.size() > byteLimit)
        return kErrorInsufficientBuffer;
    // Converted as a whole: a character of a multi-byte code page may straddle two reads.
    const std::wstring text = FromAnsiText(bytes.data(), bytes.size());
    if (static_cast<long long>(bufferSize) <= static_cast<long long>(text.size()))
        return kErrorInsufficientBuffer;
    std::copy(text.c_str(), text.c_str() + text.size() + 1, buffer);
    return static_cast<int>(error);
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 || size.QuadPart > INT_MAX)
        return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr))
            return false;
        if (read == 0)
            break; // the file shrank while it was read
        done += read;
    }
    bytes.resize(done);
    return true;
}

} // namespace keplo
