#include "PageBase.h"

#include "Markup.h"
#include "SummaryText.h"
#include "TabOrder.h"
#include "ValueForms.h"
#include "resource.h"

#include <commctrl.h>

#include <utility>

namespace {

constexpr UINT kMoveOnly = SWP_NOACTIVATE | SWP_NOZORDER;

std::unique_ptr<CWnd> MakeControl(CtlKind kind)
{
    switch (kind) {
    case CtlKind::Button:
    case CtlKind::Heading:
    case CtlKind::Caption:
        return std::make_unique<CPTLabel>();
    case CtlKind::Text:
    case CtlKind::Steps:
        return std::make_unique<CXHTMLStatic>();
    case CtlKind::Edit:
        return std::make_unique<CEdit>();
    case CtlKind::List:
        return std::make_unique<CComboBox>();
    case CtlKind::Check:
    case CtlKind::Radio:
        return std::make_unique<CButton>();
    case CtlKind::Progress:
        return std::make_unique<CProgressCtrl>();
    }
    return nullptr;
}

} // namespace

bool IsSwallowedKey(const MSG& msg, bool includingF1)
{
    if (msg.message != WM_KEYDOWN)
        return false;
    return msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE || (includingF1 && msg.wParam == VK_F1);
}

CWizardPage::CWizardPage(int pageNumber, UINT templateId, std::wstring CUIStr::*art, CWnd* parent,
                         std::span<const CtlRow> controls)
    : CDialog(templateId, parent), m_pageNumber(pageNumber), m_art(art), m_table(controls)
{
}

std::wstring CWizardPage::ArtPath() const
{
    return g_strAppFolder + L"IMG\\" + g_uiStr.*m_art;
}

void CWizardPage::NameArt()
{
    m_artPath = ArtPath();
    m_artNamed = true;
    m_artLoaded = false;
}

void CWizardPage::LoadArt() const
{
    if (m_artLoaded)
        return;
    m_artLoaded = true;
    // A missing file leaves the page without art and says nothing.
    m_background.LoadFromFile(m_artPath);
}

BOOL CWizardPage::OnInitDialog()
{
    // The art is named in the language of start-up; a later language keeps it.
    if (!m_artNamed)
        NameArt();

    m_controls.clear();
    for (const CtlRow& row : m_table) {
        std::unique_ptr<CWnd> control = MakeControl(row.kind);
        if (control && !control->SubclassDlgItem(row.id, *this))
            control.reset();
        m_controls.push_back(std::move(control));
    }
    return TRUE;
}

CWnd* CWizardPage::Control(int id) const
{
    for (size_t i = 0; i < m_table.size() && i < m_controls.size(); ++i) {
        if (m_table[i].id == id)
            return m_controls[i].get();
    }
    return nullptr;
}

void CWizardPage::ApplyTexts()
{
    for (size_t i = 0; i < m_table.size() && i < m_controls.size(); ++i) {
        if (m_controls[i])
            ApplyText(m_table[i], *m_controls[i]);
    }
    OrderTabStops();
}

void CWizardPage::OrderTabStops() const
{
    for (size_t i = 0; i < m_table.size() && i < m_controls.size(); ++i) {
        const CtlRow& row = m_table[i];
        if (auto* label = dynamic_cast<CPTLabel*>(m_controls[i].get())) {
            // A label without an area cannot be seen, so it cannot be a stop either.
            const RECT rc = label->GetClientRect();
            const bool acts = row.kind == CtlKind::Button || (row.kind == CtlKind::Caption && row.goesTo > 0);
            label->SetKeyboardButton(acts && rc.right > 0 && rc.bottom > 0);
        }
    }
    ArrangeTabOrder(m_hWnd);
}

