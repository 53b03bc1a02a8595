// Page 1: the language of the wizard.
#include "Pages.h"

namespace {
// One control a row.
// clang-format off
const CtlRow kControls[] = {
    {.id = IDC_DROPLIST, .kind = CtlKind::List},
    {.id = IDC_CP1_NEXT, .kind = CtlKind::Button, .text = &CUIStr::IDS_NEXT},
    {.id = IDC_CP1_STATIC1, .kind = CtlKind::Heading, .text = &CUIStr::IDS_P1_STATIC1, .place = {68, 150, 680, 42},
     .bold = true},
    {.id = IDC_CP1_STATIC2, .kind = CtlKind::Heading, .text = &CUIStr::IDS_P1_STATIC2, .place = {185, 222, 180, 30}},
};
// clang-format on
constexpr int kSlots = 10;
// The display name that marks a slot without a language.
constexpr wchar_t kEmptySlot[] = L"0";
} // namespace

CP1::CP1(CWnd* parent) : CWizardPage(kPageLanguage, IDD_CP1, &CUIStr::IDS_PAGE1, parent, kControls) {}

BOOL CP1::OnInitDialog()
{
    CWizardPage::OnInitDialog();
    // The first page is seen before any language is chosen.
    ApplyTexts();
    return TRUE;
}

bool CP1::OnControl(int id, int code)
{
    if (id == IDC_DROPLIST && code == CBN_DROPDOWN) {
        FillLanguageList();
        return true;
    }
    if (id == IDC_CP1_NEXT && code == STN_CLICKED) {
        ApplyLanguage();
        return true;
    }
    return false;
}

void CP1::FillLanguageList() const
{
    CComboBox* list = Ctl<CComboBox>(IDC_DROPLIST);
    if (!list)
        return;
    list->ResetContent();
    for (const std::wstring& name : g_uiStr.languageName) {
        if (name != kEmptySlot)
            list->AddString(name);
    }
}

void CP1::ApplyLanguage() const
{
    // The list position is the slot: the used slots come first, without gaps.
    const CComboBox* list = Ctl<CComboBox>(IDC_DROPLIST);
    const int selected = list ? list->GetCurSel() : CB_ERR;
    g_uiStr.languageIndex = selected >= 0 && selected < kSlots ? selected : 0;
    g_uiStr.LoadLanguage();

    if (!Session())
        return;
    Session()->Host().ApplyLanguage();
    GoTo(kPageWelcome);
}
