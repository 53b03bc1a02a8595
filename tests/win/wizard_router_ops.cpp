// The main window's router operations over a stand-in router: what they send,
// what they answer and which page they leave up.
#include "pages_fixture.h"

#include <cstring>

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
};

} // namespace

TEST_F(RouterOps, FindRouterAdapterTakesTheWiredGateway)
{
    link.adapters = {{kWireless, "10.9.9.9", true}, Wired("0.0.0.0", false), Wired("192.168.2.1", true)};
    EXPECT_EQ(Dlg().FindRouterAdapter(), TRUE);
    EXPECT_EQ(Dlg().m_strRouterIP, L"192.168.2.1");

    link.adapters = {Wired("10.0.0.138", false)};
    EXPECT_EQ(Dlg().FindRouterAdapter(), FALSE) << "a fixed address";
    EXPECT_EQ(Dlg().m_strRouterIP, L"10.0.0.138");

    // Without a wired adapter, or without the list, the address stays.
    link.adapters = {{kWireless, "172.16.0.1", true}};
    EXPECT_EQ(Dlg().FindRouterAdapter(), FALSE);
    EXPECT_EQ(Dlg().m_strRouterIP, L"10.0.0.138");
    link.listable = false;
    EXPECT_EQ(Dlg().FindRouterAdapter(), FALSE);
    EXPECT_EQ(Dlg().m_strRouterIP, L"10.0.0.138");
}

TEST_F(RouterOps, SetupWanPostsTheChosenTypesAccountToTheAdaptersGateway)
{
    // Not the factory address: the router is wherever the wired adapter's gateway is.
    link.adapters = {Wired("0.0.0.0", true), Wired("10.0.0.2", true)};
    Dlg().m_strPppoeUser = L"pppoe&user";
    Dlg().m_strBigPondUser = L"bp";
    Dlg().m_strAdminPassword = L"Adm1n";
    Dlg().m_nWanType = 3;
    EXPECT_EQ(Dlg().SetupWan(), 1);
    EXPECT_EQ(link.Trace(), L"OPEN 10.0.0.2, POST /goform/formTELBPSetup");
    EXPECT_EQ(link.calls[0].password, L"Adm1n");
    EXPECT_EQ(link.calls[1].referrer, L"http://10.0.0.2/wantelstra.asp");
    EXPECT_EQ(link.calls[1].body.rfind(L"telBPUserName=bp&", 0), 0u);
    Dlg().m_nWanType = 2;
    EXPECT_EQ(Dlg().SetupWan(), 1);
    EXPECT_NE(link.calls.back().body.find(L"&pppUserName=pppoe%26user&"), std::wstring::npos);
    EXPECT_EQ(VisiblePages(), std::vector<int>{4}) << "success switches no page";
}

