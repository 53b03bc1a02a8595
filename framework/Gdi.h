#pragma once
// Small owning holders for Win32 handles: one owner each, movable, never copied.
#include <windows.h>

#include <utility>

namespace fw {

template <typename H, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : m_h(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    H get() const { return m_h; }
    explicit operator bool() const { return Traits::valid(m_h); }
    H release() { return std::exchange(m_h, Traits::invalid()); }
    void reset(H h = Traits::invalid())
    {
        if (Traits::valid(m_h))
            Traits::close(m_h);
        m_h = h;
    }

private:
    H m_h = Traits::invalid();
};

struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(HANDLE h) { ::FindClose(h); }
};
template <typename G>
struct GdiObjectTraits {
    static G invalid() { return nullptr; }
    static bool valid(G h) { return h != nullptr; }
    static void close(G h) { ::DeleteObject(h); }
};
struct MemoryDCTraits {
    static HDC invalid() { return nullptr; }
    static bool valid(HDC h) { return h != nullptr; }
    static void close(HDC h) { ::DeleteDC(h); }
};
struct RegKeyTraits {
    static HKEY invalid() { return nullptr; }
    static bool valid(HKEY h) { return h != nullptr; }
    static void close(HKEY h) { ::RegCloseKey(h); }
};
struct GlobalTraits {
    static HGLOBAL invalid() { return nullptr; }
    static bool valid(HGLOBAL h) { return h != nullptr; }
    static void close(HGLOBAL h) { ::GlobalFree(h); }
};

using CHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using CFindHandle = UniqueHandle<HANDLE, FindHandleTraits>;
using CFont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using CBrush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using CPen = UniqueHandle<HPEN, GdiObjectTraits<HPEN>>;
using CBitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using CRgn = UniqueHandle<HRGN, GdiObjectTraits<HRGN>>;
using CMemoryDC = UniqueHandle<HDC, MemoryDCTraits>;
using CRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using CGlobal = UniqueHandle<HGLOBAL, GlobalTraits>;

// A device context of a window, released on scope exit.
class CWindowDC {
public:
    explicit CWindowDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(::GetDC(hwnd)) {}
    ~CWindowDC()
    {
        if (m_hdc)
            ::ReleaseDC(m_hwnd, m_hdc);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC get() const { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// BeginPaint/EndPaint pair for WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND hwnd) : m_hwnd(hwnd) { m_hdc = ::BeginPaint(hwnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hwnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC get() const { return m_hdc; }
    const PAINTSTRUCT& ps() const { return m_ps; }

private:
    HWND m_hwnd;
    HDC m_hdc;
    PAINTSTRUCT m_ps{};
};

// Selects an object into a DC and puts the previous one back on scope exit.
class CSelectObject {
public:
    CSelectObject(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_old(::SelectObject(hdc, obj)) {}
    ~CSelectObject()
    {
        if (m_old && m_old != HGDI_ERROR)
            ::SelectObject(m_hdc, m_old);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

} // namespace fw
