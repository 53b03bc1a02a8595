#pragma once
// The small pop-up that asks for the router's administrator password again
// after the router refused the one the wizard used.
#include "Controls.h"
#include "Dialog.h"
#include "PTLabel.h"

#include <string>

// What the dialog hands the password to: the main window.
class CPasswordTaker {
public:
    virtual void TakeAdminPassword(const std::wstring& password) = 0;
    // Escape: true when whoever asked can do without a password, and the
    // dialog closes with nothing taken.
    virtual bool DeclineAdminPassword() = 0;

protected:
    ~CPasswordTaker() = default;
};

class CWaitDlg : public CDialog {
public:
    CWaitDlg(CWnd* owner, CPasswordTaker* taker);

    // The message above the field (IDS_ERROR_MSG9 once a language is applied).
    void SetMessage(const std::wstring& text);

    static constexpr int kWidth = 350;
    static constexpr int kHeight = 220;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {} // Enter does not close it
    // Nor does Escape, unless the one who asked lets it (a settings page,
    // which then stays as it is; page 5 cannot go on without a password).
    void OnCancel() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void Recentre();

    CPasswordTaker* m_taker;
    HICON m_hIcon;
    // Painted by the label with an all-zero font description and black in
    // every state: the dialog never styles it.
    CPTLabel m_message;
    CEdit m_password;
    CButton m_ok;
};
