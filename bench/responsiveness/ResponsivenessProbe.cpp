// How long the wizard's window keeps a caller waiting, measured from beside a
// lab walk:
//   responsiveness_probe <result file> <stop file>
// Every 20 ms it asks Tarvo's main window for an answer (WM_NULL through
// SendMessageTimeout, with a limit of 60 s so that a long block is measured
// whole) and notes how long the answer took and which page was showing. It
// runs until the stop file exists, then writes one line to the result file:
//   samples=N longest_ms=X over_100ms=K over_1s=L median_ms=M last_page=P pages=A,B,...
// Both paths may be Unix paths (as the bench script has them).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kIntervalMs = 20;
constexpr UINT kAnswerLimitMs = 60000;
// The wizard's pages are child dialogs of its main window with ids 1 to 30.
constexpr int kFirstPage = 1;
constexpr int kLastPage = 30;

std::wstring WindowsPath(std::wstring path)
{
    if (!path.empty() && path[0] == L'/') {
        std::replace(path.begin(), path.end(), L'/', L'\\');
        path = L"Z:" + path;
    }
    return path;
}

bool IsDialog(HWND hwnd)
{
    wchar_t name[16] = L"";
    ::GetClassNameW(hwnd, name, 16);
    return std::wstring(name) == L"#32770";
}

// Tarvo's main window: a visible top-level dialog that holds the first page.
BOOL CALLBACK FindMain(HWND hwnd, LPARAM lp)
{
    if (!::IsWindowVisible(hwnd) || ::GetWindow(hwnd, GW_OWNER) || !IsDialog(hwnd))
        return TRUE;
    HWND first = ::GetDlgItem(hwnd, kFirstPage);
    if (!first || !IsDialog(first))
        return TRUE;
    *reinterpret_cast<HWND*>(lp) = hwnd;
    return FALSE;
}

// The one visible page, read from the style bits (no message to a busy window); 0 when none or several.
int VisiblePage(HWND main)
{
    int found = 0;
    for (int n = kFirstPage; n <= kLastPage; ++n) {
        HWND page = ::GetDlgItem(main, n);
        if (page && (::GetWindowLongPtrW(page, GWL_STYLE) & WS_VISIBLE)) {
            if (found)
                return 0;
            found = n;
        }
    }
    return found;
}

} // namespace

int wmainImpl(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: responsiveness_probe <result file> <stop file>\n");
        return 2;
    }
    const std::wstring result = WindowsPath(argv[1]);
    const std::wstring stop = WindowsPath(argv[2]);
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);

    std::vector<double> waits;
    std::vector<int> pages;
    HWND main = nullptr;
    while (::GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (!main || !::IsWindow(main)) {
            main = nullptr;
            ::EnumWindows(FindMain, reinterpret_cast<LPARAM>(&main));
        }
        if (main) {
            LARGE_INTEGER t0, t1;
            DWORD_PTR ignored = 0;
            ::QueryPerformanceCounter(&t0);
            const bool answered =
                ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerLimitMs, &ignored) != 0;
            ::QueryPerformanceCounter(&t1);
            // A window that went away while it was asked gave no answer at all;
            // a limit that ran out is a wait of at least the limit.
            if (answered || ::IsWindow(main))
                waits.push_back(1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) /
                                static_cast<double>(freq.QuadPart));
            if (const int page = ::IsWindow(main) ? VisiblePage(main) : 0;
                page && (pages.empty() || pages.back() != page))
                pages.push_back(page);
        }
        ::Sleep(kIntervalMs);
    }

    std::vector<double> sorted = waits;
    std::sort(sorted.begin(), sorted.end());
    const auto over = [&](double ms) {
        return std::count_if(waits.begin(), waits.end(), [ms](double w) { return w > ms; });
    };
    std::string path;
    for (int page : pages)
        path += (path.empty() ? "" : ",") + std::to_string(page);
    char line[512];
    std::snprintf(line, sizeof line,
                  "samples=%zu longest_ms=%.0f over_100ms=%ld over_1s=%ld median_ms=%.1f last_page=%d pages=%s\n",
                  waits.size(), sorted.empty() ? 0.0 : sorted.back(), static_cast<long>(over(100)),
                  static_cast<long>(over(1000)), sorted.empty() ? 0.0 : sorted[sorted.size() / 2],
                  pages.empty() ? 0 : pages.back(), path.empty() ? "-" : path.c_str());
    FILE* out = _wfopen(result.c_str(), L"w");
    if (!out) {
        std::fprintf(stderr, "responsiveness_probe: cannot write the result file\n");
        return 1;
    }
    std::fputs(line, out);
    std::fclose(out);
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
