// The three start modes of Tarvo.exe, run as real processes, and the folder
// removal of the clean-up mode.
#include "Cleanup.h"
#include "Gdi.h"
#include "TestDesktop.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

using wintest::Exists;

namespace {

void NoWait(DWORD) {}

std::wstring Dist()
{
    return wintest::EnvFolder("TARVO_DIST_DIR");
}

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

void Touch(const std::wstring& path)
{
    wintest::WriteBytes(path, "x");
}

// Starts a command line; returns the process handle (caller closes).
HANDLE Start(const std::wstring& commandLine, DWORD* pid = nullptr)
{
    std::wstring line = commandLine;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    if (pid)
        *pid = pi.dwProcessId;
    return pi.hProcess;
}

// The first visible top-level window of a process, waiting up to timeoutMs.
HWND WaitForWindowOf(DWORD pid, DWORD timeoutMs)
{
    struct Search {
        DWORD pid;
        HWND found;
    } search{pid, nullptr};
    const DWORD start = ::GetTickCount();
    while (!search.found && ::GetTickCount() - start < timeoutMs) {
        ::EnumWindows(
            [](HWND hwnd, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(hwnd, &owner);
                if (owner == s->pid && ::IsWindowVisible(hwnd) && ::GetWindowTextLengthW(hwnd) >= 0 &&
                    ::GetDlgCtrlID(::GetWindow(hwnd, GW_CHILD)) != 0) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            ::Sleep(50);
    }
    return search.found;
}

// The hand-off's copy folders in the temporary folder.
std::vector<std::wstring> CopyFolders()
{
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data;
    fw::CFindHandle find(::FindFirstFileW((temp + std::wstring(L"Tarvo-*")).c_str(), &data));
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.get(), &data))
        found.push_back(temp + std::wstring(data.cFileName) + L"\\");
    return found;
}

// A link to a folder, or false. Wine 8's CreateSymbolicLinkW makes nothing, but
// Wine shows a Unix symbolic link as a directory reparse point: this test needs Wine.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target)
{
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return false;
    std::string line =
        "/bin/ln -s \"" + std::string(unixName(target.c_str())) + "\" \"" + unixName(link.c_str()) + "\"";
    if (HANDLE ln = Start(std::wstring(line.begin(), line.end())))
        ::CloseHandle(ln);
    // Wine does not signal the end of a Unix process: wait for the link.
    for (int i = 0; i < 250 && !Exists(link); ++i)
        ::Sleep(20);
    const DWORD attributes = ::GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A copy of the program (with its library) in a folder of our choosing.
std::wstring CopyProgramTo(const std::wstring& folder)
{
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* name : {L"Tarvo.exe", L"Keplo.dll"})
        ::CopyFileW((Dist() + name).c_str(), (folder + name).c_str(), FALSE);
    return folder + L"Tarvo.exe";
}

} // namespace

TEST(RemoveAllin, EmptiesNestedFoldersDepthFirstAndKeepsTheFolder)
{
    const std::wstring root = wintest::ScratchFolder(L"removeall");
    ::CreateDirectoryW((root + L"a").c_str(), nullptr);
    ::CreateDirectoryW((root + L"a\\b").c_str(), nullptr);
    ::CreateDirectoryW((root + L"a\\b\\c").c_str(), nullptr);
    ::CreateDirectoryW((root + L"empty").c_str(), nullptr);
    Touch(root + L"top.txt");
    Touch(root + L"a\\one.txt");
    Touch(root + L"a\\b\\c\\deep.txt");

    static int waits;
    waits = 0;
    RemoveAllin(root.substr(0, root.size() - 1), [](DWORD ms) { waits += ms == 1000 ? 1 : 0; });

    EXPECT_TRUE(Exists(root));
    EXPECT_FALSE(Exists(root + L"top.txt"));
    EXPECT_FALSE(Exists(root + L"a"));
    EXPECT_FALSE(Exists(root + L"empty"));
    EXPECT_EQ(waits, 4); // one wait before each of the four subfolder removals
    ::RemoveDirectoryW(root.c_str());
}

