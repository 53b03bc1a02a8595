#include "Router.h"

#include <chrono>

#include "Json.h"
#include "Pages.h"

namespace routerlab {

namespace {

constexpr std::size_t kJournalLimit = 10000;
constexpr std::string_view kRealm = "Broadband Router";

void WriteFields(JsonWriter& json, const Fields& fields)
{
    json.BeginArray();
    for (const auto& [name, value] : fields) {
        json.BeginArray().String(name).String(value).EndArray();
    }
    json.EndArray();
}

void WriteSettings(JsonWriter& json, const RouterSettings& s)
{
    json.BeginObject();
    json.Key("wan").BeginObject();
    json.Key("type").String(WanTypeName(s.wan.type));
    json.Key("mode").Int(s.wan.mode);
    json.Key("user").String(s.wan.user);
    json.Key("password").String(s.wan.password);
    json.Key("host_name").String(s.wan.hostName);
    json.EndObject();
    json.Key("time_zone").Int(s.timeZone);
    json.Key("time_server").String(s.timeServer);
    json.Key("ssid").String(s.ssid);
    json.Key("channel").Int(s.channel);
    json.Key("security").String(s.security);
    json.Key("wpa_key").String(s.wpaKey);
    json.EndObject();
}

std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

HttpReply Page(int status, std::string body)
{
    HttpReply reply;
    reply.status = status;
    reply.body = std::move(body);
    return reply;
}

std::string SubmitUrl(const Fields& fields, std::string_view fallback)
{
    const auto url = FindField(fields, "submit-url");
    return url ? *url : std::string(fallback);
}

// The form was handled as usual; the answer sends the browser back to the
// form's page, as firmware that redirects after saving does. A restart
// still follows.
HttpReply Redirected(HttpReply handled, const HttpRequest& request)
{
    const Fields fields = ParseForm(request.body);
    std::string location = FindField(fields, "submit-url").value_or(FindField(fields, "wlan-url").value_or("/"));
    for (const auto& [name, value] : request.headers) {
        if (EqualsNoCase(name, "Host")) {
            location = "http://" + value + location;
            break;
        }
    }
    HttpReply reply = Page(302, StatusPage(302, "Found", "The document has moved to " + location + "."));
    reply.headers.emplace_back("Location", location);
    reply.restart = handled.restart;
    return reply;
}

bool IsHex(std::string_view text)
{
    for (char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex)
            return false;
    }
    return true;
}

} // namespace

std::string_view PhaseName(Phase phase)
{
    switch (phase) {
    case Phase::Running:
        return "running";
    case Phase::Restarting:
        return "restarting";
    case Phase::Halted:
        return "halted";
    }
    return "halted";
}

std::string JournalEntryJson(const JournalEntry& e)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("seq").Int(e.seq);
    json.Key("time_ms").Int(e.timeMs);
    json.Key("boot").Int(e.boot);
    json.Key("client").String(e.client);
    json.Key("method").String(e.method);
    json.Key("target").String(e.target);
    json.Key("version").String(e.version);
    json.Key("headers");
    WriteFields(json, e.headers);
    json.Key("body").String(e.body);
    json.Key("raw").String(e.raw);
    json.Key("status").Int(e.status);
    json.Key("malformed").Bool(e.malformed);
    json.Key("truncated").Bool(e.truncated);
    json.Key("fault").String(e.fault);
    json.EndObject();
    return json.Text();
}

Router::Router()
    : Router(Clocks{[] {
                        return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                                             std::chrono::system_clock::now().time_since_epoch())
                                                             .count());
                    },
                    [] {
                        return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                             std::chrono::steady_clock::now().time_since_epoch())
                                                             .count());
                    }},
             nullptr)
{
}

Router::Router(Clocks clocks, LogSink log) : m_clocks(std::move(clocks)), m_log(std::move(log))
{
    m_phase = Phase::Halted; // until the first boot
    m_startMs = m_clocks.monotonicMs();
    m_clockBaseMs = m_startMs;
    m_bootMs = m_startMs;
}

void Router::Log(const std::string& line) const
{
    if (m_log)
        m_log(line);
}

