// The router on real sockets (127.0.0.1, ports chosen by the system): the
// journal byte for byte, the restart downtime, faults that act on the
// connection, malformed input, the test-site stand-ins and the control port.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "HttpText.h"
#include "Json.h"
#include "RouterServer.h"

using namespace routerlab;
using Clock = std::chrono::steady_clock;

namespace {

struct Exchange {
    bool connected = false;
    bool reset = false;
    std::string response;
};

int Connect(int port, int* error)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        *error = errno;
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends the bytes as they are and reads until the server closes (or the
// answers in `answers` have arrived in full).
Exchange Talk(int port, const std::string& bytes, int answers = 1, int timeoutMs = 5000)
{
    Exchange ex;
    int error = 0;
    const int fd = Connect(port, &error);
    if (fd < 0)
        return ex;
    ex.connected = true;
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < until) {
        // Complete answers carry a Content-Length; stop once all are here.
        std::size_t at = 0;
        int complete = 0;
        while (complete < answers) {
            const std::size_t end = ex.response.find("\r\n\r\n", at);
            if (end == std::string::npos)
                break;
            const std::size_t cl = ex.response.find("Content-Length: ", at);
            if (cl == std::string::npos || cl > end)
                break;
            const std::size_t length = std::stoul(ex.response.substr(cl + 16));
            if (ex.response.size() < end + 4 + length)
                break;
            at = end + 4 + length;
            ++complete;
        }
        if (complete == answers)
            break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        char buffer[65536];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == ECONNRESET)
            ex.reset = true;
        if (n <= 0)
            break;
        ex.response.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ex;
}

bool Refused(int port)
{
    int error = 0;
    const int fd = Connect(port, &error);
    if (fd >= 0)
        ::close(fd);
    return fd < 0 && error == ECONNREFUSED;
}

int StatusOf(const std::string& response)
{
    return response.size() >= 12 ? std::atoi(response.c_str() + 9) : 0;
}

std::string BodyOf(const std::string& response)
{
    const std::size_t end = response.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : response.substr(end + 4);
}

std::string Auth(const std::string& password = "6093")
{
    return "Authorization: Basic " + Base64Encode("admin:" + password) + "\r\n";
}

// A request the way the wizard's HTTP layer lays it out.
std::string WizardPost(const std::string& path, const std::string& referrer, const std::string& body,
                       const std::string& password = "6093")
{
    return "POST " + path + " HTTP/1.1\r\n" +
           "Accept: application/xml, application/xhtml+xml, text/html;q=0.9, text/plain;q=0.8, image/png, */*;q=0.5\r\n"
           "Accept-Encoding: gzip,deflate,sdch\r\n"
           "Accept-Language: zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4\r\n"
           "Content-Type: application/x-www-form-urlencoded\r\n"
           "Referer: " +
           referrer +
           "\r\n"
           "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n"
           "Host: 127.0.0.1\r\n"
           "Content-Length: " +
           std::to_string(body.size()) + "\r\n" + Auth(password) + "\r\n" + body;
}

std::string Get(const std::string& path, const std::string& password = "6093")
{
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + Auth(password) + "Connection: close\r\n\r\n";
}

bool WaitFor(const std::function<bool()>& condition, int ms)
{
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

class RouterServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(router.Set("downtime-ms", "700").empty());
        ServerOptions options;
        options.host = "127.0.0.1";
        options.port = 0;
        options.controlPort = 0;
        options.keepAliveMs = 1000;
        options.readTimeoutMs = 1000;
        options.maxBody = 4096;
        options.maxHead = 4096;
        options.sites = {{"127.0.0.1", 0, "http"}, {"127.0.0.1", 0, "tcp"}};
        server = std::make_unique<RouterServer>(router, options, [this](std::string_view line) {
            std::lock_guard lock(logMutex);
            log += std::string(line) + "\n";
        });
        std::string error;
        ASSERT_TRUE(server->Start(&error)) << error;
        port = server->Port();
        control = std::make_unique<httplib::Client>("127.0.0.1", server->ControlPort());
    }
    void TearDown() override
    {
        if (server)
            server->Stop();
    }

    std::string ControlSet(const std::string& body, int expectStatus = 200)
    {
        auto res = control->Post("/set", body, "application/x-www-form-urlencoded");
        EXPECT_TRUE(res);
        if (!res)
            return "";
        EXPECT_EQ(res->status, expectStatus) << res->body;
        return res->body;
    }

