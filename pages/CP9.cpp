// Page 20: the set-up is complete; the summary of the settings and the code
// that a phone scans to join the wireless network.
#include "Pages.h"
#include "QrCode.h"

#include <shellapi.h>

#include <algorithm>
#include <optional>

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP9_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_COMPLETION},
    {.id = IDC_PRINT, .kind = CtlKind::Button, .text = &CUIStr::IDS_PRINT},
    {.id = IDC_ADD, .kind = CtlKind::Button, .text = &CUIStr::IDS_ADD, .goesTo = kPageJoinDevices},
    {.id = IDC_CP9_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P9_STATIC2, .place = {280, 140, 520, 35}},
    {.id = IDC_CP9_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P9_STATIC3, .place = {285, 175, 520, 50}},
    {.id = IDC_CP9_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P9_STATIC4, .place = {295, 225, 205, 180}},
    // The raw format until the summary is made.
    {.id = IDC_CP9_STATIC6, .kind = CtlKind::Text, .text = &CUIStr::IDS_P9_STATIC6, .place = {520, 225, 185, 180},
     .fill = CtlFill::Completion},
    {.id = IDC_CP9_STATIC5, .kind = CtlKind::Text, .text = &CUIStr::IDS_P9_STATIC5, .place = {285, 410, 520, 90}},
    {.id = IDC_CP9_BLANK, .kind = CtlKind::Caption},
    // Placed and filled with the join code.
    {.id = IDC_CP9_SCAN, .kind = CtlKind::Text},
};
// clang-format on

// The step panel's room below the steps, which end higher on this page than
// elsewhere, down to just above the spare label and the panel's lower edge:
// the join code with its caption under it, centred.
constexpr int kStepsHeight = 130;
constexpr CtlPlace kJoinArea{10, 290, 250, 226};
constexpr int kCaptionGap = 6;
constexpr int kCaptionHeight = 18; // one line: only a line of its own is centred
constexpr UINT kPlaceAndShow = SWP_NOACTIVATE | SWP_NOZORDER | SWP_SHOWWINDOW;
} // namespace

CP9::CP9(CWnd* parent) : CWizardPage(kPageCompletion, IDD_CP9, &CUIStr::IDS_PAGE9, parent, kControls) {}

BOOL CP9::OnInitDialog()
{
    const BOOL result = CWizardPage::OnInitDialog();
    m_joinCode.SubclassDlgItem(IDC_CP9_CODE, *this);
    return result;
}

void CP9::ApplyTexts()
{
    CWizardPage::ApplyTexts();
    if (CWnd* steps = Control(IDC_CP9_STEPS))
        steps->SetWindowPos(nullptr, 0, 0, kStepsPlace.cx, kStepsHeight, SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
}

void CP9::OnShown()
{
    ShowJoinCode();
}

void CP9::ShowJoinCode()
{
    CXHTMLStatic* caption = Ctl<CXHTMLStatic>(IDC_CP9_SCAN);
    if (!m_joinCode.m_hWnd || !caption)
        return;
    // Until the summary is made the network is not set up yet.
    const CWizardSession* session = Session();
    std::optional<QrMatrix> code;
    if (session && session->SummaryMade())
        code = EncodeQr(WifiJoinText(session->m_strSSID, session->m_strWirelessKey));
    int side = 0;
    if (code) {
        m_joinCode.SetModules(code->size, std::move(code->modules));
        side = m_joinCode.FitInto(std::min(kJoinArea.cx, kJoinArea.cy - kCaptionGap - kCaptionHeight));
    }
    if (side == 0) {
        m_joinCode.ShowWindow(SW_HIDE);
        caption->ShowWindow(SW_HIDE);
        return;
    }
    const int top = kJoinArea.y + (kJoinArea.cy - side - kCaptionGap - kCaptionHeight) / 2;
    m_joinCode.SetWindowPos(nullptr, kJoinArea.x + (kJoinArea.cx - side) / 2, top, side, side, kPlaceAndShow);
    caption->SetWindowPos(nullptr, kJoinArea.x, top + side + kCaptionGap, kJoinArea.cx, kCaptionHeight, kPlaceAndShow);
    caption->ModifyStyleEx(0, WS_EX_TRANSPARENT);
    SetTextBlock(*caption, L"<CENTER>" + g_uiStr.IDS_P9_SCAN_TO_JOIN + L"</CENTER>");
}

bool CP9::OnControl(int id, int code)
{
    if (id == IDC_PRINT && code == STN_CLICKED) {
        PrintSummary();
        return true;
    }
    return false;
}

void CP9::PrintSummary() const
{
    const CWizardSession* session = Session();
    // Before a summary was saved, or when it could not be, there is nothing
    // to print (an older file of that name is not this run's).
    if (!session || session->m_strSettingsFile.empty())
        return;
    // The program registered for the file's type prints it. Where there is
    // none the click has no visible effect: no error box from the shell, and
    // nothing waits for the printing.
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"print";
    info.lpFile = session->m_strSettingsFile.c_str();
    info.nShow = SW_SHOW;
    ::ShellExecuteExW(&info);
}
