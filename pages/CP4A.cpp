// Page 6: the Internet connection works.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP4A_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_CHECKING},
    {.id = IDC_CP4A_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4A_STATIC2, .place = {280, 145, 520, 35}},
    {.id = IDC_CP4A_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4A_STATIC3, .place = {280, 370, 520, 100}},
    {.id = IDC_CP4A_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4A_STATIC4, .place = {280, 480, 370, 30}},
    {.id = IDC_CONN_NEXT, .kind = CtlKind::Button, .text = &CUIStr::IDS_NEXT, .goesTo = kPageAdminPassword},
};
// clang-format on
} // namespace

CP4A::CP4A(CWnd* parent) : CWizardPage(kPageInternetWorks, IDD_CP4A, &CUIStr::IDS_PAGE4A, parent, kControls) {}
