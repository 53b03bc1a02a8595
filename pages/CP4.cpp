// Page 5: the settings go to the router, which restarts; then the Internet check.
#include "Pages.h"
#include "RouterOps.h"
#include "TarvoDlg.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP4_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_CHECKING},
    {.id = IDC_CP4_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4_STATIC2, .place = {280, 145, 520, 35}},
    {.id = IDC_CP4_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4_STATIC3, .place = {280, 480, 520, 30}},
    // Placed each time the page is shown or hidden.
    {.id = IDC_PROGRESS, .kind = CtlKind::Progress},
};
// clang-format on

constexpr CtlPlace kBarPlace{300, 220, 450, 20};
// Ticks left when each step runs: the settings at the first tick, the restart
// two ticks later, the Internet check at the 48th, 54 s after the restart.
constexpr int kTicksPerRun = 50;
constexpr int kSetupTick = 49;
constexpr int kRestartTick = 47;
constexpr int kCheckTick = 2;
constexpr int kPageInternetWorks = 6;
constexpr int kPageNoInternet = 13;
} // namespace

CP4::CP4(CWnd* parent) : CWizardPage(5, IDD_CP4, &CUIStr::IDS_PAGE4, parent, kControls) {}

void CP4::OnShowWindow(bool shown)
{
    if (CProgressCtrl* bar = Ctl<CProgressCtrl>(IDC_PROGRESS)) {
        bar->SetWindowPos(nullptr, kBarPlace.x, kBarPlace.y, kBarPlace.cx, kBarPlace.cy, SWP_NOACTIVATE | SWP_NOZORDER);
        bar->SetRange(0, 100);
        bar->SetPos(0);
    }
    // Hiding leaves a run going: every way out of it stops the timer itself.
    if (!shown)
        return;
    m_nCountdown = kTicksPerRun;
    m_bRunning = true;
    SetTimer(kTimerId, kTimerMs);
}

void CP4::StopRun()
{
    KillTimer(kTimerId);
    m_bRunning = false;
}

void CP4::AfterRouterStep(int result)
{
    if (result == kRouterDone)
        return;
    StopRun();
    if (result == kRouterRefused) {
        // The password dialog takes a new password and shows this page again.
        if (CTarvoDlg* main = MainWindow())
            main->AskAdminPassword(nullptr);
    }
    // Otherwise the operation has shown the page about the failure.
}

void CP4::OnTick()
{
    CTarvoDlg* main = MainWindow();
    if (!m_bRunning || !main)
        return; // a tick left over from a run that has ended
    --m_nCountdown;
    if (CProgressCtrl* bar = Ctl<CProgressCtrl>(IDC_PROGRESS))
        bar->SetPos((kTicksPerRun - m_nCountdown) * 2);

    if (m_nCountdown == kSetupTick) {
        AfterRouterStep(main->SetupWan());
    } else if (m_nCountdown == kRestartTick) {
        AfterRouterStep(main->RebootRouter());
    } else if (m_nCountdown == kCheckTick) {
        StopRun();
        CRouterLink& link = main->RouterLink();
        const bool reachable =
            link.InternetReachable(kInternetCheckSite1) || link.InternetReachable(kInternetCheckSite2);
        main->ShowPage(reachable ? kPageInternetWorks : kPageNoInternet);
    }
}

LRESULT CP4::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SHOWWINDOW:
        // Only the page's own showing and hiding count, not the main window's
        // minimising and restoring.
        if (lParam == 0) {
            const LRESULT result = CWizardPage::WindowProc(msg, wParam, lParam);
            OnShowWindow(wParam != FALSE);
            return result;
        }
        break;
    case WM_TIMER:
        if (wParam == kTimerId) {
            OnTick();
            return 0;
        }
        break;
    default:
        break;
    }
    return CWizardPage::WindowProc(msg, wParam, lParam);
}
