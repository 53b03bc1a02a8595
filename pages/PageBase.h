#pragma once
// What every wizard page shares: a borderless child dialog of the main
// window, numbered 1..30, with its background art, key filtering, and the
// controls that a table of the page describes. The base binds each control
// of the table to its object and applies the texts of the string table to
// them; a page class holds only what differs: its handlers. Pages reach the
// run's settings, the router and the navigation through the wizard session.
#include "Controls.h"
#include "Dialog.h"
#include "PTLabel.h"
#include "PTPicture.h"
#include "Session.h"
#include "UIStr.h"
#include "XHTMLStatic.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// How the base treats a control of a page's table.
enum class CtlKind {
    Button,   // CPTLabel as a push button: LAYOUT value, Arial, white, hand cursor
    Heading,  // CPTLabel as a coloured heading: COLOUR value, Calibri, at its fixed place
    Caption,  // CPTLabel with its whole value as text, styled by the table (links, group headings)
    Text,     // CXHTMLStatic text block at its fixed place
    Steps,    // the step panel: a text block at the left of the page
    Edit,     // the standard controls: placed where the table gives a place
    List,     // drop-down list
    Check,    // check box
    Radio,    // radio button
    Progress, // progress bar
};

// Position and size in pixels of the page's client area; all zero keeps the
// template's place.
struct CtlPlace {
    int x = 0, y = 0, cx = 0, cy = 0;
    bool IsSet() const { return x != 0 || y != 0 || cx != 0 || cy != 0; }
};

// A text block that the page fills from the session each time it is shown:
// once the summary is made, the completion page's settings or the network
// name and key on a device page; on a trouble page, what went wrong.
enum class CtlFill { None, Completion, Joining, Trouble };

// The cursor over a label.
enum class CtlCursor { Hand, Arrow, Unchanged };

struct CtlRow {
    int id = 0;
    CtlKind kind = CtlKind::Text;
    // The string-table entry of its text. A label or text block without one
    // is bound but left alone by ApplyTexts: other code fills it.
    std::wstring CUIStr::*text = nullptr;
    CtlPlace place{};
    bool bold = false;                  // Heading, Caption: bold type
    int points = 0;                     // Caption: type size
    COLORREF colour = 0;                // Caption: text colour in every state
    CtlCursor cursor = CtlCursor::Hand; // Button, Caption
    int limit = 0;                      // Edit: length limit that ApplyTexts sets; 0 sets none
    int goesTo = 0;                     // Button, Caption: page shown on a click the page does not handle
    CtlFill fill = CtlFill::None;       // Text: filled from the session when shown
};

// Where every step panel sits.
inline constexpr CtlPlace kStepsPlace{10, 155, 250, 220};
// The trouble pages' account of what went wrong, under the step panel.
inline constexpr CtlPlace kTroublePlace{12, 380, 246, 165};
// The colours of the help pages' links and group headings.
inline constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
inline constexpr COLORREF kGroupBlack = RGB(0, 0, 0);

class CWizardPage : public CDialog {
public:
    // art: the string-table entry that names the page's picture; controls:
    // the page's table, which must outlive the page (a static array).
    CWizardPage(int pageNumber, UINT templateId, std::wstring CUIStr::*art, CWnd* parent,
                std::span<const CtlRow> controls = {});

    int PageNumber() const { return m_pageNumber; }
    // The run the page belongs to; set once, before its window is made.
    void AttachSession(CWizardSession& session) { m_session = &session; }
    CWizardSession* Session() const { return m_session; }
    // Places and fills the page's labels and texts from the string table.
    virtual void ApplyTexts();
    // The file the page's art is loaded from.
    std::wstring ArtPath() const;
    // Fixes the art's file name in the current language before the window
    // exists; otherwise the window's creation does.
    void NameArt();
    // The page's art, decoded on first use from the file named at creation.
    const CPTPicture& Background() const
    {
        LoadArt();
        return m_background;
    }
    std::span<const CtlRow> Table() const { return m_table; }

