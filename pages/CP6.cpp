// Page 17: the router's time zone.
#include "Pages.h"
#include "TimeZones.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP6_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_SETUP},
    {.id = IDC_NEXT, .kind = CtlKind::Button, .text = &CUIStr::IDS_NEXT},
    // 200 pixels high with the list open.
    {.id = IDC_DROPLIST, .kind = CtlKind::List, .place = {380, 310, 320, 200}},
    {.id = IDC_CP6_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P6_STATIC2, .place = {280, 145, 440, 35}},
    {.id = IDC_CP6_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P6_STATIC3, .place = {280, 190, 520, 80}},
    {.id = IDC_CP6_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P6_STATIC4, .place = {280, 310, 100, 30}},
    {.id = IDC_CP6_STATIC5, .kind = CtlKind::Text, .text = &CUIStr::IDS_P6_STATIC5, .place = {280, 480, 370, 30}},
};
// clang-format on
} // namespace

CP6::CP6(CWnd* parent) : CWizardPage(kPageTimeZone, IDD_CP6, &CUIStr::IDS_PAGE6, parent, kControls) {}

bool CP6::OnControl(int id, int code)
{
    if (id == IDC_DROPLIST && code == CBN_DROPDOWN) {
        FillZoneList();
        return true;
    }
    if (id == IDC_NEXT && code == STN_CLICKED) {
        OnNext();
        return true;
    }
    return false;
}

void CP6::FillZoneList() const
{
    // Refilled at every opening, which also clears an earlier choice.
    const CComboBox* list = Ctl<CComboBox>(IDC_DROPLIST);
    if (!list)
        return;
    list->ResetContent();
    for (std::wstring_view zone : kTimeZones)
        list->AddString(std::wstring(zone));
}

void CP6::OnNext()
{
    const CComboBox* list = Ctl<CComboBox>(IDC_DROPLIST);
    if (!Session() || !list)
        return;
    const int position = list->GetCurSel();
    if (const int message = CheckTimeZone(position, list->GetCount()); message != kEntryAccepted) {
        ShowMessage(g_uiStr.errorMsg[message - 1]);
        return;
    }
    m_nZone = position;
    SendForm();
}

void CP6::SendForm()
{
    // Otherwise the user stays here (or at the password dialog); Next tries again.
    SendSettingsForm(*this, TimeZoneForm(m_nZone), [this](PostOutcome outcome) {
        if (outcome == PostOutcome::Taken)
            GoTo(kPageWirelessName);
    });
}
