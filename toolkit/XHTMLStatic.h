#pragma once
// A static control whose window text is a small subset of HTML: bold,
// italic, underline, strike-out, centring, bigger and smaller type, sub- and
// superscript, coloured and resized fonts, fixed pitch, rules, line breaks,
// entities and links. It lays the text out with word wrapping, paints it
// over whatever lies behind it, caches the result, and opens a link on click.
//
// SetWindowText sets the markup; the window text that others read (screen
// readers among them) is the plain text the markup shows, and Markup() gives
// the markup back.
#include "Controls.h"
#include "Gdi.h"
#include "TextLayout.h"

#include <string>
#include <vector>

// A GDI font description and the layout's, both ways: the control creates
// each font of its text from the description the layout hands it.
tk::FontDesc ToFontDesc(const LOGFONTW& lf);
LOGFONTW ToLogFont(const tk::FontDesc& d);

class CXHTMLStatic : public CStatic {
public:
    CXHTMLStatic();
    ~CXHTMLStatic() override;

    // Forgets formatting left open by the last text and renders anew at the
    // next paint; setting the window text alone does not re-render.
    void ResetFormatting();

    // Renders (or copies the cached rendering) into dc.
    void Paint(HDC dc);

    const std::wstring& Markup() const { return m_markup; }
    const std::vector<tk::LinkArea>& Links() const { return m_links; }
    bool NeedsRedraw() const { return m_bRedraw; }

    COLORREF m_crText;
    COLORREF m_crBackground;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Attaching adds the notify style, so that clicks arrive, and takes the
    // template's text as markup.
    void PreSubclassWindow() override;

    // Opens the link under the cursor, if any. TRUE when something was opened.
    BOOL OpenLinkAtCursor();
    // Hands a target to the shell, with the ".htm" handler as fallback.
    virtual BOOL OpenTarget(const std::wstring& target);

private:
    // Renders into a new cached picture; false when there is nothing to copy.
    bool Render(HDC target, const RECT& rc);
    void OnMouseMove(LPARAM lParam);

    fw::CMemoryDC m_cacheDC;
    fw::CBitmap m_cacheBitmap;
    HGDIOBJ m_cacheOldBitmap = nullptr;
    SIZE m_cacheSize{0, 0};
    bool m_bRedraw = true;

    std::wstring m_markup;
    tk::MarkupState m_state;
    std::vector<tk::LinkArea> m_links;

    HCURSOR m_hLinkCursor = nullptr;
    bool m_bOwnsLinkCursor = false;
    HCURSOR m_hSavedCursor = nullptr;
    bool m_bOverLink = false;
};
