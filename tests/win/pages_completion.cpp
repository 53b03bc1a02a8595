// The end of the wizard: the restart wait with its status read (page 30) and
// the summary on page 20, the device joining pages and the Desktop. The
// router is a stand-in: nothing here leaves the PC.
#include "TestDesktop.h"
#include "pages_fixture.h"

#include "Gdi.h"
#include "QrCode.h"
#include "Summary.h"
#include "SummaryText.h"

#include <shlobj.h>

#include <cstdlib>
#include <cwchar>

using routertest::Answer;

namespace {

constexpr UINT_PTR kWaitTimer = 88;

const std::wstring kMenuPage = L"<script>var t = new Date(2012,0,14,20,54,27);</script>";
const std::wstring kNetPage = L"<input type=\"text\" name=\"ip\" value=\" 203.0.113.57  \">";

std::wstring DesktopFolder()
{
    wchar_t desktop[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
    return desktop;
}

class CompletionPages : public pagetest::RouterPagesTest {
protected:
    void SetUp() override
    {
        RouterPagesTest::SetUp();
        if (HasFatalFailure())
            return;
        const std::wstring desktop = m_folder + L"Desktop";
        m_desktop = std::make_unique<testing_support::ScratchDesktop>(desktop);
        ASSERT_EQ(DesktopFolder(), desktop) << "the summary would be written outside the test";
    }
    void TearDown() override
    {
        RouterPagesTest::TearDown();
        m_desktop.reset();
    }

    void SetValues(const std::wstring& password, const std::wstring& ssid, const std::wstring& key,
                   const std::wstring& time, const std::wstring& address)
    {
        Session().m_strAdminPassword = password;
        Session().m_strSSID = ssid;
        Session().m_strWirelessKey = key;
        Session().m_strSystemTime = time;
        Session().m_strInternetIP = address;
    }

    std::wstring SettingsFile() const { return DesktopFolder() + L"\\" + EnglishValue(L"IDS_SETTINGS_FILE"); }
    // The file's text as it should be for the values now set.
    std::wstring ExpectedFile() const
    {
        return L"Access to router configuration: http://" + EnglishValue(L"IDS_WEB_URI") +
               L"<br>Administrator user name: admin<br>Administrator password: " + Session().m_strAdminPassword +
               L"<br><br>Wireless Name (SSID): " + Session().m_strSSID + L"<br>Wireless Security: WPA2<br>" +
               L"Wireless Password: " + Session().m_strWirelessKey + L"<br><br>System time: " +
               Session().m_strSystemTime + L"<br>Internet IP Address: " + Session().m_strInternetIP +
               JoinCodeHtml(Session().m_strSSID, Session().m_strWirelessKey, EnglishValue(L"IDS_P9_SCAN_TO_JOIN"));
    }

    int BarPosition() const { return static_cast<int>(::SendMessageW(Item(30, IDC_PROGRESS), PBM_GETPOS, 0, 0)); }
    void Tick(int count = 1) const
    {
        for (int i = 0; i < count; ++i) {
            Page(30).SendMessage(WM_TIMER, kWaitTimer, 0);
            Settle();
        }
    }
    void MakeSummary() const
    {
        Session().MakeSummary(g_uiStr.IDS_SETTINGS_FILE, g_uiStr.IDS_WEB_URI, g_uiStr.IDS_P9_SCAN_TO_JOIN);
    }
    // A text block of a page as the page shows it when it is next shown.
    std::wstring Shown(int page, int id) const
    {
        Dlg().ShowPage(kPageConnectionType);
        Dlg().ShowPage(page);
        return MarkupOf(page, id);
    }

    std::unique_ptr<testing_support::ScratchDesktop> m_desktop;
};

std::string Ascii(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

} // namespace

// --- the summary -----------------------------------------------------------

TEST_F(CompletionPages, ValuesGoIntoPageTwentyTheDevicePagesAndTheFileAsTheyAre)
{
    // Percent signs are values, never formats; empty values leave empty places.
    const struct {
        const wchar_t *password, *ssid, *key, *time, *address, *column, *read;
    } cases[] = {
        {L"%s%s", L"100%", L"%d%n%x", L"%%", L"%", L"admin<BR><BR>%s%s<BR><BR>100%<BR><BR>%d%n%x<BR><BR>%%<BR><BR>%",
         L"admin\n\n%s%s\n\n100%\n\n%d%n%x\n\n%%\n\n%"},
        {L"", L"", L"", L"", L"", L"admin<BR><BR><BR><BR><BR><BR><BR><BR><BR><BR>", L"admin\n\n\n\n\n\n\n\n\n\n"},
    };
    EXPECT_EQ(Shown(20, IDC_CP9_STATIC6), EnglishValue(L"IDS_P9_STATIC6")) << "the format until the summary";
    for (const auto& c : cases) {
        SCOPED_TRACE(Ascii(c.column));
        SetValues(c.password, c.ssid, c.key, c.time, c.address);
        MakeSummary();
        EXPECT_EQ(Session().m_strSettingsFile, SettingsFile());
        EXPECT_EQ(wintest::ReadAll(SettingsFile()), Ascii(ExpectedFile()));
        EXPECT_EQ(Shown(20, IDC_CP9_STATIC6), c.column);
        EXPECT_EQ(TextOf(Item(20, IDC_CP9_STATIC6)), c.read) << "what a screen reader reads";
        const struct {
            int page, id;
            const wchar_t* key;
        } joining[] = {{24, IDC_CP13A_STATIC2, L"IDS_P13A_STATIC2"}, {25, IDC_CP13B_STATIC2, L"IDS_P13B_STATIC2"},
                       {26, IDC_CP13C_STATIC2, L"IDS_P13C_STATIC2"}, {27, IDC_CP13D_STATIC2, L"IDS_P13D_STATIC2"},
                       {28, IDC_CP14_STATIC2, L"IDS_P14_STATIC2"},   {29, IDC_CP15_STATIC2, L"IDS_P15_STATIC2"}};
        for (const auto& target : joining) {
            SCOPED_TRACE(target.page);
            std::wstring expected = EnglishValue(target.key);
            const size_t first = expected.find(L"%s");
            ASSERT_NE(first, std::wstring::npos);
            expected.replace(first, 2, c.ssid);
            const size_t second = expected.find(L"%s", first + std::wcslen(c.ssid));
            ASSERT_NE(second, std::wstring::npos);
            expected.replace(second, 2, c.key);
            EXPECT_EQ(Shown(target.page, target.id), expected);
        }
    }
}

TEST_F(CompletionPages, CharactersTheCodePageLacksAreKeptInUtf8)
{
    // A wireless name from the router in a script the 8-bit code page has no place for.
    const std::wstring ssid = L"\u65E5\u672C\u306E\u5BB6";
    SetValues(L"Admin2024", ssid, L"Secret12345", L"2012/1/14 20:54:27", L"203.0.113.57");
    MakeSummary();

    const std::string bytes = wintest::ReadAll(SettingsFile());
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data() + 3,
                                             static_cast<int>(bytes.size() - 3), nullptr, 0);
    std::wstring decoded(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size() - 3), decoded.data(), length);
    EXPECT_EQ(decoded, ExpectedFile());
    EXPECT_NE(Shown(25, IDC_CP13B_STATIC2).find(L"<B>" + ssid + L"</B>"), std::wstring::npos);
}