std::vector<std::string> Router::SettingNames()
{
    return {"password",
            "ssid",
            "wpa-key",
            "time-zone",
            "wan-type",
            "wan-user",
            "wan-password",
            "provider-user",
            "provider-password",
            "wan-address",
            "downtime-ms",
            "slow-ms",
            "big-page-size",
            "clock",
            "clock-frozen",
            "seed",
            "site-down",
            "fault-refuse-password",
            "fault-status-500",
            "fault-slow",
            "fault-reset",
            "fault-big-pages",
            "fault-no-markers",
            "fault-gzip",
            "fault-redirect",
            "fault-no-return",
            "fault-internet-down"};
}

std::string Router::Set(std::string_view key, std::string_view value)
{
    std::lock_guard lock(m_mutex);
    std::string error = SetLocked(key, value);
    if (error.empty())
        Log("set " + std::string(key) + "=" + std::string(value));
    return error;
}

std::string Router::SetLocked(std::string_view key, std::string_view value)
{
    const std::string name(key);
    auto bad = [&](std::string_view why) { return name + ": " + std::string(why); };
    auto number = [&](std::int64_t min, std::int64_t max, std::int64_t& target) -> std::string {
        const auto v = ParseInteger(value, min, max);
        if (!v)
            return bad("expected a whole number from " + std::to_string(min) + " to " + std::to_string(max));
        target = *v;
        return {};
    };
    auto flag = [&](bool& target) -> std::string {
        const auto v = ParseSwitch(value);
        if (!v)
            return bad("expected on or off");
        target = *v;
        return {};
    };
    auto fault = [&](FaultSwitch& target) -> std::string {
        if (!target.Parse(value))
            return bad("expected on, off or a comma-separated list of paths");
        return {};
    };
    auto both = [&](auto apply) {
        apply(m_saved);
        apply(m_running);
    };
    auto reevaluate = [&] {
        // Changing what the WAN or the provider holds takes effect at once, as
        // if the line had been re-established.
        if (m_phase != Phase::Running)
            return;
        BootLocked();
    };

    if (key == "password") {
        if (value.empty())
            return bad("must not be empty");
        m_password = std::string(value);
        return {};
    }
    if (key == "ssid") {
        if (value.empty() || value.size() > 32)
            return bad("must be 1 to 32 characters");
        both([&](RouterSettings& s) { s.ssid = std::string(value); });
        return {};
    }
    if (key == "wpa-key") {
        if (!value.empty() && (value.size() < 8 || value.size() > 63)) {
            return bad("must be empty or 8 to 63 characters");
        }
        both([&](RouterSettings& s) {
            s.wpaKey = std::string(value);
            s.security = value.empty() ? "none" : "WPA2";
        });
        return {};
    }
    if (key == "time-zone") {
        std::int64_t zone = 0;
        if (auto e = number(0, kTimeZoneCount - 1, zone); !e.empty())
            return e;
        both([&](RouterSettings& s) { s.timeZone = static_cast<int>(zone); });
        return {};
    }
    if (key == "wan-type") {
        const auto type = WanTypeFromName(value);
        if (!type)
            return bad("expected dhcp, pppoe, bigpond or none");
        both([&](RouterSettings& s) {
            s.wan.type = *type;
            s.wan.mode = *type == WanType::Pppoe ? 2 : (*type == WanType::BigPond ? 4 : 0);
        });
        reevaluate();
        return {};
    }
    if (key == "wan-user" || key == "wan-password") {
        both([&](RouterSettings& s) { (key == "wan-user" ? s.wan.user : s.wan.password) = std::string(value); });
        reevaluate();
        return {};
    }
    if (key == "provider-user" || key == "provider-password") {
        (key == "provider-user" ? m_providerUser : m_providerPassword) = std::string(value);
        reevaluate();
        return {};
    }
    if (key == "wan-address") {
        if (value.empty())
            return bad("must not be empty");
        m_wanAddress = std::string(value);
        return {};
    }
    if (key == "downtime-ms")
        return number(0, 3600000, m_downtimeMs);
    if (key == "slow-ms")
        return number(0, 3600000, m_slowMs);
    if (key == "big-page-size")
        return number(1, 64 * 1024 * 1024, m_bigPageSize);
    if (key == "clock") {
        if (value == "system") {
            m_clockBase.reset();
            return {};
        }
        const auto seconds = ParseClock(value);
        if (!seconds)
            return bad("expected system or YYYY-MM-DDTHH:MM:SS");
        m_clockBase = *seconds;
        m_clockBaseMs = m_clocks.monotonicMs();
        return {};
    }
    if (key == "clock-frozen") {
        // Freezing keeps the time shown now.
        const std::int64_t shown = RouterUtcLocked();
        if (auto e = flag(m_clockFrozen); !e.empty())
            return e;
        m_clockBase = shown;
        m_clockBaseMs = m_clocks.monotonicMs();
        return {};
    }
    if (key == "seed") {
        std::int64_t seed = 0;
        if (auto e = number(0, 0x7FFFFFFFFFFFFFFF, seed); !e.empty())
            return e;
        m_seed = static_cast<std::uint64_t>(seed);
        return {};
    }
    if (key == "site-down") {
        std::vector<std::string> sites;
        if (value != "none" && !value.empty()) {
            std::size_t start = 0;
            while (start <= value.size()) {
                std::size_t end = value.find(',', start);
                if (end == std::string_view::npos)
                    end = value.size();
                if (end == start)
                    return bad("empty site address");
                sites.emplace_back(value.substr(start, end - start));
                start = end + 1;
            }
        }
        m_sitesDown = std::move(sites);
        return {};
    }
    if (key == "fault-refuse-password")
        return fault(m_faults.refusePassword);
    if (key == "fault-status-500")
        return fault(m_faults.status500);
    if (key == "fault-slow")
        return fault(m_faults.slow);
    if (key == "fault-reset")
        return fault(m_faults.reset);
    if (key == "fault-big-pages")
        return fault(m_faults.bigPages);
    if (key == "fault-no-markers")
        return fault(m_faults.noMarkers);
    if (key == "fault-gzip")
        return fault(m_faults.gzip);
    if (key == "fault-redirect")
        return fault(m_faults.redirect);
    if (key == "fault-no-return")
        return flag(m_faults.noReturn);
    if (key == "fault-internet-down")
        return flag(m_faults.internetDown);
    return name + ": no such setting";
}

