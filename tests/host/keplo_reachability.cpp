// The connection procedure on a scripted PC network with a fake clock: subnet check, alias
// walk, DHCP switch loop, and what openConnection stores.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "InterfaceControl.h"
#include "Ipv4Text.h"
#include "Reachability.h"

using namespace keplo;

namespace {

std::uint32_t Ip(const char* text) { return ParseIpv4(text); }

AdapterInfo Adapter(std::uint32_t index, std::uint32_t type, std::uint8_t macTail,
                    std::vector<AdapterAddress> addresses, std::uint32_t dhcp = 0) {
    AdapterInfo adapter;
    adapter.index = index;
    adapter.type = type;
    adapter.hardware = {0x02, 0x00, 0x00, 0x00, 0x00, macTail};
    adapter.name = L"{ADAPTER-" + std::to_wstring(index) + L"}";
    adapter.dhcpEnabled = dhcp;
    adapter.addresses = std::move(addresses);
    return adapter;
}

HardwareAddress Mac(std::uint8_t tail) {
    HardwareAddress mac{};
    mac[0] = 0x02;
    mac[5] = tail;
    return mac;
}

// A PC with adapters, a router at `router`, and a clock that only sleeping moves.
class FakeNetwork : public NetPlatform {
public:
    std::vector<AdapterInfo> adapters;
    std::vector<std::vector<AdapterInfo>> laterAdapterLists;  // handed out by later reads, in order
    std::uint32_t adapterReadError = 0;
    int adapterReads = 0;

    std::uint32_t router = Ip("192.168.2.1");
    bool routerAnswers = true;
    bool haveRoute = true;
    std::uint32_t routeInterface = 4;
    std::uint32_t routeType = 4;
    std::uint32_t directAfterMs = 0;   // an alias makes the route direct this long after it was added
    bool routeNeverDirect = false;

    std::map<std::uint32_t, std::uint8_t> foreignOwners;  // addresses another machine answers for
    std::set<std::uint32_t> refusedAliases;               // AddAlias fails for these
    std::map<std::wstring, std::wstring> registry;        // key -> NAME value

    std::uint32_t clock = 1000;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> clockJumps;  // at time t, jump to time u (once)

    std::vector<std::string> log;
    std::vector<std::wstring> commands;
    std::uint32_t totalSleptMs = 0;

    std::vector<InterfaceEntry> interfaceList;
    std::uint32_t interfaceListError = 0;
    std::uint32_t releaseResult = 0;

    std::string ToAnsi(const std::wstring& text) override { return std::string(text.begin(), text.end()); }

    std::uint32_t ReadAdapters(std::vector<AdapterInfo>& out) override {
        ++adapterReads;
        if (adapterReadError) return adapterReadError;
        if (adapterReads > 1 && !laterAdapterLists.empty()) {
            adapters = laterAdapterLists.front();
            laterAdapterLists.erase(laterAdapterLists.begin());
        }
        out = adapters;
        return 0;
    }

    bool FindBestRoute(std::uint32_t destination, RouteInfo& route) override {
        log.push_back("route");
        if (destination != router) return false;
        if (m_alias.context && !routeNeverDirect && clock - m_alias.addedAt >= directAfterMs) {
            route = {m_alias.interfaceIndex, kRouteTypeDirect};
            return true;
        }
        if (!haveRoute) return false;
        route = {routeInterface, routeType};
        return true;
    }

    bool AddAlias(std::uint32_t address, std::uint32_t mask, std::uint32_t interfaceIndex,
                  std::uint32_t& context) override {
        log.push_back("add ." + std::to_string(address & 0xFF) + " mask " + std::to_string(mask & 0xFF) + " if " +
                      std::to_string(interfaceIndex));
        if (refusedAliases.count(address)) return false;
        m_alias = {++m_nextContext, address, interfaceIndex, clock};
        context = m_alias.context;
        return true;
    }

