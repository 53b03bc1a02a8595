// The driver's own checks, against a window built like the wizard's (see
// Fixture.h): each action must reach the window the way the wizard expects
// it, and each failure must say what went wrong instead of hanging.
#include "Fixture.h"
#include "Picture.h"
#include "ScenarioSupport.h"
#include "Script.h"

using fixture::Seen;

namespace {

// The fixture runs in this process; Attach drives it like a started program.
class Driver : public ::testing::Test {
protected:
    void SetUp() override { gui.Attach(window.Main()); }

    template <typename Action> std::string FailureOf(Action action)
    {
        try {
            action();
        } catch (const gui::DriverError& e) {
            return e.what();
        }
        return "(no failure)";
    }

    fixture::Window window;
    gui::Wizard gui{L"", scenario::ShotsFolder()};
};

std::vector<std::string> Words(const char* line)
{
    std::vector<std::string> words;
    std::string error;
    EXPECT_TRUE(gui::SplitWords(line, &words, &error)) << error;
    return words;
}

} // namespace

TEST_F(Driver, FindsPagesByNumberAndWaitsForThemWithALimit)
{
    EXPECT_EQ(gui.Title(), fixture::kTitle);
    EXPECT_EQ(gui.VisiblePage(), 1);
    gui.ExpectPage(1);
    const std::string failure = FailureOf([&] { gui.ExpectPage(2, 200); });
    EXPECT_NE(failure.find("expected page 2"), std::string::npos) << failure;
    EXPECT_NE(failure.find("visible pages [1]"), std::string::npos) << failure;
    EXPECT_NE(FailureOf([&] { gui.Control(4242); }).find("no control 4242"), std::string::npos);
}

TEST_F(Driver, ClicksReachThePageAsStnClickedByMouseAndByMessage)
{
    EXPECT_EQ(gui.ClickLabel(fixture::kLabel, gui::Input::Real), gui::Outcome::Returned);
    EXPECT_EQ(Seen().clicks, 1);
    EXPECT_EQ(gui.ClickLabel(fixture::kLabel, gui::Input::Message), gui::Outcome::Returned);
    EXPECT_EQ(Seen().clicks, 2);
    // A label without the notify style never tells its page of a click.
    const std::string failure = FailureOf([&] { gui.ClickLabel(fixture::kPlainLabel); });
    EXPECT_NE(failure.find("SS_NOTIFY"), std::string::npos) << failure;
}

TEST_F(Driver, TypingKeepsToTheFieldLimitAndSetTextDoesNot)
{
    gui.TypeText(fixture::kEdit, L"abcdefgh");
    EXPECT_EQ(gui.Text(fixture::kEdit), L"abcde");
    EXPECT_EQ(gui.FocusWindow(), gui.Control(fixture::kEdit));

    gui.SetText(fixture::kEdit, L"");
    gui.TypeText(fixture::kEdit, L"xyz123456", gui::Input::Message);
    EXPECT_EQ(gui.Text(fixture::kEdit), L"xyz12");

    gui.SetText(fixture::kEdit, L"abcdefgh");
    EXPECT_EQ(gui.Text(fixture::kEdit), L"abcdefgh");

    // A real key goes to the focused field.
    gui.SetText(fixture::kEdit, L"");
    gui.PressKey('Q');
    EXPECT_EQ(gui.Text(fixture::kEdit), L"q");
}

TEST_F(Driver, ListDropsDownWithItsNotificationAndAPickSendsSelChange)
{
    EXPECT_TRUE(gui.ListEntries(fixture::kList).empty());
    gui.OpenList(fixture::kList);
    EXPECT_EQ(Seen().dropDowns, 1);
    EXPECT_EQ(gui.ListEntries(fixture::kList), (std::vector<std::wstring>{L"One", L"Two", L"Three"}));

    EXPECT_EQ(gui.PickListEntry(fixture::kList, L"Two"), gui::Outcome::Returned);
    EXPECT_EQ(Seen().selChanges, 1);
    EXPECT_EQ(Seen().selectionAtChange, 1) << "the notification came before the selection";
    EXPECT_EQ(gui.ListSelection(fixture::kList), 1);
    EXPECT_FALSE(gui.IsListOpen(fixture::kList));

    const std::string failure = FailureOf([&] { gui.PickListEntry(fixture::kList, 3); });
    EXPECT_NE(failure.find("\"One\" \"Two\" \"Three\""), std::string::npos) << failure;
}

