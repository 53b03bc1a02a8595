// The toolkit's controls under Wine: the HTML-subset text control, the label
// and the picture painted into bitmaps and looked at pixel by pixel, mouse
// and click handling, and the password dialog.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "Gdi.h"
#include "PTLabel.h"
#include "PTPicture.h"
#include "WaitDlg.h"
#include "WinTestSupport.h"
#include "XHTMLStatic.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A 32-bit top-down bitmap with its own memory DC.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<const DWORD*>(bits);
        m_dc.reset(::CreateCompatibleDC(nullptr));
        m_old = ::SelectObject(m_dc.get(), m_bitmap.get());
        fw::CBrush brush(::CreateSolidBrush(fill));
        const RECT rc{0, 0, width, height};
        ::FillRect(m_dc.get(), &rc, brush.get());
    }
    ~Canvas() { ::SelectObject(m_dc.get(), m_old); }

    HDC dc() const { return m_dc.get(); }
    COLORREF Pixel(int x, int y) const
    {
        ::GdiFlush();
        const DWORD p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(const std::function<bool(COLORREF)>& pred, RECT area) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += pred(Pixel(x, y)) ? 1 : 0;
        return n;
    }
    int Count(const std::function<bool(COLORREF)>& pred) const { return Count(pred, {0, 0, m_width, m_height}); }
    // First row at or below `from` (and above `to`) with a pixel that is not white.
    int FirstInkRow(int from, int to) const
    {
        for (int y = from; y < to; ++y)
            for (int x = 0; x < m_width; ++x)
                if (Pixel(x, y) != kWhite)
                    return y;
        return -1;
    }

private:
    int m_width, m_height;
    fw::CBitmap m_bitmap;
    fw::CMemoryDC m_dc;
    HGDIOBJ m_old = nullptr;
    const DWORD* m_bits = nullptr;
};

bool IsInk(COLORREF c)
{
    return c != kWhite;
}

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return ::DefWindowProcW(h, m, w, l);
}

// A visible top-level window to hold the controls.
HWND MakeParent()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ToolkitControlsParent";
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr,
                             wc.hInstance, nullptr);
}

// A 24-bit bottom-up BMP file of one colour.
std::string SolidBmp(int width, int height, COLORREF colour)
{
    const int stride = (width * 3 + 3) & ~3;
    const int imageSize = stride * height;
    std::string bytes(54 + static_cast<size_t>(imageSize), '\0');
    auto put32 = [&](size_t at, int v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<int>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bytes[26] = 1;
    bytes[28] = 24;
    put32(34, imageSize);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t p = 54 + static_cast<size_t>(y * stride + x * 3);
            bytes[p] = static_cast<char>(GetBValue(colour));
            bytes[p + 1] = static_cast<char>(GetGValue(colour));
            bytes[p + 2] = static_cast<char>(GetRValue(colour));
        }
    return bytes;
}

// Records what a click would open instead of starting a browser.
class CRecordingText : public CXHTMLStatic {
public:
    std::vector<std::wstring> opened;

protected:
    BOOL OpenTarget(const std::wstring& target) override
    {
        opened.push_back(target);
        return TRUE;
    }
};

class ToolkitXhtml : public ::testing::Test {
protected:
    static constexpr int kId = 100;
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 120;

    void SetUp() override
    {
        HWND parent = MakeParent();
        ASSERT_TRUE(m_parent.SubclassWindow(parent));
        m_font.reset(::CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Arial"));
        NewControl(0);
    }

    void TearDown() override
    {
        if (m_text.m_hWnd)
            ::DestroyWindow(m_text.m_hWnd);
        if (m_parent.m_hWnd)
            ::DestroyWindow(m_parent.m_hWnd);
    }

    void NewControl(DWORD exStyle)
    {
        if (m_text.m_hWnd)
            ::DestroyWindow(m_text.m_hWnd);
        HWND child =
            ::CreateWindowExW(exStyle, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 20, kWidth, kHeight, m_parent.m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kId)), ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(m_text.SubclassWindow(child));
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
        m_text.m_crText = kBlack;
        m_text.m_crBackground = kWhite;
    }

