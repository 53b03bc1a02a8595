#pragma once
// What the scenarios share: where the delivered program and the screenshot
// folder are (from CTest's environment), Wine's log of the run, and a test
// fixture that drives one wizard and leaves a picture when a scenario fails.
#include "GuiDriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace scenario {

inline std::wstring EnvPath(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? gui::FromUnixPath(value) : std::wstring();
}

inline std::wstring DistFolder()
{
    return EnvPath("TARVO_DIST_DIR");
}

inline std::wstring TarvoExe()
{
    return DistFolder() + L"\\Tarvo.exe";
}

inline std::wstring ShotsFolder()
{
    const std::wstring shots = EnvPath("TARVO_SHOTS_DIR");
    return shots.empty() ? L"gui-shots" : shots;
}

// The log that run-scenarios sends Wine's standard error to.
inline gui::WineLog& RunLog()
{
    static gui::WineLog log([] {
        const char* path = std::getenv("TARVO_GUI_WINE_LOG");
        return std::string(path ? path : "");
    }());
    return log;
}

// The test's name, usable in a file name.
inline std::wstring CurrentName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    std::wstring out;
    for (char c : name)
        out += (c == '/' || c == '.') ? L'-' : static_cast<wchar_t>(c);
    return out;
}

// The program's own standard output and error, one file per scenario, beside Wine's log.
inline std::wstring OutputFile()
{
    const std::wstring log = EnvPath("TARVO_GUI_WINE_LOG");
    return (log.empty() ? ShotsFolder() : gui::FolderOf(log)) + L"\\" + CurrentName() + L".output.txt";
}

// A scenario that lets the wizard reach a router operation or the Internet
// check (page 5 onward) must run inside the lab's PC namespace: anywhere else
// the wizard would talk to the machine's real gateway and to public sites.
// Such scenarios carry "Lab" in their names, which the default run leaves
// out, and begin with SCENARIO_LAB_ONLY(), which skips them unless the lab
// runner set TARVO_GUI_IN_LAB=1.
inline bool InLab()
{
    const char* value = std::getenv("TARVO_GUI_IN_LAB");
    return value && std::string(value) == "1";
}
#define SCENARIO_LAB_ONLY()                                                                                            \
    if (!scenario::InLab())                                                                                            \
    GTEST_SKIP() << "runs only inside the lab's PC namespace (TARVO_GUI_IN_LAB=1)"

class WizardScenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(DistFolder().empty()) << "TARVO_DIST_DIR names the folder of Tarvo.exe";
        RunLog().Mark();
    }

    void TearDown() override
    {
        if (!HasFailure() || !gui.IsRunning())
            return;
        try {
            const std::wstring shot = gui.Screenshot(L"failed-" + CurrentName());
            std::printf("picture of the failure: %s\n", gui::Narrow(shot).c_str());
        } catch (const gui::DriverError&) {
        }
    }

    // Starts the wizard as the scenarios run it: of Wine's messages only the
    // exception reports, each line with its process id; the program's own
    // output in a file of this scenario.
    void StartWizard(const std::wstring& arguments = L"")
    {
        gui::Launch launch;
        launch.arguments = arguments;
        launch.wineDebug = L"-all,err+seh,+pid";
        launch.outputFile = OutputFile();
        gui.Start(launch);
    }

    gui::Wizard gui{TarvoExe(), ShotsFolder()};
};

} // namespace scenario
