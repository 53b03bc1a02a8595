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

// Public host names (not reserved, not addresses) of two operators.
TEST(InternetCheckSites, PublicNamesOfTwoOperatorsHttpsFirst)
{
    std::wstring operators[2];
    for (int i = 0; i < 2; ++i) {
        const std::wstring_view url = i == 0 ? kInternetCheckSite1 : kInternetCheckSite2;
        const size_t start = url.find(L"://") + 3;
        const std::wstring host(url.substr(start, url.find_first_of(L":/", start) - start));
        EXPECT_EQ(url.substr(0, start), i == 0 ? L"https://" : L"http://");
        EXPECT_NE(host.find(L'.'), std::wstring::npos) << i << ": no public name";
        EXPECT_NE(host.find_first_not_of(L"0123456789."), std::wstring::npos) << i << ": an address";
        for (const std::wstring_view reserved : {L".example", L".test", L".invalid", L".localhost", L".local"})
            EXPECT_FALSE(host.ends_with(reserved)) << i;
        operators[i] = host.substr(host.rfind(L'.', host.rfind(L'.') - 1) + 1);
    }
    EXPECT_NE(operators[0], operators[1]);
}
