// The main window in-process: pages, page switching, keys and closing.
#include "PageBase.h"
#include "TarvoDlg.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Records what the pages looked like at the end of the window's initialisation.
class ObservedTarvoDlg : public CTarvoDlg {
public:
    int visibleAfterInit = -1;
    int madeAfterInit = -1;
    bool waitMadeAfterInit = true;
    bool mainVisibleAfterInit = true;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CTarvoDlg::OnInitDialog();
        madeAfterInit = 0;
        for (int n = 0; n < kPageCount; ++n)
            madeAfterInit += g_pageTable[static_cast<size_t>(n)]->m_hWnd ? 1 : 0;
        waitMadeAfterInit = g_pageTable[kPageCount]->m_hWnd != nullptr;
        visibleAfterInit = 0;
        for (int n = 1; n <= kPageCount; ++n)
            visibleAfterInit += Page(n)->IsWindowVisible() ? 1 : 0;
        visibleAfterInit += WaitDialog()->IsWindowVisible() ? 1 : 0;
        mainVisibleAfterInit = IsWindowVisible() != FALSE;
        return result;
    }
};

std::vector<int> VisiblePages(const CTarvoDlg& dlg)
{
    std::vector<int> visible;
    for (int n = 1; n <= CTarvoDlg::kPageCount; ++n) {
        if (dlg.Page(n)->IsWindowVisible())
            visible.push_back(n);
    }
    return visible;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dlg.Create()); }
    ObservedTarvoDlg m_dlg;
};

} // namespace

TEST_F(MainWindow, CreatesThirtyHiddenPagesAndTheWaitDialog)
{
    EXPECT_EQ(m_dlg.visibleAfterInit, 0);
    EXPECT_EQ(m_dlg.madeAfterInit, 1) << "only page 1's window is made at start; Page() makes the others";
    EXPECT_FALSE(m_dlg.waitMadeAfterInit);
    EXPECT_FALSE(m_dlg.mainVisibleAfterInit);
    const RECT outer = m_dlg.GetWindowRect();
    for (int n = 1; n <= CTarvoDlg::kPageCount; ++n) {
        CWizardPage* page = m_dlg.Page(n);
        ASSERT_NE(page, nullptr);
        ASSERT_NE(page->m_hWnd, nullptr) << "page " << n;
        EXPECT_EQ(page->PageNumber(), n);
        EXPECT_EQ(::GetDlgCtrlID(page->m_hWnd), n);
        EXPECT_EQ(::GetParent(page->m_hWnd), m_dlg.m_hWnd);
        EXPECT_EQ(g_pageTable[static_cast<size_t>(n - 1)], page);
        const RECT rc = page->GetWindowRect();
        EXPECT_EQ(rc.right - rc.left, outer.right - outer.left);
        EXPECT_EQ(rc.bottom - rc.top, outer.bottom - outer.top);
    }
    CWaitDlg* wait = m_dlg.WaitDialog();
    ASSERT_NE(wait->m_hWnd, nullptr);
    EXPECT_EQ(g_pageTable[CTarvoDlg::kPageCount], wait);
    EXPECT_FALSE(wait->IsWindowVisible());
    EXPECT_EQ(::GetWindow(wait->m_hWnd, GW_OWNER), m_dlg.m_hWnd);
    const RECT w = wait->GetWindowRect();
    EXPECT_EQ(w.right - w.left, 350);
    EXPECT_EQ(w.bottom - w.top, 220);
}

TEST_F(MainWindow, WindowSizedForAn800By600ClientAreaAtTheTopLeft)
{
    const RECT rc = m_dlg.GetWindowRect();
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right - rc.left, 800 + 2 * ::GetSystemMetrics(SM_CYDLGFRAME));
    EXPECT_EQ(rc.bottom - rc.top, 600 + ::GetSystemMetrics(SM_CYCAPTION));
}

TEST_F(MainWindow, ShowingTheWindowShowsPageOneAloneWithTheFocus)
{
    // The template is visible: creation ends by showing it.
    EXPECT_TRUE(m_dlg.IsWindowVisible());
    EXPECT_EQ(VisiblePages(m_dlg), std::vector<int>{1});
    EXPECT_TRUE(::IsChild(m_dlg.Page(1)->m_hWnd, ::GetFocus()) || ::GetFocus() == m_dlg.Page(1)->m_hWnd);
}

TEST_F(MainWindow, SettingsStartWithTheirDefaults)
{
    EXPECT_EQ(m_dlg.Session().m_nWanType, 0);
    EXPECT_EQ(m_dlg.Session().m_strRouterIP, L"192.168.2.1");
    EXPECT_EQ(m_dlg.Session().m_strAdminPassword, L"6093");
    EXPECT_EQ(m_dlg.Session().m_strSSID, L"");
    EXPECT_EQ(m_dlg.Session().m_strWirelessKey, L"");
    EXPECT_EQ(m_dlg.Session().m_strSettingsFile, L"");
}

