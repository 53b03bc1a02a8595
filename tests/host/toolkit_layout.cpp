// Word-wrapping layout of the HTML-subset text control on a fake surface:
// every character is 8 pixels wide (10 in bold) and a line is as high as
// the font's height value says (16 for the default).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ReadingOrder.h"
#include "TextLayout.h"

using namespace tk;

namespace {

struct Drawn {
    int x, y;
    std::wstring text;
    FontDesc font;
    Colour colour;
    std::optional<Colour> background;
};

struct Rule {
    int left, top, right, thickness;
    Colour colour;
};

class FakeSurface : public IMarkupSurface {
public:
    FontMetrics SelectFont(const FontDesc& font) override
    {
        m_font = font;
        const int h = LineHeight();
        return {h * 3 / 4, h - h * 3 / 4, h};
    }
    void SetColours(Colour text, std::optional<Colour> background) override
    {
        m_colour = text;
        m_background = background;
    }
    Extent Measure(std::wstring_view text) override
    {
        return {static_cast<int>(text.size()) * (m_font.weight >= 700 ? 10 : 8), LineHeight()};
    }
    void DrawPiece(int x, int y, std::wstring_view text) override
    {
        drawn.push_back({x, y, std::wstring(text), m_font, m_colour, m_background});
    }
    void DrawRule(int left, int top, int right, int thickness, Colour colour) override
    {
        rules.push_back({left, top, right, thickness, colour});
    }

    // Drawn pieces that show something (line breaks draw a blank).
    std::vector<Drawn> Visible() const
    {
        std::vector<Drawn> out;
        for (const Drawn& d : drawn)
            if (d.text.find_first_not_of(L' ') != std::wstring::npos)
                out.push_back(d);
        return out;
    }

    std::vector<Drawn> drawn;
    std::vector<Rule> rules;

private:
    int LineHeight() const { return m_font.height == 0 ? 16 : std::abs(m_font.height); }

    FontDesc m_font;
    Colour m_colour = 0;
    std::optional<Colour> m_background;
};

constexpr Colour kPlain = MakeColour(0x12, 0x34, 0x56);

class ToolkitLayout : public ::testing::Test {
protected:
    ToolkitLayout()
    {
        style.textColour = kPlain;
        style.backColour = MakeColour(250, 250, 250);
        style.baseFont.height = -16;
        style.baseFont.face = L"Arial";
        style.sysColour = [](int index) { return MakeColour(0, 0, static_cast<unsigned>(index)); };
    }

    std::vector<Drawn> Render(std::wstring_view text, int width = 200, int height = 100)
    {
        surface = FakeSurface();
        links = RenderMarkup(text, {0, 0, width, height}, style, state, surface);
        return surface.Visible();
    }

    MarkupStyle style;
    MarkupState state;
    FakeSurface surface;
    std::vector<LinkArea> links;
};

} // namespace

TEST_F(ToolkitLayout, TagsChangeStateOnlyAndPiecesShareTheLine)
{
    const std::vector<Drawn> d = Render(L"a<B>b</B>c");
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].text, L"a");
    EXPECT_EQ(d[1].text, L"b");
    EXPECT_EQ(d[2].text, L"c");
    EXPECT_EQ(d[0].x, 0);
    EXPECT_EQ(d[1].x, 8);
    EXPECT_EQ(d[2].x, 18); // after one bold character
    for (const Drawn& p : d)
        EXPECT_EQ(p.y, 0);
    EXPECT_EQ(d[0].font.weight, 400);
    EXPECT_EQ(d[1].font.weight, 700);
    EXPECT_EQ(d[2].font.weight, 400);
    EXPECT_TRUE(links.empty());
}

