// What every page shares: labels and text blocks placed and styled from the
// string table, the art, dragging and closing, tab stops in reading order and
// Enter or Space on a label. (The keys that must do nothing are pressed for
// real in the GUI scenarios.)
#include "pages_fixture.h"

using pagetest::PagesTest;
using pagetest::Rect;

namespace {

int FontHeight(int points)
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return -::MulDiv(points, dpi, 72);
}

void ExpectAllStates(const CPTLabel& label, COLORREF colour)
{
    for (COLORREF state : label.m_crState)
        EXPECT_EQ(state, colour);
}

class PageBase : public PagesTest {
protected:
    void SetValue(const wchar_t* key, const wchar_t* value) const
    {
        ::WritePrivateProfileStringW(L"Strings", key, value, English().c_str());
    }
};

} // namespace

TEST_F(PageBase, ButtonLabelsTakePlaceSizeFontAndCaptionFromTheirLayoutValue)
{
    // A caption keeps every comma after the fifth; a value without commas is all caption.
    SetValue(L"IDS_NEXT", L"701,550,75,30,13,Go on, then stop");
    SetValue(L"IDS_BACK_P2_P3_P3a", L"Back without numbers");
    StartWizard();
    Dlg().RefreshAllTexts();

    for (int page : {2, 3}) {
        SCOPED_TRACE("page " + std::to_string(page));
        CPTLabel* next = Page(page).Ctl<CPTLabel>(IDC_NEXT);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(PlaceOf(page, IDC_NEXT), Rect(701, 550, 75, 30));
        EXPECT_EQ(next->GetWindowText(), L"Go on, then stop");
        EXPECT_EQ(next->m_lf.lfHeight, FontHeight(13));

        EXPECT_EQ(PlaceOf(page, IDC_BACK), Rect(0, 0, 0, 0)) << "a caption without numbers hides its label";
        EXPECT_FALSE(::GetWindowLongPtrW(Item(page, IDC_BACK), GWL_STYLE) & WS_TABSTOP) << "and its tab stop";
        EXPECT_EQ(Page(page).Ctl<CPTLabel>(IDC_BACK)->GetWindowText(), L"Back without numbers");
    }
    EXPECT_EQ(PlaceOf(4, IDC_CONN_NEXT), Rect(701, 550, 75, 30));
}

TEST_F(PageBase, HeadingsOfTheFirstPageTakeColourAndSizeAtTheirFixedPlaces)
{
    // Each colour part keeps its low eight bits: 300 is 44.
    SetValue(L"IDS_P1_STATIC1", L"15,47,87,20,Welcome, friend");
    SetValue(L"IDS_P1_STATIC2", L"300,64,64,14,Pick one:");
    StartWizard();

    const CPTLabel* first = Page(1).Ctl<CPTLabel>(IDC_CP1_STATIC1);
    const CPTLabel* second = Page(1).Ctl<CPTLabel>(IDC_CP1_STATIC2);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(PlaceOf(1, IDC_CP1_STATIC1), Rect(68, 150, 680, 42));
    EXPECT_EQ(first->GetWindowText(), L"Welcome, friend");
    EXPECT_EQ(first->m_lf.lfHeight, FontHeight(20));
    ExpectAllStates(*first, RGB(15, 47, 87));

    EXPECT_EQ(PlaceOf(1, IDC_CP1_STATIC2), Rect(185, 222, 180, 30));
    EXPECT_EQ(second->GetWindowText(), L"Pick one:");
    EXPECT_EQ(second->m_lf.lfHeight, FontHeight(14));
    ExpectAllStates(*second, RGB(44, 64, 64));
}

TEST_F(PageBase, TabStopsAreTheFieldsAndTheLabelsThatActInReadingOrder)
{
    StartWizard();
    Dlg().RefreshAllTexts();
    // No heading, group heading or text is a stop; the radio group is one.
    const std::vector<std::vector<int>> pages = {
        {1, IDC_DROPLIST, IDC_CP1_NEXT},
        {2, IDC_BACK, IDC_NEXT},
        {4, IDC_RADIO_DHCP, IDC_EDIT_FIELD, IDC_EDIT_PASSWORD, IDC_EDIT_BP_USER, IDC_EDIT_BP_PASSWORD, IDC_CONN_BACK,
         IDC_CONN_NEXT},
        {5},
        {11, IDC_CHECK_ITEM1, IDC_CHECK_ITEM2, IDC_CHECK_ITEM3, IDC_RECHECK},
        {16, IDC_EDIT_NEWPASS, IDC_EDIT_PASSWORD, IDC_NEXT},
        {17, IDC_DROPLIST, IDC_NEXT},
        {20, IDC_PRINT, IDC_ADD},
        {21, IDC_CP10_LINK1, IDC_CP10_LINK2},
        {23, IDC_CP12_LINK_WIN7, IDC_CP12_LINK_VISTA, IDC_CP12_LINK_XP, IDC_CP12_LINK_OSX, IDC_CP12_LINK_IOS,
         IDC_CP12_LINK_ANDROID, IDC_BACK},
    };
    for (const std::vector<int>& expected : pages) {
        HWND page = Page(expected[0]).m_hWnd;
        std::vector<int> stops{expected[0]};
        HWND first = ::GetNextDlgTabItem(page, nullptr, FALSE);
        for (HWND at = first; at && stops.size() < 20;) {
            stops.push_back(::GetDlgCtrlID(at));
            if ((at = ::GetNextDlgTabItem(page, at, FALSE)) == first)
                break;
        }
        EXPECT_EQ(stops, expected);
    }
}

