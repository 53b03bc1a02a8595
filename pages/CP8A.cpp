// Page 30: the router restarts; then its status is read.
#include "Pages.h"
#include "RouterOps.h"
#include "StatusText.h"
#include "TarvoDlg.h"

#include <optional>
#include <vector>

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP8A_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_SETUP},
    // Placed each time the page is shown or hidden.
    {.id = IDC_PROGRESS, .kind = CtlKind::Progress},
    {.id = IDC_CP8A_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P8A_STATIC2, .place = {280, 145, 520, 35}},
    {.id = IDC_CP8A_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P8A_STATIC3, .place = {280, 460, 520, 50}},
};
// clang-format on

constexpr int kCountdownStart = 50;
// The 48th tick, about 57.6 s after the page was shown: the router is back.
constexpr int kCountdownDone = 2;
constexpr int kPageRouterUnreachable = 11;
constexpr int kPageCompletion = 20;
constexpr unsigned kHttpOk = 200;

// One status page of the router; nothing when it could not be read.
std::optional<std::wstring> ReadRouterPage(CRouterLink& link, const wchar_t* path)
{
    std::vector<wchar_t> page(kRouterBufferChars, L'\0');
    unsigned status = 0;
    if (link.Get(path, status, page.data(), kRouterBufferChars) != 0 || status != kHttpOk)
        return std::nullopt;
    page.back() = L'\0';
    return std::wstring(page.data());
}
} // namespace

CP8A::CP8A(CWnd* parent) : CWizardPage(30, IDD_CP8A, &CUIStr::IDS_PAGE8A, parent, kControls) {}

LRESULT CP8A::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SHOWWINDOW) {
        OnShowWindow(wParam != FALSE);
    } else if (msg == WM_TIMER && wParam == kTimerId) {
        OnTick();
        return 0;
    }
    return CWizardPage::WindowProc(msg, wParam, lParam);
}

void CP8A::OnShowWindow(bool shown)
{
    if (CProgressCtrl* bar = Ctl<CProgressCtrl>(IDC_PROGRESS)) {
        bar->SetWindowPos(nullptr, 300, 220, 450, 20, SWP_NOACTIVATE | SWP_NOZORDER);
        bar->SetRange(0, 100);
        bar->SetPos(0);
    }
    if (shown) {
        m_nCountdown = kCountdownStart;
        m_bWaiting = true;
        SetTimer(kTimerId, kTimerMs);
    } else {
        // A page that is no longer shown must not move the wizard on later.
        m_bWaiting = false;
        KillTimer(kTimerId);
    }
}

void CP8A::OnTick()
{
    // A tick that was still queued (or posted) after the wait ended changes nothing.
    if (!m_bWaiting)
        return;
    --m_nCountdown;
    if (CProgressCtrl* bar = Ctl<CProgressCtrl>(IDC_PROGRESS))
        bar->SetPos((kCountdownStart - m_nCountdown) * 2);
    if (m_nCountdown > kCountdownDone)
        return;

    // Before the read, which blocks: nothing may start the end a second time.
    m_bWaiting = false;
    if (CTarvoDlg* main = MainWindow()) {
        ReadStatus(*main);
        main->BuildSummary();
        main->ShowPage(kPageCompletion);
    }
    KillTimer(kTimerId);
}

void CP8A::ReadStatus(CTarvoDlg& main) const
{
    CRouterLink& link = main.RouterLink();
    if (link.Open(main.m_strRouterIP, main.m_strAdminPassword) != 0) {
        // The tick goes on to the completion page all the same.
        main.ShowPage(kPageRouterUnreachable);
        return;
    }
    // A page that cannot be read, or that lacks its marker, leaves its setting as it was.
    if (const std::optional<std::wstring> page = ReadRouterPage(link, L"/stamenu.asp")) {
        if (std::optional<std::wstring> time = RouterTimeFromStatus(*page))
            main.m_strSystemTime = std::move(*time);
    }
    if (const std::optional<std::wstring> page = ReadRouterPage(link, L"/stanet.asp")) {
        if (std::optional<std::wstring> address = InternetAddressFromStatus(*page))
            main.m_strInternetIP = std::move(*address);
    }
}