HttpReply Router::Handle(const HttpRequest& request)
{
    std::lock_guard lock(m_mutex);
    ++m_requests;
    const std::string& path = request.path;
    HttpReply reply;
    if (m_phase != Phase::Running) {
        // Going down: the answer would never leave the box.
        reply.transport = HttpReply::Transport::Reset;
        reply.fault = "restarting";
        return reply;
    }
    if (m_faults.reset.Applies(path)) {
        reply.transport = HttpReply::Transport::Reset;
        reply.fault = "reset";
        return reply;
    }
    std::string faults;
    int delay = 0;
    if (m_faults.slow.Applies(path)) {
        delay = static_cast<int>(m_slowMs);
        faults = "slow";
    }
    auto note = [&faults](std::string_view name) {
        if (!faults.empty())
            faults += ',';
        faults += name;
    };

    bool authorised = false;
    for (const auto& [name, value] : request.headers) {
        if (!EqualsNoCase(name, "Authorization"))
            continue;
        const auto credentials = ParseBasicAuthorization(value);
        authorised = credentials && credentials->user == "admin" && credentials->password == m_password;
        break;
    }
    if (m_faults.status500.Applies(path)) {
        note("status-500");
        reply = Page(500, StatusPage(500, "Internal Server Error", "The server could not run the request."));
    } else {
        if (m_faults.refusePassword.Applies(path)) {
            note("refuse-password");
            authorised = false;
        }
        if (!authorised) {
            reply = Page(401, StatusPage(401, "Unauthorized",
                                         "Access to this resource is denied; your client has not "
                                         "supplied the correct authentication."));
            reply.headers.emplace_back("WWW-Authenticate", "Basic realm=\"" + std::string(kRealm) + "\"");
        } else {
            reply = Route(request);
            // Only the forms: a status page is never redirected.
            if (request.method == "POST" && reply.status == 200 && m_faults.redirect.Applies(path)) {
                note("redirect");
                reply = Redirected(std::move(reply), request);
            }
        }
    }
    if (m_faults.bigPages.Applies(path) && !reply.body.empty()) {
        note("big-pages");
        reply.body = PadPage(std::move(reply.body), static_cast<std::size_t>(m_bigPageSize));
    }
    reply.fault = faults;
    reply.delayMs = delay;
    return reply;
}

