// The set-up summary: the completion page's settings, the network name and
// key on the device pages, and the settings file on the Desktop.
#include "Summary.h"

#include "Gdi.h"
#include "PageBase.h"
#include "SummaryText.h"
#include "TarvoDlg.h"
#include "UIStr.h"
#include "resource.h"

#include <shlobj.h>

namespace {

// Replaces a page's text block and shows it at once, over the page's art.
void ShowText(CWizardPage* page, int id, const std::wstring& text)
{
    CXHTMLStatic* block = page ? page->Ctl<CXHTMLStatic>(id) : nullptr;
    if (!block)
        return;
    block->ResetFormatting();
    block->SetWindowText(text);
    RECT rc = block->GetWindowRect();
    ::MapWindowPoints(HWND_DESKTOP, page->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    // The page behind first: a transparent block copies it when it renders.
    ::RedrawWindow(page->m_hWnd, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

} // namespace

std::string SettingsFileBytes(const std::wstring& text)
{
    if (text.empty())
        return {};
    if (::GetACP() == CP_UTF8) {
        // The 8-bit code page is UTF-8 itself: nothing to lose, no mark needed.
        std::string utf8 = Utf8WithBom(text);
        return utf8.substr(3);
    }
    const int length = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    const int size =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, &lossy);
    if (size > 0 && !lossy) {
        std::string bytes(static_cast<size_t>(size), '\0');
        lossy = FALSE;
        if (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), size, nullptr,
                                  &lossy) == size &&
            !lossy)
            return bytes;
    }
    return Utf8WithBom(text);
}

bool WriteSettingsFile(const std::wstring& path, const std::wstring& text)
{
    // Created anew or truncated: a second run replaces the first one's file.
    fw::CHandle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const std::string bytes = SettingsFileBytes(text);
    DWORD written = 0;
    if (bytes.empty() || (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                          written == bytes.size()))
        return true;
    // A cut summary (a full disk) is worse than none.
    file.reset();
    ::DeleteFileW(path.c_str());
    return false;
}

std::wstring SettingsFilePath(const std::wstring& name)
{
    wchar_t desktop[MAX_PATH] = L"";
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)) || desktop[0] == L'\0')
        return {};
    return std::wstring(desktop) + L"\\" + name;
}

void CTarvoDlg::BuildSummary()
{
    SummaryValues values;
    values.adminPassword = m_strAdminPassword;
    values.ssid = m_strSSID;
    values.wirelessKey = m_strWirelessKey;
    values.systemTime = m_strSystemTime;
    values.internetIP = m_strInternetIP;

    ShowText(Page(20), IDC_CP9_STATIC6, CompletionText(g_uiStr.IDS_P9_STATIC6, values));
    const struct {
        int page;
        int id;
        const std::wstring& format;
    } joining[] = {
        {24, IDC_CP13A_STATIC2, g_uiStr.IDS_P13A_STATIC2}, {25, IDC_CP13B_STATIC2, g_uiStr.IDS_P13B_STATIC2},
        {26, IDC_CP13C_STATIC2, g_uiStr.IDS_P13C_STATIC2}, {27, IDC_CP13D_STATIC2, g_uiStr.IDS_P13D_STATIC2},
        {28, IDC_CP14_STATIC2, g_uiStr.IDS_P14_STATIC2},   {29, IDC_CP15_STATIC2, g_uiStr.IDS_P15_STATIC2},
    };
    for (const auto& target : joining)
        ShowText(Page(target.page), target.id, JoiningText(target.format, values));

    // Without a Desktop there is nowhere the user would find the file: write
    // nothing rather than guess a folder.
    m_strSettingsFile = SettingsFilePath(g_uiStr.IDS_SETTINGS_FILE);
    if (m_strSettingsFile.empty() ||
        !WriteSettingsFile(m_strSettingsFile, SettingsFileText(g_uiStr.IDS_WEB_URI, values))) {
        // Print must not hand an earlier run's file to the printer, and the
        // person must know that the settings are only on the pages.
        m_strSettingsFile.clear();
        const std::wstring text = FillFormat(g_uiStr.IDS_SETTINGS_NOT_SAVED, {g_uiStr.IDS_SETTINGS_FILE});
        ::MessageBoxW(m_hWnd, text.c_str(), g_uiStr.IDS_TITLE.c_str(), MB_OK | MB_ICONWARNING);
    }
}
