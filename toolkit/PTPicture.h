#pragma once
// Page art: a picture file decoded by the OLE picture loader and painted at
// its natural size. Held by a page as a member; never created as a window.
#include "Wnd.h"

#include <ocidl.h>

#include <cstddef>
#include <string>

class CPTPicture : public CWnd {
public:
    CPTPicture() = default;
    ~CPTPicture() override;

    // Releases the current picture, then decodes the whole file. FALSE when
    // the file cannot be read or does not decode; the picture is then empty.
    BOOL LoadFromFile(const std::wstring& path);
    // Decodes a picture from memory, replacing the current one.
    BOOL LoadFromBuffer(const BYTE* data, size_t length);
    // Paints the picture at (0, 0) at its natural size in the context's
    // pixels. FALSE when there is no picture or rendering fails.
    BOOL Draw(HDC dc) const;

    bool HasPicture() const { return m_pPicture != nullptr; }
    // Natural size in pixels of the given context; 0 x 0 without a picture.
    SIZE NaturalSize(HDC dc) const;

    IPicture* m_pPicture = nullptr;

private:
    void Release();
};
