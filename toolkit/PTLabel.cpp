#include "PTLabel.h"

#include "Gdi.h"
#include "TextLayout.h"

#include <algorithm>

void CPTLabel::SetLabelFont(BOOL bold, int points, const std::wstring& face)
{
    // A click must reach the parent (STN_CLICKED), and the art must show through.
    ModifyStyle(0, SS_NOTIFY);
    ModifyStyleEx(0, WS_EX_TRANSPARENT);

    int dpi = 96;
    if (HDC screen = ::GetDC(nullptr)) {
        dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
    }
    // Bounded as the text control bounds its sizes: a language file's size
    // must neither overflow the conversion nor ask GDI for a giant font.
    points = std::clamp(points, -tk::kMaxFontHeight, tk::kMaxFontHeight);
    m_lf = LOGFONTW{};
    m_lf.lfHeight = -std::clamp(::MulDiv(points, dpi, 72), -tk::kMaxFontHeight, tk::kMaxFontHeight);
    m_lf.lfWeight = bold ? FW_BOLD : FW_DONTCARE;
    m_lf.lfCharSet = DEFAULT_CHARSET;
    const size_t n = face.copy(m_lf.lfFaceName, LF_FACESIZE - 1);
    m_lf.lfFaceName[n] = L'\0';
}

void CPTLabel::Paint(HDC dc)
{
    RECT rc = GetClientRect();
    fw::CFont font(::CreateFontIndirectW(&m_lf));
    fw::CSelectObject selected(dc, font.get());
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const int index = ::IsWindowEnabled(m_hWnd) ? m_nState : kDisabled;
    const COLORREF oldColour = ::SetTextColor(dc, m_crState[index >= 0 && index < 5 ? index : kNormal]);

    // A line-feed inside a part also breaks the line, at the font's spacing;
    // the vertical-centre flag does nothing without the single-line one. An
    // "&" is a character of the caption (a wireless name may hold one), not
    // the mark of an underlined access key.
    constexpr UINT kFlags = DT_LEFT | DT_TOP | DT_VCENTER | DT_NOPREFIX;
    std::wstring text = GetWindowText();
    for (size_t pos; (pos = text.find(L"\\n")) != std::wstring::npos;) {
        ::DrawTextW(dc, text.c_str(), static_cast<int>(pos), &rc, kFlags);
        text.erase(0, pos + 2);
        rc.top += kLineStep;
    }
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, kFlags);

    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
}

void CPTLabel::SetState(int state)
{
    if (!::IsWindowEnabled(m_hWnd))
        return;
    m_nState = state;
    InvalidateInParent();
}

void CPTLabel::InvalidateInParent() const
{
    HWND parent = ::GetParent(m_hWnd);
    if (!parent)
        return;
    RECT rc = GetWindowRect();
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
    ::InvalidateRect(parent, &rc, TRUE);
}

LRESULT CPTLabel::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
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
    case WM_MOUSEMOVE:
        if (!m_bTracking) {
            // One hover notification per request; a new request only after a leave.
            TRACKMOUSEEVENT tme{sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 1};
            m_bTracking = ::TrackMouseEvent(&tme);
        }
        break;
    case WM_MOUSEHOVER:
        SetState(kHover);
        return 0;
    case WM_MOUSELEAVE:
        SetState(kNormal);
        m_bTracking = FALSE;
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        SetState(kPressed);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        // Back to normal, not hover: hover returns only after a leave.
        SetState(kNormal);
        break;
    case WM_SETCURSOR:
        if (m_bHandCursor) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return CStatic::WindowProc(msg, wParam, lParam);
}