HttpReply Router::Route(const HttpRequest& request)
{
    const std::string& path = request.path;
    const std::string& method = request.method;
    if (method == "GET" || method == "HEAD") {
        if (path == "/" || path == "/index.asp" || path == "/index.html")
            return Page(200, HomePage());
        if (path == "/stadevice.asp" || path == "/stamenu.asp" || path == "/stanet.asp") {
            HttpReply reply = StatusReply(path);
            reply.headers.emplace_back("Set-Cookie", m_cookie + "; path=/");
            return reply;
        }
        return Page(404, StatusPage(404, "Not Found", "The requested page does not exist."));
    }
    if (method == "POST") {
        const Fields fields = ParseForm(request.body);
        HttpReply reply;
        bool known = true;
        if (path == "/goform/formWanTcpipSetup") {
            reply = HandleWan(fields, path);
        } else if (path == "/goform/formTELBPSetup") {
            reply = HandleBigPond(fields);
        } else if (path == "/goform/formPasswordSetup") {
            reply = HandlePassword(fields);
        } else if (path == "/goform/formTimeZoneSetup") {
            reply = HandleTimeZone(fields);
        } else if (path == "/goform/formWlanSetup") {
            reply = HandleWlan(fields);
        } else if (path == "/goform/formWlEncrypt") {
            reply = HandleEncryption(fields);
        } else if (path == "/goform/formReboot") {
            reply = HandleReboot();
        } else {
            known = false;
            reply = Page(404, StatusPage(404, "Not Found", "Form " + path + " is not defined."));
        }
        if (known)
            m_forms[path] = fields;
        return reply;
    }
    HttpReply reply = Page(501, StatusPage(501, "Not Implemented", "Method " + method + " is not supported."));
    reply.headers.emplace_back("Allow", "GET, HEAD, POST");
    return reply;
}

HttpReply Router::StatusReply(const std::string& path)
{
    StatusView view;
    view.settings = m_running;
    view.internetUp = InternetUpLocked();
    view.wanAddress = view.internetUp ? m_wanAddress : "0.0.0.0";
    view.localTime = CivilFromEpoch(RouterUtcLocked() + ZoneOffsetMinutes(m_running.timeZone) * 60);
    view.uptimeSeconds = (m_clocks.monotonicMs() - m_bootMs) / 1000;
    view.markers = !m_faults.noMarkers.Applies(path);
    if (path == "/stadevice.asp")
        return Page(200, DeviceStatusPage(view));
    if (path == "/stamenu.asp")
        return Page(200, StatusMenuPage(view));
    return Page(200, NetworkStatusPage(view));
}

HttpReply Router::HandleWan(const Fields& fields, const std::string& path)
{
    const std::string back = SubmitUrl(fields, "/wan.asp");
    const auto modeText = FindField(fields, "wanMode");
    const auto mode = modeText ? ParseInteger(*modeText, 0, 99) : std::nullopt;
    if (!mode)
        return Page(200, ErrorPage("invalid WAN mode", back));
    WanSettings wan;
    wan.mode = static_cast<int>(*mode);
    if (*mode == 0) {
        wan.type = WanType::Dynamic;
        wan.hostName = FindField(fields, "dynIPHostName").value_or("");
    } else if (*mode == 2) {
        wan.type = WanType::Pppoe;
        wan.user = FindField(fields, "pppUserName").value_or("");
        wan.password = FindField(fields, "pppPassword").value_or("");
    } else {
        wan.type = WanType::Other;
    }
    m_saved.wan = wan;
    Log("saved " + path + ": WAN " + std::string(WanTypeName(wan.type)) +
        (wan.type == WanType::Pppoe ? " user '" + wan.user + "'" : std::string()));
    return Page(200, SavedPage("WAN settings saved", back));
}

HttpReply Router::HandleBigPond(const Fields& fields)
{
    WanSettings wan;
    wan.type = WanType::BigPond;
    const auto mode = ParseInteger(FindField(fields, "wanMode").value_or("4"), 0, 99);
    wan.mode = mode ? static_cast<int>(*mode) : 4;
    wan.user = FindField(fields, "telBPUserName").value_or("");
    wan.password = FindField(fields, "telBPPassword").value_or("");
    m_saved.wan = wan;
    Log("saved BigPond WAN: user '" + wan.user + "'");
    return Page(200, SavedPage("WAN settings saved", SubmitUrl(fields, "/wantelstra.asp")));
}

