#pragma once
// A window built like the wizard's, for the driver's own checks: a main
// dialog whose pages are child dialogs numbered 1 and 2. Page 1 holds a
// label that reports clicks, one that does not, an edit limited to five
// characters, a drop-down list filled when it drops down, a check box, a
// button that opens a message box, a label whose click raises an exception,
// and a page timer that shows page 2 at its third tick. It counts what
// reaches it.
#include <windows.h>

#include <atomic>
#include <thread>

namespace fixture {

constexpr int kLabel = 1134;
constexpr int kPlainLabel = 1135;
constexpr int kFaultLabel = 1137;
constexpr int kEdit = 1133;
constexpr int kList = 1053;
constexpr int kCheck = 1109;
constexpr int kWarn = 1200;
constexpr UINT_PTR kTimer = 7;
constexpr int kEditLimit = 5;
constexpr COLORREF kPageColour = RGB(200, 40, 40);
constexpr wchar_t kTitle[] = L"Fixture";
constexpr wchar_t kWarning[] = L"Careful";

struct Record {
    std::atomic<int> clicks{0};
    std::atomic<int> dropDowns{0};
    std::atomic<int> selChanges{0};
    std::atomic<int> selectionAtChange{-1};
    std::atomic<int> ticks{0};
    std::atomic<int> boxResult{0};
};
// What reached the fixture that runs in this process.
Record& Seen();

// The fixture on a thread of its own, shown and ready once constructed.
class Window {
public:
    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    HWND Main() const { return m_main; }

private:
    std::thread m_thread;
    HWND m_main = nullptr;
};

// Runs the fixture as this process's only window until it is closed; the
// process's exit code (0).
int RunAsProgram();

} // namespace fixture
