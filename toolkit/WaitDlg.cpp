#include "WaitDlg.h"

#include "Gdi.h"
#include "WinApp.h"
#include "resource.h"

CWaitDlg::CWaitDlg(CWnd* owner, CPasswordTaker* taker)
    : CDialog(IDD_WAITDLG, owner), m_taker(taker),
      m_hIcon(::LoadIconW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME)))
{
}

BOOL CWaitDlg::OnInitDialog()
{
    m_message.SubclassDlgItem(IDC_WAIT_MESSAGE, *this);
    m_password.SubclassDlgItem(IDC_WAIT_PASSWORD, *this);
    m_ok.SubclassDlgItem(IDC_WAIT_OK, *this);
    return TRUE;
}

void CWaitDlg::SetMessage(const std::wstring& text)
{
    m_message.SetWindowText(text);
}

void CWaitDlg::Recentre()
{
    const int left = ::GetSystemMetrics(SM_CXSCREEN) / 2 - kWidth / 2;
    const int top = ::GetSystemMetrics(SM_CYSCREEN) / 2 - kHeight / 2;
    MoveWindow(left, top, kWidth, kHeight, FALSE);
    Invalidate();
}

BOOL CWaitDlg::OnCommand(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == IDC_WAIT_OK && HIWORD(wParam) == BN_CLICKED) {
        const std::wstring password = m_password.GetWindowText();
        ShowWindow(SW_HIDE);
        if (m_taker)
            m_taker->TakeAdminPassword(password);
        return TRUE;
    }
    return FALSE;
}

void CWaitDlg::OnCancel()
{
    if (m_taker && m_taker->DeclineAdminPassword())
        ShowWindow(SW_HIDE);
}

LRESULT CWaitDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SHOWWINDOW: {
        // Every show and hide starts with an empty field in the middle of the screen.
        LRESULT result = Default();
        m_password.SetWindowText(L"");
        Recentre();
        return result;
    }
    case WM_PAINT:
        if (::IsIconic(m_hWnd)) {
            fw::CPaintDC dc(m_hWnd);
            SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()));
            RECT rc = GetClientRect();
            const int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
            ::DrawIcon(dc.get(), (rc.right - cx + 1) / 2, (rc.bottom - cy + 1) / 2, m_hIcon);
            return 0;
        }
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}
