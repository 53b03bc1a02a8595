#include "Cleanup.h"

#include "Gdi.h"

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
}