    Router router;
    std::unique_ptr<RouterServer> server;
    std::unique_ptr<httplib::Client> control;
    int port = 0;
    std::mutex logMutex;
    std::string log;
};

} // namespace

TEST_F(RouterServerTest, JournalHoldsEachRequestByteForByte)
{
    const std::string body = "apMode=0&band=4&ssid=Caf\xe9&chan=11&B1=APPLY&wlan-url=%2Fwlbasic.asp";
    const std::string request = WizardPost("/goform/formWlanSetup", "http://127.0.0.1/wlbasic.asp", body);
    const Exchange ex = Talk(port, request);
    EXPECT_EQ(StatusOf(ex.response), 200);
    const Exchange refused = Talk(port, Get("/stadevice.asp", "nope"));
    EXPECT_EQ(StatusOf(refused.response), 401);
    EXPECT_NE(refused.response.find("WWW-Authenticate: Basic realm=\"Broadband Router\"\r\n"), std::string::npos);

    const auto journal = router.Journal();
    ASSERT_EQ(journal.size(), 2u);
    const JournalEntry& e = journal[0];
    EXPECT_EQ(e.raw, request);
    EXPECT_EQ(e.body, body);
    EXPECT_EQ(e.method, "POST");
    EXPECT_EQ(e.target, "/goform/formWlanSetup");
    EXPECT_EQ(e.status, 200);
    EXPECT_FALSE(e.malformed);
    EXPECT_EQ(e.client.rfind("127.0.0.1:", 0), 0u);
    ASSERT_EQ(e.headers.size(), 9u);
    EXPECT_EQ(e.headers[0].first, "Accept");
    EXPECT_EQ(e.headers[4], Field("Referer", "http://127.0.0.1/wlbasic.asp"));
    EXPECT_EQ(e.headers[8].first, "Authorization");
    EXPECT_EQ(journal[1].status, 401);
    EXPECT_EQ(router.Saved().ssid, "Caf\xe9");

    // The control port serves the same entry as JSON, bytes escaped.
    auto res = control->Get("/journal");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("\"raw\":\"POST /goform/formWlanSetup HTTP/1.1\\r\\nAccept: application/xml"),
              std::string::npos);
    EXPECT_NE(res->body.find("ssid=Caf\\u00e9&chan=11"), std::string::npos);
    res = control->Get("/journal?since=1");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->body.find("\"seq\":1,"), std::string::npos);
    EXPECT_NE(res->body.find("\"seq\":2,"), std::string::npos);
}

TEST_F(RouterServerTest, PipelinedRequestsOnOneConnectionAreJournaledApart)
{
    const std::string first = "GET /stamenu.asp HTTP/1.1\r\nHost: x\r\n" + Auth() + "\r\n";
    const std::string second = WizardPost("/goform/formTimeZoneSetup", "http://x/systimezone.asp",
                                          "TimeZoneSel=51&TimeServerAddr=192.0.2.123");
    const Exchange ex = Talk(port, first + second, 2);
    EXPECT_EQ(std::count(ex.response.begin(), ex.response.end(), '\n') > 10, true);
    const auto journal = router.Journal();
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_EQ(journal[0].raw, first);
    EXPECT_EQ(journal[1].raw, second);
    EXPECT_EQ(router.Saved().timeZone, 51);
}

TEST_F(RouterServerTest, CookieIsSetOnStatusPagesAndReturnedCookiesAreJournaled)
{
    const Exchange ex = Talk(port, Get("/stadevice.asp"));
    EXPECT_NE(ex.response.find("\r\nSet-Cookie: " + router.Cookie() + "; path=/\r\n"), std::string::npos);
    // The wizard sends the cookie back with its last ";" taken out.
    const std::string back = "GET /stanet.asp HTTP/1.1\r\nHost: x\r\n" + Auth() + "Cookie: " + router.Cookie() +
                             " path=/\r\nConnection: close\r\n\r\n";
    EXPECT_EQ(StatusOf(Talk(port, back).response), 200);
    EXPECT_EQ(router.Journal().back().headers[2], Field("Cookie", router.Cookie() + " path=/"));
}

