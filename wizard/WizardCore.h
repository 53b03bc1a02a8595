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

// The folder part of a module path, with its trailing backslash; empty when
// the path has no backslash.
std::wstring FolderOfPath(std::wstring_view modulePath);
