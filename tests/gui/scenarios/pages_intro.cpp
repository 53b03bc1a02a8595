// The first four pages driven as a person would: the language choice, the
// introduction pages, the connection type page, the keys that do nothing and
// closing from every page. Each scenario runs its own copy of the delivered
// folder, so that it may change the language files.
//
// SAFETY: page 5 starts its router exchange and Internet check by itself
// shortly after it is shown. The only scenario that reaches it,
// PagesConnection.DhcpWithPppoeTextGoesToPageFive, closes the wizard the moment
// page 5 appears, and skips outside the lab's PC namespace.
#include "LabSupport.h"
#include "Picture.h"
#include "ScenarioSupport.h"
#include "TestDesktop.h"
#include "resource.h"

#include <cstdio>

namespace {

std::wstring ReadIni(const std::wstring& file, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[1024] = L"";
    ::GetPrivateProfileStringW(section, key, L"", value, 1024, file.c_str());
    return value;
}

// A copy of the delivered folder for one scenario: program, library,
// language files and pictures.
std::wstring CopyOfDelivery()
{
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"tarvo-gui-" + scenario::CurrentName() + L"-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring dist = scenario::DistFolder();
    testing_support::CopyFiles(dist, folder, L"*.dll");
    testing_support::CopyFiles(dist, folder, L"Tarvo.exe");
    testing_support::CopyFiles(dist + L"\\LANG", folder + L"\\LANG", L"*.ini");
    testing_support::CopyFiles(dist + L"\\IMG", folder + L"\\IMG", L"*");
    return folder;
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += "\n  " + line;
    return out;
}

int ButtonsOf(HWND box)
{
    int buttons = 0;
    for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = L"";
        ::GetClassNameW(c, cls, 32);
        buttons += _wcsicmp(cls, L"Button") == 0 ? 1 : 0;
    }
    return buttons;
}

