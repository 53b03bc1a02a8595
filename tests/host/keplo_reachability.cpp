// The connection procedure on a scripted PC network with a fake clock (no real waiting):
// subnet check, alias walk, DHCP switch loop, what openConnection stores, interface commands.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "InterfaceControl.h"
#include "Ipv4Text.h"
#include "Reachability.h"

using namespace keplo;
using Log = std::vector<std::string>;

namespace {

std::uint32_t Ip(const char* text)
{
    return ParseIpv4(text);
}

AdapterInfo Adapter(std::uint32_t index, std::uint32_t type, std::vector<AdapterAddress> addresses,
                    std::uint32_t dhcp = 0)
{
    return {index,
            type,
            {0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(index)},
            L"{A" + std::to_wstring(index) + L"}",
            dhcp,
            std::move(addresses)};
}

// A PC whose router sits at 192.168.2.1; only Sleep moves the clock.
struct FakeNetwork : NetPlatform {
    std::vector<AdapterInfo> adapters, afterSwitch; // afterSwitch: what reads after the first give
    std::uint32_t readError = 0, routeIf = 4, directAfter = 0, clock = 1000, jumpAt = 0, jumpTo = 0, lastMask = 0;
    int reads = 0;
    bool haveRoute = true, routerAnswers = true, neverDirect = false, onlyFirstReadWorks = false;
    std::map<std::uint32_t, std::uint8_t> foreign; // candidate addresses another machine answers for
    std::set<std::uint32_t> refused;               // candidates the system will not add
    std::map<std::wstring, std::wstring> registry;
    std::vector<InterfaceEntry> interfaces;
    std::uint32_t listError = 0;
    Log log;
    std::vector<std::wstring> commands;
    struct {
        std::uint32_t context = 0, address = 0, ifIndex = 0, since = 0;
    } alias;
    std::uint32_t nextContext = 0;

    std::string ToAnsi(const std::wstring& text) override { return std::string(text.begin(), text.end()); }
    std::uint32_t ReadAdapters(std::vector<AdapterInfo>& out) override
    {
        if (readError)
            return readError;
        if (reads++ > 0 && onlyFirstReadWorks)
            return 122;
        if (reads > 1 && !afterSwitch.empty())
            adapters = afterSwitch;
        out = adapters;
        return 0;
    }
    bool FindBestRoute(std::uint32_t destination, RouteInfo& route) override
    {
        log.push_back("route");
        if (destination != Ip("192.168.2.1"))
            return false;
        if (alias.context && !neverDirect && clock - alias.since >= directAfter) {
            route = {alias.ifIndex, kRouteTypeDirect};
            return true;
        }
        route = {routeIf, 4};
        return haveRoute;
    }
    bool AddAlias(std::uint32_t address, std::uint32_t mask, std::uint32_t ifIndex, std::uint32_t& context) override
    {
        log.push_back("add ." + std::to_string(address & 0xFF) + " if " + std::to_string(ifIndex));
        lastMask = mask;
        if (refused.count(address))
            return false;
        alias = {context = ++nextContext, address, ifIndex, clock};
        return true;
    }
    void DeleteAlias(std::uint32_t context) override
    {
        log.push_back("delete " + std::to_string(context));
        if (context == alias.context)
            alias = {};
    }
    bool SendArp(std::uint32_t destination, HardwareAddress& answer) override
    {
        log.push_back("arp ." + std::to_string(destination & 0xFF));
        answer = {};
        answer[0] = 0x02;
        if (destination == Ip("192.168.2.1")) {
            answer[5] = 0xEE;
            return routerAnswers;
        }
        answer[5] = foreign.count(destination) ? foreign[destination] : static_cast<std::uint8_t>(alias.ifIndex);
        return foreign.count(destination) || (alias.context && destination == alias.address);
    }
    void FlushArpCache(std::uint32_t ifIndex) override { log.push_back("flush " + std::to_string(ifIndex)); }
    std::wstring ReadMachineString(const std::wstring& key, const std::wstring& value) override
    {
        return value == L"NAME" && registry.count(key) ? registry[key] : L"";
    }
    std::uint32_t RunHidden(const std::wstring& commandLine) override
    {
        commands.push_back(commandLine);
        return 0;
    }
    std::uint32_t ReadInterfaceList(std::vector<InterfaceEntry>& entries) override
    {
        entries = interfaces;
        return listError;
    }
    std::uint32_t ReleaseLease(const InterfaceEntry& e) override
    {
        log.push_back("release " + std::to_string(e.index));
        return 1234;
    }
    void RenewLease(const InterfaceEntry& e) override { log.push_back("renew " + std::to_string(e.index)); }
    void Sleep(std::uint32_t ms) override
    {
        log.push_back("sleep " + std::to_string(ms));
        clock += ms;
    }
    std::uint32_t TickCount() override
    {
        if (jumpAt && clock >= jumpAt) { // the tick count is set back, once
            clock = jumpTo;
            jumpAt = 0;
        }
        return clock;
    }
    int Count(const std::string& prefix) const
    {
        int n = 0;
        for (const auto& entry : log)
            n += entry.rfind(prefix, 0) == 0;
        return n;
    }
};

const ConnectTarget kRouter{L"192.168.2.1", L"255.255.255.0", L"admin", L"6093", 80};
const AdapterAddress kAutoAddress{"169.254.7.7", "255.255.0.0"};
const AdapterAddress kNoAddress{"0.0.0.0", "0.0.0.0"};

class KeploReachability : public ::testing::Test {
protected:
    FakeNetwork net;
    ConnectionState state;
};

} // namespace