// The code that joins a phone: whole pixels a module, as large as the step
// panel's empty part allows, centred there, touching no other control.
TEST_F(CompletionPages, JoinCodeOnceTheSummaryIsMadeInThePanelClearOfEveryText)
{
    const struct {
        std::wstring ssid, key;
        int scale; // 0: no code
    } cases[] = {{L"HomeNet", L"Secret12345", 4},
                 {std::wstring(32, L'N'), std::wstring(63, L'k'), 3},       // version 7, the pages' longest
                 {std::wstring(32, L'\u4E2D'), std::wstring(63, L';'), 0}}; // too long for any version
    Dlg().ShowPage(20);
    EXPECT_FALSE(::IsWindowVisible(Item(20, IDC_CP9_CODE))) << "a code before the summary";
    for (const auto& c : cases) {
        SetValues(L"Admin2024", c.ssid, c.key, L"t", L"a");
        MakeSummary();
        Shown(20, IDC_CP9_CODE);
        ASSERT_EQ(::IsWindowVisible(Item(20, IDC_CP9_CODE)) != FALSE, c.scale > 0) << c.scale;
        EXPECT_EQ(::IsWindowVisible(Item(20, IDC_CP9_SCAN)) != FALSE, c.scale > 0) << "the caption goes with the code";
        if (c.scale == 0)
            continue;
        const QrMatrix code = *EncodeQr(WifiJoinText(c.ssid, c.key));
        const int side = (code.size + 2 * kQrQuietZone) * c.scale;
        const RECT rc = PlaceOf(20, IDC_CP9_CODE), caption = PlaceOf(20, IDC_CP9_SCAN);
        EXPECT_TRUE(rc.right - rc.left == side && rc.bottom - rc.top == side && rc.top >= 285 &&
                    std::abs(rc.left + rc.right - 270) <= 1);
        EXPECT_TRUE(caption.top >= rc.bottom && caption.bottom <= 520) << caption.top << ".." << caption.bottom;
        fw::CMemoryDC dc(::CreateCompatibleDC(nullptr));
        fw::CBitmap bitmap(::CreateBitmap(side, side, 1, 32, nullptr));
        fw::CSelectObject selected(dc.get(), bitmap.get());
        ::SendMessageW(Item(20, IDC_CP9_CODE), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        int wrong = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                wrong += ::GetPixel(dc.get(), x, y) != (code.At(x / c.scale - kQrQuietZone, y / c.scale - kQrQuietZone)
                                                            ? RGB(0, 0, 0)
                                                            : RGB(255, 255, 255));
        EXPECT_EQ(wrong, 0) << "pixels other than the modules' black and white";
        for (HWND other = ::GetWindow(Page(20).m_hWnd, GW_CHILD); other; other = ::GetWindow(other, GW_HWNDNEXT)) {
            const RECT place = PlaceOf(20, ::GetDlgCtrlID(other));
            RECT overlap{};
            if (other != Item(20, IDC_CP9_CODE) && ::IsWindowVisible(other)) {
                EXPECT_FALSE(::IntersectRect(&overlap, &place, &rc)) << ::GetDlgCtrlID(other) << " overlaps the code";
            }
        }
        EXPECT_EQ(wintest::ReadAll(SettingsFile()), Ascii(ExpectedFile()));
    }
}

TEST(SettingsFileBytes, TextTheCodePageHoldsIsWrittenInItWithoutMark)
{
    if (::GetACP() != 1252)
        GTEST_SKIP() << "the bytes below are those of code page 1252";
    EXPECT_EQ(SettingsFileBytes(L"Caf\u00E9 \u20AC"), "Caf\xE9 \x80");
    // One character outside the code page switches the whole file to UTF-8.
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(SettingsFileBytes(L"Caf\u00E9 \u0141"), bom + "Caf\xC3\xA9 \xC5\x81");
    // No best fit: a character that only resembles one of the code page is not replaced by it.
    EXPECT_EQ(SettingsFileBytes(L"\u0100"), bom + "\xC4\x80");
}

// An unwritable summary (read-only and open: Wine as root writes over read-only) is told; Print skips the old one.
TEST_F(CompletionPages, AFileThatCannotBeWrittenIsToldAndNotPrinted)
{
    wintest::WriteBytes(SettingsFile(), "earlier run");
    ASSERT_TRUE(::SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_READONLY));
    fw::CHandle browser(
        ::CreateFileW(SettingsFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    SetValues(L"Admin2024", L"HomeNet", L"Secret12345", L"t", L"a");
    Dlg().ShowPage(30);
    pagetest::BoxAnswerer answerer(::GetCurrentThreadId(), OwnDialogs());
    Tick(48);
    const pagetest::BoxSeen box = answerer.Result();
    EXPECT_EQ(VisiblePages(), std::vector<int>{20});
    std::wstring expected = EnglishValue(L"IDS_SETTINGS_NOT_SAVED");
    expected.replace(expected.find(L"%s"), 2, EnglishValue(L"IDS_SETTINGS_FILE"));
    EXPECT_EQ(box.text, expected);
    EXPECT_NE(TextOf(Item(20, IDC_CP9_STATIC6)).find(L"HomeNet"), std::wstring::npos) << "the page shows it all";

    EXPECT_TRUE(Session().m_strSettingsFile.empty()) << "Print would print the earlier file";
    EXPECT_FALSE(ClickAnsweringBox(20, IDC_PRINT).shown);
    EXPECT_EQ(wintest::ReadAll(SettingsFile()), "earlier run");
    ::SetFileAttributesW(SettingsFile().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CompletionPages, PrintBeforeAnySummaryWasSavedDoesNothing)
{
    Dlg().ShowPage(20);
    Session().m_strSettingsFile.clear();
    EXPECT_FALSE(ClickAnsweringBox(20, IDC_PRINT).shown);
    EXPECT_EQ(VisiblePages(), std::vector<int>{20});
}

// --- page 30: the restart wait and the status read -------------------------

TEST_F(CompletionPages, PageTwentyFollowsTheFortyEighthTickWithTheBarNeverAboveNinetySix)
{
    link.byPath = {{L"/stamenu.asp", {0, 200, kMenuPage}}, {L"/stanet.asp", {0, 200, kNetPage}}};
    Session().m_strRouterIP = L"127.0.0.1"; // loopback, should anything slip past the stand-in
    Session().m_strAdminPassword = L"Admin2024";
    Dlg().ShowPage(30);
    EXPECT_EQ(BarPosition(), 0);

    int highest = 0;
    for (int tick = 1; tick <= 47; ++tick) {
        Tick();
        ASSERT_EQ(VisiblePages(), std::vector<int>{30}) << "tick " << tick;
        EXPECT_EQ(BarPosition(), 2 * tick);
        highest = std::max(highest, BarPosition());
    }
    EXPECT_EQ(highest, 94);
    EXPECT_TRUE(link.calls.empty()) << "no request before the 48th tick";

    Tick();
    EXPECT_EQ(VisiblePages(), std::vector<int>{20});
    EXPECT_EQ(BarPosition(), 0) << "hiding the page puts the bar back";
    EXPECT_EQ(link.Trace(), L"OPEN 127.0.0.1, GET /stamenu.asp, GET /stanet.asp");
    EXPECT_EQ(link.calls[0].password, L"Admin2024");
    EXPECT_EQ(Session().m_strSystemTime, L"2012/1/14 20:54:27");
    EXPECT_EQ(Session().m_strInternetIP, L"203.0.113.57");
    EXPECT_NE(MarkupOf(20, IDC_CP9_STATIC6).find(L"2012/1/14 20:54:27<BR><BR>203.0.113.57"), std::wstring::npos);
    EXPECT_TRUE(wintest::Exists(SettingsFile()));

    // Ticks that arrive after the wait (a late or posted one) change nothing.
    Tick(5);
    EXPECT_EQ(VisiblePages(), std::vector<int>{20});
    EXPECT_EQ(link.calls.size(), 3u);
}

TEST_F(CompletionPages, TheWaitRunsOnItsOwnTimerRestartsWhenShownAgainAndStopsWhenHidden)
{
    Dlg().ShowPage(30);
    // One tick every 1.2 s: none after 0.9 s, one by 1.9 s.
    Pump(900);
    EXPECT_EQ(BarPosition(), 0);
    EXPECT_TRUE(wintest::PumpUntil([&] { return BarPosition() == 2; }, 1000));

    Tick(10);
    EXPECT_EQ(BarPosition(), 22);
    Dlg().ShowPage(20);
    Dlg().ShowPage(30);
    EXPECT_EQ(BarPosition(), 0);
    Tick(47);
    EXPECT_EQ(VisiblePages(), std::vector<int>{30}) << "the countdown started again at 50";
    Tick();
    EXPECT_EQ(VisiblePages(), std::vector<int>{20});

    // A page hidden during the wait stops waiting.
    link.calls.clear();
    Dlg().ShowPage(30);
    Tick(20);
    Dlg().ShowPage(23);
    Tick(40);
    EXPECT_EQ(VisiblePages(), std::vector<int>{23});
    EXPECT_TRUE(link.calls.empty());
}

TEST_F(CompletionPages, FailedRefusedOrUnmarkedReadsKeepTheirSettingAndTheSummaryFollows)
{
    const struct {
        const char* what;
        int openResult;
        Answer menu, net;
        const wchar_t* time;
        const wchar_t* address;
        size_t calls;
    } cases[] = {
        {"router unreachable", 1231, {0, 200, kMenuPage}, {0, 200, kNetPage}, L"old time", L"old address", 1},
        {"request fails", 0, {12029, 200, kMenuPage}, {12029, 200, kNetPage}, L"old time", L"old address", 3},
        {"status 500 and 401", 0, {0, 500, kMenuPage}, {0, 401, kNetPage}, L"old time", L"old address", 3},
        {"no markers", 0, {0, 200, L"<td>2012</td>"}, {0, 200, L"<td>1.2.3.4</td>"}, L"old time", L"old address", 3},
        // One read failing does not keep the other from being made.
        {"time only", 0, {0, 200, kMenuPage}, {0, 404, kNetPage}, L"2012/1/14 20:54:27", L"old address", 3},
        {"address only", 0, {0, 500, kMenuPage}, {0, 200, kNetPage}, L"old time", L"203.0.113.57", 3},
        {"cut date, address padded",
         0,
         {0, 200, L"Date(2012, 0, 14, 20, 54, 27)"},
         {0, 200, L"name=\"ip\" value=\"   10.1.2.3   \">"},
         L"2012/1/ 14  20: 54:",
         L"10.1.2.3",
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        link.calls.clear();
        link.openResult = c.openResult;
        link.byPath = {{L"/stamenu.asp", c.menu}, {L"/stanet.asp", c.net}};
        SetValues(L"Admin2024", L"HomeNet", L"Secret12345", L"old time", L"old address");
        Dlg().ShowPage(30);
        Tick(48);
        EXPECT_EQ(VisiblePages(), std::vector<int>{20});
        EXPECT_EQ(link.calls.size(), c.calls);
        EXPECT_EQ(Session().m_strSystemTime, c.time);
        EXPECT_EQ(Session().m_strInternetIP, c.address);
        // The summary is built all the same.
        EXPECT_EQ(wintest::ReadAll(SettingsFile()), Ascii(ExpectedFile()));
    }
}
