#include "PageBase.h"

#include "TarvoDlg.h"

CWizardPage::CWizardPage(int pageNumber, UINT templateId, std::wstring CUIStr::*art, CWnd* parent)
    : CDialog(templateId, parent), m_pageNumber(pageNumber), m_art(art)
{
}

std::wstring CWizardPage::ArtPath() const
{
    return g_strAppFolder + L"IMG\\" + g_uiStr.*m_art;
}

void CWizardPage::LoadArt() const
{
    if (m_artLoaded)
        return;
    m_artLoaded = true;
    // A missing file leaves the page without art and says nothing.
    m_background.LoadFromFile(m_artPath);
}

BOOL CWizardPage::OnInitDialog()
{
    // The art is named in the language of start-up; a later language keeps it.
    m_artPath = ArtPath();
    m_artLoaded = false;
    return TRUE;
}

CTarvoDlg* CWizardPage::MainWindow() const
{
    return CTarvoDlg::FromWindow(::GetParent(m_hWnd));
}

void CWizardPage::OnCancel()
{
    if (CTarvoDlg* main = MainWindow())
        main->EndDialog(0);
    CDialog::OnCancel();
}

BOOL CWizardPage::PreTranslateMessage(MSG* msg)
{
    if (IsSwallowedKey(*msg, IsWelcomePage()))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

LRESULT CWizardPage::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_HELP:
        return TRUE; // F1 never opens help
    case WM_ERASEBKGND:
        // Without art the dialog's own erase leaves no junk behind the page.
        if (Background().Draw(reinterpret_cast<HDC>(wParam)))
            return TRUE;
        break;
    case WM_LBUTTONDOWN:
        if (IsWelcomePage()) {
            if (CTarvoDlg* main = MainWindow())
                main->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, lParam);
            return 0;
        }
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}
