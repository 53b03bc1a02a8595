// The window layer: binding, reflection of notifications to the child's own
// object, the modal loop's message filter, and unbinding on destruction.
#include "Controls.h"
#include "Dialog.h"
#include "Gdi.h"
#include "WinTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

// A label that takes its own clicks, as the wizard's labels do.
class ClickCountingLabel : public CStatic {
public:
    int clicks = 0;

protected:
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) override
    {
        if (msg == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
            ++clicks;
            *result = 0;
            return TRUE;
        }
        return FALSE;
    }
};

class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_WAITDLG) {}
    ClickCountingLabel next;
    int commands = 0;
    int initCalls = 0;
    int swallowed = 0;

protected:
    BOOL OnInitDialog() override
    {
        ++initCalls;
        next.SubclassDlgItem(IDC_WAIT_MESSAGE, *this);
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        // Only clicks: the field also reports its focus changes.
        if (HIWORD(wParam) == BN_CLICKED)
            ++commands;
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
            ++swallowed;
            return TRUE;
        }
        return CDialog::PreTranslateMessage(msg);
    }
};

} // namespace

TEST(Framework, ObjectIsBoundFromTheFirstMessageAndReleasedWithTheWindow)
{
    ProbeDialog dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(CWnd::FromHandle(dlg.m_hWnd), &dlg);
    HWND label = dlg.GetDlgItem(IDC_WAIT_MESSAGE);
    EXPECT_EQ(CWnd::FromHandle(label), &dlg.next);

    HWND hwnd = dlg.m_hWnd;
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.next.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(Framework, ChildNotificationsReachTheChildObjectFirst)
{
    ProbeDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND label = dlg.GetDlgItem(IDC_WAIT_MESSAGE);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WAIT_MESSAGE, STN_CLICKED), reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(dlg.next.clicks, 1);
    EXPECT_EQ(dlg.commands, 0);
    // A control without an object of its own goes to the dialog's OnCommand.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WAIT_OK, BN_CLICKED),
                    reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_WAIT_OK)));
    EXPECT_EQ(dlg.commands, 1);
}

TEST(Framework, ObjectDestroyedBeforeItsWindowLeavesNoDanglingBinding)
{
    HWND hwnd = nullptr;
    {
        ProbeDialog dlg;
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.m_hWnd;
    }
    // The window may outlive its object; its messages must not reach freed memory.
    EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_WAIT_MESSAGE, STN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, IDC_WAIT_MESSAGE)));
    ::DestroyWindow(hwnd);
}

TEST(Framework, ModalLoopOffersKeysToPreTranslateAndEndsWithTheResult)
{
    ProbeDialog dlg;
    // Post before the loop starts: the first messages it sees.
    ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        HWND active = ::GetActiveWindow();
        ::PostMessageW(active, WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageW(active, WM_USER + 7, 0, 0);
    });
    struct Ender : ProbeDialog {
    protected:
        LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
        {
            if (msg == WM_USER + 7) {
                EndDialog(42);
                return 0;
            }
            return ProbeDialog::WindowProc(msg, w, l);
        }
    } ender;
    EXPECT_EQ(ender.DoModal(), 42);
    EXPECT_EQ(ender.swallowed, 1);
    EXPECT_EQ(ender.m_hWnd, nullptr);
}

TEST(Framework, HoldersReleaseWhatTheyOwn)
{
    fw::CFont font(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
    ASSERT_TRUE(font);
    HFONT raw = font.get();
    fw::CFont moved(std::move(font));
    EXPECT_FALSE(font);
    EXPECT_EQ(moved.get(), raw);
    moved.reset();
    EXPECT_EQ(::GetObjectType(raw), 0u); // deleted

    fw::CFindHandle none(::FindFirstFileW(L"C:\\no-such-folder\\*", nullptr));
    EXPECT_FALSE(none);
}
