#include "GuiDriver.h"

#include "Picture.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <thread>

namespace gui {

namespace {

constexpr int kFirstPage = 1;
constexpr int kLastPage = 30;
// A message box's text is the static with this id (Windows and Wine alike).
constexpr int kMessageBoxText = 0xFFFF;
// How long a helper thread may wait for a handler before it gives up; far
// beyond any action limit, so that only a hung program reaches it.
constexpr UINT kHelperLimitMs = 10 * 60 * 1000;
constexpr DWORD kPollMs = 10;

std::string Hex(UINT_PTR value)
{
    char buf[32];
    snprintf(buf, sizeof(buf), "%llx", static_cast<unsigned long long>(value));
    return buf;
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[128] = L"";
    ::GetClassNameW(hwnd, name, 128);
    return name;
}

bool IsDialogClass(HWND hwnd)
{
    return ClassOf(hwnd) == L"#32770";
}

bool IsMessageBox(HWND hwnd)
{
    return IsDialogClass(hwnd) && ::GetDlgItem(hwnd, kMessageBoxText) != nullptr;
}

// WM_GETTEXT, which reads a control's text also across processes (where
// GetWindowText answers only a window's caption).
std::wstring WindowText(HWND hwnd)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, Wizard::kActionLimitMs, &length))
        throw DriverError("the program does not answer WM_GETTEXTLENGTH (busy or hung)");
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR got = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                          Wizard::kActionLimitMs, &got);
    text.resize(std::min<size_t>(got, length));
    return text;
}

LRESULT Query(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, Wizard::kActionLimitMs, &result))
        throw DriverError("the program does not answer message 0x" + Hex(msg) + " (busy or hung)");
    return static_cast<LRESULT>(result);
}

template <typename Pred> bool WaitFor(Pred pred, DWORD limitMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (pred())
            return true;
        if (::GetTickCount() - start >= limitMs)
            return false;
        ::Sleep(kPollMs);
    }
}

INPUT KeyInput(WORD vk, WORD scan, DWORD flags)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
    return in;
}

INPUT MouseInput(POINT at, DWORD flags)
{
    // Absolute positions are in 1/65536 of the primary screen.
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (at.x * 65536 + width / 2) / width;
    in.mi.dy = (at.y * 65536 + height / 2) / height;
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

void Send(std::vector<INPUT>& inputs, const char* what)
{
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        throw DriverError(std::string(what) + ": SendInput delivered " + std::to_string(sent) + " of " +
                          std::to_string(inputs.size()) + " events");
}

std::string DescribeWindow(HWND hwnd)
{
    std::string out = "0x" + Hex(reinterpret_cast<UINT_PTR>(hwnd));
    out += " " + Narrow(ClassOf(hwnd));
    out += " id " + std::to_string(::GetDlgCtrlID(hwnd));
    wchar_t caption[128] = L"";
    ::GetWindowTextW(hwnd, caption, 128);
    if (*caption)
        out += " \"" + Narrow(caption) + "\"";
    return out;
}

} // namespace

