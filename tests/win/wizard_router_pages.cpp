// Page 5's timed run and the result pages 11, 12 and 13, in-process over a
// stand-in router: ticks are sent by the test, one at a time.
#include "PTLabel.h"
#include "pages_fixture.h"

#include <commctrl.h>

using routertest::Answer;

namespace {

constexpr UINT_PTR kApplyTimer = 77;

class ConnectionStage : public pagetest::RouterPagesTest {
protected:
    void SetUp() override
    {
        RouterPagesTest::SetUp();
        if (HasFatalFailure())
            return;
        Session().m_nWanType = 1;
        Dlg().ShowPage(4);
    }

    // Shows page 5 as page 4's Next does. The test delivers the ticks: it
    // pumps no messages meanwhile, so the page's own timer never fires.
    void StartRun() const { Dlg().ShowPage(5); }

    void Ticks(int count = 1) const
    {
        for (int i = 0; i < count; ++i) {
            Page(5).SendMessage(WM_TIMER, kApplyTimer);
            Settle();
        }
    }
    int Bar() const { return static_cast<int>(::SendMessageW(Item(5, IDC_PROGRESS), PBM_GETPOS, 0, 0)); }
    // A trouble page's account of what went wrong.
    std::wstring Trouble(int page) const
    {
        return TextOf(Item(page, page == 11 ? IDC_CP4C_TROUBLE : page == 12 ? IDC_CP4D_TROUBLE : IDC_CP4E_TROUBLE));
    }
    // An English text with its %s filled.
    std::wstring Filled(const wchar_t* key, const std::wstring& value) const
    {
        std::wstring text = EnglishValue(key);
        text.replace(text.find(L"%s"), 2, value);
        return text;
    }
    // Is timer 77 of page 5 running? (Stops it, if so.)
    bool TimerRunning() const { return ::KillTimer(Page(5).m_hWnd, kApplyTimer) != FALSE; }
    // The run has ended: its timer is gone, and a tick that still arrives does nothing.
    void ExpectStopped() const
    {
        EXPECT_FALSE(TimerRunning());
        const size_t calls = link.calls.size();
        const std::vector<int> pages = VisiblePages();
        Ticks(50);
        EXPECT_EQ(link.calls.size(), calls);
        EXPECT_EQ(VisiblePages(), pages);
    }
};

} // namespace

