#include "TarvoApp.h"

#include "Cleanup.h"
#include "TarvoDlg.h"
#include "UIStr.h"
#include "WizardCore.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

BOOL CTarvoApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();

    if (!fw::SocketInit()) {
        ::MessageBoxW(nullptr, L"AfxSocketInit() Failed \n", L"", MB_OK);
        return FALSE;
    }
    // Picture loading and the shell need OLE on this thread.
    const HRESULT ole = ::OleInitialize(nullptr);

    switch (SelectStartMode(::GetCommandLineW())) {
    case StartMode::HandOff:
        HandOff();
        break;
    case StartMode::CleanUp:
        RunCleanUp();
        break;
    case StartMode::Wizard: {
        CTarvoDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        break;
    }
    }

    if (SUCCEEDED(ole))
        ::OleUninitialize();
    return FALSE;
}

void CTarvoApp::HandOff()
{
    wchar_t modulePath[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    g_strAppFolder = FolderOfPath(modulePath);

    wchar_t temp[1024] = L"";
    ::GetTempPathW(1024, temp);
    const std::wstring tempFolder = temp;
    for (const wchar_t* name : {L"Keplo.dll", L"Keplo.lib", L"Tarvo.exe"})
        ::CopyFileW((g_strAppFolder + name).c_str(), (tempFolder + name).c_str(), FALSE);

    const std::wstring copy = tempFolder + L"Tarvo.exe";
    ::ShellExecuteW(nullptr, L"open", copy.c_str(), L"/R", nullptr, SW_SHOWNORMAL);
}
