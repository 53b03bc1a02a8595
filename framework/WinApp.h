#pragma once
// The application object: one per program, started by the framework's WinMain.
#include "Wnd.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the program when it returns; TRUE runs the message loop.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    int Run();

    static CWinApp* Get() { return s_app; }

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

private:
    static CWinApp* s_app;
};

namespace fw {
// The module whose resources hold the dialog templates: the program itself.
HINSTANCE ResourceInstance();
// Starts Windows Sockets 2.2 for the life of the process; false on failure.
bool SocketInit();
} // namespace fw
