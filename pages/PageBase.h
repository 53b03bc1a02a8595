#pragma once
// What every wizard page shares: a borderless child dialog of the main
// window, numbered 1..30, with its background art, key filtering, and the
// controls that a table of the page describes. The base binds each control
// of the table to its object and applies the texts of the string table to
// them; a page class holds only what differs: its handlers.
#include "Controls.h"
#include "Dialog.h"
#include "PTLabel.h"
#include "PTPicture.h"
#include "UIStr.h"
#include "XHTMLStatic.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

class CTarvoDlg;

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
};

// Where every step panel sits.
inline constexpr CtlPlace kStepsPlace{10, 155, 250, 220};
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

    CTarvoDlg* MainWindow() const;
    // Asks the main window to show page n.
    void GoTo(int page) const;
    bool HasArt() const { return Background().HasPicture(); }
    // Pages 1 and 2 also swallow F1 and let a press on the page drag the window.
    bool IsWelcomePage() const { return m_pageNumber == 1 || m_pageNumber == 2; }

private:
    void ApplyText(const CtlRow& row, CWnd& control) const;
    // The five state colours, the cursor, and a repaint of the label's place.
    void StyleLabel(CPTLabel& label, COLORREF colour, CtlCursor cursor) const;
    // Repaints the page behind a control and then the control, so that a
    // transparent control never keeps its old text under the new one.
    void RepaintBehind(const CWnd& control, bool now) const;
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
    std::span<const CtlRow> m_table;
    // One object per table row, in table order; empty where the template lacks the control.
    std::vector<std::unique_ptr<CWnd>> m_controls;
};

// A page whose router form can be refused with 401: once the password dialog
// has a new administrator password, the page sends the same form again.
class CFormResender {
public:
    // Sends the form with the entry taken at the page's last Next.
    virtual void SendForm() = 0;

protected:
    ~CFormResender() = default;
};

struct RouterPost;
enum class PostOutcome;

// Sends a form of the router settings pages as the run's administrator. A
// refused login brings up the password dialog, whose OK has `page` send the
// same form again.
PostOutcome SendSettingsForm(CTarvoDlg& main, CFormResender& page, const RouterPost& form);

// Makes the object of page n (1..30) with the main window as parent.
std::unique_ptr<CWizardPage> CreatePageObject(int n, CWnd* parent);