    // As a page applies a text: reset, set, render.
    void Show(const std::wstring& text, Canvas& canvas)
    {
        m_text.ResetFormatting();
        m_text.SetWindowText(text);
        Print(canvas);
    }
    void Print(Canvas& canvas) { m_text.SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT); }

    void Click()
    {
        m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(kId, STN_CLICKED), reinterpret_cast<LPARAM>(m_text.m_hWnd));
    }
    // Puts the real cursor on a point of the control's client area.
    void CursorAt(int x, int y)
    {
        POINT pt{x, y};
        ::ClientToScreen(m_text.m_hWnd, &pt);
        ::SetCursorPos(pt.x, pt.y);
    }

    CWnd m_parent;
    CRecordingText m_text;
    fw::CFont m_font;
};

// Counts the clicks its children tell it of.
class CClickCounter : public CWnd {
public:
    int clicks = 0;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        clicks += HIWORD(wParam) == STN_CLICKED && lParam ? 1 : 0;
        return FALSE;
    }
};

class ToolkitLabel : public ::testing::Test {
protected:
    static constexpr int kId = 200;

    void SetUp() override
    {
        ASSERT_TRUE(m_parent.SubclassWindow(MakeParent()));
        HWND label =
            ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 20, 200, 70, m_parent.m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kId)), ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(m_label.SubclassWindow(label));
        // As pages do; without the notify style the mouse passes through a static.
        m_label.SetLabelFont(FALSE, 10, L"Arial");
        m_label.m_lf.lfHeight = -14;
        m_label.m_lf.lfQuality = NONANTIALIASED_QUALITY;
        wcscpy(m_label.m_lf.lfFaceName, L"Arial");
    }
    void TearDown() override
    {
        ::DestroyWindow(m_label.m_hWnd);
        ::DestroyWindow(m_parent.m_hWnd);
    }

    void Paint(Canvas& canvas)
    {
        m_label.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    }
    void CursorOnLabel(bool inside)
    {
        POINT pt = inside ? POINT{50, 35} : POINT{300, 250}; // in the parent
        ::ClientToScreen(m_parent.m_hWnd, &pt);
        ::SetCursorPos(pt.x, pt.y);
    }

    CClickCounter m_parent;
    CPTLabel m_label;
};

} // namespace

