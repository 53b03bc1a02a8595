// The router's HTML pages. The status pages carry their facts in the markup
// that set-up programs read: the wireless name in the first script-written
// table2 cell, the clock as a script Date(...) and the WAN address as the
// value of the input named ip. With `markers` off they show the same facts in
// plain markup instead, as other firmware does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Settings.h"

namespace routerlab {

struct StatusView {
    RouterSettings settings; // the settings in effect
    bool internetUp = false;
    std::string wanAddress; // "0.0.0.0" while the Internet is down
    CivilTime localTime;
    std::int64_t uptimeSeconds = 0;
    bool markers = true;
};

std::string DeviceStatusPage(const StatusView& view);
std::string StatusMenuPage(const StatusView& view);
std::string NetworkStatusPage(const StatusView& view);
std::string HomePage();

std::string SavedPage(std::string_view heading, std::string_view backUrl);
std::string ErrorPage(std::string_view message, std::string_view backUrl);
std::string RestartPage(std::int64_t seconds);
std::string StatusPage(int status, std::string_view reason, std::string_view detail);

// Lengthens a page to `size` characters with a comment before its end; a page
// that is already that long is left as it is.
std::string PadPage(std::string page, std::size_t size);

// Escapes text for an HTML attribute or element.
std::string HtmlEscape(std::string_view text);

} // namespace routerlab
