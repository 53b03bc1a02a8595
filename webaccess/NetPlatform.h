// What the connection procedure and the interface functions need from the operating system,
// behind one interface: Windows answers with IP Helper, the registry and processes; the unit
// tests answer with a scripted PC network and a fake clock.
//
// Addresses are IPv4 values in host order ("a.b.c.d" is a<<24 | b<<16 | c<<8 | d).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ConnectionState.h"

namespace keplo {

inline constexpr std::uint32_t kAdapterTypeEthernet = 6;
inline constexpr std::uint32_t kAdapterTypeWireless = 71;
inline constexpr std::uint32_t kRouteTypeDirect = 3;

struct AdapterAddress {
    std::string address; // dotted text as the adapter list gives it
    std::string mask;
};

struct AdapterInfo {
    std::uint32_t index = 0;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> hardware; // as long as the adapter reports
    std::wstring name;                  // the adapter's identifier string
    std::uint32_t dhcpEnabled = 0;
    std::vector<AdapterAddress> addresses;
};

struct RouteInfo {
    std::uint32_t interfaceIndex = 0;
    std::uint32_t type = 0;
};

// One entry of the system's interface list, as DHCP release and renew take it.
struct InterfaceEntry {
    std::uint32_t index = 0;
    std::wstring name;
};

class NetPlatform {
public:
    virtual ~NetPlatform() = default;

    // Text in the system's 8-bit code page.
    virtual std::string ToAnsi(const std::wstring& text) = 0;

    // 0, or the system error that kept the list from being read.
    virtual std::uint32_t ReadAdapters(std::vector<AdapterInfo>& adapters) = 0;
    virtual bool FindBestRoute(std::uint32_t destination, RouteInfo& route) = 0;

    virtual bool AddAlias(std::uint32_t address, std::uint32_t mask, std::uint32_t interfaceIndex,
                          std::uint32_t& context) = 0;
    virtual void DeleteAlias(std::uint32_t context) = 0;

    // True when a hardware address answered; `answer` is zero-filled first.
    virtual bool SendArp(std::uint32_t destination, HardwareAddress& answer) = 0;
    virtual void FlushArpCache(std::uint32_t interfaceIndex) = 0;

    // A string value below the local machine's hive; empty when the key or value is unreadable.
    virtual std::wstring ReadMachineString(const std::wstring& keyPath, const std::wstring& valueName) = 0;

    // Starts the command hidden and waits for it to end: 0, or the error that kept it from starting.
    virtual std::uint32_t RunHidden(const std::wstring& commandLine) = 0;

    virtual std::uint32_t ReadInterfaceList(std::vector<InterfaceEntry>& entries) = 0;
    virtual std::uint32_t ReleaseLease(const InterfaceEntry& entry) = 0;
    virtual void RenewLease(const InterfaceEntry& entry) = 0;

    virtual void Sleep(std::uint32_t milliseconds) = 0;
    virtual std::uint32_t TickCount() = 0; // milliseconds; wraps and may go backwards
};

} // namespace keplo
