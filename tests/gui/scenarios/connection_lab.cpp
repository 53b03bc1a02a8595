// The connection stage in the network lab, as a person goes through it: the
// connection type on page 4, page 5 applying it (its timer fast-forwarded),
// and the result pages, against the substitute router, whose journal and
// state say what arrived.
//
// SAFETY: these scenarios let the wizard reach the router operations and the
// Internet check. They run only inside the lab's PC namespace, started by
// tests/lab/run-gui, which names the folder through which the router is read
// (TARVO_LAB_BRIDGE); each one first makes sure that the only network adapter
// it can see is the lab's. Anywhere else they skip.
#include "ScenarioSupport.h"
#include "resource.h"

#include <commctrl.h>
#include <iphlpapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The PC side of the lab's veth pair.
constexpr BYTE kLabPcMac[] = {0x02, 0x54, 0x41, 0x52, 0x56, 0x4f};
constexpr UINT_PTR kApplyTimer = 77;
// Basic credentials "admin:6093", as the router's journal shows them.
constexpr char kFactoryAuthorization[] = "Basic YWRtaW46NjA5Mw==";

std::string Lines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += "\n  " + line;
    return out;
}

// Every adapter this process sees is the lab's PC adapter (or there is none,
// in the variant that removed it).
bool OnlyLabAdapters()
{
    // Loaded here: the scenario program links nothing of the network.
    using GetAdaptersInfoFn = ULONG(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
    const HMODULE iphlpapi = ::LoadLibraryW(L"iphlpapi.dll");
    const FARPROC proc = iphlpapi ? ::GetProcAddress(iphlpapi, "GetAdaptersInfo") : nullptr;
    // Through void*: the exported address is the function of this type.
    const auto getAdaptersInfo = reinterpret_cast<GetAdaptersInfoFn>(reinterpret_cast<void*>(proc));
    if (!getAdaptersInfo)
        return false;
    ULONG size = 0;
    const DWORD first = getAdaptersInfo(nullptr, &size);
    if (first == ERROR_NO_DATA)
        return true;
    if (first != ERROR_BUFFER_OVERFLOW)
        return false;
    std::vector<IP_ADAPTER_INFO> list(size / sizeof(IP_ADAPTER_INFO) + 1);
    if (getAdaptersInfo(list.data(), &size) != ERROR_SUCCESS)
        return false;
    for (const IP_ADAPTER_INFO* a = list.data(); a; a = a->Next) {
        if (a->AddressLength != sizeof kLabPcMac || std::memcmp(a->Address, kLabPcMac, sizeof kLabPcMac) != 0)
            return false;
    }
    return true;
}

// Reads and changes the router through tests/lab/run-gui: a request file in
// the bridge folder, answered by a response file with the status first.
class LabRouter {
public:
    LabRouter() : m_folder(scenario::EnvPath("TARVO_LAB_BRIDGE")) {}

    bool Available() const { return !m_folder.empty(); }

    // The output of a request; throws when it failed or got no answer.
    std::string Ask(const std::vector<std::string>& args, DWORD limitMs = 60000)
    {
        const std::wstring name = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++m_count);
        const std::wstring request = m_folder + L"\\req-" + name;
        const std::wstring response = m_folder + L"\\resp-" + name;
        std::string text;
        for (const std::string& arg : args)
            text += arg + "\n";
        WriteFile(request + L".tmp", text);
        if (!::MoveFileW((request + L".tmp").c_str(), request.c_str()))
            throw gui::DriverError("lab: cannot place the request " + gui::Narrow(request));

        const DWORD start = ::GetTickCount();
        std::string answer;
        while (!ReadFile(response, answer)) {
            if (::GetTickCount() - start > limitMs)
                throw gui::DriverError("lab: no answer to '" + args.front() + "'");
            ::Sleep(20);
        }
        ::DeleteFileW(response.c_str());
        const size_t newline = answer.find('\n');
        const std::string status = answer.substr(0, newline);
        const std::string output = newline == std::string::npos ? "" : answer.substr(newline + 1);
        if (status != "0")
            throw gui::DriverError("lab: '" + args.front() + "' failed: " + output);
        return output;
    }

    void Set(const std::string& setting) { Ask({"set", setting}); }
    std::string State(const std::string& filter) { return Ask({"state", filter}); }
    // The journal after sequence number since, through a jq filter.
    std::string Journal(int since, const std::string& filter) { return Ask({"journal", std::to_string(since), filter}); }
    int NextSeq() { return std::stoi(State(".journal_next_seq")); }
    bool WaitRunning(int seconds)
    {
        return Ask({"wait-running", std::to_string(seconds)}, (seconds + 30) * 1000u) == "running";
    }

private:
    static void WriteFile(const std::wstring& path, const std::string& text)
    {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw gui::DriverError("lab: cannot write " + gui::Narrow(path));
        DWORD written = 0;
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::CloseHandle(file);
    }

    static bool ReadFile(const std::wstring& path, std::string& text)
    {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        text.clear();
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
            text.append(buffer, read);
        ::CloseHandle(file);
        return true;
    }

    std::wstring m_folder;
    int m_count = 0;
};