void CWizardPage::ApplyText(const CtlRow& row, CWnd& control) const
{
    switch (row.kind) {
    case CtlKind::Button: {
        if (!row.text)
            break;
        auto& label = static_cast<CPTLabel&>(control);
        const LayoutValue layout = ParseLayout(g_uiStr.*row.text);
        label.SetWindowPos(nullptr, layout.x, layout.y, layout.width, layout.height, kMoveOnly);
        label.SetWindowText(layout.text);
        label.SetLabelFont(FALSE, layout.pointSize, L"Arial");
        StyleLabel(label, RGB(255, 255, 255), row.cursor);
        break;
    }
    case CtlKind::Heading: {
        if (!row.text)
            break;
        auto& label = static_cast<CPTLabel&>(control);
        const ColourValue colour = ParseColour(g_uiStr.*row.text);
        label.SetWindowPos(nullptr, row.place.x, row.place.y, row.place.cx, row.place.cy, kMoveOnly);
        label.SetWindowText(colour.text);
        label.SetLabelFont(row.bold ? TRUE : FALSE, colour.pointSize, L"Calibri");
        StyleLabel(label, static_cast<COLORREF>(colour.Colour()), CtlCursor::Unchanged);
        break;
    }
    case CtlKind::Caption: {
        if (!row.text)
            break;
        auto& label = static_cast<CPTLabel&>(control);
        label.SetWindowPos(nullptr, row.place.x, row.place.y, row.place.cx, row.place.cy, kMoveOnly);
        label.SetWindowText(g_uiStr.*row.text);
        label.SetLabelFont(row.bold ? TRUE : FALSE, row.points, L"Arial");
        StyleLabel(label, row.colour, row.cursor);
        break;
    }
    case CtlKind::Text:
    case CtlKind::Steps: {
        if (!row.text)
            break;
        auto& text = static_cast<CXHTMLStatic&>(control);
        const CtlPlace place = row.kind == CtlKind::Steps ? kStepsPlace : row.place;
        text.SetWindowPos(nullptr, place.x, place.y, place.cx, place.cy, kMoveOnly);
        text.ModifyStyleEx(0, WS_EX_TRANSPARENT);
        SetTextBlock(text, g_uiStr.*row.text);
        break;
    }
    case CtlKind::Edit:
        if (row.limit > 0)
            static_cast<CEdit&>(control).SetLimitText(static_cast<UINT>(row.limit));
        [[fallthrough]];
    case CtlKind::List:
    case CtlKind::Check:
    case CtlKind::Radio:
    case CtlKind::Progress:
        if (row.place.IsSet())
            control.SetWindowPos(nullptr, row.place.x, row.place.y, row.place.cx, row.place.cy, kMoveOnly);
        break;
    }
}

void CWizardPage::StyleLabel(CPTLabel& label, COLORREF colour, CtlCursor cursor) const
{
    for (COLORREF& state : label.m_crState)
        state = colour;
    if (cursor != CtlCursor::Unchanged)
        label.m_bHandCursor = cursor == CtlCursor::Hand ? TRUE : FALSE;
    RepaintBehind(label, false);
}

void CWizardPage::RepaintBehind(const CWnd& control, bool now) const
{
    RECT rc = control.GetWindowRect();
    ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    // The page's art first, then the controls over it: a text block copies
    // what lies behind it when it renders.
    ::RedrawWindow(m_hWnd, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (now ? RDW_UPDATENOW : 0u));
}

bool CWizardPage::KeepFocusOffTheRadioGroup() const
{
    // The dialog would hand the focus to its first tab stop. An automatic
    // radio button checks itself when it takes the focus (Windows does so),
    // which would choose for the user each time the page is shown.
    HWND first = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    if (!first || (::GetWindowLongPtrW(first, GWL_STYLE) & BS_TYPEMASK) != BS_AUTORADIOBUTTON)
        return false;
    HWND radio = first;
    do {
        if (::SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            ::SetFocus(radio); // the choice already made keeps the focus
            return true;
        }
        radio = ::GetNextDlgGroupItem(m_hWnd, radio, FALSE);
    } while (radio && radio != first);
    return true; // nothing chosen yet: the page itself keeps the focus
}

bool CWizardPage::KeepFocusOffTheLabels() const
{
    HWND first = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    return !first || dynamic_cast<const CPTLabel*>(CWnd::FromHandle(first)) != nullptr;
}

void CWizardPage::SetTextBlock(CXHTMLStatic& block, const std::wstring& markup) const
{
    block.ResetFormatting();
    block.SetWindowText(markup);
    RepaintBehind(block, true);
}

