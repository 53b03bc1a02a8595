#include "Cleanup.h"

#include "Gdi.h"

#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cwchar>

DWORD FindOtherInstance()
{
    fw::CHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    const DWORD self = ::GetCurrentProcessId();
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        const wchar_t* slash = std::wcsrchr(entry.szExeFile, L'\\');
        const wchar_t* name = slash ? slash + 1 : entry.szExeFile;
        if (entry.th32ProcessID != self && ::lstrcmpiW(name, L"Tarvo.exe") == 0)
            return entry.th32ProcessID;
    }
    return 0;
}

void TerminateInstance(DWORD pid)
{
    fw::CHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    if (process)
        ::TerminateProcess(process.get(), 0);
}

void RemoveAllin(std::wstring folder, SleepFn sleep)
{
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    // A folder that is a link has nothing of its own inside; the caller
    // removes the link.
    const DWORD attributes = ::GetFileAttributesW(folder.substr(0, folder.size() - 1).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    const std::wstring pattern = folder + L"*.*";
    ::OutputDebugStringW(folder.c_str());
    ::OutputDebugStringW(pattern.c_str());

    WIN32_FIND_DATAW data;
    fw::CFindHandle find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find)
        return;
    do {
        const std::wstring name = data.cFileName;
        const std::wstring path = folder + name;
        const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // Removes the link only, whatever it points at.
            if (directory)
                ::RemoveDirectoryW(path.c_str());
            else
                ::DeleteFileW(path.c_str());
        } else if (!directory) {
            ::DeleteFileW(path.c_str());
        } else if (name != L"." && name != L"..") {
            RemoveAllin(path, sleep);
            ::OutputDebugStringW((L"RemoveAllin " + path).c_str());
            sleep(1000);
            ::RemoveDirectoryW(path.c_str());
        }
    } while (::FindNextFileW(find.get(), &data));
}

namespace {

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path)))
        return {};
    return path;
}

void EmptyAndRemove(const std::wstring& folder, SleepFn sleep)
{
    RemoveAllin(folder, sleep);
    sleep(1000);
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

void RunCleanUp(SleepFn sleep)
{
    sleep(1000);
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD pid = FindOtherInstance();
        if (pid)
            TerminateInstance(pid);
        if (::GetTickCount() - start > 10000 || !pid)
            break;
        sleep(1);
    }

    const std::wstring programFiles = ShellFolder(CSIDL_PROGRAM_FILES);
    const std::wstring startMenu = ShellFolder(CSIDL_COMMON_PROGRAMS);
    // Without its base folder a legacy path would become relative to the
    // current folder; such a folder is simply not there to remove.
    for (int pass = 0; pass < 2; ++pass) {
        if (!programFiles.empty())
            EmptyAndRemove(programFiles + L"\\Tolvik Nordhaven", sleep);
        if (!startMenu.empty()) {
            EmptyAndRemove(startMenu + L"\\Tolvik Vessaro\\QX7100ZR", sleep);
            ::RemoveDirectoryW((startMenu + L"\\Tolvik Vessaro").c_str());
        }
    }
    // The installer's entry among the installed programs goes with the folders.
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
}

namespace {

// What the hand-off copies, in this order; the import library is not needed
// to run the copy.
const struct {
    const wchar_t* name;
    bool required;
} kCopiedFiles[] = {{L"Keplo.dll", true}, {L"Keplo.lib", false}, {L"Tarvo.exe", true}};

// Creates the copy's folder so that only the system and administrators may
// change what is inside: a program of the same user without administrator
// rights cannot swap the library between the copy and the start of the
// (administrator) copy. Fails when the name is taken.
bool CreateOwnFolder(const std::wstring& path, DWORD* error)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        *error = ::GetLastError();
        return false;
    }
    SECURITY_ATTRIBUTES security{sizeof(security), descriptor, FALSE};
    const BOOL made = ::CreateDirectoryW(path.c_str(), &security);
    *error = made ? ERROR_SUCCESS : ::GetLastError();
    ::LocalFree(descriptor);
    return made != FALSE;
}

} // namespace

void RemoveCleanUpCopy(const std::wstring& folder)
{
    for (const auto& file : kCopiedFiles)
        ::DeleteFileW((folder + file.name).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

std::wstring MakeCleanUpCopy(const std::wstring& programFolder, const std::wstring& tempFolder, DWORD* error)
{
    *error = ERROR_SUCCESS;
    // A random name, so that no one can have made the folder in advance; a
    // name that is taken all the same is never used.
    std::wstring folder;
    for (int attempt = 0; attempt < 10 && folder.empty(); ++attempt) {
        GUID guid{};
        wchar_t text[40] = L"";
        if (FAILED(::CoCreateGuid(&guid)) || ::StringFromGUID2(guid, text, 40) != 39) {
            *error = ERROR_GEN_FAILURE;
            return {};
        }
        // Without the braces.
        const std::wstring candidate = tempFolder + L"Tarvo-" + std::wstring(text + 1, 36) + L"\\";
        if (CreateOwnFolder(candidate, error))
            folder = candidate;
        else if (*error != ERROR_ALREADY_EXISTS)
            return {};
    }
    if (folder.empty())
        return {};

    for (const auto& file : kCopiedFiles) {
        if (::CopyFileW((programFolder + file.name).c_str(), (folder + file.name).c_str(), TRUE))
            continue;
        const DWORD failed = ::GetLastError();
        if (!file.required && failed == ERROR_FILE_NOT_FOUND)
            continue;
        *error = failed;
        RemoveCleanUpCopy(folder);
        return {};
    }
    return folder;
}

bool RemoveCleanUpCopyAtRestart(const std::wstring& folder)
{
    bool scheduled = true;
    for (const auto& file : kCopiedFiles) {
        const std::wstring path = folder + file.name;
        if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            scheduled &= ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    }
    // The folder last: it can go only once it is empty.
    const std::wstring self = folder.substr(0, folder.size() - 1);
    scheduled &= ::MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    return scheduled;
}
