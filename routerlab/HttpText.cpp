#include "HttpText.h"

#include <array>

namespace routerlab {

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsTokenChar(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return true;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return true;
    constexpr std::string_view kExtra = "!#$%&'*+-.^_`|~";
    return kExtra.find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsToken(std::string_view text)
{
    if (text.empty())
        return false;
    for (unsigned char c : text) {
        if (!IsTokenChar(c))
            return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

constexpr std::string_view kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

std::string UrlDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

Fields ParseForm(std::string_view body)
{
    Fields fields;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string_view::npos)
            end = body.size();
        const std::string_view piece = body.substr(start, end - start);
        if (!piece.empty()) {
            const std::size_t eq = piece.find('=');
            if (eq == std::string_view::npos) {
                fields.emplace_back(UrlDecode(piece), std::string());
            } else {
                fields.emplace_back(UrlDecode(piece.substr(0, eq)), UrlDecode(piece.substr(eq + 1)));
            }
        }
        start = end + 1;
    }
    return fields;
}

std::optional<std::string> FindField(const Fields& fields, std::string_view name)
{
    for (const auto& [key, value] : fields) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

std::optional<std::string> Base64Decode(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::array<int, 4> v{};
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=') {
                // Padding only at the very end, and at most two characters.
                if (i + 4 != text.size() || k < 2)
                    return std::nullopt;
                ++padding;
                v[k] = 0;
            } else {
                if (padding > 0)
                    return std::nullopt;
                const std::size_t pos = kBase64Alphabet.find(c);
                if (pos == std::string_view::npos)
                    return std::nullopt;
                v[k] = static_cast<int>(pos);
            }
        }
        const unsigned bits = (static_cast<unsigned>(v[0]) << 18) | (static_cast<unsigned>(v[1]) << 12) |
                              (static_cast<unsigned>(v[2]) << 6) | static_cast<unsigned>(v[3]);
        out += static_cast<char>((bits >> 16) & 0xFF);
        if (padding < 2)
            out += static_cast<char>((bits >> 8) & 0xFF);
        if (padding < 1)
            out += static_cast<char>(bits & 0xFF);
    }
    return out;
}

std::string Base64Encode(std::string_view bytes)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
        unsigned bits = static_cast<unsigned char>(bytes[i]) << 16;
        if (n > 1)
            bits |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (n > 2)
            bits |= static_cast<unsigned char>(bytes[i + 2]);
        out += kBase64Alphabet[(bits >> 18) & 63];
        out += kBase64Alphabet[(bits >> 12) & 63];
        out += n > 1 ? kBase64Alphabet[(bits >> 6) & 63] : '=';
        out += n > 2 ? kBase64Alphabet[bits & 63] : '=';
    }
    return out;
}

std::optional<Credentials> ParseBasicAuthorization(std::string_view value)
{
    value = TrimBlanks(value);
    const std::size_t space = value.find(' ');
    if (space == std::string_view::npos || !EqualsNoCase(value.substr(0, space), "Basic")) {
        return std::nullopt;
    }
    const auto decoded = Base64Decode(TrimBlanks(value.substr(space + 1)));
    if (!decoded)
        return std::nullopt;
    const std::size_t colon = decoded->find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    return Credentials{decoded->substr(0, colon), decoded->substr(colon + 1)};
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

std::size_t FindHeadEnd(std::string_view data, bool* bareLf)
{
    if (bareLf)
        *bareLf = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\n')
            continue;
        // A line ends at i; the head ends when the line after it is empty.
        const bool crlf = i > 0 && data[i - 1] == '\r';
        if (i + 1 < data.size() && data[i + 1] == '\n') {
            if (bareLf)
                *bareLf = true;
            return i + 2;
        }
        if (i + 2 < data.size() && data[i + 1] == '\r' && data[i + 2] == '\n') {
            if (bareLf)
                *bareLf = !crlf;
            return i + 3;
        }
    }
    return std::string_view::npos;
}

std::optional<RequestHead> ParseRequestHead(std::string_view head)
{
    RequestHead result;
    std::size_t pos = 0;
    bool first = true;
    while (true) {
        const std::size_t eol = head.find("\r\n", pos);
        if (eol == std::string_view::npos)
            return std::nullopt;
        const std::string_view line = head.substr(pos, eol - pos);
        pos = eol + 2;
        for (char c : line) {
            // Bare CR, LF or NUL inside a line is a smuggling attempt or garbage.
            if (c == '\r' || c == '\n' || c == '\0')
                return std::nullopt;
        }
        if (first) {
            first = false;
            const std::size_t s1 = line.find(' ');
            if (s1 == std::string_view::npos)
                return std::nullopt;
            const std::size_t s2 = line.find(' ', s1 + 1);
            if (s2 == std::string_view::npos)
                return std::nullopt;
            result.method = std::string(line.substr(0, s1));
            result.target = std::string(line.substr(s1 + 1, s2 - s1 - 1));
            result.version = std::string(line.substr(s2 + 1));
            if (!IsToken(result.method) || result.target.empty())
                return std::nullopt;
            for (unsigned char c : result.target) {
                if (c <= 0x20 || c == 0x7F)
                    return std::nullopt;
            }
            if (result.version != "HTTP/1.1" && result.version != "HTTP/1.0")
                return std::nullopt;
            continue;
        }
        if (line.empty())
            break;
        // Folded continuation lines are obsolete and refused.
        if (line.front() == ' ' || line.front() == '\t')
            return std::nullopt;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        const std::string_view name = line.substr(0, colon);
        if (!IsToken(name))
            return std::nullopt;
        const std::string_view value = TrimBlanks(line.substr(colon + 1));
        for (unsigned char c : value) {
            if ((c < 0x20 && c != '\t') || c == 0x7F)
                return std::nullopt;
        }
        result.headers.emplace_back(std::string(name), std::string(value));
    }
    if (pos != head.size())
        return std::nullopt;
    return result;
}

std::string TargetPath(std::string_view target)
{
    std::string_view path = target;
    const std::size_t scheme = path.find("://");
    if (scheme != std::string_view::npos && path.front() != '/') {
        const std::size_t slash = path.find('/', scheme + 3);
        path = slash == std::string_view::npos ? std::string_view("/") : path.substr(slash);
    }
    const std::size_t query = path.find_first_of("?#");
    if (query != std::string_view::npos)
        path = path.substr(0, query);
    // Paths decode "%XX" only; a "+" in a path is a plus sign.
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() && HexValue(path[i + 1]) >= 0 && HexValue(path[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(path[i + 1]) * 16 + HexValue(path[i + 2]));
            i += 2;
        } else {
            out += path[i];
        }
    }
    return out;
}

} // namespace routerlab