TEST_F(RouterServerTest, RestartRefusesConnectionsThenAppliesTheSettings)
{
    ASSERT_EQ(
        StatusOf(
            Talk(port, WizardPost("/goform/formWlanSetup", "http://x/wlbasic.asp", "ssid=Nimbus&chan=6")).response),
        200);
    ASSERT_EQ(StatusOf(Talk(port, WizardPost("/goform/formWanTcpipSetup", "http://x/wanpppoe.asp",
                                             "pppUserName=x&pppPassword=y&wanMode=2"))
                           .response),
              200);
    const auto before = Clock::now();
    const Exchange reboot =
        Talk(port, WizardPost("/goform/formReboot", "http://x/tlreset.asp", "reset_flag=0&submit-url=%2Ftlreset.asp"));
    // The router answers before it goes down.
    EXPECT_EQ(StatusOf(reboot.response), 200);
    EXPECT_NE(BodyOf(reboot.response).find("restarting"), std::string::npos) << reboot.response;
    EXPECT_TRUE(WaitFor([&] { return Refused(port); }, 2000));
    EXPECT_TRUE(WaitFor([&] { return Refused(server->SitePort(0)); }, 2000));
    EXPECT_TRUE(WaitFor([&] { return !Refused(port); }, 3000));
    const auto down = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - before).count();
    EXPECT_GE(down, 650);
    const Exchange after = Talk(port, Get("/stadevice.asp"));
    EXPECT_EQ(StatusOf(after.response), 200);
    EXPECT_NE(after.response.find("&nbsp;&nbsp;Nimbus</td>"), std::string::npos);
    EXPECT_EQ(router.BootCount(), 2);
    EXPECT_EQ(router.Running().channel, 6);
    // PPPoE with an account the provider does not know: no Internet, sites stay shut.
    EXPECT_FALSE(router.InternetUp());
    EXPECT_TRUE(Refused(server->SitePort(0)));
    EXPECT_TRUE(Refused(server->SitePort(1)));
}

TEST_F(RouterServerTest, NoReturnNeedsABootFromTheControlPort)
{
    ControlSet("fault-no-return=on");
    EXPECT_EQ(StatusOf(Talk(port, WizardPost("/goform/formReboot", "http://x/tlreset.asp", "reset_flag=0")).response),
              200);
    EXPECT_TRUE(WaitFor([&] { return router.CurrentPhase() == Phase::Halted; }, 5000));
    EXPECT_TRUE(Refused(port));
    auto res = control->Post("/boot", "", "text/plain");
    ASSERT_TRUE(res);
    EXPECT_TRUE(WaitFor([&] { return !Refused(port); }, 2000));
    EXPECT_EQ(StatusOf(Talk(port, Get("/stadevice.asp")).response), 200);
}

TEST_F(RouterServerTest, ControlRestartAndBootCutTheWaitShort)
{
    ControlSet("downtime-ms=60000");
    ASSERT_TRUE(control->Post("/restart", "", "text/plain"));
    EXPECT_TRUE(WaitFor([&] { return Refused(port); }, 1000));
    ASSERT_TRUE(control->Post("/boot", "", "text/plain"));
    EXPECT_TRUE(WaitFor([&] { return !Refused(port); }, 2000));
    EXPECT_EQ(router.BootCount(), 2);
}

TEST_F(RouterServerTest, ResetFaultDropsTheConnectionWithoutAnAnswer)
{
    ControlSet("fault-reset=/stadevice.asp");
    const Exchange ex = Talk(port, Get("/stadevice.asp"));
    EXPECT_TRUE(ex.connected);
    EXPECT_TRUE(ex.reset);
    EXPECT_EQ(ex.response, "");
    const auto journal = router.Journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back().status, 0);
    EXPECT_EQ(journal.back().fault, "reset");
    EXPECT_EQ(StatusOf(Talk(port, Get("/stanet.asp")).response), 200);
}

TEST_F(RouterServerTest, SlowFaultDelaysTheAnswer)
{
    ControlSet("fault-slow=on&slow-ms=600");
    const auto start = Clock::now();
    EXPECT_EQ(StatusOf(Talk(port, Get("/stamenu.asp")).response), 200);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 590);
    EXPECT_EQ(router.Journal().back().fault, "slow");
}