namespace {

// The log's place as a person can type it into Explorer: under the local
// application data folder, the short form, else the path itself.
std::wstring ShortLogPath(const std::wstring& path)
{
    const std::wstring folder = RunLogFolder();
    if (!folder.empty() && path.size() > folder.size() && _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) == 0)
        return L"%LOCALAPPDATA%\\Tarvo\\" + path.substr(folder.size());
    return path;
}

// What a trouble page says went wrong, as markup: the cause the run's facts
// name, what to do, and where the log is.
std::wstring TroubleText(const CWizardSession& session, int page)
{
    const RunFacts facts = session.Record().Facts();
    std::wstring text;
    switch (Diagnose(facts, page)) {
    case Trouble::None:
        break;
    case Trouble::NoAdapterList:
        text = g_uiStr.IDS_TROUBLE_NO_ADAPTER_LIST;
        break;
    case Trouble::NoWiredAdapter:
        text = g_uiStr.IDS_TROUBLE_NO_WIRED;
        break;
    case Trouble::FixedAddress:
        text = g_uiStr.IDS_TROUBLE_FIXED_ADDRESS;
        break;
    case Trouble::NoGateway:
        text = g_uiStr.IDS_TROUBLE_NO_GATEWAY;
        break;
    case Trouble::NoAnswer:
        text = FillMarkup(g_uiStr.IDS_TROUBLE_NO_ANSWER, {facts.routerIP}) + L" " +
               (facts.repaired ? g_uiStr.IDS_TROUBLE_REPAIRED : g_uiStr.IDS_TROUBLE_NOT_REPAIRED);
        break;
    case Trouble::LoginRefused:
        text = g_uiStr.IDS_TROUBLE_REFUSED;
        break;
    case Trouble::AnswerTooLarge:
        text = g_uiStr.IDS_TROUBLE_TOO_LARGE;
        break;
    case Trouble::ConnectionReset:
        text = g_uiStr.IDS_TROUBLE_RESET;
        break;
    case Trouble::RequestFailed:
        text = FillMarkup(g_uiStr.IDS_TROUBLE_FAILED, {std::to_wstring(facts.requestResult)});
        break;
    case Trouble::NoInternet: {
        const std::wstring* const types[] = {&g_uiStr.IDS_TROUBLE_TYPE1, &g_uiStr.IDS_TROUBLE_TYPE2,
                                             &g_uiStr.IDS_TROUBLE_TYPE3};
        const std::wstring type = facts.wanType >= 1 && facts.wanType <= 3 ? *types[facts.wanType - 1] : L"";
        text = FillMarkup(g_uiStr.IDS_TROUBLE_NO_INTERNET, {type});
        if (facts.wanType == kWanPppoe || facts.wanType == kWanBigPond)
            text += L" " + g_uiStr.IDS_TROUBLE_ACCOUNT;
        break;
    }
    }
    std::wstring markup = L"<B>" + tk::EscapeMarkup(g_uiStr.IDS_TROUBLE_TITLE) + L"</B><BR>" + text;
    if (!session.Record().Path().empty())
        markup += L"<BR><BR>" + FillMarkup(g_uiStr.IDS_TROUBLE_LOG, {ShortLogPath(session.Record().Path())});
    return markup;
}

} // namespace

void CWizardPage::FillFromSession()
{
    if (!m_session)
        return;
    for (size_t i = 0; i < m_table.size() && i < m_controls.size(); ++i) {
        const CtlRow& row = m_table[i];
        auto* block = dynamic_cast<CXHTMLStatic*>(m_controls[i].get());
        if (row.fill == CtlFill::None || !row.text || !block)
            continue;
        if (row.fill == CtlFill::Trouble) {
            SetTextBlock(*block, TroubleText(*m_session, m_pageNumber));
        } else if (m_session->SummaryMade()) { // the raw format stays until then
            const std::wstring& format = g_uiStr.*row.text;
            const SummaryValues values = m_session->Summary();
            SetTextBlock(*block, row.fill == CtlFill::Completion ? CompletionText(format, values)
                                                                 : JoiningText(format, values));
        }
    }
}

void CWizardPage::GoTo(int page) const
{
    if (m_session)
        m_session->Host().ShowPage(page);
}

