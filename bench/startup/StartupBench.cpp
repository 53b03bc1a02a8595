// Time from process start to the first page on screen, for Tarvo.exe and for
// a minimal dialog program, measured the same way in the same run:
//   startup_bench <Tarvo.exe> <MinimalDialog.exe> [runs]
// "Shown" means: a visible top-level window of the process whose child with
// id 1 (the wizard's page 1; the minimal dialog's only control) is visible.
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

// Milliseconds until the program's first page shows, or -1.
double TimeToFirstPage(const std::wstring& exe)
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
    std::vector<double> tarvo, minimal;
    for (int i = 0; i < runs; ++i) {
        tarvo.push_back(TimeToFirstPage(argv[1]));
        minimal.push_back(TimeToFirstPage(argv[2]));
    }
    if (std::count(tarvo.begin(), tarvo.end(), -1.0) || std::count(minimal.begin(), minimal.end(), -1.0)) {
        std::printf("startup: a program did not show its first page\n");
        return 1;
    }
    const double t = Median(tarvo), m = Median(minimal);
    std::printf("startup: runs %d, median to first page: Tarvo.exe %.1f ms, minimal dialog %.1f ms, ratio %.2f\n",
                runs, t, m, t / m);
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