TEST_F(ToolkitLabel, SetLabelFontDescribesTheFontAndAddsTheStyles)
{
    m_label.SetLabelFont(TRUE, 12, L"Calibri");
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(m_label.m_lf.lfHeight, -::MulDiv(12, dpi, 72));
    EXPECT_EQ(m_label.m_lf.lfWeight, 700);
    EXPECT_EQ(m_label.m_lf.lfCharSet, 1);
    EXPECT_STREQ(m_label.m_lf.lfFaceName, L"Calibri");
    EXPECT_TRUE(::GetWindowLongPtrW(m_label.m_hWnd, GWL_STYLE) & SS_NOTIFY);
    EXPECT_TRUE(::GetWindowLongPtrW(m_label.m_hWnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT);

    m_label.SetLabelFont(FALSE, 10, std::wstring(40, L'x'));
    EXPECT_EQ(m_label.m_lf.lfWeight, 0);
    EXPECT_EQ(wcslen(m_label.m_lf.lfFaceName), 31u);

    // A language file's size is bounded as the text control bounds its sizes.
    for (int points : {100000, -100000, INT_MAX, INT_MIN}) {
        m_label.SetLabelFont(FALSE, points, L"Arial");
        EXPECT_LE(std::abs(m_label.m_lf.lfHeight), tk::kMaxFontHeight) << points;
        EXPECT_NE(m_label.m_lf.lfHeight, 0) << points;
    }
}

TEST_F(ToolkitLabel, AmpersandIsACharacterNotAnAccessKey)
{
    // Read (by screen readers too) as drawn: a line-feed for a "\\n", "&" as it is.
    m_label.SetWindowText(L"A\\nB & C");
    EXPECT_EQ(m_label.GetWindowText(), L"A\nB & C");
    EXPECT_EQ(m_label.Markup(), L"A\\nB & C");
    EXPECT_TRUE(::GetWindowLongPtrW(m_label.m_hWnd, GWL_STYLE) & SS_NOPREFIX);

    // As an access-key mark, "&" alone would draw nothing and "&&" one "&".
    m_label.SetWindowText(L"&");
    Canvas one(200, 70, kWhite);
    Paint(one);
    m_label.SetWindowText(L"&&");
    Canvas two(200, 70, kWhite);
    Paint(two);
    const int inkOne = one.Count(IsInk);
    EXPECT_GT(inkOne, 10);
    EXPECT_GT(two.Count(IsInk), inkOne * 3 / 2);
}

TEST_F(ToolkitLabel, EnterAndSpaceClickAKeyboardButtonOncePerPress)
{
    m_label.SetFocus();
    wintest::PressKey(VK_RETURN);
    EXPECT_EQ(m_parent.clicks, 0) << "a plain label takes no keys";
    m_label.SetKeyboardButton(true);
    EXPECT_TRUE(::GetWindowLongPtrW(m_label.m_hWnd, GWL_STYLE) & WS_TABSTOP);
    wintest::PressKey(VK_RETURN);
    m_label.SendMessage(WM_KEYDOWN, VK_RETURN, 1 | 1L << 30); // held down: a repeat
    EXPECT_EQ(m_parent.clicks, 1);

    // Space looks pressed while down and clicks when let go, here.
    m_label.SendMessage(WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(m_label.m_nState, CPTLabel::kPressed);
    EXPECT_EQ(m_parent.clicks, 1);
    wintest::PressKey(VK_SPACE);
    EXPECT_EQ(m_parent.clicks, 2);
    m_label.SendMessage(WM_KEYDOWN, VK_SPACE, 1);
    ::SetFocus(m_parent.m_hWnd);
    m_label.SendMessage(WM_KEYUP, VK_SPACE, 1);
    EXPECT_EQ(m_label.m_nState, CPTLabel::kNormal);
    EXPECT_EQ(m_parent.clicks, 2) << "let go after the focus left";
}

TEST_F(ToolkitLabel, FocusedLabelShowsADottedFrameAroundItsText)
{
    m_label.SetWindowText(L"Next");
    Canvas plain(200, 70, kWhite), focused(200, 70, kWhite);
    Paint(plain);
    m_label.SetFocus();
    Paint(focused);
    // The text leaves the top row empty; the frame runs along it, and no further than the text.
    EXPECT_EQ(plain.Count(IsInk, {0, 0, 200, 1}), 0);
    EXPECT_GT(focused.Count(IsInk, {0, 0, 200, 1}), 10);
    EXPECT_EQ(focused.Count(IsInk, {60, 0, 200, 70}), 0);
}

TEST_F(ToolkitLabel, TwoBreaksPaintThreeLinesThirtyPixelsApartAndClipTheFourth)
{
    m_label.SetWindowText(L"AAAA\\nBBBB\\nCCCC\\nDDDD");
    Canvas canvas(200, 150, kWhite);
    Paint(canvas);
    const int first = canvas.FirstInkRow(0, 30);
    ASSERT_GE(first, 0);
    EXPECT_EQ(canvas.FirstInkRow(first + 20, 60), first + 30);
    EXPECT_EQ(canvas.FirstInkRow(first + 50, 70), first + 60);
    // The label is 70 pixels high: nothing of the fourth line, nothing below.
    EXPECT_EQ(canvas.FirstInkRow(70, 150), -1);
}

TEST_F(ToolkitLabel, LongLineIsCutAtTheRightEdge)
{
    ::MoveWindow(m_label.m_hWnd, 10, 20, 60, 70, FALSE);
    m_label.SetWindowText(L"WWWWWWWWWWWWWWWWWWWW");
    Canvas canvas(200, 70, kWhite);
    Paint(canvas);
    EXPECT_GT(canvas.Count(IsInk, {0, 0, 60, 70}), 50);
    EXPECT_EQ(canvas.Count(IsInk, {60, 0, 200, 70}), 0);
    // Not wrapped either: only the first line has ink.
    EXPECT_EQ(canvas.FirstInkRow(25, 70), -1);
}

TEST_F(ToolkitLabel, PaintsInTheColourOfItsState)
{
    const COLORREF colours[5] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(1, 2, 3), RGB(128, 128, 128)};
    for (int i = 0; i < 5; ++i)
        m_label.m_crState[i] = colours[i];
    m_label.SetWindowText(L"Next");
    for (int state : {0, 1, 2}) {
        m_label.m_nState = state;
        Canvas canvas(200, 70, kWhite);
        Paint(canvas);
        const COLORREF want = colours[state];
        EXPECT_GT(canvas.Count([&](COLORREF c) { return c == want; }), 20) << state;
        EXPECT_EQ(canvas.Count([&](COLORREF c) { return c != want && c != kWhite; }), 0) << state;
    }
    // Disabled: colour 4 whatever the state.
    m_label.m_nState = 1;
    ::EnableWindow(m_label.m_hWnd, FALSE);
    Canvas canvas(200, 70, kWhite);
    Paint(canvas);
    EXPECT_GT(canvas.Count([&](COLORREF c) { return c == colours[4]; }), 20);
    EXPECT_EQ(canvas.Count([&](COLORREF c) { return c != colours[4] && c != kWhite; }), 0);
}

TEST_F(ToolkitLabel, StateFollowsHoverPressReleaseAndLeave)
{
    CursorOnLabel(true);
    m_label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(40, 15));
    EXPECT_TRUE(m_label.m_bTracking);
    ASSERT_TRUE(wintest::PumpUntil([&] { return m_label.m_nState == 1; }, 3000));

    m_label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 15));
    EXPECT_EQ(m_label.m_nState, 2);
    m_label.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(40, 15));
    EXPECT_EQ(m_label.m_nState, 0);

    // Still over the label: no new hover until the mouse has left.
    m_label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(41, 16));
    wintest::PumpUntil([] { return false; }, 300);
    EXPECT_EQ(m_label.m_nState, 0);

    CursorOnLabel(false);
    ASSERT_TRUE(wintest::PumpUntil([&] { return !m_label.m_bTracking; }, 3000));
    EXPECT_EQ(m_label.m_nState, 0);

    CursorOnLabel(true);
    m_label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(40, 15));
    EXPECT_TRUE(wintest::PumpUntil([&] { return m_label.m_nState == 1; }, 3000));
}

