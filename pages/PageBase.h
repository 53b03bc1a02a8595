#pragma once
// What every wizard page shares: a borderless child dialog of the main
// window, numbered 1..30, with its background art and key filtering.
#include "Dialog.h"
#include "PTPicture.h"
#include "UIStr.h"

#include <memory>
#include <string>

class CTarvoDlg;

class CWizardPage : public CDialog {
public:
    // art: the string-table entry that names the page's picture.
    CWizardPage(int pageNumber, UINT templateId, std::wstring CUIStr::*art, CWnd* parent);

    int PageNumber() const { return m_pageNumber; }
    // Places and fills the page's labels and texts from the string table.
    virtual void ApplyTexts() {}
    // The file the page's art is loaded from.
    std::wstring ArtPath() const;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {} // Enter never closes a page
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    CTarvoDlg* MainWindow() const;
    // The page's art, decoded on first use from the file named at creation.
    const CPTPicture& Background() const
    {
        LoadArt();
        return m_background;
    }
    bool HasArt() const { return Background().HasPicture(); }
    // Pages 1 and 2 also swallow F1 and let a press on the page drag the window.
    bool IsWelcomePage() const { return m_pageNumber == 1 || m_pageNumber == 2; }

private:
    // Decoding a picture takes tens of milliseconds under some systems; only
    // page 1 is needed at start, so each page decodes its own when first used.
    void LoadArt() const;

    // The page's picture, painted as its background; no window of its own.
    mutable CPTPicture m_background;
    mutable bool m_artLoaded = false;
    std::wstring m_artPath;
    int m_pageNumber;
    std::wstring CUIStr::*m_art;
};

// Makes the object of page n (1..30) with the main window as parent.
std::unique_ptr<CWizardPage> CreatePageObject(int n, CWnd* parent);
