#include "Dialog.h"

#include "WinApp.h"

HWND CDialog::CreateFromTemplate(HWND parent)
{
    return ::CreateDialogParamW(fw::ResourceInstance(), MAKEINTRESOURCEW(m_templateId), parent,
                                &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(CWnd* parent)
{
    if (parent)
        m_pParent = parent;
    m_bModal = false;
    return CreateFromTemplate(m_pParent ? m_pParent->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParent ? m_pParent->m_hWnd : nullptr;
    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    if (!CreateFromTemplate(owner)) {
        m_bModal = false;
        return -1;
    }
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);

    MSG msg;
    while (!m_bEndModal) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Keep the quit request for the loop outside ours.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        DispatchWithFilter(msg);
    }

    if (ownerWasEnabled)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        DestroyWindow();
    }
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::EndDialog(INT_PTR result)
{
    if (m_bModal) {
        m_nModalResult = result;
        m_bEndModal = true;
        // Wake the modal loop if the call came from outside a message.
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && (lParam == 0 || HIWORD(wParam) == BN_CLICKED)) {
        // Enter and Escape arrive as IDOK/IDCANCEL from the dialog manager,
        // a close box as IDCANCEL.
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return 0;
        case IDCANCEL:
            OnCancel();
            return 0;
        default:
            break;
        }
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg != WM_INITDIALOG)
        return FALSE; // everything else reached the object through its window procedure
    auto* dlg = reinterpret_cast<CDialog*>(lParam);
    if (!dlg->SubclassWindow(hwnd))
        return TRUE;
    return dlg->OnInitDialog();
}