void CWizardPage::SendSettingsForm(CFormResender& resender, const RouterPost& form,
                                   std::function<void(PostOutcome)> done) const
{
    if (!m_session)
        return;
    CWizardSession& session = *m_session;
    session.SendSettingsForm(form, [&session, &resender, done = std::move(done)](PostOutcome outcome) {
        if (outcome == PostOutcome::Refused)
            session.Host().AskAdminPassword(&resender);
        done(outcome);
    });
}

void CWizardPage::ShowMessage(const std::wstring& text, UINT icon) const
{
    ::MessageBoxW(m_hWnd, text.c_str(), g_uiStr.IDS_TITLE.c_str(), MB_OK | icon);
}

void CWizardPage::OnCancel()
{
    if (m_session)
        m_session->Host().EndWizard();
    CDialog::OnCancel();
}

BOOL CWizardPage::PreTranslateMessage(MSG* msg)
{
    if (IsSwallowedKey(*msg, IsWelcomePage()))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CWizardPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    // A click made while a router request held the program up arrives only
    // after that request, when the page may already have been left (a double
    // click on Next): a page that is not shown takes no clicks.
    if (code == STN_CLICKED && !IsWindowVisible())
        return TRUE;
    // Nor does a page act on a click while router work runs: the work's end
    // decides where the wizard goes.
    if (code == STN_CLICKED && m_session && m_session->Busy())
        return TRUE;
    if (OnControl(id, code))
        return TRUE;
    if (code == STN_CLICKED) {
        for (const CtlRow& row : m_table) {
            if (row.id == id && row.goesTo > 0) {
                GoTo(row.goesTo);
                return TRUE;
            }
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CWizardPage::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_HELP:
        return TRUE; // F1 never opens help
    case WM_ERASEBKGND:
        // Without art the dialog's own erase leaves no junk behind the page.
        if (Background().Draw(reinterpret_cast<HDC>(wParam)))
            return TRUE;
        break;
    case WM_SETFOCUS:
        if (KeepFocusOffTheRadioGroup() || KeepFocusOffTheLabels())
            return 0;
        break;
    case WM_LBUTTONDOWN:
        if (IsWelcomePage()) {
            ::SendMessageW(::GetParent(m_hWnd), WM_NCLBUTTONDOWN, HTCAPTION, lParam);
            return 0;
        }
        break;
    case WM_SHOWWINDOW:
        // Only the page's own showing and hiding, not its parent's minimising.
        if (lParam == 0) {
            const LRESULT result = CDialog::WindowProc(msg, wParam, lParam);
            if (wParam) {
                FillFromSession();
                OnShown();
            } else {
                OnHidden();
            }
            return result;
        }
        break;
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

CCountdownPage::CCountdownPage(int pageNumber, UINT templateId, std::wstring CUIStr::*art, CWnd* parent,
                               std::span<const CtlRow> controls, UINT_PTR timerId, bool stopWhenHidden)
    : CWizardPage(pageNumber, templateId, art, parent, controls), m_timerId(timerId), m_stopWhenHidden(stopWhenHidden)
{
}

void CCountdownPage::PlaceBar() const
{
    if (CProgressCtrl* bar = Ctl<CProgressCtrl>(IDC_PROGRESS)) {
        bar->SetWindowPos(nullptr, 300, 220, 450, 20, kMoveOnly);
        bar->SetRange(0, 100);
        bar->SetPos(0);
    }
}

void CCountdownPage::OnShown()
{
    PlaceBar();
    m_nCountdown = kTicksPerRun;
    m_bCounting = true;
    SetTimer(m_timerId, kTimerMs);
}

void CCountdownPage::OnHidden()
{
    PlaceBar();
    if (m_stopWhenHidden)
        StopCountdown();
}

void CCountdownPage::StopCountdown()
{
    m_bCounting = false;
    KillTimer(m_timerId);
}

LRESULT CCountdownPage::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_TIMER || wParam != m_timerId)
        return CWizardPage::WindowProc(msg, wParam, lParam);
    // A tick left over from a run that has ended does nothing; nor does one
    // that comes while a step of the run is still in flight.
    if (!m_bCounting || (Session() && Session()->Busy()))
        return 0;
    --m_nCountdown;
    if (CProgressCtrl* bar = Ctl<CProgressCtrl>(IDC_PROGRESS))
        bar->SetPos((kTicksPerRun - m_nCountdown) * 2);
    OnCountdown(m_nCountdown);
    return 0;
}