HttpReply Router::HandlePassword(const Fields& fields)
{
    const std::string back = SubmitUrl(fields, "/syspasswd.asp");
    const auto oldPass = FindField(fields, "oldpass");
    const std::string newPass = FindField(fields, "newpass").value_or("");
    const std::string confirm = FindField(fields, "confpass").value_or("");
    if (!oldPass || *oldPass != m_password) {
        Log("password form refused: old password does not match");
        return Page(200, ErrorPage("the old password is not correct", back));
    }
    if (newPass.empty())
        return Page(200, ErrorPage("the new password must not be empty", back));
    if (newPass != confirm)
        return Page(200, ErrorPage("the new passwords do not match", back));
    m_password = newPass;
    Log("administrator password changed");
    return Page(200, SavedPage("Password changed", back));
}

HttpReply Router::HandleTimeZone(const Fields& fields)
{
    const std::string back = SubmitUrl(fields, "/systimezone.asp");
    const auto text = FindField(fields, "TimeZoneSel");
    const auto zone = text ? ParseInteger(*text, 0, kTimeZoneCount - 1) : std::nullopt;
    if (!zone)
        return Page(200, ErrorPage("invalid time zone", back));
    m_saved.timeZone = static_cast<int>(*zone);
    m_saved.timeServer = FindField(fields, "TimeServerAddr").value_or("");
    Log("saved time zone " + std::to_string(*zone) + ", time server '" + m_saved.timeServer + "'");
    return Page(200, SavedPage("Time zone saved", back));
}

HttpReply Router::HandleWlan(const Fields& fields)
{
    const std::string back = SubmitUrl(fields, "/wlbasic.asp");
    const std::string ssid = FindField(fields, "ssid").value_or("");
    // 802.11 allows 1 to 32 bytes of network name.
    if (ssid.empty() || ssid.size() > 32) {
        return Page(200, ErrorPage("the wireless name must be 1 to 32 characters", back));
    }
    const auto channel = ParseInteger(FindField(fields, "chan").value_or("11"), 0, 14);
    if (!channel)
        return Page(200, ErrorPage("invalid channel number", back));
    m_saved.ssid = ssid;
    m_saved.channel = static_cast<int>(*channel);
    Log("saved wireless name '" + ssid + "', channel " + std::to_string(*channel));
    return Page(200, SavedPage("Wireless settings saved", back));
}

HttpReply Router::HandleEncryption(const Fields& fields)
{
    const std::string back = SubmitUrl(fields, "/wlencrypt.asp");
    const std::string method = FindField(fields, "method").value_or("0");
    if (method == "0") {
        m_saved.security = "none";
        m_saved.wpaKey.clear();
        Log("saved wireless security: none");
        return Page(200, SavedPage("Security settings saved", back));
    }
    if (method != "2")
        return Page(200, ErrorPage("unsupported encryption method", back));
    const std::string cipher = FindField(fields, "wpaCipher").value_or("2");
    const std::string format = FindField(fields, "pskFormat").value_or("0");
    const std::string key = FindField(fields, "pskValue").value_or("");
    // WPA pre-shared keys: 64 hex digits, or a passphrase of 8 to 63 characters.
    const bool valid = format == "1" ? (key.size() == 64 && IsHex(key)) : (key.size() >= 8 && key.size() <= 63);
    if (!valid) {
        Log("wireless security refused: pre-shared key of " + std::to_string(key.size()) + " characters");
        return Page(200, ErrorPage(format == "1" ? "the key must be 64 hexadecimal digits"
                                                 : "the pre-shared key must be 8 to 63 characters",
                                   back));
    }
    m_saved.security = cipher == "1" ? "WPA" : (cipher == "3" ? "WPA/WPA2" : "WPA2");
    m_saved.wpaKey = key;
    Log("saved wireless security " + m_saved.security);
    return Page(200, SavedPage("Security settings saved", back));
}

HttpReply Router::HandleReboot()
{
    HttpReply reply = Page(200, RestartPage((m_downtimeMs + 999) / 1000));
    reply.restart = true;
    m_phase = Phase::Restarting;
    Log("restart requested: down for " + std::to_string(m_downtimeMs) + " ms");
    return reply;
}

void Router::BeginRestart()
{
    std::lock_guard lock(m_mutex);
    if (m_phase == Phase::Running)
        Log("restart: down for " + std::to_string(m_downtimeMs) + " ms");
    m_phase = Phase::Restarting;
}

bool Router::FinishRestart()
{
    std::lock_guard lock(m_mutex);
    if (m_phase == Phase::Running)
        return true;
    if (m_faults.noReturn) {
        if (m_phase != Phase::Halted)
            Log("restart never ends (fault-no-return)");
        m_phase = Phase::Halted;
        return false;
    }
    BootLocked();
    return true;
}

