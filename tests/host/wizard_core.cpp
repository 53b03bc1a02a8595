#include "WizardCore.h"

#include <gtest/gtest.h>

TEST(CountAlphanumeric, CountsOnlyAsciiLettersAndDigits)
{
    EXPECT_EQ(CountAlphanumeric(L""), 0);
    EXPECT_EQ(CountAlphanumeric(L"abc-123"), 6);
    EXPECT_EQ(CountAlphanumeric(L"\u00C91"), 1); // an accented capital is not an ASCII letter
    EXPECT_EQ(CountAlphanumeric(L"a b_c"), 3);
    EXPECT_EQ(CountAlphanumeric(L"09AZaz"), 6);
    // The neighbours of the three ranges.
    EXPECT_EQ(CountAlphanumeric(L"/:@[`{"), 0);
    // Fullwidth digits look like digits but are not ASCII.
    EXPECT_EQ(CountAlphanumeric(L"\uFF11\uFF12"), 0);
}

TEST(CountAlphanumeric, AcceptedOnlyWhenEveryCharacterCounts)
{
    const std::wstring good = L"Router2024";
    const std::wstring bad = L"Router 2024";
    EXPECT_EQ(CountAlphanumeric(good), static_cast<int>(good.size()));
    EXPECT_NE(CountAlphanumeric(bad), static_cast<int>(bad.size()));
}

TEST(StartMode, SwitchesInTheArgumentsSelectTheMode)
{
    EXPECT_EQ(SelectStartMode(L"C:\\Tarvo\\Tarvo.exe"), StartMode::Wizard);
    EXPECT_EQ(SelectStartMode(L"C:\\Tarvo\\Tarvo.exe /U"), StartMode::HandOff);
    EXPECT_EQ(SelectStartMode(L"C:\\Tarvo\\Tarvo.exe /R"), StartMode::CleanUp);
    EXPECT_EQ(SelectStartMode(L"\"C:\\Program Files\\Tarvo\\Tarvo.exe\" /R"), StartMode::CleanUp);
    // Both switches: hand-off is tested first, whatever their order.
    EXPECT_EQ(SelectStartMode(L"Tarvo.exe /R /U"), StartMode::HandOff);
    // Plain case-sensitive substrings.
    EXPECT_EQ(SelectStartMode(L"Tarvo.exe /u"), StartMode::Wizard);
    EXPECT_EQ(SelectStartMode(L"Tarvo.exe /r"), StartMode::Wizard);
    EXPECT_EQ(SelectStartMode(L"Tarvo.exe x/Ry"), StartMode::CleanUp);
}

TEST(StartMode, ProgramPathNeverSelectsAMode)
{
    // A path through C:/Users/... or C:/Rescue/... must run the wizard, not
    // end other instances and delete folders.
    EXPECT_EQ(SelectStartMode(L"C:/Users/anna/Downloads/Tarvo.exe"), StartMode::Wizard);
    EXPECT_EQ(SelectStartMode(L"\"C:/Users/anna/My Files/Tarvo.exe\""), StartMode::Wizard);
    EXPECT_EQ(SelectStartMode(L"\"C:/Rescue/Tarvo.exe\" "), StartMode::Wizard);
    EXPECT_EQ(SelectStartMode(L"C:/Users/anna/Tarvo.exe /R"), StartMode::CleanUp);
    // An unterminated quote: everything is the path.
    EXPECT_EQ(SelectStartMode(L"\"C:/Users/Tarvo.exe /U"), StartMode::Wizard);
    EXPECT_EQ(SelectStartMode(L""), StartMode::Wizard);
}

TEST(StartMode, ArgumentsStartAfterTheProgramPath)
{
    EXPECT_EQ(ArgumentsStart(L"a.exe /U"), 5u);
    EXPECT_EQ(ArgumentsStart(L"a.exe\t/U"), 5u);
    EXPECT_EQ(ArgumentsStart(L"\"a b.exe\" /U"), 9u);
    EXPECT_EQ(ArgumentsStart(L"a.exe"), 5u);
}

TEST(FolderOfPath, KeepsTheTrailingBackslash)
{
    EXPECT_EQ(FolderOfPath(L"C:\\Program Files\\Tarvo\\Tarvo.exe"), L"C:\\Program Files\\Tarvo\\");
    EXPECT_EQ(FolderOfPath(L"Tarvo.exe"), L"");
    EXPECT_EQ(FolderOfPath(L"\\Tarvo.exe"), L"\\");
}

namespace {

struct UrlParts {
    std::wstring scheme, host;
};

UrlParts SplitUrl(std::wstring_view url)
{
    const size_t colon = url.find(L"://");
    if (colon == std::wstring_view::npos)
        return {};
    const std::wstring_view rest = url.substr(colon + 3);
    return {std::wstring(url.substr(0, colon)), std::wstring(rest.substr(0, rest.find_first_of(L":/")))};
}

bool EndsWith(std::wstring_view text, std::wstring_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The operator's domain: the last two labels.
std::wstring Registered(const std::wstring& host)
{
    const size_t last = host.rfind(L'.');
    const size_t before = last == std::wstring::npos || last == 0 ? std::wstring::npos : host.rfind(L'.', last - 1);
    return before == std::wstring::npos ? host : host.substr(before + 1);
}

} // namespace

// A site that no public name server answers fails the check on every real
// network, and a literal address breaks when its operator moves.
TEST(InternetCheckSites, PublicNamesOfTwoOperatorsHttpsFirst)
{
    const struct {
        const wchar_t* url;
        const wchar_t* scheme;
    } sites[] = {{kInternetCheckSite1, L"https"}, {kInternetCheckSite2, L"http"}};
    for (const auto& site : sites) {
        const UrlParts parts = SplitUrl(site.url);
        const std::string shown(parts.host.begin(), parts.host.end());
        EXPECT_EQ(parts.scheme, site.scheme) << shown;
        ASSERT_NE(parts.host.find(L'.'), std::wstring::npos) << shown;
        EXPECT_EQ(parts.host.find_first_not_of(L"abcdefghijklmnopqrstuvwxyz0123456789.-"), std::wstring::npos)
            << shown << ": a lower-case name";
        EXPECT_NE(parts.host.find_first_not_of(L"0123456789."), std::wstring::npos) << shown << ": an address";
        for (const wchar_t* reserved : {L".example", L".test", L".invalid", L".localhost", L".local"})
            EXPECT_FALSE(EndsWith(parts.host, reserved)) << shown;
    }
    EXPECT_NE(Registered(SplitUrl(kInternetCheckSite1).host), Registered(SplitUrl(kInternetCheckSite2).host));
}