TEST_F(RouterServerTest, AnswersAreUncompressedUnlessTheGzipFaultIsOn)
{
    const std::string request =
        "GET /stadevice.asp HTTP/1.1\r\nAccept-Encoding: gzip,deflate,sdch\r\n" + Auth() + "Connection: close\r\n\r\n";
    const Exchange plain = Talk(port, request);
    EXPECT_EQ(plain.response.find("Content-Encoding"), std::string::npos);
    EXPECT_NE(BodyOf(plain.response).find("&nbsp;&nbsp;default</td>"), std::string::npos);
    // The journal keeps the offer the router ignored.
    EXPECT_EQ(router.Journal().back().raw, request);
    EXPECT_EQ(router.Journal().back().headers[0], Field("Accept-Encoding", "gzip,deflate,sdch"));
    ControlSet("fault-gzip=/stadevice.asp");
    const Exchange packed = Talk(port, request);
    EXPECT_NE(packed.response.find("Content-Encoding: gzip\r\n"), std::string::npos);
    EXPECT_EQ(BodyOf(packed.response).substr(0, 2), "\x1f\x8b");
}

TEST_F(RouterServerTest, StatusAndPasswordFaultsOverTheWire)
{
    ControlSet("fault-status-500=on");
    EXPECT_EQ(StatusOf(Talk(port, Get("/stadevice.asp")).response), 500);
    ControlSet("fault-status-500=off&fault-refuse-password=on");
    EXPECT_EQ(StatusOf(Talk(port, Get("/stadevice.asp")).response), 401);
    ControlSet("fault-refuse-password=off&fault-big-pages=on");
    const Exchange big = Talk(port, Get("/stadevice.asp"));
    EXPECT_EQ(BodyOf(big.response).size(), 65536u);
    EXPECT_NE(big.response.find("Content-Length: 65536\r\n"), std::string::npos);
}

TEST_F(RouterServerTest, PasswordChangeHoldsFromTheNextConnection)
{
    const Exchange changed = Talk(port, WizardPost("/goform/formPasswordSetup", "http://x/syspasswd.asp",
                                                   "oldpass=6093&newpass=abc12&confpass=abc12&save=APPLY"));
    EXPECT_EQ(StatusOf(changed.response), 200);
    EXPECT_EQ(StatusOf(Talk(port, Get("/stadevice.asp")).response), 401);
    EXPECT_EQ(StatusOf(Talk(port, Get("/stadevice.asp", "abc12")).response), 200);
}

TEST_F(RouterServerTest, MalformedAndOversizeRequestsGet400AndTheRouterCarriesOn)
{
    const std::vector<std::string> bad = {
        "HELLO\r\n\r\n",
        std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 15),
        "GET / HTTP/1.1\nHost: x\n\n",
        "GET / HTTP/1.1\r\nHost: x\r\n" + std::string(5000, 'X') + ": y\r\n\r\n",
        "GET /stadevice.asp HTTP/9.9\r\n\r\n",
        "POST /goform/formWlanSetup HTTP/1.1\r\nHost: x\r\n" + Auth() + "Content-Length: 5000\r\n\r\n" +
            std::string(5000, 'a'),
        "POST /goform/formWlanSetup HTTP/1.1\r\nHost: x\r\n" + Auth() +
            "Transfer-Encoding: chunked\r\n\r\nZZ\r\nnot a chunk\r\n0\r\n\r\n",
        std::string("GET /sta\0device.asp HTTP/1.1\r\n\r\n", 31),
    };
    for (const auto& request : bad) {
        SCOPED_TRACE(JsonQuote(request.substr(0, 60)));
        const Exchange ex = Talk(port, request);
        EXPECT_EQ(StatusOf(ex.response), 400) << ex.response.substr(0, 80);
    }
    const auto journal = router.Journal();
    ASSERT_EQ(journal.size(), bad.size());
    EXPECT_TRUE(journal[0].malformed);
    EXPECT_EQ(journal[0].raw, "HELLO\r\n\r\n");
    EXPECT_EQ(journal[0].status, 400);
    EXPECT_TRUE(journal[3].truncated || journal[3].raw.size() <= 4097);
    EXPECT_EQ(router.Saved().ssid, "default");
    // Still serving.
    EXPECT_EQ(StatusOf(Talk(port, Get("/stadevice.asp")).response), 200);
}