// jq: the requests of the journal with this target, one field per line.
std::string Requests(const std::string& target, const std::string& field)
{
    return "[.[] | select(.target == \"" + target + "\") | " + field + "] | join(\"\\n\")";
}

// jq: the value of a request header (of each request with this target), one per line.
std::string HeaderOf(const std::string& target, const std::string& header)
{
    return Requests(target, "(.headers[] | select(.[0] == \"" + header + "\") | .[1])");
}

std::string Repeat(const std::string& line, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += (i ? "\n" : "") + line;
    return out;
}

constexpr char kDhcpBody[] = "dynIPHostName=Korvandel&macAddrValue=000000000000&macAddr=000000000000&save=APPLY"
                             "&submit-url=%2Fwandip.asp&wanMode=0";
constexpr char kRebootBody[] = "reset_flag=0&submit-url=%2Ftlreset.asp";

class LabConnection : public scenario::WizardScenario {
protected:
    void SetUp() override
    {
        if (!router.Available())
            GTEST_SKIP() << "only in the network lab (tests/lab/run-gui)";
        if (!OnlyLabAdapters())
            GTEST_SKIP() << "this is not the lab's PC namespace: the wizard would reach a real network";
        WizardScenario::SetUp();
        m_since = router.NextSeq() - 1;
    }

    void TearDown() override
    {
        if (gui.ProcessId() && scenario::RunLog().Available()) {
            const std::vector<std::string> exceptions = scenario::RunLog().Exceptions(gui.ProcessId());
            EXPECT_TRUE(exceptions.empty()) << "Wine reports exceptions:" << Lines(exceptions);
        }
        WizardScenario::TearDown();
        if (gui.IsRunning()) {
            gui.Close();
            gui.WaitForExit();
        }
    }

    // From the start to page 5 with a connection type and its account.
    void WalkToPage5(int radio, const std::wstring& user = L"", const std::wstring& password = L"")
    {
        StartWizard();
        gui.ExpectPage(1);
        gui.ClickLabel(IDC_CP1_NEXT);
        gui.ExpectPage(2);
        gui.ClickLabel(IDC_NEXT);
        gui.ExpectPage(3);
        gui.ClickLabel(IDC_NEXT);
        gui.ExpectPage(4);
        gui.Tick(radio);
        if (radio == IDC_RADIO_PPPOE) {
            gui.TypeText(IDC_EDIT_FIELD, user);
            gui.TypeText(IDC_EDIT_PASSWORD, password);
        } else if (radio == IDC_RADIO_BIGPOND) {
            gui.TypeText(IDC_EDIT_BP_USER, user);
            gui.TypeText(IDC_EDIT_BP_PASSWORD, password);
        }
        gui.Screenshot(L"lab-" + scenario::CurrentName() + L"-page4");
        gui.ClickLabel(IDC_CONN_NEXT);
        gui.ExpectPage(5);
    }

