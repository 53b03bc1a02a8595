// The session's operations on the router and on the PC's adapters. The work
// of each runs on the worker thread with copies of the settings it needs;
// only what it found comes back to the window's thread.
#include "RouterOps.h"

#include "Keplo.h"
#include "RouterText.h"
#include "Session.h"
#include "StatusText.h"

#include <wininet.h>

#include <memory>
#include <utility>

namespace {

// The router's address, as the wizard talks to it.
constexpr wchar_t kRouterMask[] = L"255.255.255.0";
constexpr wchar_t kRouterUser[] = L"admin";
constexpr unsigned short kRouterPort = 80;

class CSystemLink final : public CRouterLink {
public:
    int Open(const std::wstring& routerIP, const std::wstring& password) override
    {
        return openConnection(routerIP.c_str(), kRouterMask, kRouterUser, password.c_str(), kRouterPort);
    }

    int Get(const std::wstring& path, unsigned& status, wchar_t* buffer, int bufferChars) override
    {
        return webGet(path.c_str(), &status, buffer, bufferChars);
    }

    int Post(const std::wstring& path, const std::wstring& referrer, const std::wstring& body, unsigned& status,
             wchar_t* buffer, int bufferChars) override
    {
        return webPost(path.c_str(), nullptr, referrer.c_str(), body.c_str(), &status, buffer, bufferChars);
    }

    bool ListAdapters(std::vector<AdapterFacts>& adapters) override
    {
        ULONG size = 0;
        const ULONG sized = ::GetAdaptersInfo(nullptr, &size);
        if (sized == ERROR_NO_DATA) {
            adapters.clear(); // a PC without adapters: a list, and an empty one
            return true;
        }
        if (sized != ERROR_BUFFER_OVERFLOW)
            return false;
        // IP_ADAPTER_INFO entries point into the same block: keep it aligned for them.
        std::unique_ptr<IP_ADAPTER_INFO[]> block(new IP_ADAPTER_INFO[size / sizeof(IP_ADAPTER_INFO) + 1]);
        if (::GetAdaptersInfo(block.get(), &size) != ERROR_SUCCESS)
            return false;
        adapters = AdapterFactsOf(block.get(), WiredAdaptersCountAsDhcp());
        return true;
    }

    bool InternetReachable(const std::wstring& url) override
    {
        return ::InternetCheckConnectionW(url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0) != FALSE;
    }

    std::vector<std::wstring> RepairSteps() override
    {
        std::vector<wchar_t> text(8192, L'\0');
        std::vector<std::wstring> steps;
        if (getRepairSteps(text.data(), static_cast<int>(text.size())) != 0)
            return {L"(the repair steps could not be read)"};
        std::wstring_view rest(text.data());
        for (size_t end; (end = rest.find(L"\r\n")) != std::wstring_view::npos; rest.remove_prefix(end + 2))
            steps.emplace_back(rest.substr(0, end));
        return steps;
    }
};

std::wstring FromSystemCodePage(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// The text of an 8-bit field of IP Helper's fixed-size records, which need
// not be terminated when full.
template <size_t N> std::string FieldText(const char (&field)[N])
{
    size_t length = 0;
    while (length < N && field[length] != '\0')
        ++length;
    return std::string(field, length);
}

} // namespace

CRouterLink& SystemRouterLink()
{
    static CSystemLink link;
    return link;
}

std::vector<AdapterFacts> AdapterFactsOf(const IP_ADAPTER_INFO* list, bool wiredAsDhcp)
{
    std::vector<AdapterFacts> facts;
    for (const IP_ADAPTER_INFO* adapter = list; adapter; adapter = adapter->Next) {
        AdapterFacts fact;
        fact.type = adapter->Type;
        fact.gateway = FieldText(adapter->GatewayList.IpAddress.String);
        fact.dhcpEnabled = adapter->DhcpEnabled != 0 || (wiredAsDhcp && adapter->Type == MIB_IF_TYPE_ETHERNET);
        facts.push_back(std::move(fact));
    }
    return facts;
}

bool WiredAdaptersCountAsDhcp()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !::GetProcAddress(ntdll, "wine_get_version"))
        return false;
    wchar_t value[4] = L"";
    const DWORD length = ::GetEnvironmentVariableW(L"TARVO_LAB_DHCP", value, 4);
    return length == 1 && value[0] == L'1';
}

RouterAdapterLookup FindRouterAdapter(CRouterLink& link)
{
    RouterAdapterLookup lookup;
    std::vector<AdapterFacts> adapters;
    if (!link.ListAdapters(adapters))
        return lookup;
    const RouterAdapterChoice choice = ChooseRouterAdapter(adapters);
    // Without a wired adapter the address stays what it was.
    if (choice.wiredSeen)
        lookup.gateway = FromSystemCodePage(choice.gateway);
    lookup.dhcp = choice.dhcp;
    return lookup;
}

std::optional<std::wstring> ReadStatusPage(CRouterLink& link, const wchar_t* path)
{
    std::vector<wchar_t> page(kRouterBufferChars, L'\0');
    unsigned status = 0;
    if (link.Get(path, status, page.data(), kRouterBufferChars) != 0 || status != HTTP_STATUS_OK)
        return std::nullopt;
    page.back() = L'\0';
    return std::wstring(page.data());
}

