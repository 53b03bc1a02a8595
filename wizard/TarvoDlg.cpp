#include "TarvoDlg.h"

#include "Gdi.h"
#include "Keplo.h"
#include "PageBase.h"
#include "UIStr.h"
#include "WinApp.h"
#include "WizardCore.h"
#include "resource.h"

#include <utility>

std::array<CDialog*, CTarvoDlg::kPageCount + 1> g_pageTable{};

bool IsSwallowedKey(const MSG& msg, bool includingF1)
{
    if (msg.message != WM_KEYDOWN)
        return false;
    return msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE || (includingF1 && msg.wParam == VK_F1);
}

CTarvoDlg::CTarvoDlg()
    : CDialog(IDD_TARVO_DIALOG), m_hIcon(::LoadIconW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME)))
{
}

CTarvoDlg::~CTarvoDlg()
{
    if (m_hWnd)
        DestroyWindow();
    g_pageTable.fill(nullptr);
}

CTarvoDlg* CTarvoDlg::FromWindow(HWND hwnd)
{
    for (HWND h = hwnd; h; h = ::GetParent(h)) {
        if (auto* dlg = dynamic_cast<CTarvoDlg*>(CWnd::FromHandle(h)))
            return dlg;
    }
    return nullptr;
}

CWizardPage* CTarvoDlg::Page(int nPage) const
{
    return nPage >= 1 && nPage <= kPageCount ? m_pages[static_cast<size_t>(nPage - 1)].get() : nullptr;
}

int CTarvoDlg::OpenRouterConnection() const
{
    return openConnection(m_strRouterIP.c_str(), L"255.255.255.0", L"admin", m_strAdminPassword.c_str(), 80);
}

BOOL CTarvoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU sysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        wchar_t about[256] = L"";
        if (::LoadStringW(fw::ResourceInstance(), IDS_ABOUTBOX, about, 256) > 0) {
            ::AppendMenuW(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(sysMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    g_strAppFolder = ProgramFolder();

    g_uiStr.LoadLanguage();
    SetWindowText(g_uiStr.IDS_TITLE);
    CreatePages();

    m_strRouterIP = L"192.168.2.1";
    m_strAdminPassword = L"6093"; // the router's factory password
    return TRUE;
}

std::wstring CTarvoDlg::ProgramFolder() const
{
    wchar_t modulePath[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    return FolderOfPath(modulePath);
}

void CTarvoDlg::CreatePages()
{
    SetWindowPos(HWND_TOP, 0, 0, 800 + 2 * ::GetSystemMetrics(SM_CYDLGFRAME), 600 + ::GetSystemMetrics(SM_CYCAPTION),
                 SWP_NOACTIVATE);
    const RECT outer = GetWindowRect();
    ShowWindow(SW_HIDE);

    for (int n = 1; n <= kPageCount; ++n) {
        std::unique_ptr<CWizardPage> page = CreatePageObject(n, this);
        if (page->Create(this)) {
            // The page number as window id lets tools tell which page shows.
            ::SetWindowLongPtrW(page->m_hWnd, GWLP_ID, n);
            page->SetWindowPos(nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                               SWP_NOACTIVATE | SWP_NOZORDER);
            page->ShowWindow(SW_HIDE);
        }
        g_pageTable[static_cast<size_t>(n - 1)] = page.get();
        m_pages[static_cast<size_t>(n - 1)] = std::move(page);
    }

    m_waitDlg = std::make_unique<CWaitDlg>(this, this);
    if (m_waitDlg->Create(this)) {
        m_waitDlg->SetWindowPos(nullptr, 0, 0, CWaitDlg::kWidth, CWaitDlg::kHeight, SWP_NOACTIVATE | SWP_NOZORDER);
        m_waitDlg->ShowWindow(SW_HIDE);
    }
    g_pageTable[kPageCount] = m_waitDlg.get();
}

void CTarvoDlg::ShowPage(int nPage)
{
    if (m_pResender && dynamic_cast<CFormResender*>(Page(nPage)) != m_pResender) {
        m_pResender = nullptr;
        if (m_waitDlg && m_waitDlg->m_hWnd)
            m_waitDlg->ShowWindow(SW_HIDE);
    }
    for (int n = 1; n <= kPageCount; ++n) {
        CWizardPage* page = Page(n);
        if (!page || !page->m_hWnd)
            continue;
        if (n == nPage) {
            page->ShowWindow(SW_SHOW);
            page->SetFocus();
        } else {
            page->ShowWindow(SW_HIDE);
        }
    }
}

void CTarvoDlg::RefreshAllTexts()
{
    // The order in which pages take their texts; picture-only pages have none.
    static constexpr int kOrder[] = {1,  2,  3,  4,  5,  6,  11, 12, 13, 16, 17, 18,
                                     19, 30, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29};
    for (int n : kOrder) {
        if (CWizardPage* page = Page(n); page && page->m_hWnd)
            page->ApplyTexts();
    }
    if (m_waitDlg && m_waitDlg->m_hWnd)
        m_waitDlg->SetMessage(g_uiStr.errorMsg[8]);
}

void CTarvoDlg::AskAdminPassword(CFormResender* resender)
{
    m_pResender = resender;
    if (m_waitDlg && m_waitDlg->m_hWnd) {
        m_waitDlg->ShowWindow(SW_SHOWNORMAL);
        m_waitDlg->SetFocus();
    }
}

void CTarvoDlg::TakeAdminPassword(const std::wstring& password)
{
    m_strAdminPassword = password;
    if (CFormResender* resender = std::exchange(m_pResender, nullptr)) {
        resender->SendForm();
        return;
    }
    ShowPage(4);
    ShowPage(5);
}

bool CTarvoDlg::DeclineAdminPassword()
{
    return std::exchange(m_pResender, nullptr) != nullptr;
}

void CTarvoDlg::OnCancel()
{
    EndDialog(0);
}

BOOL CTarvoDlg::PreTranslateMessage(MSG* msg)
{
    if (IsSwallowedKey(*msg, true))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CTarvoDlg::PaintIcon()
{
    fw::CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()));
    const RECT rc = GetClientRect();
    const int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
    ::DrawIcon(dc.get(), (rc.right - rc.left - cx + 1) / 2, (rc.bottom - rc.top - cy + 1) / 2, m_hIcon);
}

LRESULT CTarvoDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SHOWWINDOW: {
        LRESULT result = Default();
        ShowPage(1);
        return result;
    }
    case WM_LBUTTONDOWN:
        // A press anywhere the pages leave uncovered moves the window.
        SendMessage(WM_SYSCOMMAND, SC_MOVE | HTCAPTION);
        return Default();
    case WM_PAINT:
        if (::IsIconic(m_hWnd)) {
            PaintIcon();
            return 0;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}
