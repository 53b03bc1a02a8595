#pragma once
// Drives a running Tarvo.exe from another process as a person would: finds
// the visible page, clicks labels, types into fields, opens lists and picks
// entries, ticks boxes, answers message boxes, fast-forwards page timers and
// saves screenshots. Every wait has a limit; a failed action or expectation
// throws DriverError naming what was expected and what the window showed.
#include <windows.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace gui {

class DriverError : public std::runtime_error {
public:
    explicit DriverError(const std::string& what) : std::runtime_error(what) {}
};

// UTF-8 for messages and logs.
std::string Narrow(std::wstring_view text);
// A Unix path (as CTest and the shell pass them) as Wine sees it, through drive Z:.
std::wstring FromUnixPath(std::string_view unixPath);
// The folder a path lies in (up to the last backslash or slash), without the separator.
std::wstring FolderOf(const std::wstring& path);
// Creates a folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::wstring& folder);

// Owns a kernel handle.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle() { Reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept : m_h(other.m_h) { other.m_h = nullptr; }
    Handle& operator=(Handle&& other) noexcept;
    HANDLE Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE h = nullptr);

private:
    HANDLE m_h = nullptr;
};

// How an action reaches the program: as real input (SendInput, through the
// program's message loop and its key filters, as a person's mouse and
// keyboard would) or as window messages aimed at the control.
enum class Input { Real, Message };

// What became of an action sent to the program.
enum class Outcome {
    Returned,   // the handler returned
    PopupShown, // a message box or another pop-up came up while it ran
    StillBusy,  // neither within the limit (a long router exchange, say)
};

struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};

struct Launch {
    std::wstring arguments;  // after the program path
    std::wstring wineDebug;  // WINEDEBUG for the program; empty: inherited
    std::wstring outputFile; // receives the program's standard output and error; empty: none
};

class Wizard {
public:
    static constexpr DWORD kStartLimitMs = 20000;
    static constexpr DWORD kActionLimitMs = 5000;

    // exe: the Tarvo.exe that Start runs; shots: the folder Screenshot writes to.
    Wizard(std::wstring exe, std::wstring shots);
    // Ends a program that Start began and that still runs.
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // --- the program
    // Starts the program and waits for its main window.
    void Start(const Launch& launch = {});
    // Drives a main window that runs already (the driver's own tests use this).
    void Attach(HWND mainWindow);
    HWND MainWindow() const { return m_main; }
    DWORD ProcessId() const { return m_pid; }
    bool IsRunning() const;
    // Closes the window as its close box does (WM_SYSCOMMAND SC_CLOSE).
    void Close();
    // Waits for the program to end; its exit code.
    DWORD WaitForExit(DWORD limitMs = kActionLimitMs);
    void Kill();

    // --- what the window shows
    std::wstring Title() const;
    SIZE ClientSize() const;
    // The number of the one visible page; 0 when none or several are visible.
    int VisiblePage() const;
    std::vector<int> VisiblePages() const;
    // Waits until page is the only visible page.
    void ExpectPage(int page, DWORD limitMs = kActionLimitMs);
    // The window of page (1..30); nullptr when there is none.
    HWND PageWindow(int page) const;
    // Visible top-level windows of the program (the main window included).
    std::vector<HWND> Windows() const;
    // Control id in the visible pop-up (the password prompt) or else in the
    // visible page; throws when neither has it.
    HWND Control(int id) const;
    bool HasControl(int id) const;
    std::wstring Text(int id) const;
    bool IsChecked(int id) const;
    std::vector<std::wstring> ListEntries(int id) const;
    int ListSelection(int id) const;
    // Is the combo box's list dropped down?
    bool IsListOpen(int id) const;
    // The window that has the keyboard focus in the program (nullptr when none).
    HWND FocusWindow() const;
    // Waits until the program has handled what it was sent (a round trip
    // through its message queue, twice, with a pause for input to arrive).
    void Settle() const;

