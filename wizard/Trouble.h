#pragma once
// What went wrong, in terms a person can act on: the facts the run's router
// work saw, kept as it goes, and the one cause the trouble pages name.
// Portable: no Windows headers.
#include <string>

// The router work's last word on each of its steps.
struct RunFacts {
    enum class Step { None, Adapters, Open, Request, InternetCheck };
    Step last = Step::None; // the step that came last

    // The adapter search.
    bool adapterListRead = false;
    bool wiredSeen = false;
    bool wiredDhcp = false;
    std::string gateway; // of the wired adapter looked at

    // The connection to the router.
    std::wstring routerIP;
    int openResult = 0;
    bool repaired = false; // the PC's addressing was changed or tried to reach it

    // The last request: its library result, or its HTTP status.
    std::wstring path;
    int requestResult = 0;
    unsigned status = 0;

    int wanType = 0; // the connection type the settings went out with
};

enum class Trouble {
    None,
    NoAdapterList,   // the PC's adapter list could not be read
    NoWiredAdapter,  // only wireless or other adapters
    FixedAddress,    // the wired adapter does not get its address by DHCP
    NoGateway,       // the wired adapter has no gateway
    NoAnswer,        // the router did not answer at its address
    LoginRefused,    // 401
    AnswerTooLarge,  // the answer did not fit (the library's 8)
    ConnectionReset, // the connection closed before the answer
    RequestFailed,   // any other failure of a request
    NoInternet,      // the router took the settings, the Internet check failed
};

// The cause a trouble page names, from what the run saw last. Page 13 is
// always the Internet check; pages 11 and 12 follow the last step.
Trouble Diagnose(const RunFacts& facts, int page);

// Library results that mean the connection was closed or reset under the
// request (WinHTTP's 12030 and 12031, Winsock's 10053 and 10054).
bool IsConnectionReset(int result);
// Library results that mean nothing answered at the address (WinHTTP's
// cannot-connect 12029 and time-out 12002).
bool IsNoAnswer(int result);
