// A walk through the whole wizard in the network lab, in each language, as a
// person goes through it, with a picture of every page it reaches: the
// language page to the connection result pages (router down, Internet down,
// then connected), the router settings, the restart wait, the summary and
// the device help. The pictures go to <shots>\<language>\NN-<what>.png with
// the page's number in front, so that a listing shows them in page order;
// the summary file the wizard wrote and the router's final state
// (router.json) go beside them. tools/demo makes its contact sheet of them.
//
// The behaviour itself is checked by the other lab scenarios; a walk checks
// only that it got through, that the router ends with what was typed and
// that page 20's join code, laid out in the language, scans.
// The same walk once more in English by the keyboard alone goes to
// <shots>\keyboard, with a picture of each label it presses.
//
// SAFETY: the walks reach the router and the Internet check; they run only
// inside the lab's PC namespace (see LabSupport.h).
#include "LabSupport.h"

#include <shlobj.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr UINT_PTR kWaitTimer = 88;
// The router's zone list: position 22 is the zone without offset.
constexpr int kTimeZone = 22;
constexpr wchar_t kPassword[] = L"Admin2024";
constexpr wchar_t kNetwork[] = L"OrvelleHome";
constexpr wchar_t kKey[] = L"Secret12345";

struct Language {
    int slot;            // position in the first page's list
    const wchar_t* name; // folder of its pictures
};
constexpr Language kEnglish{0, L"english"};
constexpr Language kGerman{1, L"german"};
constexpr Language kChinese{2, L"chinese"};
constexpr Language kKeyboard{0, L"keyboard"};

std::wstring Ini(const std::wstring& file, const wchar_t* section, const std::wstring& key)
{
    wchar_t value[512] = L"";
    ::GetPrivateProfileStringW(section, key.c_str(), L"", value, 512, file.c_str());
    return value;
}

// The name of the summary file in a language: each language names it itself.
std::wstring SummaryName(const Language& language)
{
    const std::wstring folder = scenario::DistFolder() + L"\\LANG\\";
    const std::wstring file = Ini(folder + L"LANG.ini", L"Language", L"LAN_INI" + std::to_wstring(language.slot));
    return Ini(folder + file, L"Strings", L"IDS_SETTINGS_FILE");
}

// Languages a walk of page 12 covers: TARVO_WALK_LANGUAGES ("english german",
// say), or all three.
bool Wanted(const Language& language)
{
    const char* list = std::getenv("TARVO_WALK_LANGUAGES");
    if (!list || !*list)
        return true;
    return (" " + std::string(list) + " ").find(" " + gui::Narrow(language.name) + " ") != std::string::npos;
}

class LabWalk : public lab::LabScenario {
protected:
    void TearDown() override
    {
        LabScenario::TearDown();
        m_desktop.reset();
    }

    void Walk(const Language& language)
    {
        m_language = language;
        gui::MakeFolders(Folder());
        wchar_t temp[MAX_PATH] = L"";
        ::GetTempPathW(MAX_PATH, temp);
        const std::wstring desktop =
            std::wstring(temp) + L"tarvo-walk-desktop-" + std::to_wstring(::GetCurrentProcessId());
        m_desktop = std::make_unique<testing_support::ScratchDesktop>(desktop);
        wchar_t shell[MAX_PATH] = L"";
        ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, shell);
        ASSERT_EQ(std::wstring(shell), desktop) << "the summary would be written outside the walk";
        StartWizard();

        ChooseLanguage();
        At(2, L"welcome");
        Press(IDC_NEXT);
        At(3, L"before-you-start");
        Press(IDC_NEXT);
        gui.ExpectPage(4);
        Check(IDC_RADIO_PPPOE);
        Type(IDC_EDIT_FIELD, L"customer@isp");
        Type(IDC_EDIT_PASSWORD, L"isp2024");
        Shot(4, L"connection-type");

        // The first run of page 5 finds the provider's line down: page 13.
        router.Set("fault-internet-down=on");
        Press(IDC_CONN_NEXT);
        gui.ExpectPage(5);
        RunPage5(true);
        At(13, L"internet-down", 30000);

        // Checking again while the router is away: page 11.
        router.Set("fault-internet-down=off");
        router.Set("fault-no-return=on");
        router.Ask({"restart"});
        ReCheck();
        RunPage5(false);
        At(11, L"router-down", 30000);

        // The router back: the run ends on page 6.
        router.Set("fault-no-return=off");
        router.Ask({"boot"});
        ASSERT_TRUE(router.WaitRunning(30)) << "the router did not come back";
        ReCheck();
        RunPage5(false);
        At(6, L"connected", 30000);
        Press(IDC_CONN_NEXT);