    void DeleteAlias(std::uint32_t context) override {
        log.push_back("delete " + std::to_string(context));
        if (context == m_alias.context) m_alias = {};
    }

    bool SendArp(std::uint32_t destination, HardwareAddress& answer) override {
        log.push_back("arp ." + std::to_string(destination & 0xFF));
        answer = {};
        if (destination == router) {
            if (!routerAnswers) return false;
            answer = Mac(0xEE);
            return true;
        }
        if (auto owner = foreignOwners.find(destination); owner != foreignOwners.end()) {
            answer = Mac(owner->second);
            return true;
        }
        if (m_alias.context && destination == m_alias.address) {
            for (const AdapterInfo& adapter : adapters)
                if (adapter.index == m_alias.interfaceIndex) std::copy(adapter.hardware.begin(), adapter.hardware.end(), answer.begin());
            return true;
        }
        return false;
    }

    void FlushArpCache(std::uint32_t interfaceIndex) override { log.push_back("flush " + std::to_string(interfaceIndex)); }

    std::wstring ReadMachineString(const std::wstring& key, const std::wstring& value) override {
        if (value != L"NAME") return L"";
        auto it = registry.find(key);
        return it == registry.end() ? L"" : it->second;
    }

    std::uint32_t RunHidden(const std::wstring& commandLine) override {
        commands.push_back(commandLine);
        return 0;
    }

    std::uint32_t ReadInterfaceList(std::vector<InterfaceEntry>& entries) override {
        entries = interfaceList;
        return interfaceListError;
    }
    std::uint32_t ReleaseLease(const InterfaceEntry& entry) override {
        log.push_back("release " + std::to_string(entry.index));
        return releaseResult;
    }
    void RenewLease(const InterfaceEntry& entry) override { log.push_back("renew " + std::to_string(entry.index)); }

    void Sleep(std::uint32_t ms) override {
        log.push_back("sleep " + std::to_string(ms));
        totalSleptMs += ms;
        clock += ms;
    }

    std::uint32_t TickCount() override {
        for (auto& jump : clockJumps) {
            if (jump.first != 0 && clock >= jump.first) {
                clock = jump.second;
                jump.first = 0;
            }
        }
        return clock;
    }

    bool AliasPresent() const { return m_alias.context != 0; }
    std::uint32_t AliasAddress() const { return m_alias.address; }

    int Count(const std::string& prefix) const {
        int n = 0;
        for (const auto& entry : log) n += entry.rfind(prefix, 0) == 0;
        return n;
    }

private:
    struct Alias {
        std::uint32_t context = 0;
        std::uint32_t address = 0;
        std::uint32_t interfaceIndex = 0;
        std::uint32_t addedAt = 0;
    };
    Alias m_alias;
    std::uint32_t m_nextContext = 0;
};

ConnectTarget Router(const wchar_t* host = L"192.168.2.1") {
    return {host, L"255.255.255.0", L"admin", L"6093", 80};
}

class KeploReachability : public ::testing::Test {
protected:
    FakeNetwork net;
    ConnectionState state;
};

}  // namespace

