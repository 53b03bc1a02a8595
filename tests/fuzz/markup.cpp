// Entities, tags and the word-wrapping layout of the text control.
// Input: width/2, height, flags, then the text (see input.h).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Markup.h"
#include "TextLayout.h"
#include "input.h"

namespace {

// Fixed-width surface that checks what the layout asks of it.
class CheckingSurface : public tk::IMarkupSurface {
public:
    explicit CheckingSurface(const tk::LayoutRect& area) : m_area(area) {}

    tk::FontMetrics SelectFont(const tk::FontDesc& font) override
    {
        if (font.face.size() > tk::kMaxFaceLength || std::abs(font.height) > tk::kMaxFontHeight)
            std::abort();
        m_height = font.height == 0 ? 16 : std::abs(font.height);
        m_width = font.weight >= 700 ? 9 : 7;
        return {m_height * 3 / 4, m_height - m_height * 3 / 4, m_height};
    }
    void SetColours(tk::Colour text, std::optional<tk::Colour> background) override
    {
        if ((text >> 24) != 0 || (background && (*background >> 24) != 0))
            std::abort(); // a system colour index leaked out as a colour
    }
    tk::Extent Measure(std::wstring_view text) override { return {static_cast<int>(text.size()) * m_width, m_height}; }
    void DrawPiece(int, int, std::wstring_view text) override
    {
        if (text.empty())
            std::abort();
        for (wchar_t c : text)
            if (c == tk::kEntityMark)
                std::abort(); // marks must be decoded before drawing
        ++pieces;
    }
    void DrawRule(int left, int top, int right, int thickness, tk::Colour) override
    {
        if (thickness <= 0 || top < m_area.top || top + thickness > m_area.bottom || left != m_area.left ||
            right != m_area.right)
            std::abort();
    }

    int pieces = 0;

private:
    tk::LayoutRect m_area;
    int m_height = 16;
    int m_width = 7;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const tk::LayoutRect area{0, 0, data[0] * 2, data[1]};
    const std::uint8_t flags = data[2];
    const std::wstring text = FuzzText(data + 3, size - 3);

    tk::MarkupStyle style;
    style.transparent = (flags & 1) != 0;
    style.baseFont.height = (flags & 2) ? -13 : 0;
    style.sysColour = [](int index) { return tk::MakeColour(0, 0, static_cast<unsigned>(index)); };

    // Twice with the same state: formatting left open carries over.
    tk::MarkupState state;
    for (int pass = 0; pass < 2; ++pass) {
        CheckingSurface surface(area);
        const std::vector<tk::LinkArea> links = tk::RenderMarkup(text, area, style, state, surface);
        if (state.bold < 0 || state.italic < 0 || state.underline < 0 || state.strikeOut < 0 || state.centre < 0 ||
            state.subscript < 0 || state.superscript < 0 || state.pendingRules != 0 || state.ruleThickness < 0 ||
            state.ruleThickness > tk::kMaxRuleThickness)
            std::abort();
        if (links.size() > text.size() + 1)
            std::abort();
        if (flags & 4)
            state.Reset();
    }

    // The plain text drops what the markup adds: it never grows either.
    if (tk::PlainText(text).size() > text.size())
        std::abort();

    // Decoding marked text never grows it.
    const std::wstring marked = tk::MarkEntities(text);
    if (marked.size() > text.size() || tk::DecodeMarks(marked).size() > marked.size())
        std::abort();
    return 0;
}
