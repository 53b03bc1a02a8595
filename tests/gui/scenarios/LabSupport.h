#pragma once
// What the network lab's scenarios share: the check that this process sees
// only the lab's adapter, the substitute router read and changed through the
// lab runner, and a fixture that skips outside the lab.
//
// These scenarios let the wizard reach the router operations and the
// Internet check (page 5 onward). Outside the lab's PC namespace that traffic
// would go to the machine's real gateway and to public sites, so they run
// only where tests/lab/run-gui names the bridge folder (TARVO_LAB_BRIDGE) and
// the only adapter in sight is the lab's; anywhere else they skip.
#include "ScenarioSupport.h"
#include "TestDesktop.h"
#include "resource.h"

#include <commctrl.h>
#include <iphlpapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace lab {

// The PC side of the lab's veth pair.
inline constexpr BYTE kLabPcMac[] = {0x02, 0x54, 0x41, 0x52, 0x56, 0x4f};
// Page 5's timer, which the scenarios fast-forward.
inline constexpr UINT_PTR kApplyTimer = 77;
inline constexpr char kNotLabNamespace[] = "this is not the lab's PC namespace: the wizard would reach a real network";

inline std::string Lines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += "\n  " + line;
    return out;
}

// Every adapter this process sees is the lab's PC adapter (or there is none,
// in the variant that removed it).
inline bool OnlyLabAdapters()
{
    // Loaded here: the scenario program links nothing of the network.
    using GetAdaptersInfoFn = ULONG(WINAPI*)(PIP_ADAPTER_INFO, PULONG);
    const HMODULE iphlpapi = ::LoadLibraryW(L"iphlpapi.dll");
    const FARPROC proc = iphlpapi ? ::GetProcAddress(iphlpapi, "GetAdaptersInfo") : nullptr;
    // Through void*: the exported address is the function of this type.
    const auto getAdaptersInfo = reinterpret_cast<GetAdaptersInfoFn>(reinterpret_cast<void*>(proc));
    if (!getAdaptersInfo)
        return false;
    ULONG size = 0;
    const DWORD first = getAdaptersInfo(nullptr, &size);
    if (first == ERROR_NO_DATA)
        return true;
    if (first != ERROR_BUFFER_OVERFLOW)
        return false;
    std::vector<IP_ADAPTER_INFO> list(size / sizeof(IP_ADAPTER_INFO) + 1);
    if (getAdaptersInfo(list.data(), &size) != ERROR_SUCCESS)
        return false;
    for (const IP_ADAPTER_INFO* a = list.data(); a; a = a->Next) {
        if (a->AddressLength != sizeof kLabPcMac || std::memcmp(a->Address, kLabPcMac, sizeof kLabPcMac) != 0)
            return false;
    }
    return true;
}

// The whole file; false when it cannot be opened.
inline bool ReadWhole(const std::wstring& path, std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.clear();
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(file);
    return true;
}

