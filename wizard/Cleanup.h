#pragma once
// Removal of an earlier installation: other running instances and the
// legacy folders.
#include <windows.h>

#include <string>

// The process id of another running "Tarvo.exe" (name compared without
// regard to case; this process never counts), or 0.
DWORD FindOtherInstance();
// Ends that process; failures are ignored.
void TerminateInstance(DWORD pid);

// Waits the given number of milliseconds; tests pass one that does not wait.
using SleepFn = void (*)(DWORD ms);

// Deletes every file and subfolder inside folder, depth first, waiting 1000 ms
// before each subfolder removal; the folder itself stays. A file or folder
// that cannot be deleted (read-only, in use) is left and the walk goes on.
// Links (junctions, symbolic links) are removed themselves, never followed:
// what they point at may be anywhere on the disk. A folder that is itself a
// link is not emptied.
void RemoveAllin(std::wstring folder, SleepFn sleep = &::Sleep);

// Where the installer registers the program among the installed programs
// (below HKEY_LOCAL_MACHINE, 64-bit view; resources/installer/Tarvo.nsi).
inline constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvelle Router Setup Wizard";

// The whole clean-up run: stop other instances for up to 10 s, then two
// passes over the three legacy folders, then the installed-programs entry.
void RunCleanUp(SleepFn sleep = &::Sleep);

// The hand-off's copy of the program: a folder under tempFolder that this
// call creates (never one that was there before), holding "Keplo.dll",
// "Keplo.lib" and "Tarvo.exe" from programFolder (both folders with their
// trailing backslash). Returns the new folder with its trailing backslash, or
// empty with the system's error in *error when any step fails; nothing is
// then left behind. A "Keplo.lib" missing beside the program is skipped: the
// copy runs without it.
std::wstring MakeCleanUpCopy(const std::wstring& programFolder, const std::wstring& tempFolder, DWORD* error);

// Deletes that copy now (it was not started).
void RemoveCleanUpCopy(const std::wstring& folder);
// Deletes that copy when the system next starts (it is running, so it cannot
// go now). false when the system refused (administrator rights are needed).
bool RemoveCleanUpCopyAtRestart(const std::wstring& folder);