TEST_F(ToolkitLabel, StateChangeRepaintsTheParentBehindTheLabel)
{
    wintest::PumpUntil([] { return false; }, 50);
    ::ValidateRect(m_parent.m_hWnd, nullptr);
    m_label.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(m_label.m_nState, 1);
    RECT dirty{};
    ASSERT_TRUE(::GetUpdateRect(m_parent.m_hWnd, &dirty, FALSE));
    EXPECT_EQ(dirty.left, 10);
    EXPECT_EQ(dirty.top, 20);
    EXPECT_EQ(dirty.right, 210);
    EXPECT_EQ(dirty.bottom, 90);

    // A disabled label keeps its state.
    ::EnableWindow(m_label.m_hWnd, FALSE);
    m_label.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    m_label.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(m_label.m_nState, 1);
    EXPECT_FALSE(m_label.m_bTracking);
}

TEST_F(ToolkitLabel, HandCursorOnlyWhenAsked)
{
    HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    m_label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_label.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(::GetCursor(), hand);
    m_label.m_bHandCursor = TRUE;
    EXPECT_TRUE(m_label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_label.m_hWnd),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), hand);
}

TEST(ToolkitPicture, DrawsAtItsNaturalSizeFromTheTopLeft)
{
    const COLORREF green = RGB(10, 200, 30);
    const std::string bmp = SolidBmp(40, 30, green);
    CPTPicture picture;
    ASSERT_TRUE(picture.LoadFromBuffer(reinterpret_cast<const BYTE*>(bmp.data()), bmp.size()));
    Canvas canvas(100, 100, kWhite);
    const SIZE size = picture.NaturalSize(canvas.dc());
    EXPECT_EQ(size.cx, 40);
    EXPECT_EQ(size.cy, 30);
    ASSERT_TRUE(picture.Draw(canvas.dc()));
    EXPECT_EQ(canvas.Count([&](COLORREF c) { return c == green; }, {0, 0, 40, 30}), 40 * 30);
    EXPECT_EQ(canvas.Count([&](COLORREF c) { return c != kWhite; }), 40 * 30);
}

