#include "Wnd.h"

#include <vector>

namespace {
// The window property that holds the owning object.
constexpr wchar_t kObjectProp[] = L"Tarvo.CWnd";
} // namespace

CWnd::~CWnd()
{
    // An object that dies before its window must not receive its messages.
    if (m_hWnd && FromHandle(m_hWnd) == this)
        UnsubclassWindow();
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    return static_cast<CWnd*>(::GetPropW(hwnd, kObjectProp));
}

void CWnd::Bind(HWND hwnd)
{
    m_hWnd = hwnd;
    ::SetPropW(hwnd, kObjectProp, this);
}

void CWnd::Unbind()
{
    if (m_hWnd)
        ::RemovePropW(m_hWnd, kObjectProp);
    m_hWnd = nullptr;
}

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd || FromHandle(hwnd))
        return false;
    Bind(hwnd);
    m_oldProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
    PreSubclassWindow();
    return true;
}

bool CWnd::SubclassDlgItem(int id, const CWnd& parent)
{
    return SubclassWindow(::GetDlgItem(parent.m_hWnd, id));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = m_hWnd;
    if (!hwnd)
        return nullptr;
    if (m_oldProc)
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    m_oldProc = nullptr;
    Unbind();
    return hwnd;
}

std::wstring CWnd::GetWindowText() const
{
    int len = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    int got = ::GetWindowTextW(m_hWnd, text.data(), len + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

RECT CWnd::GetClientRect() const
{
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    return rc;
}

RECT CWnd::GetWindowRect() const
{
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    return rc;
}

void CWnd::ModifyStyle(DWORD remove, DWORD add) const
{
    LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(remove)) | add);
}

void CWnd::ModifyStyleEx(DWORD remove, DWORD add) const
{
    LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, (style & ~static_cast<LONG_PTR>(remove)) | add);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::DispatchWithFilter(MSG& msg)
{
    // Offer the message to the objects from its window up to the top level,
    // as a dialog's own keyboard handling would otherwise see it first.
    for (HWND h = msg.hwnd; h; h = ::GetParent(h)) {
        if (CWnd* wnd = FromHandle(h); wnd && wnd->PreTranslateMessage(&msg))
            return;
        if (!(::GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && ::IsDialogMessageW(root, &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

LRESULT CWnd::Default()
{
    return CallDefault(m_curMsg, m_curW, m_curL);
}

LRESULT CWnd::CallDefault(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_oldProc)
        return ::CallWindowProcW(m_oldProc, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM, LPARAM)
{
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

bool CWnd::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        child = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return false;
    }
    CWnd* obj = FromHandle(child);
    return obj && obj != this && obj->OnChildNotify(msg, wParam, lParam, result);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ReflectToChild(msg, wParam, lParam, &result))
        return result;
    if (msg == WM_COMMAND && OnCommand(wParam, lParam))
        return 0;
    return Default();
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandle(hwnd);
    if (!wnd)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);

    // Keep the outer message for Default() when handlers nest (SendMessage to self).
    const UINT savedMsg = wnd->m_curMsg;
    const WPARAM savedW = wnd->m_curW;
    const LPARAM savedL = wnd->m_curL;
    wnd->m_curMsg = msg;
    wnd->m_curW = wParam;
    wnd->m_curL = lParam;
    LRESULT result = wnd->WindowProc(msg, wParam, lParam);
    wnd->m_curMsg = savedMsg;
    wnd->m_curW = savedW;
    wnd->m_curL = savedL;

    if (msg == WM_NCDESTROY) {
        // The window is gone: unbind before anyone can reach the object again.
        WNDPROC old = wnd->m_oldProc;
        wnd->m_oldProc = nullptr;
        if (old)
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        wnd->Unbind();
        wnd->PostNcDestroy();
    }
    return result;
}
