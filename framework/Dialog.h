#pragma once
// A dialog built from a template in the program's resources, modal or modeless.
#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_templateId(templateId), m_pParent(parent) {}

    UINT GetTemplateId() const { return m_templateId; }

    // Runs the dialog in its own modal loop (which offers every message to
    // PreTranslateMessage); returns the value given to EndDialog, or -1 when
    // the window could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless, as a child or owned pop-up of parent.
    bool Create(CWnd* parent = nullptr);
    // Ends a modal run with this result; hides a modeless dialog.
    void EndDialog(INT_PTR result);
    bool IsModalRunning() const { return m_bModal && !m_bEndModal; }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(HWND parent);

    UINT m_templateId;
    CWnd* m_pParent;
    bool m_bModal = false;
    bool m_bEndModal = false;
    INT_PTR m_nModalResult = -1;
};
