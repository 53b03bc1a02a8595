// The library's exported functions: thin wrappers that hand the one connection state to the
// code that does the work. Nothing leaves them as an exception; failures are results.
#include <new>

#include "AnsiText.h"
#include "HttpRequest.h"
#include "InterfaceControl.h"
#include "Keplo.h"
#include "KeploApp.h"
#include "Reachability.h"
#include "WinNetPlatform.h"

using keplo::CopySetting;
using keplo::StoreSetting;
using keplo::TextOrEmpty;

namespace {

keplo::ConnectionState& State()
{
    return theApp.m_state;
}
keplo::HeaderSettings& Headers()
{
    return theApp.m_state.headers;
}

keplo::NetPlatform& Platform()
{
    static keplo::WinNetPlatform platform;
    return platform;
}

template <typename Work> int Guarded(Work work) noexcept
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    } catch (...) {
        return ERROR_INTERNAL_ERROR;
    }
}

// Checked before anything goes out, so a careless caller gets a code instead of a crash.
bool ValidOutputs(const unsigned int* status, const wchar_t* buffer, int bufferSize)
{
    return status && buffer && bufferSize >= 1;
}

int SetHeader(std::wstring& setting, const wchar_t* value)
{
    return Guarded([&] {
        StoreSetting(setting, value);
        return 0;
    });
}

} // namespace

