// Page 16: the router's administrator password.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP5_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_SETUP},
    {.id = IDC_NEXT, .kind = CtlKind::Button, .text = &CUIStr::IDS_NEXT},
    {.id = IDC_EDIT_NEWPASS, .kind = CtlKind::Edit, .place = {450, 310, 120, 20}, .limit = kAdminPasswordLimit},
    {.id = IDC_EDIT_PASSWORD, .kind = CtlKind::Edit, .place = {450, 331, 120, 20}, .limit = kAdminPasswordLimit},
    {.id = IDC_CP5_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P5_STATIC2, .place = {280, 145, 520, 35}},
    {.id = IDC_CP5_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P5_STATIC3, .place = {280, 190, 520, 180}},
    {.id = IDC_CP5_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P5_STATIC4, .place = {280, 310, 520, 70}},
    {.id = IDC_CP5_STATIC5, .kind = CtlKind::Text, .text = &CUIStr::IDS_P5_STATIC5, .place = {280, 390, 520, 70}},
    {.id = IDC_CP5_STATIC6, .kind = CtlKind::Text, .text = &CUIStr::IDS_P5_STATIC6, .place = {280, 480, 370, 30}},
};
// clang-format on
} // namespace

CP5::CP5(CWnd* parent) : CWizardPage(kPageAdminPassword, IDD_CP5, &CUIStr::IDS_PAGE5, parent, kControls) {}

bool CP5::OnControl(int id, int code)
{
    if (id == IDC_NEXT && code == STN_CLICKED) {
        OnNext();
        return true;
    }
    return false;
}

void CP5::ClearFields() const
{
    for (int id : {IDC_EDIT_NEWPASS, IDC_EDIT_PASSWORD}) {
        if (const CEdit* edit = Ctl<CEdit>(id))
            edit->SetWindowText(L"");
    }
}

void CP5::OnNext()
{
    const CEdit* first = Ctl<CEdit>(IDC_EDIT_NEWPASS);
    const CEdit* second = Ctl<CEdit>(IDC_EDIT_PASSWORD);
    if (!Session() || !first || !second)
        return;
    // The whole text counts, whatever part of it the user has selected.
    const std::wstring newPassword = first->GetWindowText();
    if (const int message = CheckAdminPassword(newPassword, second->GetWindowText()); message != kEntryAccepted) {
        ShowMessage(g_uiStr.errorMsg[message - 1]);
        return;
    }
    m_strNewPassword = newPassword;
    SendForm();
}

void CP5::SendForm()
{
    CWizardSession* session = Session();
    if (!session)
        return;
    // A refused login (the router does not know the password the wizard
    // holds) brings up the password dialog; the form then goes again with
    // the password given as the old one.
    SendSettingsForm(*this, PasswordForm(session->m_strAdminPassword, m_strNewPassword),
                     [this, session](PostOutcome outcome) {
                         if (outcome == PostOutcome::Taken) {
                             // Any answer but 401 counts as done. Should the router have kept
                             // its old password after all, the next form is refused and the
                             // password dialog takes the one it has.
                             session->m_strAdminPassword = m_strNewPassword;
                             // The wireless name page tells the name the router has now.
                             session->ReadWirelessName([this] { GoTo(kPageTimeZone); });
                         } else if (outcome != PostOutcome::Refused) {
                             // No answer: the router has not taken the new password, so the
                             // wizard keeps the one the router still has.
                             GoTo(kPageRouterUnreachable);
                         }
                     });
}