TEST_F(Driver, TickTogglesACheckBoxAndRefusesOtherControls)
{
    EXPECT_TRUE(gui.Tick(fixture::kCheck));
    EXPECT_FALSE(gui.Tick(fixture::kCheck));
    EXPECT_NE(FailureOf([&] { gui.Tick(fixture::kEdit); }).find("not a check box"), std::string::npos);
}

TEST_F(Driver, MessageBoxOpenedByAHandlerIsReadAndAnswered)
{
    // The handler runs until the box closes; the driver must not wait for it.
    EXPECT_EQ(gui.ClickButton(fixture::kWarn), gui::Outcome::PopupShown);
    const gui::MessageBoxInfo box = gui.WaitForMessageBox();
    EXPECT_EQ(box.caption, fixture::kTitle);
    EXPECT_EQ(box.text, fixture::kWarning);

    const std::string failure = FailureOf([&] { gui.AnswerMessageBox(IDYES, 500); });
    EXPECT_NE(failure.find("no button 6"), std::string::npos) << failure;

    gui.AnswerMessageBox(IDOK);
    EXPECT_FALSE(gui.FindMessageBox().has_value());
    EXPECT_EQ(Seen().boxResult, IDOK);
}

TEST_F(Driver, TimerTicksStopWhenThePageChanges)
{
    EXPECT_EQ(gui.TimerTicks(fixture::kTimer, 10), 3);
    EXPECT_EQ(Seen().ticks, 3);
    gui.ExpectPage(2);
}

TEST_F(Driver, ScreenshotIsAPngOfTheWholeWindowAsShown)
{
    const std::wstring path = gui.Screenshot(L"driver-fixture");
    const std::optional<gui::Picture> picture = gui::LoadPicture(path);
    ASSERT_TRUE(picture.has_value()) << gui::Narrow(path);
    RECT outer{};
    ::GetWindowRect(window.Main(), &outer);
    ASSERT_EQ(picture->width, outer.right - outer.left);
    ASSERT_EQ(picture->height, outer.bottom - outer.top);

    // The page's colour, near the bottom right corner of the client area.
    RECT client{};
    ::GetClientRect(window.Main(), &client);
    POINT corner{client.right - 10, client.bottom - 10};
    ::ClientToScreen(window.Main(), &corner);
    EXPECT_EQ(picture->At(corner.x - outer.left, corner.y - outer.top), fixture::kPageColour);
}

// A separate fixture process with Wine's exception reports on: an exception in a
// handler must show in the log under that process's id, and only there.
TEST(DriverWineLog, ExceptionSwallowedInAHandlerShowsUnderItsProcess)
{
    if (!scenario::RunLog().Available())
        GTEST_SKIP() << "no Wine log: run through tests/gui/run-scenarios";
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    gui::Wizard program(self, scenario::ShotsFolder());
    scenario::RunLog().Mark();
    gui::Launch launch;
    launch.arguments = L"--fixture";
    launch.wineDebug = L"-all,err+seh,+pid";
    program.Start(launch);

    program.ClickLabel(fixture::kFaultLabel, gui::Input::Message);
    ASSERT_TRUE(program.IsRunning()) << "Wine is expected to swallow the exception";
    program.Close();
    EXPECT_EQ(program.WaitForExit(), 0u);

    EXPECT_FALSE(scenario::RunLog().Exceptions(program.ProcessId()).empty())
        << "the log shows nothing for process " << program.ProcessId();
    EXPECT_TRUE(scenario::RunLog().Exceptions(::GetCurrentProcessId()).empty());
}

// An exception that escapes a real click's handler ends up in Wine's
// unhandled-exception path: the program stops and Wine's debugger waits on
// it. The log must tell, and killing the program must end the debugger too.
TEST(DriverWineLog, UnhandledExceptionShowsAndItsDebuggerIsEndedWithTheProgram)
{
    if (!scenario::RunLog().Available())
        GTEST_SKIP() << "no Wine log: run through tests/gui/run-scenarios";
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    gui::Wizard program(self, scenario::ShotsFolder());
    scenario::RunLog().Mark();
    gui::Launch launch;
    launch.arguments = L"--fixture";
    launch.wineDebug = L"-all,err+seh,+pid";
    program.Start(launch);

    EXPECT_EQ(program.ClickLabel(fixture::kFaultLabel, gui::Input::Real), gui::Outcome::StillBusy);
    const DWORD pid = program.ProcessId();
    bool reported = false;
    for (int i = 0; i < 100 && !reported; ++i, ::Sleep(100))
        reported = !scenario::RunLog().Exceptions(pid).empty();
    EXPECT_TRUE(reported) << "no unhandled exception in the log";

    program.Kill();
    EXPECT_FALSE(program.IsRunning());
    EXPECT_TRUE(gui::ChildrenOf(pid).empty()) << "the debugger still runs";
}

