#pragma once
// The wizard in-process over a scratch copy of its language files and
// pictures, for the page tests: the main window created modeless, pages
// driven by the notifications their controls send, message boxes answered
// from a helper thread.
#include "PageBase.h"
#include "RouterOps.h"
#include "TestDesktop.h"
#include "TarvoDlg.h"
#include "WinTestSupport.h"
#include "wizard_router_fake.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <future>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace pagetest {

inline std::wstring ReadIni(const std::wstring& file, const wchar_t* section, const std::wstring& key)
{
    wchar_t value[1024] = L"";
    ::GetPrivateProfileStringW(section, key.c_str(), L"", value, 1024, file.c_str());
    return value;
}

// The wizard with its language files and pictures in a folder of the test.
// It reaches no network unless a test gives it a link of its own: page 5
// starts its router exchange and Internet check by itself.
class TestDlg : public CTarvoDlg {
public:
    explicit TestDlg(std::wstring folder) : m_folder(std::move(folder)) { Session().SetRouterLink(&m_nowhere); }
    // Presses on a page that reached the main window as the start of a drag.
    int dragStarts = 0;

protected:
    std::wstring ProgramFolder() const override { return m_folder; }
    // The run log goes to the test's folder too, removed with it.
    std::wstring LogFolder() const override { return m_folder; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
            ++dragStarts;
            return 0; // no modal move loop inside a test
        }
        return CTarvoDlg::WindowProc(msg, wParam, lParam);
    }

private:
    std::wstring m_folder;
    CUnreachableRouterLink m_nowhere;
};

// What a message box showed before the helper pressed its OK button.
struct BoxSeen {
    bool shown = false;
    std::wstring caption;
    std::wstring text;
    int buttons = 0;
};

