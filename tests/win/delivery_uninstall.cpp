// The delivered installer and the program's own removal, end to end: the
// installer run silently puts the program and its Start-menu group in place,
// and "Tarvo.exe /U" from there removes both again while another instance runs.
#include "Cleanup.h"
#include "Gdi.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

using wintest::Exists;

namespace {

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

std::wstring TempFolder()
{
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

// tools/package leaves the installer in <build>/package beside <build>/win/dist;
// TARVO_SETUP_EXE names another one.
std::wstring FindInstaller(std::wstring* searched)
{
    if (const char* given = std::getenv("TARVO_SETUP_EXE"); given && *given) {
        *searched = wintest::FromUnixPath(given);
        return Exists(*searched) ? *searched : L"";
    }
    const std::wstring dist = wintest::EnvFolder("TARVO_DIST_DIR");
    if (dist.empty())
        return {};
    *searched = dist + L"..\\..\\package\\";
    WIN32_FIND_DATAW data;
    fw::CFindHandle find(::FindFirstFileW((*searched + L"Tarvo-*-setup.exe").c_str(), &data));
    if (!find)
        return {};
    std::wstring newest = data.cFileName;
    FILETIME newestTime = data.ftLastWriteTime;
    while (::FindNextFileW(find.get(), &data))
        if (::CompareFileTime(&data.ftLastWriteTime, &newestTime) > 0) {
            newest = data.cFileName;
            newestTime = data.ftLastWriteTime;
        }
    return *searched + newest;
}

fw::CHandle Start(const std::wstring& commandLine, DWORD* pid = nullptr)
{
    std::wstring line = commandLine;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return fw::CHandle();
    ::CloseHandle(pi.hThread);
    if (pid)
        *pid = pi.dwProcessId;
    return fw::CHandle(pi.hProcess);
}

struct Running {
    DWORD pid;
    std::wstring path;
};

// Every running "Tarvo.exe" with the full path of its program file.
std::vector<Running> RunningInstances()
{
    std::vector<Running> out;
    fw::CHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, L"Tarvo.exe") != 0)
            continue;
        fw::CHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        wchar_t path[MAX_PATH] = L"";
        DWORD size = MAX_PATH;
        if (process)
            ::QueryFullProcessImageNameW(process.get(), 0, path, &size);
        out.push_back({entry.th32ProcessID, path});
    }
    return out;
}

bool WaitForWindowOf(DWORD pid, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        struct Search {
            DWORD pid;
            bool found;
        } search{pid, false};
        ::EnumWindows(
            [](HWND hwnd, LPARAM lp) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lp);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(hwnd, &owner);
                if (owner == s->pid && ::IsWindowVisible(hwnd))
                    s->found = true;
                return !s->found;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return true;
        ::Sleep(50);
    }
    return false;
}

struct Shortcut {
    std::wstring target;
    std::wstring arguments;
    bool read = false;
};

Shortcut ReadShortcut(const std::wstring& path)
{
    Shortcut out;
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return out;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
            wchar_t target[MAX_PATH] = L"";
            wchar_t arguments[MAX_PATH] = L"";
            link->GetPath(target, MAX_PATH, nullptr, 0);
            link->GetArguments(arguments, MAX_PATH);
            out = {target, arguments, true};
        }
        file->Release();
    }
    link->Release();
    return out;
}

void NoWait(DWORD) {}

// A value of the installed-programs entry; empty when absent.
std::wstring EntryValue(const wchar_t* name)
{
    wchar_t value[1024] = L"";
    DWORD size = sizeof(value);
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

class Delivery : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        m_program = ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Tolvik Nordhaven\\";
        m_parent = ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Tolvik Vessaro\\";
        m_group = m_parent + L"QX7100ZR\\";
        KeepWineOutOfTheDesktopMenus();
        RemoveLeftovers();
    }
    void TearDown() override
    {
        RemoveLeftovers();
        ::CoUninitialize();
    }
    // Under Wine, every shortcut the installer makes would also become an entry
    // of the Linux desktop's menus (winemenubuilder); the test prefix turns that off.
    static void KeepWineOutOfTheDesktopMenus()
    {
        HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        if (!ntdll || !::GetProcAddress(ntdll, "wine_get_version"))
            return;
        HKEY raw = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &raw, nullptr) != ERROR_SUCCESS)
            return;
        fw::CRegKey key(raw);
        ::RegSetValueExW(key.get(), L"winemenubuilder.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""),
                         sizeof(wchar_t));
    }
    void RemoveLeftovers() const
    {
        for (const std::wstring& folder : {m_program, m_parent}) {
            RemoveAllin(folder, &NoWait);
            ::RemoveDirectoryW(folder.c_str());
        }
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
    }

    std::wstring m_program;
    std::wstring m_parent;
    std::wstring m_group;
};

} // namespace

