// The Windows side of the connection procedure on the PC it runs on. Only questions are
// asked (adapter list, registry, processes); nothing is sent and no address is changed.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "Ipv4Text.h"
#include "Reachability.h"
#include "WinNetPlatform.h"

using namespace keplo;

TEST(KeploWinPlatform, ArpForAnOwnAddressAnswersWithTheAdaptersHardwareAddress)
{
    WinNetPlatform platform;
    std::vector<AdapterInfo> adapters;
    ASSERT_EQ(platform.ReadAdapters(adapters), 0u);
    const auto own = std::find_if(adapters.begin(), adapters.end(), [](const AdapterInfo& a) {
        const std::uint32_t address = ParseIpv4(a.addresses.at(0).address);
        return address != 0 && address != kAddressNone && a.hardware.size() >= 6;
    });
    if (own == adapters.end())
        GTEST_SKIP() << "no adapter with an address";
    HardwareAddress answer{};
    ASSERT_TRUE(platform.SendArp(ParseIpv4(own->addresses[0].address), answer));
    EXPECT_TRUE(std::equal(own->hardware.begin(), own->hardware.begin() + 6, answer.begin()));
}

TEST(KeploWinPlatform, RegistryValuesAndMissingKeys)
{
    WinNetPlatform platform;
    const std::wstring version = L"Software\\Microsoft\\Windows NT\\CurrentVersion";
    EXPECT_FALSE(platform.ReadMachineString(version, L"ProductName").empty());
    EXPECT_TRUE(platform.ReadMachineString(version, L"NoSuchValue").empty());
    EXPECT_TRUE(platform.ReadMachineString(ConnectionNameKey(L"{no-such-adapter}"), L"NAME").empty());
}

TEST(KeploWinPlatform, CommandsRunAndAreWaitedFor)
{
    WinNetPlatform platform;
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    const std::wstring marker = std::wstring(dir) + L"keplo_run_marker.txt";
    DeleteFileW(marker.c_str());
    // The command's file exists as soon as RunHidden returns.
    EXPECT_EQ(platform.RunHidden(L"cmd.exe /c echo done> \"" + marker + L"\""), 0u);
    EXPECT_NE(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(marker.c_str());
    EXPECT_EQ(platform.RunHidden(L"keplo-no-such-program.exe"), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}
