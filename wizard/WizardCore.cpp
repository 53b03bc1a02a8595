#include "WizardCore.h"

int CountAlphanumeric(std::wstring text)
{
    int count = 0;
    for (wchar_t c : text) {
        if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'))
            ++count;
    }
    return count;
}

size_t ArgumentsStart(std::wstring_view commandLine)
{
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        return close == std::wstring_view::npos ? commandLine.size() : close + 1;
    }
    const size_t blank = commandLine.find_first_of(L" \t");
    return blank == std::wstring_view::npos ? commandLine.size() : blank;
}

StartMode SelectStartMode(std::wstring_view commandLine)
{
    const std::wstring_view arguments = commandLine.substr(ArgumentsStart(commandLine));
    if (arguments.find(L"/U") != std::wstring_view::npos)
        return StartMode::HandOff;
    if (arguments.find(L"/R") != std::wstring_view::npos)
        return StartMode::CleanUp;
    return StartMode::Wizard;
}

std::wstring FolderOfPath(std::wstring_view modulePath)
{
    const size_t slash = modulePath.rfind(L'\\');
    if (slash == std::wstring_view::npos)
        return {};
    return std::wstring(modulePath.substr(0, slash + 1));
}