    // The object bound to control id of the table, or nullptr.
    CWnd* Control(int id) const;
    template <typename T> T* Ctl(int id) const { return dynamic_cast<T*>(Control(id)); }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {} // Enter never closes a page
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // A notification of a control of the page (STN_CLICKED, CBN_DROPDOWN ...).
    // True when the page handled it.
    virtual bool OnControl(int /*id*/, int /*code*/) { return false; }
    // The page has just been shown or hidden (not its parent minimised). The
    // base has filled the text blocks of the session before OnShown.
    virtual void OnShown() {}
    virtual void OnHidden() {}

    // Shows page n.
    void GoTo(int page) const;
    // Sends a settings form as the run's administrator; done takes the
    // outcome. A refused login also brings up the password dialog, whose OK
    // has resender send the same form again.
    void SendSettingsForm(CFormResender& resender, const RouterPost& form, std::function<void(PostOutcome)> done) const;
    // A message box with the title, OK only, over the page.
    void ShowMessage(const std::wstring& text, UINT icon = 0) const;
    // Replaces a text block's content and shows it at once over the art.
    void SetTextBlock(CXHTMLStatic& block, const std::wstring& markup) const;
    // Repaints the page behind a control and then the control, so that a
    // transparent control never keeps its old text under the new one.
    void RepaintBehind(const CWnd& control, bool now) const;
    bool HasArt() const { return Background().HasPicture(); }
    // Pages 1 and 2 also swallow F1 and let a press on the page drag the window.
    bool IsWelcomePage() const { return m_pageNumber == kPageLanguage || m_pageNumber == kPageWelcome; }

private:
    void ApplyText(const CtlRow& row, CWnd& control) const;
    // The five state colours, the cursor, and a repaint of the label's place.
    void StyleLabel(CPTLabel& label, COLORREF colour, CtlCursor cursor) const;
    void FillFromSession();
    // Gives the focus that the page receives to a radio group's checked
    // button, or keeps it on the page; false when the first tab stop is no
    // radio button and the dialog's own handling applies.
    bool KeepFocusOffTheRadioGroup() const;
    // Keeps the focus on the page when its first tab stop is a label or it
    // has none: Enter must not act on a page just reached, and no text takes
    // the focus. Tab then goes to the first stop.
    bool KeepFocusOffTheLabels() const;
    // Makes the labels that act on a click tab stops and puts the stops in
    // reading order.
    void OrderTabStops() const;

    // Decoding a picture takes tens of milliseconds under some systems; only
    // page 1 is needed at start, so each page decodes its own when first used.
    void LoadArt() const;

    // The page's picture, painted as its background; no window of its own.
    mutable CPTPicture m_background;
    mutable bool m_artLoaded = false;
    bool m_artNamed = false;
    std::wstring m_artPath;
    int m_pageNumber;
    std::wstring CUIStr::*m_art;
    CWizardSession* m_session = nullptr;
    std::span<const CtlRow> m_table;
    // One object per table row, in table order; empty where the template lacks the control.
    std::vector<std::unique_ptr<CWnd>> m_controls;
};

// A page that counts down in ticks of its timer and moves its progress bar
// along: 50 ticks a run, 2 % of the bar each. A tick that comes while router
// work is in flight is skipped: the count waits for the work, so no wait
// between two steps is ever shortened.
class CCountdownPage : public CWizardPage {
public:
    static constexpr UINT kTimerMs = 1200;
    static constexpr int kTicksPerRun = 50;

protected:
    // stopWhenHidden: hiding the page ends its run; otherwise only the page's
    // own ways out do.
    CCountdownPage(int pageNumber, UINT templateId, std::wstring CUIStr::*art, CWnd* parent,
                   std::span<const CtlRow> controls, UINT_PTR timerId, bool stopWhenHidden);

    // One tick of a run; `left` ticks remain.
    virtual void OnCountdown(int left) = 0;
    void StopCountdown();

    void OnShown() override;
    void OnHidden() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void PlaceBar() const;

    UINT_PTR m_timerId;
    bool m_stopWhenHidden;
    int m_nCountdown = 0;
    bool m_bCounting = false;
};

// Keys that never act on the wizard: Enter, Escape and F1.
bool IsSwallowedKey(const MSG& msg, bool includingF1);

// Makes the object of page n (1..30) with the main window as parent, in session.
std::unique_ptr<CWizardPage> CreatePageObject(int n, CWnd* parent, CWizardSession& session);