    // The bar of page 5, or -1 when page 5 is not up.
    int Bar() const
    {
        HWND bar = ::GetDlgItem(gui.PageWindow(5), IDC_PROGRESS);
        DWORD_PTR pos = 0;
        if (!bar || !::IsWindowVisible(bar) || !::SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 60000, &pos))
            return -1;
        return static_cast<int>(pos);
    }

    // Ticks of page 5 until it reads at least `bar` (its own timer runs too:
    // the count of the run, not of these ticks, is what matters).
    void TickTo(int bar)
    {
        for (int guard = 0; guard < 60 && gui.VisiblePage() == 5 && Bar() < bar; ++guard)
            Tick();
        gui.Settle();
    }

    // One tick for page 5. Its own timer may move the wizard on to another
    // page at the same moment; only a tick that page 5 itself cannot take fails.
    void Tick()
    {
        try {
            gui.TimerTicks(kApplyTimer, 1);
        } catch (const gui::DriverError&) {
            ::Sleep(200);
            if (gui.VisiblePage() == 5)
                throw;
        }
    }

    // The settings post (first tick) and the restart (third tick); then the
    // router is given the time its restart takes.
    void ApplyAndRestart()
    {
        TickTo(2);
        ASSERT_EQ(gui.VisiblePage(), 5) << "the settings post failed";
        gui.Screenshot(L"lab-" + scenario::CurrentName() + L"-page5");
        TickTo(6);
        ASSERT_EQ(gui.VisiblePage(), 5) << "the restart failed";
        ASSERT_TRUE(router.WaitRunning(30)) << "the router did not come back";
    }

    // The rest of the run: the wait and the Internet check at the 48th tick.
    // The last bar page 5 showed before it gave way.
    int FinishRun()
    {
        int last = Bar();
        for (int guard = 0; guard < 60 && gui.VisiblePage() == 5; ++guard) {
            if (const int bar = Bar(); bar >= 0)
                last = bar;
            Tick();
        }
        gui.Settle();
        return last;
    }

    void ExpectResultPage(int page)
    {
        gui.ExpectPage(page, 30000);
        gui.Screenshot(L"lab-" + scenario::CurrentName() + L"-page" + std::to_wstring(page));
    }

    // A complete run from the first tick to page 6.
    void RunToPage6()
    {
        ApplyAndRestart();
        const int last = FinishRun();
        EXPECT_TRUE(last == 94 || last == 92) << "page 5 gave way at " << last << " instead of after 94";
        ExpectResultPage(6);
    }

    // Ticks boxes of page 11 or 13 and presses ReCheck.
    void ReCheckWith(std::initializer_list<int> boxes)
    {
        for (int box : boxes)
            EXPECT_TRUE(gui.Tick(box)) << box;
        gui.ClickLabel(IDC_RECHECK);
        gui.Settle();
    }

    void ExpectBoxesClear()
    {
        for (int box : {IDC_CHECK_ITEM1, IDC_CHECK_ITEM2, IDC_CHECK_ITEM3})
            EXPECT_FALSE(gui.IsChecked(box)) << box;
    }

    // Requests that reached the router during the scenario, "METHOD target" each.
    std::string Trace() { return router.Journal(m_since, "[.[] | .method + \" \" + .target] | join(\", \")"); }
    std::string Posted(const std::string& target) { return router.Journal(m_since, Requests(target, ".body")); }

    void ExpectFormHeaders(const std::string& target, const std::string& referrer, int times,
                           const std::string& authorization = kFactoryAuthorization)
    {
        EXPECT_EQ(router.Journal(m_since, HeaderOf(target, "Referer")), Repeat(referrer, times)) << target;
        EXPECT_EQ(router.Journal(m_since, HeaderOf(target, "Authorization")), Repeat(authorization, times)) << target;
        EXPECT_EQ(router.Journal(m_since, HeaderOf(target, "Content-Type")),
                  Repeat("application/x-www-form-urlencoded", times))
            << target;
    }

    LabRouter router;
    int m_since = 0;
};

} // namespace