TEST_F(RouterServerTest, RandomGarbageNeverTakesTheRouterDown)
{
    std::mt19937 random(7);
    const std::string start = "GET /stadevice.asp HTTP/1.1\r\nContent-Length: 4\r\n";
    for (int round = 0; round < 30; ++round) {
        std::string bytes = round % 2 ? start : std::string();
        const std::size_t n = random() % 300;
        for (std::size_t i = 0; i < n; ++i) {
            bytes += static_cast<char>(random() % 3 == 0 ? "\r\n:"[random() % 3] : random() % 256);
        }
        if (round % 3 == 0)
            bytes += "\r\n\r\n";
        const Exchange ex = Talk(port, bytes, 1, 1500);
        if (!ex.response.empty()) {
            EXPECT_EQ(ex.response.rfind("HTTP/1.1 ", 0), 0u);
        }
    }
    EXPECT_EQ(StatusOf(Talk(port, Get("/stadevice.asp")).response), 200);
}

TEST_F(RouterServerTest, ASilentClientDoesNotHoldUpOthers)
{
    int error = 0;
    const int idle = Connect(port, &error);
    ASSERT_GE(idle, 0);
    const int partial = Connect(port, &error);
    ASSERT_GE(partial, 0);
    ::send(partial, "GET /stadevice.asp HTTP/1.1\r\nHo", 31, MSG_NOSIGNAL);
    EXPECT_EQ(StatusOf(Talk(port, Get("/stanet.asp")).response), 200);
    // Both are closed by the server after their time-outs.
    for (int fd : {idle, partial}) {
        pollfd p{fd, POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 3000), 1);
        char c;
        std::string rest;
        ssize_t n;
        while ((n = ::recv(fd, &c, 1, 0)) > 0)
            rest += c;
        if (fd == partial) {
            EXPECT_EQ(StatusOf(rest), 400);
        } else {
            EXPECT_EQ(rest, "");
        }
        ::close(fd);
    }
}

TEST_F(RouterServerTest, SitesAcceptOnlyWhileTheInternetIsUp)
{
    const Exchange page = Talk(server->SitePort(0), "GET / HTTP/1.1\r\nHost: www.example\r\n\r\n");
    EXPECT_EQ(StatusOf(page.response), 200);
    EXPECT_NE(page.response.find("connected to the Internet"), std::string::npos);
    int error = 0;
    const int tcp = Connect(server->SitePort(1), &error);
    EXPECT_GE(tcp, 0);
    if (tcp >= 0)
        ::close(tcp);

    ControlSet("fault-internet-down=on");
    EXPECT_TRUE(WaitFor([&] { return Refused(server->SitePort(0)) && Refused(server->SitePort(1)); }, 1000));
    ControlSet("fault-internet-down=off&site-down=127.0.0.1:" + std::to_string(server->SitePort(0)));
    EXPECT_TRUE(WaitFor([&] { return !Refused(server->SitePort(1)); }, 1000));
    EXPECT_TRUE(Refused(server->SitePort(0)));
    ControlSet("site-down=none");
    EXPECT_TRUE(WaitFor([&] { return !Refused(server->SitePort(0)); }, 1000));

    auto res = control->Get("/state");
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find("\"kind\":\"http\",\"connections\":"), std::string::npos);
}

TEST_F(RouterServerTest, ControlPortRefusesBadSettingsAndClearsTheJournal)
{
    const std::string problem = ControlSet("downtime-ms=soon", 400);
    EXPECT_EQ(problem, "downtime-ms: expected a whole number from 0 to 3600000\n");
    EXPECT_EQ(router.DowntimeMs(), 700);
    auto res = control->Get("/set?ssid=Query7");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(router.Running().ssid, "Query7");
    EXPECT_EQ(control->Get("/journal?since=x")->status, 400);
    Talk(port, Get("/stadevice.asp"));
    EXPECT_EQ(router.Journal().size(), 1u);
    ASSERT_TRUE(control->Post("/journal/clear", "", "text/plain"));
    EXPECT_TRUE(router.Journal().empty());
    EXPECT_EQ(control->Get("/health")->body, "ok\n");
}

TEST_F(RouterServerTest, StopEndsPromptlyWithASlowRequestInFlight)
{
    ControlSet("fault-slow=on&slow-ms=30000");
    std::thread client([this] { Talk(port, Get("/stadevice.asp"), 1, 10000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = Clock::now();
    server->Stop();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(), 3000);
    client.join();
}
