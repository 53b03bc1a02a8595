// The router's behaviour as a set-up program meets it: authentication, the
// status pages read the way the wizard reads them, the forms, the restart
// cycle, the simulated Internet and the fault switches.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "HttpText.h"
#include "Router.h"

using namespace routerlab;

namespace {

// The wizard's readings of the three status pages.
std::optional<std::string> Trimmed(std::string text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    while (!text.empty() && blank(text.front()))
        text.erase(0, 1);
    return text;
}

std::optional<std::string> ReadSsid(const std::string& page)
{
    const std::size_t p = page.find("write(\"<td class=table2>&nbsp;");
    if (p == std::string::npos)
        return std::nullopt;
    std::string rest = page.substr(p + 36);
    return Trimmed(rest.substr(0, rest.find("</td>")));
}

std::optional<std::string> ReadTime(const std::string& page)
{
    const std::size_t p = page.find("Date(");
    if (p == std::string::npos)
        return std::nullopt;
    const std::string t = page.substr(p + 5, 20);
    std::size_t at = 0;
    auto next = [&](char end) {
        const std::size_t e = t.find(end, at);
        std::string part = t.substr(at, e - at);
        at = e == std::string::npos ? t.size() : e + 1;
        return part;
    };
    const std::string year = next(','), month = next(','), day = next(','), hour = next(','), minute = next(','),
                      second = next(')');
    return year + "/" + std::to_string(std::stoi(month) + 1) + "/" + day + " " + hour + ":" + minute + ":" + second;
}

std::optional<std::string> ReadInternetAddress(const std::string& page)
{
    const std::string marker = "name=\"ip\" value=\"";
    const std::size_t p = page.find(marker);
    if (p == std::string::npos)
        return std::nullopt;
    const std::string rest = page.substr(p + marker.size());
    const std::size_t end = rest.find("\">");
    if (end == std::string::npos)
        return std::string();
    return Trimmed(rest.substr(0, end));
}

// 2012-03-14 20:54:27 UTC.
constexpr std::int64_t kUtc = 1331758467;

struct Lab {
    std::int64_t ms = 1000;
    std::int64_t utc = kUtc;
    std::vector<std::string> log;
    std::unique_ptr<Router> router;

    Lab()
    {
        router = std::make_unique<Router>(Router::Clocks{[this] { return utc; }, [this] { return ms; }},
                                          [this](std::string_view line) { log.emplace_back(line); });
        router->BootNow();
    }