TEST(RemoveAllin, ReadOnlyFileIsLeftAndTheWalkGoesOn)
{
    const std::wstring root = wintest::ScratchFolder(L"readonly");
    ::CreateDirectoryW((root + L"locked").c_str(), nullptr);
    ::CreateDirectoryW((root + L"zfree").c_str(), nullptr);
    Touch(root + L"locked\\keep.txt");
    Touch(root + L"zfree\\gone.txt");
    Touch(root + L"zz-last.txt");
    ASSERT_TRUE(::SetFileAttributesW((root + L"locked\\keep.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    RemoveAllin(root, &NoWait);

    EXPECT_TRUE(Exists(root + L"locked\\keep.txt"));
    EXPECT_FALSE(Exists(root + L"zfree"));
    EXPECT_FALSE(Exists(root + L"zz-last.txt"));
    ::SetFileAttributesW((root + L"locked\\keep.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveAllin(root, &NoWait);
    ::RemoveDirectoryW(root.c_str());
}

// What a link in or as a legacy folder points at survives.
TEST(RemoveAllin, LinksAreNeverFollowed)
{
    const std::wstring root = wintest::ScratchFolder(L"links");
    const std::wstring target = wintest::ScratchFolder(L"linktarget");
    ::CreateDirectoryW((root + L"legacy").c_str(), nullptr);
    ::CreateDirectoryW((target + L"sub").c_str(), nullptr);
    Touch(target + L"sub\\keep.txt");
    if (!MakeFolderLink(root + L"legacy\\inside", target) || !MakeFolderLink(root + L"itself", target))
        GTEST_SKIP() << "no folder links can be made here";

    RemoveAllin(root + L"legacy", &NoWait);
    RemoveAllin(root + L"itself", &NoWait);
    EXPECT_TRUE(Exists(target + L"sub\\keep.txt"));
}

TEST(RemoveAllin, MissingFolderIsNothingToDo)
{
    RemoveAllin(L"C:\\no such folder here", &NoWait);
    SUCCEED();
}

// The real clean-up run: another instance ends, the legacy folders go, an
// unrelated Start-menu subfolder stays, and the run ends normally.
TEST(StartModes, CleanUpStopsOtherInstancesAndRemovesTheLegacyFolders)
{
    ASSERT_FALSE(Dist().empty());
    const std::wstring programs = ShellFolder(CSIDL_PROGRAM_FILES);
    const std::wstring menu = ShellFolder(CSIDL_COMMON_PROGRAMS);
    const std::wstring legacy = programs + L"\\Tolvik Nordhaven";
    const std::wstring group = menu + L"\\Tolvik Vessaro";
    ::CreateDirectoryW(legacy.c_str(), nullptr);
    ::CreateDirectoryW((legacy + L"\\bin").c_str(), nullptr);
    Touch(legacy + L"\\bin\\old.dll");
    Touch(legacy + L"\\readme.txt");
    ::CreateDirectoryW(group.c_str(), nullptr);
    ::CreateDirectoryW((group + L"\\QX7100ZR").c_str(), nullptr);
    Touch(group + L"\\QX7100ZR\\Setup.lnk");
    ::CreateDirectoryW((group + L"\\Other").c_str(), nullptr);
    Touch(group + L"\\Other\\keep.lnk");

    // Another instance, from another folder.
    DWORD otherPid = 0;
    HANDLE other = Start(L"\"" + CopyProgramTo(wintest::ScratchFolder(L"other")) + L"\"", &otherPid);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(WaitForWindowOf(otherPid, 15000), nullptr);

    HANDLE cleanup = Start(L"\"" + Dist() + L"Tarvo.exe\" /R");
    ASSERT_NE(cleanup, nullptr);
    ASSERT_EQ(::WaitForSingleObject(cleanup, 60000), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeProcess(cleanup, &code);
    ::CloseHandle(cleanup);

    EXPECT_EQ(code, 0u);
    EXPECT_EQ(::WaitForSingleObject(other, 5000), WAIT_OBJECT_0) << "the other instance still runs";
    ::TerminateProcess(other, 0);
    ::CloseHandle(other);
    EXPECT_FALSE(Exists(legacy));
    EXPECT_FALSE(Exists(group + L"\\QX7100ZR"));
    EXPECT_TRUE(Exists(group + L"\\Other\\keep.lnk"));
    EXPECT_TRUE(Exists(group)); // still holds another subfolder
    RemoveAllin(group, &NoWait);
    ::RemoveDirectoryW(group.c_str());
}

// A program path through a folder named U... or R..., written with forward
// slashes, must run the wizard, not a mode.
TEST(StartModes, ProgramPathWithSwitchLettersRunsTheWizard)
{
    ASSERT_FALSE(Dist().empty());
    std::wstring folder = wintest::ScratchFolder(L"paths") + L"Users\\";
    std::wstring exe = CopyProgramTo(folder);
    ::CreateDirectoryW((folder + L"Rescue\\").c_str(), nullptr);
    for (wchar_t& c : exe)
        c = c == L'\\' ? L'/' : c;
    DWORD pid = 0;
    HANDLE wizard = Start(exe, &pid);
    ASSERT_NE(wizard, nullptr);
    HWND window = WaitForWindowOf(pid, 15000);
    EXPECT_NE(window, nullptr) << "no wizard window";
    if (window)
        ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(::WaitForSingleObject(wizard, 15000), WAIT_OBJECT_0);
    ::TerminateProcess(wizard, 1);
    ::CloseHandle(wizard);
}

// The copy runs from a new folder made for it alone, deleted at the next restart.
TEST(StartModes, HandOffStartsACopyInAFolderOfItsOwn)
{
    ASSERT_FALSE(Dist().empty());
    const std::vector<std::wstring> before = CopyFolders();

    // "/U" and "/R" together: hand-off is tested first.
    HANDLE handOff = Start(L"\"" + Dist() + L"Tarvo.exe\" /R /U");
    ASSERT_NE(handOff, nullptr);
    ASSERT_EQ(::WaitForSingleObject(handOff, 30000), WAIT_OBJECT_0);
    ::CloseHandle(handOff);
    std::wstring folder;
    for (const std::wstring& made : CopyFolders())
        if (std::find(before.begin(), before.end(), made) == before.end())
            folder = made;
    ASSERT_FALSE(folder.empty()) << "no new folder for the copy";

    // The copy now runs in clean-up mode; wait for it so it cannot touch
    // another test's folders.
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 30000) {
        HANDLE copy = ::OpenProcess(SYNCHRONIZE, FALSE, FindOtherInstance());
        if (!copy)
            break;
        ::WaitForSingleObject(copy, 30000);
        ::CloseHandle(copy);
    }
    EXPECT_EQ(FindOtherInstance(), 0u);
    const wchar_t* manager = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    DWORD size = 0;
    ::RegGetValueW(HKEY_LOCAL_MACHINE, manager, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                   &size);
    std::wstring deletions(size / sizeof(wchar_t), L'\0');
    ::RegGetValueW(HKEY_LOCAL_MACHINE, manager, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                   deletions.data(), &size);
    EXPECT_NE(deletions.find(L"\\??\\" + folder.substr(0, folder.size() - 1) + L'\0'), std::wstring::npos);
    RemoveAllin(folder, &NoWait);
    ::RemoveDirectoryW(folder.c_str());
}

// A failed copy (a file held open) is told; nothing is started or left.
TEST(StartModes, HandOffThatCannotCopySaysSoAndStartsNothing)
{
    ASSERT_FALSE(Dist().empty());
    const std::wstring program = wintest::ScratchFolder(L"locked");
    for (const wchar_t* name : {L"Keplo.dll", L"Keplo.lib", L"Tarvo.exe"})
        ::CopyFileW((Dist() + name).c_str(), (program + name).c_str(), FALSE);
    testing_support::CopyFiles(Dist() + L"LANG", program + L"LANG");
    fw::CHandle lock(
        ::CreateFileW((program + L"Keplo.lib").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const std::vector<std::wstring> before = CopyFolders();

    DWORD pid = 0;
    HANDLE handOff = Start(L"\"" + program + L"Tarvo.exe\" /U", &pid);
    ASSERT_NE(handOff, nullptr);
    HWND box = WaitForWindowOf(pid, 15000);
    ASSERT_NE(box, nullptr) << "no message";
    wchar_t text[1024] = L"", expected[1024] = L"";
    ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 1024);
    ::GetPrivateProfileStringW(L"Strings", L"IDS_REMOVAL_NOT_STARTED", L"", expected, 1024,
                               (program + L"LANG\\Lang0409.ini").c_str());
    EXPECT_TRUE(expected[0] && std::wstring(text).rfind(expected, 0) == 0) << "not the language file's text";
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(::WaitForSingleObject(handOff, 15000), WAIT_OBJECT_0);
    ::TerminateProcess(handOff, 1);
    ::CloseHandle(handOff);
    EXPECT_EQ(CopyFolders(), before) << "a half-made copy was left";
    EXPECT_EQ(FindOtherInstance(), 0u) << "something was started";
}
