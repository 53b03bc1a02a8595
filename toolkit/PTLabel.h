#pragma once
// A transparent, owner-painted text label: a heading, or a caption that acts
// as a push button (Next, Back ...). It paints its text in one of five state
// colours and follows hover and press with the mouse.
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

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void SetState(int state);
    // The parent repaints its art behind the label, then the label repaints.
    void InvalidateInParent() const;
};