TEST_F(RouterOps, SetupWanResultAndPageForEachFailure)
{
    const wchar_t* const tcpip = L"OPEN 192.168.2.1, POST /goform/formWanTcpipSetup";
    const struct {
        const char* what;
        int type;
        std::vector<AdapterFacts> adapters;
        int openResult;
        Answer answer;
        int result, page;
        const wchar_t* trace;
        const wchar_t* routerIP;
    } cases[] = {
        // A refused login leaves the page to the caller; any other status is a taken form.
        {"401", 1, {Wired("192.168.2.1", true)}, 0, {0, 401, L"denied"}, 2, 4, tcpip, L"192.168.2.1"},
        {"500", 1, {Wired("192.168.2.1", true)}, 0, {0, 500, L""}, 1, 4, tcpip, L"192.168.2.1"},
        {"error text", 1, {Wired("192.168.2.1", true)}, 0, {0, 200, L"ERROR: bad form"}, 1, 4, tcpip, L"192.168.2.1"},
        {"wireless only", 1, {{kWireless, "192.168.2.1", true}}, 0, {0, 200, L""}, 3, 12, L"", L"before"},
        {"fixed address", 1, {Wired("192.168.2.1", false)}, 0, {0, 200, L""}, 3, 12, L"", L"192.168.2.1"},
        // The gateway stays even when the set-up fails.
        {"no gateway", 2, {Wired("0.0.0.0", true)}, 0, {0, 200, L""}, 3, 11, L"", L"0.0.0.0"},
        {"empty gateway", 2, {Wired("", true)}, 0, {0, 200, L""}, 3, 11, L"", L""},
        {"router silent", 2, {Wired("192.168.2.1", true)}, 3, {0, 200, L""}, 3, 11, L"OPEN 192.168.2.1", L"192.168.2.1"},
        {"request failed", 2, {Wired("192.168.2.1", true)}, 0, {12002, 0, L""}, 3, 11, tcpip, L"192.168.2.1"},
        {"answer fills the buffer", 2, {Wired("192.168.2.1", true)}, 0, {0, 200, std::wstring(0x10000, L'x')}, 3,
         11, tcpip, L"192.168.2.1"},
        {"no type: the connection only", 0, {Wired("192.168.2.1", true)}, 0, {0, 200, L""}, 3, 4, L"OPEN 192.168.2.1",
         L"192.168.2.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dlg().ShowPage(4);
        Dlg().m_nWanType = c.type;
        Dlg().m_strRouterIP = L"before";
        link.calls.clear();
        link.adapters = c.adapters;
        link.openResult = c.openResult;
        link.answers = {c.answer};
        EXPECT_EQ(Dlg().SetupWan(), c.result);
        EXPECT_EQ(VisiblePages(), std::vector<int>{c.page});
        EXPECT_EQ(link.Trace(), c.trace);
        EXPECT_EQ(Dlg().m_strRouterIP, c.routerIP);
    }
}

TEST_F(RouterOps, RebootRouterPostsToTheKnownAddressAndAnswers)
{
    Dlg().m_strRouterIP = L"10.1.2.3";
    Dlg().m_strAdminPassword = L"NewPass1";
    const wchar_t* const posted = L"OPEN 10.1.2.3, POST /goform/formReboot";
    const struct {
        const char* what;
        int openResult;
        Answer answer;
        int result, page;
        const wchar_t* trace;
    } cases[] = {{"200", 0, {0, 200, L""}, 1, 4, posted},
                 {"401", 0, {0, 401, L""}, 2, 4, posted},
                 {"500", 0, {0, 500, L""}, 1, 4, posted},
                 {"cannot connect", 0, {12029, 0, L""}, 3, 11, posted},
                 {"router silent", 2, {0, 200, L""}, 3, 11, L"OPEN 10.1.2.3"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Dlg().ShowPage(4);
        link.calls.clear();
        link.openResult = c.openResult;
        link.answers = {c.answer};
        EXPECT_EQ(Dlg().RebootRouter(), c.result);
        EXPECT_EQ(VisiblePages(), std::vector<int>{c.page});
        EXPECT_EQ(link.Trace(), c.trace);
        EXPECT_EQ(link.calls[0].password, L"NewPass1");
    }
    EXPECT_EQ(link.adapterQueries, 0) << "a restart does not look for the router again";
}

TEST_F(RouterOps, ReadRouterStatusTakesTheNameAsAValueIntoPage18)
{
    Dlg().m_strAdminPassword = L"Changed7";
    link.answers = {{0, 200, StatusPage(L"&nbsp;Orv%s%d   ")}};
    Dlg().ReadRouterStatus();
    EXPECT_EQ(link.Trace(), L"OPEN 192.168.2.1, GET /stadevice.asp");
    EXPECT_EQ(link.calls[0].password, L"Changed7");
    EXPECT_EQ(Dlg().m_strSSID, L"Orv%s%d");
    EXPECT_EQ(TextOf(Item(18, IDC_CP7_SSID)), L"Orv%s%d");

    std::wstring expected = EnglishValue(L"IDS_P7_STATIC3");
    const size_t slot = expected.find(L"%s");
    ASSERT_NE(slot, std::wstring::npos) << "the sentence names the network";
    expected.replace(slot, 2, L"Orv%s%d"); // the name is a value, never a format
    EXPECT_EQ(MarkupOf(18, IDC_CP7_STATIC3), expected);
    EXPECT_NE(TextOf(Item(18, IDC_CP7_STATIC3)).find(L"called Orv%s%d.\nComputers"), std::wstring::npos)
        << "a screen reader reads it without tags";
    EXPECT_EQ(VisiblePages(), std::vector<int>{4}) << "it only prepares page 18";
}

TEST_F(RouterOps, ReadRouterStatusKeepsTheNameWhenTheRouterDoesNotTellIt)
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
        Dlg().m_strSSID = L"Known";
        link.openResult = c.openResult;
        link.answers = {c.answer};
        Dlg().ReadRouterStatus();
        EXPECT_EQ(Dlg().m_strSSID, L"Known");
        // Page 18 shows the name the wizard knows all the same.
        EXPECT_EQ(TextOf(Item(18, IDC_CP7_SSID)), L"Known");
        EXPECT_NE(MarkupOf(18, IDC_CP7_STATIC3).find(L"Known"), std::wstring::npos);
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
