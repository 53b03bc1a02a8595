#pragma once
// Markup stages of the HTML-subset text control: character entities and the
// tag tokenizer. Portable; the layout (TextLayout.h) drives these.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tk {

// An entity is replaced by this character followed by (kMarkBase + row), so
// that a "&lt;" cannot open a tag; the layout turns marks back into characters.
constexpr wchar_t kEntityMark = 0x0001;
constexpr wchar_t kMarkBase = 2;

// Replaces every entity (matched with case) by its two-character mark.
std::wstring MarkEntities(std::wstring_view text);

// The character that a mark's second character stands for; a blank for a
// code that names no entity.
wchar_t MarkCharacter(wchar_t code);

// Turns marks back into their characters (attribute values, link targets).
// A lone mark character at the end becomes a blank.
std::wstring DecodeMarks(std::wstring_view marked);

// What the text shows, without its markup, as a screen reader reads it: tags
// dropped, entities as their characters, "<BR>" and "<HR>" as line-feeds (a
// carriage return before a line-feed of the text goes too). A tag that is
// not closed stays as the text shows it.
std::wstring PlainText(std::wstring_view markup);

// A value from the router or from the person, made ready to stand in a text
// of the control (or in the HTML-style summary file): "&", "<", ">" and '"'
// become their entities, so the value shows as it is and opens no tag or link.
std::wstring EscapeMarkup(std::wstring_view value);

// The command line that opens a link target with the ".htm" handler: the
// handler's command cut at its "%1" placeholder (quoted or not), a blank,
// then the target as one quoted argument with its quotes and the backslashes
// before them escaped as the C runtime's argument parser reads them, so that
// a target can never add arguments of its own.
std::wstring LinkHandlerCommand(std::wstring_view handlerCommand, std::wstring_view target);

enum class TokenKind {
    Text,
    LineBreak, // "<BR>"
    Rule,      // "<HR ...>": a line break, then a rule
    BoldOn,
    BoldOff,
    ItalicOn,
    ItalicOff,
    UnderlineOn,
    UnderlineOff,
    CentreOn,
    CentreOff,
    StrikeOn,
    StrikeOff,
    BigOn,
    BigOff,
    SmallOn,
    SmallOff,
    SubOn,
    SubOff,
    SupOn,
    SupOff,
    FontOn,
    FontOff,
    CodeOn,
    CodeOff,
    LinkOn,
    LinkOff,
};

struct Token {
    TokenKind kind = TokenKind::Text;
    // Text: the piece. FontOn and Rule: the attributes between the tag name
    // and '>'. LinkOn: the target without its quotes (still marked).
    std::wstring_view text;
};

// Splits marked text into tags and text pieces. Unknown tags and a lone '<'
// come out as text; "<FONT", "<A HREF=" or "<HR" that no '>' follows turn the
// rest of the text into one plain piece.
class MarkupTokenizer {
public:
    explicit MarkupTokenizer(std::wstring_view marked) : m_rest(marked) {}
    // False at the end of the text.
    bool Next(Token& token);

private:
    std::wstring_view m_rest;
};

enum class FontAttributeKind { Color, BgColor, Face, Size };

struct FontAttribute {
    FontAttributeKind kind;
    std::wstring_view value; // between its double quotes, still marked
};

// Reads COLOR, BGCOLOR, FACE and SIZE from the attributes of a "<FONT" tag.
// Other words are skipped; a missing quote ends the scan.
std::vector<FontAttribute> ParseFontAttributes(std::wstring_view attributes);

// The SIZE= value of a "<HR" tag, if it has one.
std::optional<int> ParseRuleSize(std::wstring_view attributes);

// ASCII case-insensitive prefix test; tag and attribute names are ASCII.
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);

} // namespace tk
