// The whole wizard in the network lab, from the language page to the
// completion page and through the device joining help: the router settings
// typed on pages 16-19, the restart wait of page 30 (its timer
// fast-forwarded), the status read back from the substitute router, the
// summary on page 20 and in the Desktop file; markup from the router shown as text.
//
// SAFETY: these scenarios reach the router and the Internet check; they run
// only inside the lab's PC namespace (see LabSupport.h).
#include "LabSupport.h"
#include "SummaryText.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <functional>
#include <memory>
#include <string>

namespace {

constexpr UINT_PTR kWaitTimer = 88;
// Position of a zone without offset in the router's list: its clock shows UTC.
constexpr int kGreenwichZone = 22;

std::wstring ScratchDesktopFolder()
{
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"tarvo-lab-desktop-" + std::to_wstring(::GetCurrentProcessId());
}

// A text of the delivered English file.
std::wstring EnglishText(const wchar_t* key)
{
    wchar_t text[1024] = L"";
    ::GetPrivateProfileStringW(L"Strings", key, L"", text, 1024,
                               (scenario::DistFolder() + L"\\LANG\\Lang0409.ini").c_str());
    return text;
}

// Is a program of that file name running (in this Wine server's view)?
bool ProgramRuns(const wchar_t* exe)
{
    gui::Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
        if (::lstrcmpiW(entry.szExeFile, exe) == 0)
            return true;
    return false;
}

std::wstring DesktopFile()
{
    wchar_t desktop[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
    return std::wstring(desktop) + L"\\" + EnglishText(L"IDS_SETTINGS_FILE");
}

std::string SummaryFile(const std::string& password, const std::string& ssid, const std::string& key,
                        const std::string& time, const std::string& address)
{
    const std::wstring join = JoinCodeHtml(std::wstring(ssid.begin(), ssid.end()), std::wstring(key.begin(), key.end()),
                                           EnglishText(L"IDS_P9_SCAN_TO_JOIN"));
    return "Access to router configuration: http://192.168.2.1<br>Administrator user name: admin<br>"
           "Administrator password: " +
           password + "<br><br>Wireless Name (SSID): " + ssid +
           "<br>Wireless Security: WPA2<br>Wireless Password: " + key + "<br><br>System time: " + time +
           "<br>Internet IP Address: " + address + gui::Narrow(join);
}

class LabCompletion : public lab::LabScenario {
protected:
    void SetUp() override
    {
        LabScenario::SetUp();
        if (IsSkipped())
            return;
        m_desktop = std::make_unique<testing_support::ScratchDesktop>(ScratchDesktopFolder());
        ASSERT_EQ(gui::FolderOf(DesktopFile()), ScratchDesktopFolder())
            << "the summary would be written outside the test";
        // A clock that stands still in January, so the summary's time is known.
        router.Set("clock-frozen=off");
        router.Set("clock=2024-01-15T10:20:30");
        router.Set("clock-frozen=on");
    }

    void TearDown() override
    {
        LabScenario::TearDown();
        m_desktop.reset();
        if (router.Available() && !IsSkipped()) {
            // What these scenarios changed, back as the other scenarios expect it.
            try {
                router.Set("wan-address=203.0.113.57");
                router.Set("clock-frozen=off");
                router.Set("clock=2012-03-14T20:54:27");
            } catch (const gui::DriverError&) {
            }
        }
    }

    using LabScenario::Shot;
    void Shot(int page) { Shot(L"page" + std::to_wstring(page)); }

    void At(int page, DWORD limitMs = gui::Wizard::kActionLimitMs)
    {
        gui.ExpectPage(page, limitMs);
        Shot(page);
    }

    // Pages 1 to 19 as a person fills them in; ends on page 30. beforeRestart
    // runs just before page 19's Next, which restarts the router.
    void WalkToTheRestartWait(const std::wstring& password, const std::wstring& ssid, const std::wstring& key,
                              const std::function<void()>& beforeRestart = {},
                              const std::function<void()>& onNamePage = {})
    {
        StartWizard();
        At(1);
        gui.ClickLabel(IDC_CP1_NEXT);
        At(2);
        gui.ClickLabel(IDC_NEXT);
        At(3);
        gui.ClickLabel(IDC_NEXT);
        At(4);
        gui.Tick(IDC_RADIO_DHCP);
        gui.ClickLabel(IDC_CONN_NEXT);
        At(5);

        // Page 5: the settings post, the restart at the third tick, then the
        // time the router takes to come back, then the Internet check.
        for (int guard = 0; guard < 10 && gui.VisiblePage() == 5 && Bar(5) < 6; ++guard)
            Tick(5, lab::kApplyTimer);
        ASSERT_TRUE(router.WaitRunning(30)) << "the router did not come back after page 5";
        for (int guard = 0; guard < 60 && gui.VisiblePage() == 5; ++guard)
            Tick(5, lab::kApplyTimer);
        At(6, 30000);
        gui.ClickLabel(IDC_CONN_NEXT);

        At(16);
        gui.TypeText(IDC_EDIT_NEWPASS, password);
        gui.TypeText(IDC_EDIT_PASSWORD, password);
        gui.ClickLabel(IDC_NEXT);
        At(17, 30000);
        gui.OpenList(IDC_DROPLIST);
        gui.PickListEntry(IDC_DROPLIST, kGreenwichZone);
        gui.ClickLabel(IDC_NEXT);
        At(18, 30000);
        if (onNamePage)
            onNamePage();
        gui.TypeText(IDC_EDIT_FIELD, ssid);
        gui.ClickLabel(IDC_NEXT);
        At(19, 30000);
        gui.TypeText(IDC_EDIT_FIELD, key);
        if (beforeRestart)
            beforeRestart();
        gui.ClickLabel(IDC_NEXT);
        // Page 19 sends two forms (the key, then the restart): a slow router holds each.
        At(30, 60000);
    }

    // Page 30 to its end: the router is given its restart, then ticks until
    // the bar shows 94; the next tick is the 48th.
    void FinishTheWait(bool routerComesBack = true)
    {
        if (routerComesBack) {
            EXPECT_TRUE(router.WaitRunning(30)) << "the router did not come back after page 19";
        }
        int last = -1;
        std::string seen;
        bool pictured = false;
        for (int guard = 0; guard < 60 && gui.VisiblePage() == 30; ++guard) {
            const int bar = Bar(30);
            // A read that waited for the 48th tick to end finds the page hidden
            // and its bar put back to 0: not a value the wait showed.
            if (gui.VisiblePage() != 30)
                break;
            seen += " " + std::to_string(bar);
            if (bar > 96) {
                ADD_FAILURE() << "the bar shows " << bar;
            }
            if (bar >= 0)
                last = bar;
            if (bar == 94)
                break;
            if (bar >= 50 && !pictured) {
                Shot(L"page30-waiting");
                pictured = true;
            }
            Tick(30, kWaitTimer);
        }
        // The page's own timer runs too and may have taken the 48th tick itself.
        if (gui.VisiblePage() == 30)
            Tick(30, kWaitTimer);
        At(20, 60000);
        EXPECT_TRUE(last == 94 || last == 92)
            << "page 30 gave way after " << last << " instead of 94; bars seen:" << seen;
    }

    std::string DesktopBytes()
    {
        std::string bytes;
        EXPECT_TRUE(lab::ReadWhole(DesktopFile(), bytes)) << "no summary on the Desktop";
        return bytes;
    }

    // Clicks a text block all over; text from the router must never become a link.
    void ClickAllOverAndExpectNothingStarted(int id)
    {
        RECT rc{};
        ::GetClientRect(gui.Control(id), &rc);
        int clicked = 0;
        for (int y = 4; y < rc.bottom; y += 8)
            for (int x = 4; x < rc.right; x += 24)
                clicked += gui.ClickPoint(id, {x, y}) ? 1 : 0;
        EXPECT_GT(clicked, 0) << "text " << id << " is covered everywhere";
        // A program the shell starts takes a moment to show up.
        ::Sleep(2000);
        EXPECT_TRUE(gui::ChildrenOf(gui.ProcessId()).empty()) << "a click on text " << id << " started a program";
        EXPECT_FALSE(ProgramRuns(L"notepad.exe")) << "a click on text " << id << " started notepad";
    }

    std::unique_ptr<testing_support::ScratchDesktop> m_desktop;
};

} // namespace

TEST_F(LabCompletion, WholeWizardThenTheDeviceHelp)
{
    // The Internet address as the router pads it inside the quotes.
    router.Set("wan-address=  203.0.113.57  ");
    WalkToTheRestartWait(L"Admin2024", L"HomeNet", L"Secret12345");
    const int since = router.NextSeq() - 1;
    Shot(30);
    FinishTheWait();

    // The status read: the router's two status pages with the new password.
    EXPECT_EQ(router.Journal(since, "[.[] | .method + \" \" + .target + \" \" + (.status | tostring)] | join(\", \")"),
              "GET /stamenu.asp 200, GET /stanet.asp 200");
    EXPECT_EQ(router.Journal(since, "[.[] | .headers[] | select(.[0] == \"Authorization\") | .[1]] | unique | "
                                    "join(\",\")"),
              "Basic YWRtaW46QWRtaW4yMDI0"); // admin:Admin2024

    // Page 20 as it reads: what the user set, the router's January clock as month 1, its address without blanks.
    EXPECT_EQ(gui.Text(IDC_CP9_STATIC6),
              L"admin\n\nAdmin2024\n\nHomeNet\n\nSecret12345\n\n2024/1/15 10:20:30\n\n203.0.113.57");
    EXPECT_EQ(DesktopBytes(), SummaryFile("Admin2024", "HomeNet", "Secret12345", "2024/1/15 10:20:30", "203.0.113.57"));
    EXPECT_EQ(router.State(".running.ssid"), "HomeNet");
    // A phone scanning the page's code joins the network just set.
    EXPECT_EQ(router.DecodeQr(L"lab-" + scenario::CurrentName() + L"-page20"), "WIFI:T:WPA;S:HomeNet;P:Secret12345;;");

    // Print hands the file to the shell; with no print handler here the page simply stays.
    EXPECT_EQ(gui.ClickLabel(IDC_PRINT), gui::Outcome::Returned);
    gui.Settle();
    EXPECT_FALSE(gui.FindMessageBox().has_value());
    EXPECT_EQ(gui.VisiblePage(), 20);

    gui.ClickLabel(IDC_ADD);
    At(21);
    gui.ClickLabel(IDC_CP10_LINK1);
    At(22);
    gui.ClickLabel(IDC_BACK);
    At(21);
    gui.ClickLabel(IDC_CP10_LINK2);
    At(23);
    const struct {
        int link, page, text;
    } devices[] = {{IDC_CP12_LINK_WIN7, 24, IDC_CP13A_STATIC2}, {IDC_CP12_LINK_VISTA, 25, IDC_CP13B_STATIC2},
                   {IDC_CP12_LINK_XP, 26, IDC_CP13C_STATIC2},   {IDC_CP12_LINK_OSX, 27, IDC_CP13D_STATIC2},
                   {IDC_CP12_LINK_IOS, 28, IDC_CP14_STATIC2},   {IDC_CP12_LINK_ANDROID, 29, IDC_CP15_STATIC2}};
    for (const auto& device : devices) {
        SCOPED_TRACE(device.page);
        // The group headings do not react.
        gui.ClickLabel(IDC_CP12_HEAD_PC);
        gui.ClickLabel(IDC_CP12_HEAD_TABLET);
        gui.ExpectPage(23);
        gui.ClickLabel(device.link);
        At(device.page);
        const std::wstring text = gui.Text(device.text);
        EXPECT_NE(text.find(L"HomeNet"), std::wstring::npos) << gui::Narrow(text);
        EXPECT_NE(text.find(L"Secret12345"), std::wstring::npos) << gui::Narrow(text);
        EXPECT_EQ(text.find(L'<'), std::wstring::npos) << "read without tags: " << gui::Narrow(text);
        gui.ClickLabel(IDC_BACK);
        gui.ExpectPage(23);
    }
    gui.ClickLabel(IDC_BACK);
    gui.ExpectPage(21);
}

TEST_F(LabCompletion, PagesWithoutMarkersKeepTheValuesAndASecondRunReplacesTheFile)
{
    // A file of an earlier run, longer than this one's: nothing of it may remain.
    lab::WriteWhole(DesktopFile(), std::string(5000, '#'));
    router.Set("fault-no-markers=/stamenu.asp,/stanet.asp");
    WalkToTheRestartWait(L"Second2", L"OtherNet", L"OtherKey99");
    const int since = router.NextSeq() - 1;
    FinishTheWait();
    EXPECT_EQ(router.Journal(since, "[.[] | .target + \" \" + (.status | tostring)] | join(\", \")"),
              "/stamenu.asp 200, /stanet.asp 200");
    // Neither fact was ever read, so both places stay empty.
    EXPECT_EQ(gui.Text(IDC_CP9_STATIC6), L"admin\n\nSecond2\n\nOtherNet\n\nOtherKey99\n\n\n\n");
    EXPECT_EQ(DesktopBytes(), SummaryFile("Second2", "OtherNet", "OtherKey99", "", ""));
}

TEST_F(LabCompletion, RouterGoneAtTheStatusReadStillEndsOnPageTwenty)
{
    // The restart after page 19 never ends: the router's port refuses every connection.
    WalkToTheRestartWait(L"Third3", L"ThirdNet", L"ThirdKey99", [this] { router.Set("fault-no-return=on"); });
    const int since = router.NextSeq() - 1;
    FinishTheWait(false);
    EXPECT_EQ(router.Journal(since, "length"), "0");
    EXPECT_EQ(gui.Text(IDC_CP9_STATIC6), L"admin\n\nThird3\n\nThirdNet\n\nThirdKey99\n\n\n\n");
    EXPECT_EQ(DesktopBytes(), SummaryFile("Third3", "ThirdNet", "ThirdKey99", "", ""));
    EXPECT_NE(router.State(".phase"), "running");
}

TEST_F(LabCompletion, RouterTextWithMarkupShowsAsItIsAndStartsNothing)
{
    // Tags, an entity and a link left open, so that it would cover the rest of the text.
    const std::string name = "<A HREF=notepad><B>x</B>&amp;";
    const std::string address = "<A HREF=notepad><B>203.0.113.57&amp;";
    router.Set("ssid=" + name);
    router.Set("wan-address=" + address);
    // Escaped on the way into the text blocks and the file, they read as the router gave them.
    const std::wstring readName(name.begin(), name.end());
    const std::wstring readAddress(address.begin(), address.end());
    const std::string escapedAddress = "&lt;A HREF=notepad&gt;&lt;B&gt;203.0.113.57&amp;amp;";

    WalkToTheRestartWait(L"Admin2024", L"HomeNet", L"Secret12345", {}, [&] {
        EXPECT_EQ(gui::Narrow(gui.Text(IDC_CP7_SSID)), name);
        const std::wstring sentence = gui.Text(IDC_CP7_STATIC3);
        EXPECT_NE(sentence.find(L" " + readName + L"."), std::wstring::npos) << gui::Narrow(sentence);
        Shot(L"page18-markup");
        ClickAllOverAndExpectNothingStarted(IDC_CP7_STATIC3);
    });
    FinishTheWait();

    EXPECT_EQ(gui.Text(IDC_CP9_STATIC6),
              L"admin\n\nAdmin2024\n\nHomeNet\n\nSecret12345\n\n2024/1/15 10:20:30\n\n" + readAddress);
    EXPECT_EQ(DesktopBytes(), SummaryFile("Admin2024", "HomeNet", "Secret12345", "2024/1/15 10:20:30", escapedAddress));
    Shot(L"page20-markup");
    ClickAllOverAndExpectNothingStarted(IDC_CP9_STATIC6);
    EXPECT_EQ(gui.VisiblePage(), 20);
}

// Closing the window while the router holds the status read ends the program at once, and no summary is written.
TEST_F(LabCompletion, ClosingWhileTheRouterHoldsTheStatusReadEndsAtOnceAndWritesNothing)
{
    ::DeleteFileW(DesktopFile().c_str()); // an earlier scenario's summary
    WalkToTheRestartWait(L"Fourth4", L"FourthNet", L"FourthKey99");
    ASSERT_TRUE(router.WaitRunning(30)) << "the router did not come back after page 19";
    router.Set("slow-ms=20000");
    router.Set("fault-slow=on");
    for (int guard = 0; guard < 60 && gui.VisiblePage() == 30 && Bar(30) < 94; ++guard)
        Tick(30, kWaitTimer);
    gui.TimerTicks(kWaitTimer, 1); // the 48th: the read starts and the router holds it (no waiting for it here)
    gui.Settle();
    ASSERT_EQ(gui.VisiblePage(), 30);
    Shot(L"page30-reading");

    const DWORD start = ::GetTickCount();
    gui.Close();
    EXPECT_EQ(gui.WaitForExit(10000), 0u);
    EXPECT_LT(::GetTickCount() - start, 3000u) << "the program waited for the router";
    EXPECT_EQ(::GetFileAttributesW(DesktopFile().c_str()), INVALID_FILE_ATTRIBUTES) << "a summary was written";
}
