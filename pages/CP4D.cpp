// Page 12: this computer's network does not suit the set-up.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP4D_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_CHECKING},
    // Below the steps: what went wrong, from what the run saw.
    {.id = IDC_CP4D_TROUBLE, .kind = CtlKind::Text, .text = &CUIStr::IDS_TROUBLE_TITLE, .place = kTroublePlace,
     .fill = CtlFill::Trouble},
    {.id = IDC_CP4D_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4D_STATIC2, .place = {280, 145, 440, 35}},
    {.id = IDC_CP4D_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4D_STATIC3, .place = {280, 200, 520, 150}},
    {.id = IDC_CP4D_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4D_STATIC4, .place = {280, 370, 520, 150}},
    {.id = IDC_RECHECK, .kind = CtlKind::Button, .text = &CUIStr::IDS_RECHECK, .goesTo = kPageApply},
};
// clang-format on
} // namespace

CP4D::CP4D(CWnd* parent) : CWizardPage(kPageAdapterUnsuitable, IDD_CP4D, &CUIStr::IDS_PAGE4D, parent, kControls) {}