bool CWizardSession::Run(std::function<void()> work, std::function<void()> done)
{
    const bool started = m_worker.Start(std::move(work), [this, done = std::move(done)] {
        done();
        if (!m_worker.Busy())
            m_host.ShowWorking(false);
    });
    if (started)
        m_host.ShowWorking(true);
    return started;
}

bool CWizardSession::SetupWan(std::function<void(PostOutcome)> done)
{
    struct Job {
        int type = 0;
        std::wstring routerIP, password, user, accountPassword;
        RouterAdapterLookup adapter;
        PostOutcome outcome = PostOutcome::Failed;
    };
    auto job = std::make_shared<Job>();
    job->type = m_nWanType;
    m_record->UpdateFacts([this](RunFacts& facts) { facts.wanType = m_nWanType; });
    job->routerIP = m_strRouterIP;
    job->password = m_strAdminPassword;
    job->user = m_nWanType == kWanBigPond ? m_strBigPondUser : m_strPppoeUser;
    job->accountPassword = m_nWanType == kWanBigPond ? m_strBigPondPassword : m_strPppoePassword;
    std::shared_ptr<CRouterLink> link = m_link;
    return Run(
        [job, link] {
            job->adapter = FindRouterAdapter(*link);
            if (!job->adapter.dhcp) {
                job->outcome = PostOutcome::NoRouterAdapter;
                return;
            }
            const std::wstring routerIP = job->adapter.gateway.value_or(job->routerIP);
            if (routerIP.empty() || routerIP == L"0.0.0.0")
                return;
            const std::optional<RouterPost> form = WanForm(job->type, job->user, job->accountPassword);
            if (!form) {
                // No connection type chosen: the connection is prepared, nothing is sent.
                job->outcome = link->Open(routerIP, job->password) == 0 ? PostOutcome::NotSent : PostOutcome::Failed;
                return;
            }
            job->outcome = PostRouterForm(*link, routerIP, job->password, *form, IfNotPrepared::Stop);
        },
        [this, job, done = std::move(done)] {
            if (job->adapter.gateway)
                m_strRouterIP = *job->adapter.gateway;
            done(job->outcome);
        });
}

bool CWizardSession::RebootRouter(std::function<void(PostOutcome)> done)
{
    auto outcome = std::make_shared<PostOutcome>(PostOutcome::Failed);
    std::shared_ptr<CRouterLink> link = m_link;
    return Run(
        [outcome, link, ip = m_strRouterIP, pw = m_strAdminPassword] {
            *outcome = PostRouterForm(*link, ip, pw, RebootForm(), IfNotPrepared::Stop);
        },
        [outcome, done = std::move(done)] { done(*outcome); });
}

bool CWizardSession::SendSettingsForm(const RouterPost& form, std::function<void(PostOutcome)> done)
{
    auto outcome = std::make_shared<PostOutcome>(PostOutcome::Failed);
    std::shared_ptr<CRouterLink> link = m_link;
    return Run([outcome, link, ip = m_strRouterIP, pw = m_strAdminPassword,
                form] { *outcome = PostRouterForm(*link, ip, pw, form, IfNotPrepared::PostAnyway); },
               [outcome, done = std::move(done)] { done(*outcome); });
}

bool CWizardSession::CheckInternet(std::function<void(bool)> done)
{
    auto reachable = std::make_shared<bool>(false);
    std::shared_ptr<CRouterLink> link = m_link;
    return Run(
        [reachable, link] {
            *reachable = link->InternetReachable(kInternetCheckSite1) || link->InternetReachable(kInternetCheckSite2);
        },
        [reachable, done = std::move(done)] { done(*reachable); });
}

bool CWizardSession::ReadWirelessName(std::function<void()> done)
{
    auto name = std::make_shared<std::optional<std::wstring>>();
    std::shared_ptr<CRouterLink> link = m_link;
    return Run(
        [name, link, ip = m_strRouterIP, pw = m_strAdminPassword] {
            if (link->Open(ip, pw) != 0)
                return;
            // A page without the name cell leaves the name the wizard knew.
            if (const std::optional<std::wstring> page = ReadStatusPage(*link, L"/stadevice.asp"))
                *name = ExtractWirelessName(*page);
        },
        [this, name, done = std::move(done)] {
            if (*name)
                m_strSSID = std::move(**name);
            done();
        });
}

bool CWizardSession::ReadRouterStatus(std::function<void(bool)> done)
{
    struct Job {
        bool reached = false;
        std::optional<std::wstring> time, address;
    };
    auto job = std::make_shared<Job>();
    std::shared_ptr<CRouterLink> link = m_link;
    return Run(
        [job, link, ip = m_strRouterIP, pw = m_strAdminPassword] {
            if (link->Open(ip, pw) != 0)
                return;
            job->reached = true;
            // A page that cannot be read, or that lacks its marker, leaves its setting as it was.
            if (const std::optional<std::wstring> page = ReadStatusPage(*link, L"/stamenu.asp"))
                job->time = RouterTimeFromStatus(*page);
            if (const std::optional<std::wstring> page = ReadStatusPage(*link, L"/stanet.asp"))
                job->address = InternetAddressFromStatus(*page);
        },
        [this, job, done = std::move(done)] {
            if (job->time)
                m_strSystemTime = std::move(*job->time);
            if (job->address)
                m_strInternetIP = std::move(*job->address);
            done(job->reached);
        });
}
