// Page 23: the kinds of device, each with its instruction page.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_BACK, .kind = CtlKind::Button, .text = &CUIStr::IDS_BACK, .goesTo = kPageJoinDevices},
    {.id = IDC_CP12_STATIC1, .kind = CtlKind::Text, .text = &CUIStr::IDS_P12_STATIC1, .place = {50, 140, 700, 30}},
    // Group headings: black, no hand, no page behind them.
    {.id = IDC_CP12_HEAD_PC, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P12_STATIC_PC,
     .place = {65, 200, 250, 25}, .points = 16, .colour = kGroupBlack, .cursor = CtlCursor::Arrow},
    {.id = IDC_CP12_HEAD_TABLET, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P12_STATIC_TABLET,
     .place = {65, 406, 250, 25}, .points = 16, .colour = kGroupBlack, .cursor = CtlCursor::Arrow},
    // Links, one per kind of device.
    {.id = IDC_CP12_LINK_WIN7, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P12_STATIC_WIN7,
     .place = {112, 230, 350, 20}, .points = 12, .colour = kLinkBlue, .goesTo = kPageWindows7},
    {.id = IDC_CP12_LINK_VISTA, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P12_STATIC_VISTA,
     .place = {112, 253, 350, 20}, .points = 12, .colour = kLinkBlue, .goesTo = kPageWindowsVista},
    {.id = IDC_CP12_LINK_XP, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P12_STATIC_XP,
     .place = {112, 275, 350, 20}, .points = 12, .colour = kLinkBlue, .goesTo = kPageWindowsXp},
    {.id = IDC_CP12_LINK_OSX, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P12_STATIC_OSX,
     .place = {112, 297, 350, 20}, .points = 12, .colour = kLinkBlue, .goesTo = kPageMacOsX},
    {.id = IDC_CP12_LINK_IOS, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P12_STATIC_IOS,
     .place = {112, 435, 270, 20}, .points = 12, .colour = kLinkBlue, .goesTo = kPageIphone},
    {.id = IDC_CP12_LINK_ANDROID, .kind = CtlKind::Caption, .text = &CUIStr::IDS_P12_STATIC_ANDROID,
     .place = {112, 457, 270, 20}, .points = 12, .colour = kLinkBlue, .goesTo = kPageAndroid},
};
// clang-format on
} // namespace

CP12::CP12(CWnd* parent) : CWizardPage(kPageDeviceChooser, IDD_CP12, &CUIStr::IDS_PAGE12, parent, kControls) {}