TEST_F(LabConnection, Dhcp)
{
    router.Set("wan-type=none");
    const int bootBefore = std::stoi(router.State(".boot"));
    WalkToPage5(IDC_RADIO_DHCP);
    ApplyAndRestart();

    EXPECT_EQ(Posted("/goform/formWanTcpipSetup"), kDhcpBody);
    ExpectFormHeaders("/goform/formWanTcpipSetup", "http://192.168.2.1/wandip.asp", 1);
    EXPECT_EQ(Posted("/goform/formReboot"), kRebootBody);
    ExpectFormHeaders("/goform/formReboot", "http://192.168.2.1/tlreset.asp", 1);
    EXPECT_EQ(Trace(), "POST /goform/formWanTcpipSetup, POST /goform/formReboot");

    const int last = FinishRun();
    EXPECT_TRUE(last == 94 || last == 92) << "page 5 gave way at " << last << " instead of after 94";
    ExpectResultPage(6);
    EXPECT_EQ(router.State(".running.wan.type"), "dhcp");
    EXPECT_EQ(router.State(".boot"), std::to_string(bootBefore + 1)) << "restarted once";
    EXPECT_EQ(router.State(".internet.up"), "true");
    // The https site answered first, so the http one was never asked.
    EXPECT_EQ(router.State("[.sites[] | select(.address == \"198.51.100.10\" and .port == 443) | .connections] | "
                           "add > 0"),
              "true");
    EXPECT_EQ(router.State("[.sites[] | select(.address == \"198.51.100.11\") | .connections] | add"), "0");

    // Next leads on to the router settings.
    gui.ClickLabel(IDC_CONN_NEXT);
    gui.ExpectPage(16);
}

TEST_F(LabConnection, PppoeAccepted)
{
    router.Set("wan-type=none");
    WalkToPage5(IDC_RADIO_PPPOE, L"customer@isp", L"isp2024");
    RunToPage6();
    EXPECT_EQ(Posted("/goform/formWanTcpipSetup"),
              "redirect=&pppUserName=customer@isp&pppPassword=isp2024&pppServName=&pppMTU=1392&pppConnectType=0"
              "&save=OK&submit-url=%2Fwanpppoe.html&isApply=1&wanMode=2&ipMode=ppp");
    ExpectFormHeaders("/goform/formWanTcpipSetup", "http://192.168.2.1/wanpppoe.asp", 1);
    EXPECT_EQ(router.State(".running.wan.type + \" \" + .running.wan.user + \" \" + .running.wan.password"),
              "pppoe customer@isp isp2024");
    EXPECT_EQ(router.State(".internet.up"), "true");
}

TEST_F(LabConnection, PppoeAccountWithFormCharacters)
{
    // The provider's account holds what a form body would otherwise split or decode.
    router.Set("provider-user=a&b%41+c");
    router.Set("provider-password=p=1#2%");
    WalkToPage5(IDC_RADIO_PPPOE, L"a&b%41+c", L"p=1#2%");
    RunToPage6();
    EXPECT_EQ(Posted("/goform/formWanTcpipSetup"),
              "redirect=&pppUserName=a%26b%2541%2Bc&pppPassword=p%3D1%232%25&pppServName=&pppMTU=1392&pppConnectType=0"
              "&save=OK&submit-url=%2Fwanpppoe.html&isApply=1&wanMode=2&ipMode=ppp");
    EXPECT_EQ(router.State(".saved.wan.user"), "a&b%41+c");
    EXPECT_EQ(router.State(".saved.wan.password"), "p=1#2%");
    EXPECT_EQ(router.State(".internet.up"), "true");
}