// Removes a folder with its files and subfolders.
void RemoveFolder(const std::wstring& folder)
{
    if (folder.empty())
        return;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(folder + L"\\" + name);
            else
                ::DeleteFileW((folder + L"\\" + name).c_str());
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

class IntroScenario : public ::testing::Test {
protected:
    ~IntroScenario() override
    {
        gui.Kill(); // a program still running holds its files
        RemoveFolder(m_folder);
    }

    void SetUp() override
    {
        ASSERT_FALSE(scenario::DistFolder().empty()) << "TARVO_DIST_DIR names the folder of Tarvo.exe";
        ASSERT_NE(::GetFileAttributesW(Exe().c_str()), INVALID_FILE_ATTRIBUTES) << "no copy of the program";
        scenario::RunLog().Mark();
    }

    void TearDown() override
    {
        if (HasFailure() && gui.IsRunning()) {
            try {
                std::printf("picture of the failure: %s\n",
                            gui::Narrow(gui.Screenshot(L"failed-" + scenario::CurrentName())).c_str());
            } catch (const gui::DriverError&) {
            }
        }
        if (gui.ProcessId() && scenario::RunLog().Available()) {
            const std::vector<std::string> exceptions = scenario::RunLog().Exceptions(gui.ProcessId());
            EXPECT_TRUE(exceptions.empty()) << "Wine reports exceptions:" << Lines(exceptions);
        }
    }

    std::wstring Exe() const { return m_folder + L"\\Tarvo.exe"; }
    std::wstring Lang(const std::wstring& file) const { return m_folder + L"\\LANG\\" + file; }
    std::wstring English(const wchar_t* key) const { return ReadIni(Lang(L"Lang0409.ini"), L"Strings", key); }

    // A copy of the English file with some values changed.
    void WriteVariant(const std::wstring& file, std::initializer_list<std::pair<const wchar_t*, std::wstring>> values)
    {
        ::CopyFileW(Lang(L"Lang0409.ini").c_str(), Lang(file).c_str(), FALSE);
        for (const auto& [key, value] : values)
            ::WritePrivateProfileStringW(L"Strings", key, value.c_str(), Lang(file).c_str());
    }

    // The language list: slot by slot, display name and file; the rest "0".
    void WriteList(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> slots)
    {
        std::wstring text = L"[Language]\r\n";
        size_t i = 0;
        for (const auto& [name, file] : slots) {
            text += L"LAN" + std::to_wstring(i) + L"=" + name + L"\r\n";
            text += L"LAN_INI" + std::to_wstring(i) + L"=" + file + L"\r\n";
            ++i;
        }
        for (; i < 10; ++i)
            text += L"LAN" + std::to_wstring(i) + L"=0\r\nLAN_INI" + std::to_wstring(i) + L"=0\r\n";
        std::string bytes;
        for (wchar_t c : text)
            bytes += static_cast<char>(c);
        HANDLE file = ::CreateFileW(Lang(L"LANG.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
    }

    void Start()
    {
        gui::Launch launch;
        launch.wineDebug = L"-all,err+seh,+pid";
        launch.outputFile = scenario::OutputFile();
        gui.Start(launch);
        gui.ExpectPage(1);
    }

    // From page 1 to page n (1..4) with the mouse on the Next labels.
    void WalkTo(int page)
    {
        const int next[] = {IDC_CP1_NEXT, IDC_NEXT, IDC_NEXT};
        for (int at = 1; at < page; ++at) {
            gui.ClickLabel(next[at - 1]);
            gui.ExpectPage(at + 1);
        }
    }

    void ExpectNoBox()
    {
        gui.Settle();
        EXPECT_FALSE(gui.FindMessageBox().has_value()) << "a message box came up";
    }

    std::wstring m_folder = CopyOfDelivery();
    gui::Wizard gui{Exe(), scenario::ShotsFolder()};
};

class PagesIntro : public IntroScenario {};
class PagesConnection : public IntroScenario {};

// The picture behind the texts is there: the header band is the art's dark blue.
void ExpectArtBehind(const std::wstring& shot, const SIZE& client)
{
    const std::optional<gui::Picture> picture = gui::LoadPicture(shot);
    ASSERT_TRUE(picture.has_value()) << gui::Narrow(shot);
    // Sampled inside the client area, right of the logo and clear of any text.
    const int x = picture->width - client.cx / 2, y = picture->height - client.cy + 100;
    const COLORREF c = picture->At(x, y);
    EXPECT_LT(GetRValue(c), 60);
    EXPECT_LT(GetGValue(c), 90);
    EXPECT_GT(GetBValue(c), 60);
}

} // namespace

TEST_F(PagesIntro, FirstPageAloneThenNextWithoutTheListTakesSlotZero)
{
    WriteVariant(L"LangA.ini", {{L"IDS_TITLE", L"Title of slot zero"}});
    WriteVariant(L"LangB.ini", {{L"IDS_TITLE", L"Title of slot one"}});
    WriteList({{L"Alpha", L"LangA.ini"}, {L"Beta", L"LangB.ini"}});
    Start();
    EXPECT_EQ(gui.VisiblePages(), std::vector<int>{1});
    EXPECT_TRUE(gui.ListEntries(IDC_DROPLIST).empty()) << "filled only when it drops down";

    gui.ClickLabel(IDC_CP1_NEXT);
    gui.ExpectPage(2);
    EXPECT_EQ(gui.Title(), L"Title of slot zero");
}

TEST_F(PagesIntro, ListSkipsAnEmptySlotAndItsSecondNameSelectsSlotOne)
{
    // Slot 1 is empty, slot 2 is not. The list shows two names, and the second
    // is taken as slot 1, whose file is "0": the default file is read.
    WriteVariant(L"LangA.ini", {{L"IDS_TITLE", L"Title of slot zero"}});
    WriteVariant(L"LangC.ini", {{L"IDS_TITLE", L"Title of slot two"}});
    WriteList({{L"Alpha", L"LangA.ini"}, {L"0", L"0"}, {L"Gamma", L"LangC.ini"}});
    Start();
    EXPECT_EQ(gui.Title(), L"Title of slot zero");

    gui.OpenList(IDC_DROPLIST);
    EXPECT_EQ(gui.ListEntries(IDC_DROPLIST), (std::vector<std::wstring>{L"Alpha", L"Gamma"}));
    gui.Screenshot(L"pages-intro-language-list");
    gui.PickListEntry(IDC_DROPLIST, 1);
    gui.ClickLabel(IDC_CP1_NEXT);
    gui.ExpectPage(2);
    EXPECT_EQ(gui.Title(), English(L"IDS_TITLE"));
}

TEST_F(PagesIntro, ChosenLanguageRetitlesAndRetextsThePagesButKeepsTheArt)
{
    // The second language names pictures that do not exist: the art stays as loaded.
    WriteVariant(L"LangT.ini", {{L"IDS_TITLE", L"Ohjattu asennus"},
                                {L"IDS_NEXT", L"689,554,87,29,14,Seuraava"},
                                {L"IDS_BACK_P2_P3_P3a", L"581,554,85,29,14,Takaisin"},
                                {L"IDS_P2_STATIC3", L"Jatka napsauttamalla <B>Seuraava</B>."},
                                {L"IDS_P3_STATIC4", L"Kun kaikki on valmista, napsauta <B>Seuraava</B>."},
                                {L"IDS_P3A_STATIC8", L"Et ole varma? Katso palveluntarjoajan kirje."},
                                {L"IDS_PAGE2", L"none.jpg"},
                                {L"IDS_PAGE3", L"none.jpg"},
                                {L"IDS_PAGE3A", L"none.jpg"}});
    WriteList({{L"English", L"Lang0409.ini"}, {L"Suomi", L"LangT.ini"}});
    Start();
    const SIZE client = gui.ClientSize();
    gui.OpenList(IDC_DROPLIST);
    gui.PickListEntry(IDC_DROPLIST, L"Suomi");
    gui.ClickLabel(IDC_CP1_NEXT);
    gui.ExpectPage(2);
    EXPECT_EQ(gui.Title(), L"Ohjattu asennus");

    const struct {
        int page, note, next;
        const wchar_t* text;
    } pages[] = {{2, IDC_CP2_STATIC3, IDC_NEXT, L"Jatka napsauttamalla Seuraava."},
                 {3, IDC_CP3_STATIC4, IDC_NEXT, L"Kun kaikki on valmista, napsauta Seuraava."},
                 {4, IDC_CP3A_STATIC8, IDC_CONN_NEXT, L"Et ole varma? Katso palveluntarjoajan kirje."}};
    for (const auto& page : pages) {
        SCOPED_TRACE("page " + std::to_string(page.page));
        gui.ExpectPage(page.page);
        EXPECT_EQ(gui.Text(page.note), page.text);
        EXPECT_EQ(gui.Text(page.next), L"Seuraava");
        ExpectArtBehind(gui.Screenshot(L"pages-intro-translated-page" + std::to_wstring(page.page)), client);
        if (page.page < 4)
            gui.ClickLabel(page.next);
    }
}

TEST_F(PagesIntro, BackAndNextWalkTheFirstFourPagesAnyNumberOfTimes)
{
    Start();
    const SIZE client = gui.ClientSize();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        WalkTo(4);
        if (round == 0) {
            // The English pages as shipped, for a person to look at.
            gui.Screenshot(L"pages-intro-page4");
        }
        gui.ClickLabel(IDC_CONN_BACK);
        gui.ExpectPage(3);
        if (round == 0)
            gui.Screenshot(L"pages-intro-page3");
        gui.ClickLabel(IDC_BACK);
        gui.ExpectPage(2);
        if (round == 0)
            ExpectArtBehind(gui.Screenshot(L"pages-intro-page2"), client);
        gui.ClickLabel(IDC_BACK);
        gui.ExpectPage(1);
    }
    ExpectArtBehind(gui.Screenshot(L"pages-intro-page1"), client);
    gui.Close();
    EXPECT_EQ(gui.WaitForExit(), 0u);
}

TEST_F(PagesIntro, EnterEscapeAndF1ChangeNothingOnAnyOfTheFirstFourPages)
{
    Start();
    for (int page = 1; page <= 4; ++page) {
        if (page > 1) {
            gui.ClickLabel(page == 2 ? IDC_CP1_NEXT : IDC_NEXT);
            gui.ExpectPage(page);
        }
        std::vector<int> focusTargets{0};
        if (page == 1)
            focusTargets.push_back(IDC_DROPLIST);
        if (page == 4)
            focusTargets.insert(focusTargets.end(), {IDC_EDIT_FIELD, IDC_EDIT_BP_PASSWORD});
        for (int target : focusTargets) {
            if (target)
                gui.Focus(target);
            for (WORD key : {VK_RETURN, VK_ESCAPE, VK_F1}) {
                SCOPED_TRACE("page " + std::to_string(page) + ", control " + std::to_string(target) + ", key " +
                             std::to_string(key));
                gui.PressKey(key);
                ASSERT_TRUE(gui.IsRunning()) << "the wizard ended";
                EXPECT_EQ(gui.VisiblePages(), std::vector<int>{page});
                EXPECT_EQ(gui.Windows().size(), 1u) << "another window came up";
                ExpectNoBox();
            }
        }
    }
    gui.Close();
    EXPECT_EQ(gui.WaitForExit(), 0u);
}

class PagesClose : public IntroScenario, public ::testing::WithParamInterface<int> {};

TEST_P(PagesClose, ClosingTheWindowEndsTheProgram)
{
    Start();
    WalkTo(GetParam());
    gui.Close();
    EXPECT_EQ(gui.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(FromPage, PagesClose, ::testing::Values(1, 2, 3, 4));

TEST_F(PagesConnection, NoTypeChosenNextDoesNothing)
{
    Start();
    WalkTo(4);
    gui.TypeText(IDC_EDIT_FIELD, L"someone");
    EXPECT_EQ(gui.ClickLabel(IDC_CONN_NEXT), gui::Outcome::Returned);
    ExpectNoBox();
    EXPECT_EQ(gui.VisiblePages(), std::vector<int>{4});
}

TEST_F(PagesConnection, PppoeWithAnEmptyPasswordShowsTheMessageAndStays)
{
    Start();
    WalkTo(4);
    EXPECT_TRUE(gui.Tick(IDC_RADIO_PPPOE));
    gui.TypeText(IDC_EDIT_FIELD, L"alice@isp");
    gui.Screenshot(L"pages-intro-page4-pppoe");

    EXPECT_EQ(gui.ClickLabel(IDC_CONN_NEXT), gui::Outcome::PopupShown);
    const gui::MessageBoxInfo box = gui.WaitForMessageBox();
    EXPECT_EQ(box.caption, English(L"IDS_TITLE"));
    EXPECT_EQ(box.text, English(L"IDS_ERROR_MSG1"));
    EXPECT_EQ(ButtonsOf(box.window), 1) << "OK only";
    gui.Screenshot(L"pages-intro-page4-message");
    gui.AnswerMessageBox(IDOK);

    gui.ExpectPage(4);
    EXPECT_EQ(gui.Text(IDC_EDIT_FIELD), L"alice@isp");
    EXPECT_TRUE(gui.IsChecked(IDC_RADIO_PPPOE));
    gui.Close();
    EXPECT_EQ(gui.WaitForExit(), 0u);
}

// SAFETY: reaches page 5 and closes the wizard at once. Lab namespace only.
TEST_F(PagesConnection, DhcpWithPppoeTextGoesToPageFive)
{
    SCENARIO_LAB_ONLY();
    if (!lab::OnlyLabAdapters())
        GTEST_SKIP() << lab::kNotLabNamespace;
    Start();
    WalkTo(4);
    gui.TypeText(IDC_EDIT_FIELD, L"left over");
    gui.TypeText(IDC_EDIT_PASSWORD, L"pw");
    EXPECT_TRUE(gui.Tick(IDC_RADIO_DHCP));
    EXPECT_FALSE(gui.IsChecked(IDC_RADIO_PPPOE));
    gui.ClickLabel(IDC_CONN_NEXT);
    try {
        gui.ExpectPage(5);
    } catch (...) {
        gui.Kill();
        throw;
    }
    gui.Close();
    EXPECT_EQ(gui.WaitForExit(), 0u);
}
