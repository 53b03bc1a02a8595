#pragma once
// The UI string table: every text the wizard shows, read from the language
// files beside the program.
#include <string>

class CUIStr {
public:
    CUIStr() = default;
    virtual ~CUIStr() = default;

    // (Re)reads the language list and every string of the selected language.
    // Never fails: what cannot be read is empty.
    void LoadLanguage();

#define UISTR_KEY(name) std::wstring name;
#include "UIStrKeys.inc"
#undef UISTR_KEY

    // Selected language slot, 0..9; only the language page changes it.
    int languageIndex = 0;
    // Display names (LAN0..LAN9) and file names (LAN_INI0..LAN_INI9) of the slots.
    std::wstring languageName[10];
    std::wstring languageFile[10];
    // IDS_ERROR_MSG1..IDS_ERROR_MSG9.
    std::wstring errorMsg[9];

    // Each "Strings" key with its member, in file order (for tools and tests).
    struct Entry {
        const wchar_t* key;
        std::wstring CUIStr::*member;
    };
    static const Entry* Entries(size_t* count);
};

// The program folder with its trailing backslash.
extern std::wstring g_strAppFolder;
extern CUIStr g_uiStr;