TEST_F(LabConnection, PppoeRefusedAccount)
{
    WalkToPage5(IDC_RADIO_PPPOE, L"someone@isp", L"guess");
    ApplyAndRestart();
    FinishRun();
    ExpectResultPage(13);
    EXPECT_EQ(router.State(".saved.wan.user"), "someone@isp");
    EXPECT_EQ(router.State(".internet.up"), "false");
    // Both sites were tried, in their order, and neither answered.
    EXPECT_EQ(router.State("[.sites[] | .connections] | add"), "0");

    // ReCheck does nothing until all three points are confirmed.
    ExpectBoxesClear();
    ReCheckWith({IDC_CHECK_ITEM1, IDC_CHECK_ITEM3});
    gui.ExpectPage(13);
    ReCheckWith({IDC_CHECK_ITEM2});
    gui.ExpectPage(5);

    // The whole sequence runs again; the account is still refused, and page
    // 13 comes back clean.
    ApplyAndRestart();
    FinishRun();
    ExpectResultPage(13);
    ExpectBoxesClear();
    EXPECT_EQ(Trace(), "POST /goform/formWanTcpipSetup, POST /goform/formReboot, POST /goform/formWanTcpipSetup, "
                       "POST /goform/formReboot");
}

TEST_F(LabConnection, BigPond)
{
    router.Set("wan-type=none");
    WalkToPage5(IDC_RADIO_BIGPOND, L"customer@isp", L"isp2024");
    RunToPage6();
    EXPECT_EQ(Posted("/goform/formTELBPSetup"),
              "telBPUserName=customer@isp&telBPPassword=isp2024&save=OK&submit-url=%2Ftemplate1.html&isApply=1"
              "&wanMode=4");
    ExpectFormHeaders("/goform/formTELBPSetup", "http://192.168.2.1/wantelstra.asp", 1);
    EXPECT_EQ(router.State(".running.wan.type"), "bigpond");
    EXPECT_EQ(router.State(".internet.up"), "true");
}

TEST_F(LabConnection, PasswordRefusedAtSetup)
{
    router.Set("password=Secr3t");
    WalkToPage5(IDC_RADIO_DHCP);
    TickTo(2);
    gui.WaitForPopup(IDC_WAIT_PASSWORD);
    EXPECT_EQ(gui.VisiblePage(), 5) << "page 5 stays behind the password prompt";
    gui.Screenshot(L"lab-" + scenario::CurrentName() + L"-password");
    EXPECT_EQ(router.Journal(m_since, "[.[] | .status | tostring] | join(\",\")"), "401");

    gui.TypeText(IDC_WAIT_PASSWORD, L"Secr3t");
    gui.ClickButton(IDC_WAIT_OK);
    gui.ExpectPage(5);
    RunToPage6();
    // The refused post, then the whole run with the new password.
    EXPECT_EQ(Trace(), "POST /goform/formWanTcpipSetup, POST /goform/formWanTcpipSetup, POST /goform/formReboot");
    EXPECT_EQ(router.Journal(m_since, HeaderOf("/goform/formWanTcpipSetup", "Authorization")),
              std::string(kFactoryAuthorization) + "\nBasic YWRtaW46U2VjcjN0"); // admin:Secr3t
    EXPECT_EQ(router.Journal(m_since, HeaderOf("/goform/formReboot", "Authorization")), "Basic YWRtaW46U2VjcjN0");
    EXPECT_EQ(router.State(".running.wan.type"), "dhcp");
}