TEST_F(Delivery, InstallerThenUninstallSwitchRemovesEverythingButForeignGroups)
{
    std::wstring searched;
    const std::wstring setup = FindInstaller(&searched);
    if (setup.empty())
        GTEST_SKIP() << "no installer found in " << searched << ": run tools/package first";

    // Another product's group under the same parent: the removal must keep it.
    ::CreateDirectoryW(m_parent.c_str(), nullptr);
    ::CreateDirectoryW((m_parent + L"Other Product").c_str(), nullptr);
    wintest::WriteBytes(m_parent + L"Other Product\\Other.lnk", "x");

    // Silent install.
    fw::CHandle installer = Start(L"\"" + setup + L"\" /S");
    ASSERT_TRUE(installer) << "cannot start the installer";
    ASSERT_EQ(::WaitForSingleObject(installer.get(), 120000), WAIT_OBJECT_0) << "the installer did not finish";
    DWORD code = 99;
    ::GetExitCodeProcess(installer.get(), &code);
    ASSERT_EQ(code, 0u);

    for (const wchar_t* file : {L"Tarvo.exe", L"Keplo.dll", L"Keplo.lib", L"LANG\\LANG.ini", L"LANG\\Lang0409.ini",
                                L"LANG\\Lang0407.ini", L"LANG\\Lang0404.ini", L"IMG\\page1.jpg", L"IMG\\page15.jpg"})
        EXPECT_TRUE(Exists(m_program + file)) << "not installed: " << file;
    const Shortcut wizard = ReadShortcut(m_group + L"Orvelle Router Setup Wizard.lnk");
    const Shortcut uninstall = ReadShortcut(m_group + L"Uninstall.lnk");
    ASSERT_TRUE(wizard.read) << "no shortcut to the wizard in the group";
    ASSERT_TRUE(uninstall.read) << "no Uninstall shortcut in the group";
    EXPECT_EQ(::lstrcmpiW(wizard.target.c_str(), (m_program + L"Tarvo.exe").c_str()), 0);
    EXPECT_EQ(wizard.arguments, L"");
    EXPECT_EQ(::lstrcmpiW(uninstall.target.c_str(), (m_program + L"Tarvo.exe").c_str()), 0);
    EXPECT_EQ(uninstall.arguments, L"/U");

    // The network repair and the removal need administrator rights: the program asks for them.
    HMODULE exe = ::LoadLibraryExW((m_program + L"Tarvo.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC manifest = ::FindResourceW(exe, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(::LockResource(::LoadResource(exe, manifest))),
                           ::SizeofResource(exe, manifest));
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos);
    ::FreeLibrary(exe);

    // Listed among the installed programs, removed there by the program's own removal.
    EXPECT_EQ(EntryValue(L"DisplayName"), L"Orvelle Router Setup Wizard");
    EXPECT_EQ(::lstrcmpiW(EntryValue(L"UninstallString").c_str(), (L"\"" + m_program + L"Tarvo.exe\" /U").c_str()), 0);

    // A wizard running from the installed folder.
    DWORD otherPid = 0;
    fw::CHandle other = Start(L"\"" + m_program + L"Tarvo.exe\"", &otherPid);
    ASSERT_TRUE(other);
    ASSERT_TRUE(WaitForWindowOf(otherPid, 20000)) << "the installed wizard shows no window";

    // What the installed-programs list runs (the Uninstall shortcut runs the same).
    fw::CHandle handOff = Start(EntryValue(L"UninstallString"));
    ASSERT_TRUE(handOff);
    ASSERT_EQ(::WaitForSingleObject(handOff.get(), 30000), WAIT_OBJECT_0) << "hand-off did not end";

    // The copy, in a folder of its own, does the removal and ends by itself.
    const std::wstring temp = TempFolder();
    fw::CHandle copy;
    DWORD copyPid = 0;
    std::wstring copyPath;
    const DWORD start = ::GetTickCount();
    while (!copy && ::GetTickCount() - start < 10000) {
        for (const Running& running : RunningInstances())
            if (running.pid != otherPid &&
                ::CompareStringOrdinal(running.path.c_str(), static_cast<int>(temp.size()), temp.c_str(),
                                       static_cast<int>(temp.size()), TRUE) == CSTR_EQUAL) {
                copy.reset(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, running.pid));
                copyPid = running.pid;
                copyPath = running.path;
            }
        if (!copy)
            ::Sleep(20);
    }
    ASSERT_TRUE(copy) << "no Tarvo.exe started below the temporary folder";
    ASSERT_EQ(::WaitForSingleObject(copy.get(), 60000), WAIT_OBJECT_0) << "the clean-up copy did not finish";
    code = 99;
    ::GetExitCodeProcess(copy.get(), &code);
    EXPECT_EQ(code, 0u) << "the clean-up copy did not end normally (it must not end itself)";

    EXPECT_EQ(::WaitForSingleObject(other.get(), 5000), WAIT_OBJECT_0) << "the running wizard was not ended";
    ::TerminateProcess(other.get(), 1);
    for (const Running& running : RunningInstances())
        EXPECT_TRUE(running.pid != otherPid && running.pid != copyPid) << "still running: " << running.pid;

    EXPECT_FALSE(Exists(m_program)) << "the program folder is still there";
    EXPECT_FALSE(Exists(m_group)) << "the Start-menu group is still there";
    EXPECT_TRUE(Exists(m_parent + L"Other Product\\Other.lnk")) << "another product's group was touched";
    EXPECT_TRUE(Exists(m_parent)) << "the parent of another product's group was removed";
    EXPECT_EQ(EntryValue(L"UninstallString"), L"") << "still listed among the installed programs";
    const std::wstring copyFolder = copyPath.substr(0, copyPath.rfind(L'\\') + 1);
    RemoveAllin(copyFolder, &NoWait);
    ::RemoveDirectoryW(copyFolder.c_str());
}