TEST_F(ToolkitLayout, StyleTagsReachTheFont)
{
    const std::vector<Drawn> d = Render(L"<I><U><STRIKE>x</STRIKE></U></I><BIG>b</BIG><SMALL>s</SMALL><CODE>c</CODE>p");
    ASSERT_EQ(d.size(), 5u);
    EXPECT_TRUE(d[0].font.italic && d[0].font.underline && d[0].font.strikeOut);
    EXPECT_EQ(d[1].font.height, -17); // one unit larger: further from 0
    EXPECT_EQ(d[2].font.height, -15);
    EXPECT_EQ(d[3].font.face, L"Courier New");
    EXPECT_FALSE(d[4].font.italic || d[4].font.underline || d[4].font.strikeOut);
    EXPECT_EQ(d[4].font.face, L"Arial");
    EXPECT_EQ(d[4].font.height, -16);
}

TEST_F(ToolkitLayout, EntitiesShowAsCharactersAndOpenNoTag)
{
    std::vector<Drawn> d = Render(L"&amp;lt;");
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].text, L"&lt;");

    d = Render(L"x &lt;B&gt; y&LT;");
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].text, L"x <B> y&LT;");
    EXPECT_EQ(d[0].font.weight, 400);
}

TEST_F(ToolkitLayout, NonBreakingSpaceSeparatesWords)
{
    // Width 100: a line holds text narrower than 98 pixels.
    const std::vector<Drawn> d = Render(L"aaaaaa&nbsp;bbbbbb", 100);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].text, L"aaaaaa ");
    EXPECT_EQ(d[1].text, L"bbbbbb");
    EXPECT_EQ(d[1].y, 16);
}

TEST_F(ToolkitLayout, FontColoursAndTheirEnd)
{
    const Colour red = MakeColour(255, 0, 0);
    std::vector<Drawn> d = Render(L"<FONT COLOR=\"#FF0000\">r</FONT>k<font color=\"255,0\">c</font>"
                                  L"<FONT COLOR=\"#F00\">z</FONT><FONT COLOR=\"btnface\">s</FONT>");
    ASSERT_EQ(d.size(), 5u);
    EXPECT_EQ(d[0].colour, red);
    EXPECT_EQ(d[1].colour, kPlain);
    EXPECT_EQ(d[2].colour, red);
    EXPECT_EQ(d[3].colour, 0u);
    EXPECT_EQ(d[4].colour, MakeColour(0, 0, 15));
    for (const Drawn& p : d)
        EXPECT_EQ(p.background, std::nullopt); // transparent control
}

TEST_F(ToolkitLayout, OpaqueControlFillsBehindText)
{
    style.transparent = false;
    const std::vector<Drawn> d = Render(L"a<FONT BGCOLOR=\"Navy\">b</FONT>c");
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].background, style.backColour);
    EXPECT_EQ(d[1].background, MakeColour(0, 0, 128));
    EXPECT_EQ(d[2].background, style.backColour);
}

TEST_F(ToolkitLayout, FontSizeFaceAndTheDescentStep)
{
    const std::vector<Drawn> d = Render(L"<FONT SIZE=\"2\" FACE=\"Verdana\">x</FONT>y<FONT FACE=\""
                                        L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\">z");
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].font.height, -18);
    EXPECT_EQ(d[0].font.face, L"Verdana");
    // Larger type pushes the rest of the line down by its descent (18 - 13).
    EXPECT_EQ(d[1].font.height, -16);
    EXPECT_EQ(d[1].font.face, L"Arial");
    EXPECT_EQ(d[1].y, 5);
    EXPECT_EQ(d[2].font.face, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
}

TEST_F(ToolkitLayout, HugeSizesStayBounded)
{
    const std::vector<Drawn> d =
        Render(L"<FONT SIZE=\"-2147483648\">a</FONT><FONT SIZE=\"2147483647\">b<HR SIZE=99999999>c", 2000, 5000);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].font.height, kMaxFontHeight);
    EXPECT_EQ(d[1].font.height, -kMaxFontHeight);
    ASSERT_EQ(surface.rules.size(), 1u);
    EXPECT_EQ(surface.rules[0].thickness, kMaxRuleThickness);
}

TEST_F(ToolkitLayout, UnbalancedBoldCarriesOverUntilReset)
{
    Render(L"<B>x");
    std::vector<Drawn> d = Render(L"y");
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].font.weight, 700);

    state.Reset();
    d = Render(L"y");
    EXPECT_EQ(d[0].font.weight, 400);

    // Closing tags never take a depth below zero.
    d = Render(L"</B></B><B>z</B>w");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].font.weight, 700);
    EXPECT_EQ(d[1].font.weight, 400);
    EXPECT_EQ(state.bold, 0);
}

