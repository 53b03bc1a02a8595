#include "QrCodeView.h"

#include "Gdi.h"

#include <utility>

void CQrCodeView::SetModules(int size, std::vector<uint8_t> modules)
{
    // A grid that does not hold size x size modules draws as no symbol at all.
    const bool whole = size > 0 && modules.size() == static_cast<size_t>(size) * static_cast<size_t>(size);
    m_size = whole ? size : 0;
    m_modules = whole ? std::move(modules) : std::vector<uint8_t>{};
    if (m_hWnd)
        Invalidate(FALSE);
}

int CQrCodeView::FitInto(int room)
{
    const int scale = room / Across();
    if (scale < kSmallestScale)
        return 0;
    m_scale = scale < kLargestScale ? scale : kLargestScale;
    if (m_hWnd)
        Invalidate(FALSE);
    return Across() * m_scale;
}

void CQrCodeView::Paint(HDC dc) const
{
    const RECT client = GetClientRect();
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const HBRUSH dark = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    const int origin = kQuietZone * m_scale;
    // One rectangle for each row's run of dark modules.
    for (int y = 0; y < m_size; ++y) {
        const uint8_t* row = m_modules.data() + static_cast<size_t>(y) * m_size;
        for (int x = 0; x < m_size;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            int end = x;
            while (end < m_size && row[end])
                ++end;
            const RECT run{origin + x * m_scale, origin + y * m_scale, origin + end * m_scale,
                           origin + (y + 1) * m_scale};
            ::FillRect(dc, &run, dark);
            x = end;
        }
    }
}

LRESULT CQrCodeView::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        fw::CPaintDC dc(m_hWnd);
        Paint(dc.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return TRUE; // the painting covers every pixel
    default:
        break;
    }
    return CStatic::WindowProc(msg, wParam, lParam);
}
