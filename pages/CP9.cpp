// Page 20: the set-up is complete; the summary of the settings.
#include "Pages.h"

#include <shellapi.h>

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
};
// clang-format on
} // namespace

CP9::CP9(CWnd* parent) : CWizardPage(kPageCompletion, IDD_CP9, &CUIStr::IDS_PAGE9, parent, kControls) {}

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
