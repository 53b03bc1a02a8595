// Which adapter leads to the router, over scripted adapter lists.
#include "Adapters.h"
#include "PageIds.h"
#include "Trouble.h"

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
         true,
         true,
         "192.168.2.1"},
        // The gateway is taken even so: it is where the router is.
        {"fixed address", {Wired("192.168.2.1", false), Wired("10.0.0.1", true)}, false, true, "192.168.2.1"},
        {"DHCP without gateway", {Wired("0.0.0.0", true)}, true, true, "0.0.0.0"},
        {"DHCP with an empty gateway", {Wired("", true)}, true, true, ""},
        {"no gateway anywhere: the last wired adapter speaks",
         {Wired("0.0.0.0", true), Wired("", false), {kWireless, "192.168.2.1", true}},
         false,
         true,
         ""},
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

// The cause a trouble page names, from the last step of the router work.
TEST(Diagnose, TheLastStepNamesTheCause)
{
    using Step = RunFacts::Step;
    const auto facts = [](Step last, auto&& change) {
        RunFacts f;
        f.last = last;
        f.adapterListRead = f.wiredSeen = f.wiredDhcp = true;
        f.gateway = "192.168.2.1";
        change(f);
        return f;
    };
    const struct {
        const char* what;
        RunFacts facts;
        int page;
        Trouble trouble;
    } cases[] = {
        {"no list", facts(Step::Adapters, [](RunFacts& f) { f.adapterListRead = false; }), 12, Trouble::NoAdapterList},
        {"wireless only", facts(Step::Adapters, [](RunFacts& f) { f.wiredSeen = false; }), 12, Trouble::NoWiredAdapter},
        {"fixed address without gateway",
         facts(Step::Adapters, [](RunFacts& f) { f.wiredDhcp = false, f.gateway = ""; }), 12, Trouble::FixedAddress},
        {"DHCP without gateway", facts(Step::Adapters, [](RunFacts& f) { f.gateway = "0.0.0.0"; }), 11,
         Trouble::NoGateway},
        {"router silent", facts(Step::Open, [](RunFacts& f) { f.openResult = 3; }), 11, Trouble::NoAnswer},
        {"post after a failed open",
         facts(Step::Request, [](RunFacts& f) { f.openResult = 3, f.requestResult = 12002; }), 11, Trouble::NoAnswer},
        {"post timed out", facts(Step::Request, [](RunFacts& f) { f.requestResult = 12002; }), 11, Trouble::NoAnswer},
        {"post refused", facts(Step::Request, [](RunFacts& f) { f.requestResult = 12029; }), 11, Trouble::NoAnswer},
        {"bad answer", facts(Step::Request, [](RunFacts& f) { f.requestResult = 12152; }), 11, Trouble::RequestFailed},
        {"too large", facts(Step::Request, [](RunFacts& f) { f.requestResult = 8; }), 11, Trouble::AnswerTooLarge},
        {"reset", facts(Step::Request, [](RunFacts& f) { f.requestResult = 12030; }), 11, Trouble::ConnectionReset},
        {"refused", facts(Step::Request, [](RunFacts& f) { f.status = 401; }), 11, Trouble::LoginRefused},
        {"answered", facts(Step::Request, [](RunFacts& f) { f.status = 500; }), 11, Trouble::None},
        // Page 13 follows the Internet check, whatever came before it.
        {"no Internet", facts(Step::Request, [](RunFacts& f) { f.requestResult = 8; }), 13, Trouble::NoInternet},
        {"nothing yet", RunFacts{}, 11, Trouble::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Diagnose(c.facts, c.page), c.trouble);
    }
}