TEST(KeploSubnetCheck, Table) {
    const std::uint32_t host = Ip("192.168.2.1");
    const std::uint32_t mask = Ip("255.255.255.0");
    struct Row {
        std::vector<AdapterAddress> addresses;
        int expected;
    };
    const Row rows[] = {
        {{{"192.168.2.10", "255.255.255.0"}}, kSubnetInside},
        {{{"0.0.0.0", "0.0.0.0"}}, kSubnetNeedsDhcp},                // no address at all
        {{{"169.254.7.7", "255.255.0.0"}}, kSubnetNeedsAlias},      // automatic private address
        {{{"192.168.0.5", "255.255.0.0"}}, kSubnetNeedsDhcp},       // covers the router, not inside its subnet
        {{{"192.168.2.10", "255.255.0.0"}}, kSubnetInside},         // inside and covering
        {{{"192.168.2.130", "255.255.255.128"}}, kSubnetInside},    // inside, smaller own subnet
        {{{"10.0.0.5", "255.0.0.0"}, {"192.168.2.20", "255.255.255.0"}}, kSubnetInside},
        {{{"192.168.2.20", "255.255.255.0"}, {"10.0.0.5", "255.0.0.0"}}, kSubnetInside},
        {{{"10.0.0.5", "255.0.0.0"}, {"192.168.0.5", "255.255.0.0"}}, kSubnetNeedsDhcp},
        {{{"192.168.2.20", "255.255.255.0"}, {"0.0.0.0", "0.0.0.0"}}, kSubnetNeedsDhcp},  // stops at once
        {{}, kSubnetNoAdapter},
    };
    for (const Row& row : rows) {
        const std::vector<AdapterInfo> adapters = {Adapter(4, kAdapterTypeEthernet, 1, row.addresses)};
        std::string what;
        for (const auto& a : row.addresses) what += a.address + "/" + a.mask + " ";
        EXPECT_EQ(SubnetCheck(adapters, 4, host, mask), row.expected) << what;
    }
    EXPECT_EQ(SubnetCheck({Adapter(4, kAdapterTypeEthernet, 1, {{"192.168.2.10", "255.255.255.0"}})}, 5, host, mask),
              kSubnetNoAdapter);
}

TEST(KeploIpv4Text, ParsesLikeTheSystemParser) {
    EXPECT_EQ(ParseIpv4("192.168.2.1"), 0xC0A80201u);
    EXPECT_EQ(ParseIpv4("255.255.255.0"), 0xFFFFFF00u);
    EXPECT_EQ(ParseIpv4("0.0.0.0"), 0u);
    EXPECT_EQ(ParseIpv4("10.1"), 0x0A000001u);
    EXPECT_EQ(ParseIpv4("0x7f.1"), 0x7F000001u);
    EXPECT_EQ(ParseIpv4("010.0.0.1"), 0x08000001u);
    EXPECT_EQ(ParseIpv4("1.2.3.4 "), 0x01020304u);
    for (const char* bad : {"", "router", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.", "1.2.3.4x", "08.1.1.1", "0x"})
        EXPECT_EQ(ParseIpv4(bad), kAddressNone) << bad;
}

TEST_F(KeploReachability, RouterOnOwnSubnetIsConfirmedByArp) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"192.168.2.10", "255.255.255.0"}}, 1)};
    net.registry[L"System\\CurrentControlSet\\Control\\Network\\{4d36e972-e325-11ce-bfc1-08002be10318}\\"
                 L"{ADAPTER-4}\\Connection"] = L"Local Area Connection";
    EXPECT_EQ(OpenConnection(state, net, Router()), kReachable);
    EXPECT_EQ(net.Count("add"), 0);
    EXPECT_EQ(net.log, (std::vector<std::string>{"route", "flush 4", "arp .1"}));
    EXPECT_EQ(state.interfaceIndex, 4u);
    EXPECT_EQ(state.hardwareAddress, Mac(0x11));
    EXPECT_EQ(state.adapterName, L"{ADAPTER-4}");
    EXPECT_EQ(state.connectionName, L"Local Area Connection");
    EXPECT_EQ(state.dhcpEnabled, 1u);

    net.routerAnswers = false;
    EXPECT_EQ(OpenConnection(state, net, Router()), kNoAnswer);
}

