// Keplo.dll: web access for the set-up wizard (HTTP requests to the router, reachability
// repair, interface address control). Shared by the library and the program that links it.
//
// Every export is undecorated, returns a 32-bit signed integer and takes NUL-terminated
// UTF-16 strings owned by the caller; buffer sizes count UTF-16 characters. A null string
// counts as empty. Results: 0 success, otherwise a system error code or a small code that
// the function lists; 8 means the answer did not fit the caller's buffer.
//
// One thread at a time: the library keeps one connection (host, credentials, the alias
// address of a repair) for the whole process and does not lock it. A program calls it from a
// single thread; the wizard's router worker thread is the only one that does. Calls may block
// for as long as the network takes (a repair waits up to 30 s per alias address and 10 s per
// DHCP attempt; a silent host holds a request until WinHTTP's time-outs): never call from a
// thread that runs a window.
#pragma once

#include <windows.h>
#include <olectl.h>

#ifdef KEPLO_BUILD
#define KEPLO_API __declspec(dllexport)
#else
#define KEPLO_API __declspec(dllimport)
#endif

#define KEPLO_CALL __stdcall

#ifdef __cplusplus
extern "C" {
#endif

// Connection and requests.

// Makes sure the PC reaches `host` (repairing the interface when needed) and stores host,
// credentials and port for the requests that follow. 0 the router answers; 1 the adapter list
// could not be read; 2 no adapter could take an alias address; 3 the router does not answer;
// -1 the interface of the best route is missing from the adapter list. Host and credentials
// are stored whatever the result. Only a host of four decimal parts ("192.168.2.1") is checked
// and repaired for; a loopback address, a name or any other text gives 0 without a change.
KEPLO_API int KEPLO_CALL openConnection(const wchar_t* host, const wchar_t* mask, const wchar_t* user,
                                        const wchar_t* password, unsigned short port);
// Removes the alias address that openConnection added, if any. Always 0.
KEPLO_API int KEPLO_CALL closeConnection(void);
// What the last openConnection did to the PC's addressing to reach the host, for a log: one
// short English line per step, each ended by "\r\n" (a DHCP request, each alias address added
// or refused, whether the router then answered); empty when no repair was needed. 0, or 8
// when the text and its terminator do not fit bufferSize characters (buffer untouched); a null
// buffer or bufferSize < 1 gives 87.
KEPLO_API int KEPLO_CALL getRepairSteps(wchar_t* buffer, int bufferSize);
// One request each. *status receives the HTTP status once a response arrived; the body goes
// into buffer (bufferSize characters, terminator included) or the call returns 8 and leaves
// the buffer untouched; reading stops as soon as what arrived can no longer fit. A null status
// or buffer, or bufferSize < 1, gives 87 without a request.
// Bodies go out in the ANSI code page without best fit: a body (or upload prefix or suffix)
// holding a character that the code page cannot represent gives ERROR_NO_UNICODE_TRANSLATION
// (1113) without a request; status and buffer are then left untouched.
KEPLO_API int KEPLO_CALL webGet(const wchar_t* path, unsigned int* status, wchar_t* buffer, int bufferSize);
KEPLO_API int KEPLO_CALL webPost(const wchar_t* path, const wchar_t* extraHeaders, const wchar_t* referrer,
                                 const wchar_t* body, unsigned int* status, wchar_t* buffer, int bufferSize);
// As webPost with prefix + file bytes + suffix as body; 2 if the file cannot be opened.
KEPLO_API int KEPLO_CALL webUploadFile(const wchar_t* path, const wchar_t* extraHeaders, const wchar_t* referrer,
                                       const wchar_t* contentType, const wchar_t* prefix, const wchar_t* filePath,
                                       const wchar_t* suffix, unsigned int* status, wchar_t* buffer, int bufferSize);
// Writes the seven characters "1.0.0.7" without a terminator; the second argument is unused.
KEPLO_API int KEPLO_CALL keploVersion(wchar_t* buffer, int unused);

// Request header settings. A getter copies the value with its terminator when it is shorter
// than *size, else returns -1 and sets *size to the size needed. A setter's null removes the
// header from later requests; openConnection brings every default back except the cookie.
KEPLO_API int KEPLO_CALL getWebAcceptEncoding(wchar_t* buffer, int* size);
KEPLO_API int KEPLO_CALL setWebAcceptEncoding(const wchar_t* value);
KEPLO_API int KEPLO_CALL getWebAcceptLanguage(wchar_t* buffer, int* size);
KEPLO_API int KEPLO_CALL setWebAcceptLanguage(const wchar_t* value);
KEPLO_API int KEPLO_CALL getWebAcceptCharest(wchar_t* buffer, int* size);
KEPLO_API int KEPLO_CALL setWebAcceptCharest(const wchar_t* value);
KEPLO_API int KEPLO_CALL getWebCookieID(wchar_t* buffer, int* size);
KEPLO_API int KEPLO_CALL setWebCookieID(const wchar_t* value);
KEPLO_API int KEPLO_CALL getWebPostContentType(wchar_t* buffer, int* size);
KEPLO_API int KEPLO_CALL setWebPostContentType(const wchar_t* value);

// Interface address control, on the interface that openConnection found, through netsh.
// The netsh functions give -1 when no connection name is known or the name holds a double
// quote (it could not be quoted on the command line). Addresses, masks, gateways and DNS
// servers must be four decimal parts of 0..255 without leading zeros; any other non-empty
// text gives 87 and netsh is not started (an empty address gives -1, an empty mask means
// 255.255.255.0, an empty gateway or server means none).
KEPLO_API int KEPLO_CALL currentInterfaceIndex(unsigned int* index);
KEPLO_API int KEPLO_CALL releaseInterfaceIPAddress(void);
KEPLO_API int KEPLO_CALL renewInterfaceIPAddress(void);
KEPLO_API int KEPLO_CALL setInterfaceIPToAuto(void);
KEPLO_API int KEPLO_CALL setInterfaceDNSToAuto(void);
KEPLO_API int KEPLO_CALL setInterfaceStaticIP(const wchar_t* address, const wchar_t* mask, const wchar_t* gateway);
KEPLO_API int KEPLO_CALL setInterfaceStaticDNS(const wchar_t* server);

// Component entry points, declared as the system headers declare them. They are exported by
// name but kept out of Keplo.lib (system DLLs export the same names): registration tools and
// tests reach them through GetProcAddress on Keplo.dll.
STDAPI DllCanUnloadNow(void);
STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
STDAPI DllRegisterServer(void);
STDAPI DllUnregisterServer(void);

#ifdef __cplusplus
}
#endif
