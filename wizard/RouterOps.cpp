// The main window's operations on the router and on the PC's adapters.
#include "RouterOps.h"

#include "Keplo.h"
#include "PageBase.h"
#include "RouterText.h"
#include "SummaryText.h"
#include "TarvoDlg.h"
#include "UIStr.h"
#include "resource.h"

#include <wininet.h>

#include <memory>

namespace {

// The router's address, as the wizard talks to it.
constexpr wchar_t kRouterMask[] = L"255.255.255.0";
constexpr wchar_t kRouterUser[] = L"admin";
constexpr unsigned short kRouterPort = 80;

// Pages the operations switch to when they cannot do their work.
constexpr int kPageRouterUnreachable = 11;
constexpr int kPageAdapterUnsuitable = 12;

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
        if (::GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW)
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

// Prepares the connection to the router with the run's identity; on failure
// the router-unreachable page is shown.
bool OpenRouter(CTarvoDlg& main)
{
    if (main.RouterLink().Open(main.m_strRouterIP, main.m_strAdminPassword) == 0)
        return true;
    main.ShowPage(kPageRouterUnreachable);
    return false;
}

// Posts one form of the router over the prepared connection. On failure the
// router-unreachable page is shown.
int PostForm(CTarvoDlg& main, const RouterPost& form)
{
    std::vector<wchar_t> response(kRouterBufferChars);
    unsigned status = 0;
    if (main.RouterLink().Post(form.path, RouterPageAddress(main.m_strRouterIP, form.ownerPage), form.body, status,
                               response.data(), kRouterBufferChars) != 0) {
        main.ShowPage(kPageRouterUnreachable);
        return kRouterNotDone;
    }
    // The answer's text means nothing to the wizard: only a refused login counts.
    return status == HTTP_STATUS_DENIED ? kRouterRefused : kRouterDone;
}

// A transparent control shows the page's art through it: repaint the art
// behind it first, then the control.
void RedrawOverArt(const CWnd& page, const CWnd& control)
{
    RECT rc = control.GetWindowRect();
    ::MapWindowPoints(HWND_DESKTOP, page.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    ::RedrawWindow(page.m_hWnd, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
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

CRouterLink& CTarvoDlg::RouterLink() const
{
    return m_pRouterLink ? *m_pRouterLink : SystemRouterLink();
}

BOOL CTarvoDlg::FindRouterAdapter()
{
    std::vector<AdapterFacts> adapters;
    if (!RouterLink().ListAdapters(adapters))
        return FALSE;
    const RouterAdapterChoice choice = ChooseRouterAdapter(adapters);
    // Without a wired adapter the address stays what it was.
    if (choice.wiredSeen)
        m_strRouterIP = FromSystemCodePage(choice.gateway);
    return choice.dhcp ? TRUE : FALSE;
}

void CTarvoDlg::ReadRouterStatus()
{
    CRouterLink& link = RouterLink();
    if (link.Open(m_strRouterIP, m_strAdminPassword) == 0) {
        std::vector<wchar_t> page(kRouterBufferChars);
        unsigned status = 0;
        if (link.Get(L"/stadevice.asp", status, page.data(), kRouterBufferChars) == 0 && status == HTTP_STATUS_OK) {
            page.back() = L'\0';
            // A page without the name cell leaves the name the wizard knew.
            if (std::optional<std::wstring> name = ExtractWirelessName(page.data()))
                m_strSSID = std::move(*name);
        }
    }

    // Page 18 shows the name whether or not the router told it now.
    CWizardPage* namePage = Page(18);
    if (!namePage || !namePage->m_hWnd)
        return;
    if (CPTLabel* label = namePage->Ctl<CPTLabel>(IDC_CP7_SSID)) {
        label->SetWindowPos(HWND_BOTTOM, 400, 332, 350, 20, SWP_NOACTIVATE);
        label->SetWindowText(m_strSSID);
        label->SetLabelFont(FALSE, 12, L"Calibri");
        for (COLORREF& colour : label->m_crState)
            colour = RGB(0, 0, 0);
        RedrawOverArt(*namePage, *label);
    }
    if (CXHTMLStatic* sentence = namePage->Ctl<CXHTMLStatic>(IDC_CP7_STATIC3)) {
        sentence->SetWindowPos(HWND_BOTTOM, 280, 190, 520, 70, SWP_NOACTIVATE);
        sentence->ModifyStyleEx(0, WS_EX_TRANSPARENT);
        sentence->ResetFormatting();
        sentence->SetWindowText(FillMarkup(g_uiStr.IDS_P7_STATIC3, {m_strSSID}));
        RedrawOverArt(*namePage, *sentence);
    }
}

int CTarvoDlg::SetupWan()
{
    if (!FindRouterAdapter()) {
        ShowPage(kPageAdapterUnsuitable);
        return kRouterNotDone;
    }
    if (m_strRouterIP.empty() || m_strRouterIP == L"0.0.0.0") {
        ShowPage(kPageRouterUnreachable);
        return kRouterNotDone;
    }

    if (!OpenRouter(*this))
        return kRouterNotDone;
    const std::wstring& user = m_nWanType == kWanBigPond ? m_strBigPondUser : m_strPppoeUser;
    const std::wstring& password = m_nWanType == kWanBigPond ? m_strBigPondPassword : m_strPppoePassword;
    const std::optional<RouterPost> form = WanForm(m_nWanType, user, password);
    if (!form)
        return kRouterNotDone; // no connection type chosen: nothing is sent
    return PostForm(*this, *form);
}

int CTarvoDlg::RebootRouter()
{
    if (!OpenRouter(*this))
        return kRouterNotDone;
    return PostForm(*this, RebootForm());
}
