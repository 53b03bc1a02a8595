#include "PTPicture.h"

#include <olectl.h>

#include <cstring>
#include <vector>

#include "Gdi.h"

namespace {

// The picture loader hands JPEG and GIF to COM decoders, which need COM on
// this thread. Balanced around one load, so callers need not know.
class CComScope {
public:
    CComScope() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComScope()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

private:
    HRESULT m_hr;
};

// Files larger than this are no page art; refusing them keeps a stray file
// from exhausting memory.
constexpr LONGLONG kMaxPictureFile = 64LL * 1024 * 1024;

} // namespace

CPTPicture::~CPTPicture()
{
    Release();
}

void CPTPicture::Release()
{
    if (m_pPicture) {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
}

BOOL CPTPicture::LoadFromFile(const std::wstring& path)
{
    Release();
    fw::CHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return FALSE;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxPictureFile)
        return FALSE;
    std::vector<BYTE> buffer(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) ||
        read != buffer.size())
        return FALSE;
    return LoadFromBuffer(buffer.data(), buffer.size());
}

BOOL CPTPicture::LoadFromBuffer(const BYTE* data, size_t length)
{
    Release();
    if (!data || length == 0 || length > static_cast<size_t>(kMaxPictureFile))
        return FALSE;

    fw::CGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, length));
    if (!memory)
        return FALSE;
    void* bytes = ::GlobalLock(memory.get());
    if (!bytes)
        return FALSE;
    std::memcpy(bytes, data, length);
    ::GlobalUnlock(memory.get());

    IStream* stream = nullptr;
    // The stream frees the memory block when it is released.
    if (FAILED(::CreateStreamOnHGlobal(memory.get(), TRUE, &stream)) || !stream)
        return FALSE;
    memory.release();

    CComScope com;
    IPicture* picture = nullptr;
    const HRESULT hr =
        ::OleLoadPicture(stream, static_cast<LONG>(length), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(hr) || !picture)
        return FALSE;
    m_pPicture = picture;
    return TRUE;
}

SIZE CPTPicture::NaturalSize(HDC dc) const
{
    SIZE size{0, 0};
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (!m_pPicture || FAILED(m_pPicture->get_Width(&width)) || FAILED(m_pPicture->get_Height(&height)))
        return size;
    // HIMETRIC is 0.01 mm: 2540 to the inch.
    size.cx = ::MulDiv(width, ::GetDeviceCaps(dc, LOGPIXELSX), 2540);
    size.cy = ::MulDiv(height, ::GetDeviceCaps(dc, LOGPIXELSY), 2540);
    return size;
}

BOOL CPTPicture::Draw(HDC dc) const
{
    if (!m_pPicture)
        return FALSE;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (FAILED(m_pPicture->get_Width(&width)) || FAILED(m_pPicture->get_Height(&height)))
        return FALSE;
    const SIZE size = NaturalSize(dc);
    // HIMETRIC runs bottom-up: start at the picture's height, go up by it.
    return SUCCEEDED(m_pPicture->Render(dc, 0, 0, size.cx, size.cy, 0, height, width, -height, nullptr));
}
