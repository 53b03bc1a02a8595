// Page 18: the name of the wireless network.
#include "Pages.h"
#include "SummaryText.h"

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
} // namespace

CP7::CP7(CWnd* parent) : CWizardPage(kPageWirelessName, IDD_CP7, &CUIStr::IDS_PAGE7, parent, kControls) {}

bool CP7::OnControl(int id, int code)
{
    if (id == IDC_NEXT && code == STN_CLICKED) {
        OnNext();
        return true;
    }
    return false;
}

void CP7::OnHidden()
{
    if (const CEdit* name = Ctl<CEdit>(IDC_EDIT_FIELD)) {
        name->SetWindowPos(nullptr, 400, 352, 180, 20, SWP_NOACTIVATE | SWP_NOZORDER);
        name->SetLimitText(kWirelessNameLimit);
        name->SetWindowText(L"");
    }
}

void CP7::OnShown()
{
    OnHidden();
    const std::wstring ssid = Session() ? Session()->m_strSSID : std::wstring();
    // The name as the router told it: plain text, never markup.
    if (CPTLabel* label = Ctl<CPTLabel>(IDC_CP7_SSID)) {
        label->SetWindowPos(HWND_BOTTOM, 400, 332, 350, 20, SWP_NOACTIVATE);
        label->SetWindowText(ssid);
        label->SetLabelFont(FALSE, 12, L"Calibri");
        for (COLORREF& colour : label->m_crState)
            colour = RGB(0, 0, 0);
        RepaintBehind(*label, true);
    }
    if (CXHTMLStatic* sentence = Ctl<CXHTMLStatic>(IDC_CP7_STATIC3)) {
        sentence->SetWindowPos(HWND_BOTTOM, 280, 190, 520, 70, SWP_NOACTIVATE);
        sentence->ModifyStyleEx(0, WS_EX_TRANSPARENT);
        SetTextBlock(*sentence, FillMarkup(g_uiStr.IDS_P7_STATIC3, {ssid}));
    }
}

void CP7::OnNext()
{
    const CEdit* field = Ctl<CEdit>(IDC_EDIT_FIELD);
    if (!Session() || !field)
        return;
    const std::wstring name = field->GetWindowText();
    if (const int message = CheckWirelessName(name); message != kEntryAccepted) {
        ShowMessage(g_uiStr.errorMsg[message - 1]);
        return;
    }
    m_strName = name;
    SendForm();
}

void CP7::SendForm()
{
    // Until the router has taken the name, the wizard keeps the one it read
    // from the router.
    SendSettingsForm(*this, WirelessNameForm(m_strName), [this](PostOutcome outcome) {
        if (outcome != PostOutcome::Taken)
            return;
        Session()->m_strSSID = m_strName;
        GoTo(kPageWirelessKey);
    });
}
