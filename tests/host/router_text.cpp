// Form bodies, credentials, request heads, JSON text and the clock: the
// text handling that the router's journal and forms depend on.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "HttpText.h"
#include "Json.h"
#include "Pages.h"
#include "Router.h"
#include "Settings.h"

using namespace routerlab;

TEST(RouterText, FormBodiesSplitAndDecode)
{
    const Fields f = ParseForm("a=1&b=&c&&d=x%3Dy+z&e=%zz%4&=v&a=2");
    ASSERT_EQ(f.size(), 7u);
    EXPECT_EQ(f[0], Field("a", "1"));
    EXPECT_EQ(f[1], Field("b", ""));
    EXPECT_EQ(f[2], Field("c", ""));
    EXPECT_EQ(f[3], Field("d", "x=y z"));
    EXPECT_EQ(f[4], Field("e", "%zz%4")); // broken escapes stay as sent
    EXPECT_EQ(f[5], Field("", "v"));
    EXPECT_EQ(FindField(f, "a"), "1"); // the first of repeated fields
    EXPECT_EQ(FindField(f, "zz"), std::nullopt);
    EXPECT_TRUE(ParseForm("").empty());
    EXPECT_EQ(UrlDecode("%2Fwlbasic.asp"), "/wlbasic.asp");
    EXPECT_EQ(UrlDecode("%e4%F6"), "\xe4\xf6");
    EXPECT_EQ(UrlDecode("100%"), "100%");
}

TEST(RouterText, BasicCredentials)
{
    EXPECT_EQ(Base64Encode("admin:6093"), "YWRtaW46NjA5Mw==");
    EXPECT_EQ(Base64Decode("YWRtaW46NjA5Mw=="), "admin:6093");
    for (const std::string& s : std::vector<std::string>{"", "a", "ab", "abc", "abcd", std::string("\0\xff\x80", 3)}) {
        EXPECT_EQ(Base64Decode(Base64Encode(s)), s);
    }
    for (const char* bad : {"YWRtaW4", "YW=taW46", "Y===", "====", "YWRt aW46"}) {
        EXPECT_EQ(Base64Decode(bad), std::nullopt) << bad;
    }
    const auto c = ParseBasicAuthorization("Basic " + Base64Encode("admin:pa:ss"));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->user, "admin");
    EXPECT_EQ(c->password, "pa:ss"); // only the first colon separates
    EXPECT_FALSE(ParseBasicAuthorization("Basic " + Base64Encode("nocolon")));
    EXPECT_FALSE(ParseBasicAuthorization("Bearer abc"));
    EXPECT_FALSE(ParseBasicAuthorization("Basic"));
}

TEST(RouterText, HeadEndIsFoundOnlyAfterTheBlankLine)
{
    bool bare = true;
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n\r\nBODY", &bare), 27u);
    EXPECT_FALSE(bare);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n", &bare), std::string::npos);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n\r", &bare), std::string::npos);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\nHost: a\n\n", &bare), 24u);
    EXPECT_TRUE(bare);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\nHost: a\n\r\n", &bare), 25u);
    EXPECT_TRUE(bare);
}

TEST(RouterText, RequestHeadKeepsHeaderOrderAndSpelling)
{
    const auto head =
        ParseRequestHead("POST /goform/formReboot HTTP/1.1\r\nCookie: SessionID=1 path=/\r\nhost:  192.168.2.1 \r\n"
                         "X-Empty:\r\nCookie: second\r\n\r\n");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->method, "POST");
    EXPECT_EQ(head->target, "/goform/formReboot");
    EXPECT_EQ(head->version, "HTTP/1.1");
    ASSERT_EQ(head->headers.size(), 4u);
    EXPECT_EQ(head->headers[0], Field("Cookie", "SessionID=1 path=/"));
    EXPECT_EQ(head->headers[1], Field("host", "192.168.2.1"));
    EXPECT_EQ(head->headers[2], Field("X-Empty", ""));
    EXPECT_EQ(head->headers[3], Field("Cookie", "second"));
}

