// Page 27: joining a Mac.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK, .goesTo = kPageDeviceChooser},
    {.id = IDC_CP13D_STATIC1, .kind = CtlKind::Text, .text = &CUIStr::IDS_P13D_STATIC1, .place = {50, 110, 700, 30}},
    // The raw format until the summary is made; then the network name and password.
    {.id = IDC_CP13D_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P13D_STATIC2, .place = {50, 160, 700, 320},
     .fill = CtlFill::Joining},
};
// clang-format on
} // namespace

CP13D::CP13D(CWnd* parent) : CWizardPage(kPageMacOsX, IDD_CP13D, &CUIStr::IDS_PAGE13D, parent, kControls) {}
