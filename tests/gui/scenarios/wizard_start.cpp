// The wizard as it starts: its window and first page, keys that must do
// nothing, closing, the command-line switches that must not be mistaken for
// the uninstall modes, and no exception swallowed on the way.
#include "Picture.h"
#include "ScenarioSupport.h"
#include "resource.h"

#include <tlhelp32.h>

using scenario::WizardScenario;

namespace {

std::wstring EnglishTitle()
{
    wchar_t title[256] = L"";
    const std::wstring file = scenario::DistFolder() + L"\\LANG\\Lang0409.ini";
    ::GetPrivateProfileStringW(L"Strings", L"IDS_TITLE", L"", title, 256, file.c_str());
    return title;
}

// Is a Windows help viewer running (WinHelp or HTML Help)?
bool HelpViewerRuns()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found; more = ::Process32NextW(snapshot, &entry))
        found = _wcsicmp(entry.szExeFile, L"winhlp32.exe") == 0 || _wcsicmp(entry.szExeFile, L"hh.exe") == 0;
    ::CloseHandle(snapshot);
    return found;
}

std::wstring TempFolder()
{
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += "\n  " + line;
    return out;
}

} // namespace

class WizardStart : public WizardScenario {};

TEST_F(WizardStart, OpensOnTheLanguagePageAloneInAnEnglishTitledWindow)
{
    StartWizard();
    gui.ExpectPage(1);

    const std::wstring title = EnglishTitle();
    ASSERT_FALSE(title.empty()) << "no IDS_TITLE in the delivered English language file";
    EXPECT_EQ(gui.Title(), title);

    const SIZE client = gui.ClientSize();
    EXPECT_NEAR(client.cx, 800, 10);
    EXPECT_NEAR(client.cy, 600, 10);
    RECT outer{};
    ::GetWindowRect(gui.MainWindow(), &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);

    // The first page has the keyboard, itself or one of its controls.
    HWND page = gui.PageWindow(1);
    HWND focus = gui.FocusWindow();
    EXPECT_TRUE(focus == page || ::IsChild(page, focus)) << "the focus is not on page 1";

    const std::wstring shot = gui.Screenshot("page1");
    const std::optional<gui::Picture> picture = gui::LoadPicture(shot);
    ASSERT_TRUE(picture.has_value()) << "no readable picture at " << gui::Narrow(shot);
    EXPECT_EQ(picture->width, outer.right - outer.left);
    EXPECT_EQ(picture->height, outer.bottom - outer.top);
}

TEST_F(WizardStart, EnterEscapeAndF1ChangeNothingOnThePageOrTheLanguageList)
{
    StartWizard();
    gui.ExpectPage(1);
    const struct {
        WORD vk;
        const char* name;
    } keys[] = {{VK_RETURN, "Enter"}, {VK_ESCAPE, "Escape"}, {VK_F1, "F1"}};

    for (const std::string where : {"where the wizard put the focus", "the language list"}) {
        if (where == "the language list")
            gui.Focus(IDC_DROPLIST);
        for (const auto& key : keys) {
            SCOPED_TRACE(std::string(key.name) + " on " + where);
            gui.PressKey(key.vk);
            ASSERT_TRUE(gui.IsRunning()) << "the wizard ended";
            EXPECT_EQ(gui.VisiblePages(), std::vector<int>{1});
            EXPECT_EQ(gui.Windows().size(), 1u) << "a window other than the wizard's came up";
            EXPECT_FALSE(gui.FindMessageBox().has_value());
            EXPECT_FALSE(HelpViewerRuns()) << "a help viewer started";
        }
    }
    // The keys did arrive: F4 on the list drops it down and closes it again.
    gui.PressKey(VK_F4);
    EXPECT_TRUE(gui.IsListOpen(IDC_DROPLIST));
    gui.PressKey(VK_F4);
    EXPECT_FALSE(gui.IsListOpen(IDC_DROPLIST));

    gui.Close();
    EXPECT_EQ(gui.WaitForExit(), 0u);
}

TEST_F(WizardStart, CloseBoxEndsTheProgramWithExitCodeZero)
{
    StartWizard();
    gui.ExpectPage(1);
    gui.Close();
    EXPECT_EQ(gui.WaitForExit(), 0u);
}

// The uninstall switches are upper case only: in lower case the wizard runs,
// and neither copies itself away nor cleans anything up.
class WizardSwitch : public WizardScenario, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(WizardSwitch, LowerCaseSwitchRunsTheWizard)
{
    const std::wstring temp = TempFolder();
    for (const wchar_t* name : {L"Tarvo.exe", L"Keplo.dll", L"Keplo.lib"}) {
        const std::wstring copy = temp + name;
        ::DeleteFileW(copy.c_str());
        ASSERT_EQ(::GetFileAttributesW(copy.c_str()), INVALID_FILE_ATTRIBUTES)
            << gui::Narrow(copy) << " is left from an earlier run and cannot be removed";
    }

    StartWizard(GetParam());
    gui.ExpectPage(1);
    for (const wchar_t* name : {L"Tarvo.exe", L"Keplo.dll", L"Keplo.lib"})
        EXPECT_EQ(::GetFileAttributesW((temp + name).c_str()), INVALID_FILE_ATTRIBUTES)
            << "a copy went to " << gui::Narrow(temp + name);
    gui.Close();
    EXPECT_EQ(gui.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Switches, WizardSwitch, ::testing::Values(L"/u", L"/r"));

// Wine swallows an exception inside a window procedure and goes on, or, for
// one that escapes the message loop, stops the program in its debugger; only
// its log tells. Drive what page 1 offers, then read the log, also when the
// driving failed.
TEST_F(WizardStart, NoExceptionInAWindowProcedureWhileDriven)
{
    if (!scenario::RunLog().Available())
        GTEST_SKIP() << "no Wine log: run through tests/gui/run-scenarios";
    StartWizard();
    std::string driving;
    try {
        gui.ExpectPage(1);
        gui.OpenList(IDC_DROPLIST);
        if (!gui.ListEntries(IDC_DROPLIST).empty())
            gui.PickListEntry(IDC_DROPLIST, 0);
        gui.PressKey(VK_F1);
        gui.ClickLabel(IDC_CP1_NEXT);
        gui.Close();
        EXPECT_EQ(gui.WaitForExit(), 0u);
    } catch (const gui::DriverError& e) {
        driving = e.what();
    }

    const std::vector<std::string> exceptions = scenario::RunLog().Exceptions(gui.ProcessId());
    EXPECT_TRUE(exceptions.empty()) << "Wine reports exceptions:" << Lines(exceptions)
                                    << "\nthe program's output is in " << gui::Narrow(scenario::OutputFile());
    EXPECT_EQ(driving, "");
}
