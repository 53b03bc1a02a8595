// Owners for the Windows handles the library opens; each closes its handle exactly once.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

namespace keplo {

template <typename Handle, typename Traits> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    ~UniqueHandle() { Close(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return m_handle; }
    void Reset(Handle handle)
    {
        Close();
        m_handle = handle;
    }
    Handle* Out()
    {
        Close();
        return &m_handle;
    }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }

private:
    void Close()
    {
        if (m_handle != Traits::Invalid())
            Traits::Close(m_handle);
        m_handle = Traits::Invalid();
    }
    Handle m_handle = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct SocketTraits {
    static SOCKET Invalid() { return INVALID_SOCKET; }
    static void Close(SOCKET s) { closesocket(s); }
};
struct WinHttpTraits {
    static HINTERNET Invalid() { return nullptr; }
    static void Close(HINTERNET h) { WinHttpCloseHandle(h); }
};

using KernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using FileHandle = UniqueHandle<HANDLE, FileHandleTraits>;
using RegKey = UniqueHandle<HKEY, RegKeyTraits>;
using Socket = UniqueHandle<SOCKET, SocketTraits>;
using WinHttpHandle = UniqueHandle<HINTERNET, WinHttpTraits>;

} // namespace keplo
