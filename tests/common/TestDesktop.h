#pragma once
// Pieces shared by the Windows test programs and the GUI scenarios: both run
// the wizard, which writes its summary file to the Desktop and reads its
// language files and pictures from its own folder.
#include <windows.h>

#include <shlobj.h>

#include <string>

namespace testing_support {

// The Desktop in a folder of the test while it lives, for the wizard it
// starts too (the registry is the prefix's), so that each test finds only the
// summary file of its own run.
class ScratchDesktop {
public:
    explicit ScratchDesktop(const std::wstring& folder)
    {
        ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                              &m_key, nullptr) != ERROR_SUCCESS) {
            m_key = nullptr;
            return;
        }
        wchar_t old[MAX_PATH] = L"";
        DWORD size = sizeof old;
        m_hadValue = ::RegQueryValueExW(m_key, L"Desktop", nullptr, &m_type, reinterpret_cast<BYTE*>(old), &size) ==
                     ERROR_SUCCESS;
        m_old = old;
        Set(REG_EXPAND_SZ, folder);
    }
    ~ScratchDesktop()
    {
        if (!m_key)
            return;
        if (m_hadValue)
            Set(m_type, m_old);
        else
            ::RegDeleteValueW(m_key, L"Desktop");
        ::RegCloseKey(m_key);
    }
    ScratchDesktop(const ScratchDesktop&) = delete;
    ScratchDesktop& operator=(const ScratchDesktop&) = delete;

private:
    static constexpr wchar_t kShellFolders[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    void Set(DWORD type, const std::wstring& value) const
    {
        ::RegSetValueExW(m_key, L"Desktop", 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    HKEY m_key = nullptr;
    bool m_hadValue = false;
    DWORD m_type = REG_EXPAND_SZ;
    std::wstring m_old;
};

// Copies the files of a folder that match a pattern (no subfolders).
inline void CopyFiles(const std::wstring& from, const std::wstring& to, const wchar_t* pattern = L"*")
{
    ::SHCreateDirectoryExW(nullptr, to.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((from + L"\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ::CopyFileW((from + L"\\" + data.cFileName).c_str(), (to + L"\\" + data.cFileName).c_str(), FALSE);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

} // namespace testing_support