TEST_F(KeploReachability, AutomaticPrivateAddressGetsAnAliasInTheRoutersSubnet) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"169.254.7.7", "255.255.0.0"}})};
    net.directAfterMs = 1600;
    EXPECT_EQ(OpenConnection(state, net, Router()), kReachable);
    EXPECT_EQ(net.AliasAddress(), Ip("192.168.2.241"));
    EXPECT_NE(state.aliasContext, 0u);
    EXPECT_EQ(net.log, (std::vector<std::string>{"route", "add .241 mask 0 if 4", "route", "sleep 800", "route",
                                                 "sleep 800", "route", "arp .241", "flush 4", "arp .1"}));

    // closeConnection takes the alias away again, once.
    CloseConnection(state, net);
    EXPECT_FALSE(net.AliasPresent());
    EXPECT_EQ(state.aliasContext, 0u);
    CloseConnection(state, net);
    EXPECT_EQ(net.Count("delete"), 1);
}

TEST_F(KeploReachability, NoRouteGoesStraightToTheAliasProcedure) {
    net.haveRoute = false;
    net.adapters = {Adapter(2, kAdapterTypeEthernet, 0x22, {{"0.0.0.0", "0.0.0.0"}}),  // not connected: skipped
                    Adapter(3, 23, 0x33, {{"10.0.0.2", "255.0.0.0"}}),                // not Ethernet or wireless
                    Adapter(5, kAdapterTypeWireless, 0x55, {{"10.1.0.2", "255.255.0.0"}})};
    EXPECT_EQ(OpenConnection(state, net, Router()), kReachable);
    EXPECT_EQ(net.log.at(1), "add .241 mask 0 if 5");
    EXPECT_EQ(state.interfaceIndex, 0u);  // the route was never found

    net.adapters = {Adapter(2, kAdapterTypeEthernet, 0x22, {{"0.0.0.0", "0.0.0.0"}})};
    EXPECT_EQ(OpenConnection(state, net, Router()), kNoAdapterForAlias);
}

TEST_F(KeploReachability, AliasWalkSkipsTakenAndRefusedAddresses) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"169.254.7.7", "255.255.0.0"}})};
    net.foreignOwners[Ip("192.168.2.241")] = 0x99;  // answered by the wrong hardware address
    net.refusedAliases.insert(Ip("192.168.2.242"));
    EXPECT_EQ(OpenConnection(state, net, Router()), kReachable);
    EXPECT_EQ(net.AliasAddress(), Ip("192.168.2.243"));
    EXPECT_EQ(net.log, (std::vector<std::string>{"route", "add .241 mask 0 if 4", "route", "arp .241", "delete 1",
                                                 "sleep 500", "add .242 mask 0 if 4", "add .243 mask 0 if 4", "route",
                                                 "arp .243", "flush 4", "arp .1"}));
}

TEST_F(KeploReachability, RouteNeverDirectWalksAllCandidatesIn30Seconds) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"169.254.7.7", "255.255.0.0"}}),
                    Adapter(6, kAdapterTypeEthernet, 0x66, {{"172.16.0.9", "255.255.0.0"}})};
    net.routeNeverDirect = true;
    EXPECT_EQ(OpenConnection(state, net, Router()), kNoAnswer);
    EXPECT_EQ(net.Count("add .24"), 14);  // .241-.247 on each adapter
    EXPECT_EQ(net.Count("arp"), 0);
    // 38 waits of 800 ms pass 30,000 ms; every candidate but the first deletes its predecessor.
    EXPECT_EQ(net.Count("sleep 800"), 14 * 38);
    EXPECT_EQ(net.Count("delete"), 13);
    EXPECT_EQ(net.log.at(net.log.size() - 1 - 1 - 38 * 2), "add .247 mask 0 if 6");

    // The failed trial leaves its alias on record; the next connection forgets it without
    // deleting, closeConnection before that removes it.
    EXPECT_TRUE(net.AliasPresent());
    EXPECT_NE(state.aliasContext, 0u);
    CloseConnection(state, net);
    EXPECT_FALSE(net.AliasPresent());
}

