// The delivered language files as the wizard reads them (the system's INI
// reader, through the string table), and their texts laid out in the
// controls of their pages with the fonts the pages use.
#include "Gdi.h"
#include "Markup.h"
#include "TextLayout.h"
#include "UIStr.h"
#include "ValueForms.h"
#include "WinTestSupport.h"
#include "XHTMLStatic.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Language {
    int slot;
    const wchar_t* name;
    const wchar_t* file;
};
const Language kLanguages[] = {
    {0, L"English", L"Lang0409.ini"},
    {1, L"Deutsch", L"Lang0407.ini"},
    {2, L"\u7E41\u9AD4\u4E2D\u6587", L"Lang0404.ini"},
};

std::string Narrow(const std::wstring& text)
{
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring ResourceFolder()
{
    return wintest::EnvFolder("TARVO_SOURCE_DIR") + L"resources\\";
}

// One language's values by key, in the string table's order (the file order).
using Strings = std::vector<std::pair<std::wstring, std::wstring>>;

Strings LoadSlot(int slot, CUIStr* keep = nullptr)
{
    g_strAppFolder = ResourceFolder();
    CUIStr table;
    table.languageIndex = slot;
    table.LoadLanguage();
    size_t count = 0;
    const CUIStr::Entry* entries = CUIStr::Entries(&count);
    Strings out;
    for (size_t i = 0; i < count; ++i)
        out.emplace_back(entries[i].key, table.*entries[i].member);
    for (int i = 0; i < 9; ++i)
        out.emplace_back(L"IDS_ERROR_MSG" + std::to_wstring(i + 1), table.errorMsg[i]);
    if (keep)
        *keep = table;
    return out;
}

std::map<std::wstring, std::wstring> AsMap(const Strings& strings)
{
    return {strings.begin(), strings.end()};
}

// The keys of a file's "Strings" section as the INI reader lists them.
std::vector<std::wstring> KeysInFile(const std::wstring& path)
{
    std::vector<wchar_t> buffer(65536);
    const DWORD n = ::GetPrivateProfileStringW(L"Strings", nullptr, L"", buffer.data(),
                                               static_cast<DWORD>(buffer.size()), path.c_str());
    std::vector<std::wstring> keys;
    for (DWORD i = 0; i < n;) {
        std::wstring key(buffer.data() + i);
        i += static_cast<DWORD>(key.size()) + 1;
        if (!key.empty())
            keys.push_back(key);
    }
    return keys;
}

size_t Count(const std::wstring& text, const std::wstring& what)
{
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::wstring::npos; pos = text.find(what, pos + what.size()))
        ++n;
    return n;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

const wchar_t* const kLayoutKeys[] = {L"IDS_NEXT",    L"IDS_BACK",  L"IDS_BACK_P2_P3_P3a",
                                      L"IDS_RECHECK", L"IDS_PRINT", L"IDS_ADD"};
const wchar_t* const kColourKeys[] = {L"IDS_P1_STATIC1", L"IDS_P1_STATIC2"};

bool IsNumberForm(const std::wstring& key)
{
    return std::find(std::begin(kLayoutKeys), std::end(kLayoutKeys), key) != std::end(kLayoutKeys) ||
           std::find(std::begin(kColourKeys), std::end(kColourKeys), key) != std::end(kColourKeys);
}

// True when the value starts with `count` plain decimal numbers, each ended by a comma.
bool HasLeadingNumbers(const std::wstring& value, int count)
{
    size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        const size_t comma = value.find(L',', pos);
        if (comma == std::wstring::npos || comma == pos)
            return false;
        for (size_t j = pos; j < comma; ++j)
            if (value[j] < L'0' || value[j] > L'9')
                return false;
        pos = comma + 1;
    }
    return pos < value.size();
}

// ---------------------------------------------------------------------------
// Laying texts out with the real layout and GDI measurements.

struct Piece {
    RECT rc;
    std::wstring text;
};

// Measures as the text control's painter does and records what would be drawn.
class RecordingSurface : public tk::IMarkupSurface {
public:
    RecordingSurface() : m_dc(::CreateCompatibleDC(nullptr)) {}
    ~RecordingSurface() override
    {
        if (m_old)
            ::SelectObject(m_dc.get(), m_old);
    }
    RecordingSurface(const RecordingSurface&) = delete;
    RecordingSurface& operator=(const RecordingSurface&) = delete;