    // --- acting
    // Clicks a label that reports clicks (SS_NOTIFY): with the mouse at its
    // centre, or by its STN_CLICKED notification.
    Outcome ClickLabel(int id, Input how = Input::Real);
    // Clicks a client point of a control with the real mouse; false when another window covers it.
    bool ClickPoint(int id, POINT client);
    // Presses a push button (BM_CLICK).
    Outcome ClickButton(int id);
    // Clicks a check box or radio button (BM_CLICK); its state afterwards.
    bool Tick(int id);
    // Moves the keyboard focus to a control, as the Tab key would.
    void Focus(int id);
    // A real keystroke (down and up) to the window that has the focus, with
    // Shift held around it when asked (Shift+Tab).
    void PressKey(WORD vk, bool shift = false);
    // Types text into an edit: real keystrokes (to the field focused first,
    // unless it has the focus) or WM_CHAR messages, so the field's own limit
    // applies.
    void TypeText(int id, std::wstring_view text, Input how = Input::Real);
    // Replaces an edit's text with WM_SETTEXT, which ignores the field's limit.
    void SetText(int id, const std::wstring& text);
    // Drops a combo box's list down (CB_SHOWDROPDOWN, which sends CBN_DROPDOWN).
    void OpenList(int id);
    // Selects a list entry as a person's pick does: the selection and its CBN_SELCHANGE.
    Outcome PickListEntry(int id, int index);
    Outcome PickListEntry(int id, const std::wstring& text);
    // Delivers count ticks of a page timer to the visible page, one at a
    // time, each handled before the next. Stops early when the page changes
    // or a pop-up comes up; the number of ticks delivered.
    int TimerTicks(UINT_PTR timerId, int count = 1);

    // --- message boxes and pop-ups
    std::optional<MessageBoxInfo> FindMessageBox() const;
    MessageBoxInfo WaitForMessageBox(DWORD limitMs = kActionLimitMs);
    // Presses a button of the open message box and waits for it to close.
    void AnswerMessageBox(int button = IDOK, DWORD limitMs = kActionLimitMs);
    // Waits for a visible pop-up of the program (not a message box) that
    // holds controlId, such as the password prompt.
    HWND WaitForPopup(int controlId, DWORD limitMs = kActionLimitMs);

    // --- pictures
    // Saves what the main window shows (with any pop-up over it) as
    // <shots>/<name>.png; the file's path.
    std::wstring Screenshot(const std::wstring& name);
    std::wstring Screenshot(std::string_view name);

private:
    struct Busy;

    HWND FindMainWindow() const;
    void RequireMain(const char* action) const;
    std::string Describe() const;
    std::vector<HWND> Popups() const;
    HWND DialogOf(HWND control) const;
    Outcome SendAction(HWND target, UINT msg, WPARAM wParam, LPARAM lParam,
                       const std::shared_ptr<std::wstring>& keepAlive = nullptr);
    bool RoundTrips() const;
    void BringToFront() const;
    void WaitText(HWND edit, size_t expectedLength) const;

    std::wstring m_exe;
    std::wstring m_shots;
    Handle m_process;
    DWORD m_pid = 0;
    DWORD m_thread = 0;
    HWND m_main = nullptr;
};

// Wine's log of one run: the file the scenario runner sends Wine's standard
// error to. Programs that the driver starts write their Wine messages there.
class WineLog {
public:
    // unixPath: the log file; empty when the runner gave none.
    explicit WineLog(std::string unixPath);
    bool Available() const { return !m_path.empty(); }
    // Remembers the end of the log; Since() reads what came after.
    void Mark();
    // Lines written since Mark() by process pid (Wine prefixes each line with
    // it under WINEDEBUG=+pid), plus Wine's unhandled-exception notices,
    // which carry no process id.
    std::vector<std::string> Since(DWORD pid) const;
    // Of those, the lines that report an exception: one Wine swallowed inside
    // a window procedure (err:seh) or one that ended the program.
    std::vector<std::string> Exceptions(DWORD pid) const;

private:
    std::wstring m_path;
    unsigned long long m_mark = 0;
};

// The processes that process pid started and that still run.
std::vector<DWORD> ChildrenOf(DWORD pid);

// The Windows key code of a key name ("enter", "escape", "f1", "tab", ...) or
// of a decimal code; 0 when unknown.
WORD KeyCode(std::string_view name);

} // namespace gui