TEST_F(ToolkitLayout, TwoBreaksLeaveOneEmptyLine)
{
    std::vector<Drawn> d = Render(L"a<BR><BR>b");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].y, 0);
    EXPECT_EQ(d[1].y, 32);
    EXPECT_EQ(d[1].x, 0);

    // A line break in the text itself does the same as "<BR>".
    d = Render(L"a\r\nb\nc");
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[1].y, 16);
    EXPECT_EQ(d[2].y, 32);
}

TEST_F(ToolkitLayout, WordWiderThanTheControlGetsALineOfItsOwn)
{
    const std::vector<Drawn> d = Render(L"ab abcdefghijklmnopqrstuvwxyz cd", 100);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[0].text, L"ab ");
    EXPECT_EQ(d[1].text, L"abcdefghijklmnopqrstuvwxyz ");
    EXPECT_EQ(d[2].text, L"cd");
    EXPECT_EQ(d[1].x, 0);
    EXPECT_EQ(d[1].y, 16);
    EXPECT_EQ(d[2].y, 32);
}

TEST_F(ToolkitLayout, ChineseWrapsBetweenCharactersButNotBeforeClosingPunctuation)
{
    // Eleven characters fit a line; the twelfth would leave its full stop to start the next.
    std::vector<Drawn> d = Render(L"\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D\u4E03\u516B\u4E5D\u5341\u4E00\u4E8C\u3002\u4E09", 100);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].text.size(), 11u);
    EXPECT_EQ(d[1].text, L"\u4E8C\u3002\u4E09");
    // An opening bracket stays with the character after it.
    d = Render(L"\u4E00\u4E8C\u4E09\u56DB\u4E94\u516D\u4E03\u516B\u4E5D\u5341\u300C\u4E00\u300D", 100);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[1].text, L"\u300C\u4E00\u300D");
}

TEST_F(ToolkitLayout, WrappingContinuesAcrossPieces)
{
    // After "aaaaaaaaaa" only 18 pixels remain: the bold piece starts the next
    // line as a whole instead of leaving its first word alone there.
    std::vector<Drawn> d = Render(L"aaaaaaaaaa<B>bb cc</B> dd", 100);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[1].text, L"bb cc");
    EXPECT_EQ(d[1].x, 0);
    EXPECT_EQ(d[1].y, 16);
    EXPECT_EQ(d[2].text, L" dd");
    EXPECT_EQ(d[2].x, 50);
    EXPECT_EQ(d[2].y, 16);

    // Blanks that start a wrapped line are dropped.
    d = Render(L"aaaaaaaaaaa    bbb", 100);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[1].text, L"bbb");
    EXPECT_EQ(d[1].x, 0);
}

TEST_F(ToolkitLayout, TextTallerThanTheControlStopsAtTheLastLineThatFits)
{
    const std::vector<Drawn> d = Render(L"aaaa bbbb cccc dddd eeee ffff gggg hhhh<B>more</B><BR>again<HR>x", 100, 40);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].text, L"aaaa bbbb ");
    EXPECT_EQ(d[1].text, L"cccc dddd ");
    for (const Drawn& p : surface.drawn)
        EXPECT_LE(p.y + 16, 40) << std::string(p.text.begin(), p.text.end());
    EXPECT_TRUE(surface.rules.empty());
}

TEST_F(ToolkitLayout, CentredPieceSitsInTheMiddle)
{
    std::vector<Drawn> d = Render(L"<CENTER>ab</CENTER>", 100);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].x, 42);

    // Wider than the control: starts at the left edge, not left of it.
    d = Render(L"<CENTER>aaaaaaaa bbbbbbbb cccccccc</CENTER>", 100);
    ASSERT_EQ(d.size(), 3u);
    for (const Drawn& p : d)
        EXPECT_EQ(p.x, 0);

    // Later pieces of a centred line follow the first; the next line is centred anew.
    d = Render(L"<CENTER>ab<B>cd</B>e<BR>fg</CENTER>", 100);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[0].x, 42);
    EXPECT_EQ(d[1].x, 58);
    EXPECT_EQ(d[2].x, 78);
    EXPECT_EQ(d[3].x, 42);
    EXPECT_GT(d[3].y, d[0].y);
}

