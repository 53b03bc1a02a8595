#pragma once
// The 30 page classes, by design number. A page with texts has its source
// file, which holds its table of controls and its handlers; the pages that
// are only a picture need nothing beyond the base.
#include "PageBase.h"
#include "QrCodeView.h"
#include "resource.h"

// A page whose table says everything: its labels go where the table says.
#define TARVO_TABLE_PAGE(cls)                                                                                          \
    class cls : public CWizardPage {                                                                                   \
    public:                                                                                                            \
        explicit cls(CWnd* parent);                                                                                    \
    };

// A page of art alone: no controls, no texts.
#define TARVO_PICTURE_PAGE(cls, number, art)                                                                           \
    class cls : public CWizardPage {                                                                                   \
    public:                                                                                                            \
        explicit cls(CWnd* parent) : CWizardPage(number, IDD_##cls, &CUIStr::art, parent) {}                           \
    };

// Page 1: the language list and Next, which applies the choice.
class CP1 : public CWizardPage {
public:
    explicit CP1(CWnd* parent);

protected:
    BOOL OnInitDialog() override;
    bool OnControl(int id, int code) override;

private:
    void FillLanguageList() const;
    void ApplyLanguage() const;
};

TARVO_TABLE_PAGE(CP2)
TARVO_TABLE_PAGE(CP3)

// Page 4: the connection type and its account.
class CP3A : public CWizardPage {
public:
    explicit CP3A(CWnd* parent);

protected:
    bool OnControl(int id, int code) override;

private:
    void OnNext() const;
};

// Page 5: applies the connection settings, restarts the router and checks
// the Internet, paced by its timer; then moves on by itself.
class CP4 : public CCountdownPage {
public:
    explicit CP4(CWnd* parent);

    static constexpr UINT_PTR kTimerId = 77;

protected:
    void OnCountdown(int left) override;

private:
    // The run goes on after a form the router took; it stops on a refused
    // password (and asks for it) and on a failure (and shows its page).
    void AfterRouterStep(PostOutcome outcome);
};

TARVO_TABLE_PAGE(CP4A)
TARVO_PICTURE_PAGE(CP4B, 7, IDS_PAGE4B)
TARVO_PICTURE_PAGE(CP4B1, 8, IDS_PAGE4B1)
TARVO_PICTURE_PAGE(CP4B2, 9, IDS_PAGE4B2)
TARVO_PICTURE_PAGE(CP4B3, 10, IDS_PAGE4B3)
// Pages 11 and 13: ReCheck leads back to page 5 once the user has ticked all
// three boxes; every visit starts with none ticked.
class CConfirmationPage : public CWizardPage {
public:
    using CWizardPage::CWizardPage;
    bool AllTicked() const;

protected:
    bool OnControl(int id, int code) override;
    void OnShown() override;
    void OnHidden() override { Reset(); }

private:
    // Every visit starts clean: no box ticked, ReCheck inactive.
    void Reset() const;
    // The hand cursor over ReCheck is the page's state: on when it works.
    void SetReCheckActive(bool active) const;
};

class CP4C : public CConfirmationPage {
public:
    explicit CP4C(CWnd* parent);
};

TARVO_TABLE_PAGE(CP4D)
class CP4E : public CConfirmationPage {
public:
    explicit CP4E(CWnd* parent);
};

TARVO_PICTURE_PAGE(CP4F, 14, IDS_PAGE4F)
TARVO_PICTURE_PAGE(CP4G, 15, IDS_PAGE4G)

// Page 16: the new administrator password, sent to the router.
class CP5 : public CWizardPage, public CFormResender {
public:
    explicit CP5(CWnd* parent);
    // Sends the password form with the new password taken at the last Next.
    void SendForm() override;

protected:
    bool OnControl(int id, int code) override;
    void OnShown() override { ClearFields(); }
    void OnHidden() override { ClearFields(); }

private:
    void OnNext();
    // A password typed here never stays on screen.
    void ClearFields() const;

    std::wstring m_strNewPassword;
};

// Page 17: the router's time zone, chosen from its list.
class CP6 : public CWizardPage, public CFormResender {
public:
    explicit CP6(CWnd* parent);
    // Sends the time zone form with the zone taken at the last Next.
    void SendForm() override;

protected:
    bool OnControl(int id, int code) override;

private:
    void FillZoneList() const;
    void OnNext();

    int m_nZone = 0;
};

// Page 18: the name of the wireless network.
class CP7 : public CWizardPage, public CFormResender {
public:
    explicit CP7(CWnd* parent);
    // Sends the wireless form with the name taken at the last Next.
    void SendForm() override;

protected:
    bool OnControl(int id, int code) override;
    // The field starts empty; the sentence and label tell the name the
    // router has now.
    void OnShown() override;
    void OnHidden() override;

private:
    void OnNext();

    std::wstring m_strName;
};

// Page 19: the wireless password; then the router restarts.
class CP8 : public CWizardPage, public CFormResender {
public:
    explicit CP8(CWnd* parent);
    // Sends the wireless security form with the key taken at the last Next,
    // then has the router restart.
    void SendForm() override;

protected:
    bool OnControl(int id, int code) override;
    void OnShown() override { ClearField(); }
    void OnHidden() override { ClearField(); }

private:
    void OnNext();
    void ClearField() const;

    std::wstring m_strKey;
};

// Page 20: the summary of the settings; Print hands the saved file to the
// shell, Add leads to the device joining help.
class CP9 : public CWizardPage {
public:
    explicit CP9(CWnd* parent);
    void ApplyTexts() override;

protected:
    BOOL OnInitDialog() override;
    bool OnControl(int id, int code) override;
    void OnShown() override;

private:
    void PrintSummary() const;
    // The QR code that joins a phone to the new network, once the summary is
    // made, in the step panel below the steps.
    void ShowJoinCode();

    CQrCodeView m_joinCode;
};

TARVO_TABLE_PAGE(CP10)
TARVO_TABLE_PAGE(CP11)
TARVO_TABLE_PAGE(CP12)
TARVO_TABLE_PAGE(CP13A)
TARVO_TABLE_PAGE(CP13B)
TARVO_TABLE_PAGE(CP13C)
TARVO_TABLE_PAGE(CP13D)
TARVO_TABLE_PAGE(CP14)
TARVO_TABLE_PAGE(CP15)
// Page 30: waits about a minute for the router to restart, reads its clock
// and Internet address back, has the summary made and shows page 20.
class CP8A : public CCountdownPage {
public:
    explicit CP8A(CWnd* parent);

    static constexpr UINT_PTR kTimerId = 88;

protected:
    void OnCountdown(int left) override;

private:
    void AfterStatusRead(bool reached);
};

#undef TARVO_TABLE_PAGE
#undef TARVO_PICTURE_PAGE
