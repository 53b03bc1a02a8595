#pragma once
// One run of the wizard: the settings the person gives and the router
// reports, the one path to the router (its link and the worker thread that
// waits on the network), and the window that shows the pages. Pages reach
// all of it through the session and know nothing of the main window.
#include "PageIds.h"
#include "RouterOps.h"
#include "RouterWorker.h"
#include "RunRecord.h"
#include "SettingsForms.h"
#include "SummaryText.h"

#include <functional>
#include <memory>
#include <string>

// A page whose router form can be refused with 401: once the password dialog
// has a new administrator password, the page sends the same form again.
class CFormResender {
public:
    // Sends the form with the entry taken at the page's last Next.
    virtual void SendForm() = 0;

protected:
    ~CFormResender() = default;
};

// What the session needs of the window that shows the pages.
class CWizardHost {
public:
    // Shows page nPage (1..30) and hides the others.
    virtual void ShowPage(int nPage) = 0;
    // Shows the password dialog; see CTarvoDlg::AskAdminPassword.
    virtual void AskAdminPassword(CFormResender* resender) = 0;
    // The caption and the pages take the texts of the language just loaded.
    virtual void ApplyLanguage() = 0;
    // Ends the wizard.
    virtual void EndWizard() = 0;
    // Router work began or ended: while it runs the window shows that it is
    // working and takes no input.
    virtual void ShowWorking(bool working) = 0;

protected:
    ~CWizardHost() = default;
};

class CWizardSession {
public:
    explicit CWizardSession(CWizardHost& host)
        : m_host(host), m_record(std::make_shared<CRunRecord>()), m_link(std::make_shared<CRecordedLink>(m_record))
    {
    }

    CWizardHost& Host() const { return m_host; }

    // The router, the PC's adapters and the Internet, with everything that
    // goes through them recorded: the real ones unless a test puts a
    // stand-in here.
    CRouterLink& RouterLink() const { return *m_link; }
    void SetRouterLink(CRouterLink* link) { m_link->SetInner(link); }
    // The run's log and the facts of its router work.
    CRunRecord& Record() const { return *m_record; }
    CRouterWorker& Worker() { return m_worker; }
    // Router work is in flight: no other may start, and no page acts on input.
    bool Busy() const { return m_worker.Busy(); }

    // The router operations. Each runs on the worker thread with the
    // settings as they are at its start, then updates the settings and calls
    // done on the window's thread. False, with nothing started, while other
    // router work is in flight.
    //
    // Finds the wired adapter (its gateway becomes the router's address),
    // then sends the connection form of the chosen type.
    bool SetupWan(std::function<void(PostOutcome)> done);
    bool RebootRouter(std::function<void(PostOutcome)> done);
    // A settings form as the run's administrator (the connection is prepared
    // but its result not looked at: an unprepared one makes the post fail).
    bool SendSettingsForm(const RouterPost& form, std::function<void(PostOutcome)> done);
    // The Internet check: the first site, then the second.
    bool CheckInternet(std::function<void(bool reachable)> done);
    // The router's wireless name, into m_strSSID when the router tells it.
    bool ReadWirelessName(std::function<void()> done);
    // The router's clock and Internet address, each kept when its page or
    // marker is missing; reached is false when the router did not answer.
    bool ReadRouterStatus(std::function<void(bool reached)> done);

    // The values the summary shows.
    SummaryValues Summary() const;
    // The summary pages show the values once the summary was made.
    bool SummaryMade() const { return m_summaryMade; }
    // Makes the summary: the pages show it from now on, and the file goes to
    // the Desktop (fileName there, its text from webUri and the values, its
    // join code under joinCaption). False when the file could not be
    // written; m_strSettingsFile is then empty.
    bool MakeSummary(const std::wstring& fileName, const std::wstring& webUri, const std::wstring& joinCaption);

    // The settings of this run.
    int m_nWanType = 0; // 1 dynamic address, 2 PPPoE, 3 BigPond; 0 none chosen yet
    std::wstring m_strRouterIP = L"192.168.2.1";
    std::wstring m_strSSID;
    std::wstring m_strInternetIP;
    std::wstring m_strAdminPassword = L"6093"; // the router's factory password
    std::wstring m_strWirelessKey;
    std::wstring m_strPppoeUser;
    std::wstring m_strPppoePassword;
    std::wstring m_strBigPondUser;
    std::wstring m_strBigPondPassword;
    std::wstring m_strSystemTime;
    std::wstring m_strSettingsFile;

private:
    // Runs work on the worker; done follows, with the working display ended
    // unless done started more work.
    bool Run(std::function<void()> work, std::function<void()> done);

    CWizardHost& m_host;
    // Shared with the work in flight, which may outlive the session when the
    // window closes during it.
    std::shared_ptr<CRunRecord> m_record;
    std::shared_ptr<CRecordedLink> m_link;
    bool m_summaryMade = false;
    // Last: it goes first, while the rest is still there.
    CRouterWorker m_worker;
};
