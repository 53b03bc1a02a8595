// The summary's texts, the join code at the end of the settings file, and
// the two facts read back from the restarted router.
#include "QrCode.h"
#include "SettingsForms.h"
#include "StatusText.h"
#include "SummaryText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// A system status page as the router writes it, with its clock in a script.
std::wstring MenuPage(const std::wstring& date)
{
    return L"<html><script>var t = new Date(" + date +
           L");\ndocument.write(t.toString());</script><td>Up time</td></html>";
}

std::wstring NetPage(const std::wstring& field)
{
    return L"<tr><td>IP Address</td><td><input type=\"text\" " + field + L"></td></tr>";
}

// The modules a QrSvg drawing paints, row by row, each painted once; its
// path must be nothing but rows' runs, "Mx yhWv1h-Wz".
std::vector<uint8_t> PaintedModules(const std::wstring& svg, int across)
{
    const size_t start = svg.find(L" d=\"") + 4;
    const std::wstring path = svg.substr(start, svg.find(L'"', start) - start);
    const std::wregex run(L"M(\\d+) (\\d+)h(\\d+)v1h-\\3z");
    EXPECT_TRUE(std::regex_match(path, std::wregex(L"(M(\\d+) (\\d+)h(\\d+)v1h-\\4z)*")));
    std::vector<uint8_t> painted(size_t(across) * across, 0);
    for (std::wsregex_iterator it(path.begin(), path.end(), run), end; it != end; ++it)
        for (int i = 0, y = std::stoi((*it)[2]); i < std::stoi((*it)[3]); ++i)
            painted.at(size_t(y) * across + std::stoi((*it)[1]) + i) += 1;
    return painted;
}

} // namespace