TEST(RouterText, MalformedHeadsAreRefused)
{
    for (const std::string& bad : std::vector<std::string>{
             "\r\n\r\n", "GET /\r\n\r\n", "GET / HTTP/2.0\r\n\r\n", "GET  / HTTP/1.1\r\n\r\n", "G(T / HTTP/1.1\r\n\r\n",
             "GET / HTTP/1.1\r\nNo colon\r\n\r\n", "GET / HTTP/1.1\r\nBad Name: x\r\n\r\n",
             "GET / HTTP/1.1\r\nA: b\r\n c\r\n\r\n", "GET / HTTP/1.1\r\nA: b\nC: d\r\n\r\n",
             std::string("GET / HTTP/1.1\r\nA: \0\r\n\r\n", 22), "GET /a\x01 HTTP/1.1\r\n\r\n",
             "GET / HTTP/1.1\r\n\r\nextra"}) {
        EXPECT_FALSE(ParseRequestHead(bad)) << JsonQuote(bad);
    }
}

TEST(RouterText, TargetPaths)
{
    EXPECT_EQ(TargetPath("/stadevice.asp?x=1"), "/stadevice.asp");
    EXPECT_EQ(TargetPath("/a%20b+c"), "/a b+c");
    EXPECT_EQ(TargetPath("http://192.168.2.1/stanet.asp"), "/stanet.asp");
    EXPECT_EQ(TargetPath("http://192.168.2.1"), "/");
}

TEST(RouterText, JsonKeepsEveryByteAndStaysAscii)
{
    EXPECT_EQ(JsonQuote(std::string("a\"b\\c\r\n\t\x01\x7f\xe4", 11)), "\"a\\\"b\\\\c\\r\\n\\t\\u0001\\u007f\\u00e4\"");
    EXPECT_EQ(JsonQuote(std::string("\0", 1)), "\"\\u0000\"");
    JsonWriter json;
    json.BeginObject().Key("a").BeginArray().Int(1).String("x").Bool(false).Null().EndArray();
    json.Key("b").BeginObject().EndObject().Key("c").Raw("[2]").EndObject();
    EXPECT_EQ(json.Text(), "{\"a\":[1,\"x\",false,null],\"b\":{},\"c\":[2]}");
}

TEST(RouterText, JournalEntryJson)
{
    JournalEntry e;
    e.seq = 4;
    e.timeMs = 12;
    e.boot = 2;
    e.client = "192.168.2.100:5000";
    e.method = "POST";
    e.target = "/goform/formWlanSetup";
    e.version = "HTTP/1.1";
    e.headers = {{"Content-Length", "6"}};
    e.body = "ssid=\xe4";
    e.raw = "POST /goform/formWlanSetup HTTP/1.1\r\nContent-Length: 6\r\n\r\nssid=\xe4";
    e.status = 200;
    EXPECT_EQ(JournalEntryJson(e),
              "{\"seq\":4,\"time_ms\":12,\"boot\":2,\"client\":\"192.168.2.100:5000\",\"method\":\"POST\","
              "\"target\":\"/goform/formWlanSetup\",\"version\":\"HTTP/1.1\",\"headers\":[[\"Content-Length\","
              "\"6\"]],\"body\":\"ssid=\\u00e4\",\"raw\":\"POST /goform/formWlanSetup HTTP/1.1\\r\\n"
              "Content-Length: 6\\r\\n\\r\\nssid=\\u00e4\",\"status\":200,\"malformed\":false,"
              "\"truncated\":false,\"fault\":\"\"}");
}

