// Page 29: joining an Android phone or tablet.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK, .goesTo = kPageDeviceChooser},
    {.id = IDC_CP15_STATIC1, .kind = CtlKind::Text, .text = &CUIStr::IDS_P15_STATIC1, .place = {50, 110, 700, 30}},
    // The raw format until the summary is made; then the network name and password.
    {.id = IDC_CP15_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P15_STATIC2, .place = {50, 160, 700, 320},
     .fill = CtlFill::Joining},
};
// clang-format on
} // namespace

CP15::CP15(CWnd* parent) : CWizardPage(kPageAndroid, IDD_CP15, &CUIStr::IDS_PAGE15, parent, kControls) {}
