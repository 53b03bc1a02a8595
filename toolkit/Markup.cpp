#include "Markup.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "ValueForms.h"

namespace tk {
namespace {

struct Entity {
    std::wstring_view name;
    wchar_t character;
};

// In the order their marks are numbered.
constexpr std::array<Entity, 24> kEntities{{
    {L"&amp;", L'&'},         {L"&bull;", L'\x2022'},   {L"&cent;", L'\x00A2'},   {L"&copy;", L'\x00A9'},
    {L"&deg;", L'\x00B0'},    {L"&euro;", L'\x20AC'},   {L"&frac12;", L'\x00BD'}, {L"&frac14;", L'\x00BC'},
    {L"&gt;", L'>'},          {L"&iquest;", L'\x00BF'}, {L"&lt;", L'<'},          {L"&micro;", L'\x00B5'},
    {L"&middot;", L'\x00B7'}, {L"&nbsp;", L' '},        {L"&para;", L'\x00B6'},   {L"&plusmn;", L'\x00B1'},
    {L"&pound;", L'\x00A3'},  {L"&quot;", L'"'},        {L"&reg;", L'\x00AE'},    {L"&sect;", L'\x00A7'},
    {L"&sup1;", L'\x00B9'},   {L"&sup2;", L'\x00B2'},   {L"&times;", L'\x00D7'},  {L"&trade;", L'\x2122'},
}};

wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

struct TagRow {
    std::wstring_view prefix;
    TokenKind kind;
};

// Tested in this order; the first prefix that matches wins.
constexpr std::array<TagRow, 26> kTags{{
    {L"<B>", TokenKind::BoldOn},        {L"</B>", TokenKind::BoldOff},
    {L"<I>", TokenKind::ItalicOn},      {L"</I>", TokenKind::ItalicOff},
    {L"<U>", TokenKind::UnderlineOn},   {L"</U>", TokenKind::UnderlineOff},
    {L"<CENTER>", TokenKind::CentreOn}, {L"</CENTER>", TokenKind::CentreOff},
    {L"<STRIKE>", TokenKind::StrikeOn}, {L"</STRIKE>", TokenKind::StrikeOff},
    {L"<BIG>", TokenKind::BigOn},       {L"</BIG>", TokenKind::BigOff},
    {L"<SMALL>", TokenKind::SmallOn},   {L"</SMALL>", TokenKind::SmallOff},
    {L"<SUB>", TokenKind::SubOn},       {L"</SUB>", TokenKind::SubOff},
    {L"<SUP>", TokenKind::SupOn},       {L"</SUP>", TokenKind::SupOff},
    {L"<FONT", TokenKind::FontOn},      {L"</FONT>", TokenKind::FontOff},
    {L"<CODE>", TokenKind::CodeOn},     {L"</CODE>", TokenKind::CodeOff},
    {L"<A HREF=", TokenKind::LinkOn},   {L"</A>", TokenKind::LinkOff},
    {L"<HR", TokenKind::Rule},          {L"<BR>", TokenKind::LineBreak},
}};

bool IsBlank(wchar_t c)
{
    return c == L' ';
}

} // namespace

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (FoldAscii(text[i]) != FoldAscii(prefix[i]))
            return false;
    return true;
}

std::wstring MarkEntities(std::wstring_view text)
{
    // Entities begin with their only '&' and end with their only ';', so no two
    // occurrences overlap and one left-to-right pass equals replacing entity by
    // entity in table order ("&amp;lt;" still yields '&' followed by "lt;").
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == L'&') {
            const std::wstring_view rest = text.substr(i);
            size_t row = 0;
            for (; row < kEntities.size(); ++row)
                if (rest.starts_with(kEntities[row].name))
                    break;
            if (row < kEntities.size()) {
                out.push_back(kEntityMark);
                out.push_back(static_cast<wchar_t>(kMarkBase + row));
                i += kEntities[row].name.size();
                continue;
            }
        }
        out.push_back(text[i]);
        ++i;
    }
    return out;
}

wchar_t MarkCharacter(wchar_t code)
{
    const long row = static_cast<long>(code) - kMarkBase;
    if (row < 0 || row >= static_cast<long>(kEntities.size()))
        return L' ';
    return kEntities[static_cast<size_t>(row)].character;
}

std::wstring DecodeMarks(std::wstring_view marked)
{
    std::wstring out;
    out.reserve(marked.size());
    for (size_t i = 0; i < marked.size(); ++i) {
        if (marked[i] != kEntityMark) {
            out.push_back(marked[i]);
        } else if (i + 1 < marked.size()) {
            out.push_back(MarkCharacter(marked[i + 1]));
            ++i;
        } else {
            out.push_back(L' ');
        }
    }
    return out;
}