inline void WriteWhole(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw gui::DriverError("lab: cannot write " + gui::Narrow(path));
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// The router, read and changed through tests/lab/run-gui: a request file in
// the bridge folder, answered by a response file with the status first.
class Router {
public:
    Router() : m_folder(scenario::EnvPath("TARVO_LAB_BRIDGE")) {}

    bool Available() const { return !m_folder.empty(); }

    // The output of a request; throws when it failed or got no answer.
    std::string Ask(const std::vector<std::string>& args, DWORD limitMs = 60000)
    {
        // One count for the whole process: no name comes twice, so an answer
        // that came too late for one request is never taken for another's.
        static int count = 0;
        const std::wstring name = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
        const std::wstring request = m_folder + L"\\req-" + name;
        const std::wstring response = m_folder + L"\\resp-" + name;
        std::string text;
        for (const std::string& arg : args)
            text += arg + "\n";
        WriteWhole(request + L".tmp", text);
        if (!::MoveFileW((request + L".tmp").c_str(), request.c_str()))
            throw gui::DriverError("lab: cannot place the request " + gui::Narrow(request));

        const DWORD start = ::GetTickCount();
        std::string answer;
        while (!ReadWhole(response, answer)) {
            if (::GetTickCount() - start > limitMs)
                throw gui::DriverError("lab: no answer to '" + args.front() + "'");
            ::Sleep(20);
        }
        ::DeleteFileW(response.c_str());
        const size_t newline = answer.find('\n');
        const std::string output = newline == std::string::npos ? "" : answer.substr(newline + 1);
        if (answer.substr(0, newline) != "0")
            throw gui::DriverError("lab: '" + args.front() + "' failed: " + output);
        return output;
    }

    void Set(const std::string& setting) { Ask({"set", setting}); }
    std::string State(const std::string& filter) { return Ask({"state", filter}); }
    // The journal after sequence number since, through a jq filter.
    std::string Journal(int since, const std::string& filter)
    {
        return Ask({"journal", std::to_string(since), filter});
    }
    int NextSeq() { return std::stoi(State(".journal_next_seq")); }
    bool WaitRunning(int seconds)
    {
        return Ask({"wait-running", std::to_string(seconds)}, (seconds + 30) * 1000u) == "running";
    }
    // The text of the QR code in a screenshot (its name as given to
    // gui::Wizard::Screenshot), decoded by the lab runner.
    std::string DecodeQr(const std::wstring& shot)
    {
        std::string name = gui::Narrow(shot) + ".png";
        std::replace(name.begin(), name.end(), '\\', '/');
        return Ask({"decode-qr", name});
    }

private:
    std::wstring m_folder;
};

// A wizard scenario of the lab: skips unless the runner named the bridge and
// this process sees only the lab's adapter; afterwards Wine must have
// reported no exception of the wizard, which is closed.
class LabScenario : public scenario::WizardScenario {
protected:
    void SetUp() override
    {
        if (!router.Available())
            GTEST_SKIP() << "only in the network lab (tests/lab/run-gui)";
        if (!OnlyLabAdapters())
            GTEST_SKIP() << kNotLabNamespace;
        WizardScenario::SetUp();
    }

    void TearDown() override
    {
        if (gui.ProcessId() && scenario::RunLog().Available()) {
            const std::vector<std::string> exceptions = scenario::RunLog().Exceptions(gui.ProcessId());
            EXPECT_TRUE(exceptions.empty()) << "Wine reports exceptions:" << Lines(exceptions);
        }
        WizardScenario::TearDown();
        if (gui.IsRunning()) {
            gui.Close();
            gui.WaitForExit();
        }
    }

    void Shot(const std::wstring& what) { gui.Screenshot(L"lab-" + scenario::CurrentName() + L"-" + what); }

    // The bar of a page, or -1 when the page is not up.
    int Bar(int page = 5) const
    {
        HWND bar = ::GetDlgItem(gui.PageWindow(page), IDC_PROGRESS);
        DWORD_PTR pos = 0;
        if (!bar || !::IsWindowVisible(bar) || !::SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 60000, &pos))
            return -1;
        return static_cast<int>(pos);
    }

    // One tick of a page's timer. The page's own timer may move the wizard on
    // at the same moment; only a tick the page still shows for may fail. A
    // tick that sets off router work (or comes while it runs) is over when
    // the work is: the page's count waits for it, and so does the caller.
    void Tick(int page = 5, UINT_PTR timer = kApplyTimer)
    {
        try {
            gui.TimerTicks(timer, 1);
        } catch (const gui::DriverError&) {
            ::Sleep(200);
            if (gui.VisiblePage() == page)
                throw;
        }
        const DWORD start = ::GetTickCount();
        while (Working() && ::GetTickCount() - start < 120000)
            ::Sleep(50);
    }

    // Is the wizard's router work in flight? It shows a marquee bar on the page meanwhile.
    bool Working() const
    {
        const int page = gui.VisiblePage();
        HWND window = page > 0 ? gui.PageWindow(page) : nullptr;
        for (HWND child = window ? ::GetWindow(window, GW_CHILD) : nullptr; child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[32] = L"";
            ::GetClassNameW(child, cls, 32);
            if (::lstrcmpiW(cls, PROGRESS_CLASSW) == 0 && (::GetWindowLongPtrW(child, GWL_STYLE) & PBS_MARQUEE) &&
                ::IsWindowVisible(child))
                return true;
        }
        return false;
    }

    Router router;
};

} // namespace lab
