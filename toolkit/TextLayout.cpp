#include "TextLayout.h"

#include <algorithm>

#include "Markup.h"
#include "ValueForms.h"

namespace tk {
namespace {

// Positions only ever grow by line heights and rule thicknesses; saturating
// keeps a pathological text from overflowing them.
constexpr int kPositionLimit = 1 << 29;

int Add(int a, int b)
{
    return std::clamp(a + std::clamp(b, -kPositionLimit, kPositionLimit), -kPositionLimit, kPositionLimit);
}

void Raise(int& depth)
{
    if (depth < kPositionLimit)
        ++depth;
}
void Lower(int& depth)
{
    if (depth > 0)
        --depth;
}

// "<BIG>" moves the height value one unit away from 0, "<SMALL>" towards it.
// A height of 0 (the default size) grows as a character height, negative.
int AwayFromZero(int height)
{
    height = std::clamp(height, -kMaxFontHeight, kMaxFontHeight);
    return std::clamp(height <= 0 ? height - 1 : height + 1, -kMaxFontHeight, kMaxFontHeight);
}
int TowardsZero(int height)
{
    height = std::clamp(height, -kMaxFontHeight, kMaxFontHeight);
    return height < 0 ? height + 1 : (height > 0 ? height - 1 : 0);
}

// One character of a piece as the wrapper sees it.
struct PieceChar {
    wchar_t ch;
    size_t length;
    bool forcedBreak;
};

PieceChar ReadChar(std::wstring_view piece, size_t i)
{
    const wchar_t c = piece[i];
    if (c == L'\r' && i + 1 < piece.size() && piece[i + 1] == L'\n')
        return {L' ', 2, true};
    if (c == L'\n')
        return {L' ', 1, true};
    if (c == kEntityMark)
        return i + 1 < piece.size() ? PieceChar{MarkCharacter(piece[i + 1]), 2, false} : PieceChar{L' ', 1, false};
    return {c, 1, false};
}

// Chinese, Japanese and Korean text has no blanks between its words: a line
// may end after any of its characters, but not before closing punctuation
// (，。」…) nor after opening punctuation (「（…).
bool IsWideScript(wchar_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

bool NeverStartsALine(wchar_t c)
{
    return std::wstring_view(L"\x3001\x3002\xFF0C\xFF0E\xFF1A\xFF1B\xFF01\xFF1F\xFF09\x300D\x300F\x300B\x3009"
                             L"\x3011\x3015\x2026\x30FC,.;:!?)")
               .find(c) != std::wstring_view::npos;
}

bool NeverEndsALine(wchar_t c)
{
    return std::wstring_view(L"\x300C\x300E\xFF08\x300A\x3008\x3010\x3014(").find(c) != std::wstring_view::npos;
}

// The piece as it will show, for its overall width (centring, link areas).
std::wstring ShownText(std::wstring_view piece)
{
    std::wstring out;
    out.reserve(piece.size());
    for (size_t i = 0; i < piece.size();) {
        const PieceChar pc = ReadChar(piece, i);
        out.push_back(pc.ch);
        i += pc.length;
    }
    return out;
}

class Renderer {
public:
    Renderer(const LayoutRect& area, const MarkupStyle& style, MarkupState& state, IMarkupSurface& surface)
        : m_style(style), m_state(state), m_surface(surface), m_r(area), m_line(area.top), m_font(style.baseFont),
          m_textColour(style.textColour), m_backColour(style.backColour)
    {
    }

    std::vector<LinkArea> Run(std::wstring_view text)
    {
        const std::wstring marked = MarkEntities(text);
        MarkupTokenizer tokens(marked);
        Token token;
        while (tokens.Next(token))
            Apply(token);
        return std::move(m_links);
    }

private:
    void Apply(const Token& token)
    {
        switch (token.kind) {
        case TokenKind::Text:
            LayPiece(token.text, false);
            break;
        case TokenKind::LineBreak:
            LayPiece(L"\r\n", true);
            break;
        case TokenKind::Rule:
            if (const std::optional<int> size = ParseRuleSize(token.text))
                m_state.ruleThickness = std::clamp(*size, 0, kMaxRuleThickness);
            Raise(m_state.pendingRules);
            LayPiece(L"\r\n", true);
            break;
        case TokenKind::BoldOn:
            Raise(m_state.bold);
            break;
        case TokenKind::BoldOff:
            Lower(m_state.bold);
            break;
        case TokenKind::ItalicOn:
            Raise(m_state.italic);
            break;
        case TokenKind::ItalicOff:
            Lower(m_state.italic);
            break;
        case TokenKind::UnderlineOn:
            Raise(m_state.underline);
            break;
        case TokenKind::UnderlineOff:
            Lower(m_state.underline);
            break;
        case TokenKind::CentreOn:
            Raise(m_state.centre);
            break;
        case TokenKind::CentreOff:
            Lower(m_state.centre);
            break;
        case TokenKind::StrikeOn:
            Raise(m_state.strikeOut);
            break;
        case TokenKind::StrikeOff:
            Lower(m_state.strikeOut);
            break;
        case TokenKind::SubOn:
            Raise(m_state.subscript);
            break;
        case TokenKind::SubOff:
            Lower(m_state.subscript);
            break;
        case TokenKind::SupOn:
            Raise(m_state.superscript);
            break;
        case TokenKind::SupOff:
            Lower(m_state.superscript);
            break;
        case TokenKind::BigOn:
        case TokenKind::SmallOff:
            m_font.height = AwayFromZero(m_font.height);
            break;
        case TokenKind::BigOff:
        case TokenKind::SmallOn:
            m_font.height = TowardsZero(m_font.height);
            break;
        case TokenKind::FontOn:
            ApplyFontAttributes(token.text);
            break;
        case TokenKind::FontOff:
            m_textColour = m_style.textColour;
            m_backColour = m_style.backColour;
            m_font = m_style.baseFont;
            if (m_sizeChanged) {
                // Larger type reaches lower than the line below expects.
                m_line = Add(m_line, m_metrics.descent);
                m_sizeChanged = false;
            }
            break;
        case TokenKind::CodeOn:
            m_font.face = L"Courier New";
            break;
        case TokenKind::CodeOff:
            m_font = m_style.baseFont;
            break;
        case TokenKind::LinkOn:
            m_state.linkTarget = DecodeMarks(token.text);
            m_state.inLink = true;
            break;
        case TokenKind::LinkOff:
            m_state.inLink = false;
            break;
        }
    }

    void ApplyFontAttributes(std::wstring_view attributes)
    {
        for (const FontAttribute& attr : ParseFontAttributes(attributes)) {
            const std::wstring value = DecodeMarks(attr.value);
            switch (attr.kind) {
            case FontAttributeKind::Color:
                m_textColour = ParseColourValue(value, m_style.sysColour);
                break;
            case FontAttributeKind::BgColor:
                m_backColour = ParseColourValue(value, m_style.sysColour);
                break;
            case FontAttributeKind::Face:
                m_font.face = value.substr(0, kMaxFaceLength);
                break;
            case FontAttributeKind::Size: {
                const long long height = static_cast<long long>(m_font.height) - LeadingInt(value);
                m_font.height = static_cast<int>(std::clamp<long long>(height, -kMaxFontHeight, kMaxFontHeight));
                m_sizeChanged = true;
                break;
            }
            }
        }
    }

    void LayPiece(std::wstring_view piece, bool lineBreak)
    {
        FontDesc font = m_font;
        font.weight = m_state.bold > 0 ? 700 : 400;
        font.italic = m_state.italic != 0;
        font.underline = m_state.underline != 0;
        font.strikeOut = m_state.strikeOut != 0;
        m_metrics = m_surface.SelectFont(font);
        m_surface.SetColours(m_textColour, m_style.transparent ? std::nullopt : std::optional<Colour>(m_backColour));

        const int offset = m_metrics.ascent / 2;
        int shift = 0;
        if (m_state.subscript != 0)
            shift += offset;
        if (m_state.superscript != 0)
            shift -= offset;
        Shift(shift);

        const Extent extent = m_surface.Measure(ShownText(piece));
        const int savedLeft = m_r.left;
        if (m_state.centre != 0 && m_x == 0) {
            // Centred where it starts a line. A piece wider than the control
            // starts at the left edge rather than left of it, where its first
            // characters would be lost. A later piece of the line follows the
            // one before it: m_x already holds that piece's centred end.
            m_r.left = m_r.left + std::max(0, (m_r.right - m_r.left - extent.cx) / 2);
        }

        const int end = Wrap(piece, m_x);
        m_x = lineBreak ? 0 : end;

        Shift(-shift);
        m_r.left = savedLeft;

        if (m_state.inLink)
            m_links.push_back({{m_x - extent.cx, m_line, m_x, Add(m_line, extent.cy)}, m_state.linkTarget});

        if (m_state.pendingRules > 0) {
            const int thickness = m_state.ruleThickness;
            // Only what lies inside the area is drawn.
            const int shown = std::min(thickness, m_r.bottom - m_line);
            if (shown > 0)
                m_surface.DrawRule(m_r.left, m_line, m_r.right, shown, m_textColour);
            m_line = Add(m_line, thickness);
            m_r.top = Add(m_r.top, thickness);
            m_x = 0;
            --m_state.pendingRules;
        }
    }

    void Shift(int dy)
    {
        m_r.top = Add(m_r.top, dy);
        m_r.bottom = Add(m_r.bottom, dy);
        m_line = Add(m_line, dy);
    }

    // Lays one piece out from horizontal offset x0 on the current line and
    // returns where its last drawn line ends.
    int Wrap(std::wstring_view piece, int x0)
    {
        if (m_r.bottom - m_r.top <= 1)
            return 0;
        std::wstring line;
        int end = 0;
        size_t i = 0;
        while (i < piece.size() && m_line < m_r.bottom) {
            // Blanks at a line start are dropped.
            while (i < piece.size()) {
                const PieceChar pc = ReadChar(piece, i);
                if (pc.ch != L' ' || pc.forcedBreak)
                    break;
                if (x0 != 0)
                    line.push_back(L' ');
                i += pc.length;
            }

            const size_t wordStart = i;
            std::wstring word;
            bool forced = false;
            while (i < piece.size()) {
                const PieceChar pc = ReadChar(piece, i);
                i += pc.length;
                word.push_back(pc.ch);
                if (pc.forcedBreak) {
                    forced = true;
                    break;
                }
                if (pc.ch == L' ')
                    break;
                if (IsWideScript(pc.ch) && !NeverEndsALine(pc.ch) && i < piece.size() &&
                    !NeverStartsALine(ReadChar(piece, i).ch))
                    break;
            }

            bool fits = m_surface.Measure(line + word).cx < m_r.right - x0 - 2;
            if (fits) {
                line += word;
            } else if (line.empty()) {
                if (x0 > 0) {
                    // The rest of the line after an earlier piece is too short:
                    // try the word again at the start of the next line, where
                    // the words after it may join it.
                    const Extent extent = m_surface.Measure(word);
                    m_line = Add(m_line, extent.cy);
                    x0 = 0;
                    fits = extent.cx < m_r.right - 2;
                }
                // A word too wide for a line of its own gets one and is cut.
                line = word;
            } else {
                i = wordStart;
                forced = false;
            }

            const bool usedUp = i >= piece.size();
            if (!forced && fits && !usedUp)
                continue;
            if (line.empty())
                continue;
            const Extent extent = m_surface.Measure(line);
            end = m_r.left + x0 + extent.cx;
            if (Add(m_line, extent.cy) <= m_r.bottom)
                m_surface.DrawPiece(m_r.left + x0, m_line, line);
            // The last line of a piece stays open for the next piece.
            if (!usedUp || forced)
                m_line = Add(m_line, extent.cy);
            x0 = 0;
            line.clear();
        }
        // Once not even the current line fits, later pieces draw nothing.
        m_r.top = Add(m_line, m_metrics.height) <= m_r.bottom ? m_line : m_r.bottom;
        return end;
    }

    const MarkupStyle& m_style;
    MarkupState& m_state;
    IMarkupSurface& m_surface;
    LayoutRect m_r;
    int m_line;
    int m_x = 0;
    FontDesc m_font;
    Colour m_textColour;
    Colour m_backColour;
    FontMetrics m_metrics;
    bool m_sizeChanged = false;
    std::vector<LinkArea> m_links;
};

} // namespace

std::vector<LinkArea> RenderMarkup(std::wstring_view text, const LayoutRect& area, const MarkupStyle& style,
                                   MarkupState& state, IMarkupSurface& surface)
{
    return Renderer(area, style, state, surface).Run(text);
}

} // namespace tk
