#pragma once
// Helpers shared by the tests that run under Wine.
#include "Wnd.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace wintest {

// A Unix path (as CTest passes them) as Wine sees it: through drive Z:.
inline std::wstring FromUnixPath(const char* unixPath)
{
    std::wstring out = L"Z:";
    for (const char* p = unixPath; *p; ++p)
        out += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return out;
}

// The folder of a CTest environment variable holding a Unix path, with a
// trailing backslash; empty when it is not set.
inline std::wstring EnvFolder(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || !*value)
        return {};
    return FromUnixPath(value) + L"\\";
}

// A fresh, empty folder below the temporary folder.
inline std::wstring ScratchFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder =
        std::wstring(temp) + L"tarvo-test-" + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// Writes text as UTF-16LE with a byte-order mark.
inline void WriteUtf16(const std::wstring& path, const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    WriteBytes(path, bytes);
}

// A whole file's bytes, shared for reading with whoever writes it; empty when missing.
inline std::string ReadAll(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

// ASCII-only text for test messages.
inline std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

inline bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs this thread's messages through the framework's filter until the
// predicate holds or the time is up; returns the predicate's last answer.
template <typename Pred> bool PumpUntil(Pred pred, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            CWnd::DispatchWithFilter(msg);
        if (pred())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// A key pressed and let go on the focused window, through the framework's
// filter as the message loop hands it on; the key (and Shift, if asked) is
// down meanwhile for GetKeyState.
inline void PressKey(WORD vk, bool shift = false)
{
    BYTE keys[256] = {};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    for (const UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        keys[vk] = message == WM_KEYDOWN ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG msg{::GetFocus(), message, vk, message == WM_KEYUP ? LPARAM{3} << 30 | 1 : 1, 0, {}};
        CWnd::DispatchWithFilter(msg);
    }
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
}

} // namespace wintest
