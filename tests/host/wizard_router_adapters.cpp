// Which adapter leads to the router, over scripted adapter lists.
#include "Adapters.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned kWireless = 71; // IEEE 802.11
constexpr unsigned kPpp = 23;

AdapterFacts Wired(const char* gateway, bool dhcp)
{
    return {kAdapterTypeEthernet, gateway, dhcp};
}

} // namespace

TEST(ChooseRouterAdapter, WiredAdaptersInListOrderUntilOneHasAGateway)
{
    const struct {
        const char* what;
        std::vector<AdapterFacts> list;
        bool dhcp, wiredSeen;
        const char* gateway;
    } cases[] = {
        // Without a wired adapter the caller keeps its router address.
        {"empty list", {}, false, false, ""},
        {"wireless and PPP only", {{kWireless, "192.168.2.1", true}, {kPpp, "10.0.0.1", true}}, false, false, ""},
        {"first wired with a gateway wins",
         {Wired("0.0.0.0", false), {kWireless, "10.1.1.1", true}, Wired("192.168.2.1", true), Wired("10.0.0.1", true)},
         true, true, "192.168.2.1"},
        // The gateway is taken even so: it is where the router is.
        {"fixed address", {Wired("192.168.2.1", false), Wired("10.0.0.1", true)}, false, true, "192.168.2.1"},
        {"DHCP without gateway", {Wired("0.0.0.0", true)}, true, true, "0.0.0.0"},
        {"DHCP with an empty gateway", {Wired("", true)}, true, true, ""},
        {"no gateway anywhere: the last wired adapter speaks",
         {Wired("0.0.0.0", true), Wired("", false), {kWireless, "192.168.2.1", true}}, false, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const RouterAdapterChoice choice = ChooseRouterAdapter(c.list);
        EXPECT_EQ(choice.dhcp, c.dhcp);
        EXPECT_EQ(choice.wiredSeen, c.wiredSeen);
        if (c.wiredSeen) {
            EXPECT_EQ(choice.gateway, c.gateway);
        }
    }
}
