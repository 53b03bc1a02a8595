#include "XHTMLStatic.h"

#include <shellapi.h>

#include "Markup.h"

tk::FontDesc ToFontDesc(const LOGFONTW& lf)
{
    tk::FontDesc d;
    d.height = lf.lfHeight;
    d.width = lf.lfWidth;
    d.escapement = lf.lfEscapement;
    d.orientation = lf.lfOrientation;
    d.weight = lf.lfWeight;
    d.italic = lf.lfItalic != 0;
    d.underline = lf.lfUnderline != 0;
    d.strikeOut = lf.lfStrikeOut != 0;
    d.charSet = lf.lfCharSet;
    d.outPrecision = lf.lfOutPrecision;
    d.clipPrecision = lf.lfClipPrecision;
    d.quality = lf.lfQuality;
    d.pitchAndFamily = lf.lfPitchAndFamily;
    d.face.assign(lf.lfFaceName, wcsnlen(lf.lfFaceName, LF_FACESIZE));
    return d;
}

LOGFONTW ToLogFont(const tk::FontDesc& d)
{
    LOGFONTW lf{};
    lf.lfHeight = d.height;
    lf.lfWidth = d.width;
    lf.lfEscapement = d.escapement;
    lf.lfOrientation = d.orientation;
    lf.lfWeight = d.weight;
    lf.lfItalic = d.italic;
    lf.lfUnderline = d.underline;
    lf.lfStrikeOut = d.strikeOut;
    lf.lfCharSet = d.charSet;
    lf.lfOutPrecision = d.outPrecision;
    lf.lfClipPrecision = d.clipPrecision;
    lf.lfQuality = d.quality;
    lf.lfPitchAndFamily = d.pitchAndFamily;
    const size_t n = d.face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    lf.lfFaceName[n] = L'\0';
    return lf;
}

namespace {

// The layout's drawing calls on a GDI device context. Fonts are created once
// per description and rendering, not once per piece.
class CGdiSurface : public tk::IMarkupSurface {
public:
    explicit CGdiSurface(HDC dc) : m_dc(dc) {}
    ~CGdiSurface() override
    {
        if (m_oldFont)
            ::SelectObject(m_dc, m_oldFont);
    }
    CGdiSurface(const CGdiSurface&) = delete;
    CGdiSurface& operator=(const CGdiSurface&) = delete;

    tk::FontMetrics SelectFont(const tk::FontDesc& desc) override
    {
        HFONT font = nullptr;
        for (const Entry& e : m_fonts)
            if (e.desc == desc)
                font = e.font.get();
        if (!font) {
            const LOGFONTW lf = ToLogFont(desc);
            m_fonts.push_back({desc, fw::CFont(::CreateFontIndirectW(&lf))});
            font = m_fonts.back().font.get();
        }
        if (font) {
            HGDIOBJ old = ::SelectObject(m_dc, font);
            if (!m_oldFont)
                m_oldFont = old;
        }
        TEXTMETRICW tm{};
        ::GetTextMetricsW(m_dc, &tm);
        return {tm.tmAscent, tm.tmDescent, tm.tmHeight};
    }

    void SetColours(tk::Colour text, std::optional<tk::Colour> background) override
    {
        ::SetTextColor(m_dc, text);
        if (background) {
            ::SetBkMode(m_dc, OPAQUE);
            ::SetBkColor(m_dc, *background);
        } else {
            ::SetBkMode(m_dc, TRANSPARENT);
        }
    }

    tk::Extent Measure(std::wstring_view text) override
    {
        SIZE size{0, 0};
        if (!text.empty())
            ::GetTextExtentPoint32W(m_dc, text.data(), static_cast<int>(text.size()), &size);
        else {
            TEXTMETRICW tm{};
            ::GetTextMetricsW(m_dc, &tm);
            size.cy = tm.tmHeight;
        }
        return {size.cx, size.cy};
    }

    void DrawPiece(int x, int y, std::wstring_view text) override
    {
        // Every character goes where Measure counted it. Wine draws some small
        // unsmoothed glyphs wider or narrower than it measures them, which ran
        // a line over the blank before the next piece.
        const int count = static_cast<int>(text.size());
        std::vector<INT> advances(text.size());
        SIZE size{0, 0};
        if (count == 0 ||
            !::GetTextExtentExPointW(m_dc, text.data(), count, 0, nullptr, advances.data(), &size)) {
            ::TextOutW(m_dc, x, y, text.data(), count);
            return;
        }
        // The call gives where each character ends; drawing wants widths.
        for (int i = count - 1; i > 0; --i)
            advances[i] -= advances[i - 1];
        ::ExtTextOutW(m_dc, x, y, 0, nullptr, text.data(), static_cast<UINT>(count), advances.data());
    }

