// Entities, the tag tokenizer, <FONT attributes and colour values of the
// HTML-subset text control.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "Colour.h"
#include "Markup.h"

using namespace tk;

namespace {

struct Tok {
    TokenKind kind;
    std::wstring text;
    bool operator==(const Tok&) const = default;
};

std::vector<Tok> Tokens(std::wstring_view raw)
{
    const std::wstring marked = MarkEntities(raw);
    MarkupTokenizer tokenizer(marked);
    std::vector<Tok> out;
    Token t;
    while (tokenizer.Next(t))
        out.push_back({t.kind, std::wstring(t.text)});
    return out;
}

Colour NoSystemColours(int)
{
    return MakeColour(1, 2, 3);
}

} // namespace

TEST(ToolkitEntities, KnownEntitiesBecomeTheirCharacters)
{
    EXPECT_EQ(DecodeMarks(MarkEntities(L"&copy; 2024 &euro;5 &trade;")), L"\u00A9 2024 \u20AC5 \u2122");
    EXPECT_EQ(DecodeMarks(MarkEntities(L"a&nbsp;b&quot;")), L"a b\"");
}

TEST(ToolkitEntities, UnknownAndUpperCaseEntitiesStayLiteral)
{
    for (const wchar_t* s : {L"&LT;", L"&Amp;", L"&foo;", L"& amp;", L"&amp", L"&"})
        EXPECT_EQ(MarkEntities(s), s);
}

TEST(ToolkitEntities, StrayMarkCharactersDecodeSafely)
{
    // A raw mark character in the text names no entity or ends the text.
    EXPECT_EQ(DecodeMarks(std::wstring(L"a\x0001\x0030z")), L"a z");
    EXPECT_EQ(DecodeMarks(std::wstring(L"a\x0001")), L"a ");
}

TEST(ToolkitEntities, EscapedValuesOpenNoTag)
{
    EXPECT_EQ(EscapeMarkup(L"a<b>&\"c'"), L"a&lt;b&gt;&amp;&quot;c'");
}

TEST(ToolkitPlainText, TagsGoEntitiesAndBreaksBecomeCharacters)
{
    EXPECT_EQ(PlainText(L"<B>Tea</b> <FONT COLOR=\"red\">&amp;</FONT> <A HREF=\"x\">cake</A>&copy;&nbsp;<CENTER>"),
              L"Tea & cake\u00A9 ");
    EXPECT_EQ(PlainText(L"a<BR>b<HR SIZE=3>c\r\nd\re"), L"a\nb\nc\nd\re");
    // What the control shows as text stays: unknown tags and entities, escaped ones, a tag never closed.
    EXPECT_EQ(PlainText(L"<P> &LT; &foo; &amp;lt; < <FONT SIZE=\"2\""), L"<P> &LT; &foo; &lt; < <FONT SIZE=\"2\"");
}

