#include "TarvoDlg.h"

#include "Gdi.h"
#include "PageBase.h"
#include "UIStr.h"
#include "WinApp.h"
#include "WizardCore.h"
#include "resource.h"

#include <commctrl.h>

#include <utility>

std::array<CDialog*, CTarvoDlg::kPageCount + 1> g_pageTable{};

bool IsInputHeldWhileWorking(UINT msg)
{
    switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
    case WM_XBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
        return true;
    default:
        return false;
    }
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

CWizardPage* CTarvoDlg::Page(int nPage) const
{
    if (nPage < 1 || nPage > kPageCount)
        return nullptr;
    // Making a page on demand changes no setting of the run.
    const_cast<CTarvoDlg*>(this)->ReadyPage(nPage);
    return m_pages[static_cast<size_t>(nPage - 1)].get();
}

namespace {
// Pages without texts of their own (picture-only pages) never take any.
bool HasTexts(int nPage)
{
    switch (nPage) {
    case 7:
    case 8:
    case 9:
    case 10:
    case 14:
    case 15:
        return false;
    default:
        return true;
    }
}
} // namespace

void CTarvoDlg::ReadyPage(int nPage)
{
    const size_t i = static_cast<size_t>(nPage - 1);
    CWizardPage* page = m_pages[i].get();
    if (!page || !m_hWnd)
        return;
    if (!page->m_hWnd) {
        if (!page->Create(this))
            return;
        // The page number as window id lets tools tell which page shows.
        ::SetWindowLongPtrW(page->m_hWnd, GWLP_ID, nPage);
        const RECT outer = GetWindowRect();
        page->SetWindowPos(nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                           SWP_NOACTIVATE | SWP_NOZORDER);
        page->ShowWindow(SW_HIDE);
    }
    if (m_pageTextRound[i] != m_textRound) {
        m_pageTextRound[i] = m_textRound;
        if (HasTexts(nPage))
            page->ApplyTexts();
    }
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
    m_session.Worker().ReportTo(m_hWnd, kMsgRouterWorkDone);
    if (m_session.Record().Open(LogFolder()))
        m_session.Record().Write(L"run started");
    CreatePages();
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
    ShowWindow(SW_HIDE);

    // Every page object now, with its art named in the language of start-up;
    // the windows follow when needed, page 1's at once.
    for (int n = 1; n <= kPageCount; ++n) {
        std::unique_ptr<CWizardPage> page = CreatePageObject(n, this, m_session);
        page->NameArt();
        g_pageTable[static_cast<size_t>(n - 1)] = page.get();
        m_pages[static_cast<size_t>(n - 1)] = std::move(page);
    }
    m_textRound = 0;
    m_pageTextRound.fill(0);
    ReadyPage(1);

    m_waitDlg = std::make_unique<CWaitDlg>(this, this);
    g_pageTable[kPageCount] = m_waitDlg.get();
}

CWaitDlg* CTarvoDlg::WaitDialog() const
{
    if (m_waitDlg && !m_waitDlg->m_hWnd && m_hWnd && m_waitDlg->Create(const_cast<CTarvoDlg*>(this))) {
        m_waitDlg->SetWindowPos(nullptr, 0, 0, CWaitDlg::kWidth, CWaitDlg::kHeight, SWP_NOACTIVATE | SWP_NOZORDER);
        m_waitDlg->ShowWindow(SW_HIDE);
        // Its message follows the language chosen, as the pages' texts do.
        if (m_textRound > 0)
            m_waitDlg->SetMessage(g_uiStr.errorMsg[8]);
    }
    return m_waitDlg.get();
}

void CTarvoDlg::ShowPage(int nPage)
{
    if (m_pResender && dynamic_cast<CFormResender*>(Page(nPage)) != m_pResender) {
        m_pResender = nullptr;
        if (m_waitDlg && m_waitDlg->m_hWnd)
            m_waitDlg->ShowWindow(SW_HIDE);
    }
    const CWizardPage* shown = Page(nPage); // made and given its texts while still hidden
    m_nShownPage = shown ? nPage : 0;
    if (shown)
        m_session.Record().PageShown(nPage);
    for (const std::unique_ptr<CWizardPage>& page : m_pages) {
        if (!page || !page->m_hWnd)
            continue;
        if (page.get() == shown) {
            page->ShowWindow(SW_SHOW);
            page->SetFocus();
        } else {
            page->ShowWindow(SW_HIDE);
        }
    }
}

void CTarvoDlg::RefreshAllTexts()
{
    ++m_textRound;
    // A shown page takes its texts now; the others when next needed.
    for (int n = 1; n <= kPageCount; ++n) {
        if (const CWizardPage* page = m_pages[static_cast<size_t>(n - 1)].get();
            page && page->m_hWnd && page->IsWindowVisible())
            ReadyPage(n);
    }
    if (m_waitDlg && m_waitDlg->m_hWnd)
        m_waitDlg->SetMessage(g_uiStr.errorMsg[8]);
}

void CTarvoDlg::ApplyLanguage()
{
    m_session.Record().Write(L"language file " + g_uiStr.languageFile[static_cast<size_t>(g_uiStr.languageIndex)]);
    SetWindowText(g_uiStr.IDS_TITLE);
    RefreshAllTexts();
}

void CTarvoDlg::ShowWorking(bool working)
{
    CWizardPage* page = m_nShownPage > 0 ? m_pages[static_cast<size_t>(m_nShownPage - 1)].get() : nullptr;
    if (working && page && page->m_hWnd) {
        if (!m_working)
            m_working = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_MARQUEE, 0, 0, 0, 0, page->m_hWnd,
                                          nullptr, fw::ResourceInstance(), nullptr);
        if (!m_working)
            return;
        // On the page shown, over its art.
        ::SetParent(m_working, page->m_hWnd);
        ::SetWindowPos(m_working, HWND_TOP, kWorkingPlace.left, kWorkingPlace.top,
                       kWorkingPlace.right - kWorkingPlace.left, kWorkingPlace.bottom - kWorkingPlace.top,
                       SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ::SendMessageW(m_working, PBM_SETMARQUEE, TRUE, 30);
    } else if (m_working) {
        ::SendMessageW(m_working, PBM_SETMARQUEE, FALSE, 0);
        ::ShowWindow(m_working, SW_HIDE);
    }
}

void CTarvoDlg::AskAdminPassword(CFormResender* resender)
{
    m_pResender = resender;
    if (CWaitDlg* wait = WaitDialog(); wait && wait->m_hWnd) {
        wait->ShowWindow(SW_SHOWNORMAL);
        wait->SetFocus();
    }
}

void CTarvoDlg::TakeAdminPassword(const std::wstring& password)
{
    m_session.m_strAdminPassword = password;
    if (CFormResender* resender = std::exchange(m_pResender, nullptr)) {
        resender->SendForm();
        return;
    }
    ShowPage(kPageConnectionType);
    ShowPage(kPageApply);
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
    // Whatever is typed or clicked while the router work runs would act on
    // a page that is about to change: it is dropped, not kept for later.
    if (m_session.Busy() && IsInputHeldWhileWorking(msg->message))
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
    case kMsgRouterWorkDone:
        m_session.Worker().Finish(lParam);
        return 0;
    case WM_SETCURSOR:
        if (m_session.Busy() && LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
            return TRUE;
        }
        break;
    case WM_SHOWWINDOW: {
        LRESULT result = Default();
        ShowPage(kPageLanguage);
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