TEST_F(MainWindow, ShowPageShowsExactlyOnePageAndOutOfRangeHidesAll)
{
    for (int n : {30, 5, 20, 1}) {
        m_dlg.ShowPage(n);
        EXPECT_EQ(VisiblePages(m_dlg), std::vector<int>{n});
    }
    m_dlg.WaitDialog()->ShowWindow(SW_SHOW);
    for (int n : {0, 31, -1}) {
        m_dlg.ShowPage(n);
        EXPECT_TRUE(VisiblePages(m_dlg).empty()) << n;
    }
    // The wait dialog is never touched by ShowPage.
    EXPECT_TRUE(m_dlg.WaitDialog()->IsWindowVisible());
}

TEST_F(MainWindow, RefreshAllTextsKeepsVisibilityAndSetsTheWaitMessage)
{
    m_dlg.ShowPage(7);
    g_uiStr.errorMsg[8] = L"Please type the router password again.";
    m_dlg.RefreshAllTexts();
    EXPECT_EQ(VisiblePages(m_dlg), std::vector<int>{7});
    EXPECT_EQ(::GetWindowTextLengthW(m_dlg.WaitDialog()->GetDlgItem(1032)),
              static_cast<int>(g_uiStr.errorMsg[8].size()));
}

TEST(MainWindowAlone, AWaitDialogFirstMadeAfterALanguageSwitchShowsThatLanguagesMessage)
{
    CTarvoDlg dlg;
    ASSERT_TRUE(dlg.Create());
    g_uiStr.errorMsg[8] = L"Type it again";
    dlg.RefreshAllTexts();
    ASSERT_EQ(g_pageTable[CTarvoDlg::kPageCount]->m_hWnd, nullptr);
    wchar_t text[32] = L"";
    ::GetWindowTextW(dlg.WaitDialog()->GetDlgItem(1032), text, 32);
    EXPECT_STREQ(text, L"Type it again");
}

TEST_F(MainWindow, PasswordFromTheWaitDialogRestartsTheCheckPage)
{
    CWaitDlg* wait = m_dlg.WaitDialog();
    wait->ShowWindow(SW_SHOW);
    ::SetWindowTextW(wait->GetDlgItem(1133), L"newpass");
    wait->SendMessage(WM_COMMAND, MAKEWPARAM(1132, BN_CLICKED), reinterpret_cast<LPARAM>(wait->GetDlgItem(1132)));
    EXPECT_EQ(m_dlg.Session().m_strAdminPassword, L"newpass");
    EXPECT_FALSE(wait->IsWindowVisible());
    EXPECT_EQ(VisiblePages(m_dlg), std::vector<int>{5});
    // Hiding emptied the field.
    EXPECT_EQ(::GetWindowTextLengthW(wait->GetDlgItem(1133)), 0);
}

TEST_F(MainWindow, EnterEscapeAndF1ChangeNothing)
{
    m_dlg.ShowPage(3);
    HWND page = m_dlg.Page(3)->m_hWnd;
    for (HWND target : {page, m_dlg.m_hWnd}) {
        for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_F1}) {
            ::PostMessageW(target, WM_KEYDOWN, key, 0);
            wintest::PumpUntil([] { return false; }, 50);
            EXPECT_TRUE(m_dlg.IsWindowVisible());
            EXPECT_EQ(VisiblePages(m_dlg), std::vector<int>{3});
        }
    }
}

// The modal run as the program does it: keys change nothing, closing ends it.
TEST(MainWindowModal, CloseBoxEndsTheWizardFromAnyPage)
{
    CTarvoDlg dlg;
    std::atomic<bool> sawPageOne{false}, survivedKeys{false};
    std::thread driver([&] {
        HWND main = nullptr;
        for (int i = 0; i < 500 && !main; ++i) {
            ::Sleep(10);
            main = dlg.m_hWnd && ::IsWindowVisible(dlg.m_hWnd) ? dlg.m_hWnd : nullptr;
        }
        if (!main)
            return;
        sawPageOne = ::IsWindowVisible(::GetDlgItem(main, 1)) != FALSE;
        ::PostMessageW(::GetDlgItem(main, 1), WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageW(main, WM_KEYDOWN, VK_RETURN, 0);
        ::Sleep(200);
        survivedKeys = ::IsWindowVisible(main) != FALSE;
        ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    const INT_PTR result = dlg.DoModal();
    driver.join();
    EXPECT_TRUE(sawPageOne);
    EXPECT_TRUE(survivedKeys);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}
