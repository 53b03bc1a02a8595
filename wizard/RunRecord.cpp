#include "RunRecord.h"

#include "SummaryText.h"

#include <shlobj.h>

#include <cstdio>

namespace {

std::wstring LogName(int run)
{
    return run == 0 ? std::wstring(CRunRecord::kFileName) : L"Tarvo." + std::to_wstring(run) + L".log";
}

std::string Utf8(const std::wstring& text)
{
    return Utf8WithBom(text).substr(3);
}

std::wstring Narrow8(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

} // namespace

std::wstring RunLogFolder()
{
    wchar_t local[MAX_PATH] = L"";
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local)) || local[0] == L'\0')
        return {};
    return std::wstring(local) + L"\\Tarvo\\";
}

CRunRecord::~CRunRecord()
{
    if (m_file != INVALID_HANDLE_VALUE) {
        Write(L"run ended");
        ::CloseHandle(m_file);
    }
}

bool CRunRecord::Open(const std::wstring& folder)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (folder.empty() || m_file != INVALID_HANDLE_VALUE)
        return false;
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    // Each earlier run one place down; the oldest is replaced.
    for (int run = kKeptRuns - 2; run >= 0; --run)
        ::MoveFileExW((folder + LogName(run)).c_str(), (folder + LogName(run + 1)).c_str(), MOVEFILE_REPLACE_EXISTING);
    m_path = folder + LogName(0);
    m_file = ::CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) {
        m_path.clear();
        return false;
    }
    // The mark lets every editor take the text as UTF-8.
    WriteLocked("\xEF\xBB\xBF");
    return true;
}

void CRunRecord::Write(const std::wstring& text)
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u  page %2d  ", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, m_page.load());
    std::string line = stamp + Utf8(text) + "\r\n";
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_file == INVALID_HANDLE_VALUE || m_full)
        return;
    // The last line that fits says that the rest is missing.
    static const std::string kFull = "(log full: the rest of this run is not recorded)\r\n";
    if (m_written + line.size() + kFull.size() > kMaxBytes) {
        line = kFull;
        m_full = true;
    }
    WriteLocked(line);
}

void CRunRecord::WriteLocked(const std::string& bytes)
{
    DWORD written = 0;
    // Written at once, unbuffered: a run that ends abruptly keeps its lines.
    if (::WriteFile(m_file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        m_written += written;
}

void CRunRecord::PageShown(int page)
{
    m_page = page;
    Write(L"page " + std::to_wstring(page) + L" shown");
}

RunFacts CRunRecord::Facts() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_facts;
}

void CRunRecord::UpdateFacts(const std::function<void(RunFacts&)>& change)
{
    std::lock_guard<std::mutex> guard(m_lock);
    change(m_facts);
}

// --- the recorded link ------------------------------------------------------

int CRecordedLink::Open(const std::wstring& routerIP, const std::wstring& password)
{
    const DWORD since = ::GetTickCount();
    const int result = Inner().Open(routerIP, password);
    const std::vector<std::wstring> steps = Inner().RepairSteps();
    for (const std::wstring& step : steps)
        m_record->Write(L"  repair: " + step);
    static const wchar_t* const kMeaning[] = {L"the router answers", L"the adapter list could not be read",
                                              L"no adapter could take an address in the router's network",
                                              L"the router does not answer"};
    const std::wstring meaning = result >= 0 && result <= 3 ? kMeaning[result] : L"the route's adapter is missing";
    // The password is never written, only whose it is.
    m_record->Write(L"connect to " + routerIP + L" as admin: " + std::to_wstring(result) + L" (" + meaning + L"), " +
                    std::to_wstring(::GetTickCount() - since) + L" ms");
    m_record->UpdateFacts([&](RunFacts& facts) {
        facts.last = RunFacts::Step::Open;
        facts.routerIP = routerIP;
        facts.openResult = result;
        facts.repaired = !steps.empty();
    });
    return result;
}

void CRecordedLink::Answered(const wchar_t* method, const std::wstring& path, int result, unsigned status, DWORD since)
{
    std::wstring line = std::wstring(method) + L" " + path + L": ";
    line += result == 0 ? L"status " + std::to_wstring(status) : L"error " + std::to_wstring(result);
    m_record->Write(line + L", " + std::to_wstring(::GetTickCount() - since) + L" ms");
    m_record->UpdateFacts([&](RunFacts& facts) {
        facts.last = RunFacts::Step::Request;
        facts.path = path;
        facts.requestResult = result;
        facts.status = result == 0 ? status : 0;
    });
}

int CRecordedLink::Get(const std::wstring& path, unsigned& status, wchar_t* buffer, int bufferChars)
{
    const DWORD since = ::GetTickCount();
    const int result = Inner().Get(path, status, buffer, bufferChars);
    Answered(L"GET", path, result, status, since);
    return result;
}

int CRecordedLink::Post(const std::wstring& path, const std::wstring& referrer, const std::wstring& body,
                        unsigned& status, wchar_t* buffer, int bufferChars)
{
    const DWORD since = ::GetTickCount();
    const int result = Inner().Post(path, referrer, body, status, buffer, bufferChars);
    // Only the form's path: its body holds passwords and keys.
    Answered(L"POST", path, result, status, since);
    return result;
}

bool CRecordedLink::ListAdapters(std::vector<AdapterFacts>& adapters)
{
    const bool read = Inner().ListAdapters(adapters);
    if (!read) {
        m_record->Write(L"adapters: the list could not be read");
    } else {
        m_record->Write(L"adapters: " + std::to_wstring(adapters.size()));
        for (const AdapterFacts& adapter : adapters)
            m_record->Write(L"  type " + std::to_wstring(adapter.type) + L", gateway \"" + Narrow8(adapter.gateway) +
                            L"\", DHCP " + (adapter.dhcpEnabled ? L"on" : L"off"));
    }
    const RouterAdapterChoice choice = ChooseRouterAdapter(read ? adapters : std::vector<AdapterFacts>{});
    m_record->UpdateFacts([&](RunFacts& facts) {
        facts.last = RunFacts::Step::Adapters;
        facts.adapterListRead = read;
        facts.wiredSeen = choice.wiredSeen;
        facts.wiredDhcp = choice.dhcp;
        facts.gateway = choice.gateway;
    });
    return read;
}

bool CRecordedLink::InternetReachable(const std::wstring& url)
{
    const DWORD since = ::GetTickCount();
    const bool reachable = Inner().InternetReachable(url);
    m_record->Write(L"Internet check " + url + L": " + (reachable ? L"reached" : L"not reached") + L", " +
                    std::to_wstring(::GetTickCount() - since) + L" ms");
    m_record->UpdateFacts([](RunFacts& facts) { facts.last = RunFacts::Step::InternetCheck; });
    return reachable;
}