TEST(ToolkitPicture, LoadsPageArtFromAFile)
{
    const std::wstring source = wintest::EnvFolder("TARVO_SOURCE_DIR");
    if (source.empty())
        GTEST_SKIP() << "TARVO_SOURCE_DIR not set";
    CPTPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(source + L"resources\\IMG\\page1.jpg"));
    // Drawn over white and over black, the 800 x 600 area is the same and the
    // row and column beyond it keep their fill: the art covers exactly that.
    Canvas overWhite(801, 601, kWhite), overBlack(801, 601, kBlack);
    const SIZE size = picture.NaturalSize(overWhite.dc());
    EXPECT_EQ(size.cx, 800);
    EXPECT_EQ(size.cy, 600);
    ASSERT_TRUE(picture.Draw(overWhite.dc()));
    ASSERT_TRUE(picture.Draw(overBlack.dc()));
    int differing = 0;
    for (int y = 0; y < 600; y += 3)
        for (int x = 0; x < 800; x += 3)
            differing += overWhite.Pixel(x, y) != overBlack.Pixel(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(overWhite.Pixel(800, 300), kWhite);
    EXPECT_EQ(overBlack.Pixel(400, 600), kBlack);
}

TEST(ToolkitPicture, MissingOrBrokenFileLeavesNoArt)
{
    const std::wstring dir = wintest::ScratchFolder(L"picture");
    const std::string bmp = SolidBmp(8, 8, RGB(1, 2, 3));
    wintest::WriteBytes(dir + L"art.bmp", bmp);
    wintest::WriteBytes(dir + L"broken.jpg", "\xFF\xD8 not really a picture");

    CPTPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(dir + L"art.bmp"));
    EXPECT_TRUE(picture.HasPicture());
    // A failed load still releases the picture before it.
    EXPECT_FALSE(picture.LoadFromFile(dir + L"missing.jpg"));
    EXPECT_FALSE(picture.HasPicture());
    Canvas canvas(20, 20, kWhite);
    EXPECT_FALSE(picture.Draw(canvas.dc()));
    EXPECT_EQ(canvas.Count(IsInk), 0);

    EXPECT_FALSE(picture.LoadFromFile(dir + L"broken.jpg"));
    EXPECT_FALSE(picture.HasPicture());
    EXPECT_FALSE(picture.LoadFromBuffer(nullptr, 0));
}

namespace {
class RecordingTaker : public CPasswordTaker {
public:
    void TakeAdminPassword(const std::wstring& password) override { taken.push_back(password); }
    bool DeclineAdminPassword() override { return mayDecline; }
    std::vector<std::wstring> taken;
    bool mayDecline = false;
};
} // namespace