TEST_F(KeploReachability, FailedTrialsAliasIsDeletedByTheNextTrial) {
    net.haveRoute = false;
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"169.254.7.7", "255.255.0.0"}}),
                    Adapter(6, kAdapterTypeEthernet, 0x66, {{"172.16.0.9", "255.255.0.0"}})};
    net.routerAnswers = false;  // the first adapter's trial ends at the router's silence
    EXPECT_EQ(OpenConnection(state, net, Router()), kNoAnswer);
    const std::vector<std::string> secondTrialStart = {"add .241 mask 0 if 4", "route", "arp .241", "flush 4", "arp .1",
                                                       "delete 1", "sleep 500", "add .241 mask 0 if 6"};
    EXPECT_TRUE(std::search(net.log.begin(), net.log.end(), secondTrialStart.begin(), secondTrialStart.end()) !=
                net.log.end());
    EXPECT_EQ(state.aliasContext, 2u);
}

TEST_F(KeploReachability, TickCountGoingBackwardsRestartsTheWait) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"169.254.7.7", "255.255.0.0"}})};
    net.routeNeverDirect = true;
    net.clock = 0xFFFFF000u;                 // close to the wrap of a 32-bit tick count
    net.clockJumps = {{0xFFFFFC00u, 100u}};  // wraps after a few waits
    net.refusedAliases = {Ip("192.168.2.242"), Ip("192.168.2.243"), Ip("192.168.2.244"), Ip("192.168.2.245"),
                          Ip("192.168.2.246"), Ip("192.168.2.247")};
    EXPECT_EQ(OpenConnection(state, net, Router()), kNoAnswer);
    // Four waits before the wrap, then a full 30 s from the new start: no early give-up
    // and no endless wait.
    EXPECT_EQ(net.Count("sleep 800"), 4 + 38);
}

TEST_F(KeploReachability, DhcpSwitchLoopEndsAtTheSixthAttempt) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"0.0.0.0", "0.0.0.0"}}, 0)};
    net.registry[ConnectionNameKey(L"{ADAPTER-4}")] = L"Local Area Connection 2";
    EXPECT_EQ(OpenConnection(state, net, Router()), kNoAnswer);
    ASSERT_EQ(net.commands.size(), 5u);
    EXPECT_EQ(net.commands[0], L"netsh.exe interface ip set address \"Local Area Connection 2\" source=DHCP");
    EXPECT_EQ(net.totalSleptMs, 5u * 10000u);
    EXPECT_EQ(net.adapterReads, 1 + 5);
    EXPECT_EQ(net.Count("add"), 0);

    // An interface that already uses DHCP is not switched again, but is given the same time.
    net = FakeNetwork{};
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"0.0.0.0", "0.0.0.0"}}, 1)};
    net.registry[ConnectionNameKey(L"{ADAPTER-4}")] = L"LAN";
    EXPECT_EQ(OpenConnection(state, net, Router()), kNoAnswer);
    EXPECT_TRUE(net.commands.empty());
    EXPECT_EQ(net.totalSleptMs, 50000u);
}

TEST_F(KeploReachability, DhcpSwitchThatBringsAnAddressSucceeds) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"0.0.0.0", "0.0.0.0"}}, 0)};
    net.registry[ConnectionNameKey(L"{ADAPTER-4}")] = L"LAN";
    net.laterAdapterLists = {{Adapter(4, kAdapterTypeEthernet, 0x11, {{"192.168.2.100", "255.255.255.0"}}, 1)}};
    EXPECT_EQ(OpenConnection(state, net, Router()), kReachable);
    EXPECT_EQ(net.commands.size(), 1u);
    EXPECT_EQ(state.dhcpEnabled, 1u);  // read again after the switch

    // A list that cannot be read after the switch ends the procedure.
    net = FakeNetwork{};
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"0.0.0.0", "0.0.0.0"}}, 1)};
    struct FailingSecondRead : FakeNetwork {
        std::uint32_t ReadAdapters(std::vector<AdapterInfo>& out) override {
            return adapterReads++ == 0 ? (out = adapters, 0u) : 122u;
        }
    } failing;
    failing.adapters = net.adapters;
    EXPECT_EQ(OpenConnection(state, failing, Router()), kAdaptersUnreadable);
}

