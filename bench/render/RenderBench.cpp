// Times the text control on the longest text of a language file, in a
// control of the size its page gives it: a full rendering (after
// ResetFormatting) and a repaint from the cached picture.
//   render_bench <language file> [iterations] [picture.bmp]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "XHTMLStatic.h"

namespace {

struct Placement {
    const wchar_t* key;
    int width, height;
};

// The text blocks that hold the long texts, with their sizes on their pages.
constexpr Placement kPlacements[] = {
    {L"IDS_P2_STATIC2", 520, 260},   {L"IDS_P3_STATIC3", 520, 160},   {L"IDS_P13A_STATIC2", 700, 190},
    {L"IDS_P13B_STATIC2", 700, 320}, {L"IDS_P13C_STATIC2", 700, 320}, {L"IDS_P13D_STATIC2", 700, 320},
    {L"IDS_P14_STATIC2", 700, 320},  {L"IDS_P15_STATIC2", 700, 320},
};

// The key whose value (as the program reads it) is the longest.
std::wstring LongestKey(const std::wstring& file, std::wstring& value)
{
    std::vector<wchar_t> section(1 << 16);
    const DWORD got =
        ::GetPrivateProfileSectionW(L"Strings", section.data(), static_cast<DWORD>(section.size()), file.c_str());
    std::wstring best;
    for (const wchar_t* p = section.data(); p < section.data() + got && *p; p += wcslen(p) + 1) {
        const std::wstring line = p;
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos)
            continue;
        const std::wstring key = line.substr(0, eq);
        wchar_t buffer[512] = {};
        ::GetPrivateProfileStringW(L"Strings", key.c_str(), L"", buffer, 512, file.c_str());
        if (wcslen(buffer) > value.size()) {
            value = buffer;
            best = key;
        }
    }
    return best;
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void SaveBitmap(HDC dc, HBITMAP bitmap, int width, int height, const wchar_t* path)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    ::GetDIBits(dc, bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, &fh, sizeof(fh), &written, nullptr);
    ::WriteFile(file, &bi.bmiHeader, sizeof(bi.bmiHeader), &written, nullptr);
    ::WriteFile(file, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    ::CloseHandle(file);
}

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return ::DefWindowProcW(h, m, w, l);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_bench <language file> [iterations] [picture.bmp]\n");
        return 2;
    }
    wchar_t full[MAX_PATH];
    ::GetFullPathNameW(argv[1], MAX_PATH, full, nullptr);
    const int iterations = argc > 2 ? std::max(1, _wtoi(argv[2])) : 200;

    std::wstring text;
    const std::wstring key = LongestKey(full, text);
    if (key.empty()) {
        std::fprintf(stderr, "render_bench: no strings in %ls\n", full);
        return 1;
    }
    int width = 520, height = 260;
    bool known = false;
    for (const Placement& p : kPlacements)
        if (key == p.key) {
            width = p.width;
            height = p.height;
            known = true;
        }

    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RenderBenchPage";
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ::RegisterClassW(&wc);
    HWND page = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    HWND child = ::CreateWindowExW(WS_EX_TRANSPARENT, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 280, 190, width, height,
                                   page, nullptr, wc.hInstance, nullptr);
    // The pages' dialog font.
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    fw::CFont font(::CreateFontW(-::MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                 L"MS Shell Dlg"));
    CXHTMLStatic control;
    control.SubclassWindow(child);
    control.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    control.m_crText = RGB(0, 0, 0);
    control.SetWindowText(text);

    fw::CMemoryDC target(::CreateCompatibleDC(screen));
    fw::CBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(target.get(), bitmap.get());
    const RECT all{0, 0, width, height};
    const auto print = [&] { control.SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(target.get()), PRF_CLIENT); };

    // Warm up fonts and caches, then time each kind of paint on its own.
    for (int i = 0; i < 5; ++i) {
        control.ResetFormatting();
        print();
    }
    std::vector<double> full_times, cached_times;
    for (int i = 0; i < iterations; ++i) {
        ::FillRect(target.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        control.ResetFormatting();
        double t0 = Now();
        print();
        ::GdiFlush();
        full_times.push_back(Now() - t0);

        t0 = Now();
        print();
        ::GdiFlush();
        cached_times.push_back(Now() - t0);
    }
    if (argc > 3)
        SaveBitmap(target.get(), bitmap.get(), width, height, argv[3]);
    ::SelectObject(target.get(), old);

    const double render = Median(full_times);
    const double cached = Median(cached_times);
    std::printf("text: %ls, %zu characters, control %d x %d%s, %zu links\n", key.c_str(), text.size(), width, height,
                known ? "" : " (size not known for this key)", control.Links().size());
    std::printf("full render:    %.3f ms (median of %d; aim: at most 2 ms)\n", render, iterations);
    std::printf("cached repaint: %.3f ms (aim: at most a tenth of the render)\n", cached);
    std::printf("ratio render/cached: %.1f\n", cached > 0 ? render / cached : 0.0);
    ::DestroyWindow(page);
    return 0;
}
