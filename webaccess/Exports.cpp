// The library's exported functions: thin wrappers that hand the one connection state to the
// code that does the work. Nothing here throws; failures are results.
#include "Keplo.h"
#include "KeploApp.h"

using keplo::CopySetting;
using keplo::StoreSetting;

namespace {

keplo::HeaderSettings& Headers() { return theApp.m_state.headers; }

}  // namespace

extern "C" {

int KEPLO_CALL openConnection(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, unsigned short) {
    KEPLO_MANAGE_STATE();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

int KEPLO_CALL closeConnection(void) {
    KEPLO_MANAGE_STATE();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

int KEPLO_CALL webGet(const wchar_t*, unsigned int*, wchar_t*, int) {
    KEPLO_MANAGE_STATE();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

int KEPLO_CALL webPost(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, unsigned int*, wchar_t*, int) {
    KEPLO_MANAGE_STATE();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

int KEPLO_CALL webUploadFile(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*,
                             const wchar_t*, const wchar_t*, unsigned int*, wchar_t*, int) {
    KEPLO_MANAGE_STATE();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

int KEPLO_CALL keploVersion(wchar_t* buffer, int /*unused*/) {
    KEPLO_MANAGE_STATE();
    static constexpr wchar_t kVersion[] = {L'1', L'.', L'0', L'.', L'0', L'.', L'7'};
    if (!buffer) return ERROR_INVALID_PARAMETER;
    // No terminator: callers pass a zero-filled buffer and rely on its eighth character.
    for (wchar_t c : kVersion) *buffer++ = c;
    return 0;
}

int KEPLO_CALL getWebAcceptEncoding(wchar_t* buffer, int* size) {
    return CopySetting(Headers().acceptEncoding, buffer, size);
}
int KEPLO_CALL setWebAcceptEncoding(const wchar_t* value) {
    StoreSetting(Headers().acceptEncoding, value);
    return 0;
}
int KEPLO_CALL getWebAcceptLanguage(wchar_t* buffer, int* size) {
    return CopySetting(Headers().acceptLanguage, buffer, size);
}
int KEPLO_CALL setWebAcceptLanguage(const wchar_t* value) {
    StoreSetting(Headers().acceptLanguage, value);
    return 0;
}
int KEPLO_CALL getWebAcceptCharest(wchar_t* buffer, int* size) {
    return CopySetting(Headers().acceptCharset, buffer, size);
}
int KEPLO_CALL setWebAcceptCharest(const wchar_t* value) {
    StoreSetting(Headers().acceptCharset, value);
    return 0;
}
int KEPLO_CALL getWebCookieID(wchar_t* buffer, int* size) { return CopySetting(Headers().cookie, buffer, size); }
int KEPLO_CALL setWebCookieID(const wchar_t* value) {
    StoreSetting(Headers().cookie, value);
    return 0;
}
int KEPLO_CALL getWebPostContentType(wchar_t* buffer, int* size) {
    return CopySetting(Headers().postContentType, buffer, size);
}
int KEPLO_CALL setWebPostContentType(const wchar_t* value) {
    StoreSetting(Headers().postContentType, value);
    return 0;
}

int KEPLO_CALL currentInterfaceIndex(unsigned int*) { return ERROR_CALL_NOT_IMPLEMENTED; }
int KEPLO_CALL releaseInterfaceIPAddress(void) {
    KEPLO_MANAGE_STATE();
    return ERROR_CALL_NOT_IMPLEMENTED;
}
int KEPLO_CALL renewInterfaceIPAddress(void) {
    KEPLO_MANAGE_STATE();
    return ERROR_CALL_NOT_IMPLEMENTED;
}
int KEPLO_CALL setInterfaceIPToAuto(void) { return ERROR_CALL_NOT_IMPLEMENTED; }
int KEPLO_CALL setInterfaceDNSToAuto(void) { return ERROR_CALL_NOT_IMPLEMENTED; }
int KEPLO_CALL setInterfaceStaticIP(const wchar_t*, const wchar_t*, const wchar_t*) {
    return ERROR_CALL_NOT_IMPLEMENTED;
}
int KEPLO_CALL setInterfaceStaticDNS(const wchar_t*) { return ERROR_CALL_NOT_IMPLEMENTED; }

}  // extern "C"
