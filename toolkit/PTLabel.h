#pragma once
// A transparent, owner-painted text label: a heading, or a caption that acts
// as a push button (Next, Back ...). It paints its text in one of five state
// colours and follows hover and press with the mouse. A label that acts is
// also a tab stop: it shows a focus rectangle, and Enter or Space on it sends
// the click notification that a click sends.
//
// The text is set with SetWindowText as for any static; in it "\n" (a
// backslash and an n) breaks the line. The window text that others read
// (screen readers among them) is the plain text, with a line-feed there;
// Markup() gives the text as set.
#include "Controls.h"

#include <string>

class CPTLabel : public CStatic {
public:
    CPTLabel() = default;

    // Adds the notify and transparent styles and describes the font that
    // painting creates: bold or default weight, `points` on the screen, `face`.
    void SetLabelFont(BOOL bold, int points, const std::wstring& face);

    enum { kNormal = 0, kHover = 1, kPressed = 2, kSpare = 3, kDisabled = 4 };

    LOGFONTW m_lf{};
    int m_nState = kNormal;
    BOOL m_bTracking = FALSE;
    BOOL m_bHandCursor = FALSE;
    COLORREF m_crState[5] = {};

    // Paints the text into dc within the label's client area; WM_PAINT and
    // WM_PRINTCLIENT both come here.
    void Paint(HDC dc);

    // Vertical distance between the lines that "\n" in the text separates.
    static constexpr int kLineStep = 30;

    // Makes the label a tab stop that Enter and Space click, or a plain label.
    void SetKeyboardButton(bool on) const;
    bool IsKeyboardButton() const;
    // The text as set, with its "\n" marks.
    const std::wstring& Markup() const { return m_markup; }

    // Enter and Space reach a focused keyboard button before any key filter
    // of its page or the dialog manager can take them.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Takes over the template's text as the label's own.
    void PreSubclassWindow() override;

private:
    void SetState(int state);
    // What a click does: the parent hears STN_CLICKED from the label.
    void Click() const;
    // Focus shown, unless the window hides focus marks (a mouse user's session).
    bool ShowsFocus() const;
    bool OnKey(UINT msg, WPARAM key, LPARAM flags);
    // The parent repaints its art behind the label, then the label repaints.
    void InvalidateInParent() const;

    std::wstring m_markup;
    bool m_bSpaceDown = false;
};
