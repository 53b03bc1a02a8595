// Request text in the system's ANSI code page, converted without best fit. Best fit would turn
// the full-width forms of "& = + % #" (U+FF06 ...) into the form body's own separators and other
// letters into look-alikes or "?", so the router would get something else than was typed.
// Shared with the program, which refuses such text before it asks for a request.
#pragma once

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

namespace keplo {

// The bytes of `text` in the ANSI code page; false (and `bytes` unspecified) when a character
// has no exact form there.
inline bool ToAnsiExact(std::wstring_view text, std::string& bytes)
{
    bytes.clear();
    if (text.empty())
        return true;
    if (text.size() > static_cast<std::size_t>(INT_MAX))
        return false;
    // UTF-8 as ANSI code page holds every character; it takes no best-fit flag and reports
    // only unpaired surrogates, as an error.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int count = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, flags, text.data(), count, nullptr, 0, nullptr, usedDefaultOut);
    if (length <= 0 || usedDefault)
        return false;
    bytes.resize(static_cast<std::size_t>(length));
    return WideCharToMultiByte(CP_ACP, flags, text.data(), count, bytes.data(), length, nullptr, usedDefaultOut) ==
               length &&
           !usedDefault;
}

inline bool FitsAnsiCodePage(std::wstring_view text)
{
    std::string bytes;
    return ToAnsiExact(text, bytes);
}

} // namespace keplo
