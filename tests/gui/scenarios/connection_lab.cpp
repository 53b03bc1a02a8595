// The connection stage in the network lab, as a person goes through it: the
// connection type on page 4, page 5 applying it (its timer fast-forwarded),
// and the result pages, against the substitute router, whose journal and
// state say what arrived.
//
// SAFETY: these scenarios reach the router operations and the Internet
// check; they run only inside the lab's PC namespace (see LabSupport.h).
#include "LabSupport.h"

#include <shlobj.h>

#include <string>
#include <vector>

namespace {

// Basic credentials "admin:6093", as the router's journal shows them.
constexpr char kFactoryAuthorization[] = "Basic YWRtaW46NjA5Mw==";

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

class LabConnection : public lab::LabScenario {
protected:
    void SetUp() override
    {
        LabScenario::SetUp();
        if (!IsSkipped())
            m_since = router.NextSeq() - 1;
    }

    // From the start to page 5 with a connection type and its account, in the
    // language at that place of page 1's list.
    void WalkToPage5(int radio, const std::wstring& user = L"", const std::wstring& password = L"", int language = 0)
    {
        StartWizard();
        gui.ExpectPage(1);
        if (language > 0) {
            gui.OpenList(IDC_DROPLIST);
            gui.PickListEntry(IDC_DROPLIST, language);
        }
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
        Shot(L"page4");
        gui.ClickLabel(IDC_CONN_NEXT);
        gui.ExpectPage(5);
    }

    // Ticks of page 5 until it reads at least `bar` (its own timer runs too:
    // the count of the run, not of these ticks, is what matters).
    void TickTo(int bar)
    {
        for (int guard = 0; guard < 60 && gui.VisiblePage() == 5 && Bar() < bar; ++guard)
            Tick();
        gui.Settle();
    }

    // The settings post (first tick) and the restart (third tick); then the
    // router is given the time its restart takes.
    void ApplyAndRestart()
    {
        TickTo(2);
        ASSERT_EQ(gui.VisiblePage(), 5) << "the settings post failed";
        Shot(L"page5");
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
        Shot(L"page" + std::to_wstring(page));
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
        // A person's second click on the label comes after a pause; two
        // clicks within the double-click time make a double click, which a
        // label does not report as a click.
        ::Sleep(::GetDoubleClickTime() + 100);
        gui.ClickLabel(IDC_RECHECK);
        gui.Settle();
    }

    // Connections the two test sites have taken since the router started.
    int SiteConnections(const char* address, int port = 0)
    {
        const std::string portTest = port ? " and .port == " + std::to_string(port) : "";
        return std::stoi(router.State("[.sites[] | select(.address == \"" + std::string(address) + "\"" + portTest +
                                      ") | .connections] | add"));
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

    const int https = SiteConnections("198.51.100.10", 443), http = SiteConnections("198.51.100.11");
    const int last = FinishRun();
    EXPECT_TRUE(last == 94 || last == 92) << "page 5 gave way at " << last << " instead of after 94";
    ExpectResultPage(6);
    EXPECT_EQ(router.State(".running.wan.type"), "dhcp");
    EXPECT_EQ(router.State(".boot"), std::to_string(bootBefore + 1)) << "restarted once";
    EXPECT_EQ(router.State(".internet.up"), "true");
    // The https site answered first, so the http one was never asked.
    EXPECT_GT(SiteConnections("198.51.100.10", 443), https);
    EXPECT_EQ(SiteConnections("198.51.100.11"), http);

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
    const int connections = SiteConnections("198.51.100.10") + SiteConnections("198.51.100.11");
    FinishRun();
    ExpectResultPage(13);
    EXPECT_EQ(router.State(".saved.wan.user"), "someone@isp");
    EXPECT_EQ(router.State(".internet.up"), "false");
    // Neither site answered: their ports are closed while the Internet is down.
    EXPECT_EQ(SiteConnections("198.51.100.10") + SiteConnections("198.51.100.11"), connections);

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

    // The page says what happened; the run's log tells it step by step, without the account's password.
    const std::wstring says = gui.Text(IDC_CP4E_TROUBLE);
    EXPECT_NE(says.find(L"PPPoE"), std::wstring::npos) << gui::Narrow(says);
    EXPECT_NE(says.find(L"%LOCALAPPDATA%\\Tarvo\\Tarvo.log"), std::wstring::npos) << gui::Narrow(says);
    wchar_t local[MAX_PATH] = L"";
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local)));
    std::string log;
    ASSERT_TRUE(lab::ReadWhole(std::wstring(local) + L"\\Tarvo\\Tarvo.log", log));
    for (const char* line : {"connection type PPPoE, user \"someone@isp\", password ********",
                             "POST /goform/formWanTcpipSetup: status 200",
                             "Internet check https://www.google.com/: not reached", "page 13 shown"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(log.find("guess"), std::string::npos) << "the account's password is in the log";
    // Kept beside the pictures, for whoever reads the results.
    lab::WriteWhole(scenario::ShotsFolder() + L"\\PppoeRefusedAccount-Tarvo.log", log);
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
    Shot(L"password");
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
    Shot(L"password");
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
    EXPECT_NE(gui.Text(IDC_CP4D_TROUBLE).find(L"no wired network adapter"), std::wstring::npos);

    // The page's account of it in the other two languages, for the pictures.
    for (int language : {1, 2}) {
        gui.Close();
        gui.WaitForExit();
        WalkToPage5(IDC_RADIO_DHCP, L"", L"", language);
        TickTo(2);
        gui.ExpectPage(12, 30000);
        Shot(L"page12-language" + std::to_wstring(language));
    }
}
