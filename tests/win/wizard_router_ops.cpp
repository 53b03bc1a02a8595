// The main window's router operations over a stand-in router: what they send,
// what they answer and which page they leave up.
#include "pages_fixture.h"

#include <cstring>
#include <functional>
#include <optional>

using routertest::Answer;
using routertest::StatusPage;

namespace {

constexpr unsigned kWireless = 71;

AdapterFacts Wired(const char* gateway, bool dhcp)
{
    return {kAdapterTypeEthernet, gateway, dhcp};
}

class RouterOps : public pagetest::RouterPagesTest {
protected:
    void SetUp() override
    {
        RouterPagesTest::SetUp();
        if (!HasFatalFailure())
            Dlg().ShowPage(4); // where the user stands before page 5 starts its work
    }

    // Runs a form-sending operation of the session to its end.
    PostOutcome Run(bool (CWizardSession::*operation)(std::function<void(PostOutcome)>)) const
    {
        std::optional<PostOutcome> outcome;
        EXPECT_TRUE((Session().*operation)([&](PostOutcome result) { outcome = result; }));
        EXPECT_TRUE(Settle());
        EXPECT_TRUE(outcome.has_value()) << "done runs once the work has ended";
        return outcome.value_or(PostOutcome::NotSent);
    }
    void ReadWirelessName() const
    {
        bool done = false;
        EXPECT_TRUE(Session().ReadWirelessName([&] { done = true; }));
        EXPECT_TRUE(Settle());
        EXPECT_TRUE(done);
    }
};

} // namespace

TEST_F(RouterOps, FindRouterAdapterTakesTheWiredGateway)
{
    link.adapters = {{kWireless, "10.9.9.9", true}, Wired("0.0.0.0", false), Wired("192.168.2.1", true)};
    RouterAdapterLookup found = FindRouterAdapter(link);
    EXPECT_TRUE(found.dhcp);
    EXPECT_EQ(found.gateway, L"192.168.2.1");

    link.adapters = {Wired("10.0.0.138", false)};
    found = FindRouterAdapter(link);
    EXPECT_FALSE(found.dhcp) << "a fixed address";
    EXPECT_EQ(found.gateway, L"10.0.0.138");

    // Without a wired adapter, or without the list, there is no address.
    link.adapters = {{kWireless, "172.16.0.1", true}};
    EXPECT_FALSE(FindRouterAdapter(link).gateway.has_value());
    link.listable = false;
    EXPECT_FALSE(FindRouterAdapter(link).gateway.has_value());
    EXPECT_FALSE(FindRouterAdapter(link).dhcp);
}

TEST_F(RouterOps, SetupWanPostsTheChosenTypesAccountToTheAdaptersGateway)
{
    // Not the factory address: the router is wherever the wired adapter's gateway is.
    link.adapters = {Wired("0.0.0.0", true), Wired("10.0.0.2", true)};
    Session().m_strPppoeUser = L"pppoe&user";
    Session().m_strBigPondUser = L"bp";
    Session().m_strAdminPassword = L"Adm1n";
    Session().m_nWanType = 3;
    EXPECT_EQ(Run(&CWizardSession::SetupWan), PostOutcome::Taken);
    EXPECT_EQ(link.Trace(), L"OPEN 10.0.0.2, POST /goform/formTELBPSetup");
    EXPECT_EQ(link.calls[0].password, L"Adm1n");
    EXPECT_EQ(link.calls[1].referrer, L"http://10.0.0.2/wantelstra.asp");
    EXPECT_EQ(link.calls[1].body.rfind(L"telBPUserName=bp&", 0), 0u);
    EXPECT_EQ(Session().m_strRouterIP, L"10.0.0.2");
    Session().m_nWanType = 2;
    EXPECT_EQ(Run(&CWizardSession::SetupWan), PostOutcome::Taken);
    EXPECT_NE(link.calls.back().body.find(L"&pppUserName=pppoe%26user&"), std::wstring::npos);
    EXPECT_EQ(VisiblePages(), std::vector<int>{4}) << "the operations switch no page";
}