    HttpReply Send(const std::string& method, const std::string& path, const std::string& body = "",
                   const std::string& password = "6093", const std::string& user = "admin")
    {
        HttpRequest request;
        request.method = method;
        request.target = path;
        request.path = TargetPath(path);
        request.version = "HTTP/1.1";
        request.headers.emplace_back("Host", "192.168.2.1");
        if (!password.empty() || !user.empty()) {
            request.headers.emplace_back("Authorization", "Basic " + Base64Encode(user + ":" + password));
        }
        request.body = body;
        return router->Handle(request);
    }
    HttpReply Get(const std::string& path, const std::string& password = "6093")
    {
        return Send("GET", path, "", password);
    }
    HttpReply Post(const std::string& path, const std::string& body, const std::string& password = "6093")
    {
        return Send("POST", path, body, password);
    }
    void Restart()
    {
        router->BeginRestart();
        ASSERT_TRUE(router->FinishRestart());
    }
};

std::string HeaderValue(const HttpReply& reply, const std::string& name)
{
    for (const auto& [key, value] : reply.headers) {
        if (EqualsNoCase(key, name))
            return value;
    }
    return "";
}

const std::string kDhcpBody =
    "dynIPHostName=Korvandel&macAddrValue=000000000000&macAddr=000000000000&save=APPLY&submit-url="
    "%2Fwandip.asp&wanMode=0";
std::string PppoeBody(const std::string& user, const std::string& password)
{
    return "redirect=&pppUserName=" + user + "&pppPassword=" + password +
           "&pppServName=&pppMTU=1392&pppConnectType=0&save=OK&submit-url=%2Fwanpppoe.html&isApply=1&"
           "wanMode=2&ipMode=ppp";
}
std::string BigPondBody(const std::string& user, const std::string& password)
{
    return "telBPUserName=" + user + "&telBPPassword=" + password +
           "&save=OK&submit-url=%2Ftemplate1.html&isApply=1&wanMode=4";
}
std::string WlanBody(const std::string& ssid)
{
    return "apMode=0&band=4&ssid=" + ssid +
           "&chan=11&macAddrValue=0023AEADC126&wlanMac=000000000000&autoMacClone=no&repeaterSSID=&"
           "wlLinkMac1=000000000000&wlLinkMac2=000000000000&wlLinkMac3=000000000000&wlLinkMac4="
           "000000000000&B1=APPLY&wlan-url=%2Fwlbasic.asp&wpsStatus=1&wisp=0";
}
std::string EncryptBody(const std::string& key)
{
    return "wepEnabled=ON&selected_ssid=0&method=2&length=1&format=2&defaultTxKeyId=1&key1=**********&"
           "key2=**********&key3=**********&key4=**********&wpaCipher=2&pskFormat=0&pskValue=" +
           key + "&sel1xMode=ON&radiusIP=&radiusPort=1812&radiusPass=&submit-url=%2Fwlencrypt.asp";
}
std::string TimeZoneBody(int zone)
{
    return "TimeZoneSelget=0&startMonthget=1&startDayget=1&endMonthget=1&endDayget=1&TimeZoneSel=" +
           std::to_string(zone) + "&TimeServerAddr=192.0.2.123&B1=APPLY&submit-url=%2Fsystimezone.asp";
}
const std::string kPasswordTail = "&save=APPLY&submit-url=%2Fsyspasswd.asp";
const std::string kRebootBody = "reset_flag=0&submit-url=%2Ftlreset.asp";

struct Contract {
    const char* method;
    const char* path;
    std::string body;
};

std::vector<Contract> ContractRequests()
{
    return {{"GET", "/stadevice.asp", ""},
            {"GET", "/stamenu.asp", ""},
            {"GET", "/stanet.asp", ""},
            {"POST", "/goform/formWanTcpipSetup", kDhcpBody},
            {"POST", "/goform/formTELBPSetup", BigPondBody("u", "p")},
            {"POST", "/goform/formPasswordSetup", "oldpass=6093&newpass=6093&confpass=6093" + kPasswordTail},
            {"POST", "/goform/formTimeZoneSetup", TimeZoneBody(51)},
            {"POST", "/goform/formWlanSetup", WlanBody("Home")},
            {"POST", "/goform/formWlEncrypt", EncryptBody("abcdefgh")},
            {"POST", "/goform/formReboot", kRebootBody}};
}

} // namespace

TEST(RouterAuth, EveryContractRequestNeedsTheAdminPassword)
{
    for (const auto& c : ContractRequests()) {
        SCOPED_TRACE(c.path);
        Lab lab;
        for (const auto& [user, password] : std::vector<std::pair<std::string, std::string>>{
                 {"admin", "6094"}, {"admin", ""}, {"root", "6093"}, {"Admin", "6093"}}) {
            const HttpReply refused = lab.Send(c.method, c.path, c.body, password, user);
            EXPECT_EQ(refused.status, 401);
            EXPECT_EQ(HeaderValue(refused, "WWW-Authenticate"), "Basic realm=\"Broadband Router\"");
        }
        // Refused requests change nothing.
        EXPECT_EQ(lab.router->Saved().ssid, "default");
        EXPECT_EQ(lab.router->CurrentPhase(), Phase::Running);
        const HttpReply accepted = lab.Send(c.method, c.path, c.body);
        EXPECT_EQ(accepted.status, 200);
    }
}

TEST(RouterAuth, RequestWithoutOrWithBrokenCredentialsIsRefused)
{
    Lab lab;
    HttpRequest request;
    request.method = "GET";
    request.path = "/stadevice.asp";
    EXPECT_EQ(lab.router->Handle(request).status, 401);
    request.headers.emplace_back("Authorization", "Basic !!notbase64");
    EXPECT_EQ(lab.router->Handle(request).status, 401);
    request.headers[0].second = "Digest username=\"admin\"";
    EXPECT_EQ(lab.router->Handle(request).status, 401);
    request.headers[0] = {"authorization", "basic " + Base64Encode("admin:6093")};
    EXPECT_EQ(lab.router->Handle(request).status, 200);
}

