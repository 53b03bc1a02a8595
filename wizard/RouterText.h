#pragma once
// The text of the connection stage's exchanges with the router: the WAN and
// restart forms it posts and the wireless name it reads from the router's
// device status page. Portable: no Windows headers.
#include <optional>
#include <string>
#include <string_view>

// A value the user typed, made safe for a form body: "&", "=", "+", "%", "#"
// and the ASCII control characters become %XX, so the router's form decoder
// gives back exactly what was typed. Every other character stays as it is;
// the library converts the body to the system's 8-bit code page.
std::wstring EscapeFormValue(std::wstring_view value);

// "http://<router>/<page>": the router page that owns a form, sent as referrer.
std::wstring RouterPageAddress(std::wstring_view routerIP, std::wstring_view page);

// One form of the router: where it is posted, the page it belongs to and its body.
struct RouterPost {
    std::wstring path;
    std::wstring ownerPage;
    std::wstring body;
};

// The connection types as the wizard settings keep them.
inline constexpr int kWanDhcp = 1;
inline constexpr int kWanPppoe = 2;
inline constexpr int kWanBigPond = 3;

// The router's WAN form for a connection type with the account of that type
// (ignored for DHCP); nullopt for any other type.
std::optional<RouterPost> WanForm(int wanType, std::wstring_view user, std::wstring_view password);

// The restart form: always the same body.
RouterPost RebootForm();

// The wireless name in the router's device status page: the first table cell
// the page writes with a script write call, without the two "&nbsp;" that
// start it and without white space around it. nullopt when the page has no
// such cell (or the cell does not end), so the caller keeps what it knew.
std::optional<std::wstring> ExtractWirelessName(std::wstring_view page);