TEST(ToolkitWaitDialog, MessageIsABlackLabelAndOnlyOkCloses)
{
    CWnd owner;
    ASSERT_TRUE(owner.SubclassWindow(MakeParent()));
    RecordingTaker taker;
    CWaitDlg dlg(&owner, &taker);
    ASSERT_TRUE(dlg.Create(&owner));

    HWND message = dlg.GetDlgItem(1032);
    auto* label = dynamic_cast<CPTLabel*>(CWnd::FromHandle(message));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetWindowText(), L"Login failed.\nPlease re-enter the password.");
    // The template's line-feed breaks the line: two lines of black text.
    const RECT rc = label->GetClientRect();
    Canvas canvas(rc.right, rc.bottom, kWhite);
    label->SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_GT(canvas.Count([](COLORREF c) { return c == kBlack; }), 20);
    EXPECT_EQ(canvas.Count([](COLORREF c) { return c != kBlack && c != kWhite; }, {0, 0, rc.right, rc.bottom}), 0);
    const int firstLine = canvas.FirstInkRow(0, rc.bottom);
    ASSERT_GE(firstLine, 0);
    EXPECT_GE(canvas.FirstInkRow(firstLine + 12, rc.bottom), firstLine + 8);

    dlg.SetMessage(L"Type the password again.");
    EXPECT_EQ(label->GetWindowText(), L"Type the password again.");

    dlg.ShowWindow(SW_SHOW);
    const RECT w = dlg.GetWindowRect();
    EXPECT_EQ(w.left, ::GetSystemMetrics(SM_CXSCREEN) / 2 - 175);
    EXPECT_EQ(w.top, ::GetSystemMetrics(SM_CYSCREEN) / 2 - 110);
    ::SetWindowTextW(dlg.GetDlgItem(1133), L"secret");
    dlg.SendMessage(WM_COMMAND, IDOK);
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_TRUE(taker.taken.empty());

    // A click on the message does nothing either.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1032, STN_CLICKED), reinterpret_cast<LPARAM>(message));
    EXPECT_TRUE(dlg.IsWindowVisible());

    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(1132, BN_CLICKED), reinterpret_cast<LPARAM>(dlg.GetDlgItem(1132)));
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(taker.taken, std::vector<std::wstring>{L"secret"});

    // Escape closes it when the one who asked can do without, taking nothing.
    taker.mayDecline = true;
    dlg.ShowWindow(SW_SHOW);
    ::SetWindowTextW(dlg.GetDlgItem(1133), L"other");
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(taker.taken.size(), 1u);

    dlg.DestroyWindow();
    ::DestroyWindow(owner.m_hWnd);
}

TEST_F(ToolkitXhtml, BoldTextCoversMorePixelsThanPlain)
{
    Canvas plain(kWidth, kHeight, kWhite), bold(kWidth, kHeight, kWhite);
    Show(L"Wireless settings", plain);
    Show(L"<B>Wireless settings</B>", bold);
    const int plainInk = plain.Count(IsInk);
    EXPECT_GT(plainInk, 50);
    EXPECT_GT(bold.Count(IsInk), plainInk + plainInk / 10);
}

TEST_F(ToolkitXhtml, RedTextHasRedPixelsAndNoOthers)
{
    for (const wchar_t* text : {L"<FONT COLOR=\"#FF0000\">Red text</FONT>", L"<font color=\"255,0\">Red text</font>",
                                L"<FONT COLOR=\"red\">Red text</FONT>"}) {
        Canvas canvas(kWidth, kHeight, kWhite);
        Show(text, canvas);
        EXPECT_GT(canvas.Count([](COLORREF c) { return c == kRed; }), 50);
        EXPECT_EQ(canvas.Count([](COLORREF c) { return c != kRed && c != kWhite; }), 0);
    }
    // A colour that cannot be read is black.
    Canvas canvas(kWidth, kHeight, kWhite);
    Show(L"<FONT COLOR=\"#F00\">Black</FONT>", canvas);
    EXPECT_GT(canvas.Count([](COLORREF c) { return c == kBlack; }), 20);
    EXPECT_EQ(canvas.Count([](COLORREF c) { return c != kBlack && c != kWhite; }), 0);
}