void Router::BootNow()
{
    std::lock_guard lock(m_mutex);
    BootLocked();
}

void Router::BootLocked()
{
    const bool reboot = m_phase != Phase::Running;
    if (reboot) {
        m_running = m_saved;
        ++m_boot;
        m_bootMs = m_clocks.monotonicMs();
        m_cookie = "SessionID=";
        static constexpr char kHex[] = "0123456789abcdef";
        const std::uint64_t id = Mix(m_seed * 1000003u + static_cast<std::uint64_t>(m_boot));
        for (int shift = 60; shift >= 0; shift -= 4)
            m_cookie += kHex[(id >> shift) & 15];
        m_phase = Phase::Running;
    }
    switch (m_running.wan.type) {
    case WanType::Dynamic:
        m_wanUp = true;
        m_wanVerdict = "dynamic address obtained";
        break;
    case WanType::Pppoe:
    case WanType::BigPond:
        m_wanUp = m_running.wan.user == m_providerUser && m_running.wan.password == m_providerPassword;
        m_wanVerdict = m_wanUp ? "provider accepted the account" : "provider refused the account";
        break;
    case WanType::None:
        m_wanUp = false;
        m_wanVerdict = "no Internet connection configured";
        break;
    case WanType::Other:
        m_wanUp = false;
        m_wanVerdict = "WAN mode " + std::to_string(m_running.wan.mode) + " is not offered here";
        break;
    }
    Log((reboot ? "boot " + std::to_string(m_boot) + ": " : std::string("WAN re-evaluated: ")) + "WAN " +
        std::string(WanTypeName(m_running.wan.type)) + ", Internet " + (InternetUpLocked() ? "up" : "down") + " (" +
        m_wanVerdict + ")");
}

Phase Router::CurrentPhase() const
{
    std::lock_guard lock(m_mutex);
    return m_phase;
}

std::int64_t Router::DowntimeMs() const
{
    std::lock_guard lock(m_mutex);
    return m_downtimeMs;
}

int Router::BootCount() const
{
    std::lock_guard lock(m_mutex);
    return m_boot;
}

bool Router::InternetUp() const
{
    std::lock_guard lock(m_mutex);
    return InternetUpLocked();
}

bool Router::CompressionAllowed(std::string_view path) const
{
    std::lock_guard lock(m_mutex);
    return m_faults.gzip.Applies(path);
}

bool Router::InternetUpLocked() const
{
    return m_phase == Phase::Running && m_wanUp && !m_faults.internetDown;
}

std::int64_t Router::RouterUtcLocked() const
{
    if (!m_clockBase)
        return m_clocks.utcSeconds();
    if (m_clockFrozen)
        return *m_clockBase;
    return *m_clockBase + (m_clocks.monotonicMs() - m_clockBaseMs) / 1000;
}

int Router::AddSite(SiteInfo site)
{
    std::lock_guard lock(m_mutex);
    m_sites.push_back(Site{std::move(site), 0});
    return static_cast<int>(m_sites.size()) - 1;
}

void Router::SetSitePort(int index, int port)
{
    std::lock_guard lock(m_mutex);
    if (index >= 0 && index < static_cast<int>(m_sites.size()))
        m_sites[index].info.port = port;
}

bool Router::SiteShouldListen(int index) const
{
    std::lock_guard lock(m_mutex);
    if (index < 0 || index >= static_cast<int>(m_sites.size()) || !InternetUpLocked())
        return false;
    const SiteInfo& site = m_sites[index].info;
    const std::string withPort = site.address + ":" + std::to_string(site.port);
    for (const auto& down : m_sitesDown) {
        if (down == site.address || down == withPort)
            return false;
    }
    return true;
}

void Router::CountSiteConnection(int index)
{
    std::lock_guard lock(m_mutex);
    if (index >= 0 && index < static_cast<int>(m_sites.size()))
        ++m_sites[index].connections;
}

void Router::Record(JournalEntry entry)
{
    std::lock_guard lock(m_mutex);
    entry.seq = m_nextSeq++;
    entry.boot = m_boot;
    m_journal.push_back(std::move(entry));
    while (m_journal.size() > kJournalLimit)
        m_journal.pop_front();
}

std::vector<JournalEntry> Router::Journal(std::int64_t sinceSeq) const
{
    std::lock_guard lock(m_mutex);
    std::vector<JournalEntry> entries;
    for (const auto& e : m_journal) {
        if (e.seq > sinceSeq)
            entries.push_back(e);
    }
    return entries;
}

