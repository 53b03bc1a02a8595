// Page 16: the router's administrator password.
#include "Pages.h"
#include "RouterOps.h"
#include "SettingsForms.h"
#include "TarvoDlg.h"

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

constexpr int kPageTimeZone = 17;
constexpr int kPageRouterTrouble = 11;
} // namespace

CP5::CP5(CWnd* parent) : CWizardPage(16, IDD_CP5, &CUIStr::IDS_PAGE5, parent, kControls) {}

bool CP5::OnControl(int id, int code)
{
    if (id == IDC_NEXT && code == STN_CLICKED) {
        OnNext();
        return true;
    }
    return false;
}

LRESULT CP5::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SHOWWINDOW) {
        // Shown or hidden, a password typed here never stays on screen.
        for (int id : {IDC_EDIT_NEWPASS, IDC_EDIT_PASSWORD}) {
            if (const CEdit* edit = Ctl<CEdit>(id))
                edit->SetWindowText(L"");
        }
    }
    return CWizardPage::WindowProc(msg, wParam, lParam);
}

void CP5::OnNext() const
{
    CTarvoDlg* main = MainWindow();
    const CEdit* first = Ctl<CEdit>(IDC_EDIT_NEWPASS);
    const CEdit* second = Ctl<CEdit>(IDC_EDIT_PASSWORD);
    if (!main || !first || !second)
        return;
    // The whole text counts, whatever part of it the user has selected.
    const std::wstring newPassword = first->GetWindowText();
    if (const int message = CheckAdminPassword(newPassword, second->GetWindowText()); message != kEntryAccepted) {
        ::MessageBoxW(m_hWnd, g_uiStr.errorMsg[message - 1].c_str(), g_uiStr.IDS_TITLE.c_str(), MB_OK);
        return;
    }

    const std::wstring oldPassword = main->m_strAdminPassword;
    const PostOutcome outcome =
        PostSettingsForm(main->RouterLink(), main->m_strRouterIP, oldPassword, PasswordForm(oldPassword, newPassword));
    // A router that refused the login has not taken the new password either:
    // keep the one it still has, or every later request would fail.
    if (outcome != PostOutcome::Taken) {
        main->ShowPage(kPageRouterTrouble);
        return;
    }
    main->m_strAdminPassword = newPassword;
    main->ReadRouterStatus();
    main->ShowPage(kPageTimeZone);
}