TEST_F(ToolkitXhtml, RuleOfSizeFourIsFourPixelsHighAndSpansTheControl)
{
    Canvas canvas(kWidth, kHeight, kWhite);
    Show(L"<HR SIZE=4>", canvas);
    std::vector<int> rows;
    for (int y = 0; y < kHeight; ++y)
        if (canvas.Pixel(0, y) == kBlack && canvas.Pixel(kWidth - 1, y) == kBlack)
            rows.push_back(y);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows.back() - rows.front(), 3);
    EXPECT_EQ(canvas.Count(IsInk), 4 * kWidth);
}

TEST_F(ToolkitXhtml, WindowTextIsThePlainTextWhileTheMarkupRenders)
{
    const std::wstring markup = L"<B>Tea</B> &amp; <FONT COLOR=\"red\">cake</FONT>&lt;3<BR>&copy;<A HREF=\"x\">link</A>";
    Canvas canvas(kWidth, kHeight, kWhite);
    Show(markup, canvas);
    EXPECT_EQ(m_text.GetWindowText(), L"Tea & cake<3\n\u00A9link");
    EXPECT_EQ(m_text.Markup(), markup);
    EXPECT_GT(canvas.Count([](COLORREF c) { return c == kRed; }), 20) << "rendered from the markup";
    EXPECT_TRUE(::GetWindowLongPtrW(m_text.m_hWnd, GWL_STYLE) & SS_NOPREFIX);
}

TEST_F(ToolkitXhtml, RepaintCopiesTheCachedPictureUntilReset)
{
    Canvas first(kWidth, kHeight, kWhite);
    Show(L"One", first);
    EXPECT_FALSE(m_text.NeedsRedraw());
    const int ink = first.Count(IsInk);

    // New text alone does not re-render.
    m_text.SetWindowText(L"<B>Something much longer</B>");
    Canvas again(kWidth, kHeight, kWhite);
    Print(again);
    EXPECT_EQ(again.Count(IsInk), ink);

    m_text.ResetFormatting();
    Canvas fresh(kWidth, kHeight, kWhite);
    Print(fresh);
    EXPECT_GT(fresh.Count(IsInk), 2 * ink);
}

TEST_F(ToolkitXhtml, UnbalancedBoldLastsUntilReset)
{
    Canvas plain(kWidth, kHeight, kWhite);
    Show(L"Status text", plain);
    const int plainInk = plain.Count(IsInk);

    Canvas open(kWidth, kHeight, kWhite);
    Show(L"<B>Status text", open);
    EXPECT_GT(open.Count(IsInk), plainInk);

    // A resize renders anew without touching the formatting: still bold.
    m_text.SetWindowText(L"Status text");
    ::MoveWindow(m_text.m_hWnd, 10, 20, kWidth, kHeight - 1, FALSE);
    Canvas carried(kWidth, kHeight, kWhite);
    Print(carried);
    EXPECT_EQ(carried.Count(IsInk), open.Count(IsInk));

    m_text.ResetFormatting();
    Canvas reset(kWidth, kHeight, kWhite);
    Print(reset);
    EXPECT_EQ(reset.Count(IsInk), plainInk);
}

TEST_F(ToolkitXhtml, TransparentControlKeepsTheArtBehindIt)
{
    const COLORREF art = RGB(0, 128, 0);
    NewControl(WS_EX_TRANSPARENT);
    Canvas behind(kWidth, kHeight, art);
    Show(L"Over the art", behind);
    EXPECT_EQ(behind.Pixel(kWidth - 1, kHeight - 1), art);
    EXPECT_GT(behind.Count([](COLORREF c) { return c == kBlack; }), 20);

    // Without the style the control fills its background colour.
    NewControl(0);
    m_text.m_crBackground = RGB(0, 0, 255);
    Canvas opaque(kWidth, kHeight, art);
    Show(L"Over the art", opaque);
    EXPECT_EQ(opaque.Pixel(kWidth - 1, kHeight - 1), RGB(0, 0, 255));
    EXPECT_EQ(opaque.Count([&](COLORREF c) { return c == art; }), 0);
}