TEST(ToolkitLinkHandler, TargetIsOneQuotedArgument)
{
    const wchar_t* const cases[][3] = {
        // handler, target, command
        {L"\"C:\\Web\\browse.exe\" -nohome \"%1\" -x", L"http://192.168.2.1/",
         L"\"C:\\Web\\browse.exe\" -nohome  \"http://192.168.2.1/\""},
        {L"browse.exe %1", L"a b", L"browse.exe  \"a b\""},
        {L"browse.exe", L"x", L"browse.exe \"x\""},
        {L"b.exe \"%1\"", L"x\" -exec calc.exe \"", L"b.exe  \"x\\\" -exec calc.exe \\\"\""},
        {L"b.exe \"%1\"", L"C:\\a\\b\\", L"b.exe  \"C:\\a\\b\\\\\""},
        {L"b.exe \"%1\"", L"a\\\"b", L"b.exe  \"a\\\\\\\"b\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinkHandlerCommand(c[0], c[1]), c[2]) << c[1];
}

TEST(ToolkitTokenizer, TagsAreMatchedWithoutRegardToCase)
{
    const std::vector<Tok> expected = {
        {TokenKind::Text, L"a"},   {TokenKind::BoldOn, L""},   {TokenKind::Text, L"b"},
        {TokenKind::BoldOff, L""}, {TokenKind::CentreOn, L""}, {TokenKind::LineBreak, L""},
        {TokenKind::SubOn, L""},   {TokenKind::SupOff, L""},   {TokenKind::Text, L"c"}};
    EXPECT_EQ(Tokens(L"a<b>b</B><Center><bR><sub></SuP>c"), expected);
}

TEST(ToolkitTokenizer, UnknownTagsAreText)
{
    const std::vector<Tok> expected = {
        {TokenKind::Text, L"<"}, {TokenKind::Text, L"BX>x "}, {TokenKind::Text, L"<"}, {TokenKind::Text, L"B"}};
    EXPECT_EQ(Tokens(L"<BX>x <B"), expected);
}

TEST(ToolkitTokenizer, LinkTargetLosesItsQuotes)
{
    const std::vector<Tok> toks = Tokens(L"<A HREF=\"http://192.168.2.1/\">here</a>");
    ASSERT_EQ(toks.size(), 3u);
    EXPECT_EQ(toks[0], (Tok{TokenKind::LinkOn, L"http://192.168.2.1/"}));
    EXPECT_EQ(toks[2].kind, TokenKind::LinkOff);
    // Unquoted and empty targets keep every character they have.
    EXPECT_EQ(Tokens(L"<a href=x.htm>")[0], (Tok{TokenKind::LinkOn, L"x.htm"}));
    EXPECT_EQ(Tokens(L"<A HREF=>")[0], (Tok{TokenKind::LinkOn, L""}));
    EXPECT_EQ(Tokens(L"<A HREF=\">")[0], (Tok{TokenKind::LinkOn, L""}));
}

TEST(ToolkitTokenizer, RuleAndFontCarryTheirAttributes)
{
    const std::vector<Tok> toks = Tokens(L"<HR SIZE=4><FONT COLOR=\"red\">");
    ASSERT_EQ(toks.size(), 2u);
    EXPECT_EQ(toks[0], (Tok{TokenKind::Rule, L" SIZE=4"}));
    EXPECT_EQ(toks[1], (Tok{TokenKind::FontOn, L" COLOR=\"red\""}));
    EXPECT_EQ(ParseRuleSize(L" size=12"), 12);
    EXPECT_EQ(ParseRuleSize(L" NOSHADE"), std::nullopt);
}

TEST(ToolkitFontAttributes, KnownNamesTakeTheValueBetweenQuotes)
{
    const std::vector<FontAttribute> attrs =
        ParseFontAttributes(L" junk=1 color=\"#FF0000\"  BGCOLOR=\"Navy\" face=\"Verdana\" SIZE=\"+2\"");
    ASSERT_EQ(attrs.size(), 4u);
    EXPECT_EQ(attrs[0].kind, FontAttributeKind::Color);
    EXPECT_EQ(attrs[0].value, L"#FF0000");
    EXPECT_EQ(attrs[1].kind, FontAttributeKind::BgColor);
    EXPECT_EQ(attrs[1].value, L"Navy");
    EXPECT_EQ(attrs[2].kind, FontAttributeKind::Face);
    EXPECT_EQ(attrs[2].value, L"Verdana");
    EXPECT_EQ(attrs[3].kind, FontAttributeKind::Size);
    EXPECT_EQ(attrs[3].value, L"+2");
}

TEST(ToolkitFontAttributes, MissingQuoteEndsTheScan)
{
    const std::vector<FontAttribute> attrs = ParseFontAttributes(L" FACE=\"Arial\" COLOR=\"red SIZE=\"3\"");
    // COLOR takes "red SIZE=" as its value; what is left is no attribute.
    ASSERT_EQ(attrs.size(), 2u);
    EXPECT_EQ(attrs[1].value, L"red SIZE=");
    EXPECT_TRUE(ParseFontAttributes(L" COLOR=red").empty());
    EXPECT_TRUE(ParseFontAttributes(L" COLOR=\"red").empty());
}

TEST(ToolkitColours, HashCommaAndNameForms)
{
    const Colour red = MakeColour(255, 0, 0);
    EXPECT_EQ(ParseColourValue(L"#FF0000", NoSystemColours), red);
    EXPECT_EQ(ParseColourValue(L"#ff0000", NoSystemColours), red);
    EXPECT_EQ(ParseColourValue(L"255,0", NoSystemColours), red);
    EXPECT_EQ(ParseColourValue(L"255,0,0", NoSystemColours), red);
    EXPECT_EQ(ParseColourValue(L"red", NoSystemColours), red);
    EXPECT_EQ(ParseColourValue(L"#102030", NoSystemColours), MakeColour(0x10, 0x20, 0x30));
    EXPECT_EQ(ParseColourValue(L" 16, 32 ,48", NoSystemColours), MakeColour(16, 32, 48));
    // Parts are taken modulo 256.
    EXPECT_EQ(ParseColourValue(L"256,-1,511", NoSystemColours), MakeColour(0, 255, 255));
}

TEST(ToolkitColours, UnreadableValuesAreBlack)
{
    for (const wchar_t* s : {L"#F00", L"#FF00000", L"ab#cdef", L"", L"LightGray", L"Grey", L"nosuchcolour", L"#"})
        EXPECT_EQ(ParseColourValue(s, NoSystemColours), 0u) << s;
    // Non-hex digits read as far as they go.
    EXPECT_EQ(ParseColourValue(L"#1g0000", NoSystemColours), MakeColour(1, 0, 0));
}

TEST(ToolkitColours, SystemColourNamesAskTheLookup)
{
    std::vector<int> asked;
    const SystemColourLookup lookup = [&](int index) {
        asked.push_back(index);
        return MakeColour(10, 20, static_cast<unsigned>(index));
    };
    EXPECT_EQ(ParseColourValue(L"btnface", lookup), MakeColour(10, 20, 15));
    EXPECT_EQ(ParseColourValue(L"WINDOWTEXT", lookup), MakeColour(10, 20, 8));
    EXPECT_EQ(ParseColourValue(L"MenuBar", lookup), MakeColour(10, 20, 30));
    EXPECT_EQ(asked, (std::vector<int>{15, 8, 30}));
    // Without a lookup a system colour cannot be read: black.
    EXPECT_EQ(ParseColourValue(L"BtnFace", nullptr), 0u);
}

TEST(ToolkitColours, NameTableHoldsEachNameOnce)
{
    const auto names = ColourNames();
    ASSERT_EQ(names.size(), 179u);
    std::set<std::wstring> folded;
    int system = 0;
    for (const NamedColour& n : names) {
        std::wstring f(n.name);
        for (wchar_t& c : f)
            c = static_cast<wchar_t>(towupper(c));
        EXPECT_TRUE(folded.insert(f).second) << std::string(f.begin(), f.end());
        if (n.value & kSystemColourBit)
            ++system;
    }
    EXPECT_EQ(system, 39);
    // Spot checks where the web colours differ from older colour lists.
    EXPECT_EQ(FindColourName(L"gray"), MakeColour(128, 128, 128));
    EXPECT_EQ(FindColourName(L"Green"), MakeColour(0, 128, 0));
    EXPECT_EQ(FindColourName(L"lightgrey"), MakeColour(211, 211, 211));
    EXPECT_EQ(FindColourName(L"RebeccaPurple"), std::nullopt);
}
