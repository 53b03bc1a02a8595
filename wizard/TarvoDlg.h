#pragma once
// The wizard's main window: shows the 30 pages one at a time, holds the
// password dialog and the session of the run. A page's window is made, and a
// new language's texts applied to it, only when the page is first needed:
// start-up and the language switch stay quick. While the session's router
// work runs, the window stays live: it repaints, shows that it is working,
// and takes no input but moving and closing it.
#include "Dialog.h"
#include "Session.h"
#include "WaitDlg.h"

#include <array>
#include <memory>
#include <string>

class CWizardPage;

class CTarvoDlg : public CDialog, public CPasswordTaker, public CWizardHost {
public:
    static constexpr int kPageCount = ::kPageCount;

    CTarvoDlg();
    ~CTarvoDlg() override;

    // Shows page nPage (1..30) with the focus and hides every other page;
    // any other number hides them all. The password dialog is left alone.
    void ShowPage(int nPage) override;
    // Re-applies the texts of the string table to every page that has texts,
    // and the password dialog's message. A page takes them when it is next
    // shown or reached through Page().
    void RefreshAllTexts();

    // Page nPage (1..30) with its window and current texts, made on demand.
    CWizardPage* Page(int nPage) const;

    // The password dialog, made on first use.
    CWaitDlg* WaitDialog() const;
    // Shows the password dialog with the focus. Its OK stores the password
    // and has resender send its form again, or, without one (page 5), shows
    // page 4 and page 5, which starts its run anew. A resender's page that is
    // left takes the dialog away with it.
    void AskAdminPassword(CFormResender* resender) override;

    CWizardSession& Session() { return m_session; }
    const CWizardSession& Session() const { return m_session; }

    // The message that brings the end of the session's router work.
    static constexpr UINT kMsgRouterWorkDone = WM_APP + 1;
    // Where the working display sits on every page: in the dark band at the
    // foot of the page, left of Next.
    static constexpr RECT kWorkingPlace{280, 556, 580, 566};

    HICON m_hIcon;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    void TakeAdminPassword(const std::wstring& password) override;
    bool DeclineAdminPassword() override;
    void ApplyLanguage() override;
    void EndWizard() override { EndDialog(0); }
    void ShowWorking(bool working) override;
    // The folder of the language files and pictures: the program's own.
    // Tests put a copy of them elsewhere.
    virtual std::wstring ProgramFolder() const;
    // The folder of the run logs (RunLogFolder()); tests keep theirs apart.
    virtual std::wstring LogFolder() const { return RunLogFolder(); }

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
    // The page that waits for the password dialog, if any.
    CFormResender* m_pResender = nullptr;
    int m_nShownPage = 0;
    // The marquee bar shown while router work runs; made on first use.
    HWND m_working = nullptr;
    // Last: its worker goes first, before the pages its results would reach.
    CWizardSession m_session{*this};
};

// The page table: pages 1..30 at index 0..29, the password dialog after them.
// Filled by the main window while its pages exist.
extern std::array<CDialog*, CTarvoDlg::kPageCount + 1> g_pageTable;

// Keyboard and mouse-button input that a working window does not act on.
// Moving and closing the window (non-client input, Alt+F4) stay possible.
bool IsInputHeldWhileWorking(UINT msg);
