#pragma once
// The wizard's pages by number. The number is also each page's window id
// (tools and tests tell the shown page by it) and its place in the page table.

enum PageId : int {
    kPageLanguage = 1,
    kPageWelcome = 2,
    kPageBeforeYouStart = 3,
    kPageConnectionType = 4,
    kPageApply = 5,
    kPageInternetWorks = 6,
    // 7 to 10, 14 and 15 are pictures that no event shows.
    kPageRouterUnreachable = 11,
    kPageAdapterUnsuitable = 12,
    kPageNoInternet = 13,
    kPageAdminPassword = 16,
    kPageTimeZone = 17,
    kPageWirelessName = 18,
    kPageWirelessKey = 19,
    kPageCompletion = 20,
    kPageJoinDevices = 21,
    kPageWpsButton = 22,
    kPageDeviceChooser = 23,
    kPageWindows7 = 24,
    kPageWindowsVista = 25,
    kPageWindowsXp = 26,
    kPageMacOsX = 27,
    kPageIphone = 28,
    kPageAndroid = 29,
    kPageRestartWait = 30,
};

inline constexpr int kPageCount = 30;