TEST(RouterPages, StatusPagesCarryWhatTheWizardReads)
{
    Lab lab;
    ASSERT_TRUE(lab.router->Set("ssid", "Nimbus").empty());
    EXPECT_EQ(ReadSsid(lab.Get("/stadevice.asp").body), "Nimbus");
    EXPECT_EQ(ReadTime(lab.Get("/stamenu.asp").body), "2012/3/14 20:54:27");
    EXPECT_EQ(ReadInternetAddress(lab.Get("/stanet.asp").body), "203.0.113.57");
}

TEST(RouterPages, ClockShowsJanuaryAsMonthZeroAndFollowsTheZone)
{
    Lab lab;
    lab.utc = 1325376000 + 3600 * 5 + 7; // 2012-01-01 05:00:07 UTC
    EXPECT_EQ(ReadTime(lab.Get("/stamenu.asp").body), "2012/1/1 5:0:7");
    const std::string page = lab.Get("/stamenu.asp").body;
    EXPECT_NE(page.find("new Date(2012,0,1,5,0,7);"), std::string::npos);
    // Taipei, +8 hours, once a restart puts the zone into effect.
    EXPECT_EQ(lab.Post("/goform/formTimeZoneSetup", TimeZoneBody(51)).status, 200);
    EXPECT_EQ(ReadTime(lab.Get("/stamenu.asp").body), "2012/1/1 5:0:7");
    lab.Restart();
    EXPECT_EQ(ReadTime(lab.Get("/stamenu.asp").body), "2012/1/1 13:0:7");
    // Newfoundland, -3:30; twelve hours back reaches into the old year.
    ASSERT_TRUE(lab.router->Set("time-zone", "16").empty());
    EXPECT_EQ(ReadTime(lab.Get("/stamenu.asp").body), "2012/1/1 1:30:7");
    ASSERT_TRUE(lab.router->Set("time-zone", "0").empty());
    EXPECT_EQ(ReadTime(lab.Get("/stamenu.asp").body), "2011/12/31 17:0:7");
}

TEST(RouterPages, SetClockRunsOnUnlessFrozen)
{
    Lab lab;
    ASSERT_TRUE(lab.router->Set("clock", "2020-02-29T23:59:58").empty());
    lab.ms += 3000;
    EXPECT_EQ(ReadTime(lab.Get("/stamenu.asp").body), "2020/3/1 0:0:1");
    ASSERT_TRUE(lab.router->Set("clock-frozen", "on").empty());
    lab.ms += 60000;
    EXPECT_EQ(ReadTime(lab.Get("/stamenu.asp").body), "2020/3/1 0:0:1");
    EXPECT_FALSE(lab.router->Set("clock", "2020-02-30T00:00:00").empty());
}

TEST(RouterPages, CookieOnStatusPagesOnlyAndNewAfterEachBoot)
{
    Lab lab;
    const std::string first = HeaderValue(lab.Get("/stadevice.asp"), "Set-Cookie");
    EXPECT_EQ(first.rfind("SessionID=", 0), 0u);
    EXPECT_EQ(first, lab.router->Cookie() + "; path=/");
    EXPECT_EQ(HeaderValue(lab.Get("/stamenu.asp"), "Set-Cookie"), first);
    EXPECT_EQ(HeaderValue(lab.Get("/stanet.asp"), "Set-Cookie"), first);
    EXPECT_EQ(HeaderValue(lab.Post("/goform/formWlanSetup", WlanBody("x")), "Set-Cookie"), "");
    EXPECT_EQ(HeaderValue(lab.Get("/stadevice.asp", "bad"), "Set-Cookie"), "");
    lab.Restart();
    EXPECT_NE(HeaderValue(lab.Get("/stadevice.asp"), "Set-Cookie"), first);
}

TEST(RouterPages, UnknownPagesAndMethods)
{
    Lab lab;
    EXPECT_EQ(lab.Get("/nothing.asp").status, 404);
    EXPECT_EQ(lab.Post("/goform/formNothing", "a=b").status, 404);
    EXPECT_EQ(lab.Send("PUT", "/stadevice.asp").status, 501);
    EXPECT_EQ(lab.Get("/").status, 200);
    // An absolute URI names the same page.
    EXPECT_EQ(ReadSsid(lab.Get("http://192.168.2.1/stadevice.asp?x=1").body), "default");
}

