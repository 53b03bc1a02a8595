// Page 22: joining a device with the WPS button.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK, .goesTo = kPageJoinDevices},
    {.id = IDC_CP11_STATIC1, .kind = CtlKind::Text, .text = &CUIStr::IDS_P11_STATIC1, .place = {50, 140, 700, 30}},
    {.id = IDC_CP11_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P11_STATIC2, .place = {60, 400, 700, 110}},
};
// clang-format on
} // namespace

CP11::CP11(CWnd* parent) : CWizardPage(kPageWpsButton, IDD_CP11, &CUIStr::IDS_PAGE11, parent, kControls) {}
