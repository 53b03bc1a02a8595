// tarvo-gui: walks through the wizard from a script (see Script.h).
//
//   tarvo-gui [--exe TARVO.EXE] [--shots FOLDER] [--script FILE] [STEP...]
//
// Each STEP argument is one script line ("page 1", "shot page1"); a script
// file's steps run first. Paths may be Windows paths or Unix paths (as Z:).
// Defaults: Tarvo.exe in TARVO_DIST_DIR, else beside this program; screenshots
// into TARVO_SHOTS_DIR, else the current folder.
// Exit status: 0 every step passed, 1 a step failed, 2 bad usage.
#include "GuiDriver.h"
#include "Script.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::wstring PathArgument(const char* text)
{
    if (text[0] == '/')
        return gui::FromUnixPath(text);
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
    return out;
}

std::wstring EnvPath(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? PathArgument(value) : std::wstring();
}

bool ReadWholeFile(const std::wstring& path, std::string* text)
{
    gui::Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buf, sizeof(buf), &got, nullptr) && got > 0)
        text->append(buf, got);
    return true;
}

int Usage()
{
    fprintf(stderr, "usage: tarvo-gui [--exe TARVO.EXE] [--shots FOLDER] [--script FILE] [STEP...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::wstring exe, shots;
    std::string script;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--exe") && hasValue) {
            exe = PathArgument(argv[++i]);
        } else if (!std::strcmp(argv[i], "--shots") && hasValue) {
            shots = PathArgument(argv[++i]);
        } else if (!std::strcmp(argv[i], "--script") && hasValue) {
            if (!ReadWholeFile(PathArgument(argv[++i]), &script)) {
                fprintf(stderr, "tarvo-gui: cannot read %s\n", argv[i]);
                return 2;
            }
            script += "\n";
        } else if (!std::strncmp(argv[i], "--", 2)) {
            return Usage();
        } else {
            script += std::string(argv[i]) + "\n";
        }
    }
    if (script.empty())
        return Usage();

    if (exe.empty()) {
        const std::wstring dist = EnvPath("TARVO_DIST_DIR");
        if (!dist.empty()) {
            exe = dist + L"\\Tarvo.exe";
        } else {
            wchar_t self[MAX_PATH] = L"";
            ::GetModuleFileNameW(nullptr, self, MAX_PATH);
            exe = gui::FolderOf(self) + L"\\Tarvo.exe";
        }
    }
    if (shots.empty())
        shots = EnvPath("TARVO_SHOTS_DIR");
    if (shots.empty())
        shots = L".";

    std::vector<gui::Step> steps;
    std::string error;
    if (!gui::ParseScript(script, &steps, &error)) {
        fprintf(stderr, "tarvo-gui: %s\n", error.c_str());
        return 2;
    }
    // Wine's own messages go to standard error; the walk's report goes to
    // standard output, so that the two can be kept apart.
    gui::Wizard wizard(exe, shots);
    try {
        gui::RunScript(steps, wizard, stdout);
    } catch (const gui::DriverError& e) {
        fprintf(stdout, "tarvo-gui: FAILED at %s\n", e.what());
        return 1;
    }
    fprintf(stdout, "tarvo-gui: %zu steps passed\n", steps.size());
    return 0;
}