TEST(KeploSubnetCheck, Table)
{
    const std::pair<std::vector<AdapterAddress>, int> rows[] = {
        {{{"192.168.2.10", "255.255.255.0"}}, kSubnetInside},
        {{kNoAddress}, kSubnetNeedsDhcp},
        {{kAutoAddress}, kSubnetNeedsAlias},
        {{{"192.168.0.5", "255.255.0.0"}}, kSubnetNeedsDhcp},        // covers the router without being inside
        {{{"192.168.2.10", "255.255.0.0"}}, kSubnetInside},          // inside and covering
        {{{"192.168.2.130", "255.255.255.128"}}, kSubnetNeedsAlias}, // inside, router outside its own subnet
        {{{"10.0.0.5", "255.0.0.0"}, {"192.168.2.20", "255.255.255.0"}}, kSubnetInside},
        {{{"192.168.2.20", "255.255.255.0"}, {"10.0.0.5", "255.0.0.0"}}, kSubnetInside},
        {{{"192.168.2.20", "255.255.255.0"}, kNoAddress}, kSubnetNeedsDhcp}, // stops at once
        {{}, kSubnetNoAdapter},
    };
    for (const auto& [addresses, expected] : rows)
        EXPECT_EQ(SubnetCheck({Adapter(4, 6, addresses)}, 4, Ip("192.168.2.1"), Ip("255.255.255.0")), expected)
            << (addresses.empty() ? "none" : addresses[0].address);
    EXPECT_EQ(SubnetCheck({Adapter(4, 6, {kAutoAddress})}, 5, 0, 0), kSubnetNoAdapter);
}

