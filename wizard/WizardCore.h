#pragma once
// Portable rules of the wizard core: no Windows headers.
#include <string>
#include <string_view>

// The number of ASCII letters and digits in a text; a password or network
// name is accepted only when this equals its length.
int CountAlphanumeric(std::wstring text);

enum class StartMode { Wizard, HandOff, CleanUp };

// The mode a command line asks for: "/U" hands off to a temporary copy, "/R"
// cleans up, anything else runs the wizard. The switches are plain,
// case-sensitive substrings, "/U" tested first, and they count only in the
// arguments: the program path in front is never searched, so a path such as
// C:/Users/... cannot select a mode.
StartMode SelectStartMode(std::wstring_view commandLine);

// Where the arguments begin: just past the program path, which is either
// quoted or ends at the first blank or tab.
size_t ArgumentsStart(std::wstring_view commandLine);

// The two sites of the Internet check, tried in this order. Each is kept up
// by a large operator for exactly such probes (Google's front page; the file
// Windows' own connectivity check fetches from Microsoft), and two operators
// mean one outage cannot make a working line look dead. The network lab maps
// these names to its stand-ins (tools/lab reads them from here).
inline constexpr wchar_t kInternetCheckSite1[] = L"https://www.google.com/";
inline constexpr wchar_t kInternetCheckSite2[] = L"http://www.msftconnecttest.com/connecttest.txt";

// The folder part of a module path, with its trailing backslash; empty when
// the path has no backslash.
std::wstring FolderOfPath(std::wstring_view modulePath);