TEST(RouterForms, PasswordChangeHoldsFromTheNextRequest)
{
    Lab lab;
    const HttpReply changed =
        lab.Post("/goform/formPasswordSetup", "oldpass=6093&newpass=Secret99&confpass=Secret99" + kPasswordTail);
    EXPECT_EQ(changed.status, 200);
    EXPECT_EQ(lab.Get("/stadevice.asp").status, 401);
    EXPECT_EQ(lab.Get("/stadevice.asp", "Secret99").status, 200);
    // Survives a restart.
    lab.Restart();
    EXPECT_EQ(lab.Get("/stadevice.asp", "Secret99").status, 200);
    EXPECT_EQ(lab.router->Password(), "Secret99");
}

TEST(RouterForms, PasswordFormRefusesWrongOldMismatchAndEmpty)
{
    Lab lab;
    for (const std::string body :
         {"oldpass=1111&newpass=abcde&confpass=abcde", "oldpass=6093&newpass=abcde&confpass=abcdE",
          "oldpass=6093&newpass=&confpass=", "newpass=abcde&confpass=abcde"}) {
        SCOPED_TRACE(body);
        const HttpReply reply = lab.Post("/goform/formPasswordSetup", body + kPasswordTail);
        EXPECT_EQ(reply.status, 200); // a router answers with an error page
        EXPECT_NE(reply.body.find("ERROR"), std::string::npos);
        EXPECT_EQ(lab.router->Password(), "6093");
    }
}

TEST(RouterForms, SettingsAreSavedAndTakeEffectAfterRestart)
{
    Lab lab;
    EXPECT_EQ(lab.Post("/goform/formWanTcpipSetup", PppoeBody("alice", "pw1")).status, 200);
    EXPECT_EQ(lab.Post("/goform/formTimeZoneSetup", TimeZoneBody(64)).status, 200);
    EXPECT_EQ(lab.Post("/goform/formWlanSetup", WlanBody("Nimbus7")).status, 200);
    EXPECT_EQ(lab.Post("/goform/formWlEncrypt", EncryptBody("passWord123")).status, 200);

    const RouterSettings saved = lab.router->Saved();
    EXPECT_EQ(saved.wan.type, WanType::Pppoe);
    EXPECT_EQ(saved.wan.user, "alice");
    EXPECT_EQ(saved.wan.password, "pw1");
    EXPECT_EQ(saved.timeZone, 64);
    EXPECT_EQ(saved.timeServer, "192.0.2.123");
    EXPECT_EQ(saved.ssid, "Nimbus7");
    EXPECT_EQ(saved.security, "WPA2");
    EXPECT_EQ(saved.wpaKey, "passWord123");
    // Still the old settings in effect.
    EXPECT_EQ(ReadSsid(lab.Get("/stadevice.asp").body), "default");
    EXPECT_EQ(lab.router->Running().wan.type, WanType::Dynamic);

    const HttpReply reboot = lab.Post("/goform/formReboot", kRebootBody);
    EXPECT_EQ(reboot.status, 200);
    EXPECT_TRUE(reboot.restart);
    EXPECT_EQ(lab.router->CurrentPhase(), Phase::Restarting);
    EXPECT_FALSE(lab.router->InternetUp());
    // Requests that race the restart get no answer.
    EXPECT_EQ(lab.Get("/stadevice.asp").transport, HttpReply::Transport::Reset);
    ASSERT_TRUE(lab.router->FinishRestart());
    EXPECT_EQ(lab.router->BootCount(), 2);
    EXPECT_EQ(ReadSsid(lab.Get("/stadevice.asp").body), "Nimbus7");
    EXPECT_EQ(lab.router->Running().wpaKey, "passWord123");
}

TEST(RouterForms, FieldsAreDecodedLikeAFormHandlerDoes)
{
    Lab lab;
    // Values arrive unencoded from the wizard; "&" splits a field, "+" is a blank.
    lab.Post("/goform/formWanTcpipSetup", PppoeBody("bob%40isp", "a&b+c"));
    const RouterSettings saved = lab.router->Saved();
    EXPECT_EQ(saved.wan.user, "bob@isp");
    EXPECT_EQ(saved.wan.password, "a");
}

