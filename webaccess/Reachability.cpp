#include "Reachability.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "InterfaceControl.h"
#include "Ipv4Text.h"

namespace keplo {

namespace {

// Longer texts cannot be an address and are treated as missing.
constexpr std::size_t kMaxAddressTextBytes = 20;

const AdapterInfo* FindAdapter(const std::vector<AdapterInfo>& adapters, std::uint32_t index)
{
    const auto it = std::find_if(adapters.begin(), adapters.end(),
                                 [index](const AdapterInfo& adapter) { return adapter.index == index; });
    return it == adapters.end() ? nullptr : &*it;
}

HardwareAddress ToHardwareAddress(const std::vector<std::uint8_t>& bytes)
{
    HardwareAddress result{};
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 8), result.begin());
    return result;
}

class Procedure {
public:
    Procedure(ConnectionState& state, NetPlatform& platform, std::vector<AdapterInfo> adapters, std::uint32_t host,
              std::uint32_t mask)
        : m_state(state), m_platform(platform), m_adapters(std::move(adapters)), m_host(host), m_mask(mask)
    {
    }

    int Run()
    {
        for (int attempt = 1;; ++attempt) {
            if (attempt > kMaxAttempts)
                return kNoAnswer;
            RouteInfo route;
            if (!m_platform.FindBestRoute(m_host, route))
                return AliasProcedure();
            RecordInterface(route.interfaceIndex);
            switch (SubnetCheck(m_adapters, route.interfaceIndex, m_host, m_mask)) {
            case kSubnetInside:
                return ConfirmByArp(route.interfaceIndex) ? kReachable : kNoAnswer;
            case kSubnetNeedsAlias:
                return AliasProcedure();
            case kSubnetNeedsDhcp:
                Step(L"address of interface " + std::to_wstring(route.interfaceIndex) +
                     L" outside the router's subnet: DHCP requested (result " +
                     std::to_wstring(SetInterfaceIPToAuto(m_state, m_platform)) + L")");
                m_platform.Sleep(kAfterDhcpSwitchMs);
                // Without a fresh list the next check would only judge the old addresses again.
                if (m_platform.ReadAdapters(m_adapters) != 0)
                    return kAdaptersUnreadable;
                break;
            default:
                return kRouteAdapterMissing;
            }
        }
    }

private:
    void RecordInterface(std::uint32_t index)
    {
        m_state.interfaceIndex = index;
        const AdapterInfo* adapter = FindAdapter(m_adapters, index);
        if (!adapter)
            return;
        m_state.hardwareAddress = ToHardwareAddress(adapter->hardware);
        m_state.adapterName = adapter->name;
        m_state.dhcpEnabled = adapter->dhcpEnabled;
        m_state.connectionName = m_platform.ReadMachineString(ConnectionNameKey(adapter->name), kConnectionNameValue);
    }

    bool ConfirmByArp(std::uint32_t interfaceIndex)
    {
        m_platform.FlushArpCache(interfaceIndex);
        HardwareAddress answer{};
        return m_platform.SendArp(m_host, answer);
    }

    int AliasProcedure()
    {
        bool tried = false;
        for (const AdapterInfo& adapter : m_adapters) {
            if (adapter.type != kAdapterTypeEthernet && adapter.type != kAdapterTypeWireless)
                continue;
            // An adapter without an address is not connected to anything.
            const std::string firstAddress = adapter.addresses.empty() ? std::string() : adapter.addresses[0].address;
            if (firstAddress == "0.0.0.0")
                continue;
            tried = true;
            if (AliasTrial(adapter.index, ToHardwareAddress(adapter.hardware)))
                return kReachable;
        }
        return tried ? kNoAnswer : kNoAdapterForAlias;
    }

    // One line of the repair's record.
    void Step(std::wstring line) { m_state.repairSteps.push_back(std::move(line)); }

    std::wstring AddressText(std::uint32_t address) const
    {
        return std::to_wstring(address >> 24) + L"." + std::to_wstring((address >> 16) & 0xFF) + L"." +
               std::to_wstring((address >> 8) & 0xFF) + L"." + std::to_wstring(address & 0xFF);
    }

