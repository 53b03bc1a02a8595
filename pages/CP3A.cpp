// Page 4: how the router reaches the Internet, and the account it needs.
#include "AnsiText.h"
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_RADIO_DHCP, .kind = CtlKind::Radio, .place = {280, 200, 16, 16}},
    {.id = IDC_RADIO_PPPOE, .kind = CtlKind::Radio, .place = {280, 255, 16, 16}},
    {.id = IDC_RADIO_BIGPOND, .kind = CtlKind::Radio, .place = {280, 370, 16, 16}},
    {.id = IDC_EDIT_FIELD, .kind = CtlKind::Edit, .place = {420, 300, 120, 20}},
    {.id = IDC_EDIT_PASSWORD, .kind = CtlKind::Edit, .place = {420, 320, 120, 20}},
    {.id = IDC_EDIT_BP_USER, .kind = CtlKind::Edit, .place = {420, 415, 120, 20}},
    {.id = IDC_EDIT_BP_PASSWORD, .kind = CtlKind::Edit, .place = {420, 435, 120, 20}},
    {.id = IDC_CP3A_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_STARTED},
    {.id = IDC_CP3A_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3A_STATIC2, .place = {280, 150, 520, 25}},
    {.id = IDC_CP3A_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3A_STATIC3, .place = {310, 195, 490, 50}},
    {.id = IDC_CP3A_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3A_STATIC4, .place = {310, 250, 490, 50}},
    {.id = IDC_CP3A_STATIC5, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3A_STATIC5, .place = {310, 300, 110, 50}},
    {.id = IDC_CP3A_STATIC6, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3A_STATIC6, .place = {310, 365, 490, 50}},
    {.id = IDC_CP3A_STATIC7, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3A_STATIC7, .place = {310, 415, 110, 50}},
    {.id = IDC_CP3A_STATIC8, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3A_STATIC8, .place = {280, 480, 370, 30}},
    {.id = IDC_CONN_NEXT, .kind = CtlKind::Button, .text = &CUIStr::IDS_NEXT},
    {.id = IDC_CONN_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK_P2_P3_P3a, .goesTo = kPageBeforeYouStart},
};
// clang-format on

// The connection types as the settings keep them.
constexpr int kDhcp = 1, kPppoe = 2, kBigPond = 3;
} // namespace

CP3A::CP3A(CWnd* parent) : CWizardPage(kPageConnectionType, IDD_CP3A, &CUIStr::IDS_PAGE3A, parent, kControls) {}

bool CP3A::OnControl(int id, int code)
{
    if (id == IDC_CONN_NEXT && code == STN_CLICKED) {
        OnNext();
        return true;
    }
    return false;
}

void CP3A::OnNext() const
{
    CWizardSession* session = Session();
    if (!session)
        return;
    const auto fieldText = [this](int id) {
        const CEdit* edit = Ctl<CEdit>(id);
        return edit ? edit->GetWindowText() : std::wstring();
    };
    const auto isChosen = [this](int id) {
        const CButton* radio = Ctl<CButton>(id);
        return radio && radio->GetCheck() == BST_CHECKED;
    };

    // Every Next stores all four fields, whichever type is chosen.
    session->m_strPppoeUser = fieldText(IDC_EDIT_FIELD);
    session->m_strPppoePassword = fieldText(IDC_EDIT_PASSWORD);
    session->m_strBigPondUser = fieldText(IDC_EDIT_BP_USER);
    session->m_strBigPondPassword = fieldText(IDC_EDIT_BP_PASSWORD);

    const std::wstring* user = nullptr;
    const std::wstring* password = nullptr;
    if (isChosen(IDC_RADIO_DHCP)) {
        session->m_nWanType = kDhcp;
    } else if (isChosen(IDC_RADIO_PPPOE)) {
        session->m_nWanType = kPppoe;
        user = &session->m_strPppoeUser;
        password = &session->m_strPppoePassword;
    } else if (isChosen(IDC_RADIO_BIGPOND)) {
        session->m_nWanType = kBigPond;
        user = &session->m_strBigPondUser;
        password = &session->m_strBigPondPassword;
    } else {
        return; // no type chosen yet
    }

    if (user && (user->empty() || password->empty())) {
        ShowMessage(g_uiStr.errorMsg[0]);
        return;
    }
    // The library would refuse the form with this account only once page 5 has begun, and
    // that page could only blame the connection: say here what is wrong.
    if (user && (!keplo::FitsAnsiCodePage(*user) || !keplo::FitsAnsiCodePage(*password))) {
        ShowMessage(g_uiStr.IDS_P3A_UNSENDABLE);
        return;
    }
    // The account's user name helps whoever reads the log; its password never appears there.
    static const wchar_t* const kTypes[] = {L"", L"dynamic address", L"PPPoE", L"BigPond"};
    session->Record().Write(L"connection type " + std::wstring(kTypes[session->m_nWanType]) +
                            (user ? L", user \"" + *user + L"\", password ********" : L""));
    GoTo(kPageApply);
}
