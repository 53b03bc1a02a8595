#include <winsock2.h>

#include "KeploApp.h"

CKeploApp theApp;

CKeploApp::CKeploApp()
{
    m_state.Reset();
}

CKeploApp::~CKeploApp() = default;

BOOL CKeploApp::InitInstance()
{
    if (!CDllApp::InitInstance())
        return FALSE;
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        // Without sockets no request can work; refusing the load tells the program at once.
        MessageBoxW(nullptr, L"Windows Sockets could not be initialized.", L"Keplo", MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    m_bSocketsStarted = true;
    return TRUE; // no class factories to register
}

int CKeploApp::ExitInstance()
{
    // Network state is left as it is: an alias address that closeConnection did not remove
    // stays on the adapter until the adapter restarts.
    if (m_bSocketsStarted) {
        WSACleanup();
        m_bSocketsStarted = false;
    }
    return CDllApp::ExitInstance();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        theApp.m_hInstance = instance;
        DisableThreadLibraryCalls(instance);
        return theApp.InitInstance();
    case DLL_PROCESS_DETACH:
        theApp.ExitInstance();
        return TRUE;
    default:
        return TRUE;
    }
}
