#include "UIStr.h"

#include <windows.h>

#include <iterator>

std::wstring g_strAppFolder;
CUIStr g_uiStr;

namespace {

constexpr DWORD kValueChars = 512; // a longer value keeps its first 511 characters

std::wstring ReadValue(const wchar_t* section, const std::wstring& key, const std::wstring& file)
{
    wchar_t buffer[kValueChars];
    DWORD len = ::GetPrivateProfileStringW(section, key.c_str(), L"", buffer, kValueChars, file.c_str());
    return std::wstring(buffer, len);
}

// A language file must be a file: a slot naming a folder (or "." or "..")
// would pass a bare directory search, and the INI reader would then give
// every text empty.
bool FileExists(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(find);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

const CUIStr::Entry kEntries[] = {
#define UISTR_KEY(name) {L## #name, &CUIStr::name},
#include "UIStrKeys.inc"
#undef UISTR_KEY
};

} // namespace

const CUIStr::Entry* CUIStr::Entries(size_t* count)
{
    *count = std::size(kEntries);
    return kEntries;
}

void CUIStr::LoadLanguage()
{
    const std::wstring listFile = g_strAppFolder + L"LANG\\LANG.ini";
    for (int i = 0; i < 10; ++i)
        languageName[i] = ReadValue(L"Language", L"LAN" + std::to_wstring(i), listFile);
    for (int i = 0; i < 10; ++i)
        languageFile[i] = ReadValue(L"Language", L"LAN_INI" + std::to_wstring(i), listFile);

    // A slot outside 0..9 cannot name a file; it falls back like an empty slot.
    const std::wstring slotFile = languageIndex >= 0 && languageIndex < 10 ? languageFile[languageIndex] : L"";
    std::wstring file;
    // A wildcard (the search also reads <, > and " as such) would make the
    // search find some file, not the one named.
    if (!slotFile.empty() && slotFile != L"0" && slotFile.find_first_of(L"*?<>\"") == std::wstring::npos)
        file = g_strAppFolder + L"LANG\\" + slotFile;
    if (file.empty() || !FileExists(file))
        file = g_strAppFolder + L"LANG\\Lang0409.ini";

    for (const Entry& entry : kEntries)
        this->*entry.member = ReadValue(L"Strings", entry.key, file);
    for (int i = 0; i < 9; ++i)
        errorMsg[i] = ReadValue(L"Strings", L"IDS_ERROR_MSG" + std::to_wstring(i + 1), file);
}
