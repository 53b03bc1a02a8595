// Time from process start to the first page on screen, for Tarvo.exe and for
// a minimal dialog program, measured the same way in the same run:
//   startup_bench <Tarvo.exe> <MinimalDialog.exe> [runs]
// "Shown" means: a visible top-level window of the process whose child with
// id 1 (the wizard's page 1; the minimal dialog's only control) is visible.
// Then the language switch: on Tarvo.exe's page 1 the list is opened, the
// second language picked and Next clicked; the figure is how long that click
// holds the window's thread (until page 2 shows and the window answers).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindShown(HWND hwnd, LPARAM lp)
{
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != s->pid || !::IsWindowVisible(hwnd))
        return TRUE;
    HWND first = ::GetDlgItem(hwnd, 1);
    if (first && ::IsWindowVisible(first)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

double Since(const LARGE_INTEGER& t0)
{
    LARGE_INTEGER freq, t1;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&t1);
    return 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
}

// The wizard's ids on page 1 (resource.h): the language list and Next.
constexpr int kLanguageList = 1053;
constexpr int kPage1Next = 1134;

// Picks the second language on the shown page 1 of main as a person does and
// clicks Next: milliseconds until page 2 shows and the window answers, or -1.
double TimeLanguageSwitch(HWND main)
{
    HWND page1 = ::GetDlgItem(main, 1);
    HWND list = ::GetDlgItem(page1, kLanguageList);
    HWND next = ::GetDlgItem(page1, kPage1Next);
    if (!list || !next)
        return -1;
    DWORD_PTR answer = 0;
    const UINT flags = SMTO_NORMAL;
    // Opening the list fills it; a pick closes it and notifies the page.
    ::SendMessageTimeoutW(list, CB_SHOWDROPDOWN, TRUE, 0, flags, 10000, &answer);
    ::SendMessageTimeoutW(list, CB_SHOWDROPDOWN, FALSE, 0, flags, 10000, &answer);
    ::SendMessageTimeoutW(list, CB_SETCURSEL, 1, 0, flags, 10000, &answer);
    ::SendMessageTimeoutW(page1, WM_COMMAND, MAKEWPARAM(kLanguageList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list),
                          flags, 10000, &answer);
    ::Sleep(200); // let the window settle before the timed click
    LARGE_INTEGER t0;
    ::QueryPerformanceCounter(&t0);
    ::PostMessageW(page1, WM_COMMAND, MAKEWPARAM(kPage1Next, STN_CLICKED), reinterpret_cast<LPARAM>(next));
    for (int i = 0; i < 10000; ++i) {
        if (!::SendMessageTimeoutW(main, WM_NULL, 0, 0, flags, 10000, &answer))
            return -1;
        HWND page2 = ::GetDlgItem(main, 2);
        if (page2 && ::IsWindowVisible(page2))
            return Since(t0);
        ::Sleep(0);
    }
    return -1;
}

// Milliseconds until the program's first page shows, or -1; with switchMs,
// also the language switch on that page.
double TimeToFirstPage(const std::wstring& exe, double* switchMs = nullptr)
{
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER freq, t0, t1;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&t0);
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    Search search{pi.dwProcessId, nullptr};
    double ms = -1;
    for (int i = 0; i < 30000 && !search.found; ++i) {
        ::EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            ::QueryPerformanceCounter(&t1);
            ms = 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
        } else {
            ::Sleep(1);
        }
    }
    if (search.found && switchMs)
        *switchMs = TimeLanguageSwitch(search.found);
    if (search.found)
        ::PostMessageW(search.found, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return ms;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace

int wmainImpl(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench Tarvo.exe MinimalDialog.exe [runs]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 10;
    // One run of each first, so that both start from warm caches.
    TimeToFirstPage(argv[1]);
    TimeToFirstPage(argv[2]);
    std::vector<double> tarvo, minimal, switching;
    for (int i = 0; i < runs; ++i) {
        double switchMs = -1;
        tarvo.push_back(TimeToFirstPage(argv[1], &switchMs));
        switching.push_back(switchMs);
        minimal.push_back(TimeToFirstPage(argv[2]));
    }
    if (std::count(tarvo.begin(), tarvo.end(), -1.0) || std::count(minimal.begin(), minimal.end(), -1.0) ||
        std::count(switching.begin(), switching.end(), -1.0)) {
        std::printf("startup: a program did not show its first page\n");
        return 1;
    }
    const double t = Median(tarvo), m = Median(minimal);
    std::printf("startup: runs %d, median to first page: Tarvo.exe %.1f ms, minimal dialog %.1f ms, ratio %.2f\n",
                runs, t, m, t / m);
    std::printf("language switch: runs %d, median click on Next to page 2 shown and answering: %.1f ms\n", runs,
                Median(switching));
    return 0;
}

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const int rc = wmainImpl(argc, argv);
    ::LocalFree(argv);
    return rc;
}
