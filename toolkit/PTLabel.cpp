#include "PTLabel.h"

#include "Gdi.h"
#include "TextLayout.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::wstring_view kBreak = L"\\n";

// The parts of a label's text that "\n" separates, each a line of its own.
std::vector<std::wstring_view> Lines(std::wstring_view text)
{
    std::vector<std::wstring_view> lines;
    for (size_t pos; (pos = text.find(kBreak)) != std::wstring_view::npos;) {
        lines.push_back(text.substr(0, pos));
        text.remove_prefix(pos + kBreak.size());
    }
    lines.push_back(text);
    return lines;
}

// The text as it reads: a line-feed for each "\n".
std::wstring ReadableText(std::wstring_view text)
{
    std::wstring plain(text);
    for (size_t pos = 0; (pos = plain.find(kBreak, pos)) != std::wstring::npos; ++pos)
        plain.replace(pos, kBreak.size(), 1, L'\n');
    return plain;
}

// Keys that move the focus from control to control.
bool NavigationKeyDown()
{
    for (int key : {VK_TAB, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
        if (::GetKeyState(key) < 0)
            return true;
    return false;
}

} // namespace

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
    const bool focus = ShowsFocus();
    RECT ink{rc.left, rc.top, rc.left, rc.top};
    for (std::wstring_view line : Lines(m_markup)) {
        ::DrawTextW(dc, line.data(), static_cast<int>(line.size()), &rc, kFlags);
        if (focus) {
            RECT size = rc;
            ::DrawTextW(dc, line.data(), static_cast<int>(line.size()), &size, kFlags | DT_CALCRECT);
            ink.right = std::max(ink.right, size.right);
            ink.bottom = std::max(ink.bottom, size.bottom);
        }
        rc.top += kLineStep;
    }
    if (focus) {
        // A little room around the text, inside the label.
        const RECT client = GetClientRect();
        RECT box{client.left, client.top, std::min(ink.right + 3, client.right),
                 std::min(ink.bottom + 2, client.bottom)};
        if (box.right > box.left && box.bottom > box.top)
            ::DrawFocusRect(dc, &box);
    }

    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
}

void CPTLabel::PreSubclassWindow()
{
    // The label draws "&" as it is; the dialog manager and screen readers must
    // not take it for an access key either.
    ModifyStyle(0, SS_NOPREFIX);
    SetWindowText(GetWindowText());
}

void CPTLabel::SetKeyboardButton(bool on) const
{
    ModifyStyle(on ? 0 : WS_TABSTOP, on ? WS_TABSTOP : 0);
}

bool CPTLabel::IsKeyboardButton() const
{
    return (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_TABSTOP) != 0;
}

bool CPTLabel::ShowsFocus() const
{
    return ::GetFocus() == m_hWnd && !(SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS);
}

void CPTLabel::Click() const
{
    HWND parent = ::GetParent(m_hWnd);
    if (parent && ::IsWindowEnabled(m_hWnd))
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), STN_CLICKED),
                       reinterpret_cast<LPARAM>(m_hWnd));
}

BOOL CPTLabel::PreTranslateMessage(MSG* msg)
{
    if (msg->hwnd == m_hWnd && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) &&
        (msg->wParam == VK_RETURN || msg->wParam == VK_SPACE) && IsKeyboardButton()) {
        ::DispatchMessageW(msg);
        return TRUE;
    }
    return CStatic::PreTranslateMessage(msg);
}

bool CPTLabel::OnKey(UINT msg, WPARAM key, LPARAM flags)
{
    if (!IsKeyboardButton() || (key != VK_RETURN && key != VK_SPACE))
        return false;
    // A key held down repeats its key-down messages: one click per press.
    const bool repeat = (flags & (1L << 30)) != 0;
    if (msg == WM_KEYDOWN && !repeat) {
        if (key == VK_RETURN) {
            Click();
        } else {
            // Space acts when it is let go, as on a push button.
            m_bSpaceDown = true;
            SetState(kPressed);
        }
    } else if (msg == WM_KEYUP && key == VK_SPACE && m_bSpaceDown) {
        m_bSpaceDown = false;
        SetState(kNormal);
        Click();
    }
    return true;
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
    case WM_SETTEXT: {
        m_markup = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        const std::wstring plain = ReadableText(m_markup);
        return CallDefault(msg, wParam, reinterpret_cast<LPARAM>(plain.c_str()));
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (OnKey(msg, wParam, lParam))
            return 0;
        break;
    case WM_SETFOCUS:
        // Focus that the keyboard moved here shows, whatever the window's
        // focus marks were (hidden while the mouse was used).
        if (NavigationKeyDown())
            SendMessage(WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
        InvalidateInParent();
        break;
    case WM_KILLFOCUS:
        if (std::exchange(m_bSpaceDown, false))
            m_nState = kNormal;
        InvalidateInParent();
        break;
    case WM_UPDATEUISTATE:
        if (::GetFocus() == m_hWnd)
            InvalidateInParent();
        break;
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
