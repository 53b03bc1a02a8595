// Page 30: the router restarts; then its status is read.
#include "Pages.h"
#include "SummaryText.h"

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

// The 48th tick, about 57.6 s after the page was shown: the router is back.
constexpr int kCountdownDone = 2;
} // namespace

CP8A::CP8A(CWnd* parent)
    : CCountdownPage(kPageRestartWait, IDD_CP8A, &CUIStr::IDS_PAGE8A, parent, kControls, kTimerId, true)
{
}

void CP8A::OnCountdown(int left)
{
    if (left > kCountdownDone || !Session())
        return;
    // Before the read: nothing may start the end a second time.
    StopCountdown();
    Session()->ReadRouterStatus([this](bool reached) { AfterStatusRead(reached); });
}

void CP8A::AfterStatusRead(bool reached)
{
    // Without an answer the trouble page shows for a moment: the wizard goes
    // on to the completion page all the same.
    if (!reached)
        GoTo(kPageRouterUnreachable);
    if (!Session()->MakeSummary(g_uiStr.IDS_SETTINGS_FILE, g_uiStr.IDS_WEB_URI, g_uiStr.IDS_P9_SCAN_TO_JOIN)) {
        // The person must know that the settings are only on the pages.
        ShowMessage(FillFormat(g_uiStr.IDS_SETTINGS_NOT_SAVED, {g_uiStr.IDS_SETTINGS_FILE}), MB_ICONWARNING);
    }
    GoTo(kPageCompletion);
}
