#pragma once
// Word-wrapping layout of the HTML-subset text control. It walks the markup
// once, keeps the formatting state, wraps text pieces into lines and hands
// the drawing to a small surface interface: GDI in the program, a fake
// fixed-width surface in the host tests.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Colour.h"

namespace tk {

// The fields of a Win32 LOGFONT, so that a dialog's font survives the trip
// through the layout unchanged.
struct FontDesc {
    int height = 0;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::wstring face; // at most 31 characters

    bool operator==(const FontDesc&) const = default;
};

constexpr size_t kMaxFaceLength = 31;

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;
};

struct Extent {
    int cx = 0;
    int cy = 0;
};

struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const LayoutRect&) const = default;
};

struct LinkArea {
    LayoutRect rect;
    std::wstring target;
};

class IMarkupSurface {
public:
    virtual ~IMarkupSurface() = default;
    // Creates the font and makes it current for Measure and DrawPiece.
    virtual FontMetrics SelectFont(const FontDesc& font) = 0;
    // Text colour; the fill behind the text, or none when transparent.
    virtual void SetColours(Colour text, std::optional<Colour> background) = 0;
    virtual Extent Measure(std::wstring_view text) = 0;
    // One laid-out line of a piece, top-left at (x, y).
    virtual void DrawPiece(int x, int y, std::wstring_view text) = 0;
    // A solid horizontal bar [left, right) x [top, top + thickness).
    virtual void DrawRule(int left, int top, int right, int thickness, Colour colour) = 0;
};

// Formatting that outlives one rendering: an unbalanced "<B>" keeps later
// text bold, also at the next rendering, until Reset.
struct MarkupState {
    int bold = 0;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int centre = 0;
    int subscript = 0;
    int superscript = 0;
    int pendingRules = 0;
    int ruleThickness = 2;
    bool inLink = false;
    std::wstring linkTarget;

    void Reset() { *this = MarkupState{}; }
};

struct MarkupStyle {
    Colour textColour = 0;
    Colour backColour = 0x00FFFFFF;
    bool transparent = true;
    FontDesc baseFont;
    SystemColourLookup sysColour;
};

// Bounds that keep positions and font sizes from hostile markup sane.
constexpr int kMaxRuleThickness = 1000;
constexpr int kMaxFontHeight = 1000;

// Renders raw window text (entities not yet marked) into `area` and returns
// the link rectangles with their targets, in layout order.
std::vector<LinkArea> RenderMarkup(std::wstring_view text, const LayoutRect& area, const MarkupStyle& style,
                                   MarkupState& state, IMarkupSurface& surface);

} // namespace tk