TEST(RouterForms, InvalidValuesAreRefusedWithAnErrorPage)
{
    Lab lab;
    const std::string key64(64, 'a');
    const std::string ssid33(33, 'n');
    const std::vector<std::pair<std::string, std::string>> posts = {
        {"/goform/formTimeZoneSetup", TimeZoneBody(65)},   {"/goform/formTimeZoneSetup", "TimeZoneSel=x"},
        {"/goform/formWlanSetup", WlanBody("")},           {"/goform/formWlanSetup", WlanBody(ssid33)},
        {"/goform/formWlEncrypt", EncryptBody("short7c")}, {"/goform/formWlEncrypt", EncryptBody(key64)},
        {"/goform/formWanTcpipSetup", "wanMode=zz"}};
    for (const auto& [path, body] : posts) {
        SCOPED_TRACE(path + " " + body.substr(0, 40));
        const HttpReply reply = lab.Post(path, body);
        EXPECT_EQ(reply.status, 200);
        EXPECT_NE(reply.body.find("ERROR"), std::string::npos);
    }
    const RouterSettings saved = lab.router->Saved();
    EXPECT_EQ(saved.timeZone, 22);
    EXPECT_EQ(saved.ssid, "default");
    EXPECT_EQ(saved.security, "none");
    EXPECT_EQ(saved.wan.type, WanType::Dynamic);
    // 63 characters is the longest passphrase WPA2 has.
    EXPECT_EQ(lab.Post("/goform/formWlEncrypt", EncryptBody(key64.substr(1))).body.find("ERROR"), std::string::npos);
}

TEST(RouterInternet, DynamicAddressIsUpAfterRestart)
{
    Lab lab;
    ASSERT_TRUE(lab.router->Set("wan-type", "none").empty());
    EXPECT_FALSE(lab.router->InternetUp());
    EXPECT_EQ(ReadInternetAddress(lab.Get("/stanet.asp").body), "0.0.0.0");
    lab.Post("/goform/formWanTcpipSetup", kDhcpBody);
    EXPECT_FALSE(lab.router->InternetUp()); // saved, not yet in effect
    lab.Restart();
    EXPECT_TRUE(lab.router->InternetUp());
    EXPECT_EQ(ReadInternetAddress(lab.Get("/stanet.asp").body), "203.0.113.57");
}

