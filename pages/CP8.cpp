// Page 19: the password of the wireless network.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP8_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_SETUP},
    {.id = IDC_NEXT, .kind = CtlKind::Button, .text = &CUIStr::IDS_NEXT},
    {.id = IDC_EDIT_FIELD, .kind = CtlKind::Edit, .place = {420, 338, 100, 20}, .limit = kWirelessKeyLimit},
    {.id = IDC_CP8_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P8_STATIC2, .place = {280, 145, 520, 35}},
    {.id = IDC_CP8_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P8_STATIC3, .place = {280, 185, 520, 60}},
    {.id = IDC_CP8_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P8_STATIC4, .place = {280, 260, 520, 90}},
    {.id = IDC_CP8_STATIC5, .kind = CtlKind::Text, .text = &CUIStr::IDS_P8_STATIC5, .place = {280, 338, 520, 190}},
    {.id = IDC_CP8_STATIC6, .kind = CtlKind::Text, .text = &CUIStr::IDS_P8_STATIC6, .place = {280, 480, 370, 30}},
};
// clang-format on
} // namespace

CP8::CP8(CWnd* parent) : CWizardPage(kPageWirelessKey, IDD_CP8, &CUIStr::IDS_PAGE8, parent, kControls) {}

bool CP8::OnControl(int id, int code)
{
    if (id == IDC_NEXT && code == STN_CLICKED) {
        OnNext();
        return true;
    }
    return false;
}

void CP8::ClearField() const
{
    if (const CEdit* key = Ctl<CEdit>(IDC_EDIT_FIELD))
        key->SetWindowText(L"");
}

void CP8::OnNext()
{
    const CEdit* field = Ctl<CEdit>(IDC_EDIT_FIELD);
    if (!Session() || !field)
        return;
    const std::wstring key = field->GetWindowText();
    if (const int message = CheckWirelessKey(key); message != kEntryAccepted) {
        ShowMessage(g_uiStr.errorMsg[message - 1]);
        return;
    }
    m_strKey = key;
    SendForm();
}

void CP8::SendForm()
{
    // Otherwise the user stays here (or at the password dialog); Next tries again.
    SendSettingsForm(*this, WirelessSecurityForm(m_strKey), [this](PostOutcome outcome) {
        if (outcome != PostOutcome::Taken)
            return;
        Session()->m_strWirelessKey = m_strKey;
        // The restart puts every setting of this stage into effect. Whatever
        // it answers, the wait page follows (a failed restart shows the
        // trouble page only for a moment).
        Session()->RebootRouter([this](PostOutcome restart) {
            if (restart == PostOutcome::Failed)
                GoTo(kPageRouterUnreachable);
            GoTo(kPageRestartWait);
        });
    });
}
