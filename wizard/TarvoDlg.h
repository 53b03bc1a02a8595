#pragma once
// The wizard's main window: owns the settings of one run, the 30 pages and
// the password dialog, and shows one page at a time. A page's window is made,
// and a new language's texts applied to it, only when the page is first
// needed: start-up and the language switch stay quick.
#include "Dialog.h"
#include "WaitDlg.h"

#include <array>
#include <memory>
#include <string>

class CWizardPage;
class CRouterLink;
class CFormResender;

class CTarvoDlg : public CDialog, public CPasswordTaker {
public:
    static constexpr int kPageCount = 30;

    CTarvoDlg();
    ~CTarvoDlg() override;

    // Shows page nPage (1..30) with the focus and hides every other page;
    // any other number hides them all. The password dialog is left alone.
    void ShowPage(int nPage);
    // Re-applies the texts of the string table to every page that has texts,
    // and the password dialog's message. A page takes them when it is next
    // shown or reached through Page().
    void RefreshAllTexts();

    // Page nPage (1..30) with its window and current texts, made on demand.
    CWizardPage* Page(int nPage) const;

    // Opens the library's connection to the router with this run's identity:
    // the router address, mask 255.255.255.0, user "admin", the current
    // administrator password, port 80. The library's result code.
    int OpenRouterConnection() const;
    // The password dialog, made on first use.
    CWaitDlg* WaitDialog() const;
    // Shows the password dialog with the focus. Its OK stores the password
    // and has resender send its form again, or, without one (page 5), shows
    // page 4 and page 5, which starts its run anew. A resender's page that is
    // left takes the dialog away with it.
    void AskAdminPassword(CFormResender* resender);

    // The main window that a page (or any window inside it) belongs to.
    static CTarvoDlg* FromWindow(HWND hwnd);

    // Router operations. SetupWan and RebootRouter answer 1 when the router
    // took the form (any status but 401), 2 when it refused the administrator
    // password (401), 3 when nothing was done (the page about the failure,
    // if any, is already shown).
    int SetupWan();
    int RebootRouter();
    // TRUE when the first wired adapter with a gateway gets its address by
    // DHCP; m_strRouterIP takes the gateway of the wired adapter looked at.
    BOOL FindRouterAdapter();
    // Reads the router's wireless name into m_strSSID and prepares page 18 with it.
    void ReadRouterStatus();
    // Fills the summary page and the device pages, and saves the summary file.
    void BuildSummary();
    // The router, the PC's adapters and the Internet as the router operations
    // and the pages reach them: the real ones unless a test puts a stand-in here.
    CRouterLink& RouterLink() const;
    void SetRouterLink(CRouterLink* link) { m_pRouterLink = link; }

private:
    CRouterLink* m_pRouterLink = nullptr;
    // The page that waits for the password dialog, if any.
    CFormResender* m_pResender = nullptr;

public:
    // The settings of this run; pages read and write them directly.
    int m_nWanType = 0; // 1 dynamic address, 2 PPPoE, 3 BigPond; 0 none chosen yet
    std::wstring m_strRouterIP;
    std::wstring m_strSSID;
    std::wstring m_strInternetIP;
    std::wstring m_strAdminPassword;
    std::wstring m_strWirelessKey;
    std::wstring m_strPppoeUser;
    std::wstring m_strPppoePassword;
    std::wstring m_strBigPondUser;
    std::wstring m_strBigPondPassword;
    std::wstring m_strSystemTime;
    std::wstring m_strSettingsFile;

    HICON m_hIcon;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void TakeAdminPassword(const std::wstring& password) override;
    bool DeclineAdminPassword() override;
    // The folder of the language files and pictures: the program's own.
    // Tests put a copy of them elsewhere.
    virtual std::wstring ProgramFolder() const;

private:
    void CreatePages();
    // Makes page nPage's window if it has none and brings its texts up to date.
    void ReadyPage(int nPage);
    void PaintIcon();

    std::array<std::unique_ptr<CWizardPage>, kPageCount> m_pages;
    // Language switches so far, and for each page the switch its texts follow.
    int m_textRound = 0;
    std::array<int, kPageCount> m_pageTextRound{};
    std::unique_ptr<CWaitDlg> m_waitDlg;
};

// The page table: pages 1..30 at index 0..29, the password dialog after them.
// Filled by the main window while its pages exist.
extern std::array<CDialog*, CTarvoDlg::kPageCount + 1> g_pageTable;

// Keys that never act on the wizard: Enter, Escape and F1.
bool IsSwallowedKey(const MSG& msg, bool includingF1);
