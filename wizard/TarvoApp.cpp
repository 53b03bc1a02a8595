#include "TarvoApp.h"

#include "Cleanup.h"
#include "TarvoDlg.h"
#include "UIStr.h"
#include "WizardCore.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <cwchar>

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

namespace {

// The hand-off runs before any language was chosen: it speaks the language
// of the PC's display when the language list has a file for it (files are
// named by language id, "Lang0407.ini"), otherwise the first one.
void LoadLanguageOfThisPc()
{
    g_uiStr.languageIndex = 0;
    g_uiStr.LoadLanguage();
    wchar_t own[16] = L"";
    std::swprintf(own, 16, L"Lang%04X.ini", static_cast<unsigned>(::GetUserDefaultUILanguage()));
    for (int slot = 1; slot < 10; ++slot)
        if (::lstrcmpiW(g_uiStr.languageFile[slot].c_str(), own) == 0) {
            g_uiStr.languageIndex = slot;
            g_uiStr.LoadLanguage();
            return;
        }
}

// Tells that the removal did not start, with the system's reason.
void TellHandOffFailed(DWORD error)
{
    LoadLanguageOfThisPc();
    // Without language files beside the program there is still a message.
    std::wstring text = g_uiStr.IDS_REMOVAL_NOT_STARTED;
    if (text.empty())
        text = L"The removal could not be started: the wizard could not copy itself to a new temporary folder "
               L"and start the copy there. Nothing has been removed.";
    wchar_t* reason = nullptr;
    if (error != ERROR_SUCCESS &&
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr) > 0) {
        text += L"\r\n\r\n";
        text += reason;
    }
    ::LocalFree(reason);
    const std::wstring caption = g_uiStr.IDS_TITLE.empty() ? L"Tarvo" : g_uiStr.IDS_TITLE;
    ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

} // namespace

void CTarvoApp::HandOff()
{
    wchar_t modulePath[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    g_strAppFolder = FolderOfPath(modulePath);

    // The copy runs with administrator rights: it must be exactly the
    // program's own files, in a folder made for this run alone, never
    // whatever a shared temporary folder holds.
    wchar_t temp[1024] = L"";
    ::GetTempPathW(1024, temp);
    DWORD error = ERROR_SUCCESS;
    const std::wstring folder = MakeCleanUpCopy(g_strAppFolder, temp, &error);
    if (folder.empty()) {
        TellHandOffFailed(error);
        return;
    }
    const std::wstring copy = folder + L"Tarvo.exe";
    ::SetLastError(ERROR_SUCCESS);
    if (reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", copy.c_str(), L"/R", nullptr, SW_SHOWNORMAL)) <=
        32) {
        error = ::GetLastError();
        RemoveCleanUpCopy(folder);
        TellHandOffFailed(error);
        return;
    }
    // The copy runs from there until it ends; nothing is left for a later run.
    RemoveCleanUpCopyAtRestart(folder);
}