    tk::FontMetrics SelectFont(const tk::FontDesc& desc) override
    {
        const LOGFONTW lf = ToLogFont(desc);
        m_fonts.emplace_back(::CreateFontIndirectW(&lf));
        HGDIOBJ old = ::SelectObject(m_dc.get(), m_fonts.back().get());
        if (!m_old)
            m_old = old;
        TEXTMETRICW tm{};
        ::GetTextMetricsW(m_dc.get(), &tm);
        return {tm.tmAscent, tm.tmDescent, tm.tmHeight};
    }
    void SetColours(tk::Colour, std::optional<tk::Colour>) override {}
    tk::Extent Measure(std::wstring_view text) override
    {
        SIZE size{0, 0};
        if (!text.empty()) {
            ::GetTextExtentPoint32W(m_dc.get(), text.data(), static_cast<int>(text.size()), &size);
        } else {
            TEXTMETRICW tm{};
            ::GetTextMetricsW(m_dc.get(), &tm);
            size.cy = tm.tmHeight;
        }
        return {size.cx, size.cy};
    }
    void DrawPiece(int x, int y, std::wstring_view text) override
    {
        const tk::Extent e = Measure(text);
        pieces.push_back({{x, y, x + e.cx, y + e.cy}, std::wstring(text)});
    }
    void DrawRule(int, int, int, int, tk::Colour) override {}

    std::vector<Piece> pieces;

private:
    fw::CMemoryDC m_dc;
    HGDIOBJ m_old = nullptr;
    std::vector<fw::CFont> m_fonts;
};

std::vector<Piece> Lay(const std::wstring& text, const RECT& rc, const LOGFONTW& base)
{
    tk::MarkupStyle style;
    style.transparent = true;
    style.baseFont.height = base.lfHeight;
    style.baseFont.weight = base.lfWeight;
    style.baseFont.charSet = base.lfCharSet;
    style.baseFont.face = base.lfFaceName;
    style.sysColour = [](int index) { return static_cast<tk::Colour>(::GetSysColor(index)); };
    tk::MarkupState state;
    RecordingSurface surface;
    // The control lays out in its client area; the pieces are then placed on the page.
    tk::RenderMarkup(text, {0, 0, rc.right - rc.left, rc.bottom - rc.top}, style, state, surface);
    for (Piece& piece : surface.pieces)
        ::OffsetRect(&piece.rc, rc.left, rc.top);
    return surface.pieces;
}

size_t NonBlank(std::wstring_view text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](wchar_t c) { return c != L' '; }));
}

// The characters a reader should see: the text pieces of the markup, entities decoded.
size_t ShownCharacters(const std::wstring& text)
{
    const std::wstring marked = tk::MarkEntities(text);
    tk::MarkupTokenizer tokens(marked);
    tk::Token token;
    size_t n = 0;
    while (tokens.Next(token))
        if (token.kind == tk::TokenKind::Text)
            n += NonBlank(tk::DecodeMarks(token.text));
    return n;
}

// The line on which each text piece that follows a forced break starts:
// those lines carry captions beside fields and boxes, so they must not move.
std::vector<LONG> LinesAfterBreaks(const std::wstring& text, const RECT& rc, const LOGFONTW& base)
{
    const std::wstring marked = tk::MarkEntities(text);
    tk::MarkupTokenizer tokens(marked);
    tk::Token token;
    std::vector<LONG> lines;
    bool afterBreak = false;
    while (tokens.Next(token)) {
        if (token.kind == tk::TokenKind::LineBreak) {
            afterBreak = true;
        } else if (token.kind == tk::TokenKind::Text) {
            if (afterBreak && NonBlank(token.text) > 0) {
                const size_t start = static_cast<size_t>(token.text.data() - marked.data());
                const std::vector<Piece> pieces = Lay(marked.substr(0, start) + L"X", rc, base);
                lines.push_back(pieces.empty() ? -1 : pieces.back().rc.top);
            }
            afterBreak = false;
        }
    }
    return lines;
}

bool Intersect(const RECT& a, const RECT& b)
{
    RECT out;
    return ::IntersectRect(&out, &a, &b) != FALSE;
}

std::string Describe(const std::vector<Piece>& pieces)
{
    std::ostringstream out;
    for (const Piece& p : pieces)
        out << "\n    (" << p.rc.left << "," << p.rc.top << ")-(" << p.rc.right << "," << p.rc.bottom << ") "
            << Narrow(p.text);
    return out.str();
}

