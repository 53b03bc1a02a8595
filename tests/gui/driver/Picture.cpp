#include "Picture.h"

#include <algorithm>
#include <cwchar>

// GDI+'s C++ headers use min and max unqualified; the build defines NOMINMAX.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <objidl.h>

#include <gdiplus.h>

namespace gui {

namespace {

namespace flat = Gdiplus::DllExports;

// GDI+ started once for the process; it stays up until the process ends.
bool StartGdiplus()
{
    static const bool started = [] {
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartupInput input;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

bool PngEncoder(CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (flat::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (flat::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

struct ScreenDC {
    HDC dc = ::GetDC(nullptr);
    ScreenDC() = default;
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    ~ScreenDC() { ::ReleaseDC(nullptr, dc); }
};

struct MemoryDC {
    HDC dc;
    explicit MemoryDC(HDC like) : dc(::CreateCompatibleDC(like)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() { ::DeleteDC(dc); }
};

struct Bitmap {
    HBITMAP bitmap;
    explicit Bitmap(HBITMAP b) : bitmap(b) {}
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    ~Bitmap()
    {
        if (bitmap)
            ::DeleteObject(bitmap);
    }
};

struct GpPicture {
    Gdiplus::GpBitmap* image = nullptr;
    GpPicture() = default;
    GpPicture(const GpPicture&) = delete;
    GpPicture& operator=(const GpPicture&) = delete;
    ~GpPicture()
    {
        if (image)
            flat::GdipDisposeImage(image);
    }
};

} // namespace

bool SaveScreenPng(const RECT& area, const std::wstring& path, std::string* error)
{
    // Only the part on the screen can be copied.
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT rc{};
    if (!::IntersectRect(&rc, &area, &screen)) {
        *error = "the window lies outside the screen";
        return false;
    }
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (!StartGdiplus()) {
        *error = "GDI+ does not start";
        return false;
    }

    ScreenDC screenDC;
    MemoryDC memory(screenDC.dc);
    Bitmap bitmap(::CreateCompatibleBitmap(screenDC.dc, width, height));
    if (!screenDC.dc || !memory.dc || !bitmap.bitmap) {
        *error = "no device context or bitmap for the capture";
        return false;
    }
    HGDIOBJ old = ::SelectObject(memory.dc, bitmap.bitmap);
    const BOOL copied = ::BitBlt(memory.dc, 0, 0, width, height, screenDC.dc, rc.left, rc.top, SRCCOPY | CAPTUREBLT);
    ::SelectObject(memory.dc, old);
    if (!copied) {
        *error = "BitBlt from the screen failed";
        return false;
    }

    GpPicture picture;
    CLSID png{};
    if (flat::GdipCreateBitmapFromHBITMAP(bitmap.bitmap, nullptr, &picture.image) != Gdiplus::Ok || !PngEncoder(&png)) {
        *error = "GDI+ cannot make a PNG";
        return false;
    }
    if (flat::GdipSaveImageToFile(picture.image, path.c_str(), &png, nullptr) != Gdiplus::Ok) {
        *error = "GDI+ cannot write the file";
        return false;
    }
    return true;
}

std::optional<Picture> LoadPicture(const std::wstring& path)
{
    if (!StartGdiplus())
        return std::nullopt;
    GpPicture picture;
    if (flat::GdipCreateBitmapFromFile(path.c_str(), &picture.image) != Gdiplus::Ok)
        return std::nullopt;
    UINT width = 0, height = 0;
    flat::GdipGetImageWidth(picture.image, &width);
    flat::GdipGetImageHeight(picture.image, &height);

    Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    if (flat::GdipBitmapLockBits(picture.image, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok)
        return std::nullopt;
    Picture out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels.reserve(static_cast<size_t>(width) * height);
    for (UINT y = 0; y < height; ++y) {
        const BYTE* row = static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
        for (UINT x = 0; x < width; ++x) {
            const BYTE* p = row + 4 * x; // blue, green, red, alpha
            out.pixels.push_back(RGB(p[2], p[1], p[0]));
        }
    }
    flat::GdipBitmapUnlockBits(picture.image, &data);
    return out;
}

} // namespace gui