TEST_F(KeploReachability, RouteAdapterMissingFromTheList) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"192.168.2.10", "255.255.255.0"}})};
    net.routeInterface = 9;
    EXPECT_EQ(OpenConnection(state, net, Router()), kRouteAdapterMissing);
    EXPECT_EQ(state.interfaceIndex, 9u);
    EXPECT_TRUE(state.adapterName.empty());
    EXPECT_EQ(state.hardwareAddress, HardwareAddress{});
}

TEST_F(KeploReachability, StoresTargetWhateverTheResultAndKeepsTheCookie) {
    state.headers.cookie = L"sid=1";
    state.headers.acceptLanguage.clear();
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"192.168.2.10", "255.255.255.0"}})};
    net.routerAnswers = false;
    EXPECT_EQ(OpenConnection(state, net, {L"192.168.2.1", L"255.255.255.0", L"admin", L"secret", 8080}), kNoAnswer);
    EXPECT_EQ(state.host, L"192.168.2.1");
    EXPECT_EQ(state.user, L"admin");
    EXPECT_EQ(state.password, L"secret");
    EXPECT_EQ(state.port, 8080);
    EXPECT_EQ(state.headers.cookie, L"sid=1");
    EXPECT_EQ(state.headers.acceptLanguage, kDefaultAcceptLanguage);

    // An unreadable adapter list leaves everything as it was.
    net.adapterReadError = 1;
    state.headers.acceptLanguage.clear();
    EXPECT_EQ(OpenConnection(state, net, {L"10.0.0.1", L"255.0.0.0", L"u", L"p", 81}), kAdaptersUnreadable);
    EXPECT_EQ(state.host, L"192.168.2.1");
    EXPECT_EQ(state.port, 8080);
    EXPECT_TRUE(state.headers.acceptLanguage.empty());
}

TEST_F(KeploReachability, LoopbackHostIsNeverRepaired) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"0.0.0.0", "0.0.0.0"}}, 0)};
    net.registry[ConnectionNameKey(L"{ADAPTER-4}")] = L"LAN";
    EXPECT_EQ(OpenConnection(state, net, Router(L"127.0.0.1")), kReachable);
    EXPECT_TRUE(net.log.empty());
    EXPECT_TRUE(net.commands.empty());
    EXPECT_EQ(state.host, L"127.0.0.1");
}

TEST_F(KeploReachability, OverlongHostTextCountsAsEmpty) {
    net.adapters = {Adapter(4, kAdapterTypeEthernet, 0x11, {{"192.168.2.10", "255.255.255.0"}})};
    // 21 bytes: not parsed, so no route to the router is asked for and no alias tried for it.
    net.haveRoute = false;
    net.adapters[0].type = 23;
    EXPECT_EQ(OpenConnection(state, net, Router(L"192.168.2.1          ")), kNoAdapterForAlias);
    EXPECT_EQ(OpenConnection(state, net, Router(L"192.168.2.1         ")), kNoAdapterForAlias);
    EXPECT_EQ(state.host, L"192.168.2.1         ");
}

TEST(KeploInterfaceControl, NothingBeforeAConnection) {
    FakeNetwork net;
    ConnectionState state;
    std::uint32_t index = 77;
    EXPECT_EQ(CurrentInterfaceIndex(state, index), -1);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(ReleaseInterfaceIPAddress(state, net), -1);
    EXPECT_EQ(RenewInterfaceIPAddress(state, net), -1);
    EXPECT_EQ(SetInterfaceIPToAuto(state, net), -1);
    EXPECT_EQ(SetInterfaceDNSToAuto(state, net), -1);
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"192.168.2.50", L"", L""), -1);
    EXPECT_EQ(SetInterfaceStaticDNS(state, net, L"8.8.8.8"), -1);
    EXPECT_TRUE(net.commands.empty());
    EXPECT_TRUE(net.log.empty());
}