// Waits on another thread for a message box of the UI thread and presses
// OK. A box blocks the action that opens it, so once the action has
// returned, Result() knows whether one was shown.
class BoxAnswerer {
public:
    BoxAnswerer(DWORD uiThread, std::vector<HWND> ignore, DWORD limitMs = 5000)
    {
        m_result = std::async(std::launch::async, [this, uiThread, ignore = std::move(ignore), limitMs] {
            BoxSeen seen;
            const DWORD start = ::GetTickCount();
            while (!m_done && ::GetTickCount() - start < limitMs) {
                HWND box = FindBox(uiThread, ignore);
                if (box) {
                    seen.shown = true;
                    seen.caption = Text(box);
                    seen.text = Text(::GetDlgItem(box, 0xFFFF));
                    for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                        wchar_t cls[32] = L"";
                        ::GetClassNameW(c, cls, 32);
                        seen.buttons += _wcsicmp(cls, L"Button") == 0 ? 1 : 0;
                    }
                    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
                    return seen;
                }
                ::Sleep(10);
            }
            return seen;
        });
    }
    ~BoxAnswerer()
    {
        m_done = true;
        if (m_result.valid())
            m_result.wait();
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // Call after the action has returned.
    BoxSeen Result()
    {
        m_done = true;
        return m_result.get();
    }

private:
    static std::wstring Text(HWND hwnd)
    {
        wchar_t text[1024] = L"";
        ::GetWindowTextW(hwnd, text, 1024);
        return text;
    }
    static HWND FindBox(DWORD uiThread, const std::vector<HWND>& ignore)
    {
        struct Search {
            const std::vector<HWND>* ignore;
            HWND found;
        } search{&ignore, nullptr};
        ::EnumThreadWindows(
            uiThread,
            [](HWND hwnd, LPARAM lParam) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lParam);
                wchar_t cls[32] = L"";
                ::GetClassNameW(hwnd, cls, 32);
                if (::IsWindowVisible(hwnd) && wcscmp(cls, L"#32770") == 0 &&
                    std::find(s->ignore->begin(), s->ignore->end(), hwnd) == s->ignore->end()) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    std::atomic<bool> m_done{false};
    std::future<BoxSeen> m_result;
};

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* source = std::getenv("TARVO_SOURCE_DIR");
        ASSERT_TRUE(source && *source) << "TARVO_SOURCE_DIR names the source tree";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        m_folder = wintest::ScratchFolder(std::wstring(name.begin(), name.end()));
        const std::wstring resources = wintest::FromUnixPath(source) + L"\\resources";
        testing_support::CopyFiles(resources + L"\\LANG", m_folder + L"LANG");
        testing_support::CopyFiles(resources + L"\\IMG", m_folder + L"IMG");
        ASSERT_TRUE(wintest::Exists(English())) << "no language file copied to the scratch folder";
        g_uiStr.languageIndex = 0;
    }

    void TearDown() override
    {
        if (m_dlg)
            Settle(); // no router work may outlive the test's stand-ins
        m_dlg.reset();
        g_uiStr.languageIndex = 0;
        RemoveFolder(m_folder);
    }

    // Only the test's own scratch folder: nothing when none was made.
    static void RemoveFolder(const std::wstring& folder)
    {
        if (folder.empty())
            return;
        for (const wchar_t* sub : {L"LANG\\", L"IMG\\", L""}) {
            WIN32_FIND_DATAW data;
            HANDLE find = ::FindFirstFileW((folder + sub + L"*").c_str(), &data);
            if (find != INVALID_HANDLE_VALUE) {
                do {
                    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                        ::DeleteFileW((folder + sub + data.cFileName).c_str());
                } while (::FindNextFileW(find, &data));
                ::FindClose(find);
            }
            ::RemoveDirectoryW((folder + sub).c_str());
        }
    }

    // Creates the wizard (after the test has arranged its files).
    void StartWizard()
    {
        m_dlg = std::make_unique<TestDlg>(m_folder);
        ASSERT_TRUE(m_dlg->Create());
        Pump();
    }

    std::wstring Lang(const std::wstring& file) const { return m_folder + L"LANG\\" + file; }
    std::wstring English() const { return Lang(L"Lang0409.ini"); }
    std::wstring EnglishValue(const std::wstring& key) const { return ReadIni(English(), L"Strings", key); }

    TestDlg& Dlg() const { return *m_dlg; }
    CWizardSession& Session() const { return m_dlg->Session(); }
    // Lets the router work that is in flight end, its result taken. Only the
    // work's own message is taken from the queue: a page's timer does not
    // tick meanwhile, the tests deliver ticks themselves.
    bool Settle() const
    {
        const DWORD start = ::GetTickCount();
        while (Session().Busy()) {
            MSG msg;
            while (::PeekMessageW(&msg, m_dlg->m_hWnd, CTarvoDlg::kMsgRouterWorkDone, CTarvoDlg::kMsgRouterWorkDone,
                                  PM_REMOVE))
                ::DispatchMessageW(&msg);
            if (!Session().Busy())
                break;
            if (::GetTickCount() - start > 10000)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE | QS_SENDMESSAGE);
        }
        return true;
    }
    CWizardPage& Page(int n) const { return *m_dlg->Page(n); }
    HWND Item(int page, int id) const { return ::GetDlgItem(Page(page).m_hWnd, id); }

    std::vector<int> VisiblePages() const
    {
        std::vector<int> visible;
        for (int n = 1; n <= CTarvoDlg::kPageCount; ++n)
            if (Page(n).IsWindowVisible())
                visible.push_back(n);
        return visible;
    }

    static void Pump(DWORD ms = 30)
    {
        wintest::PumpUntil([] { return false; }, ms);
    }

    // What a control's click or change sends to its page.
    void Notify(int page, int id, int code) const
    {
        Page(page).SendMessage(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(page, id)));
    }
    // A click, and the router work it started, if any, to its end.
    void Click(int page, int id) const
    {
        Notify(page, id, STN_CLICKED);
        Settle();
    }

    // A click that may open a message box: the helper answers it.
    BoxSeen ClickAnsweringBox(int page, int id) const
    {
        BoxAnswerer answerer(::GetCurrentThreadId(), OwnDialogs());
        Click(page, id);
        return answerer.Result();
    }

    // The dialogs of the wizard itself, which a box search must pass over.
    std::vector<HWND> OwnDialogs() const
    {
        std::vector<HWND> own{m_dlg->m_hWnd, m_dlg->WaitDialog()->m_hWnd};
        for (int n = 1; n <= CTarvoDlg::kPageCount; ++n)
            own.push_back(Page(n).m_hWnd);
        return own;
    }

    // A message box with the title and message n, OK only, and the page still up.
    void ExpectMessage(const BoxSeen& box, int n, int page) const
    {
        EXPECT_TRUE(box.shown);
        EXPECT_EQ(box.caption, EnglishValue(L"IDS_TITLE"));
        EXPECT_EQ(box.text, EnglishValue(L"IDS_ERROR_MSG" + std::to_wstring(n)));
        EXPECT_EQ(box.buttons, 1) << "OK only";
        EXPECT_EQ(VisiblePages(), std::vector<int>{page});
    }

    // Typing as a person does: one character at a time, so the field's limit applies.
    void Type(int page, int id, const std::wstring& text) const
    {
        for (wchar_t c : text)
            ::SendMessageW(Item(page, id), WM_CHAR, c, 1);
    }
    void SetText(int page, int id, const std::wstring& text) const { ::SetWindowTextW(Item(page, id), text.c_str()); }
    std::wstring Field(int page, int id) const { return TextOf(Item(page, id)); }

    // A control's rectangle in its page's client area.
    RECT PlaceOf(int page, int id) const
    {
        RECT rc{};
        ::GetWindowRect(Item(page, id), &rc);
        ::MapWindowPoints(HWND_DESKTOP, Page(page).m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }

    // The text a label or text block was given, markup and all; its window
    // text (TextOf) is the plain text that a screen reader reads.
    std::wstring MarkupOf(int page, int id) const
    {
        CWnd* control = Page(page).Control(id);
        if (const auto* text = dynamic_cast<const CXHTMLStatic*>(control))
            return text->Markup();
        const auto* label = dynamic_cast<const CPTLabel*>(control);
        return label ? label->Markup() : TextOf(Item(page, id));
    }

    static std::wstring TextOf(HWND hwnd)
    {
        const int len = ::GetWindowTextLengthW(hwnd);
        std::wstring text(static_cast<size_t>(len) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), len + 1)));
        return text;
    }

    std::wstring m_folder;
    std::unique_ptr<TestDlg> m_dlg;
};