    void DrawRule(int left, int top, int right, int thickness, tk::Colour colour) override
    {
        fw::CBrush brush(::CreateSolidBrush(colour));
        const RECT rc{left, top, right, top + thickness};
        ::FillRect(m_dc, &rc, brush.get());
    }

private:
    struct Entry {
        tk::FontDesc desc;
        fw::CFont font;
    };

    HDC m_dc;
    HGDIOBJ m_oldFont = nullptr;
    std::vector<Entry> m_fonts;
};

std::wstring ReadDefaultValue(HKEY root, const std::wstring& subkey)
{
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return {};
    fw::CRegKey key(raw);
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || bytes == 0)
        return {};
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) !=
        ERROR_SUCCESS)
        return {};
    value.resize(wcsnlen(value.c_str(), value.size()));
    if (type == REG_EXPAND_SZ) {
        const DWORD need = ::ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
        if (need > 0) {
            std::wstring expanded(need, L'\0');
            ::ExpandEnvironmentStringsW(value.c_str(), expanded.data(), need);
            expanded.resize(wcsnlen(expanded.c_str(), expanded.size()));
            value = expanded;
        }
    }
    return value;
}

} // namespace

CXHTMLStatic::CXHTMLStatic() : m_crText(::GetSysColor(COLOR_WINDOWTEXT)), m_crBackground(::GetSysColor(COLOR_WINDOW))
{
    m_hLinkCursor = ::LoadCursorW(nullptr, IDC_HAND);
    if (!m_hLinkCursor) {
        // Systems without a hand cursor have one in the help program.
        wchar_t dir[MAX_PATH] = {};
        const UINT len = ::GetWindowsDirectoryW(dir, MAX_PATH);
        if (len > 0 && len < MAX_PATH) {
            const std::wstring path = std::wstring(dir) + L"\\winhlp32.exe";
            if (HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
                m_hLinkCursor = static_cast<HCURSOR>(
                    ::LoadImageW(module, MAKEINTRESOURCEW(106), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
                m_bOwnsLinkCursor = m_hLinkCursor != nullptr;
                ::FreeLibrary(module);
            }
        }
    }
}

CXHTMLStatic::~CXHTMLStatic()
{
    if (m_cacheDC && m_cacheOldBitmap)
        ::SelectObject(m_cacheDC.get(), m_cacheOldBitmap);
    if (m_bOwnsLinkCursor)
        ::DestroyCursor(m_hLinkCursor);
}

void CXHTMLStatic::PreSubclassWindow()
{
    // An "&" of the text is a character, never an access key.
    ModifyStyle(0, SS_NOTIFY | SS_NOPREFIX);
    SetWindowText(GetWindowText());
}

void CXHTMLStatic::ResetFormatting()
{
    m_bRedraw = true;
    m_state.Reset();
    m_hSavedCursor = nullptr;
}

void CXHTMLStatic::Paint(HDC dc)
{
    const RECT rc = GetClientRect();
    const SIZE size{rc.right - rc.left, rc.bottom - rc.top};
    // A resized control cannot use a picture of its old size.
    if (m_bRedraw || !m_cacheDC || size.cx != m_cacheSize.cx || size.cy != m_cacheSize.cy) {
        if (!Render(dc, rc))
            return;
    }
    ::BitBlt(dc, rc.left, rc.top, size.cx, size.cy, m_cacheDC.get(), 0, 0, SRCCOPY);
}

bool CXHTMLStatic::Render(HDC target, const RECT& rc)
{
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;

    if (m_cacheDC && m_cacheOldBitmap)
        ::SelectObject(m_cacheDC.get(), m_cacheOldBitmap);
    m_cacheOldBitmap = nullptr;
    m_cacheBitmap.reset();
    m_cacheDC.reset();
    m_cacheSize = {0, 0};

    fw::CMemoryDC dc(::CreateCompatibleDC(target));
    fw::CBitmap bitmap(::CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1));
    if (!dc || !bitmap)
        return false;
    m_cacheOldBitmap = ::SelectObject(dc.get(), bitmap.get());
    m_cacheDC = std::move(dc);
    m_cacheBitmap = std::move(bitmap);
    m_cacheSize = {width, height};

    // What the target shows here already: the page art behind a transparent control.
    ::BitBlt(m_cacheDC.get(), 0, 0, width, height, target, rc.left, rc.top, SRCCOPY);
    m_bRedraw = false;
    m_links.clear();

    const bool transparent = (::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    if (!transparent) {
        fw::CBrush brush(::CreateSolidBrush(m_crBackground));
        const RECT all{0, 0, width, height};
        ::FillRect(m_cacheDC.get(), &all, brush.get());
    }

    // Later paints copy the new picture; this one copies nothing.
    if (m_markup.empty() || !IsWindowVisible())
        return false;

    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!font)
        font = static_cast<HFONT>(::GetCurrentObject(target, OBJ_FONT));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTW lf{};
    ::GetObjectW(font, sizeof(lf), &lf);

    tk::MarkupStyle style;
    style.textColour = m_crText;
    style.backColour = m_crBackground;
    style.transparent = transparent;
    style.baseFont = ToFontDesc(lf);
    style.sysColour = [](int index) { return static_cast<tk::Colour>(::GetSysColor(index)); };

    CGdiSurface surface(m_cacheDC.get());
    m_links = tk::RenderMarkup(m_markup, {0, 0, width, height}, style, m_state, surface);
    return true;
}

void CXHTMLStatic::OnMouseMove(LPARAM lParam)
{
    if (m_links.empty() || !IsWindowVisible())
        return;
    // Signed: coordinates left of or above a captured window are negative.
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    bool over = false;
    for (const tk::LinkArea& link : m_links)
        if (link.rect.Contains(x, y)) {
            over = true;
            break;
        }
    if (over) {
        HCURSOR previous = ::SetCursor(m_hLinkCursor);
        if (!m_hSavedCursor)
            m_hSavedCursor = previous;
        m_bOverLink = true;
    } else {
        if (m_hSavedCursor)
            ::SetCursor(m_hSavedCursor);
        m_hSavedCursor = nullptr;
        m_bOverLink = false;
    }
}

BOOL CXHTMLStatic::OpenLinkAtCursor()
{
    POINT pt{};
    if (!::GetCursorPos(&pt))
        return FALSE;
    const std::wstring* target = nullptr;
    for (const tk::LinkArea& link : m_links) {
        RECT rc{link.rect.left, link.rect.top, link.rect.right, link.rect.bottom};
        ::MapWindowPoints(m_hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
        if (::PtInRect(&rc, pt)) {
            target = &link.target;
            break;
        }
    }
    if (!target)
        return FALSE;
    // Commands inside the program: none is defined, so such a link does nothing.
    if (tk::StartsWithNoCase(*target, L"APP:") || tk::StartsWithNoCase(*target, L"\"APP:"))
        return FALSE;
    return OpenTarget(*target);
}

BOOL CXHTMLStatic::OpenTarget(const std::wstring& target)
{
    const auto shell =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (shell > 32)
        return TRUE;

    // The shell could not open it: start the program registered for ".htm".
    const std::wstring type = ReadDefaultValue(HKEY_CLASSES_ROOT, L".htm");
    if (type.empty())
        return FALSE;
    const std::wstring handler = ReadDefaultValue(HKEY_CLASSES_ROOT, type + L"\\shell\\open\\command");
    if (handler.empty())
        return FALSE;
    std::wstring command = tk::LinkHandlerCommand(handler, target);

    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return FALSE;
    fw::CHandle process(pi.hProcess);
    fw::CHandle thread(pi.hThread);
    return TRUE;
}

BOOL CXHTMLStatic::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
        OpenLinkAtCursor();
        *result = 0;
        return TRUE;
    }
    return CStatic::OnChildNotify(msg, wParam, lParam, result);
}

LRESULT CXHTMLStatic::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        fw::CPaintDC dc(m_hWnd);
        Paint(dc.get());
        return 0;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return TRUE; // the rendering covers the background itself
    case WM_SETTEXT: {
        m_markup = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
        const std::wstring plain = tk::PlainText(m_markup);
        return CallDefault(msg, wParam, reinterpret_cast<LPARAM>(plain.c_str()));
    }
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        break;
    case WM_SETCURSOR:
        if (m_bOverLink)
            return FALSE; // keep the link cursor
        break;
    default:
        break;
    }
    return CStatic::WindowProc(msg, wParam, lParam);
}
