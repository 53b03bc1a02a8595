#pragma once
// The thin window layer: a C++ object bound to an HWND, messages dispatched to
// virtual handlers, notifications of child controls reflected to the child's
// own object so that a control handles its own painting and clicks.
#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or nullptr for a window no object owns.
    static CWnd* FromHandle(HWND hwnd);

    // Takes over an existing window (a dialog's control): its messages now
    // reach WindowProc first; Default() hands them to the original procedure.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, const CWnd& parent);
    // Gives the window its original procedure back and forgets it.
    HWND UnsubclassWindow();

    // Plain wrappers, so that wizard code reads like the design.
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetWindowText() const;
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    void MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE) const
    {
        ::MoveWindow(m_hWnd, x, y, cx, cy, repaint);
    }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(m_hWnd, msg, w, l); }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hWnd, msg, w, l); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
    void ModifyStyle(DWORD remove, DWORD add) const;
    void ModifyStyleEx(DWORD remove, DWORD add) const;
    BOOL DestroyWindow();

    // Offered each queued message before it is dispatched, from the window the
    // message is for up to its top-level window. TRUE swallows the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Runs the framework's message filter and dispatch for one message; the
    // modal loops and tests use it.
    static void DispatchWithFilter(MSG& msg);

protected:
    // Every message of the window arrives here first. Overrides handle what
    // they need and call the base class for the rest.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND: TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A notification of this control that its parent reflected back to it.
    // TRUE when handled; *result is what the parent returns.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Called once the window is gone; the object is unbound by then.
    virtual void PostNcDestroy() {}
    // Called when an existing window has just been attached to this object,
    // so that a control can add the styles it needs.
    virtual void PreSubclassWindow() {}

    // The original window procedure's answer for the current message.
    LRESULT Default();
    LRESULT CallDefault(UINT msg, WPARAM wParam, LPARAM lParam);

    void Bind(HWND hwnd);
    void Unbind();

    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    // Reflects a child's notification to the child object when it has one.
    bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

    WNDPROC m_oldProc = nullptr;
    // The message being handled, for Default().
    UINT m_curMsg = 0;
    WPARAM m_curW = 0;
    LPARAM m_curL = 0;
};
