// Page 24: joining a Windows 7 computer.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK, .goesTo = kPageDeviceChooser},
    {.id = IDC_CP13A_STATIC1, .kind = CtlKind::Text, .text = &CUIStr::IDS_P13A_STATIC1, .place = {50, 110, 700, 30}},
    // The raw format until the summary is made; then the network name and password.
    {.id = IDC_CP13A_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P13A_STATIC2, .place = {50, 190, 700, 190},
     .fill = CtlFill::Joining},
    {.id = IDC_CP13A_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P13A_STATIC3, .place = {50, 390, 700, 120}},
};
// clang-format on
} // namespace

CP13A::CP13A(CWnd* parent) : CWizardPage(kPageWindows7, IDD_CP13A, &CUIStr::IDS_PAGE13A, parent, kControls) {}
