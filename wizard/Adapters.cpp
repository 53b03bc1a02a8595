#include "Adapters.h"

RouterAdapterChoice ChooseRouterAdapter(const std::vector<AdapterFacts>& adapters)
{
    RouterAdapterChoice choice;
    for (const AdapterFacts& adapter : adapters) {
        if (adapter.type != kAdapterTypeEthernet)
            continue;
        choice.wiredSeen = true;
        choice.gateway = adapter.gateway;
        choice.dhcp = adapter.dhcpEnabled;
        if (!choice.gateway.empty() && choice.gateway != "0.0.0.0")
            break;
    }
    return choice;
}