std::string Narrow(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromUnixPath(std::string_view unixPath)
{
    std::wstring out = L"Z:";
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, unixPath.data(), static_cast<int>(unixPath.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, unixPath.data(), static_cast<int>(unixPath.size()), wide.data(), n);
    for (wchar_t c : wide)
        out += c == L'/' ? L'\\' : c;
    return out;
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

bool MakeFolders(const std::wstring& folder)
{
    if (folder.empty())
        return false;
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::wstring parent = FolderOf(folder);
    // Stop at a drive root ("Z:"), which always exists.
    if (!parent.empty() && parent.back() != L':')
        MakeFolders(parent);
    return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

std::vector<DWORD> ChildrenOf(DWORD pid)
{
    std::vector<DWORD> children;
    Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return children;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
        if (entry.th32ParentProcessID == pid)
            children.push_back(entry.th32ProcessID);
    return children;
}

Handle& Handle::operator=(Handle&& other) noexcept
{
    if (this != &other) {
        Reset(other.m_h);
        other.m_h = nullptr;
    }
    return *this;
}

void Handle::Reset(HANDLE h)
{
    if (m_h && m_h != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_h);
    m_h = h;
}

// The state a helper thread shares with the driver; it outlives the driver's
// wait when the handler keeps running.
struct Wizard::Busy {
    std::atomic<bool> done{false};
};

Wizard::Wizard(std::wstring exe, std::wstring shots) : m_exe(std::move(exe)), m_shots(std::move(shots)) {}

Wizard::~Wizard()
{
    Kill();
}

void Wizard::Start(const Launch& launch)
{
    if (IsRunning())
        throw DriverError("Start: the program runs already");
    if (::GetFileAttributesW(m_exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw DriverError("Start: no program at " + Narrow(m_exe));

    std::wstring commandLine = L"\"" + m_exe + L"\"";
    if (!launch.arguments.empty())
        commandLine += L" " + launch.arguments;

    // The driver's environment, with the program's own WINEDEBUG.
    std::vector<std::wstring> variables;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
            std::wstring entry = p;
            if (!launch.wineDebug.empty() && _wcsnicmp(entry.c_str(), L"WINEDEBUG=", 10) == 0)
                continue;
            variables.push_back(entry);
        }
        ::FreeEnvironmentStringsW(block);
    }
    if (!launch.wineDebug.empty())
        variables.push_back(L"WINEDEBUG=" + launch.wineDebug);
    std::sort(variables.begin(), variables.end(),
              [](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
    std::wstring environment;
    for (const std::wstring& v : variables)
        environment += v + L'\0';
    environment += L'\0';

    STARTUPINFOW si{};
    si.cb = sizeof(si);
    Handle output;
    if (!launch.outputFile.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        MakeFolders(FolderOf(launch.outputFile));
        output.Reset(::CreateFileW(launch.outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!output)
            throw DriverError("Start: cannot create " + Narrow(launch.outputFile));
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = output.Get();
        si.hStdError = output.Get();
    }

    PROCESS_INFORMATION pi{};
    const std::wstring folder = FolderOf(m_exe);
    if (!::CreateProcessW(m_exe.c_str(), commandLine.data(), nullptr, nullptr, output ? TRUE : FALSE,
                          CREATE_UNICODE_ENVIRONMENT, environment.data(), folder.empty() ? nullptr : folder.c_str(),
                          &si, &pi))
        throw DriverError("Start: CreateProcess failed with error " + std::to_string(::GetLastError()) + " for " +
                          Narrow(commandLine));
    ::CloseHandle(pi.hThread);
    m_process.Reset(pi.hProcess);
    m_pid = pi.dwProcessId;
    m_main = nullptr;

    const bool ended = WaitFor(
        [this] {
            m_main = FindMainWindow();
            return m_main != nullptr || ::WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0;
        },
        kStartLimitMs);
    if (!m_main) {
        DWORD code = 0;
        ::GetExitCodeProcess(m_process.Get(), &code);
        if (ended)
            throw DriverError("Start: the program ended with exit code " + std::to_string(code) +
                              " before its window appeared (" + Narrow(commandLine) + ")");
        throw DriverError("Start: no main window within " + std::to_string(kStartLimitMs) + " ms (" +
                          Narrow(commandLine) + ")");
    }
    m_thread = ::GetWindowThreadProcessId(m_main, nullptr);
}

void Wizard::Attach(HWND mainWindow)
{
    if (!::IsWindow(mainWindow))
        throw DriverError("Attach: not a window");
    m_process.Reset();
    m_main = mainWindow;
    m_thread = ::GetWindowThreadProcessId(mainWindow, &m_pid);
}

HWND Wizard::FindMainWindow() const
{
    struct Search {
        DWORD pid;
        HWND found;
    } search{m_pid, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            if (pid != s->pid || !::IsWindowVisible(hwnd) || ::GetWindow(hwnd, GW_OWNER) || !IsDialogClass(hwnd))
                return TRUE;
            // The main window is the one that holds the pages.
            HWND first = ::GetDlgItem(hwnd, kFirstPage);
            if (first && IsDialogClass(first)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Wizard::IsRunning() const
{
    if (m_process)
        return ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
    return m_main && ::IsWindow(m_main);
}

void Wizard::RequireMain(const char* action) const
{
    if (!m_main || !::IsWindow(m_main))
        throw DriverError(std::string(action) + ": the wizard's window is gone");
}

void Wizard::Close()
{
    RequireMain("Close");
    // Posted, as the close box's own command is: the handler ends the modal
    // loop, and a sent message would wait on that.
    ::PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
}

DWORD Wizard::WaitForExit(DWORD limitMs)
{
    if (!m_process)
        throw DriverError("WaitForExit: the driver did not start this program");
    if (::WaitForSingleObject(m_process.Get(), limitMs) != WAIT_OBJECT_0)
        throw DriverError("the program still runs " + std::to_string(limitMs) + " ms later; " + Describe());
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

void Wizard::Kill()
{
    if (!m_process || ::WaitForSingleObject(m_process.Get(), 0) != WAIT_TIMEOUT)
        return;
    // What the program started goes too: after an unhandled exception that
    // is Wine's debugger, which would otherwise wait on its crash dialog.
    const std::vector<DWORD> children = ChildrenOf(m_pid);
    ::TerminateProcess(m_process.Get(), 1);
    ::WaitForSingleObject(m_process.Get(), kActionLimitMs);
    for (DWORD child : children) {
        Handle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, child));
        if (process) {
            ::TerminateProcess(process.Get(), 1);
            ::WaitForSingleObject(process.Get(), kActionLimitMs);
        }
    }
}

std::wstring Wizard::Title() const
{
    RequireMain("Title");
    return WindowText(m_main);
}

SIZE Wizard::ClientSize() const
{
    RequireMain("ClientSize");
    RECT rc{};
    ::GetClientRect(m_main, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

HWND Wizard::PageWindow(int page) const
{
    HWND hwnd = m_main ? ::GetDlgItem(m_main, page) : nullptr;
    return hwnd && IsDialogClass(hwnd) ? hwnd : nullptr;
}

std::vector<int> Wizard::VisiblePages() const
{
    std::vector<int> pages;
    for (int n = kFirstPage; n <= kLastPage; ++n) {
        HWND page = PageWindow(n);
        if (page && (::GetWindowLongPtrW(page, GWL_STYLE) & WS_VISIBLE))
            pages.push_back(n);
    }
    return pages;
}

int Wizard::VisiblePage() const
{
    const std::vector<int> pages = VisiblePages();
    return pages.size() == 1 ? pages.front() : 0;
}

void Wizard::ExpectPage(int page, DWORD limitMs)
{
    RequireMain("ExpectPage");
    if (WaitFor([&] { return VisiblePages() == std::vector<int>{page}; }, limitMs))
        return;
    throw DriverError("expected page " + std::to_string(page) + " alone after " + std::to_string(limitMs) + " ms; " +
                      Describe());
}

std::vector<HWND> Wizard::Windows() const
{
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{m_pid, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            if (pid == s->pid && ::IsWindowVisible(hwnd))
                s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Wizard::Popups() const
{
    std::vector<HWND> popups = Windows();
    popups.erase(std::remove(popups.begin(), popups.end(), m_main), popups.end());
    return popups;
}

std::string Wizard::Describe() const
{
    std::string out = "visible pages [";
    const std::vector<int> pages = VisiblePages();
    for (size_t i = 0; i < pages.size(); ++i)
        out += (i ? "," : "") + std::to_string(pages[i]);
    out += "]";
    for (HWND popup : Popups()) {
        out += "; pop-up " + DescribeWindow(popup);
        if (IsMessageBox(popup)) {
            // Part of an error report: an unreadable text must not hide the error.
            try {
                out += " saying \"" + Narrow(WindowText(::GetDlgItem(popup, kMessageBoxText))) + "\"";
            } catch (const DriverError&) {
                out += " (its text unreadable)";
            }
        }
    }
    if (HWND focus = FocusWindow())
        out += "; focus " + DescribeWindow(focus);
    return out;
}

HWND Wizard::Control(int id) const
{
    RequireMain("Control");
    // A pop-up such as the password prompt sits over the page and takes the input.
    for (HWND popup : Popups()) {
        if (IsMessageBox(popup))
            continue;
        if (HWND control = ::GetDlgItem(popup, id))
            return control;
    }
    const int page = VisiblePage();
    if (HWND control = page ? ::GetDlgItem(PageWindow(page), id) : nullptr)
        return control;
    throw DriverError("no control " + std::to_string(id) + " on the visible page or pop-up; " + Describe());
}

bool Wizard::HasControl(int id) const
{
    try {
        return Control(id) != nullptr;
    } catch (const DriverError&) {
        return false;
    }
}

HWND Wizard::DialogOf(HWND control) const
{
    return ::GetParent(control);
}

std::wstring Wizard::Text(int id) const
{
    return WindowText(Control(id));
}

bool Wizard::IsChecked(int id) const
{
    return Query(Control(id), BM_GETCHECK) == BST_CHECKED;
}

std::vector<std::wstring> Wizard::ListEntries(int id) const
{
    HWND combo = Control(id);
    const LRESULT count = Query(combo, CB_GETCOUNT);
    std::vector<std::wstring> entries;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Query(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const LRESULT got = Query(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
        entries.push_back(text);
    }
    return entries;
}

int Wizard::ListSelection(int id) const
{
    return static_cast<int>(Query(Control(id), CB_GETCURSEL));
}

bool Wizard::IsListOpen(int id) const
{
    return Query(Control(id), CB_GETDROPPEDSTATE) != 0;
}

HWND Wizard::FocusWindow() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!m_thread || !::GetGUIThreadInfo(m_thread, &info))
        return nullptr;
    return info.hwndFocus;
}

void Wizard::Settle() const
{
    RoundTrips();
}

bool Wizard::RoundTrips() const
{
    if (!m_main)
        return false;
    // A sent message is handled only when the program's thread looks at its
    // queue again, so a round trip means the handler before it has returned.
    // Real input arrives through the server a moment later: a pause, and a
    // second round trip for what that input started.
    DWORD_PTR ignored = 0;
    if (!::SendMessageTimeoutW(m_main, WM_NULL, 0, 0, SMTO_NORMAL, kActionLimitMs, &ignored))
        return false;
    ::Sleep(100);
    return ::SendMessageTimeoutW(m_main, WM_NULL, 0, 0, SMTO_NORMAL, kActionLimitMs, &ignored) != 0;
}

Outcome Wizard::SendAction(HWND target, UINT msg, WPARAM wParam, LPARAM lParam,
                           const std::shared_ptr<std::wstring>& keepAlive)
{
    const std::vector<HWND> before = Popups();
    auto busy = std::make_shared<Busy>();
    // A handler that opens a message box returns only when the box closes, so
    // the message goes out from a helper thread while this one watches.
    std::thread([busy, target, msg, wParam, lParam, keepAlive] {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(target, msg, wParam, lParam, SMTO_NORMAL, kHelperLimitMs, &ignored);
        busy->done = true;
    }).detach();

    Outcome outcome = Outcome::StillBusy;
    WaitFor(
        [&] {
            if (busy->done) {
                outcome = Outcome::Returned;
                return true;
            }
            for (HWND popup : Popups()) {
                if (std::find(before.begin(), before.end(), popup) == before.end()) {
                    outcome = Outcome::PopupShown;
                    return true;
                }
            }
            return false;
        },
        kActionLimitMs);
    return outcome;
}

void Wizard::BringToFront() const
{
    RequireMain("BringToFront");
    // Real input goes to the active window: the open pop-up, else the main window.
    HWND target = ::GetLastActivePopup(m_main);
    if (!target || !::IsWindowVisible(target))
        target = m_main;
    if (::GetForegroundWindow() == target)
        return;
    ::SetForegroundWindow(target);
    if (!WaitFor([&] { return ::GetForegroundWindow() == target; }, kActionLimitMs))
        throw DriverError("cannot bring " + DescribeWindow(target) +
                          " to the front, so real input would go elsewhere; foreground is " +
                          DescribeWindow(::GetForegroundWindow()));
}

Outcome Wizard::ClickLabel(int id, Input how)
{
    HWND label = Control(id);
    if (!(::GetWindowLongPtrW(label, GWL_STYLE) & SS_NOTIFY))
        throw DriverError("label " + std::to_string(id) +
                          " does not report clicks (no SS_NOTIFY): " + DescribeWindow(label));
    if (!::IsWindowVisible(label))
        throw DriverError("label " + std::to_string(id) + " is hidden; " + Describe());

    if (how == Input::Message)
        return SendAction(DialogOf(label), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(label));

    RECT rc{};
    ::GetWindowRect(label, &rc);
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        throw DriverError("label " + std::to_string(id) + " has no area to click: " + DescribeWindow(label));
    BringToFront();
    const POINT centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    HWND hit = ::WindowFromPoint(centre);
    if (hit != label)
        throw DriverError("label " + std::to_string(id) + " is covered at its centre (" + std::to_string(centre.x) +
                          "," + std::to_string(centre.y) + ") by " + DescribeWindow(hit));

    const std::vector<HWND> before = Popups();
    std::vector<INPUT> inputs{MouseInput(centre, 0), MouseInput(centre, MOUSEEVENTF_LEFTDOWN),
                              MouseInput(centre, MOUSEEVENTF_LEFTUP)};
    Send(inputs, "ClickLabel");
    const bool idle = RoundTrips();
    for (HWND popup : Popups())
        if (std::find(before.begin(), before.end(), popup) == before.end())
            return Outcome::PopupShown;
    return idle ? Outcome::Returned : Outcome::StillBusy;
}

bool Wizard::ClickPoint(int id, POINT client)
{
    HWND control = Control(id);
    if (!::IsWindowVisible(control))
        throw DriverError("control " + std::to_string(id) + " is hidden; " + Describe());
    BringToFront();
    POINT at = client;
    ::ClientToScreen(control, &at);
    if (::WindowFromPoint(at) != control)
        return false;
    std::vector<INPUT> inputs{MouseInput(at, 0), MouseInput(at, MOUSEEVENTF_LEFTDOWN),
                              MouseInput(at, MOUSEEVENTF_LEFTUP)};
    Send(inputs, "ClickPoint");
    RoundTrips();
    return true;
}

Outcome Wizard::ClickButton(int id)
{
    HWND button = Control(id);
    if (!::IsWindowEnabled(button) || !::IsWindowVisible(button))
        throw DriverError("button " + std::to_string(id) + " cannot be pressed (hidden or disabled)");
    return SendAction(button, BM_CLICK, 0, 0);
}

bool Wizard::Tick(int id)
{
    HWND box = Control(id);
    const LONG_PTR type = ::GetWindowLongPtrW(box, GWL_STYLE) & BS_TYPEMASK;
    const bool checkable =
        ClassOf(box) == L"Button" && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                                      type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
    if (!checkable)
        throw DriverError("control " + std::to_string(id) +
                          " is not a check box or radio button: " + DescribeWindow(box));
    if (!::IsWindowEnabled(box) || !::IsWindowVisible(box))
        throw DriverError("control " + std::to_string(id) + " cannot be ticked (hidden or disabled)");
    SendAction(box, BM_CLICK, 0, 0);
    return IsChecked(id);
}

void Wizard::Focus(int id)
{
    HWND control = Control(id);
    BringToFront();
    // The dialog moves the focus itself, in its own thread, as Tab would.
    Query(DialogOf(control), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    const bool focused = WaitFor(
        [&] {
            HWND focus = FocusWindow();
            return focus == control || (focus && ::IsChild(control, focus));
        },
        kActionLimitMs);
    if (!focused)
        throw DriverError("control " + std::to_string(id) + " does not take the focus; " + Describe());
}

void Wizard::PressKey(WORD vk, bool shift)
{
    BringToFront();
    const WORD scan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    // The cursor block shares its scan codes with the number pad; the
    // extended flag tells them apart, as the keyboard itself does.
    const bool extended = (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE;
    const DWORD flags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
    std::vector<INPUT> inputs{KeyInput(vk, scan, flags), KeyInput(vk, scan, flags | KEYEVENTF_KEYUP)};
    if (shift) {
        const WORD shiftScan = static_cast<WORD>(::MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
        inputs.insert(inputs.begin(), KeyInput(VK_SHIFT, shiftScan, 0));
        inputs.push_back(KeyInput(VK_SHIFT, shiftScan, KEYEVENTF_KEYUP));
    }
    Send(inputs, "PressKey");
    Settle();
}

void Wizard::TypeText(int id, std::wstring_view text, Input how)
{
    HWND edit = Control(id);
    const size_t before = WindowText(edit).size();
    if (how == Input::Message) {
        for (wchar_t c : text)
            ::PostMessageW(edit, WM_CHAR, c, 1);
    } else {
        if (FocusWindow() != edit)
            Focus(id);
        std::vector<INPUT> inputs;
        for (wchar_t c : text) {
            inputs.push_back(KeyInput(0, c, KEYEVENTF_UNICODE));
            inputs.push_back(KeyInput(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
        }
        Send(inputs, "TypeText");
    }
    WaitText(edit, before + text.size());
}

void Wizard::WaitText(HWND edit, size_t expectedLength) const
{
    // Typed characters arrive one by one; the text is done when it reaches the
    // expected length, or stops changing (the field's limit cut it short).
    Settle();
    std::wstring last = WindowText(edit);
    int steady = 0;
    WaitFor(
        [&] {
            const std::wstring now = WindowText(edit);
            steady = now == last ? steady + 1 : 0;
            last = now;
            return now.size() >= expectedLength || steady >= 20;
        },
        kActionLimitMs);
}

void Wizard::SetText(int id, const std::wstring& text)
{
    auto copy = std::make_shared<std::wstring>(text);
    SendAction(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy->c_str()), copy);
}

void Wizard::OpenList(int id)
{
    HWND combo = Control(id);
    if (ClassOf(combo) != L"ComboBox")
        throw DriverError("control " + std::to_string(id) + " is not a list: " + DescribeWindow(combo));
    SendAction(combo, CB_SHOWDROPDOWN, TRUE, 0);
    if (!WaitFor([&] { return Query(combo, CB_GETDROPPEDSTATE) != 0; }, kActionLimitMs))
        throw DriverError("the list " + std::to_string(id) + " does not drop down; " + Describe());
}

Outcome Wizard::PickListEntry(int id, int index)
{
    HWND combo = Control(id);
    const int count = static_cast<int>(Query(combo, CB_GETCOUNT));
    if (index < 0 || index >= count) {
        std::string entries;
        for (const std::wstring& e : ListEntries(id))
            entries += " \"" + Narrow(e) + "\"";
        throw DriverError("list " + std::to_string(id) + " has no entry " + std::to_string(index) + "; it holds " +
                          std::to_string(count) + ":" + entries);
    }
    // Close the list first: closing it programmatically counts as a cancel,
    // and the pick below must stand.
    if (Query(combo, CB_GETDROPPEDSTATE))
        Query(combo, CB_SHOWDROPDOWN, FALSE);
    Query(combo, CB_SETCURSEL, static_cast<WPARAM>(index));
    if (Query(combo, CB_GETCURSEL) != index)
        throw DriverError("list " + std::to_string(id) + " does not take entry " + std::to_string(index));
    // CB_SETCURSEL notifies nobody; a person's pick sends CBN_SELCHANGE.
    return SendAction(DialogOf(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(combo));
}

Outcome Wizard::PickListEntry(int id, const std::wstring& text)
{
    const std::vector<std::wstring> entries = ListEntries(id);
    const auto at = std::find(entries.begin(), entries.end(), text);
    if (at == entries.end()) {
        std::string all;
        for (const std::wstring& e : entries)
            all += " \"" + Narrow(e) + "\"";
        throw DriverError("list " + std::to_string(id) + " has no entry \"" + Narrow(text) + "\"; it holds" +
                          (all.empty() ? std::string(" nothing") : all));
    }
    return PickListEntry(id, static_cast<int>(at - entries.begin()));
}

int Wizard::TimerTicks(UINT_PTR timerId, int count)
{
    RequireMain("TimerTicks");
    const int page = VisiblePage();
    if (!page)
        throw DriverError("TimerTicks: no single visible page; " + Describe());
    HWND target = PageWindow(page);
    int delivered = 0;
    while (delivered < count) {
        // Sent, not posted: a sent tick is handled before the call returns, so
        // the next one never overtakes it and the count is exact.
        const Outcome outcome = SendAction(target, WM_TIMER, timerId, 0);
        ++delivered;
        if (outcome != Outcome::Returned || VisiblePage() != page)
            break;
    }
    return delivered;
}

std::optional<MessageBoxInfo> Wizard::FindMessageBox() const
{
    for (HWND popup : Popups()) {
        if (IsMessageBox(popup))
            return MessageBoxInfo{popup, WindowText(popup), WindowText(::GetDlgItem(popup, kMessageBoxText))};
    }
    return std::nullopt;
}

MessageBoxInfo Wizard::WaitForMessageBox(DWORD limitMs)
{
    RequireMain("WaitForMessageBox");
    std::optional<MessageBoxInfo> box;
    if (!WaitFor([&] { return (box = FindMessageBox()).has_value(); }, limitMs))
        throw DriverError("no message box within " + std::to_string(limitMs) + " ms; " + Describe());
    return *box;
}

void Wizard::AnswerMessageBox(int button, DWORD limitMs)
{
    const MessageBoxInfo box = WaitForMessageBox(limitMs);
    HWND control = ::GetDlgItem(box.window, button);
    if (!control || !::IsWindowVisible(control)) {
        std::string buttons;
        for (HWND child = ::GetWindow(box.window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            if (ClassOf(child) == L"Button" && ::IsWindowVisible(child))
                buttons += " " + std::to_string(::GetDlgCtrlID(child));
        throw DriverError("the message box \"" + Narrow(box.text) + "\" has no button " + std::to_string(button) +
                          "; its buttons:" + buttons);
    }
    // Posted: the box ends its own modal loop, which the driver must not wait inside.
    ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    if (!WaitFor([&] { return !::IsWindow(box.window) || !::IsWindowVisible(box.window); }, limitMs))
        throw DriverError("the message box \"" + Narrow(box.text) + "\" stays open after button " +
                          std::to_string(button));
    Settle();
}

HWND Wizard::WaitForPopup(int controlId, DWORD limitMs)
{
    RequireMain("WaitForPopup");
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND popup : Popups())
                if (!IsMessageBox(popup) && ::GetDlgItem(popup, controlId))
                    return (found = popup) != nullptr;
            return false;
        },
        limitMs);
    if (!found)
        throw DriverError("no pop-up with control " + std::to_string(controlId) + " within " + std::to_string(limitMs) +
                          " ms; " + Describe());
    return found;
}

std::wstring Wizard::Screenshot(const std::wstring& name)
{
    RequireMain("Screenshot");
    if (!MakeFolders(m_shots))
        throw DriverError("Screenshot: cannot create the folder " + Narrow(m_shots));
    BringToFront();
    // Let the program paint what the last action changed.
    Settle();
    RECT rc{};
    ::GetWindowRect(m_main, &rc);
    const std::wstring path = m_shots + L"\\" + name + L".png";
    std::string error;
    if (!SaveScreenPng(rc, path, &error))
        throw DriverError("Screenshot " + Narrow(path) + ": " + error);
    return path;
}

std::wstring Wizard::Screenshot(std::string_view name)
{
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), wide.data(), n);
    return Screenshot(wide);
}

// --- Wine's log

WineLog::WineLog(std::string unixPath) : m_path(unixPath.empty() ? std::wstring() : FromUnixPath(unixPath)) {}

namespace {
std::string ReadFrom(const std::wstring& path, unsigned long long offset)
{
    Handle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    ::SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN);
    std::string text;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buf, sizeof(buf), &got, nullptr) && got > 0)
        text.append(buf, got);
    return text;
}
} // namespace

void WineLog::Mark()
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    m_mark = 0;
    if (!m_path.empty() && ::GetFileAttributesExW(m_path.c_str(), GetFileExInfoStandard, &data))
        m_mark = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::string> WineLog::Since(DWORD pid) const
{
    std::vector<std::string> lines;
    if (m_path.empty())
        return lines;
    char prefix[16];
    snprintf(prefix, sizeof(prefix), "%04lx:", static_cast<unsigned long>(pid));
    const std::string text = ReadFrom(m_path, m_mark);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Wine's notice of an unhandled exception names a thread, not a process.
        if (line.rfind(prefix, 0) == 0 || line.find("wine: Unhandled") != std::string::npos)
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> WineLog::Exceptions(DWORD pid) const
{
    std::vector<std::string> found;
    for (const std::string& line : Since(pid))
        if (line.find(":err:seh:") != std::string::npos || line.find("wine: Unhandled") != std::string::npos)
            found.push_back(line);
    return found;
}

WORD KeyCode(std::string_view name)
{
    std::string key;
    for (char c : name)
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    struct Named {
        const char* name;
        WORD vk;
    };
    static constexpr Named kNames[] = {
        {"enter", VK_RETURN}, {"return", VK_RETURN},  {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE}, {"tab", VK_TAB},
        {"space", VK_SPACE},  {"backspace", VK_BACK}, {"delete", VK_DELETE}, {"up", VK_UP},      {"down", VK_DOWN},
        {"left", VK_LEFT},    {"right", VK_RIGHT},    {"home", VK_HOME},     {"end", VK_END},
    };
    for (const Named& n : kNames)
        if (key == n.name)
            return n.vk;
    if (key.size() >= 2 && key[0] == 'f' && key.find_first_not_of("0123456789", 1) == std::string::npos) {
        const int n = std::atoi(key.c_str() + 1);
        return n >= 1 && n <= 24 ? static_cast<WORD>(VK_F1 + n - 1) : 0;
    }
    if (!key.empty() && key.size() <= 3 && key.find_first_not_of("0123456789") == std::string::npos) {
        const int code = std::atoi(key.c_str());
        return code > 0 && code < 256 ? static_cast<WORD>(code) : 0;
    }
    return 0;
}

} // namespace gui
