// Address control of the interface that the last openConnection found: DHCP release and
// renew, and the netsh commands that switch address and DNS sources.
#pragma once

#include <cstdint>
#include <string>

#include "ConnectionState.h"
#include "NetPlatform.h"

namespace keplo {

inline constexpr wchar_t kDefaultStaticMask[] = L"255.255.255.0";

// Command lines handed to the system's netsh; the connection name goes inside double quotes.
std::wstring AddressToDhcpCommand(const std::wstring& connectionName);
std::wstring DnsToDhcpCommand(const std::wstring& connectionName);
std::wstring StaticAddressCommand(const std::wstring& connectionName, const std::wstring& address,
                                  const std::wstring& mask, const std::wstring& gateway);
std::wstring StaticDnsCommand(const std::wstring& connectionName, const std::wstring& server);

int CurrentInterfaceIndex(const ConnectionState& state, std::uint32_t& index);
int SetInterfaceIPToAuto(const ConnectionState& state, NetPlatform& platform);
int SetInterfaceDNSToAuto(const ConnectionState& state, NetPlatform& platform);
int SetInterfaceStaticIP(const ConnectionState& state, NetPlatform& platform, const std::wstring& address,
                         const std::wstring& mask, const std::wstring& gateway);
int SetInterfaceStaticDNS(const ConnectionState& state, NetPlatform& platform, const std::wstring& server);
int ReleaseInterfaceIPAddress(const ConnectionState& state, NetPlatform& platform);
int RenewInterfaceIPAddress(const ConnectionState& state, NetPlatform& platform);

} // namespace keplo
