// Page 2: the first introduction page.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_NEXT, .kind = CtlKind::Button, .text = &CUIStr::IDS_NEXT, .goesTo = kPageBeforeYouStart},
    {.id = IDC_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK_P2_P3_P3a, .goesTo = kPageLanguage},
    {.id = IDC_CP2_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_STARTED},
    {.id = IDC_CP2_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P2_STATIC2, .place = {280, 190, 520, 260}},
    {.id = IDC_CP2_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P2_STATIC3, .place = {280, 480, 370, 30}},
};
// clang-format on
} // namespace

CP2::CP2(CWnd* parent) : CWizardPage(kPageWelcome, IDD_CP2, &CUIStr::IDS_PAGE2, parent, kControls) {}
