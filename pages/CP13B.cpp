// Page 25: joining a Windows Vista computer.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK, .goesTo = kPageDeviceChooser},
    {.id = IDC_CP13B_STATIC1, .kind = CtlKind::Text, .text = &CUIStr::IDS_P13B_STATIC1, .place = {50, 110, 700, 30}},
    // The raw format until the summary is made; then the network name and password.
    {.id = IDC_CP13B_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P13B_STATIC2, .place = {50, 160, 700, 320},
     .fill = CtlFill::Joining},
};
// clang-format on
} // namespace

CP13B::CP13B(CWnd* parent) : CWizardPage(kPageWindowsVista, IDD_CP13B, &CUIStr::IDS_PAGE13B, parent, kControls) {}
