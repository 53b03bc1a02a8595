// One HTTP exchange with the stored router host over WinHTTP.
#pragma once

#include <string>

#include "ConnectionState.h"

namespace keplo {

inline constexpr wchar_t kUserAgent[] = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

struct HttpRequestSpec {
    RequestKind kind = RequestKind::Get;
    std::wstring path;
    std::wstring extraHeaders; // POST and upload only, appended to the header block as given
    std::wstring referrer;     // empty: none
    std::wstring contentType;  // upload only
    std::string body;          // bytes as they go out
};

// 0 or the system error of the first step that failed; 8 when the response text and its
// terminator do not fit bufferSize characters (the buffer is then left untouched). A GET
// stores the response's cookie in `state`. The caller has checked status and buffer.
int PerformRequest(ConnectionState& state, const HttpRequestSpec& spec, unsigned int* status, wchar_t* buffer,
                   int bufferSize);

// The whole file's bytes; false if it cannot be opened or read.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);

} // namespace keplo
