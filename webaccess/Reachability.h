// openConnection's work: make sure the PC reaches the router's address, repairing the
// interface when it does not (alias address in the router's subnet, or a switch to DHCP),
// and store the router's host, credentials and port for the requests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ConnectionState.h"
#include "NetPlatform.h"

namespace keplo {

// Results of OpenConnection.
inline constexpr int kReachable = 0;
inline constexpr int kAdaptersUnreadable = 1;
inline constexpr int kNoAdapterForAlias = 2;
inline constexpr int kNoAnswer = 3;
inline constexpr int kRouteAdapterMissing = -1;

// Subnet check results.
inline constexpr int kSubnetInside = 0;
inline constexpr int kSubnetNeedsAlias = 4;
inline constexpr int kSubnetNeedsDhcp = 5;
inline constexpr int kSubnetNoAdapter = -1;

inline constexpr int kMaxAttempts = 5;
inline constexpr std::uint32_t kFirstAliasOctet = 241;
inline constexpr std::uint32_t kLastAliasOctet = 247;
inline constexpr std::uint32_t kDirectRouteWaitMs = 30000;
inline constexpr std::uint32_t kDirectRoutePollMs = 800;
inline constexpr std::uint32_t kAfterAliasDeleteMs = 500;
inline constexpr std::uint32_t kAfterDhcpSwitchMs = 10000;

struct ConnectTarget {
    std::wstring host;
    std::wstring mask;
    std::wstring user;
    std::wstring password;
    std::uint16_t port = kDefaultPort;
};

int OpenConnection(ConnectionState& state, NetPlatform& platform, const ConnectTarget& target);

// Removes the alias address that a connection added, if any.
void CloseConnection(ConnectionState& state, NetPlatform& platform);

// Does the adapter with `interfaceIndex` hold an address in the router's subnet?
int SubnetCheck(const std::vector<AdapterInfo>& adapters, std::uint32_t interfaceIndex, std::uint32_t host,
                std::uint32_t mask);

// Registry key below the local machine's hive that names the adapter's network connection.
std::wstring ConnectionNameKey(const std::wstring& adapterName);
inline constexpr wchar_t kConnectionNameValue[] = L"NAME";

} // namespace keplo
