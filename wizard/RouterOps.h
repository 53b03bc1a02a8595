#pragma once
// What the wizard's router operations reach outside the program: the router
// (through Keplo), the PC's adapter list and the Internet. The program always
// uses the system's own; tests that run outside the network lab put a
// stand-in in its place, so that nothing leaves the PC. Only the session's
// worker thread calls a link.
#include "Adapters.h"
#include "SettingsForms.h" // the response buffer's size
#include "WizardCore.h"    // the sites of the Internet check

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include <iphlpapi.h>

class CRouterLink {
public:
    virtual ~CRouterLink() = default;

    // openConnection with the wizard's identity: mask 255.255.255.0, user
    // "admin", port 80. The library's result.
    virtual int Open(const std::wstring& routerIP, const std::wstring& password) = 0;
    // webGet and webPost (no extra headers); the library's result.
    virtual int Get(const std::wstring& path, unsigned& status, wchar_t* buffer, int bufferChars) = 0;
    virtual int Post(const std::wstring& path, const std::wstring& referrer, const std::wstring& body, unsigned& status,
                     wchar_t* buffer, int bufferChars) = 0;
    // The PC's adapters in the platform's order; false when the list cannot be read.
    virtual bool ListAdapters(std::vector<AdapterFacts>& adapters) = 0;
    // InternetCheckConnectionW with FLAG_ICC_FORCE_CONNECTION.
    virtual bool InternetReachable(const std::wstring& url) = 0;
    // What the last Open did to the PC's addressing (getRepairSteps), a line a step.
    virtual std::vector<std::wstring> RepairSteps() { return {}; }

protected:
    CRouterLink() = default;
    CRouterLink(const CRouterLink&) = delete;
    CRouterLink& operator=(const CRouterLink&) = delete;
};

// The system's own: Keplo, GetAdaptersInfo and WinINet.
CRouterLink& SystemRouterLink();

// A link that reaches nothing: no adapters, no router, no Internet. Tests
// that drive the wizard outside the network lab install it, so that a page
// that starts router work by itself cannot send anything.
class CUnreachableRouterLink final : public CRouterLink {
public:
    int Open(const std::wstring&, const std::wstring&) override { return 3; } // the router does not answer
    int Get(const std::wstring&, unsigned&, wchar_t*, int) override { return ERROR_NOT_CONNECTED; }
    int Post(const std::wstring&, const std::wstring&, const std::wstring&, unsigned&, wchar_t*, int) override
    {
        return ERROR_NOT_CONNECTED;
    }
    bool ListAdapters(std::vector<AdapterFacts>&) override { return false; }
    bool InternetReachable(const std::wstring&) override { return false; }
};

// The wired adapter the router is looked for behind: dhcp when the first
// wired adapter with a gateway gets its address by DHCP; gateway is that of
// the wired adapter looked at, none without a wired adapter or the list.
struct RouterAdapterLookup {
    bool dhcp = false;
    std::optional<std::wstring> gateway;
};
RouterAdapterLookup FindRouterAdapter(CRouterLink& link);

// One status page of the router: nothing when it could not be read.
std::optional<std::wstring> ReadStatusPage(CRouterLink& link, const wchar_t* path);

// The facts of GetAdaptersInfo's list, in its order. wiredAsDhcp reports every
// Ethernet adapter as DHCP-enabled (see WiredAdaptersCountAsDhcp).
std::vector<AdapterFacts> AdapterFactsOf(const IP_ADAPTER_INFO* list, bool wiredAsDhcp);

// Wine 8 reports every adapter with DHCP off. In the network lab, which runs
// the wizard under Wine, the environment variable TARVO_LAB_DHCP=1 makes the
// wired adapters count as DHCP-enabled. Never true on Windows.
bool WiredAdaptersCountAsDhcp();