TEST_F(PageBase, TabGoesRoundTheShownPageAndEnterOrSpaceOnALabelIsItsClick)
{
    StartWizard();
    Dlg().RefreshAllTexts();
    Dlg().ShowPage(23);
    ASSERT_EQ(::GetFocus(), Page(23).m_hWnd) << "no label has the focus on a page just shown";
    wintest::PressKey(VK_RETURN);
    for (int id : {IDC_CP12_LINK_WIN7, IDC_CP12_LINK_VISTA, IDC_CP12_LINK_XP, IDC_CP12_LINK_OSX, IDC_CP12_LINK_IOS,
                   IDC_CP12_LINK_ANDROID, IDC_BACK, IDC_CP12_LINK_WIN7}) {
        wintest::PressKey(VK_TAB);
        EXPECT_EQ(::GetFocus(), Item(23, id)) << "never into a hidden page or out to the main window";
    }
    wintest::PressKey(VK_TAB, true);
    wintest::PressKey(VK_SPACE);
    ASSERT_EQ(VisiblePages(), std::vector<int>{21}) << "Back, by Space";
    wintest::PressKey(VK_TAB, true);
    wintest::PressKey(VK_RETURN);
    EXPECT_EQ(VisiblePages(), std::vector<int>{23}) << "the second link, by Enter";

    // Enter in a field does nothing.
    Dlg().ShowPage(4);
    ::SetFocus(Item(4, IDC_EDIT_FIELD));
    wintest::PressKey(VK_RETURN);
    EXPECT_EQ(VisiblePages(), std::vector<int>{4});
}

TEST_F(PageBase, ATextBlockOnTheVisiblePageRendersItsNewTextAtOnce)
{
    StartWizard();
    Dlg().RefreshAllTexts();
    Dlg().ShowPage(3);
    Pump();
    const CXHTMLStatic* body = Page(3).Ctl<CXHTMLStatic>(IDC_CP3_STATIC3);
    ASSERT_NE(body, nullptr);
    ASSERT_FALSE(body->NeedsRedraw()) << "the shown page has painted its text";

    // Without the reset and the immediate repaint, the old picture would stay cached.
    Dlg().RefreshAllTexts();
    EXPECT_FALSE(body->NeedsRedraw());
    // A hidden page renders when it is first shown: nothing is painted while it is hidden.
    EXPECT_TRUE(Page(2).Ctl<CXHTMLStatic>(IDC_CP2_STATIC2)->NeedsRedraw());
}

TEST_F(PageBase, APageTakesTheLatestLanguageWhenFirstReachedAndKeepsTheArtOfStartUp)
{
    StartWizard();
    for (int n = 2; n <= CTarvoDlg::kPageCount; ++n)
        EXPECT_EQ(g_pageTable[static_cast<size_t>(n - 1)]->m_hWnd, nullptr) << "page " << n << " made at start";

    // Two switches before page 2 is first needed: the last one counts.
    g_uiStr.IDS_NEXT = L"701,550,75,30,13,First";
    Dlg().RefreshAllTexts();
    g_uiStr.IDS_NEXT = L"701,550,75,30,13,Second";
    g_uiStr.IDS_PAGE2 = L"missing.jpg";
    Dlg().RefreshAllTexts();
    EXPECT_EQ(Page(2).Ctl<CPTLabel>(IDC_NEXT)->GetWindowText(), L"Second");
    EXPECT_TRUE(Page(2).Background().HasPicture());

    // A made page that is hidden takes the next switch when it is shown.
    g_uiStr.IDS_NEXT = L"701,550,75,30,13,Third";
    Dlg().RefreshAllTexts();
    Dlg().ShowPage(2);
    EXPECT_EQ(::GetWindowTextLengthW(Item(2, IDC_NEXT)), 5);
}

TEST_F(PageBase, EveryPageLoadsTheArtItsKeyNamesAndAMissingPictureLeavesNone)
{
    ::DeleteFileW((m_folder + L"IMG\\page3.jpg").c_str());
    StartWizard();
    for (int n = 1; n <= CTarvoDlg::kPageCount; ++n) {
        SCOPED_TRACE("page " + std::to_string(n));
        EXPECT_EQ(Page(n).Background().HasPicture(), n != 3);
    }
    // The page without art still works.
    Dlg().ShowPage(3);
    Click(3, IDC_NEXT);
    EXPECT_EQ(VisiblePages(), std::vector<int>{4});
}

TEST_F(PageBase, AClickThatArrivesAfterThePageWasLeftDoesNothing)
{
    StartWizard();
    Dlg().ShowPage(2);
    Click(2, IDC_NEXT);
    ASSERT_EQ(VisiblePages(), std::vector<int>{3});
    // The second click of a double click, queued while the page was busy.
    Click(2, IDC_NEXT);
    Click(2, IDC_BACK);
    EXPECT_EQ(VisiblePages(), std::vector<int>{3});
}

TEST_F(PageBase, PressingOnPagesOneAndTwoDragsTheWindowOtherPagesDoNot)
{
    StartWizard();
    for (int page : {1, 2, 3, 4}) {
        const int before = Dlg().dragStarts;
        Dlg().ShowPage(page);
        Page(page).SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 100));
        EXPECT_EQ(Dlg().dragStarts - before, page <= 2 ? 1 : 0) << "page " << page;
    }
}

TEST_F(PageBase, CancelOnAPageEndsTheWizard)
{
    StartWizard();
    Dlg().ShowPage(4);
    Page(4).SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    // Modeless here: the ended main dialog is hidden.
    EXPECT_FALSE(Dlg().IsWindowVisible());
}