TEST(KeploIpv4Text, ParsesLikeTheSystemParser)
{
    EXPECT_EQ(ParseIpv4("192.168.2.1"), 0xC0A80201u);
    EXPECT_EQ(ParseIpv4("10.1"), 0x0A000001u);
    EXPECT_EQ(ParseIpv4("0x7f.1 "), 0x7F000001u);
    for (const char* bad : {"", "router", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.", "08.1.1.1"})
        EXPECT_EQ(ParseIpv4(bad), kAddressNone) << bad;
}

TEST(KeploIpv4Text, StrictDottedFormOnly)
{
    EXPECT_EQ(ParseDottedIpv4("192.168.2.1"), 0xC0A80201u);
    EXPECT_EQ(ParseDottedIpv4(L"255.255.255.0"), 0xFFFFFF00u);
    for (const char* bad : {"", "10.1", "0x7f.0.0.1", "010.0.0.1", "1.2.3.256", "1.2.3.4.", " 1.2.3.4", "1.2.3.4 x"})
        EXPECT_FALSE(ParseDottedIpv4(bad).has_value()) << bad;
    EXPECT_FALSE(ParseDottedIpv4(L"\uFF11.2.3.4").has_value()); // a full-width digit is no digit
}

TEST_F(KeploReachability, RouterOnOwnSubnetIsConfirmedByArp)
{
    net.adapters = {Adapter(4, 6, {{"192.168.2.10", "255.255.255.0"}}, 1)};
    net.registry[L"System\\CurrentControlSet\\Control\\Network\\{4d36e972-e325-11ce-bfc1-08002be10318}\\{A4}"
                 L"\\Connection"] = L"Local Area Connection";
    EXPECT_EQ(OpenConnection(state, net, kRouter), kReachable);
    EXPECT_EQ(net.log, (Log{"route", "flush 4", "arp .1"}));
    EXPECT_EQ(state.interfaceIndex, 4u);
    EXPECT_EQ(state.hardwareAddress[5], 4);
    EXPECT_EQ(state.adapterName, L"{A4}");
    EXPECT_EQ(state.connectionName, L"Local Area Connection");
    EXPECT_EQ(state.dhcpEnabled, 1u);

    net.routerAnswers = false;
    EXPECT_EQ(OpenConnection(state, net, kRouter), kNoAnswer);
}

TEST_F(KeploReachability, AutomaticPrivateAddressGetsAnAliasInTheRoutersSubnet)
{
    net.adapters = {Adapter(4, 6, {kAutoAddress})};
    net.directAfter = 1600;
    EXPECT_EQ(OpenConnection(state, net, kRouter), kReachable);
    EXPECT_EQ(net.log, (Log{"route", "add .241 if 4", "route", "sleep 800", "route", "sleep 800", "route", "arp .241",
                            "flush 4", "arp .1"}));
    EXPECT_EQ(net.lastMask, Ip("255.255.255.0"));
    EXPECT_EQ(state.aliasContext, net.alias.context);

    CloseConnection(state, net);
    CloseConnection(state, net);
    EXPECT_EQ(net.Count("delete"), 1);
    EXPECT_EQ(state.aliasContext, 0u);
}

TEST_F(KeploReachability, NoRouteGoesStraightToTheAliasOfAnEligibleAdapter)
{
    net.haveRoute = false;
    net.adapters = {Adapter(2, 6, {kNoAddress}), Adapter(3, 23, {{"10.0.0.2", "255.0.0.0"}}),
                    Adapter(5, 71, {{"10.1.0.2", "255.255.0.0"}})};
    EXPECT_EQ(OpenConnection(state, net, kRouter), kReachable);
    EXPECT_EQ(net.log.at(1), "add .241 if 5");

    FakeNetwork unconnected;
    unconnected.haveRoute = false;
    unconnected.adapters = {Adapter(2, 6, {kNoAddress}), Adapter(3, 23, {{"10.0.0.2", "255.0.0.0"}})};
    EXPECT_EQ(OpenConnection(state, unconnected, kRouter), kNoAdapterForAlias);
}

TEST_F(KeploReachability, AliasWalkSkipsTakenAndRefusedAddresses)
{
    net.adapters = {Adapter(4, 6, {kAutoAddress})};
    net.foreign[Ip("192.168.2.241")] = 0x99; // answered by the wrong hardware address
    net.refused.insert(Ip("192.168.2.242"));
    EXPECT_EQ(OpenConnection(state, net, kRouter), kReachable);
    EXPECT_EQ(net.log, (Log{"route", "add .241 if 4", "route", "arp .241", "delete 1", "sleep 500", "add .242 if 4",
                            "add .243 if 4", "route", "arp .243", "flush 4", "arp .1"}));
    // The record that the wizard's log shows, step by step.
    EXPECT_EQ(state.repairSteps, (std::vector<std::wstring>{
                                     L"alias 192.168.2.241 added on interface 4",
                                     L"alias 192.168.2.241 already used by another machine",
                                     L"alias 192.168.2.242 on interface 4 refused",
                                     L"alias 192.168.2.243 added on interface 4",
                                     L"the router answers through the alias",
                                 }));
    // A router reached without a repair leaves no record.
    net.adapters = {Adapter(4, 6, {{"192.168.2.10", "255.255.255.0"}}, 1)};
    EXPECT_EQ(OpenConnection(state, net, kRouter), kReachable);
    EXPECT_TRUE(state.repairSteps.empty());
}

TEST_F(KeploReachability, RouteNeverDirectWalksEveryCandidateOfEveryAdapter)
{
    net.adapters = {Adapter(4, 6, {kAutoAddress}), Adapter(6, 6, {{"172.16.0.9", "255.255.0.0"}})};
    net.neverDirect = true;
    EXPECT_EQ(OpenConnection(state, net, kRouter), kNoAnswer);
    EXPECT_EQ(net.Count("add .24"), 14);
    EXPECT_EQ(net.Count("sleep 800"), 14 * 38); // 38 waits of 800 ms pass 30 s
    EXPECT_EQ(net.Count("arp"), 0);
    // Each trial deletes what the one before left, across adapters too; the last stays recorded.
    EXPECT_EQ(net.Count("delete"), 13);
    EXPECT_EQ(state.aliasContext, 14u);
    CloseConnection(state, net);
    EXPECT_EQ(net.alias.context, 0u);
}

TEST_F(KeploReachability, TickCountGoingBackwardsRestartsTheWait)
{
    net.adapters = {Adapter(4, 6, {kAutoAddress})};
    net.neverDirect = true;
    for (std::uint32_t n = 242; n <= 247; ++n)
        net.refused.insert(Ip("192.168.2.0") + n);
    net.clock = 50000;
    net.jumpAt = 52400;
    net.jumpTo = 1000;
    EXPECT_EQ(OpenConnection(state, net, kRouter), kNoAnswer);
    EXPECT_EQ(net.Count("sleep 800"), 3 + 38); // no early give-up, no endless wait
}

TEST_F(KeploReachability, DhcpSwitchLoopEndsAtTheSixthAttempt)
{
    net.adapters = {Adapter(4, 6, {kNoAddress}, 0)};
    net.registry[ConnectionNameKey(L"{A4}")] = L"Local Area Connection 2";
    EXPECT_EQ(OpenConnection(state, net, kRouter), kNoAnswer);
    EXPECT_EQ(net.commands, std::vector<std::wstring>(
                                5, L"netsh.exe interface ip set address \"Local Area Connection 2\" source=DHCP"));
    EXPECT_EQ(net.Count("sleep 10000"), 5);
    EXPECT_EQ(net.reads, 6);
    ASSERT_EQ(state.repairSteps.size(), 5u);
    EXPECT_EQ(state.repairSteps[0], L"address of interface 4 outside the router's subnet: DHCP requested (result 0)");

    // An interface that already uses DHCP is given the time without a command.
    FakeNetwork dhcp;
    dhcp.adapters = {Adapter(4, 6, {kNoAddress}, 1)};
    dhcp.registry[ConnectionNameKey(L"{A4}")] = L"LAN";
    EXPECT_EQ(OpenConnection(state, dhcp, kRouter), kNoAnswer);
    EXPECT_TRUE(dhcp.commands.empty());
    EXPECT_EQ(dhcp.Count("sleep 10000"), 5);
}

TEST_F(KeploReachability, DhcpSwitchThatBringsAnAddressSucceeds)
{
    net.adapters = {Adapter(4, 6, {kNoAddress}, 0)};
    net.registry[ConnectionNameKey(L"{A4}")] = L"LAN";
    net.afterSwitch = {Adapter(4, 6, {{"192.168.2.100", "255.255.255.0"}}, 1)};
    EXPECT_EQ(OpenConnection(state, net, kRouter), kReachable);
    EXPECT_EQ(net.commands.size(), 1u);
    EXPECT_EQ(state.dhcpEnabled, 1u);

    FakeNetwork lost; // the list cannot be read after the switch
    lost.adapters = {Adapter(4, 6, {kNoAddress}, 1)};
    lost.onlyFirstReadWorks = true;
    EXPECT_EQ(OpenConnection(state, lost, kRouter), kAdaptersUnreadable);
}

TEST_F(KeploReachability, RouteAdapterMissingFromTheList)
{
    net.adapters = {Adapter(4, 6, {{"192.168.2.10", "255.255.255.0"}})};
    net.routeIf = 9;
    EXPECT_EQ(OpenConnection(state, net, kRouter), kRouteAdapterMissing);
    EXPECT_EQ(state.interfaceIndex, 9u);
    EXPECT_TRUE(state.adapterName.empty());
}

TEST_F(KeploReachability, StoresTargetWhateverTheResultAndKeepsTheCookie)
{
    state.headers.cookie = L"sid=1";
    state.headers.acceptLanguage.clear();
    net.adapters = {Adapter(4, 6, {{"192.168.2.10", "255.255.255.0"}})};
    net.routerAnswers = false;
    EXPECT_EQ(OpenConnection(state, net, {L"192.168.2.1", L"255.255.255.0", L"admin", L"pw", 8080}), kNoAnswer);
    EXPECT_EQ(state.host + L"|" + state.user + L"|" + state.password, L"192.168.2.1|admin|pw");
    EXPECT_EQ(state.port, 8080);
    EXPECT_EQ(state.headers.cookie, L"sid=1");
    EXPECT_EQ(state.headers.acceptLanguage, kDefaultAcceptLanguage);

    // An unreadable adapter list leaves everything as it was.
    net.readError = 1;
    state.headers.acceptLanguage.clear();
    EXPECT_EQ(OpenConnection(state, net, {L"10.0.0.1", L"255.0.0.0", L"u", L"p", 81}), kAdaptersUnreadable);
    EXPECT_EQ(state.host, L"192.168.2.1");
    EXPECT_TRUE(state.headers.acceptLanguage.empty());
}

TEST_F(KeploReachability, OnlyADottedAddressOutsideLoopbackIsCheckedOrRepaired)
{
    // One interface to switch to DHCP, one for an alias.
    net.adapters = {Adapter(4, 6, {kNoAddress}, 0), Adapter(5, 6, {kAutoAddress})};
    net.registry[ConnectionNameKey(L"{A4}")] = L"LAN";
    net.haveRoute = false;
    // Anything else would stand for 255.255.255.255 and repair for the broadcast address.
    for (const wchar_t* host : {L"127.0.0.1", L"", L"router.local", L"192.168.2.1          ", L"192.168.2.1 ", L"10.1",
                                L"192.168.002.001", L"\uFF11\uFF19\uFF12.168.2.1"}) {
        EXPECT_EQ(OpenConnection(state, net, {host, L"255.255.255.0", L"admin", L"", 80}), kReachable);
        EXPECT_EQ(state.host, host);
    }
    EXPECT_TRUE(net.log.empty()) << net.log.front();
    EXPECT_TRUE(net.commands.empty());

    EXPECT_EQ(OpenConnection(state, net, kRouter), kReachable);
    EXPECT_EQ(net.log.at(1), "add .241 if 5");
}

TEST(KeploInterfaceControl, NothingBeforeAConnection)
{
    FakeNetwork net;
    const ConnectionState state;
    std::uint32_t index = 77;
    EXPECT_EQ(CurrentInterfaceIndex(state, index), -1);
    EXPECT_EQ(index, 0u);
    for (int result :
         {ReleaseInterfaceIPAddress(state, net), RenewInterfaceIPAddress(state, net), SetInterfaceIPToAuto(state, net),
          SetInterfaceDNSToAuto(state, net), SetInterfaceStaticIP(state, net, L"192.168.2.50", L"", L""),
          SetInterfaceStaticDNS(state, net, L"8.8.8.8")})
        EXPECT_EQ(result, -1);
    EXPECT_TRUE(net.commands.empty() && net.log.empty());
}

TEST(KeploInterfaceControl, CommandLines)
{
    FakeNetwork net;
    ConnectionState state;
    state.connectionName = L"Local Area Connection";
    EXPECT_EQ(SetInterfaceIPToAuto(state, net), 0);
    EXPECT_EQ(SetInterfaceDNSToAuto(state, net), -1); // a static interface keeps its DNS
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"192.168.2.50", L"", L""), 0);
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"10.0.0.5", L"255.0.0.0", L"10.0.0.1"), 0);
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"", L"255.0.0.0", L"10.0.0.1"), -1);
    EXPECT_EQ(SetInterfaceStaticDNS(state, net, L"192.168.2.1"), 0);
    EXPECT_EQ(SetInterfaceStaticDNS(state, net, L""), 0);
    // Texts that are no address never reach the command line.
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"192.168.2.50 255.0.0.0 10.0.0.1 1 & net user", L"", L""), 87);
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"192.168.2.50", L"255.255.255.0\" x", L""), 87);
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"192.168.2.50", L"24", L""), 87);
    EXPECT_EQ(SetInterfaceStaticIP(state, net, L"10.0.0.5", L"255.0.0.0", L"10.0.0.1 1 x"), 87);
    EXPECT_EQ(SetInterfaceStaticDNS(state, net, L"8.8.8.8 primary & x"), 87);
    state.dhcpEnabled = 1;
    EXPECT_EQ(SetInterfaceIPToAuto(state, net), 0); // already automatic: nothing runs
    EXPECT_EQ(SetInterfaceDNSToAuto(state, net), 0);
    const std::wstring set = L"netsh.exe interface ip set ";
    EXPECT_EQ(net.commands, (std::vector<std::wstring>{
                                set + L"address \"Local Area Connection\" source=DHCP",
                                set + L"address \"Local Area Connection\" static 192.168.2.50 255.255.255.0 none",
                                set + L"address \"Local Area Connection\" static 10.0.0.5 255.0.0.0 10.0.0.1 1",
                                set + L"dns \"Local Area Connection\" static 192.168.2.1 primary",
                                set + L"dns \"Local Area Connection\" static none",
                                set + L"dns \"Local Area Connection\" source=DHCP",
                            }));

    // A connection name with a quote is never quoted.
    net.commands.clear();
    state.connectionName = L"LAN\" static 10.9.9.9 255.0.0.0 none & \"";
    state.dhcpEnabled = 2; // neither "already DHCP" nor "no DHCP"
    for (int result : {SetInterfaceIPToAuto(state, net), SetInterfaceDNSToAuto(state, net),
                       SetInterfaceStaticIP(state, net, L"192.168.2.50", L"", L""),
                       SetInterfaceStaticDNS(state, net, L"192.168.2.1")})
        EXPECT_EQ(result, -1);
    EXPECT_TRUE(net.commands.empty());
}

TEST(KeploInterfaceControl, LeaseReleaseAndRenewFindTheInterfaceInTheList)
{
    FakeNetwork net;
    ConnectionState state;
    state.interfaceIndex = 4;
    state.dhcpEnabled = 1;
    net.interfaces = {{3, L"\\DEVICE\\TCPIP_{3}"}, {4, L"\\DEVICE\\TCPIP_{4}"}};
    EXPECT_EQ(ReleaseInterfaceIPAddress(state, net), 1234);
    EXPECT_EQ(RenewInterfaceIPAddress(state, net), 0);
    EXPECT_EQ(net.log, (Log{"release 4", "renew 4"}));
    state.interfaceIndex = 5;
    EXPECT_EQ(ReleaseInterfaceIPAddress(state, net), -1);
    net.listError = 50;
    EXPECT_EQ(RenewInterfaceIPAddress(state, net), 50);
}