TEST(RouterInternet, AccountsMustMatchTheProvider)
{
    struct Case {
        std::string path, body;
        bool up;
    };
    const std::vector<Case> cases = {{"/goform/formWanTcpipSetup", PppoeBody("customer@isp", "isp2024"), true},
                                     {"/goform/formWanTcpipSetup", PppoeBody("customer@isp", "wrong"), false},
                                     {"/goform/formWanTcpipSetup", PppoeBody("", ""), false},
                                     {"/goform/formTELBPSetup", BigPondBody("customer@isp", "isp2024"), true},
                                     {"/goform/formTELBPSetup", BigPondBody("other", "isp2024"), false},
                                     {"/goform/formWanTcpipSetup", "wanMode=1&save=APPLY", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        Lab lab;
        lab.Post(c.path, c.body);
        lab.Restart();
        EXPECT_EQ(lab.router->InternetUp(), c.up);
    }
    // The provider's account can be changed; it applies at once.
    Lab lab;
    lab.Post("/goform/formTELBPSetup", BigPondBody("kim", "pw"));
    lab.Restart();
    EXPECT_FALSE(lab.router->InternetUp());
    ASSERT_TRUE(lab.router->Set("provider-user", "kim").empty());
    ASSERT_TRUE(lab.router->Set("provider-password", "pw").empty());
    EXPECT_TRUE(lab.router->InternetUp());
}

TEST(RouterInternet, SitesFollowTheInternet)
{
    Lab lab;
    const int a = lab.router->AddSite({"198.51.100.10", 443, "tcp"});
    const int b = lab.router->AddSite({"198.51.100.11", 80, "http"});
    EXPECT_TRUE(lab.router->SiteShouldListen(a));
    EXPECT_TRUE(lab.router->SiteShouldListen(b));
    ASSERT_TRUE(lab.router->Set("site-down", "198.51.100.10").empty());
    EXPECT_FALSE(lab.router->SiteShouldListen(a));
    EXPECT_TRUE(lab.router->SiteShouldListen(b));
    ASSERT_TRUE(lab.router->Set("site-down", "198.51.100.11:80").empty());
    EXPECT_TRUE(lab.router->SiteShouldListen(a));
    EXPECT_FALSE(lab.router->SiteShouldListen(b));
    ASSERT_TRUE(lab.router->Set("site-down", "none").empty());
    ASSERT_TRUE(lab.router->Set("fault-internet-down", "on").empty());
    EXPECT_FALSE(lab.router->SiteShouldListen(a));
    EXPECT_FALSE(lab.router->SiteShouldListen(b));
    EXPECT_EQ(ReadInternetAddress(lab.Get("/stanet.asp").body), "0.0.0.0");
    ASSERT_TRUE(lab.router->Set("fault-internet-down", "off").empty());
    lab.router->BeginRestart();
    EXPECT_FALSE(lab.router->SiteShouldListen(a)); // nothing gets through a restarting router
}

TEST(RouterFaults, SwitchesShapeTheAnswers)
{
    Lab lab;
    ASSERT_TRUE(lab.router->Set("fault-refuse-password", "on").empty());
    EXPECT_EQ(lab.Get("/stadevice.asp").status, 401);
    ASSERT_TRUE(lab.router->Set("fault-refuse-password", "off").empty());

    ASSERT_TRUE(lab.router->Set("fault-status-500", "/goform/formReboot").empty());
    EXPECT_EQ(lab.Post("/goform/formReboot", kRebootBody).status, 500);
    EXPECT_EQ(lab.router->CurrentPhase(), Phase::Running);
    EXPECT_EQ(lab.Get("/stadevice.asp").status, 200);
    EXPECT_EQ(lab.Get("/stadevice.asp", "wrong").status, 401);
    ASSERT_TRUE(lab.router->Set("fault-status-500", "off").empty());

    // Forms are handled as usual and answered with a redirection to their page.
    ASSERT_TRUE(lab.router->Set("fault-redirect", "on").empty());
    const HttpReply moved = lab.Post("/goform/formWlanSetup", WlanBody("Moved1"));
    EXPECT_EQ(moved.status, 302);
    EXPECT_EQ(HeaderValue(moved, "Location"), "http://192.168.2.1/wlbasic.asp");
    EXPECT_EQ(lab.router->Saved().ssid, "Moved1");
    const HttpReply reboot = lab.Post("/goform/formReboot", kRebootBody);
    EXPECT_EQ(reboot.status, 302);
    EXPECT_TRUE(reboot.restart);
    lab.Restart();
    ASSERT_TRUE(lab.router->Set("fault-redirect", "off").empty());

    ASSERT_TRUE(lab.router->Set("fault-slow", "on").empty());
    ASSERT_TRUE(lab.router->Set("slow-ms", "1500").empty());
    const HttpReply slow = lab.Get("/stadevice.asp");
    EXPECT_EQ(slow.delayMs, 1500);
    EXPECT_EQ(slow.fault, "slow");
    ASSERT_TRUE(lab.router->Set("fault-slow", "off").empty());

    ASSERT_TRUE(lab.router->Set("fault-reset", "/stanet.asp,/stamenu.asp").empty());
    EXPECT_EQ(lab.Get("/stanet.asp").transport, HttpReply::Transport::Reset);
    EXPECT_EQ(lab.Get("/stamenu.asp").transport, HttpReply::Transport::Reset);
    EXPECT_EQ(lab.Get("/stadevice.asp").transport, HttpReply::Transport::Answer);
}

TEST(RouterFaults, BigPagesReachTheSizeThatOverflowsTheWizardsBuffer)
{
    Lab lab;
    ASSERT_TRUE(lab.router->Set("fault-big-pages", "on").empty());
    const HttpReply page = lab.Get("/stadevice.asp");
    EXPECT_EQ(page.body.size(), 65536u);
    EXPECT_EQ(ReadSsid(page.body), "default"); // still a sound page
    EXPECT_EQ(page.body.substr(page.body.size() - 16), "</body>\n</html>\n");
    EXPECT_EQ(lab.Post("/goform/formReboot", kRebootBody).body.size(), 65536u);
    ASSERT_TRUE(lab.router->FinishRestart());
    ASSERT_TRUE(lab.router->Set("big-page-size", "65535").empty());
    EXPECT_EQ(lab.Get("/stamenu.asp").body.size(), 65535u);
}

TEST(RouterFaults, NoMarkersHidesTheFactsFromReaders)
{
    Lab lab;
    ASSERT_TRUE(lab.router->Set("fault-no-markers", "on").empty());
    const std::string device = lab.Get("/stadevice.asp").body;
    EXPECT_EQ(ReadSsid(device), std::nullopt);
    EXPECT_NE(device.find("default"), std::string::npos); // shown in plain markup
    EXPECT_EQ(ReadTime(lab.Get("/stamenu.asp").body), std::nullopt);
    EXPECT_EQ(ReadInternetAddress(lab.Get("/stanet.asp").body), std::nullopt);
}

TEST(RouterFaults, NoReturnKeepsTheRouterDownUntilBooted)
{
    Lab lab;
    ASSERT_TRUE(lab.router->Set("fault-no-return", "on").empty());
    lab.Post("/goform/formWlanSetup", WlanBody("Later"));
    lab.Post("/goform/formReboot", kRebootBody);
    EXPECT_FALSE(lab.router->FinishRestart());
    EXPECT_EQ(lab.router->CurrentPhase(), Phase::Halted);
    EXPECT_EQ(lab.Get("/stadevice.asp").transport, HttpReply::Transport::Reset);
    lab.router->BootNow();
    EXPECT_EQ(ReadSsid(lab.Get("/stadevice.asp").body), "Later");
}

TEST(RouterSettingsControl, RejectsUnknownKeysAndBadValues)
{
    Lab lab;
    EXPECT_EQ(lab.router->Set("colour", "red"), "colour: no such setting");
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{{"downtime-ms", "-1"},
                                                                                     {"downtime-ms", "ten"},
                                                                                     {"time-zone", "65"},
                                                                                     {"password", ""},
                                                                                     {"fault-reset", "stadevice.asp"},
                                                                                     {"fault-no-return", "maybe"},
                                                                                     {"wan-type", "cable"},
                                                                                     {"wpa-key", "1234567"},
                                                                                     {"site-down", "a,,b"},
                                                                                     {"big-page-size", "0"}}) {
        EXPECT_FALSE(lab.router->Set(key, value).empty()) << key << "=" << value;
    }
    EXPECT_EQ(lab.router->Password(), "6093");
}