    bool AliasTrial(std::uint32_t interfaceIndex, const HardwareAddress& hardware)
    {
        const std::wstring where = L" on interface " + std::to_wstring(interfaceIndex);
        for (std::uint32_t octet = kFirstAliasOctet; octet <= kLastAliasOctet; ++octet) {
            if (m_state.aliasContext != 0) {
                m_platform.DeleteAlias(m_state.aliasContext);
                m_state.aliasContext = 0;
                m_platform.Sleep(kAfterAliasDeleteMs);
            }
            const std::uint32_t candidate = (m_host & 0xFFFFFF00u) | octet;
            std::uint32_t context = 0;
            if (!m_platform.AddAlias(candidate, m_mask, interfaceIndex, context)) {
                Step(L"alias " + AddressText(candidate) + where + L" refused");
                continue;
            }
            m_state.aliasContext = context;
            Step(L"alias " + AddressText(candidate) + L" added" + where);

            if (!WaitForDirectRoute()) {
                Step(L"no direct route to the router through it");
                continue;
            }

            // The candidate must answer with this adapter's own address: otherwise another
            // machine already uses it.
            HardwareAddress owner{};
            if (!m_platform.SendArp(candidate, owner) || std::memcmp(owner.data(), hardware.data(), 6) != 0) {
                Step(L"alias " + AddressText(candidate) + L" already used by another machine");
                continue;
            }

            const bool answered = ConfirmByArp(interfaceIndex);
            Step(answered ? L"the router answers through the alias" : L"the router does not answer through the alias");
            return answered;
        }
        return false;
    }

    bool WaitForDirectRoute()
    {
        std::uint32_t start = m_platform.TickCount();
        for (;;) {
            RouteInfo route;
            if (m_platform.FindBestRoute(m_host, route) && route.type == kRouteTypeDirect)
                return true;
            const std::uint32_t now = m_platform.TickCount();
            if (now < start)
                start = now;
            if (now - start > kDirectRouteWaitMs)
                return false;
            m_platform.Sleep(kDirectRoutePollMs);
        }
    }

    ConnectionState& m_state;
    NetPlatform& m_platform;
    std::vector<AdapterInfo> m_adapters;
    std::uint32_t m_host;
    std::uint32_t m_mask;
};

std::uint32_t ParseAddressText(NetPlatform& platform, const std::wstring& text)
{
    std::string narrow = platform.ToAnsi(text);
    if (narrow.size() > kMaxAddressTextBytes)
        narrow.clear();
    return ParseIpv4(narrow);
}

bool IsLoopback(std::uint32_t address)
{
    return (address >> 24) == 127;
}

} // namespace

int SubnetCheck(const std::vector<AdapterInfo>& adapters, std::uint32_t interfaceIndex, std::uint32_t host,
                std::uint32_t mask)
{
    const AdapterInfo* adapter = FindAdapter(adapters, interfaceIndex);
    if (!adapter)
        return kSubnetNoAdapter;
    int result = kSubnetNoAdapter;
    for (const AdapterAddress& entry : adapter->addresses) {
        const std::uint32_t address = ParseIpv4(entry.address);
        const std::uint32_t ownMask = ParseIpv4(entry.mask);
        if ((host & mask) == (address & ownMask)) {
            result = kSubnetInside;
            continue;
        }
        const bool inside = (host & mask) == (address & mask);
        const bool covers = (host & ownMask) == (address & ownMask);
        if (inside && covers) {
            result = kSubnetInside;
        } else if (covers) {
            // The router is in the PC's subnet but the PC is not in the router's: only a
            // new address from the router's DHCP server helps.
            return kSubnetNeedsDhcp;
        } else if (result == kSubnetNoAdapter) {
            result = kSubnetNeedsAlias;
        }
    }
    return result;
}

std::wstring ConnectionNameKey(const std::wstring& adapterName)
{
    return L"System\\CurrentControlSet\\Control\\Network\\{4d36e972-e325-11ce-bfc1-08002be10318}\\" + adapterName +
           L"\\Connection";
}

int OpenConnection(ConnectionState& state, NetPlatform& platform, const ConnectTarget& target)
{
    std::vector<AdapterInfo> adapters;
    if (platform.ReadAdapters(adapters) != 0)
        return kAdaptersUnreadable;
    state.Reset();

    // Only a dotted address says where the router is. A name, an empty or over-long text would
    // otherwise stand for 255.255.255.255 and send the repair after the broadcast address; the
    // loopback network is reached without any adapter. Either way changing the PC's addressing
    // would gain nothing.
    const std::optional<std::uint32_t> host = ParseDottedIpv4(target.host);
    int result = kReachable;
    if (host && !IsLoopback(*host)) {
        const std::uint32_t mask = ParseAddressText(platform, target.mask);
        result = Procedure(state, platform, std::move(adapters), *host, mask).Run();
    }

    // Requests go to the given host even when the procedure failed.
    state.host = target.host;
    state.user = target.user;
    state.password = target.password;
    state.port = target.port;
    return result;
}

void CloseConnection(ConnectionState& state, NetPlatform& platform)
{
    if (state.aliasContext == 0)
        return;
    platform.DeleteAlias(state.aliasContext);
    state.aliasContext = 0;
}

} // namespace keplo
