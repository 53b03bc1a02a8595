#include "InterfaceControl.h"

#include "Ipv4Text.h"

namespace keplo {

namespace {

// The name goes between double quotes on netsh's command line: one of its own would end
// the quoting and let the rest of the name pass as further arguments.
bool UsableConnectionName(const std::wstring& name)
{
    return !name.empty() && name.find(L'"') == std::wstring::npos;
}

// Texts that go on the command line as addresses; empty means "not given" where allowed.
bool IsAddress(const std::wstring& text)
{
    return ParseDottedIpv4(text).has_value();
}
bool IsAddressOrEmpty(const std::wstring& text)
{
    return text.empty() || IsAddress(text);
}

std::wstring Quoted(const std::wstring& name)
{
    return L"\"" + name + L"\"";
}

int Run(NetPlatform& platform, const std::wstring& commandLine)
{
    // Only the start matters: netsh reports its own failures, which nobody reads.
    return static_cast<int>(platform.RunHidden(commandLine));
}

enum class LeaseAction { Release, Renew };

int ChangeLease(const ConnectionState& state, NetPlatform& platform, LeaseAction action)
{
    if (state.dhcpEnabled == 0)
        return -1;
    std::vector<InterfaceEntry> entries;
    if (const std::uint32_t error = platform.ReadInterfaceList(entries); error != 0)
        return static_cast<int>(error);
    for (const InterfaceEntry& entry : entries) {
        if (entry.index != state.interfaceIndex)
            continue;
        if (action == LeaseAction::Release)
            return static_cast<int>(platform.ReleaseLease(entry));
        platform.RenewLease(entry);
        return 0;
    }
    return -1;
}

} // namespace

std::wstring AddressToDhcpCommand(const std::wstring& connectionName)
{
    return L"netsh.exe interface ip set address " + Quoted(connectionName) + L" source=DHCP";
}

std::wstring DnsToDhcpCommand(const std::wstring& connectionName)
{
    return L"netsh.exe interface ip set dns " + Quoted(connectionName) + L" source=DHCP";
}

std::wstring StaticAddressCommand(const std::wstring& connectionName, const std::wstring& address,
                                  const std::wstring& mask, const std::wstring& gateway)
{
    std::wstring command =
        L"netsh.exe interface ip set address " + Quoted(connectionName) + L" static " + address + L" " + mask;
    return gateway.empty() ? command + L" none" : command + L" " + gateway + L" 1";
}

std::wstring StaticDnsCommand(const std::wstring& connectionName, const std::wstring& server)
{
    const std::wstring command = L"netsh.exe interface ip set dns " + Quoted(connectionName) + L" static ";
    return server.empty() ? command + L"none" : command + server + L" primary";
}

int CurrentInterfaceIndex(const ConnectionState& state, std::uint32_t& index)
{
    index = state.interfaceIndex;
    return state.connectionName.empty() ? -1 : 0;
}

int SetInterfaceIPToAuto(const ConnectionState& state, NetPlatform& platform)
{
    if (state.dhcpEnabled == 1)
        return 0;
    if (!UsableConnectionName(state.connectionName))
        return -1;
    return Run(platform, AddressToDhcpCommand(state.connectionName));
}

int SetInterfaceDNSToAuto(const ConnectionState& state, NetPlatform& platform)
{
    if (state.dhcpEnabled == 0 || !UsableConnectionName(state.connectionName))
        return -1;
    return Run(platform, DnsToDhcpCommand(state.connectionName));
}

int SetInterfaceStaticIP(const ConnectionState& state, NetPlatform& platform, const std::wstring& address,
                         const std::wstring& mask, const std::wstring& gateway)
{
    if (!UsableConnectionName(state.connectionName) || address.empty())
        return -1;
    if (!IsAddress(address) || !IsAddressOrEmpty(mask) || !IsAddressOrEmpty(gateway))
        return kErrorInvalidParameter;
    return Run(platform,
               StaticAddressCommand(state.connectionName, address, mask.empty() ? kDefaultStaticMask : mask, gateway));
}

int SetInterfaceStaticDNS(const ConnectionState& state, NetPlatform& platform, const std::wstring& server)
{
    if (!UsableConnectionName(state.connectionName))
        return -1;
    if (!IsAddressOrEmpty(server))
        return kErrorInvalidParameter;
    return Run(platform, StaticDnsCommand(state.connectionName, server));
}

int ReleaseInterfaceIPAddress(const ConnectionState& state, NetPlatform& platform)
{
    return ChangeLease(state, platform, LeaseAction::Release);
}

int RenewInterfaceIPAddress(const ConnectionState& state, NetPlatform& platform)
{
    return ChangeLease(state, platform, LeaseAction::Renew);
}

} // namespace keplo