// The wizard with a stand-in router link in place of the unreachable one:
// the tests script its answers and read what it was sent. (TearDown ends the
// wizard before the link goes.)
class RouterPagesTest : public PagesTest {
protected:
    void SetUp() override
    {
        PagesTest::SetUp();
        if (HasFatalFailure())
            return;
        StartWizard();
        if (HasFatalFailure())
            return;
        Session().SetRouterLink(&link);
        Dlg().RefreshAllTexts();
    }

    bool WaitDialogUp() const { return Dlg().WaitDialog()->IsWindowVisible() != FALSE; }
    // The password dialog's OK with a password typed.
    void AnswerPassword(const std::wstring& password) const
    {
        CWaitDlg& wait = *Dlg().WaitDialog();
        ::SetWindowTextW(::GetDlgItem(wait.m_hWnd, IDC_WAIT_PASSWORD), password.c_str());
        wait.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WAIT_OK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(::GetDlgItem(wait.m_hWnd, IDC_WAIT_OK)));
        Settle();
    }

    routertest::FakeRouterLink link;
};

inline RECT Rect(int x, int y, int cx, int cy)
{
    return RECT{x, y, x + cx, y + cy};
}

} // namespace pagetest

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& rc)
{
    return out << "(" << rc.left << ", " << rc.top << ") " << rc.right - rc.left << " x " << rc.bottom - rc.top;
}