extern "C" {

int KEPLO_CALL openConnection(const wchar_t* host, const wchar_t* mask, const wchar_t* user, const wchar_t* password,
                              unsigned short port)
{
    KEPLO_MANAGE_STATE();
    return Guarded([&] {
        const keplo::ConnectTarget target{TextOrEmpty(host), TextOrEmpty(mask), TextOrEmpty(user),
                                          TextOrEmpty(password), port};
        return keplo::OpenConnection(State(), Platform(), target);
    });
}

int KEPLO_CALL closeConnection(void)
{
    KEPLO_MANAGE_STATE();
    keplo::CloseConnection(State(), Platform());
    return 0;
}

int KEPLO_CALL webGet(const wchar_t* path, unsigned int* status, wchar_t* buffer, int bufferSize)
{
    KEPLO_MANAGE_STATE();
    if (!ValidOutputs(status, buffer, bufferSize))
        return ERROR_INVALID_PARAMETER;
    return Guarded([&] {
        keplo::HttpRequestSpec spec;
        spec.kind = keplo::RequestKind::Get;
        spec.path = TextOrEmpty(path);
        return keplo::PerformRequest(State(), spec, status, buffer, bufferSize);
    });
}

int KEPLO_CALL webPost(const wchar_t* path, const wchar_t* extraHeaders, const wchar_t* referrer, const wchar_t* body,
                       unsigned int* status, wchar_t* buffer, int bufferSize)
{
    KEPLO_MANAGE_STATE();
    if (!ValidOutputs(status, buffer, bufferSize))
        return ERROR_INVALID_PARAMETER;
    return Guarded([&] {
        keplo::HttpRequestSpec spec;
        spec.kind = keplo::RequestKind::Post;
        spec.path = TextOrEmpty(path);
        spec.extraHeaders = TextOrEmpty(extraHeaders);
        spec.referrer = TextOrEmpty(referrer);
        if (!keplo::ToAnsiExact(TextOrEmpty(body), spec.body))
            return keplo::kErrorNoUnicodeTranslation;
        return keplo::PerformRequest(State(), spec, status, buffer, bufferSize);
    });
}

int KEPLO_CALL webUploadFile(const wchar_t* path, const wchar_t* extraHeaders, const wchar_t* referrer,
                             const wchar_t* contentType, const wchar_t* prefix, const wchar_t* filePath,
                             const wchar_t* suffix, unsigned int* status, wchar_t* buffer, int bufferSize)
{
    KEPLO_MANAGE_STATE();
    if (!ValidOutputs(status, buffer, bufferSize))
        return ERROR_INVALID_PARAMETER;
    return Guarded([&] {
        std::string fileBytes;
        if (!keplo::ReadWholeFile(TextOrEmpty(filePath), fileBytes))
            return 2;
        keplo::HttpRequestSpec spec;
        spec.kind = keplo::RequestKind::Upload;
        spec.path = TextOrEmpty(path);
        spec.extraHeaders = TextOrEmpty(extraHeaders);
        spec.referrer = TextOrEmpty(referrer);
        spec.contentType = TextOrEmpty(contentType);
        std::string prefixBytes, suffixBytes;
        if (!keplo::ToAnsiExact(TextOrEmpty(prefix), prefixBytes) ||
            !keplo::ToAnsiExact(TextOrEmpty(suffix), suffixBytes))
            return keplo::kErrorNoUnicodeTranslation;
        spec.body = prefixBytes + fileBytes + suffixBytes;
        return keplo::PerformRequest(State(), spec, status, buffer, bufferSize);
    });
}

int KEPLO_CALL keploVersion(wchar_t* buffer, int /*unused*/)
{
    KEPLO_MANAGE_STATE();
    static constexpr wchar_t kVersion[] = {L'1', L'.', L'0', L'.', L'0', L'.', L'7'};
    if (!buffer)
        return ERROR_INVALID_PARAMETER;
    // No terminator: callers pass a zero-filled buffer and rely on its eighth character.
    for (wchar_t c : kVersion)
        *buffer++ = c;
    return 0;
}

int KEPLO_CALL getWebAcceptEncoding(wchar_t* buffer, int* size)
{
    return CopySetting(Headers().acceptEncoding, buffer, size);
}
int KEPLO_CALL setWebAcceptEncoding(const wchar_t* value)
{
    return SetHeader(Headers().acceptEncoding, value);
}
int KEPLO_CALL getWebAcceptLanguage(wchar_t* buffer, int* size)
{
    return CopySetting(Headers().acceptLanguage, buffer, size);
}
int KEPLO_CALL setWebAcceptLanguage(const wchar_t* value)
{
    return SetHeader(Headers().acceptLanguage, value);
}
int KEPLO_CALL getWebAcceptCharest(wchar_t* buffer, int* size)
{
    return CopySetting(Headers().acceptCharset, buffer, size);
}
int KEPLO_CALL setWebAcceptCharest(const wchar_t* value)
{
    return SetHeader(Headers().acceptCharset, value);
}
int KEPLO_CALL getWebCookieID(wchar_t* buffer, int* size)
{
    return CopySetting(Headers().cookie, buffer, size);
}
int KEPLO_CALL setWebCookieID(const wchar_t* value)
{
    return SetHeader(Headers().cookie, value);
}
int KEPLO_CALL getWebPostContentType(wchar_t* buffer, int* size)
{
    return CopySetting(Headers().postContentType, buffer, size);
}
int KEPLO_CALL setWebPostContentType(const wchar_t* value)
{
    return SetHeader(Headers().postContentType, value);
}

int KEPLO_CALL getRepairSteps(wchar_t* buffer, int bufferSize)
{
    KEPLO_MANAGE_STATE();
    if (!buffer || bufferSize < 1)
        return ERROR_INVALID_PARAMETER;
    std::wstring text;
    for (const std::wstring& step : State().repairSteps)
        text += step + L"\r\n";
    if (text.size() + 1 > static_cast<size_t>(bufferSize))
        return keplo::kErrorInsufficientBuffer;
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
    return 0;
}

int KEPLO_CALL currentInterfaceIndex(unsigned int* index)
{
    if (!index)
        return ERROR_INVALID_PARAMETER;
    std::uint32_t value = 0;
    const int result = keplo::CurrentInterfaceIndex(State(), value);
    *index = value;
    return result;
}

int KEPLO_CALL releaseInterfaceIPAddress(void)
{
    KEPLO_MANAGE_STATE();
    return Guarded([] { return keplo::ReleaseInterfaceIPAddress(State(), Platform()); });
}

int KEPLO_CALL renewInterfaceIPAddress(void)
{
    KEPLO_MANAGE_STATE();
    return Guarded([] { return keplo::RenewInterfaceIPAddress(State(), Platform()); });
}

int KEPLO_CALL setInterfaceIPToAuto(void)
{
    return Guarded([] { return keplo::SetInterfaceIPToAuto(State(), Platform()); });
}

int KEPLO_CALL setInterfaceDNSToAuto(void)
{
    return Guarded([] { return keplo::SetInterfaceDNSToAuto(State(), Platform()); });
}

int KEPLO_CALL setInterfaceStaticIP(const wchar_t* address, const wchar_t* mask, const wchar_t* gateway)
{
    return Guarded([&] {
        return keplo::SetInterfaceStaticIP(State(), Platform(), TextOrEmpty(address), TextOrEmpty(mask),
                                           TextOrEmpty(gateway));
    });
}

int KEPLO_CALL setInterfaceStaticDNS(const wchar_t* server)
{
    return Guarded([&] { return keplo::SetInterfaceStaticDNS(State(), Platform(), TextOrEmpty(server)); });
}

} // extern "C"