// Pixels of one character drawn in a font, for telling real glyphs from the
// empty box a font without them draws.
std::vector<COLORREF> Picture(const LOGFONTW& lf, const wchar_t* character)
{
    fw::CMemoryDC dc(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    fw::CBitmap bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    fw::CSelectObject bitmapSelected(dc.get(), bitmap.get());
    fw::CFont font(::CreateFontIndirectW(&lf));
    fw::CSelectObject fontSelected(dc.get(), font.get());
    const RECT all{0, 0, 32, 32};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::TextOutW(dc.get(), 2, 2, character, 1);
    ::GdiFlush();
    const auto* pixels = static_cast<const COLORREF*>(bits);
    return {pixels, pixels + 32 * 32};
}

// What the fonts measure and draw here must be what a Windows PC does: the
// metric-compatible stand-ins, and Chinese glyphs behind them in both weights.
std::string FontSetUpProblem()
{
    fw::CMemoryDC dc(::CreateCompatibleDC(nullptr));
    std::string problem;
    for (const wchar_t* face : {L"Arial", L"Calibri", L"Courier New", L"MS Shell Dlg"}) {
        for (const bool bold : {false, true}) {
            LOGFONTW lf{};
            lf.lfHeight = -19;
            lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
            wcscpy_s(lf.lfFaceName, face);
            fw::CFont font(::CreateFontIndirectW(&lf));
            fw::CSelectObject selected(dc.get(), font.get());
            wchar_t got[LF_FACESIZE] = L"";
            ::GetTextFaceW(dc.get(), LF_FACESIZE, got);
            if (_wcsicmp(got, face) != 0 && !bold)
                problem.append(" ").append(Narrow(face)).append(" is ").append(Narrow(got)).append(";");
            if (Picture(lf, L"\u4E00") == Picture(lf, L"\u958B"))
                problem.append(" ").append(Narrow(face)).append(bold ? " bold" : "").append(" draws no Chinese;");
        }
    }
    if (!problem.empty())
        problem.insert(0, std::string("the Wine prefix lacks its font set-up (run tools/wine-fonts on it):"));
    return problem;
}

// A page built from its template, hidden, with its controls at their places.
class PageTemplate {
public:
    PageTemplate(HWND host, UINT id)
        : m_hwnd(::CreateDialogParamW(
              ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), host,
              [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0))
    {
    }
    ~PageTemplate()
    {
        if (m_hwnd)
            ::DestroyWindow(m_hwnd);
    }
    PageTemplate(const PageTemplate&) = delete;
    PageTemplate& operator=(const PageTemplate&) = delete;

    HWND hwnd() const { return m_hwnd; }
    RECT ControlRect(int id) const
    {
        RECT rc{};
        HWND control = ::GetDlgItem(m_hwnd, id);
        ::GetWindowRect(control, &rc);
        ::MapWindowPoints(HWND_DESKTOP, m_hwnd, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    LOGFONTW Font(int id) const
    {
        LOGFONTW lf{};
        HFONT font = reinterpret_cast<HFONT>(::SendDlgItemMessageW(m_hwnd, id, WM_GETFONT, 0, 0));
        ::GetObjectW(font, sizeof(lf), &lf);
        return lf;
    }
    // Edit fields, lists, boxes and bars: what no text may cover.
    std::vector<RECT> Fields() const
    {
        std::vector<RECT> out;
        for (HWND child = ::GetWindow(m_hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[64] = L"";
            ::GetClassNameW(child, cls, 64);
            if (_wcsicmp(cls, L"Static") != 0)
                out.push_back(ControlRect(::GetDlgCtrlID(child)));
        }
        return out;
    }

private:
    HWND m_hwnd;
};

enum class Kind { Text, Heading, BoldHeading, Link, BoldLink, BigHeading };

struct Block {
    int control;
    std::wstring CUIStr::*key;
    const wchar_t* name;
    Kind kind = Kind::Text;
};

struct Page {
    UINT id;
    const char* name;
    std::vector<Block> blocks;
};

#define TEXT_OF(control, key)                                                                                          \
    Block                                                                                                              \
    {                                                                                                                  \
        control, &CUIStr::key, L## #key                                                                                \
    }
#define LABEL_OF(control, key, kind)                                                                                   \
    Block                                                                                                              \
    {                                                                                                                  \
        control, &CUIStr::key, L## #key, kind                                                                          \
    }

std::vector<Page> Pages()
{
    return {
        {IDD_CP1,
         "CP1",
         {LABEL_OF(IDC_CP1_STATIC1, IDS_P1_STATIC1, Kind::BoldHeading),
          LABEL_OF(IDC_CP1_STATIC2, IDS_P1_STATIC2, Kind::Heading)}},
        {IDD_CP2,
         "CP2",
         {TEXT_OF(IDC_CP2_STEPS, IDS_STARTED), TEXT_OF(IDC_CP2_STATIC2, IDS_P2_STATIC2),
          TEXT_OF(IDC_CP2_STATIC3, IDS_P2_STATIC3)}},
        {IDD_CP3,
         "CP3",
         {TEXT_OF(IDC_CP3_STEPS, IDS_STARTED), TEXT_OF(IDC_CP3_STATIC2, IDS_P3_STATIC2),
          TEXT_OF(IDC_CP3_STATIC3, IDS_P3_STATIC3), TEXT_OF(IDC_CP3_STATIC4, IDS_P3_STATIC4)}},
        {IDD_CP3A,
         "CP3A",
         {TEXT_OF(IDC_CP3A_STEPS, IDS_STARTED), TEXT_OF(IDC_CP3A_STATIC2, IDS_P3A_STATIC2),
          TEXT_OF(IDC_CP3A_STATIC3, IDS_P3A_STATIC3), TEXT_OF(IDC_CP3A_STATIC4, IDS_P3A_STATIC4),
          TEXT_OF(IDC_CP3A_STATIC5, IDS_P3A_STATIC5), TEXT_OF(IDC_CP3A_STATIC6, IDS_P3A_STATIC6),
          TEXT_OF(IDC_CP3A_STATIC7, IDS_P3A_STATIC7), TEXT_OF(IDC_CP3A_STATIC8, IDS_P3A_STATIC8)}},
        {IDD_CP4,
         "CP4",
         {TEXT_OF(IDC_CP4_STEPS, IDS_CHECKING), TEXT_OF(IDC_CP4_STATIC2, IDS_P4_STATIC2),
          TEXT_OF(IDC_CP4_STATIC3, IDS_P4_STATIC3)}},
        {IDD_CP4A,
         "CP4A",
         {TEXT_OF(IDC_CP4A_STEPS, IDS_CHECKING), TEXT_OF(IDC_CP4A_STATIC2, IDS_P4A_STATIC2),
          TEXT_OF(IDC_CP4A_STATIC3, IDS_P4A_STATIC3), TEXT_OF(IDC_CP4A_STATIC4, IDS_P4A_STATIC4)}},
        {IDD_CP4C,
         "CP4C",
         {TEXT_OF(IDC_CP4C_STEPS, IDS_CHECKING), TEXT_OF(IDC_CP4C_STATIC2, IDS_P4C_STATIC2),
          TEXT_OF(IDC_CP4C_STATIC3, IDS_P4C_STATIC3), TEXT_OF(IDC_CP4C_STATIC4, IDS_P4C_STATIC4),
          TEXT_OF(IDC_CP4C_STATIC5, IDS_P4C_STATIC5)}},
        {IDD_CP4D,
         "CP4D",
         {TEXT_OF(IDC_CP4D_STEPS, IDS_CHECKING), TEXT_OF(IDC_CP4D_STATIC2, IDS_P4D_STATIC2),
          TEXT_OF(IDC_CP4D_STATIC3, IDS_P4D_STATIC3), TEXT_OF(IDC_CP4D_STATIC4, IDS_P4D_STATIC4)}},
        {IDD_CP4E,
         "CP4E",
         {TEXT_OF(IDC_CP4E_STEPS, IDS_CHECKING), TEXT_OF(IDC_CP4E_STATIC2, IDS_P4E_STATIC2),
          TEXT_OF(IDC_CP4E_STATIC3, IDS_P4E_STATIC3), TEXT_OF(IDC_CP4E_STATIC4, IDS_P4E_STATIC4),
          TEXT_OF(IDC_CP4E_STATIC5, IDS_P4E_STATIC5)}},
        {IDD_CP5,
         "CP5",
         {TEXT_OF(IDC_CP5_STEPS, IDS_SETUP), TEXT_OF(IDC_CP5_STATIC2, IDS_P5_STATIC2),
          TEXT_OF(IDC_CP5_STATIC3, IDS_P5_STATIC3), TEXT_OF(IDC_CP5_STATIC4, IDS_P5_STATIC4),
          TEXT_OF(IDC_CP5_STATIC5, IDS_P5_STATIC5), TEXT_OF(IDC_CP5_STATIC6, IDS_P5_STATIC6)}},
        {IDD_CP6,
         "CP6",
         {TEXT_OF(IDC_CP6_STEPS, IDS_SETUP), TEXT_OF(IDC_CP6_STATIC2, IDS_P6_STATIC2),
          TEXT_OF(IDC_CP6_STATIC3, IDS_P6_STATIC3), TEXT_OF(IDC_CP6_STATIC4, IDS_P6_STATIC4),
          TEXT_OF(IDC_CP6_STATIC5, IDS_P6_STATIC5)}},
        {IDD_CP7,
         "CP7",
         {TEXT_OF(IDC_CP7_STEPS, IDS_SETUP), TEXT_OF(IDC_CP7_STATIC2, IDS_P7_STATIC2),
          TEXT_OF(IDC_CP7_STATIC3, IDS_P7_STATIC3), TEXT_OF(IDC_CP7_STATIC5, IDS_P7_STATIC5),
          TEXT_OF(IDC_CP7_STATIC6, IDS_P7_STATIC6), TEXT_OF(IDC_CP7_STATIC7, IDS_P7_STATIC7)}},
        {IDD_CP8,
         "CP8",
         {TEXT_OF(IDC_CP8_STEPS, IDS_SETUP), TEXT_OF(IDC_CP8_STATIC2, IDS_P8_STATIC2),
          TEXT_OF(IDC_CP8_STATIC3, IDS_P8_STATIC3), TEXT_OF(IDC_CP8_STATIC4, IDS_P8_STATIC4),
          TEXT_OF(IDC_CP8_STATIC5, IDS_P8_STATIC5), TEXT_OF(IDC_CP8_STATIC6, IDS_P8_STATIC6)}},
        {IDD_CP8A,
         "CP8A",
         {TEXT_OF(IDC_CP8A_STEPS, IDS_SETUP), TEXT_OF(IDC_CP8A_STATIC2, IDS_P8A_STATIC2),
          TEXT_OF(IDC_CP8A_STATIC3, IDS_P8A_STATIC3)}},
        {IDD_CP9,
         "CP9",
         {TEXT_OF(IDC_CP9_STEPS, IDS_COMPLETION), TEXT_OF(IDC_CP9_STATIC2, IDS_P9_STATIC2),
          TEXT_OF(IDC_CP9_STATIC3, IDS_P9_STATIC3), TEXT_OF(IDC_CP9_STATIC4, IDS_P9_STATIC4),
          TEXT_OF(IDC_CP9_STATIC6, IDS_P9_STATIC6), TEXT_OF(IDC_CP9_STATIC5, IDS_P9_STATIC5),
          TEXT_OF(IDC_CP9_SCAN, IDS_P9_SCAN_TO_JOIN)}},
        {IDD_CP10,
         "CP10",
         {TEXT_OF(IDC_CP10_STATIC1, IDS_P10_STATIC1), TEXT_OF(IDC_CP10_STATIC2_TOP, IDS_P10_STATIC2_Top),
          TEXT_OF(IDC_CP10_STATIC2_BOTTOM, IDS_P10_STATIC2_Bottom), TEXT_OF(IDC_CP10_STATIC4, IDS_P10_STATIC4),
          LABEL_OF(IDC_CP10_LINK1, IDS_P10_STATIC3, Kind::BoldLink),
          LABEL_OF(IDC_CP10_LINK2, IDS_P10_STATIC5, Kind::BoldLink)}},
        {IDD_CP11, "CP11", {TEXT_OF(IDC_CP11_STATIC1, IDS_P11_STATIC1), TEXT_OF(IDC_CP11_STATIC2, IDS_P11_STATIC2)}},
        {IDD_CP12,
         "CP12",
         {TEXT_OF(IDC_CP12_STATIC1, IDS_P12_STATIC1), LABEL_OF(IDC_CP12_HEAD_PC, IDS_P12_STATIC_PC, Kind::BigHeading),
          LABEL_OF(IDC_CP12_HEAD_TABLET, IDS_P12_STATIC_TABLET, Kind::BigHeading),
          LABEL_OF(IDC_CP12_LINK_WIN7, IDS_P12_STATIC_WIN7, Kind::Link),
          LABEL_OF(IDC_CP12_LINK_VISTA, IDS_P12_STATIC_VISTA, Kind::Link),
          LABEL_OF(IDC_CP12_LINK_XP, IDS_P12_STATIC_XP, Kind::Link),
          LABEL_OF(IDC_CP12_LINK_OSX, IDS_P12_STATIC_OSX, Kind::Link),
          LABEL_OF(IDC_CP12_LINK_IOS, IDS_P12_STATIC_IOS, Kind::Link),
          LABEL_OF(IDC_CP12_LINK_ANDROID, IDS_P12_STATIC_ANDROID, Kind::Link)}},
        {IDD_CP13A,
         "CP13A",
         {TEXT_OF(IDC_CP13A_STATIC1, IDS_P13A_STATIC1), TEXT_OF(IDC_CP13A_STATIC2, IDS_P13A_STATIC2),
          TEXT_OF(IDC_CP13A_STATIC3, IDS_P13A_STATIC3)}},
        {IDD_CP13B,
         "CP13B",
         {TEXT_OF(IDC_CP13B_STATIC1, IDS_P13B_STATIC1), TEXT_OF(IDC_CP13B_STATIC2, IDS_P13B_STATIC2)}},
        {IDD_CP13C,
         "CP13C",
         {TEXT_OF(IDC_CP13C_STATIC1, IDS_P13C_STATIC1), TEXT_OF(IDC_CP13C_STATIC2, IDS_P13C_STATIC2)}},
        {IDD_CP13D,
         "CP13D",
         {TEXT_OF(IDC_CP13D_STATIC1, IDS_P13D_STATIC1), TEXT_OF(IDC_CP13D_STATIC2, IDS_P13D_STATIC2)}},
        {IDD_CP14, "CP14", {TEXT_OF(IDC_CP14_STATIC1, IDS_P14_STATIC1), TEXT_OF(IDC_CP14_STATIC2, IDS_P14_STATIC2)}},
        {IDD_CP15, "CP15", {TEXT_OF(IDC_CP15_STATIC1, IDS_P15_STATIC1), TEXT_OF(IDC_CP15_STATIC2, IDS_P15_STATIC2)}},
    };
}

#undef TEXT_OF
#undef LABEL_OF

// Texts whose lines after a break sit beside fields or boxes.
const wchar_t* const kAlignedKeys[] = {L"IDS_P3A_STATIC5", L"IDS_P3A_STATIC7", L"IDS_P4C_STATIC4",
                                       L"IDS_P4E_STATIC4", L"IDS_P5_STATIC4",  L"IDS_P7_STATIC6",
                                       L"IDS_P8_STATIC5",  L"IDS_P9_STATIC4",  L"IDS_P9_STATIC6"};

// The page fills its formats with these, in the order the format expects.
std::wstring Filled(const std::wstring& key, const std::wstring& value)
{
    std::vector<std::wstring> args;
    if (key == L"IDS_P7_STATIC3")
        args = {L"Orvelle-7F3A2C"};
    else if (key == L"IDS_P9_STATIC6")
        args = {L"Kestrel2024", L"HomeNetwork2024", L"Wk7pQ2mZ9rT4vB8n", L"2024-05-17 14:32:05", L"203.0.113.45"};
    else if (StartsWith(key, L"IDS_P13") || StartsWith(key, L"IDS_P14") || StartsWith(key, L"IDS_P15"))
        args = {L"HomeNetwork2024", L"Wk7pQ2mZ9rT4vB8n"};
    std::wstring out = value;
    for (const std::wstring& arg : args) {
        const size_t pos = out.find(L"%s");
        if (pos == std::wstring::npos)
            break;
        out.replace(pos, 2, arg);
    }
    return out;
}

// A caption label's font as the pages create it: S points on this screen.
LOGFONTW LabelFont(const wchar_t* face, int points, bool bold)
{
    LOGFONTW lf{};
    HDC screen = ::GetDC(nullptr);
    lf.lfHeight = -::MulDiv(points, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    lf.lfWeight = bold ? FW_BOLD : FW_DONTCARE;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(lf.lfFaceName, face);
    return lf;
}

SIZE TextSize(const LOGFONTW& lf, const std::wstring& text)
{
    fw::CMemoryDC dc(::CreateCompatibleDC(nullptr));
    fw::CFont font(::CreateFontIndirectW(&lf));
    fw::CSelectObject selected(dc.get(), font.get());
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// The button shapes of the page art, from the script that draws it.
std::map<std::string, RECT> ButtonShapes()
{
    std::map<std::string, RECT> shapes;
    std::istringstream art(wintest::ReadAll(ResourceFolder() + L"make-art"));
    std::string line;
    bool inTable = false;
    while (std::getline(art, line)) {
        if (line.find("declare -A shape=(") != std::string::npos) {
            inTable = true;
            continue;
        }
        if (!inTable)
            continue;
        if (line.find(')') == 0)
            break;
        const size_t open = line.find('['), close = line.find(']'), quote = line.find('\'');
        if (open == std::string::npos || close == std::string::npos || quote == std::string::npos)
            continue;
        RECT rc{};
        if (sscanf_s(line.c_str() + quote + 1, "%ld,%ld %ld,%ld", &rc.left, &rc.top, &rc.right, &rc.bottom) == 4)
            shapes[line.substr(open + 1, close - open - 1)] = rc;
    }
    return shapes;
}

} // namespace

// The list file names the three languages in their own script and the files
// that hold them; the rest of the ten slots are marked empty.
TEST(LanguageFiles, ListOffersTheThreeLanguagesInSlotsZeroToTwo)
{
    ASSERT_FALSE(wintest::EnvFolder("TARVO_SOURCE_DIR").empty());
    CUIStr table;
    LoadSlot(0, &table);
    for (const Language& language : kLanguages) {
        EXPECT_EQ(table.languageName[language.slot], language.name);
        EXPECT_EQ(table.languageFile[language.slot], language.file);
    }
    for (int slot = 3; slot < 10; ++slot) {
        EXPECT_EQ(table.languageName[slot], L"0") << "slot " << slot;
        EXPECT_EQ(table.languageFile[slot], L"0") << "slot " << slot;
    }
    // Chinese names need the wide form; an 8-bit list would depend on the code page.
    for (const wchar_t* file : {L"LANG.ini", L"Lang0404.ini", L"Lang0407.ini"})
        EXPECT_EQ(wintest::ReadAll(ResourceFolder() + L"LANG\\" + file).substr(0, 2), "\xFF\xFE") << Narrow(file);
}

// Each slot reads its own file (a wrong file name would fall back to English
// without a word), with every key of the English file in the same order.
TEST(LanguageFiles, EverySlotHasAllKeysOfTheEnglishFileInItsOrder)
{
    const std::vector<std::wstring> englishKeys = KeysInFile(ResourceFolder() + L"LANG\\Lang0409.ini");
    ASSERT_EQ(englishKeys.size(), 182u);
    std::vector<std::wstring> titles;
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(Narrow(language.file));
        EXPECT_EQ(KeysInFile(ResourceFolder() + L"LANG\\" + language.file), englishKeys);
        const Strings strings = LoadSlot(language.slot);
        ASSERT_EQ(strings.size(), 182u);
        for (size_t i = 0; i < strings.size(); ++i) {
            EXPECT_EQ(strings[i].first, englishKeys[i]);
            EXPECT_FALSE(strings[i].second.empty()) << Narrow(strings[i].first) << " is empty";
            EXPECT_LT(strings[i].second.size(), 511u) << Narrow(strings[i].first) << " would be cut";
        }
        titles.push_back(AsMap(strings)[L"IDS_TITLE"]);
    }
    EXPECT_NE(titles[0], titles[1]);
    EXPECT_NE(titles[0], titles[2]);
    EXPECT_NE(titles[1], titles[2]);
}

// What the program fills in or parses must survive translation: the %s
// places, the numbers of the caption and heading values, the picture names.
TEST(LanguageFiles, PlaceholdersNumbersAndPicturesMatchEnglish)
{
    const std::map<std::wstring, std::wstring> english = AsMap(LoadSlot(0));
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(Narrow(language.file));
        for (const auto& [key, value] : LoadSlot(language.slot)) {
            const std::wstring& source = english.at(key);
            const std::string name = Narrow(key);
            EXPECT_EQ(Count(value, L"%s"), Count(source, L"%s")) << name;
            EXPECT_EQ(Count(value, L"%"), Count(source, L"%")) << name << ": a stray % would break the format";
            if (StartsWith(key, L"IDS_PAGE")) {
                EXPECT_EQ(value, source) << name;
                EXPECT_TRUE(wintest::Exists(ResourceFolder() + L"IMG\\" + value)) << name;
            }
        }
        const std::map<std::wstring, std::wstring> strings = AsMap(LoadSlot(language.slot));
        for (const wchar_t* key : kLayoutKeys) {
            EXPECT_TRUE(HasLeadingNumbers(strings.at(key), 5)) << Narrow(key);
            const LayoutValue ours = ParseLayout(strings.at(key));
            const LayoutValue theirs = ParseLayout(english.at(key));
            EXPECT_EQ(ours.y, theirs.y) << Narrow(key);
            EXPECT_EQ(ours.height, theirs.height) << Narrow(key);
            EXPECT_EQ(ours.pointSize, theirs.pointSize) << Narrow(key);
            EXPECT_FALSE(ours.text.empty()) << Narrow(key);
        }
        for (const wchar_t* key : kColourKeys) {
            EXPECT_TRUE(HasLeadingNumbers(strings.at(key), 4)) << Narrow(key);
            const ColourValue ours = ParseColour(strings.at(key));
            const ColourValue theirs = ParseColour(english.at(key));
            EXPECT_EQ(ours.Colour(), theirs.Colour()) << Narrow(key);
            EXPECT_EQ(ours.pointSize, theirs.pointSize) << Narrow(key);
        }
    }
}

// Markup mistakes do not show as errors, only as wrong type: an open <B>
// makes the rest bold, an unknown entity or tag shows as text.
TEST(LanguageFiles, MarkupIsWellFormedAndKeepsTheEnglishFonts)
{
    const std::map<std::wstring, std::wstring> english = AsMap(LoadSlot(0));
    auto fonts = [](const std::wstring& text) {
        std::vector<std::wstring> out;
        const std::wstring marked = tk::MarkEntities(text);
        tk::MarkupTokenizer tokens(marked);
        tk::Token token;
        while (tokens.Next(token))
            if (token.kind == tk::TokenKind::FontOn || token.kind == tk::TokenKind::FontOff)
                out.emplace_back(token.kind == tk::TokenKind::FontOn ? std::wstring(token.text) : L"/");
        return out;
    };
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(Narrow(language.file));
        for (const auto& [key, value] : LoadSlot(language.slot)) {
            if (IsNumberForm(key) || StartsWith(key, L"IDS_PAGE"))
                continue;
            const std::string name = Narrow(key);
            const std::wstring marked = tk::MarkEntities(value);
            EXPECT_EQ(marked.find(L'&'), std::wstring::npos) << name << ": unknown entity";
            tk::MarkupTokenizer tokens(marked);
            tk::Token token;
            int bold = 0;
            while (tokens.Next(token)) {
                if (token.kind == tk::TokenKind::BoldOn)
                    ++bold;
                if (token.kind == tk::TokenKind::BoldOff) {
                    EXPECT_GE(--bold, 0) << name << ": </B> without <B>";
                }
                if (token.kind == tk::TokenKind::Text) {
                    EXPECT_EQ(token.text.find(L'<'), std::wstring_view::npos) << name << ": unknown tag";
                }
            }
            EXPECT_EQ(bold, 0) << name << ": <B> left open";
            EXPECT_EQ(fonts(value), fonts(english.at(key))) << name;
        }
    }
}

// Each caption sits inside its button shape of the page art, about centred.
TEST(LanguageLayout, CaptionsSitOnTheirButtonShapes)
{
    const std::string fonts = FontSetUpProblem();
    ASSERT_TRUE(fonts.empty()) << fonts;
    const std::map<std::string, RECT> shapes = ButtonShapes();
    ASSERT_EQ(shapes.size(), 5u) << "the shape table of resources/make-art was not found";
    const std::map<std::wstring, std::string> shapeOf = {{L"IDS_NEXT", "next"},           {L"IDS_BACK", "back"},
                                                         {L"IDS_BACK_P2_P3_P3a", "back"}, {L"IDS_RECHECK", "recheck"},
                                                         {L"IDS_PRINT", "print"},         {L"IDS_ADD", "add"}};
    constexpr int kMargin = 4; // clear of the shape's rounded corners

    for (const Language& language : kLanguages) {
        const std::map<std::wstring, std::wstring> strings = AsMap(LoadSlot(language.slot));
        for (const auto& [key, shapeName] : shapeOf) {
            SCOPED_TRACE(Narrow(language.file) + " " + Narrow(key));
            const LayoutValue caption = ParseLayout(strings.at(key));
            const SIZE size = TextSize(LabelFont(L"Arial", caption.pointSize, false), caption.text);
            const RECT shape = shapes.at(shapeName);
            EXPECT_LE(size.cx, caption.width) << "caption wider than its label";
            EXPECT_LE(size.cy, caption.height) << "caption taller than its label";
            EXPECT_GE(caption.x, shape.left + kMargin);
            EXPECT_LE(caption.x + size.cx, shape.right - kMargin) << "caption runs off its button";
            EXPECT_GE(caption.y, shape.top);
            EXPECT_LE(caption.y + size.cy, shape.bottom);
            const int offCentre = (caption.x + size.cx / 2) - (shape.left + shape.right) / 2;
            EXPECT_LE(std::abs(offCentre), 6) << "caption " << offCentre << " px off the button's centre";
        }
    }
}

// Every text of every page shows whole inside its control, covers no other
// text and no field, and the captions beside fields and boxes keep the lines
// they have in English.
TEST(LanguageLayout, TextsFitTheirControlsWithoutOverlap)
{
    const std::string fonts = FontSetUpProblem();
    ASSERT_TRUE(fonts.empty()) << fonts;
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    CUIStr english;
    LoadSlot(0, &english);

    for (const Language& language : kLanguages) {
        CUIStr table;
        LoadSlot(language.slot, &table);
        for (const Page& page : Pages()) {
            PageTemplate dialog(host, page.id);
            ASSERT_NE(dialog.hwnd(), nullptr) << page.name;
            const std::vector<RECT> fields = dialog.Fields();
            std::vector<std::pair<std::string, Piece>> drawn;

            for (const Block& block : page.blocks) {
                const std::string where = Narrow(language.file) + " " + page.name + " " + Narrow(block.name);
                SCOPED_TRACE(where);
                const RECT rc = dialog.ControlRect(block.control);
                const std::wstring text = Filled(block.name, table.*block.key);
                if (block.kind != Kind::Text) {
                    // Owner-painted labels: one line each, no wrapping.
                    std::wstring caption = text;
                    int points = block.kind == Kind::BigHeading ? 16 : 12;
                    const wchar_t* face = L"Arial";
                    if (block.kind == Kind::Heading || block.kind == Kind::BoldHeading) {
                        const ColourValue value = ParseColour(text);
                        caption = value.text;
                        points = value.pointSize;
                        face = L"Calibri";
                    }
                    const bool bold = block.kind == Kind::BoldHeading || block.kind == Kind::BoldLink;
                    const SIZE size = TextSize(LabelFont(face, points, bold), caption);
                    EXPECT_LE(size.cx, rc.right - rc.left) << "label cut at the right";
                    EXPECT_LE(size.cy, rc.bottom - rc.top) << "label cut at the bottom";
                    continue;
                }

                const LOGFONTW base = dialog.Font(block.control);
                const std::vector<Piece> pieces = Lay(text, rc, base);
                size_t shown = 0;
                std::vector<Piece> visible;
                for (const Piece& piece : pieces) {
                    if (NonBlank(piece.text) == 0)
                        continue; // the blank a line break leaves covers nothing
                    shown += NonBlank(piece.text);
                    EXPECT_LE(piece.rc.right, rc.right) << "line cut at the right:" << Describe({piece});
                    drawn.emplace_back(Narrow(block.name), piece);
                    visible.push_back(piece);
                }
                EXPECT_EQ(shown, ShownCharacters(text)) << "text cut at the bottom:" << Describe(pieces);

                const std::wstring name = block.name;
                if (std::find(std::begin(kAlignedKeys), std::end(kAlignedKeys), name) != std::end(kAlignedKeys)) {
                    EXPECT_EQ(LinesAfterBreaks(text, rc, base),
                              LinesAfterBreaks(Filled(block.name, english.*block.key), rc, base))
                        << "lines beside fields moved:" << Describe(pieces);
                }

                for (const RECT& field : fields)
                    for (const Piece& piece : visible)
                        EXPECT_FALSE(Intersect(piece.rc, field)) << "text over a field:" << Describe({piece});
            }
            for (size_t i = 0; i < drawn.size(); ++i)
                for (size_t j = i + 1; j < drawn.size(); ++j)
                    if (drawn[i].first != drawn[j].first) {
                        EXPECT_FALSE(Intersect(drawn[i].second.rc, drawn[j].second.rc))
                            << Narrow(language.file) << " " << page.name << ": " << drawn[i].first << " overlaps "
                            << drawn[j].first << Describe({drawn[i].second, drawn[j].second});
                    }
        }
    }
    ::DestroyWindow(host);
}
