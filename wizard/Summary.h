#pragma once
// Writing the set-up summary to the user's Desktop (Windows side; the text
// itself is composed in SummaryText.h).
#include <string>

// The settings file's bytes: the text in the system's 8-bit code page when
// every character has a place there, as the file has always been written;
// otherwise UTF-8 behind a byte-order mark, so that no character is lost
// and a browser still reads the file right.
std::string SettingsFileBytes(const std::wstring& text);

// Creates the file, or truncates the one that is there, and writes the text.
// false when the file could not be created or fully written; a file that was
// begun but not finished is deleted.
bool WriteSettingsFile(const std::wstring& path, const std::wstring& text);

// The file of that name in the current user's Desktop folder; empty when the
// system names no Desktop folder.
std::wstring SettingsFilePath(const std::wstring& name);