std::string Router::JournalJson(std::int64_t sinceSeq) const
{
    std::string json = "[";
    bool first = true;
    for (const auto& e : Journal(sinceSeq)) {
        if (!first)
            json += ",\n";
        first = false;
        json += JournalEntryJson(e);
    }
    json += "]\n";
    return json;
}

void Router::ClearJournal()
{
    std::lock_guard lock(m_mutex);
    m_journal.clear();
}

std::string Router::StateJson() const
{
    std::lock_guard lock(m_mutex);
    JsonWriter json;
    json.BeginObject();
    json.Key("phase").String(PhaseName(m_phase));
    json.Key("boot").Int(m_boot);
    json.Key("uptime_ms").Int(m_clocks.monotonicMs() - m_bootMs);
    json.Key("admin").BeginObject().Key("user").String("admin").Key("password").String(m_password).EndObject();
    json.Key("running");
    WriteSettings(json, m_running);
    json.Key("saved");
    WriteSettings(json, m_saved);
    json.Key("internet").BeginObject();
    json.Key("up").Bool(InternetUpLocked());
    json.Key("address").String(InternetUpLocked() ? m_wanAddress : "0.0.0.0");
    json.Key("verdict").String(m_faults.internetDown ? "switched off (fault-internet-down)" : m_wanVerdict);
    json.EndObject();
    json.Key("provider")
        .BeginObject()
        .Key("user")
        .String(m_providerUser)
        .Key("password")
        .String(m_providerPassword)
        .EndObject();
    const CivilTime local = CivilFromEpoch(RouterUtcLocked() + ZoneOffsetMinutes(m_running.timeZone) * 60);
    json.Key("clock").BeginObject();
    json.Key("utc").String(FormatClock(RouterUtcLocked()));
    json.Key("local").String(FormatClock(EpochFromCivil(local)));
    json.Key("frozen").Bool(m_clockFrozen);
    json.EndObject();
    json.Key("cookie").String(m_cookie);
    json.Key("downtime_ms").Int(m_downtimeMs);
    json.Key("slow_ms").Int(m_slowMs);
    json.Key("big_page_size").Int(m_bigPageSize);
    json.Key("faults").BeginObject();
    json.Key("refuse-password").String(m_faults.refusePassword.Text());
    json.Key("status-500").String(m_faults.status500.Text());
    json.Key("slow").String(m_faults.slow.Text());
    json.Key("reset").String(m_faults.reset.Text());
    json.Key("big-pages").String(m_faults.bigPages.Text());
    json.Key("no-markers").String(m_faults.noMarkers.Text());
    json.Key("gzip").String(m_faults.gzip.Text());
    json.Key("redirect").String(m_faults.redirect.Text());
    json.Key("no-return").String(m_faults.noReturn ? "on" : "off");
    json.Key("internet-down").String(m_faults.internetDown ? "on" : "off");
    json.EndObject();
    json.Key("sites").BeginArray();
    for (std::size_t i = 0; i < m_sites.size(); ++i) {
        const Site& site = m_sites[i];
        json.BeginObject();
        json.Key("address").String(site.info.address);
        json.Key("port").Int(site.info.port);
        json.Key("kind").String(site.info.kind);
        json.Key("connections").Int(site.connections);
        json.EndObject();
    }
    json.EndArray();
    json.Key("sites_down").BeginArray();
    for (const auto& s : m_sitesDown)
        json.String(s);
    json.EndArray();
    json.Key("forms").BeginObject();
    for (const auto& [path, fields] : m_forms) {
        json.Key(path);
        WriteFields(json, fields);
    }
    json.EndObject();
    json.Key("requests").Int(m_requests);
    json.Key("journal_next_seq").Int(m_nextSeq);
    json.EndObject();
    return json.Text() + "\n";
}

std::string Router::Password() const
{
    std::lock_guard lock(m_mutex);
    return m_password;
}

RouterSettings Router::Running() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

RouterSettings Router::Saved() const
{
    std::lock_guard lock(m_mutex);
    return m_saved;
}

std::string Router::Cookie() const
{
    std::lock_guard lock(m_mutex);
    return m_cookie;
}

std::int64_t Router::NowMs() const
{
    return m_clocks.monotonicMs() - m_startMs;
}

} // namespace routerlab