        At(16, L"admin-password");
        Type(IDC_EDIT_NEWPASS, kPassword);
        Type(IDC_EDIT_PASSWORD, kPassword);
        Shot(16, L"admin-password-typed");
        Press(IDC_NEXT);
        At(17, L"time-zone", 30000);
        Pick(IDC_DROPLIST, kTimeZone);
        Press(IDC_NEXT);
        At(18, L"wireless-name", 30000);
        Type(IDC_EDIT_FIELD, kNetwork);
        Press(IDC_NEXT);
        At(19, L"wireless-key", 30000);
        Type(IDC_EDIT_FIELD, kKey);
        Shot(19, L"wireless-key-typed");
        Press(IDC_NEXT);
        At(30, L"restart-wait", 30000);
        ASSERT_TRUE(router.WaitRunning(30)) << "the router did not come back after page 19";
        RunPage30();
        At(20, L"summary", 60000);
        EXPECT_EQ(router.DecodeQr(std::wstring(m_language.name) + L"\\20-summary"),
                  "WIFI:T:WPA;S:OrvelleHome;P:Secret12345;;");

        Press(IDC_ADD);
        At(21, L"connect-devices");
        Press(IDC_CP10_LINK1);
        At(22, L"wps-button");
        Press(IDC_BACK);
        gui.ExpectPage(21);
        Press(IDC_CP10_LINK2);
        At(23, L"device-chooser");
        const struct {
            int link, page;
            const wchar_t* what;
        } devices[] = {{IDC_CP12_LINK_WIN7, 24, L"windows-7"},  {IDC_CP12_LINK_VISTA, 25, L"windows-vista"},
                       {IDC_CP12_LINK_XP, 26, L"windows-xp"},   {IDC_CP12_LINK_OSX, 27, L"mac-os-x"},
                       {IDC_CP12_LINK_IOS, 28, L"iphone-ipad"}, {IDC_CP12_LINK_ANDROID, 29, L"android"}};
        for (const auto& device : devices) {
            Press(device.link);
            At(device.page, device.what);
            Press(IDC_BACK);
            gui.ExpectPage(23);
        }
        Press(IDC_BACK);
        gui.ExpectPage(21);