TEST_F(RouterOps, SetupWanOutcomeForEachFailure)
{
    const wchar_t* const tcpip = L"OPEN 192.168.2.1, POST /goform/formWanTcpipSetup";
    const struct {
        const char* what;
        int type;
        std::vector<AdapterFacts> adapters;
        int openResult;
        Answer answer;
        PostOutcome outcome;
        const wchar_t* trace;
        const wchar_t* routerIP;
    } cases[] = {
        // A refused login is told apart; any other status is a taken form.
        {"401", 1, {Wired("192.168.2.1", true)}, 0, {0, 401, L"denied"}, PostOutcome::Refused, tcpip, L"192.168.2.1"},
        {"500", 1, {Wired("192.168.2.1", true)}, 0, {0, 500, L""}, PostOutcome::Taken, tcpip, L"192.168.2.1"},
        {"error text",
         1,
         {Wired("192.168.2.1", true)},
         0,
         {0, 200, L"ERROR: bad form"},
         PostOutcome::Taken,
         tcpip,
         L"192.168.2.1"},
        {"wireless only",
         1,
         {{kWireless, "192.168.2.1", true}},
         0,
         {0, 200, L""},
         PostOutcome::NoRouterAdapter,
         L"",
         L"before"},
        {"fixed address",
         1,
         {Wired("192.168.2.1", false)},
         0,
         {0, 200, L""},
         PostOutcome::NoRouterAdapter,
         L"",
         L"192.168.2.1"},
        // The gateway stays even when the set-up fails.
        {"no gateway", 2, {Wired("0.0.0.0", true)}, 0, {0, 200, L""}, PostOutcome::Failed, L"", L"0.0.0.0"},
        {"empty gateway", 2, {Wired("", true)}, 0, {0, 200, L""}, PostOutcome::Failed, L"", L""},
        {"router silent",
         2,
         {Wired("192.168.2.1", true)},
         3,
         {0, 200, L""},
         PostOutcome::Failed,
         L"OPEN 192.168.2.1",
         L"192.168.2.1"},
        {"request failed",
         2,
         {Wired("192.168.2.1", true)},
         0,
         {12002, 0, L""},
         PostOutcome::Failed,
         tcpip,
         L"192.168.2.1"},
        {"answer fills the buffer",
         2,
         {Wired("192.168.2.1", true)},
         0,
         {0, 200, std::wstring(0x10000, L'x')},
         PostOutcome::Failed,
         tcpip,
         L"192.168.2.1"},
        {"no type: the connection only",
         0,
         {Wired("192.168.2.1", true)},
         0,
         {0, 200, L""},
         PostOutcome::NotSent,
         L"OPEN 192.168.2.1",
         L"192.168.2.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Session().m_nWanType = c.type;
        Session().m_strRouterIP = L"before";
        link.calls.clear();
        link.adapters = c.adapters;
        link.openResult = c.openResult;
        link.answers = {c.answer};
        EXPECT_EQ(Run(&CWizardSession::SetupWan), c.outcome);
        EXPECT_EQ(VisiblePages(), std::vector<int>{4});
        EXPECT_EQ(link.Trace(), c.trace);
        EXPECT_EQ(Session().m_strRouterIP, c.routerIP);
    }
}

TEST_F(RouterOps, RebootRouterPostsToTheKnownAddressAndAnswers)
{
    Session().m_strRouterIP = L"10.1.2.3";
    Session().m_strAdminPassword = L"NewPass1";
    const wchar_t* const posted = L"OPEN 10.1.2.3, POST /goform/formReboot";
    const struct {
        const char* what;
        int openResult;
        Answer answer;
        PostOutcome outcome;
        const wchar_t* trace;
    } cases[] = {{"200", 0, {0, 200, L""}, PostOutcome::Taken, posted},
                 {"401", 0, {0, 401, L""}, PostOutcome::Refused, posted},
                 {"500", 0, {0, 500, L""}, PostOutcome::Taken, posted},
                 {"cannot connect", 0, {12029, 0, L""}, PostOutcome::Failed, posted},
                 {"router silent", 2, {0, 200, L""}, PostOutcome::Failed, L"OPEN 10.1.2.3"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        link.calls.clear();
        link.openResult = c.openResult;
        link.answers = {c.answer};
        EXPECT_EQ(Run(&CWizardSession::RebootRouter), c.outcome);
        EXPECT_EQ(VisiblePages(), std::vector<int>{4});
        EXPECT_EQ(link.Trace(), c.trace);
        EXPECT_EQ(link.calls[0].password, L"NewPass1");
    }
    EXPECT_EQ(link.adapterQueries, 0) << "a restart does not look for the router again";
}

TEST_F(RouterOps, OneOperationAtATimeAndTheWorkRunsOffTheWindowsThread)
{
    DWORD workThread = 0;
    link.onCheck = [&] { workThread = ::GetCurrentThreadId(); };
    bool first = false, second = false;
    EXPECT_TRUE(Session().CheckInternet([&](bool) { first = true; }));
    EXPECT_TRUE(Session().Busy());
    EXPECT_FALSE(Session().CheckInternet([&](bool) { second = true; })) << "refused while the first is in flight";
    EXPECT_TRUE(Settle());
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);
    EXPECT_NE(workThread, 0u);
    EXPECT_NE(workThread, ::GetCurrentThreadId());
}

TEST_F(RouterOps, ReadWirelessNameTakesTheNameAsAValueIntoPage18)
{
    Session().m_strAdminPassword = L"Changed7";
    link.answers = {{0, 200, StatusPage(L"&nbsp;Orv%s%d   ")}};
    ReadWirelessName();
    EXPECT_EQ(link.Trace(), L"OPEN 192.168.2.1, GET /stadevice.asp");
    EXPECT_EQ(link.calls[0].password, L"Changed7");
    EXPECT_EQ(Session().m_strSSID, L"Orv%s%d");
    EXPECT_EQ(VisiblePages(), std::vector<int>{4}) << "it only reads";

    Dlg().ShowPage(18);
    EXPECT_EQ(TextOf(Item(18, IDC_CP7_SSID)), L"Orv%s%d");
    std::wstring expected = EnglishValue(L"IDS_P7_STATIC3");
    const size_t slot = expected.find(L"%s");
    ASSERT_NE(slot, std::wstring::npos) << "the sentence names the network";
    expected.replace(slot, 2, L"Orv%s%d"); // the name is a value, never a format
    EXPECT_EQ(MarkupOf(18, IDC_CP7_STATIC3), expected);
    EXPECT_NE(TextOf(Item(18, IDC_CP7_STATIC3)).find(L"called Orv%s%d.\nComputers"), std::wstring::npos)
        << "a screen reader reads it without tags";
}

TEST_F(RouterOps, ReadWirelessNameKeepsTheNameWhenTheRouterDoesNotTellIt)
{
    const struct {
        int openResult;
        Answer answer;
        const char* what;
    } cases[] = {
        {3, {0, 200, L""}, "router unreachable"},
        {0, {12002, 0, L""}, "request timed out"},
        {0, {0, 500, StatusPage(L"&nbsp;Other")}, "status 500"},
        {0, {0, 401, StatusPage(L"&nbsp;Other")}, "login refused"},
        {0, {0, 200, L"<html>no cell here</html>"}, "no marker"},
        {0, {0, 200, std::wstring(0x10000, L'x') + StatusPage(L"&nbsp;Other")}, "page too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Session().m_strSSID = L"Known";
        link.openResult = c.openResult;
        link.answers = {c.answer};
        ReadWirelessName();
        EXPECT_EQ(Session().m_strSSID, L"Known");
        // Page 18 shows the name the wizard knows all the same.
        Dlg().ShowPage(18);
        EXPECT_EQ(TextOf(Item(18, IDC_CP7_SSID)), L"Known");
        EXPECT_NE(MarkupOf(18, IDC_CP7_STATIC3).find(L"Known"), std::wstring::npos);
        Dlg().ShowPage(4);
    }
}

TEST(AdapterFacts, ReadFromTheAdapterList)
{
    IP_ADAPTER_INFO adapters[3] = {};
    adapters[0].Next = &adapters[1];
    adapters[1].Next = &adapters[2];
    adapters[0].Type = IF_TYPE_IEEE80211;
    std::strcpy(adapters[0].GatewayList.IpAddress.String, "10.0.0.1");
    adapters[0].DhcpEnabled = 1;
    adapters[1].Type = MIB_IF_TYPE_ETHERNET;
    std::strcpy(adapters[1].GatewayList.IpAddress.String, "0.0.0.0");
    adapters[2].Type = MIB_IF_TYPE_ETHERNET;
    std::memset(adapters[2].GatewayList.IpAddress.String, '7', sizeof adapters[2].GatewayList.IpAddress.String);
    adapters[2].DhcpEnabled = 1;

    std::vector<AdapterFacts> facts = AdapterFactsOf(adapters, false);
    ASSERT_EQ(facts.size(), 3u);
    EXPECT_EQ(facts[0].type, static_cast<unsigned>(IF_TYPE_IEEE80211));
    EXPECT_EQ(facts[0].gateway, "10.0.0.1");
    EXPECT_TRUE(facts[0].dhcpEnabled);
    EXPECT_FALSE(facts[1].dhcpEnabled);
    EXPECT_EQ(facts[2].gateway, std::string(16, '7')) << "a full field without its end is read to its size";

    // The lab's reading: wired adapters count as DHCP, nothing else changes.
    facts = AdapterFactsOf(adapters, true);
    EXPECT_TRUE(facts[1].dhcpEnabled);
    adapters[0].DhcpEnabled = 0;
    EXPECT_FALSE(AdapterFactsOf(adapters, true)[0].dhcpEnabled);
    EXPECT_TRUE(AdapterFactsOf(nullptr, true).empty());
}

TEST(AdapterFacts, LabDhcpOnlyUnderWineAndOnlyWhenAsked)
{
    const bool underWine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    ::SetEnvironmentVariableW(L"TARVO_LAB_DHCP", nullptr);
    EXPECT_FALSE(WiredAdaptersCountAsDhcp());
    for (const wchar_t* value : {L"0", L"11", L"", L"yes"}) {
        ::SetEnvironmentVariableW(L"TARVO_LAB_DHCP", value);
        EXPECT_FALSE(WiredAdaptersCountAsDhcp());
    }
    ::SetEnvironmentVariableW(L"TARVO_LAB_DHCP", L"1");
    EXPECT_EQ(WiredAdaptersCountAsDhcp(), underWine);
    ::SetEnvironmentVariableW(L"TARVO_LAB_DHCP", nullptr);
}
