// Page 21: joining other devices to the wireless network.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_CP10_STATIC1, .kind = CtlKind::Text, .text = &CUIStr::IDS_P10_STATIC1, .place = {50, 140, 700, 30}},
    {.id = IDC_CP10_STATIC2_TOP, .kind = CtlKind::Text, .text = &CUIStr::IDS_P10_STATIC2_Top,
     .place = {50, 170, 700, 30}},
    {.id = IDC_CP10_STATIC2_BOTTOM, .kind = CtlKind::Text, .text = &CUIStr::IDS_P10_STATIC2_Bottom,
     .place = {50, 200, 700, 110}},
    {.id = IDC_CP10_LINK1, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P10_STATIC3, .place = {50, 310, 700, 20},
     .bold = true, .points = 12, .colour = kLinkBlue, .goesTo = kPageWpsButton},
    {.id = IDC_CP10_STATIC4, .kind = CtlKind::Text, .text = &CUIStr::IDS_P10_STATIC4, .place = {50, 380, 700, 70}},
    {.id = IDC_CP10_LINK2, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P10_STATIC5, .place = {50, 450, 700, 20},
     .bold = true, .points = 12, .colour = kLinkBlue, .goesTo = kPageDeviceChooser},
};
// clang-format on
} // namespace

CP10::CP10(CWnd* parent) : CWizardPage(kPageJoinDevices, IDD_CP10, &CUIStr::IDS_PAGE10, parent, kControls) {}
