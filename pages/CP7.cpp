// Page 18: the name of the wireless network.
#include "Pages.h"
#include "RouterOps.h"
#include "SettingsForms.h"
#include "TarvoDlg.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP7_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_SETUP},
    {.id = IDC_NEXT, .kind = CtlKind::Button, .text = &CUIStr::IDS_NEXT},
    // Placed, limited and emptied each time the page is shown or hidden.
    {.id = IDC_EDIT_FIELD, .kind = CtlKind::Edit},
    {.id = IDC_CP7_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P7_STATIC2, .place = {280, 145, 520, 35}},
    // The current network sentence and name come from the router status reading.
    {.id = IDC_CP7_STATIC3, .kind = CtlKind::Text},
    {.id = IDC_CP7_SSID, .kind = CtlKind::Caption},
    {.id = IDC_CP7_STATIC5, .kind = CtlKind::Text, .text = &CUIStr::IDS_P7_STATIC5, .place = {280, 270, 520, 50}},
    {.id = IDC_CP7_STATIC6, .kind = CtlKind::Text, .text = &CUIStr::IDS_P7_STATIC6, .place = {280, 332, 520, 150}},
    {.id = IDC_CP7_STATIC7, .kind = CtlKind::Text, .text = &CUIStr::IDS_P7_STATIC7, .place = {280, 480, 370, 30}},
};
// clang-format on

constexpr int kPageWirelessSecurity = 19;
} // namespace

CP7::CP7(CWnd* parent) : CWizardPage(18, IDD_CP7, &CUIStr::IDS_PAGE7, parent, kControls) {}

bool CP7::OnControl(int id, int code)
{
    if (id == IDC_NEXT && code == STN_CLICKED) {
        OnNext();
        return true;
    }
    return false;
}

LRESULT CP7::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SHOWWINDOW) {
        if (const CEdit* name = Ctl<CEdit>(IDC_EDIT_FIELD)) {
            name->SetWindowPos(nullptr, 400, 352, 180, 20, SWP_NOACTIVATE | SWP_NOZORDER);
            name->SetLimitText(kWirelessNameLimit);
            name->SetWindowText(L"");
        }
    }
    return CWizardPage::WindowProc(msg, wParam, lParam);
}

void CP7::OnNext()
{
    const CEdit* field = Ctl<CEdit>(IDC_EDIT_FIELD);
    if (!MainWindow() || !field)
        return;
    const std::wstring name = field->GetWindowText();
    if (const int message = CheckWirelessName(name); message != kEntryAccepted) {
        ::MessageBoxW(m_hWnd, g_uiStr.errorMsg[message - 1].c_str(), g_uiStr.IDS_TITLE.c_str(), MB_OK);
        return;
    }
    m_strName = name;
    SendForm();
}

void CP7::SendForm()
{
    CTarvoDlg* main = MainWindow();
    if (!main)
        return;
    // Until the router has taken the name, the wizard keeps the one it read
    // from the router.
    if (SendSettingsForm(*main, *this, WirelessNameForm(m_strName)) == PostOutcome::Taken) {
        main->m_strSSID = m_strName;
        main->ShowPage(kPageWirelessSecurity);
    }
}