TEST_F(ConnectionStage, RunAppliesRestartsWaitsAndFindsTheInternet)
{
    Ticks(2);
    EXPECT_TRUE(link.calls.empty()) << "ticks before any run do nothing";
    ::SendMessageW(Item(5, IDC_PROGRESS), PBM_SETPOS, 40, 0);
    StartRun();
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(::SendMessageW(Item(5, IDC_PROGRESS), PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_TRUE(link.calls.empty()) << "nothing happens before the first tick";

    Ticks();
    EXPECT_EQ(Bar(), 2);
    EXPECT_EQ(link.Trace(), L"OPEN 192.168.2.1, POST /goform/formWanTcpipSetup");
    Ticks();
    EXPECT_EQ(Bar(), 4);
    EXPECT_EQ(link.calls.size(), 2u) << "the second tick only waits";
    Ticks();
    EXPECT_EQ(Bar(), 6);
    EXPECT_EQ(link.Trace(),
              L"OPEN 192.168.2.1, POST /goform/formWanTcpipSetup, OPEN 192.168.2.1, POST /goform/formReboot");

    for (int tick = 4; tick <= 47; ++tick) {
        Ticks();
        ASSERT_EQ(Bar(), tick * 2);
    }
    EXPECT_EQ(link.calls.size(), 4u) << "45 ticks of waiting between the restart and the check";
    EXPECT_EQ(VisiblePages(), std::vector<int>{5});

    int barAtCheck = -1;
    link.onCheck = [&] { barAtCheck = Bar(); };
    Ticks();
    EXPECT_EQ(barAtCheck, 96);
    EXPECT_EQ(link.calls.back().path, kInternetCheckSite1) << "the first site answered: no second check";
    EXPECT_EQ(VisiblePages(), std::vector<int>{6});
    ExpectStopped();
}

TEST_F(ConnectionStage, InternetCheckTriesTheSecondSiteThenGivesUp)
{
    link.site1Up = false;
    StartRun();
    Ticks(48);
    EXPECT_EQ(VisiblePages(), std::vector<int>{6});
    ASSERT_GE(link.calls.size(), 2u);
    EXPECT_EQ(link.calls[link.calls.size() - 2].path, kInternetCheckSite1);
    EXPECT_EQ(link.calls.back().path, kInternetCheckSite2);

    link.site2Up = false;
    Dlg().ShowPage(4);
    StartRun();
    Ticks(48);
    EXPECT_EQ(VisiblePages(), std::vector<int>{13});
    EXPECT_EQ(link.calls.back().path, kInternetCheckSite2);
    // The page names the connection type; only an account type adds the account advice.
    EXPECT_NE(Trouble(13).find(Filled(L"IDS_TROUBLE_NO_INTERNET", EnglishValue(L"IDS_TROUBLE_TYPE1"))),
              std::wstring::npos);
    EXPECT_EQ(Trouble(13).find(EnglishValue(L"IDS_TROUBLE_ACCOUNT")), std::wstring::npos);
}

TEST_F(ConnectionStage, ShowingAgainWhileVisibleKeepsTheRun)
{
    StartRun();
    Ticks(10);
    Dlg().ShowPage(5);
    EXPECT_EQ(Bar(), 20);
    Ticks();
    EXPECT_EQ(Bar(), 22);
    EXPECT_EQ(link.Calls(L"POST").size(), 2u) << "one settings post and one restart";

    // Nor does the main window's minimising and restoring start it anew.
    Page(5).SendMessage(WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
    Page(5).SendMessage(WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
    Ticks();
    EXPECT_EQ(Bar(), 24);
    EXPECT_EQ(link.Calls(L"POST").size(), 2u);
}

TEST_F(ConnectionStage, RefusedPostAsksForThePasswordAndRunsEverythingAgainWithIt)
{
    const struct {
        const char* what;
        std::deque<Answer> answers;
        int ticks, bar;
    } cases[] = {{"settings post refused", {{0, 401, L""}}, 1, 2},
                 {"restart refused", {{0, 200, L""}, {0, 401, L""}}, 3, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dlg().ShowPage(4);
        link.answers = c.answers;
        StartRun();
        Ticks(c.ticks);
        EXPECT_TRUE(WaitDialogUp());
        const HWND focus = ::GetFocus();
        EXPECT_TRUE(focus == Dlg().WaitDialog()->m_hWnd || ::IsChild(Dlg().WaitDialog()->m_hWnd, focus));
        EXPECT_EQ(VisiblePages(), std::vector<int>{5}) << "page 5 stays behind the dialog";
        EXPECT_EQ(Bar(), c.bar);
        ExpectStopped();

        link.calls.clear();
        AnswerPassword(L"Admin42");
        EXPECT_FALSE(WaitDialogUp());
        EXPECT_EQ(Session().m_strAdminPassword, L"Admin42");
        EXPECT_EQ(VisiblePages(), std::vector<int>{5});
        ASSERT_TRUE(TimerRunning()) << "a new run started";
        EXPECT_EQ(Bar(), 0);
        Ticks();
        EXPECT_EQ(link.Trace(), L"OPEN 192.168.2.1, POST /goform/formWanTcpipSetup") << "from the settings post on";
        EXPECT_EQ(link.calls[0].password, L"Admin42");
    }
}

TEST_F(ConnectionStage, RouterOrAdapterTroubleEndsTheRunOnItsPageWhichSaysWhy)
{
    // An account whose password must never reach the log.
    Session().m_nWanType = 2;
    Session().m_strPppoeUser = L"ann";
    Session().m_strPppoePassword = L"Sesame42";
    const std::vector<AdapterFacts> wired{{kAdapterTypeEthernet, "192.168.2.1", true}};
    const struct {
        const char* what;
        int openResult;
        std::deque<Answer> answers;
        std::vector<AdapterFacts> adapters;
        int ticks, page;
        std::wstring says;
    } cases[] = {
        {"router silent",
         3,
         {},
         wired,
         1,
         11,
         Filled(L"IDS_TROUBLE_NO_ANSWER", L"192.168.2.1") + L" " + EnglishValue(L"IDS_TROUBLE_NOT_REPAIRED")},
        // The restart fails after the settings went through.
        {"restart failed", 0, {{0, 200, L""}, {12029, 0, L""}}, wired, 3, 11,
         Filled(L"IDS_TROUBLE_NO_ANSWER", L"192.168.2.1")},
        {"bad answer", 0, {{12152, 0, L""}}, wired, 1, 11, Filled(L"IDS_TROUBLE_FAILED", L"12152")},
        {"connection reset", 0, {{12030, 0, L""}}, wired, 1, 11, EnglishValue(L"IDS_TROUBLE_RESET")},
        {"answer too large",
         0,
         {{0, 200, std::wstring(0x10000, L'x')}},
         wired,
         1,
         11,
         EnglishValue(L"IDS_TROUBLE_TOO_LARGE")},
        {"no gateway",
         0,
         {},
         {{kAdapterTypeEthernet, "0.0.0.0", true}},
         1,
         11,
         EnglishValue(L"IDS_TROUBLE_NO_GATEWAY")},
        {"no wired adapter", 0, {}, {{71, "192.168.2.1", true}}, 1, 12, EnglishValue(L"IDS_TROUBLE_NO_WIRED")},
        {"fixed address",
         0,
         {},
         {{kAdapterTypeEthernet, "192.168.2.1", false}},
         1,
         12,
         EnglishValue(L"IDS_TROUBLE_FIXED_ADDRESS")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dlg().ShowPage(4);
        link.openResult = c.openResult;
        link.answers = c.answers;
        link.adapters = c.adapters;
        StartRun();
        Ticks(c.ticks);
        EXPECT_EQ(VisiblePages(), std::vector<int>{c.page});
        EXPECT_NE(Trouble(c.page).find(c.says), std::wstring::npos) << wintest::Narrow(Trouble(c.page));
        EXPECT_FALSE(WaitDialogUp());
        ExpectStopped();
    }
    // The log tells the same, step by step, without the account's password.
    const std::string log = wintest::ReadAll(Session().Record().Path());
    for (const char* line : {"page 11 shown", "connect to 192.168.2.1 as admin: 3 (the router does not answer)",
                             "POST /goform/formReboot: error 12029", "POST /goform/formWanTcpipSetup: error 12030",
                             "type 71, gateway \"192.168.2.1\", DHCP on"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(log.find("Sesame42"), std::string::npos);
    EXPECT_EQ(log.find("pppPassword"), std::string::npos) << "no form body";
    // Page 12's ReCheck goes back to page 5 at once.
    Click(12, IDC_RECHECK);
    EXPECT_EQ(VisiblePages(), std::vector<int>{5});
    EXPECT_TRUE(TimerRunning());
}

TEST_F(ConnectionStage, ReCheckOnPages11And13NeedsAllThreeBoxesAndEveryVisitStartsClean)
{
    const auto active = [this](int page) { return Page(page).Ctl<CPTLabel>(IDC_RECHECK)->m_bHandCursor != FALSE; };
    // A click on a box, as the mouse gives it: the box toggles and tells its page.
    const auto tick = [this](int page, int id) { ::SendMessageW(Item(page, id), BM_CLICK, 0, 0); };
    const auto ticked = [this](int page, int id) {
        return ::SendMessageW(Item(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    for (int page : {11, 13}) {
        SCOPED_TRACE(page);
        Dlg().ShowPage(page);
        EXPECT_FALSE(active(page));
        tick(page, IDC_CHECK_ITEM1);
        tick(page, IDC_CHECK_ITEM3);
        Click(page, IDC_RECHECK);
        EXPECT_EQ(VisiblePages(), std::vector<int>{page}) << "two boxes are not enough";
        tick(page, IDC_CHECK_ITEM2);
        EXPECT_TRUE(active(page));
        tick(page, IDC_CHECK_ITEM1);
        EXPECT_FALSE(active(page)) << "clearing one box makes ReCheck inactive again";
        Click(page, IDC_RECHECK);
        EXPECT_EQ(VisiblePages(), std::vector<int>{page});

        tick(page, IDC_CHECK_ITEM1);
        Click(page, IDC_RECHECK);
        EXPECT_EQ(VisiblePages(), std::vector<int>{5});
        EXPECT_TRUE(TimerRunning()) << "the whole sequence runs again (stopped here)";

        Dlg().ShowPage(page);
        for (int id : {IDC_CHECK_ITEM1, IDC_CHECK_ITEM2, IDC_CHECK_ITEM3})
            EXPECT_FALSE(ticked(page, id)) << id;
        EXPECT_FALSE(active(page));
        // Hiding clears too, whichever way the page is left.
        tick(page, IDC_CHECK_ITEM2);
        Dlg().ShowPage(16);
        EXPECT_FALSE(ticked(page, IDC_CHECK_ITEM2));
    }
}

TEST_F(ConnectionStage, EachRunStartsALogOfItsOwnKeepingTheThreeBeforeEachUnderAMegabyte)
{
    const std::wstring first = Session().Record().Path();
    ASSERT_FALSE(first.empty());
    for (int run = 0; run < 4; ++run) {
        m_dlg.reset();
        StartWizard();
    }
    const std::wstring folder = first.substr(0, first.rfind(L'\\') + 1);
    for (const wchar_t* name : {L"Tarvo.log", L"Tarvo.1.log", L"Tarvo.2.log", L"Tarvo.3.log"})
        EXPECT_TRUE(wintest::Exists(folder + name)) << wintest::Narrow(name);
    EXPECT_FALSE(wintest::Exists(folder + L"Tarvo.4.log"));
    const std::string earlier = wintest::ReadAll(folder + L"Tarvo.1.log");
    EXPECT_NE(earlier.find("run started"), std::string::npos);
    EXPECT_NE(earlier.find("run ended"), std::string::npos) << "an earlier run's log is whole";

    const std::wstring line(400, L'x');
    for (int i = 0; i < 4000; ++i)
        Session().Record().Write(line);
    const std::string log = wintest::ReadAll(Session().Record().Path());
    EXPECT_EQ(log.rfind("\xEF\xBB\xBF", 0), 0u) << "UTF-8 with its mark";
    EXPECT_LT(log.size(), 1024u * 1024u);
    EXPECT_NE(log.find("(log full"), std::string::npos);
}
