#include "Trouble.h"

#include "PageIds.h"

namespace {

constexpr int kAnswerTooLarge = 8;
constexpr unsigned kLoginRefused = 401;

bool NoGatewayIn(const std::string& gateway)
{
    return gateway.empty() || gateway == "0.0.0.0";
}

Trouble AdapterTrouble(const RunFacts& facts)
{
    if (!facts.adapterListRead)
        return Trouble::NoAdapterList;
    if (!facts.wiredSeen)
        return Trouble::NoWiredAdapter;
    if (!facts.wiredDhcp)
        return Trouble::FixedAddress;
    return NoGatewayIn(facts.gateway) ? Trouble::NoGateway : Trouble::None;
}

} // namespace

bool IsConnectionReset(int result)
{
    return result == 12030 || result == 12031 || result == 10053 || result == 10054;
}

bool IsNoAnswer(int result)
{
    return result == 12029 || result == 12002;
}

Trouble Diagnose(const RunFacts& facts, int page)
{
    if (page == kPageNoInternet)
        return Trouble::NoInternet;
    switch (facts.last) {
    case RunFacts::Step::Adapters:
        return AdapterTrouble(facts);
    case RunFacts::Step::Open:
        return facts.openResult == 0 ? Trouble::None : Trouble::NoAnswer;
    case RunFacts::Step::Request:
        if (facts.requestResult == kAnswerTooLarge)
            return Trouble::AnswerTooLarge;
        if (IsConnectionReset(facts.requestResult))
            return Trouble::ConnectionReset;
        if (facts.requestResult != 0)
            return facts.openResult != 0 || IsNoAnswer(facts.requestResult) ? Trouble::NoAnswer
                                                                              : Trouble::RequestFailed;
        return facts.status == kLoginRefused ? Trouble::LoginRefused : Trouble::None;
    case RunFacts::Step::InternetCheck:
    case RunFacts::Step::None:
        break;
    }
    return Trouble::None;
}
