#include "Pages.h"

#include <cstdio>

namespace routerlab {

namespace {

constexpr std::string_view kHead = "<html>\n<head>\n"
                                   "<meta http-equiv=\"Content-Type\" content=\"text/html\">\n"
                                   "<meta http-equiv=\"Pragma\" content=\"no-cache\">\n"
                                   "<meta http-equiv=\"Cache-Control\" content=\"no-cache\">\n";

constexpr std::string_view kStyle =
    "<style>\n"
    "body { font-family: Arial, Helvetica, sans-serif; font-size: 12px; background: #ffffff; }\n"
    ".title { font-weight: bold; font-size: 14px; color: #ffffff; background: #31659c; }\n"
    ".table1 { background: #e6e6e6; width: 40%; }\n"
    ".table2 { background: #f4f4f4; }\n"
    "</style>\n";

std::string Open(std::string_view title)
{
    std::string page(kHead);
    page += "<title>";
    page += title;
    page += "</title>\n";
    page += kStyle;
    page += "</head>\n<body>\n";
    return page;
}

constexpr std::string_view kClose = "</body>\n</html>\n";

std::string Number(std::int64_t value)
{
    return std::to_string(value);
}

// One row of a status table, written by script (the router's usual way) or
// as plain markup.
void Row(std::string& page, bool script, std::string_view label, std::string_view value)
{
    if (script) {
        page += "document.write(\"<tr><td class=table1>&nbsp;&nbsp;";
        page += label;
        page += "</td>\");\n";
        page += "document.write(\"<td class=table2>&nbsp;&nbsp;";
        page += value;
        page += "</td></tr>\");\n";
    } else {
        page += "<tr><td class=\"table1\">";
        page += label;
        page += "</td><td class=\"table2\">";
        page += value;
        page += "</td></tr>\n";
    }
}

std::string UptimeText(std::int64_t seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, "%lld day %02lld:%02lld:%02lld", static_cast<long long>(seconds / 86400),
                  static_cast<long long>(seconds / 3600 % 24), static_cast<long long>(seconds / 60 % 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

std::string_view WanTypeLabel(WanType type)
{
    switch (type) {
    case WanType::Dynamic:
        return "Dynamic IP";
    case WanType::Pppoe:
        return "PPPoE";
    case WanType::BigPond:
        return "BigPond";
    case WanType::None:
        return "Not configured";
    case WanType::Other:
        return "Other";
    }
    return "Other";
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string DeviceStatusPage(const StatusView& view)
{
    const RouterSettings& s = view.settings;
    const bool script = view.markers;
    std::string page = Open("Device Status");
    page += "<table width=\"600\" border=\"0\" cellspacing=\"1\" cellpadding=\"3\">\n";
    page += "<tr><td class=\"title\" colspan=\"2\">Wireless Configuration</td></tr>\n";
    if (script)
        page += "<script type=\"text/javascript\">\n";
    // The wireless name must stay the first value cell of the page.
    Row(page, script, "ESSID", s.ssid);
    Row(page, script, "Channel Number", Number(s.channel));
    Row(page, script, "Security", s.security == "WPA2" ? "WPA2 pre-shared key" : "Disabled");
    Row(page, script, "BSSID", "00:23:ae:ad:c1:26");
    Row(page, script, "Associated Clients", "0");
    if (script)
        page += "</script>\n";
    page += "<tr><td class=\"title\" colspan=\"2\">LAN Configuration</td></tr>\n";
    if (script)
        page += "<script type=\"text/javascript\">\n";
    Row(page, script, "IP Address", "192.168.2.1");
    Row(page, script, "Subnet Mask", "255.255.255.0");
    Row(page, script, "DHCP Server", "Enabled");
    Row(page, script, "MAC Address", "00:23:ae:ad:c1:25");
    if (script)
        page += "</script>\n";
    page += "</table>\n";
    page += kClose;
    return page;
}

std::string StatusMenuPage(const StatusView& view)
{
    const CivilTime& t = view.localTime;
    std::string page = Open("Status");
    page += "<table width=\"600\" border=\"0\" cellspacing=\"1\" cellpadding=\"3\">\n";
    page += "<tr><td class=\"title\" colspan=\"2\">System</td></tr>\n";
    page += "<tr><td class=\"table1\">Model</td><td class=\"table2\">Broadband Router</td></tr>\n";
    page +=
        "<tr><td class=\"table1\">Up Time</td><td class=\"table2\">" + UptimeText(view.uptimeSeconds) + "</td></tr>\n";
    page += "<tr><td class=\"table1\">Hardware Version</td><td class=\"table2\">Rev. A</td></tr>\n";
    page += "<tr><td class=\"table1\">Runtime Code Version</td><td class=\"table2\">1.12</td></tr>\n";
    page += "<tr><td class=\"table1\">System Time</td><td class=\"table2\" id=\"clock\">";
    if (view.markers) {
        page += "</td></tr>\n</table>\n";
        page += "<script type=\"text/javascript\">\n";
        page += "var sysTime = new Date(" + Number(t.year) + "," + Number(t.month0) + "," + Number(t.day) + "," +
                Number(t.hour) + "," + Number(t.minute) + "," + Number(t.second) + ");\n";
        page += "function showClock() {\n"
                "  document.getElementById(\"clock\").innerHTML = sysTime.toLocaleString();\n"
                "  sysTime.setTime(sysTime.getTime() + 1000);\n"
                "  setTimeout(showClock, 1000);\n"
                "}\n"
                "showClock();\n"
                "</script>\n";
    } else {
        char text[48];
        std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month0 + 1, t.day, t.hour, t.minute,
                      t.second);
        page += text;
        page += "</td></tr>\n</table>\n";
    }
    page += kClose;
    return page;
}

std::string NetworkStatusPage(const StatusView& view)
{
    const RouterSettings& s = view.settings;
    const bool up = view.internetUp;
    auto field = [&](std::string_view label, std::string_view name, std::string_view value) {
        std::string row = "<tr><td class=\"table1\">";
        row += label;
        row += "</td><td class=\"table2\">";
        if (view.markers) {
            // The value attribute closes the tag: readers take the text up to `">`.
            row += "<input type=\"text\" size=\"16\" readonly name=\"";
            row += name;
            row += "\" value=\"";
            row += value;
            row += "\">";
        } else {
            row += value;
        }
        row += "</td></tr>\n";
        return row;
    };
    std::string page = Open("Internet Status");
    page += "<form name=\"formWanStatus\">\n";
    page += "<table width=\"600\" border=\"0\" cellspacing=\"1\" cellpadding=\"3\">\n";
    page += "<tr><td class=\"title\" colspan=\"2\">Internet Connection</td></tr>\n";
    page += "<tr><td class=\"table1\">Connection Type</td><td class=\"table2\">";
    page += WanTypeLabel(s.wan.type);
    page += "</td></tr>\n";
    page += "<tr><td class=\"table1\">Status</td><td class=\"table2\">";
    page += up ? "Connected" : "Disconnected";
    page += "</td></tr>\n";
    page += field("IP Address", "ip", view.wanAddress);
    page += field("Subnet Mask", "mask", up ? "255.255.255.0" : "0.0.0.0");
    page += field("Default Gateway", "gateway", up ? "203.0.113.1" : "0.0.0.0");
    page += field("Primary DNS", "dns1", up ? "203.0.113.53" : "0.0.0.0");
    page += "<tr><td class=\"table1\">MAC Address</td><td class=\"table2\">00:23:ae:ad:c1:27</td></tr>\n";
    page += "</table>\n</form>\n";
    page += kClose;
    return page;
}

std::string HomePage()
{
    std::string page = Open("Broadband Router");
    page += "<h3>Broadband Router</h3>\n<ul>\n"
            "<li><a href=\"/stadevice.asp\">Device Status</a></li>\n"
            "<li><a href=\"/stamenu.asp\">System</a></li>\n"
            "<li><a href=\"/stanet.asp\">Internet Status</a></li>\n"
            "</ul>\n";
    page += kClose;
    return page;
}

std::string SavedPage(std::string_view heading, std::string_view backUrl)
{
    std::string page = Open("Save Settings");
    page += "<blockquote>\n<h4>";
    page += HtmlEscape(heading);
    page += "</h4>\n<p>Settings saved successfully. The new settings take effect after the router "
            "restarts.</p>\n<form><input type=\"button\" value=\"  OK  \" onclick=\"window.location.href='";
    page += HtmlEscape(backUrl.empty() ? std::string_view("/") : backUrl);
    page += "'\"></form>\n</blockquote>\n";
    page += kClose;
    return page;
}

std::string ErrorPage(std::string_view message, std::string_view backUrl)
{
    std::string page = Open("Error");
    page += "<blockquote>\n<h4>ERROR: ";
    page += HtmlEscape(message);
    page += "</h4>\n<form><input type=\"button\" value=\"  OK  \" onclick=\"window.location.href='";
    page += HtmlEscape(backUrl.empty() ? std::string_view("/") : backUrl);
    page += "'\"></form>\n</blockquote>\n";
    page += kClose;
    return page;
}

std::string RestartPage(std::int64_t seconds)
{
    std::string page = Open("Restarting");
    page += "<blockquote>\n<h4>The router is restarting.</h4>\n<p>Please wait <span id=\"left\">";
    page += Number(seconds);
    page += "</span> seconds before you connect again.</p>\n"
            "<script type=\"text/javascript\">\n"
            "var left = " +
            Number(seconds) +
            ";\n"
            "function count() { if (left > 0) { left--; document.getElementById(\"left\").innerHTML = "
            "left; setTimeout(count, 1000); } }\n"
            "setTimeout(count, 1000);\n"
            "</script>\n</blockquote>\n";
    page += kClose;
    return page;
}

std::string StatusPage(int status, std::string_view reason, std::string_view detail)
{
    std::string head = Number(status) + " " + std::string(reason);
    std::string page = Open(head);
    page += "<h2>" + head + "</h2>\n<p>";
    page += HtmlEscape(detail);
    page += "</p>\n";
    page += kClose;
    return page;
}

std::string PadPage(std::string page, std::size_t size)
{
    if (page.size() >= size)
        return page;
    const std::string_view open = "<!-- ";
    const std::string_view close = " -->\n";
    std::size_t at = page.rfind("</body>");
    if (at == std::string::npos)
        at = page.size();
    std::size_t missing = size - page.size();
    std::string filler;
    if (missing >= open.size() + close.size()) {
        filler = std::string(open);
        filler.append(missing - open.size() - close.size(), '.');
        filler += close;
    } else {
        filler.assign(missing, '\n'); // too short for a comment: blank lines
    }
    page.insert(at, filler);
    return page;
}

} // namespace routerlab
