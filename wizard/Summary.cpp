// The set-up summary: its values and the settings file on the Desktop.
#include "Summary.h"

#include "Gdi.h"
#include "Session.h"
#include "SummaryText.h"

#include <shlobj.h>

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

SummaryValues CWizardSession::Summary() const
{
    SummaryValues values;
    values.adminPassword = m_strAdminPassword;
    values.ssid = m_strSSID;
    values.wirelessKey = m_strWirelessKey;
    values.systemTime = m_strSystemTime;
    values.internetIP = m_strInternetIP;
    return values;
}

bool CWizardSession::MakeSummary(const std::wstring& fileName, const std::wstring& webUri,
                                 const std::wstring& joinCaption)
{
    m_summaryMade = true;
    // Without a Desktop there is nowhere the user would find the file: write
    // nothing rather than guess a folder.
    m_strSettingsFile = SettingsFilePath(fileName);
    if (!m_strSettingsFile.empty() &&
        WriteSettingsFile(m_strSettingsFile, SettingsFileText(webUri, Summary(), joinCaption)))
        return true;
    // Print must not hand an earlier run's file to the printer.
    m_strSettingsFile.clear();
    return false;
}
