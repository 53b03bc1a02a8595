// Page 11: the router cannot be reached; three points to confirm.
#include "Pages.h"

#include <algorithm>
#include <iterator>

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP4C_STEPS, .kind = CtlKind::Steps, .text = &CUIStr::IDS_CHECKING},
    // Below the steps: what went wrong, from what the run saw.
    {.id = IDC_CP4C_TROUBLE, .kind = CtlKind::Text, .text = &CUIStr::IDS_TROUBLE_TITLE, .place = kTroublePlace,
     .fill = CtlFill::Trouble},
    {.id = IDC_CP4C_STATIC2, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4C_STATIC2, .place = {280, 145, 520, 35}},
    {.id = IDC_CP4C_STATIC3, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4C_STATIC3, .place = {280, 180, 520, 70}},
    {.id = IDC_CP4C_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4C_STATIC4, .place = {310, 265, 480, 220}},
    {.id = IDC_CP4C_STATIC5, .kind = CtlKind::Text, .text = &CUIStr::IDS_P4C_STATIC5, .place = {280, 470, 370, 40}},
    {.id = IDC_CHECK_ITEM1, .kind = CtlKind::Check, .place = {280, 270, 15, 15}},
    {.id = IDC_CHECK_ITEM2, .kind = CtlKind::Check, .place = {280, 330, 15, 15}},
    {.id = IDC_CHECK_ITEM3, .kind = CtlKind::Check, .place = {280, 405, 15, 15}},
    // Its hand cursor says whether all three boxes are ticked: the texts leave it alone.
    {.id = IDC_RECHECK, .kind = CtlKind::Button, .text = &CUIStr::IDS_RECHECK, .cursor = CtlCursor::Unchanged},
};
// clang-format on

constexpr int kBoxes[] = {IDC_CHECK_ITEM1, IDC_CHECK_ITEM2, IDC_CHECK_ITEM3};
} // namespace

CP4C::CP4C(CWnd* parent) : CConfirmationPage(kPageRouterUnreachable, IDD_CP4C, &CUIStr::IDS_PAGE4C, parent, kControls)
{
}

bool CConfirmationPage::AllTicked() const
{
    for (int id : kBoxes) {
        const CButton* box = Ctl<CButton>(id);
        if (!box || box->GetCheck() != BST_CHECKED)
            return false;
    }
    return true;
}

void CConfirmationPage::SetReCheckActive(bool active) const
{
    if (CPTLabel* recheck = Ctl<CPTLabel>(IDC_RECHECK))
        recheck->m_bHandCursor = active ? TRUE : FALSE;
}

bool CConfirmationPage::OnControl(int id, int code)
{
    if (id == IDC_RECHECK && code == STN_CLICKED) {
        // The whole connection sequence runs again, whichever page failed.
        if (AllTicked())
            GoTo(kPageApply);
        return true;
    }
    if (code == BN_CLICKED && std::find(std::begin(kBoxes), std::end(kBoxes), id) != std::end(kBoxes)) {
        SetReCheckActive(AllTicked());
        return true;
    }
    return false;
}

void CConfirmationPage::OnShown()
{
    Reset();
}

void CConfirmationPage::Reset() const
{
    SetReCheckActive(false);
    for (int id : kBoxes) {
        if (const CButton* box = Ctl<CButton>(id))
            box->SetCheck(BST_UNCHECKED);
    }
}