TEST_F(ToolkitLayout, SubscriptAndSuperscriptMoveByHalfTheAscent)
{
    const std::vector<Drawn> d = Render(L"a<SUB>b</SUB><SUP>c</SUP>d");
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[1].y, 6);
    EXPECT_EQ(d[2].y, -6);
    EXPECT_EQ(d[3].y, 0);
    EXPECT_EQ(d[3].x, 24);
}

TEST_F(ToolkitLayout, RuleFollowsTheLineAndPushesTextDown)
{
    std::vector<Drawn> d = Render(L"a<HR SIZE=4>b", 100);
    ASSERT_EQ(surface.rules.size(), 1u);
    EXPECT_EQ(surface.rules[0].left, 0);
    EXPECT_EQ(surface.rules[0].right, 100);
    EXPECT_EQ(surface.rules[0].top, 16);
    EXPECT_EQ(surface.rules[0].thickness, 4);
    EXPECT_EQ(surface.rules[0].colour, kPlain);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[1].x, 0);
    EXPECT_EQ(d[1].y, 20);

    // The thickness is remembered; a reset brings back the default of 2.
    Render(L"<HR>");
    EXPECT_EQ(surface.rules.at(0).thickness, 4);
    state.Reset();
    Render(L"<hr>");
    EXPECT_EQ(surface.rules.at(0).thickness, 2);
}

TEST_F(ToolkitLayout, LinksRecordTheirRectangleAndTarget)
{
    std::vector<Drawn> d = Render(L"go <A HREF=\"http://192.168.2.1/\">here</A> now");
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].target, L"http://192.168.2.1/");
    EXPECT_EQ(links[0].rect, (LayoutRect{24, 0, 56, 16}));
    EXPECT_FALSE(state.inLink);
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(d[2].text, L" now");
    EXPECT_EQ(d[2].x, 56);

    // Entities in a target are the characters they stand for.
    Render(L"<a href=\"http://x/?a=1&amp;b=2\">q</a><BR><A HREF=\"APP:help\">h</A>");
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].target, L"http://x/?a=1&b=2");
    EXPECT_EQ(links[1].target, L"APP:help");
    EXPECT_EQ(links[1].rect, (LayoutRect{0, 16, 8, 32}));
}

TEST_F(ToolkitLayout, MissingClosingBracketEndsNormallyAsPlainText)
{
    for (const wchar_t* tail : {L"<FONT COLOR=\"#FF0000\" <Bx", L"<A HREF=\"http://x/\">", L"<HR SIZE=9"}) {
        std::wstring text = std::wstring(L"ab") + tail;
        if (text.back() == L'>')
            text.pop_back();
        state.Reset();
        const std::vector<Drawn> d = Render(text, 400);
        ASSERT_EQ(d.size(), 2u);
        EXPECT_EQ(d[0].text, L"ab");
        EXPECT_EQ(d[1].text, text.substr(2));
        EXPECT_EQ(d[1].x, 16);
        EXPECT_EQ(d[1].colour, kPlain);
        EXPECT_EQ(d[1].font.weight, 400);
        EXPECT_TRUE(links.empty());
        EXPECT_TRUE(surface.rules.empty());
        EXPECT_EQ(state.pendingRules, 0);
    }
}

TEST(ToolkitReadingOrder, RowsTopToBottomEachLeftToRight)
{
    // A top above the middle of the row's first place joins that row: Back (1) comes before Next (0).
    const std::vector<LayoutRect> places{{707, 554, 776, 583}, {596, 560, 666, 589}, {10, 300, 60, 320},
                                         {0, 569, 9, 579}, {0, 310, 0, 310}};
    EXPECT_EQ(ReadingOrder(places), (std::vector<size_t>{2, 4, 1, 0, 3}));
}
