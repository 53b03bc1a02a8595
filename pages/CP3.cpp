// Page 3: the second introduction page.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_NEXT, .kind = CtlKind::Button, .text = &CUIStr::IDS_NEXT, .goesTo = kPageConnectionType},
    {.id = IDC_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK_P2_P3_P3a, .goesTo = kPageWelcome},
    {.id = IDC_CP3_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_STARTED},
    {.id = IDC_CP3_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3_STATIC2, .place = {280, 160, 520, 60}},
    {.id = IDC_CP3_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3_STATIC3, .place = {280, 220, 520, 160}},
    {.id = IDC_CP3_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P3_STATIC4, .place = {280, 480, 370, 30}},
};
// clang-format on
} // namespace

CP3::CP3(CWnd* parent) : CWizardPage(kPageBeforeYouStart, IDD_CP3, &CUIStr::IDS_PAGE3, parent, kControls) {}