TEST(RouterTime, MonthFromOneOtherPartsCopiedAndOnlyTwentyCharactersRead)
{
    const struct {
        std::wstring page;
        std::optional<std::wstring> time;
    } cases[] = {
        {MenuPage(L"2012,2,14,20,54,27"), L"2012/3/14 20:54:27"},
        {MenuPage(L"2023,11,31,23,59,59"), L"2023/12/31 23:59:59"},
        // Leading zeros stay where they are written, except in the month, which is a number.
        {MenuPage(L"2024,05,07,08,09,01"), L"2024/6/07 08:09:01"},
        // The first "Date(" counts.
        {L"Date(2001,1,2,3,4,5) Date(2030,6,6,6,6,6)", L"2001/2/2 3:4:5"},
        // Exactly 20 characters after "Date(" up to and including ")": nothing is lost.
        {L"Date(2012,10,14,20,54,27)", L"2012/11/14 20:54:27"},
        // One character more: the ")" is cut off, so the seconds are lost.
        {L"Date(2012,10,14,20,54,027)", L"2012/11/14 20:54:"},
        // Blanks after the commas push the minute out as well.
        {L"Date(2012, 10, 14, 20, 54, 27)", L"2012/11/ 14  20::"},
        // The page ends right after the marker: fewer than 20 characters are there.
        {L"x = new Date(2012,3", L"2012// ::"},
        {L"Date(", L"// ::"},
        // The month is read as the C library reads a number.
        {L"Date(2012, 7,1,1,1,1)", L"2012/8/1 1:1:1"},
        {L"Date(2012,x,1,1,1,1)", L"2012/1/1 1:1:1"},
        {L"Date(2012,-1,1,1,1,1)", L"2012/0/1 1:1:1"},
        {L"Date(2012,4a,1,1,1,1)", L"2012/5/1 1:1:1"},
        // No date: the setting stays. Matched with case, as the page writes it.
        {L"", std::nullopt},
        {L"<td>2012-03-14 20:54:27</td>", std::nullopt},
        {L"new date(2012,2,14,20,54,27)", std::nullopt},
        {L"new Date (2012,2,14,20,54,27)", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RouterTimeFromStatus(c.page), c.time) << std::string(c.page.begin(), c.page.end());

    // A month too long to be a month neither overflows nor loses the year.
    const auto huge = RouterTimeFromStatus(L"Date(1,99999999999999999,2,3,4,5)");
    ASSERT_TRUE(huge.has_value());
    EXPECT_EQ(huge->substr(0, 2), L"1/");
}

TEST(InternetAddress, ValueOfTheFirstIpFieldWithoutBlanks)
{
    const struct {
        std::wstring page;
        std::optional<std::wstring> address;
    } cases[] = {
        {NetPage(L"name=\"ip\" value=\"203.0.113.57\""), L"203.0.113.57"},
        {NetPage(L"name=\"ip\" value=\"  203.0.113.57 \t \""), L"203.0.113.57"},
        // The value ends at the first quote that closes the tag, not at any quote.
        {L"name=\"ip\" value=\"1.2.3.4\" size=\"15\">", L"1.2.3.4\" size=\"15"},
        // The first ip field counts; other fields before it do not.
        {L"<input name=\"mask\" value=\"255.255.255.0\"><input name=\"ip\" value=\"10.0.0.1\">"
         L"<input name=\"ip\" value=\"10.0.0.2\">",
         L"10.0.0.1"},
        // No such field: the setting stays.
        {L"", std::nullopt},
        {L"<td>Internet address</td><td>203.0.113.57</td>", std::nullopt},
        {L"name='ip' value='203.0.113.57'>", std::nullopt},
        {L"name=\"ip\"  value=\"203.0.113.57\">", std::nullopt},
        // A value not closed by a quote and ">" is empty.
        {L"name=\"ip\" value=\"203.0.113.57", L""},
        {L"name=\"ip\" value=\"203.0.113.57\" >", L""},
        {L"name=\"ip\" value=\"   \">", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InternetAddressFromStatus(c.page), c.address) << std::string(c.page.begin(), c.page.end());
}

TEST(TrimBlanks, BothEndsOnly)
{
    EXPECT_EQ(TrimBlanks(L" \t\r\n\v\fa b\r\n "), L"a b");
    EXPECT_EQ(TrimBlanks(L"   "), L"");
    EXPECT_EQ(TrimBlanks(L""), L"");
    EXPECT_EQ(TrimBlanks(L"\u00A0x\u00A0"), L"\u00A0x\u00A0"); // not a C-library blank
}

TEST(FillFormat, ValuesAreInsertedNeverReadAsFormats)
{
    EXPECT_EQ(FillFormat(L"Choose <B>%s</B>, type <B>%s</B>.", {L"Home", L"Key12345"}),
              L"Choose <B>Home</B>, type <B>Key12345</B>.");
    EXPECT_EQ(FillFormat(L"%s|%s", {L"100%", L"%s%d%n"}), L"100%|%s%d%n");
    // Placeholders without a value become nothing; values without a place are dropped.
    EXPECT_EQ(FillFormat(L"a%sb%sc%s", {L"1"}), L"a1bc");
    EXPECT_EQ(FillFormat(L"no place", {L"1", L"2"}), L"no place");
    // The format's own percent signs: "%%" is one, anything else is kept.
    EXPECT_EQ(FillFormat(L"50%% of %s, 10% more, %d, end %", {L"x"}), L"50% of x, 10% more, %d, end %");
    EXPECT_EQ(FillFormat(L"%%s", {L"x"}), L"%s");
    EXPECT_EQ(FillFormat(L"", {L"x"}), L"");
}

TEST(FillFormat, PageTextsShowRouterAndPersonValuesLiterally)
{
    // The format's markup stays; the values' becomes entities.
    EXPECT_EQ(FillMarkup(L"Now <B>%s</B> (%s)", {L"<A HREF=calc.exe>Home</A>", L"<B>x</B>&amp;\""}),
              L"Now <B>&lt;A HREF=calc.exe&gt;Home&lt;/A&gt;</B> (&lt;B&gt;x&lt;/B&gt;&amp;amp;&quot;)");
    const SummaryValues v{L"a&b", L"<script>", L"k\"", L"2024/1/15 <I>", L"<A HREF=x>1.2.3.4</A>"};
    EXPECT_EQ(CompletionText(L"%s|%s|%s|%s|%s", v),
              L"a&amp;b|&lt;script&gt;|k&quot;|2024/1/15 &lt;I&gt;|&lt;A HREF=x&gt;1.2.3.4&lt;/A&gt;");
    EXPECT_EQ(JoiningText(L"<B>%s</B> <B>%s</B>", v), L"<B>&lt;script&gt;</B> <B>k&quot;</B>");
}

TEST(SettingsFile, EightPiecesInOrderWithTheValuesAsTheyAre)
{
    SummaryValues v;
    v.adminPassword = L"Admin2024";
    v.ssid = L"50%s %d %n";
    v.wirelessKey = L"Secret12345";
    v.systemTime = L"\u65E5\u672C";
    v.internetIP = L"%%";
    EXPECT_EQ(SettingsFileText(L"192.168.2.1", v, L"Scan"), L"Access to router configuration: http://192.168.2.1<br>"
                                                            L"Administrator user name: admin<br>"
                                                            L"Administrator password: Admin2024<br><br>"
                                                            L"Wireless Name (SSID): 50%s %d %n<br>"
                                                            L"Wireless Security: WPA2<br>"
                                                            L"Wireless Password: Secret12345<br><br>"
                                                            L"System time: \u65E5\u672C<br>"
                                                            L"Internet IP Address: %%" +
                                                                JoinCodeHtml(v.ssid, v.wirelessKey, L"Scan"));
    // The file is read as HTML: values with markup show as they are.
    v.ssid = L"<B>x</B>&amp;";
    v.internetIP = L"<A HREF=\"calc.exe\">Home</A>";
    const std::wstring file = SettingsFileText(L"192.168.2.1", v, L"Scan");
    EXPECT_NE(file.find(L"Wireless Name (SSID): &lt;B&gt;x&lt;/B&gt;&amp;amp;<br>"), std::wstring::npos);
    EXPECT_NE(file.find(L"Internet IP Address: &lt;A HREF=&quot;calc.exe&quot;&gt;Home&lt;/A&gt;"), std::wstring::npos);
    // Empty values leave nothing after the colons.
    EXPECT_EQ(SettingsFileText(L"", SummaryValues{}, L""), L"Access to router configuration: http://<br>"
                                                           L"Administrator user name: admin<br>"
                                                           L"Administrator password: <br><br>"
                                                           L"Wireless Name (SSID): <br>"
                                                           L"Wireless Security: WPA2<br>"
                                                           L"Wireless Password: <br><br>"
                                                           L"System time: <br>"
                                                           L"Internet IP Address: " +
                                                               JoinCodeHtml(L"", L"", L""));
}

TEST(SettingsFile, EndsWithTheJoinCodeDrawnModuleForModuleAndItsCaption)
{
    // The longest name and key the pages take need version 7: a code always fits.
    for (const auto& [ssid, key] : {std::pair<std::wstring, std::wstring>{L"Caf\u00E9 \u4E2D", L"a\\b;c,d:e\"f<g>&"},
                                    {std::wstring(kWirelessNameLimit, L'N'), std::wstring(kWirelessKeyLimit, L'k')}}) {
        const std::optional<QrMatrix> code = EncodeQr(WifiJoinText(ssid, key));
        ASSERT_TRUE(code && code->version <= 7);
        const std::wstring html = JoinCodeHtml(ssid, key, L"Scan <B>me</B>");
        const std::wstring n = std::to_wstring(code->size + 2 * kQrQuietZone);
        // A fixed printed size, crisp edges, white under the quiet zone too.
        EXPECT_EQ(
            html.find(L"<br><br><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4cm\" height=\"4cm\" viewBox=\"0 0 " +
                      n + L" " + n + L"\" shape-rendering=\"crispEdges\"><rect width=\"" + n + L"\" height=\"" + n +
                      L"\" fill=\"#fff\"/><path fill=\"#000\" d=\""),
            0u);
        EXPECT_EQ(html.substr(html.find(L"\"/></svg>")), L"\"/></svg><br>Scan &lt;B&gt;me&lt;/B&gt;");
        std::vector<uint8_t> expected;
        for (int y = -kQrQuietZone; y < code->size + kQrQuietZone; ++y)
            for (int x = -kQrQuietZone; x < code->size + kQrQuietZone; ++x)
                expected.push_back(code->At(x, y));
        EXPECT_EQ(PaintedModules(html, std::stoi(n)), expected);
    }
    // Only values the pages never let through are too long for a code: nothing follows the text.
    const SummaryValues v{L"", std::wstring(kWirelessNameLimit, L'\u4E2D'), std::wstring(kWirelessKeyLimit, L';'), L"",
                          L""};
    EXPECT_EQ(JoinCodeHtml(v.ssid, v.wirelessKey, L"Scan"), L"");
    EXPECT_EQ(SettingsFileText(L"", v, L"Scan").find(L"<svg"), std::wstring::npos);
}

TEST(Utf8WithBom, EveryCharacterSurvives)
{
    EXPECT_EQ(Utf8WithBom(L""), kBom);
    EXPECT_EQ(Utf8WithBom(L"A<br>"), kBom + "A<br>");
    EXPECT_EQ(Utf8WithBom(L"\u00E9\u20AC\u65E5"), kBom + "\xC3\xA9"
                                                         "\xE2\x82\xAC"
                                                         "\xE6\x97\xA5");
    // A character beyond the first plane, as a surrogate pair in UTF-16.
    const std::wstring smile =
        sizeof(wchar_t) == 2 ? std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)} : std::wstring{wchar_t(0x1F600)};
    EXPECT_EQ(Utf8WithBom(smile), kBom + "\xF0\x9F\x98\x80");
    // Boundaries of the one-, two- and three-byte forms.
    EXPECT_EQ(Utf8WithBom(L"\u007F\u0080\u07FF\u0800\uFFFF"),
              kBom + "\x7F" + "\xC2\x80" + "\xDF\xBF" + "\xE0\xA0\x80" + "\xEF\xBF\xBF");
}

TEST(Utf8WithBom, LoneSurrogatesBecomeTheReplacementCharacter)
{
    const std::wstring lone{wchar_t(0xD800), L'a', wchar_t(0xDC00)};
    EXPECT_EQ(Utf8WithBom(lone), kBom + "\xEF\xBF\xBD" + "a" + "\xEF\xBF\xBD");
    const std::wstring atEnd{L'a', wchar_t(0xDBFF)};
    EXPECT_EQ(Utf8WithBom(atEnd), kBom + "a" + "\xEF\xBF\xBD");
}