TEST_F(ToolkitXhtml, ClickOpensTheLinkUnderTheCursorOnly)
{
    Canvas canvas(kWidth, kHeight, kWhite);
    Show(L"See <A HREF=\"http://192.168.2.1/index.htm\">the router</A><BR><a href=\"APP:help\">help</a>", canvas);
    const std::vector<tk::LinkArea>& links = m_text.Links();
    ASSERT_EQ(links.size(), 2u);
    const tk::LayoutRect web = links[0].rect;
    const tk::LayoutRect app = links[1].rect;
    EXPECT_GT(app.top, web.top);

    CursorAt((app.left + app.right) / 2, (app.top + app.bottom) / 2);
    Click();
    CursorAt(kWidth - 2, kHeight - 2);
    Click();
    EXPECT_TRUE(m_text.opened.empty());

    CursorAt((web.left + web.right) / 2, (web.top + web.bottom) / 2);
    Click();
    EXPECT_EQ(m_text.opened, std::vector<std::wstring>{L"http://192.168.2.1/index.htm"});
}

TEST_F(ToolkitXhtml, CursorOverALinkIsTheHandUntilItLeaves)
{
    Canvas canvas(kWidth, kHeight, kWhite);
    Show(L"<A HREF=\"http://x/\">link</A> plain text", canvas);
    ASSERT_EQ(m_text.Links().size(), 1u);
    const tk::LayoutRect link = m_text.Links()[0].rect;
    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    ::SetCursor(arrow);

    m_text.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(link.left + 1, link.top + 1));
    EXPECT_EQ(::GetCursor(), hand);
    // The control keeps its link cursor against WM_SETCURSOR.
    EXPECT_EQ(m_text.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_text.m_hWnd), HTCLIENT), FALSE);
    EXPECT_EQ(::GetCursor(), hand);

    m_text.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(kWidth - 2, kHeight - 2));
    EXPECT_EQ(::GetCursor(), arrow);
}

TEST_F(ToolkitXhtml, BoldWordKeepsTheBlankBeforeItInTheDialogFont)
{
    // The font a dialog makes of its template's "FONT 8, MS Shell Dlg", as the
    // pages' text blocks get it. Under Wine it draws some glyphs at other
    // widths than it measures them.
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    m_font.reset(::CreateFontW(-::MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_DONTCARE, L"MS Shell Dlg"));
    NewControl(WS_EX_TRANSPARENT);
    constexpr int kWide = 520;
    ::MoveWindow(m_text.m_hWnd, 10, 20, kWide, 70, FALSE);

    Canvas measuring(1, 1, kWhite);
    HGDIOBJ old = ::SelectObject(measuring.dc(), m_font.get());
    auto width = [&](const std::wstring& s) {
        SIZE size{0, 0};
        ::GetTextExtentPoint32W(measuring.dc(), s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    };
    const int blank = width(L" ");
    ASSERT_GT(blank, 0);

    struct Case {
        const wchar_t* before;
        const wchar_t* bold;
    };
    for (const Case& c : {Case{L"Your wireless network is currently called", L"default"}, Case{L"Click", L"Next"},
                          Case{L"ab called", L"default"}}) {
        const std::wstring before = c.before;
        const int wordEnd = width(before);
        const int boldStart = width(before + L" ");
        Canvas canvas(kWide, 70, kWhite);
        Show(before + L" <B>" + c.bold + L"</B> to save.", canvas);
        auto inkIn = [&](int from, int to) { return canvas.Count(IsInk, {from, 0, to, 20}); };
        // The plain words reach their measured end and stop there, a blank's
        // width of nothing follows, and the bold word starts where laid out.
        EXPECT_GT(inkIn(wordEnd - 3, wordEnd), 0) << c.before;
        EXPECT_EQ(inkIn(wordEnd, boldStart), 0) << c.before;
        EXPECT_GE(boldStart - wordEnd, blank) << c.before;
        EXPECT_GT(inkIn(boldStart, boldStart + 3), 0) << c.before;
    }
    ::SelectObject(measuring.dc(), old);
}
