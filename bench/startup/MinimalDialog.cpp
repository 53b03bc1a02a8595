// The smallest Win32 dialog program: the baseline for the start-up benchmark.
#include <windows.h>

static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(hwnd, 0);
        return TRUE;
    }
    return msg == WM_INITDIALOG;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    DialogBoxParamW(instance, MAKEINTRESOURCEW(100), nullptr, Proc, 0);
    return 0;
}
