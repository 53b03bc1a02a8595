// Page 5: the settings go to the router, which restarts; then the Internet check.
#include "Pages.h"

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

// Ticks left when each step runs: the settings at the first tick, the restart
// two ticks later, the Internet check at the 48th, 54 s after the restart.
constexpr int kSetupTick = 49;
constexpr int kRestartTick = 47;
constexpr int kCheckTick = 2;
} // namespace

CP4::CP4(CWnd* parent) : CCountdownPage(kPageApply, IDD_CP4, &CUIStr::IDS_PAGE4, parent, kControls, kTimerId, false) {}

void CP4::AfterRouterStep(PostOutcome outcome)
{
    if (outcome == PostOutcome::Taken)
        return;
    StopCountdown();
    switch (outcome) {
    case PostOutcome::Refused:
        // The password dialog takes a new password and shows this page again.
        Session()->Host().AskAdminPassword(nullptr);
        break;
    case PostOutcome::Failed:
        GoTo(kPageRouterUnreachable);
        break;
    case PostOutcome::NoRouterAdapter:
        GoTo(kPageAdapterUnsuitable);
        break;
    default:
        break; // nothing was sent: the run just stops
    }
}

void CP4::OnCountdown(int left)
{
    CWizardSession* session = Session();
    if (!session)
        return;
    const auto afterStep = [this](PostOutcome outcome) { AfterRouterStep(outcome); };
    if (left == kSetupTick) {
        session->SetupWan(afterStep);
    } else if (left == kRestartTick) {
        session->RebootRouter(afterStep);
    } else if (left == kCheckTick) {
        StopCountdown();
        session->CheckInternet([this](bool reachable) { GoTo(reachable ? kPageInternetWorks : kPageNoInternet); });
    }
}
