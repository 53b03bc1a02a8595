// The settings stage's portable rules: the time zone list, the escaping of
// values in the forms, the checks of the entries and what an answer means.
// (The exact bodies are checked against the substitute router in the lab.)
#include "HttpText.h"
#include "SettingsForms.h"
#include "TimeZones.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The fields of a body as the router's form handler sees them (the values here are ASCII).
routerlab::Fields Fields(const std::wstring& body)
{
    return routerlab::ParseForm(std::string(body.begin(), body.end()));
}

std::wstring Field(const std::wstring& body, const char* name)
{
    const std::string value = routerlab::FindField(Fields(body), name).value_or("<absent>");
    return std::wstring(value.begin(), value.end());
}

// The hours and minutes of a zone's "(GMT+hh:mm)" as signed minutes.
int OffsetMinutes(std::wstring_view zone)
{
    const int sign = zone[4] == L'-' ? -1 : 1;
    const int hours = std::stoi(std::wstring(zone.substr(5, 2)));
    const int minutes = std::stoi(std::wstring(zone.substr(8, 2)));
    return sign * (hours * 60 + minutes);
}

} // namespace

TEST(TimeZones, SixtyFiveZonesInTheRoutersOrder)
{
    // A zone moved or lost shifts every later position the router receives:
    // the offsets only ever grow, and no text appears twice.
    ASSERT_EQ(kTimeZones.size(), 65u);
    std::set<std::wstring_view> seen;
    for (size_t i = 0; i < kTimeZones.size(); ++i) {
        const std::wstring_view zone = kTimeZones[i];
        ASSERT_EQ(zone.substr(0, 4), L"(GMT") << i;
        ASSERT_EQ(zone.substr(10, 2), L") ") << i;
        EXPECT_TRUE(seen.insert(zone).second) << "twice: " << i;
        if (i > 0) {
            EXPECT_LE(OffsetMinutes(kTimeZones[i - 1]), OffsetMinutes(zone)) << i;
        }
    }
    EXPECT_EQ(OffsetMinutes(kTimeZones[16]), -210); // Newfoundland
    EXPECT_EQ(OffsetMinutes(kTimeZones[44]), 330);  // Mumbai
}

TEST(SettingsForms, ValuesThatWouldBreakTheFormStayOneField)
{
    // The old password may come from the password prompt, which checks nothing.
    for (const wchar_t* old : {L"a&b", L"x=y", L"100%", L"a+b", L"#1", L"tab\there"}) {
        const std::wstring body = PasswordForm(old, L"Secret42").body;
        EXPECT_EQ(Fields(body).size(), 5u) << body;
        EXPECT_EQ(Field(body, "oldpass"), old) << body;
        EXPECT_EQ(Field(body, "newpass"), L"Secret42");
    }
    EXPECT_EQ(Fields(WirelessNameForm(L"a&chan=1").body).size(), Fields(WirelessNameForm(L"a").body).size());
    EXPECT_EQ(Field(WirelessNameForm(L"a&chan=1").body, "chan"), L"11");
    EXPECT_EQ(Field(WirelessSecurityForm(L"k&radiusPort=1").body, "pskValue"), L"k&radiusPort=1");
}

