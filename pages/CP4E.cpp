// Page 13: no Internet yet; three points to confirm.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP4E_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_CHECKING},
    // Below the steps: what went wrong, from what the run saw.
    {.id = IDC_CP4E_TROUBLE, .kind = CtlKind::Text, .text = &CUIStr::IDS_TROUBLE_TITLE, .place = kTroublePlace,
     .fill = CtlFill::Trouble},
    {.id = IDC_CP4E_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4E_STATIC2, .place = {280, 145, 520, 35}},
    {.id = IDC_CP4E_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4E_STATIC3, .place = {280, 190, 520, 50}},
    {.id = IDC_CP4E_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4E_STATIC4, .place = {310, 250, 520, 200}},
    {.id = IDC_CP4E_STATIC5, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4E_STATIC5, .place = {280, 480, 370, 30}},
    {.id = IDC_CHECK_ITEM1, .kind = CtlKind::Check, .place = {280, 255, 15, 15}},
    {.id = IDC_CHECK_ITEM2, .kind = CtlKind::Check, .place = {280, 315, 15, 15}},
    {.id = IDC_CHECK_ITEM3, .kind = CtlKind::Check, .place = {280, 390, 15, 15}},
    // Inactive until all three boxes are ticked.
    {.id = IDC_RECHECK, .kind = CtlKind::Button, .text = &CUIStr::IDS_RECHECK, .cursor = CtlCursor::Arrow},
};
// clang-format on
} // namespace

CP4E::CP4E(CWnd* parent) : CConfirmationPage(kPageNoInternet, IDD_CP4E, &CUIStr::IDS_PAGE4E, parent, kControls) {}