        // What the walk leaves beside its pictures.
        std::string summary;
        const std::wstring name = SummaryName(language);
        ASSERT_FALSE(name.empty());
        ASSERT_TRUE(lab::ReadWhole(desktop + L"\\" + name, summary)) << "no summary on the Desktop";
        lab::WriteWhole(Folder() + L"\\" + name, summary);
        lab::WriteWhole(Folder() + L"\\router.json", router.State(".") + "\n");
        EXPECT_NE(summary.find(gui::Narrow(kNetwork)), std::string::npos);
        EXPECT_EQ(router.State(".running.ssid + \" \" + .running.wpa_key + \" \" + .admin.password"),
                  "OrvelleHome Secret12345 Admin2024");
    }

    // Page 12 needs a PC without its wired adapter, which the lab runner
    // removes for the last scenarios: a short run to it in each language.
    void WalkToNoAdapter(const Language& language)
    {
        m_language = language;
        gui::MakeFolders(Folder());
        StartWizard();
        ChooseLanguage();
        gui.ExpectPage(2);
        gui.ClickLabel(IDC_NEXT);
        gui.ExpectPage(3);
        gui.ClickLabel(IDC_NEXT);
        gui.ExpectPage(4);
        gui.Tick(IDC_RADIO_DHCP);
        gui.ClickLabel(IDC_CONN_NEXT);
        gui.ExpectPage(5);
        RunPage5(false);
        At(12, L"no-adapter", 30000);
        gui.Close();
        gui.WaitForExit();
    }

    std::wstring Folder() const { return scenario::ShotsFolder() + L"\\" + m_language.name; }

    void Shot(int page, const std::wstring& what)
    {
        const std::wstring number = (page < 10 ? L"0" : L"") + std::to_wstring(page);
        gui.Screenshot(std::wstring(m_language.name) + L"\\" + number + L"-" + what);
    }

    void At(int page, const std::wstring& what, DWORD limitMs = gui::Wizard::kActionLimitMs)
    {
        gui.ExpectPage(page, limitMs);
        Shot(page, what);
    }

    void ChooseLanguage()
    {
        gui.ExpectPage(1);
        Pick(IDC_DROPLIST, m_language.slot);
        Shot(1, L"language");
        Press(IDC_CP1_NEXT);
    }

    // Page 11 or 13: all three points confirmed, then ReCheck, which starts page 5 again.
    void ReCheck()
    {
        for (int box : {IDC_CHECK_ITEM1, IDC_CHECK_ITEM2, IDC_CHECK_ITEM3})
            Check(box);
        // Two clicks on the same spot within the double-click time would be a
        // double click, which a label does not report as a click.
        ::Sleep(::GetDoubleClickTime() + 100);
        Press(IDC_RECHECK);
        gui.ExpectPage(5);
    }

    // Page 5 from its first tick to the page it gives way to: the settings
    // post, the restart at the third tick, the router's downtime, then the
    // Internet check.
    void RunPage5(bool picture)
    {
        for (int guard = 0; guard < 10 && gui.VisiblePage() == 5 && Bar(5) < 2; ++guard)
            Tick(5, lab::kApplyTimer);
        if (picture && gui.VisiblePage() == 5)
            Shot(5, L"apply");
        for (int guard = 0; guard < 10 && gui.VisiblePage() == 5 && Bar(5) < 6; ++guard)
            Tick(5, lab::kApplyTimer);
        if (gui.VisiblePage() == 5) {
            ASSERT_TRUE(router.WaitRunning(30)) << "the router did not come back after page 5";
        }
        for (int guard = 0; guard < 60 && gui.VisiblePage() == 5; ++guard)
            Tick(5, lab::kApplyTimer);
    }

    // Page 30's wait, with a picture halfway.
    void RunPage30()
    {
        bool pictured = false;
        for (int guard = 0; guard < 60 && gui.VisiblePage() == 30; ++guard) {
            if (!pictured && Bar(30) >= 50 && gui.VisiblePage() == 30) {
                Shot(30, L"restart-wait-halfway");
                pictured = true;
            }
            Tick(30, kWaitTimer);
        }
    }

    // The keyboard walk's actions: Tab (Shift+Tab towards a Next) until the
    // control has the focus, then keys; each label pictured with its focus.
    void Reach(int id)
    {
        const bool back = id == IDC_NEXT || id == IDC_CONN_NEXT || id == IDC_CP1_NEXT;
        for (int presses = 0; gui.FocusWindow() != gui.Control(id); ++presses) {
            if (presses == 12)
                throw gui::DriverError("Tab does not reach control " + std::to_string(id));
            gui.PressKey(VK_TAB, back);
        }
    }
    void Press(int id)
    {
        if (!m_keyboard)
            return static_cast<void>(gui.ClickLabel(id));
        Reach(id);
        std::wstring name = gui.Text(id);
        for (wchar_t& c : name)
            c = iswalnum(c) ? c : L'-';
        Shot(gui.VisiblePage(), L"focus-on-" + name);
        gui.PressKey(id == IDC_BACK ? VK_SPACE : VK_RETURN);
    }
    void Check(int id)
    {
        if (!m_keyboard)
            return static_cast<void>(gui.Tick(id));
        // A radio button after the first of its group is reached by an arrow from it.
        Reach(id == IDC_RADIO_PPPOE ? IDC_RADIO_DHCP : id);
        gui.PressKey(id == IDC_RADIO_PPPOE ? VK_DOWN : VK_SPACE);
        EXPECT_TRUE(gui.IsChecked(id)) << id;
    }
    void Type(int id, const std::wstring& text)
    {
        if (m_keyboard)
            Reach(id);
        gui.TypeText(id, text);
    }
    void Pick(int id, int index)
    {
        if (!m_keyboard) {
            gui.OpenList(id);
            return static_cast<void>(gui.PickListEntry(id, index));
        }
        Reach(id);
        gui.PressKey(VK_F4);   // drops the list down, which fills it
        gui.PressKey(VK_HOME); // an open list may have followed the mouse pointer
        for (int i = 0; i < index; ++i)
            gui.PressKey(VK_DOWN);
        gui.PressKey(VK_F4);
        EXPECT_EQ(gui.ListSelection(id), index);
    }

    bool m_keyboard = false;
    Language m_language = kEnglish;
    std::unique_ptr<testing_support::ScratchDesktop> m_desktop;
};

} // namespace

TEST_F(LabWalk, English)
{
    Walk(kEnglish);
}

TEST_F(LabWalk, German)
{
    Walk(kGerman);
}

TEST_F(LabWalk, Chinese)
{
    Walk(kChinese);
}

// By keys alone: Tab, Shift+Tab, arrows, F4, Space and Enter (page timers
// are still fast-forwarded), with a picture of each label it presses.
TEST_F(LabWalk, Keyboard)
{
    m_keyboard = true;
    Walk(kKeyboard);
}

TEST_F(LabWalk, NoAdapter)
{
    for (const Language& language : {kEnglish, kGerman, kChinese}) {
        if (!Wanted(language))
            continue;
        SCOPED_TRACE(gui::Narrow(language.name));
        WalkToNoAdapter(language);
        if (HasFatalFailure())
            return;
    }
}
