// Page 28: joining an iPhone or iPad.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK, .goesTo = kPageDeviceChooser},
    {.id = IDC_CP14_STATIC1, .kind = CtlKind::Text, .text = &CUIStr::IDS_P14_STATIC1, .place = {50, 110, 700, 30}},
    // The raw format until the summary is made; then the network name and password.
    {.id = IDC_CP14_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P14_STATIC2, .place = {50, 190, 700, 320},
     .fill = CtlFill::Joining},
};
// clang-format on
} // namespace

CP14::CP14(CWnd* parent) : CWizardPage(kPageIphone, IDD_CP14, &CUIStr::IDS_PAGE14, parent, kControls) {}