TEST(SettingsChecks, EachEntryGetsItsMessage)
{
    const std::wstring thirty = L"Ab3456789012345678901234567890";
    const struct {
        int page; // 16 password, 18 wireless name, 19 wireless key
        std::wstring first, second;
        int message;
    } cases[] = {
        // Too short wins over everything, whatever the second field holds.
        {16, L"abcd", L"", 2},
        {16, L"a-b ", L"zzzzzzz", 2},
        // Different (case counts) before the character check.
        {16, L"Secret42", L"secret42", 4},
        {16, L"my pass", L"my-pass", 4},
        {16, L"abcde", L"", 4},
        // Equal, but not letters and digits alone.
        {16, L"p\u00E4ssword", L"p\u00E4ssword", 3},
        // Accepted from five characters to the field's thirty.
        {16, L"abcde", L"abcde", kEntryAccepted},
        {16, thirty, thirty, kEntryAccepted},
        {18, L"", L"", 6},
        {18, L"caf\u00E9", L"", 7},
        {18, L"N", L"", kEntryAccepted},
        {18, std::wstring(32, L'x'), L"", kEntryAccepted},
        {19, L"", L"", 8},
        {19, L"abcdefg-", L"", 8},
        // A WPA2 passphrase: 8 to 63 characters.
        {19, std::wstring(8, L'z'), L"", kEntryAccepted},
        {19, std::wstring(63, L'z'), L"", kEntryAccepted},
        {19, std::wstring(64, L'z'), L"", 8},
    };
    for (const auto& c : cases) {
        const int message = c.page == 16   ? CheckAdminPassword(c.first, c.second)
                            : c.page == 18 ? CheckWirelessName(c.first)
                                           : CheckWirelessKey(c.first);
        EXPECT_EQ(message, c.message) << "page " << c.page << ": " << std::string(c.first.begin(), c.first.end());
    }
    // A time zone needs a position inside the list as it is now.
    EXPECT_EQ(CheckTimeZone(-1, 65), 5); // no selection
    EXPECT_EQ(CheckTimeZone(0, 0), 5);   // the list was never opened
    EXPECT_EQ(CheckTimeZone(65, 65), 5);
    EXPECT_EQ(CheckTimeZone(64, 65), kEntryAccepted);
}

namespace {

// Stands in for the main window's router link and records what reaches it.
struct RecordingLink {
    int openResult = 0;
    int postResult = 0;
    unsigned int status = 200;
    std::vector<std::wstring> calls;

    int Open(const std::wstring& routerIP, const std::wstring& password)
    {
        calls.push_back(L"open " + routerIP + L" " + password);
        return openResult;
    }
    int Post(const std::wstring& path, const std::wstring& referrer, const std::wstring& body, unsigned& outStatus,
             wchar_t* buffer, int bufferChars)
    {
        calls.push_back(L"post " + path + L" " + referrer + L" " + body + L" " + std::to_wstring(bufferChars));
        buffer[0] = L'\0';
        buffer[bufferChars - 1] = L'\0'; // the whole buffer is the caller's
        if (postResult == 0)
            outStatus = status;
        return postResult;
    }
};

} // namespace

TEST(SettingsExchange, A2xxOr3xxIsTakenA401RefusedAndAFailedPostNotDone)
{
    RecordingLink link;
    EXPECT_EQ(PostRouterForm(link, L"192.168.2.1", L"6093", TimeZoneForm(7), IfNotPrepared::PostAnyway),
              PostOutcome::Taken);
    ASSERT_EQ(link.calls.size(), 2u);
    EXPECT_EQ(link.calls[0], L"open 192.168.2.1 6093");
    EXPECT_EQ(link.calls[1],
              L"post /goform/formTimeZoneSetup http://192.168.2.1/systimezone.asp " + TimeZoneForm(7).body + L" 65536");

    for (unsigned status : {204u, 302u, 400u, 500u}) {
        link.status = status;
        EXPECT_EQ(PostRouterForm(link, L"10.0.0.1", L"pw", WirelessNameForm(L"Net"), IfNotPrepared::PostAnyway),
                  PostOutcome::Taken)
            << status;
    }
    link.status = 401;
    EXPECT_EQ(PostRouterForm(link, L"10.0.0.1", L"pw", WirelessNameForm(L"Net"), IfNotPrepared::PostAnyway),
              PostOutcome::Refused);
    link.postResult = 12029;
    EXPECT_EQ(PostRouterForm(link, L"10.0.0.1", L"pw", WirelessNameForm(L"Net"), IfNotPrepared::PostAnyway),
              PostOutcome::Failed);
    // A connection that cannot be prepared is not looked at: the post is
    // tried and its failure decides.
    link = RecordingLink{};
    link.openResult = 1231;
    link.postResult = 12029;
    EXPECT_EQ(PostRouterForm(link, L"10.0.0.1", L"pw", WirelessNameForm(L"Net"), IfNotPrepared::PostAnyway),
              PostOutcome::Failed);
    EXPECT_EQ(link.calls.size(), 2u);
    // The connection set-up and the restart stop before the post.
    link = RecordingLink{};
    link.openResult = 3;
    EXPECT_EQ(PostRouterForm(link, L"10.0.0.1", L"pw", RebootForm(), IfNotPrepared::Stop), PostOutcome::Failed);
    EXPECT_EQ(link.calls.size(), 1u);
}
