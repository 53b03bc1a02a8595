#pragma once
// Which of the PC's network adapters leads to the router. The adapter list
// comes from the platform (GetAdaptersInfo on Windows); the rule that picks
// the router's address out of it is portable.
#include <string>
#include <vector>

// What the rule needs of one adapter, in the order the platform lists them.
struct AdapterFacts {
    unsigned type = 0;   // IP Helper's adapter type; 6 is Ethernet
    std::string gateway; // the first gateway address as the platform gives it ("0.0.0.0" when none)
    bool dhcpEnabled = false;
};

inline constexpr unsigned kAdapterTypeEthernet = 6;

struct RouterAdapterChoice {
    // The wired adapter gets its address by DHCP and has a gateway, or (at
    // the end of the list) the DHCP flag of the last wired adapter looked at.
    bool dhcp = false;
    // Whether any wired adapter was looked at: only then does gateway count.
    bool wiredSeen = false;
    // The gateway of the wired adapter looked at last: the router's address,
    // unless it is "0.0.0.0" or empty.
    std::string gateway;
};

// Walks the wired adapters in list order and stops at the first one with a
// gateway; wireless and other adapters are never considered.
RouterAdapterChoice ChooseRouterAdapter(const std::vector<AdapterFacts>& adapters);