TEST(KeploInterfaceControl, CommandLines) {
    FakeNetwork net;
    ConnectionState state;
    state.connectionName = L"Local Area Connection";
    state.interfaceIndex = 4;

    EXPECT_EQ(SetInterfaceIPToAuto(state, net), 0);
    EXPECT_EQ(SetInterfaceDNSToAuto(state, net), -1);  // a static interface keeps its DNS
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"192.168.2.50", L"", L""), 0);
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"10.0.0.5", L"255.0.0.0", L"10.0.0.1"), 0);
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"", L"255.0.0.0", L"10.0.0.1"), -1);
    EXPECT_EQ(SetInterfaceStaticDNS(state, net, L"192.168.2.1"), 0);
    EXPECT_EQ(SetInterfaceStaticDNS(state, net, L""), 0);
    state.dhcpEnabled = 1;
    EXPECT_EQ(SetInterfaceIPToAuto(state, net), 0);  // already automatic: nothing to run
    EXPECT_EQ(SetInterfaceDNSToAuto(state, net), 0);

    const std::vector<std::wstring> expected = {
        L"netsh.exe interface ip set address \"Local Area Connection\" source=DHCP",
        L"netsh.exe interface ip set address \"Local Area Connection\" static 192.168.2.50 255.255.255.0 none",
        L"netsh.exe interface ip set address \"Local Area Connection\" static 10.0.0.5 255.0.0.0 10.0.0.1 1",
        L"netsh.exe interface ip set dns \"Local Area Connection\" static 192.168.2.1 primary",
        L"netsh.exe interface ip set dns \"Local Area Connection\" static none",
        L"netsh.exe interface ip set dns \"Local Area Connection\" source=DHCP",
    };
    EXPECT_EQ(net.commands, expected);

    std::uint32_t index = 0;
    EXPECT_EQ(CurrentInterfaceIndex(state, index), 0);
    EXPECT_EQ(index, 4u);
}

TEST(KeploInterfaceControl, CommandThatCannotStartReportsTheSystemError) {
    struct NoNetsh : FakeNetwork {
        std::uint32_t RunHidden(const std::wstring&) override { return 2; }
    } net;
    ConnectionState state;
    state.connectionName = L"LAN";
    EXPECT_EQ(SetInterfaceIPToAuto(state, net), 2);
    EXPECT_EQ(SetInterfaceStaticDNS(state, net, nullptr == nullptr ? L"" : L"x"), 2);
}

TEST(KeploInterfaceControl, LeaseReleaseAndRenewFindTheInterfaceInTheList) {
    FakeNetwork net;
    ConnectionState state;
    state.interfaceIndex = 4;
    state.dhcpEnabled = 1;
    net.interfaceList = {{3, L"\\DEVICE\\TCPIP_{3}"}, {4, L"\\DEVICE\\TCPIP_{4}"}};
    net.releaseResult = 1234;
    EXPECT_EQ(ReleaseInterfaceIPAddress(state, net), 1234);
    EXPECT_EQ(RenewInterfaceIPAddress(state, net), 0);
    EXPECT_EQ(net.log, (std::vector<std::string>{"release 4", "renew 4"}));

    state.interfaceIndex = 5;
    EXPECT_EQ(ReleaseInterfaceIPAddress(state, net), -1);
    net.interfaceList.clear();
    EXPECT_EQ(RenewInterfaceIPAddress(state, net), -1);
    net.interfaceListError = 50;
    EXPECT_EQ(ReleaseInterfaceIPAddress(state, net), 50);
    state.dhcpEnabled = 0;
    EXPECT_EQ(ReleaseInterfaceIPAddress(state, net), -1);
    EXPECT_EQ(net.log.size(), 2u);
}