TEST(RouterText, ClockConversions)
{
    EXPECT_EQ(ParseClock("2012-03-14T20:54:27"), 1331758467);
    EXPECT_EQ(ParseClock("2012-03-14 20:54:27"), 1331758467);
    EXPECT_EQ(FormatClock(1331758467), "2012-03-14T20:54:27");
    EXPECT_EQ(FormatClock(951868800), "2000-03-01T00:00:00");
    EXPECT_EQ(ParseClock("2000-02-29T12:00:00"), 951825600);
    for (const char* bad : {"2001-02-29T00:00:00", "2012-13-01T00:00:00", "2012-03-14T24:00:00", "2012-3-14T20:54:27",
                            "1969-12-31T23:59:59", "2012-03-14X20:54:27"}) {
        EXPECT_EQ(ParseClock(bad), std::nullopt) << bad;
    }
    const CivilTime t = CivilFromEpoch(-1);
    EXPECT_EQ(t.year, 1969);
    EXPECT_EQ(t.month0, 11);
    EXPECT_EQ(t.second, 59);
}

TEST(RouterText, ZoneOffsetsMatchTheZoneNames)
{
    EXPECT_EQ(ZoneOffsetMinutes(0), -720);
    EXPECT_EQ(ZoneOffsetMinutes(16), -210); // Newfoundland
    EXPECT_EQ(ZoneOffsetMinutes(22), 0);    // Greenwich
    EXPECT_EQ(ZoneOffsetMinutes(44), 330);  // New Delhi
    EXPECT_EQ(ZoneOffsetMinutes(51), 480);  // Taipei
    EXPECT_EQ(ZoneOffsetMinutes(56), 570);  // Darwin
    EXPECT_EQ(ZoneOffsetMinutes(64), 720);
    EXPECT_EQ(ZoneOffsetMinutes(65), 0);
}

TEST(RouterText, FaultSwitchScopes)
{
    FaultSwitch s;
    EXPECT_FALSE(s.Applies("/a"));
    ASSERT_TRUE(s.Parse("on"));
    EXPECT_TRUE(s.Applies("/anything"));
    ASSERT_TRUE(s.Parse("/a,/b"));
    EXPECT_TRUE(s.Applies("/b"));
    EXPECT_FALSE(s.Applies("/c"));
    EXPECT_EQ(s.Text(), "/a,/b");
    EXPECT_FALSE(s.Parse("/a,,/b"));
    EXPECT_FALSE(s.Parse("a"));
    EXPECT_EQ(s.Text(), "/a,/b"); // a refused value changes nothing
    ASSERT_TRUE(s.Parse("off"));
    EXPECT_EQ(s.Text(), "off");
}

TEST(RouterText, PaddingReachesTheExactSize)
{
    const std::string page = "<html><body>x</body></html>";
    for (std::size_t size : {page.size(), page.size() + 1, page.size() + 9, page.size() + 10, std::size_t{65536}}) {
        const std::string padded = PadPage(page, size);
        EXPECT_EQ(padded.size(), std::max(size, page.size()));
        EXPECT_EQ(padded.substr(padded.size() - 14), "</body></html>");
    }
    EXPECT_EQ(PadPage(page, 3), page);
}

TEST(RouterText, ArbitraryBytesNeverBreakTheParsers)
{
    // Sanitizers watch these: any read past an end or overflow fails the run.
    std::mt19937 random(20240611);
    static const char kAlphabet[] = "GETPOST /:%+=&\r\n\t ABCabc019-\x00\xff";
    const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 64, '\0');
        for (char& c : text) {
            c = (random() % 4 == 0) ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
        }
        bool bare = false;
        const std::size_t end = FindHeadEnd(text, &bare);
        if (end != std::string::npos) {
            ASSERT_LE(end, text.size());
            if (const auto head = ParseRequestHead(std::string_view(text).substr(0, end))) {
                EXPECT_FALSE(head->method.empty());
                EXPECT_FALSE(bare);
            }
        }
        const Fields fields = ParseForm(text);
        for (const auto& [name, value] : fields)
            EXPECT_LE(name.size() + value.size(), text.size());
        if (const auto decoded = Base64Decode(text)) {
            EXPECT_EQ(Base64Encode(*decoded), text);
        }
        (void)ParseBasicAuthorization(text);
        (void)TargetPath(text);
        (void)JsonQuote(text);
    }
}