TEST(RouterState, JsonReportsSettingsFormsAndFaults)
{
    Lab lab;
    lab.Post("/goform/formWlanSetup", WlanBody("Nimbus"));
    ASSERT_TRUE(lab.router->Set("fault-reset", "/stanet.asp").empty());
    const std::string state = lab.router->StateJson();
    EXPECT_NE(state.find("\"phase\":\"running\""), std::string::npos);
    EXPECT_NE(state.find("\"saved\":{\"wan\":{\"type\":\"dhcp\""), std::string::npos);
    EXPECT_NE(state.find("\"ssid\":\"Nimbus\""), std::string::npos);
    EXPECT_NE(state.find("\"reset\":\"/stanet.asp\""), std::string::npos);
    EXPECT_NE(state.find("\"/goform/formWlanSetup\":[[\"apMode\",\"0\"],[\"band\",\"4\"],[\"ssid\",\"Nimbus\"]"),
              std::string::npos);
    EXPECT_NE(state.find("\"utc\":\"2012-03-14T20:54:27\""), std::string::npos);
}

TEST(RouterJournal, KeepsEntriesInOrderAndFiltersBySequence)
{
    Lab lab;
    for (int i = 0; i < 3; ++i) {
        JournalEntry e;
        e.method = "GET";
        e.target = "/" + std::to_string(i);
        e.raw = "GET /" + std::to_string(i) + " HTTP/1.1\r\n\r\n";
        lab.router->Record(e);
    }
    const auto all = lab.router->Journal();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].seq, 1);
    EXPECT_EQ(all[2].target, "/2");
    EXPECT_EQ(all[1].boot, 1);
    EXPECT_EQ(lab.router->Journal(2).size(), 1u);
    EXPECT_EQ(lab.router->JournalJson(3), "[]\n");
    lab.router->ClearJournal();
    EXPECT_TRUE(lab.router->Journal().empty());
}
