#include "Fixture.h"

#include <cstring>
#include <future>
#include <vector>

namespace fixture {

namespace {

Record g_seen;
HBRUSH g_pageBrush = nullptr;

// An empty dialog template in memory: style, no controls, no menu, the
// standard class, a title.
std::vector<WORD> DialogTemplate(DWORD style, const wchar_t* title)
{
    DLGTEMPLATE head{};
    head.style = style;
    std::vector<WORD> words(sizeof(head) / sizeof(WORD));
    std::memcpy(words.data(), &head, sizeof(head));
    words.push_back(0); // menu
    words.push_back(0); // class
    for (const wchar_t* p = title; *p; ++p)
        words.push_back(static_cast<WORD>(*p));
    words.push_back(0);
    return words;
}

HWND Child(HWND page, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int cx, int cy)
{
    return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, page,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void ShowOnly(HWND main, int page)
{
    for (int n = 1; n <= 2; ++n)
        ::ShowWindow(::GetDlgItem(main, n), n == page ? SW_SHOW : SW_HIDE);
}

INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(g_pageBrush);
    case WM_TIMER:
        if (wParam == kTimer && ++g_seen.ticks == 3)
            ShowOnly(::GetParent(page), 2);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        HWND list = ::GetDlgItem(page, kList);
        if (id == kLabel && code == STN_CLICKED) {
            ++g_seen.clicks;
        } else if (id == kFaultLabel && code == STN_CLICKED) {
            ::RaiseException(0xE0000001, 0, 0, nullptr);
        } else if (id == kList && code == CBN_DROPDOWN) {
            ++g_seen.dropDowns;
            ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
            for (const wchar_t* entry : {L"One", L"Two", L"Three"})
                ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        } else if (id == kList && code == CBN_SELCHANGE) {
            ++g_seen.selChanges;
            g_seen.selectionAtChange = static_cast<int>(::SendMessageW(list, CB_GETCURSEL, 0, 0));
        } else if (id == kWarn && code == BN_CLICKED) {
            g_seen.boxResult = ::MessageBoxW(page, kWarning, kTitle, MB_OK);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK MainProc(HWND main, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            ::DestroyWindow(main);
        return TRUE;
    case WM_CLOSE:
        ::DestroyWindow(main);
        return TRUE;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

HWND Create()
{
    g_seen.clicks = 0;
    g_seen.dropDowns = 0;
    g_seen.selChanges = 0;
    g_seen.selectionAtChange = -1;
    g_seen.ticks = 0;
    g_seen.boxResult = 0;
    if (!g_pageBrush)
        g_pageBrush = ::CreateSolidBrush(kPageColour);

    const std::vector<WORD> mainTemplate = DialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU, kTitle);
    HWND main = ::CreateDialogIndirectParamW(nullptr, reinterpret_cast<const DLGTEMPLATE*>(mainTemplate.data()),
                                             nullptr, MainProc, 0);
    ::SetWindowPos(main, HWND_TOP, 40, 40, 500, 360, 0);
    RECT client{};
    ::GetClientRect(main, &client);

    const std::vector<WORD> pageTemplate = DialogTemplate(WS_CHILD | DS_CONTROL, L"");
    for (int n = 1; n <= 2; ++n) {
        HWND page = ::CreateDialogIndirectParamW(nullptr, reinterpret_cast<const DLGTEMPLATE*>(pageTemplate.data()),
                                                 main, PageProc, 0);
        ::SetWindowLongPtrW(page, GWLP_ID, n);
        ::SetWindowPos(page, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER);
        if (n == 1) {
            Child(page, L"Static", L"Next", SS_NOTIFY, kLabel, 20, 20, 80, 24);
            Child(page, L"Static", L"Plain", 0, kPlainLabel, 120, 20, 80, 24);
            Child(page, L"Static", L"Fault", SS_NOTIFY, kFaultLabel, 220, 20, 80, 24);
            HWND edit = Child(page, L"Edit", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kEdit, 20, 60, 160, 24);
            ::SendMessageW(edit, EM_LIMITTEXT, kEditLimit, 0);
            Child(page, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kList, 20, 100, 160, 120);
            Child(page, L"Button", L"Box", BS_AUTOCHECKBOX | WS_TABSTOP, kCheck, 20, 140, 120, 24);
            Child(page, L"Button", L"Warn", BS_PUSHBUTTON | WS_TABSTOP, kWarn, 20, 180, 80, 24);
        }
    }
    ShowOnly(main, 1);
    ::ShowWindow(main, SW_SHOW);
    ::SetForegroundWindow(main);
    return main;
}

void Loop(HWND main)
{
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (::IsWindow(main) && ::IsDialogMessageW(main, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

} // namespace

Record& Seen()
{
    return g_seen;
}

Window::Window()
{
    std::promise<HWND> ready;
    std::future<HWND> shown = ready.get_future();
    m_thread = std::thread([&ready] {
        HWND main = Create();
        ready.set_value(main);
        Loop(main);
    });
    m_main = shown.get();
}

Window::~Window()
{
    if (::IsWindow(m_main))
        ::PostMessageW(m_main, WM_CLOSE, 0, 0);
    m_thread.join();
}

int RunAsProgram()
{
    Loop(Create());
    return 0;
}

} // namespace fixture
