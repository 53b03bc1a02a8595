#include "UIStr.h"

#include <windows.h>

#include <iterator>
#include <utility>
#include <vector>

std::wstring g_strAppFolder;
CUIStr g_uiStr;

namespace {

constexpr DWORD kValueChars = 512; // a longer value keeps its first 511 characters

// One section of an INI file, read in a single call: a call per key makes
// the system open and check the file each time, which dominated start-up
// and the language switch. Values are taken as a single-key read gives them.
class CSection {
public:
    CSection(const wchar_t* section, const std::wstring& file)
    {
        std::vector<wchar_t> buffer(32768);
        for (;;) {
            const DWORD len =
                ::GetPrivateProfileSectionW(section, buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
            if (len + 2 < buffer.size()) {
                buffer.resize(len);
                break;
            }
            buffer.resize(buffer.size() * 2); // truncated: read again with room
        }
        for (size_t at = 0; at < buffer.size() && buffer[at];) {
            const std::wstring line(buffer.data() + at);
            at += line.size() + 1;
            const size_t eq = line.find(L'=');
            m_lines.emplace_back(Trim(line.substr(0, eq)), eq == std::wstring::npos ? L"" : Value(line.substr(eq + 1)));
        }
    }

    // The value of the first line whose key matches, in any letter case; empty without one.
    std::wstring Get(const std::wstring& key) const
    {
        for (const auto& [name, value] : m_lines) {
            if (::CompareStringOrdinal(name.c_str(), static_cast<int>(name.size()), key.c_str(),
                                       static_cast<int>(key.size()), TRUE) == CSTR_EQUAL)
                return value;
        }
        return L"";
    }

private:
    static std::wstring Trim(const std::wstring& text)
    {
        const size_t first = text.find_first_not_of(L" \t");
        if (first == std::wstring::npos)
            return L"";
        return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
    }

    // Blanks around it and one pair of matching quotes go; a longer value keeps its first 511 characters.
    static std::wstring Value(const std::wstring& raw)
    {
        std::wstring value = Trim(raw);
        if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (value.size() > kValueChars - 1)
            value.resize(kValueChars - 1);
        return value;
    }

    std::vector<std::pair<std::wstring, std::wstring>> m_lines;
};

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
    const CSection list(L"Language", g_strAppFolder + L"LANG\\LANG.ini");
    for (int i = 0; i < 10; ++i)
        languageName[i] = list.Get(L"LAN" + std::to_wstring(i));
    for (int i = 0; i < 10; ++i)
        languageFile[i] = list.Get(L"LAN_INI" + std::to_wstring(i));

    // A slot outside 0..9 cannot name a file; it falls back like an empty slot.
    const std::wstring slotFile = languageIndex >= 0 && languageIndex < 10 ? languageFile[languageIndex] : L"";
    std::wstring file;
    // A wildcard (the search also reads <, > and " as such) would make the
    // search find some file, not the one named.
    if (!slotFile.empty() && slotFile != L"0" && slotFile.find_first_of(L"*?<>\"") == std::wstring::npos)
        file = g_strAppFolder + L"LANG\\" + slotFile;
    if (file.empty() || !FileExists(file))
        file = g_strAppFolder + L"LANG\\Lang0409.ini";

    const CSection strings(L"Strings", file);
    for (const Entry& entry : kEntries)
        this->*entry.member = strings.Get(entry.key);
    for (int i = 0; i < 9; ++i)
        errorMsg[i] = strings.Get(L"IDS_ERROR_MSG" + std::to_wstring(i + 1));
}