// A program that ends before it shows a window is reported at once, not
// after the whole start limit.
TEST(DriverStart, ProgramThatEndsWithoutAWindowIsReportedAtOnce)
{
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    gui::Wizard program(self, scenario::ShotsFolder());
    gui::Launch launch;
    launch.arguments = L"--gtest_list_tests";
    launch.outputFile = gui::FolderOf(self) + L"\\driver-start.output.txt";
    const DWORD start = ::GetTickCount();
    std::string failure = "(no failure)";
    try {
        program.Start(launch);
    } catch (const gui::DriverError& e) {
        failure = e.what();
    }
    EXPECT_NE(failure.find("ended with exit code 0 before its window appeared"), std::string::npos) << failure;
    EXPECT_LT(::GetTickCount() - start, gui::Wizard::kStartLimitMs / 2);

    gui::Wizard missing(gui::FolderOf(self) + L"\\no-such-program.exe", scenario::ShotsFolder());
    try {
        missing.Start();
        ADD_FAILURE() << "a missing program started";
    } catch (const gui::DriverError& e) {
        EXPECT_NE(std::string(e.what()).find("no program at"), std::string::npos) << e.what();
    }
}

TEST(Script, WordsSplitAtBlanksKeepQuotedTextAndStopAtComments)
{
    EXPECT_EQ(Words("  type 1073  \"two words\" # note"), (std::vector<std::string>{"type", "1073", "two words"}));
    EXPECT_EQ(Words("set 1 \"a \\\"b\\\" \\\\ c\""), (std::vector<std::string>{"set", "1", "a \"b\" \\ c"}));
    EXPECT_EQ(Words("shot a#b"), (std::vector<std::string>{"shot", "a#b"}));
    EXPECT_EQ(Words("type 5 \"\""), (std::vector<std::string>{"type", "5", ""}));
    std::vector<std::string> words;
    std::string error;
    EXPECT_FALSE(gui::SplitWords("type 5 \"open", &words, &error));
}

TEST(Script, BadStepsAreRefusedWithTheirLineBeforeAnythingRuns)
{
    std::vector<gui::Step> steps;
    std::string error;
    ASSERT_TRUE(gui::ParseScript("# walk\nstart /u\n\npage 1\nkey F1\ntimer 1 48\nexit 0\n", &steps, &error)) << error;
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[1].line, 4);
    EXPECT_EQ(steps[1].words, (std::vector<std::string>{"page", "1"}));

    const struct {
        const char* script;
        const char* reason;
    } bad[] = {
        {"page 1\nclik 5", "line 2: unknown command \"clik\""},
        {"click next", "line 1: click: \"next\" is not a number"},
        {"type 1073", "line 1: type takes 2 arguments, not 1"},
        {"timer 1 2 3", "line 1: timer takes 1 to 2 arguments, not 3"},
        {"key F99", "line 1: key: unknown key \"F99\""},
        {"close now", "line 1: close takes 0 arguments, not 1"},
    };
    for (const auto& b : bad) {
        EXPECT_FALSE(gui::ParseScript(b.script, &steps, &error)) << b.script;
        EXPECT_EQ(error, b.reason);
    }
}

TEST(Script, KeyNamesAndCodes)
{
    EXPECT_EQ(gui::KeyCode("Enter"), VK_RETURN);
    EXPECT_EQ(gui::KeyCode("esc"), VK_ESCAPE);
    EXPECT_EQ(gui::KeyCode("F1"), VK_F1);
    EXPECT_EQ(gui::KeyCode("f12"), VK_F12);
    EXPECT_EQ(gui::KeyCode("65"), 65);
    EXPECT_EQ(gui::KeyCode("f0"), 0);
    EXPECT_EQ(gui::KeyCode("256"), 0);
    EXPECT_EQ(gui::KeyCode(""), 0);
}