std::wstring PlainText(std::wstring_view markup)
{
    const std::wstring marked = MarkEntities(markup);
    MarkupTokenizer tokens(marked);
    std::wstring out;
    out.reserve(markup.size());
    Token token;
    while (tokens.Next(token)) {
        if (token.kind == TokenKind::Text) {
            const std::wstring text = DecodeMarks(token.text);
            for (size_t i = 0; i < text.size(); ++i)
                if (text[i] != L'\r' || i + 1 == text.size() || text[i + 1] != L'\n')
                    out.push_back(text[i]);
        } else if (token.kind == TokenKind::LineBreak || token.kind == TokenKind::Rule) {
            out.push_back(L'\n');
        }
    }
    return out;
}

std::wstring EscapeMarkup(std::wstring_view value)
{
    std::wstring out;
    out.reserve(value.size());
    for (wchar_t c : value) {
        switch (c) {
        case L'&':
            out += L"&amp;";
            break;
        case L'<':
            out += L"&lt;";
            break;
        case L'>':
            out += L"&gt;";
            break;
        case L'"':
            out += L"&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::wstring LinkHandlerCommand(std::wstring_view handlerCommand, std::wstring_view target)
{
    std::wstring command(handlerCommand);
    size_t placeholder = command.find(L"\"%1\"");
    if (placeholder == std::wstring::npos)
        placeholder = command.find(L"%1");
    if (placeholder != std::wstring::npos)
        command.erase(placeholder);
    command += L" \"";
    // Backslashes are literal except before a quote: there each one doubles,
    // and the quote itself is escaped; before the closing quote they double.
    size_t backslashes = 0;
    for (wchar_t c : target) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        command.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        command += c;
    }
    command.append(backslashes * 2, L'\\');
    command += L'"';
    return command;
}

bool MarkupTokenizer::Next(Token& token)
{
    if (m_rest.empty())
        return false;

    if (m_rest[0] == L'<') {
        for (const TagRow& row : kTags) {
            if (!StartsWithNoCase(m_rest, row.prefix))
                continue;
            const bool fixed = row.prefix.back() == L'>';
            if (fixed) {
                token = {row.kind, {}};
                m_rest.remove_prefix(row.prefix.size());
                return true;
            }
            const size_t close = m_rest.find(L'>', row.prefix.size());
            if (close == std::wstring_view::npos) {
                // Nothing closes this tag: show the rest as it stands.
                token = {TokenKind::Text, m_rest};
                m_rest = {};
                return true;
            }
            std::wstring_view inner = m_rest.substr(row.prefix.size(), close - row.prefix.size());
            if (row.kind == TokenKind::LinkOn) {
                if (!inner.empty() && inner.front() == L'"')
                    inner.remove_prefix(1);
                if (!inner.empty() && inner.back() == L'"')
                    inner.remove_suffix(1);
            }
            token = {row.kind, inner};
            m_rest.remove_prefix(close + 1);
            return true;
        }
        // A '<' that opens no known tag is a piece of its own.
        token = {TokenKind::Text, m_rest.substr(0, 1)};
        m_rest.remove_prefix(1);
        return true;
    }

    const size_t next = m_rest.find(L'<');
    const size_t len = next == std::wstring_view::npos ? m_rest.size() : next;
    token = {TokenKind::Text, m_rest.substr(0, len)};
    m_rest.remove_prefix(len);
    return true;
}

std::vector<FontAttribute> ParseFontAttributes(std::wstring_view attributes)
{
    static constexpr struct {
        std::wstring_view name;
        FontAttributeKind kind;
    } kNames[] = {
        {L"COLOR", FontAttributeKind::Color},
        {L"BGCOLOR", FontAttributeKind::BgColor},
        {L"FACE", FontAttributeKind::Face},
        {L"SIZE", FontAttributeKind::Size},
    };

    std::vector<FontAttribute> result;
    size_t i = 0;
    while (i < attributes.size()) {
        if (IsBlank(attributes[i])) {
            ++i;
            continue;
        }
        const std::wstring_view here = attributes.substr(i);
        const auto* match = std::find_if(std::begin(kNames), std::end(kNames),
                                         [&](const auto& n) { return StartsWithNoCase(here, n.name); });
        if (match == std::end(kNames)) {
            const size_t blank = attributes.find(L' ', i);
            i = blank == std::wstring_view::npos ? attributes.size() : blank;
            continue;
        }
        const size_t open = attributes.find(L'"', i);
        if (open == std::wstring_view::npos)
            break;
        const size_t close = attributes.find(L'"', open + 1);
        if (close == std::wstring_view::npos)
            break;
        result.push_back({match->kind, attributes.substr(open + 1, close - open - 1)});
        i = close + 1;
    }
    return result;
}

std::optional<int> ParseRuleSize(std::wstring_view attributes)
{
    constexpr std::wstring_view kSize = L"SIZE=";
    for (size_t i = 0; i + kSize.size() <= attributes.size(); ++i)
        if (StartsWithNoCase(attributes.substr(i), kSize))
            return LeadingInt(attributes.substr(i + kSize.size()));
    return std::nullopt;
}

} // namespace tk
