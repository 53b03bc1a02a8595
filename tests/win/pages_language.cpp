// The language page: the list filled on drop-down, the list position taken
// as the language slot, and Next re-texting the whole wizard.
#include "ValueForms.h"
#include "pages_fixture.h"

using pagetest::PagesTest;

namespace {

class LanguagePage : public PagesTest {
protected:
    // A language list of ten slots; names and files not given are "0".
    void WriteList(const std::vector<std::pair<std::wstring, std::wstring>>& slots) const
    {
        std::wstring text = L"[Language]\r\n";
        for (size_t i = 0; i < 10; ++i) {
            const bool used = i < slots.size();
            text += L"LAN" + std::to_wstring(i) + L"=" + (used ? slots[i].first : L"0") + L"\r\n";
            text += L"LAN_INI" + std::to_wstring(i) + L"=" + (used ? slots[i].second : L"0") + L"\r\n";
        }
        wintest::WriteUtf16(Lang(L"LANG.ini"), text);
    }

    // A language file holding every English value with a mark at its end
    // and pictures that do not exist.
    void WriteMarkedLanguage(const std::wstring& file) const
    {
        std::wstring text = L"[Strings]\r\n";
        size_t count = 0;
        const CUIStr::Entry* entries = CUIStr::Entries(&count);
        for (size_t i = 0; i < count; ++i) {
            const std::wstring key = entries[i].key;
            const bool picture = key.rfind(L"IDS_PAGE", 0) == 0;
            text += key + L"=" + (picture ? L"none.jpg" : EnglishValue(key) + kMark) + L"\r\n";
        }
        for (int n = 1; n <= 9; ++n) {
            const std::wstring key = L"IDS_ERROR_MSG" + std::to_wstring(n);
            text += key + L"=" + EnglishValue(key) + kMark + L"\r\n";
        }
        wintest::WriteUtf16(Lang(file), text);
    }

    void WriteTitleOnly(const std::wstring& file, const std::wstring& title) const
    {
        wintest::WriteUtf16(Lang(file), L"[Strings]\r\nIDS_TITLE=" + title + L"\r\n");
    }

    CComboBox& List() const { return *Page(1).Ctl<CComboBox>(IDC_DROPLIST); }
    std::vector<std::wstring> Entries() const
    {
        std::vector<std::wstring> entries;
        for (int i = 0; i < List().GetCount(); ++i)
            entries.push_back(List().GetLBText(i));
        return entries;
    }
    // As a person opens it: the list drops down and tells its page first.
    void OpenList() const
    {
        List().SendMessage(CB_SHOWDROPDOWN, TRUE);
        List().SendMessage(CB_SHOWDROPDOWN, FALSE);
    }
    void Next() const { Click(1, IDC_CP1_NEXT); }

    static constexpr wchar_t kMark[] = L" ~2";
};

} // namespace

TEST_F(LanguagePage, ListIsEmptyUntilItDropsDownThenShowsEveryUsedSlotInOrder)
{
    // A "0" marks an empty slot; an empty name is still a language.
    WriteList({{L"English", L"Lang0409.ini"}, {L"0", L"0"}, {L"Suomi", L"LangFi.ini"}, {L"", L"LangX.ini"}});
    StartWizard();
    EXPECT_EQ(List().GetCount(), 0);

    OpenList();
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"English", L"Suomi", L""}));

    // Opening again refills rather than appends, and forgets the pick.
    List().SetCurSel(1);
    OpenList();
    EXPECT_EQ(Entries().size(), 3u);
    EXPECT_EQ(List().GetCurSel(), CB_ERR);
}

TEST_F(LanguagePage, NextTakesSlotZeroUnlessAnEntryWasPickedAfterTheLastOpening)
{
    WriteList({{L"First", L"LangA.ini"}, {L"Second", L"LangB.ini"}});
    WriteTitleOnly(L"LangA.ini", L"Title A");
    WriteTitleOnly(L"LangB.ini", L"Title B");
    g_uiStr.languageIndex = 1; // as if a slot had been chosen before
    StartWizard();
    ASSERT_EQ(Dlg().GetWindowText(), L"Title B");

    Next();
    EXPECT_EQ(g_uiStr.languageIndex, 0) << "the list was never opened";
    EXPECT_EQ(Dlg().GetWindowText(), L"Title A");
    EXPECT_EQ(VisiblePages(), std::vector<int>{2});

    Click(2, IDC_BACK);
    OpenList();
    List().SetCurSel(1);
    Next();
    EXPECT_EQ(Dlg().GetWindowText(), L"Title B");

    Click(2, IDC_BACK);
    ASSERT_EQ(VisiblePages(), std::vector<int>{1});
    EXPECT_EQ(List().GetCurSel(), 1) << "the list shows what was left";
    OpenList();
    Next();
    EXPECT_EQ(Dlg().GetWindowText(), L"Title A");
}

TEST_F(LanguagePage, ChoosingALanguageRetitlesAndChangesEveryPagesTextsButNotTheArt)
{
    WriteList({{L"English", L"Lang0409.ini"}, {L"Marked", L"LangM.ini"}});
    WriteMarkedLanguage(L"LangM.ini");
    StartWizard();
    std::vector<const IPicture*> art;
    for (int n = 1; n <= CTarvoDlg::kPageCount; ++n)
        art.push_back(Page(n).Background().m_pPicture);

    OpenList();
    List().SetCurSel(1);
    Next();

    EXPECT_EQ(Dlg().GetWindowText(), EnglishValue(L"IDS_TITLE") + kMark);
    EXPECT_EQ(VisiblePages(), std::vector<int>{2});
    const auto* message = dynamic_cast<CPTLabel*>(CWnd::FromHandle(Dlg().WaitDialog()->GetDlgItem(IDC_WAIT_MESSAGE)));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->Markup(), EnglishValue(L"IDS_ERROR_MSG9") + kMark);

    int texts = 0;
    for (int n = 1; n <= CTarvoDlg::kPageCount; ++n) {
        CWizardPage& page = Page(n);
        EXPECT_EQ(page.Background().m_pPicture, art[static_cast<size_t>(n - 1)]) << "page " << n;
        EXPECT_NE(page.Background().m_pPicture, nullptr) << "page " << n;
        for (const CtlRow& row : page.Table()) {
            if (!row.text)
                continue;
            SCOPED_TRACE("page " + std::to_string(n) + ", control " + std::to_string(row.id));
            const std::wstring value = g_uiStr.*row.text;
            ASSERT_TRUE(value.ends_with(kMark)) << "the table names a key the file lacks";
            std::wstring expected = value;
            if (row.kind == CtlKind::Button)
                expected = ParseLayout(value).text;
            else if (row.kind == CtlKind::Heading)
                expected = ParseColour(value).text;
            EXPECT_EQ(MarkupOf(n, row.id), expected);
            ++texts;
        }
    }
    // Every page with texts took part, not only the first few.
    EXPECT_GT(texts, 100);
}
