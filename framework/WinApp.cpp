#include "WinApp.h"

#include <winsock2.h>

CWinApp* CWinApp::s_app = nullptr;

CWinApp::CWinApp()
{
    s_app = this;
}

CWinApp::~CWinApp()
{
    if (s_app == this)
        s_app = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        CWnd::DispatchWithFilter(msg);
    return ExitInstance();
}

namespace fw {

HINSTANCE ResourceInstance()
{
    return ::GetModuleHandleW(nullptr);
}

bool SocketInit()
{
    struct Sockets {
        bool ok = false;
        Sockets()
        {
            WSADATA data;
            ok = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
        }
        ~Sockets()
        {
            if (ok)
                ::WSACleanup();
        }
    };
    static Sockets sockets;
    return sockets.ok;
}

} // namespace fw
