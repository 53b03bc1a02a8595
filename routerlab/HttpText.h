// Text-level helpers of the substitute router: form bodies, Basic credentials
// and raw request heads. Pure functions, no sockets.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace routerlab {

using Field = std::pair<std::string, std::string>;
using Fields = std::vector<Field>;

// Decodes "%XX" and "+" the way a form handler does; a "%" that is not
// followed by two hex digits is kept as it stands.
std::string UrlDecode(std::string_view text);

// Splits an application/x-www-form-urlencoded body into its fields, in order.
// Empty pieces ("a=1&&b=2") are skipped; a piece without "=" has an empty value.
Fields ParseForm(std::string_view body);

// First value of a field, if the body carries it.
std::optional<std::string> FindField(const Fields& fields, std::string_view name);

// Standard base64 with padding; nullopt for anything else.
std::optional<std::string> Base64Decode(std::string_view text);
std::string Base64Encode(std::string_view bytes);

struct Credentials {
    std::string user;
    std::string password;
};

// Reads an "Authorization" header value of the Basic scheme.
std::optional<Credentials> ParseBasicAuthorization(std::string_view value);

// Case-insensitive ASCII comparison, as header names need.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Request line and header lines exactly as received, in order.
struct RequestHead {
    std::string method;
    std::string target;
    std::string version;
    Fields headers; // name as sent, value without surrounding blanks
};

// Where the head ends: the offset just behind the blank line, or npos while
// the blank line has not arrived yet. A head whose lines end in a bare LF is
// reported through `bareLf` so that it can be refused instead of waited for.
std::size_t FindHeadEnd(std::string_view data, bool* bareLf);

// Parses a complete head (request line, header lines, blank line). Returns
// nullopt when it is not a well-formed HTTP/1.x request head.
std::optional<RequestHead> ParseRequestHead(std::string_view head);

// The path part of a request target: no query, and no scheme and authority
// when the client sent an absolute URI.
std::string TargetPath(std::string_view target);

} // namespace routerlab