TEST_F(LabConnection, PasswordRefusedAtRestart)
{
    router.Set("fault-refuse-password=/goform/formReboot");
    WalkToPage5(IDC_RADIO_DHCP);
    TickTo(2);
    ASSERT_EQ(gui.VisiblePage(), 5);
    TickTo(6);
    gui.WaitForPopup(IDC_WAIT_PASSWORD);
    gui.Screenshot(L"lab-" + scenario::CurrentName() + L"-password");
    EXPECT_EQ(router.Journal(m_since, "[.[] | .target + \" \" + (.status | tostring)] | join(\", \")"),
              "/goform/formWanTcpipSetup 200, /goform/formReboot 401");

    router.Set("fault-refuse-password=off");
    gui.TypeText(IDC_WAIT_PASSWORD, L"6093");
    gui.ClickButton(IDC_WAIT_OK);
    gui.ExpectPage(5);
    RunToPage6();
    // After the new password the run starts again with the settings post.
    EXPECT_EQ(Trace(), "POST /goform/formWanTcpipSetup, POST /goform/formReboot, POST /goform/formWanTcpipSetup, "
                       "POST /goform/formReboot");
    EXPECT_EQ(Posted("/goform/formWanTcpipSetup"), std::string(kDhcpBody) + "\n" + kDhcpBody);
}

TEST_F(LabConnection, RouterDown)
{
    // The router restarts and does not come back: its port refuses connections.
    router.Set("fault-no-return=on");
    router.Ask({"restart"});
    WalkToPage5(IDC_RADIO_DHCP);
    TickTo(2);
    ExpectResultPage(11);

    ReCheckWith({IDC_CHECK_ITEM1, IDC_CHECK_ITEM2});
    gui.ExpectPage(11);
    ReCheckWith({IDC_CHECK_ITEM3});
    // Page 5 again, which finds the router still down: page 11, clean.
    gui.ExpectPage(5);
    TickTo(2);
    ExpectResultPage(11);
    ExpectBoxesClear();
    EXPECT_EQ(Trace(), "");
}

TEST_F(LabConnection, RouterNeverBack)
{
    router.Set("fault-no-return=on");
    WalkToPage5(IDC_RADIO_DHCP);
    TickTo(2);
    TickTo(6);
    ASSERT_EQ(gui.VisiblePage(), 5);
    FinishRun();
    // No Internet while the router is away.
    ExpectResultPage(13);
    EXPECT_NE(router.State(".phase"), "running");

    // Checking again finds no router at all.
    ReCheckWith({IDC_CHECK_ITEM1, IDC_CHECK_ITEM2, IDC_CHECK_ITEM3});
    gui.ExpectPage(5);
    TickTo(2);
    ExpectResultPage(11);
    EXPECT_EQ(Trace(), "POST /goform/formWanTcpipSetup, POST /goform/formReboot");
}

TEST_F(LabConnection, RouterPagesTooLarge)
{
    // An answer that fills the wizard's whole buffer is a failed exchange.
    router.Set("fault-big-pages=/goform/formWanTcpipSetup");
    WalkToPage5(IDC_RADIO_DHCP);
    TickTo(2);
    ExpectResultPage(11);
    EXPECT_EQ(Trace(), "POST /goform/formWanTcpipSetup");

    // The restart's answer too large: page 11 after the settings went through.
    router.Set("fault-big-pages=/goform/formReboot");
    ReCheckWith({IDC_CHECK_ITEM1, IDC_CHECK_ITEM2, IDC_CHECK_ITEM3});
    gui.ExpectPage(5);
    TickTo(2);
    ASSERT_EQ(gui.VisiblePage(), 5);
    TickTo(6);
    ExpectResultPage(11);
    EXPECT_EQ(Trace(), "POST /goform/formWanTcpipSetup, POST /goform/formWanTcpipSetup, POST /goform/formReboot");
}

TEST_F(LabConnection, AdapterWithoutGateway)
{
    WalkToPage5(IDC_RADIO_DHCP);
    TickTo(2);
    ExpectResultPage(11);
    EXPECT_EQ(Trace(), "") << "no router address: nothing is sent";
}

TEST_F(LabConnection, NoWiredAdapter)
{
    WalkToPage5(IDC_RADIO_DHCP);
    TickTo(2);
    ExpectResultPage(12);
    // Page 12's ReCheck needs no confirmation: page 5 at once, then page 12 again.
    gui.ClickLabel(IDC_RECHECK);
    gui.ExpectPage(5);
    TickTo(2);
    ExpectResultPage(12);
    EXPECT_EQ(Trace(), "");
}
