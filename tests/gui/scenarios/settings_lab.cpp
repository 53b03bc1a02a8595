// The router settings stage in the network lab, as a person goes through it:
// from page 6 on, the administrator password, the time zone, the wireless
// name and the wireless password, against the substitute router, whose
// journal and state say what arrived, byte for byte.
//
// SAFETY: these scenarios reach the router operations and the Internet
// check; they run only inside the lab's PC namespace (see LabSupport.h).
#include "LabSupport.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kPassword = 16, kTimeZone = 17, kName = 18, kKey = 19, kRestartWait = 30;

// The Authorization header of requests made as "admin" with password.
std::string BasicFor(const std::string& password)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string plain = "admin:" + password;
    std::string out = "Basic ";
    for (size_t i = 0; i < plain.size(); i += 3) {
        const size_t n = std::min<size_t>(3, plain.size() - i);
        unsigned v = 0;
        for (size_t k = 0; k < 3; ++k)
            v = (v << 8) | (k < n ? static_cast<unsigned char>(plain[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k)
            out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return out;
}

// jq: a field of each request of the journal, one per line.
std::string EachRequest(const std::string& field)
{
    return "[.[] | " + field + "] | join(\"\\n\")";
}

std::string Narrow(const std::wstring& text)
{
    return gui::Narrow(text);
}

class LabSettings : public lab::LabScenario {
protected:
    static std::wstring English(const std::wstring& key)
    {
        wchar_t value[1024] = L"";
        const std::wstring file = scenario::DistFolder() + L"\\LANG\\Lang0409.ini";
        ::GetPrivateProfileStringW(L"Strings", key.c_str(), L"", value, 1024, file.c_str());
        return value;
    }

    // Pages 18 and 19 from page 17's Next; ends on page 30.
    void NameAndKeyToTheWait(const std::wstring& name, const std::wstring& key)
    {
        gui.ExpectPage(kName);
        gui.TypeText(IDC_EDIT_FIELD, name);
        ClickNext();
        gui.ExpectPage(kKey);
        gui.TypeText(IDC_EDIT_FIELD, key);
        ClickNext();
        gui.ExpectPage(kRestartWait);
        Shot(L"page30");
    }

    // Through pages 1 to 5 with a dynamic address, page 5's timer
    // fast-forwarded, to page 6 and on to page 16. From then on the journal
    // counts.
    void WalkToPasswordPage()
    {
        StartWizard();
        gui.ExpectPage(1);
        gui.ClickLabel(IDC_CP1_NEXT);
        gui.ExpectPage(2);
        ClickNext();
        gui.ExpectPage(3);
        ClickNext();
        gui.ExpectPage(4);
        gui.Tick(IDC_RADIO_DHCP);
        gui.ClickLabel(IDC_CONN_NEXT);
        RunPage5ToPage6();
        m_since = router.NextSeq() - 1;
        gui.ClickLabel(IDC_CONN_NEXT);
        gui.ExpectPage(kPassword);
    }

    // Page 5's run: the settings post and the restart, the router's return,
    // then the remaining ticks up to the Internet check.
    void RunPage5ToPage6()
    {
        gui.ExpectPage(5);
        TickWhile([this] { return Bar() < 6; });
        ASSERT_EQ(gui.VisiblePage(), 5) << "the connection stage failed";
        ASSERT_TRUE(router.WaitRunning(30)) << "the router did not come back";
        TickWhile([] { return true; });
        gui.ExpectPage(6, 30000);
        Shot(L"page6");
    }

    // Ticks of page 5 while it is up and more() holds.
    template <typename Condition> void TickWhile(Condition more)
    {
        for (int guard = 0; guard < 60 && gui.VisiblePage() == 5 && more(); ++guard)
            Tick();
        gui.Settle();
    }

    // A click on Next as a person's second click: not so soon after the
    // last one that the label takes the two for a double click.
    gui::Outcome ClickNext()
    {
        const DWORD gap = ::GetDoubleClickTime() + 100;
        const DWORD since = ::GetTickCount() - m_lastClick;
        if (m_lastClick && since < gap)
            ::Sleep(gap - since);
        const gui::Outcome outcome = gui.ClickLabel(IDC_NEXT);
        m_lastClick = ::GetTickCount();
        return outcome;
    }

    // Next on the visible page, which must answer with message n (OK only)
    // and stay. The box is photographed before it is closed.
    void ExpectMessage(int n, const std::wstring& shot)
    {
        const int page = gui.VisiblePage();
        EXPECT_EQ(ClickNext(), gui::Outcome::PopupShown);
        const gui::MessageBoxInfo box = gui.WaitForMessageBox();
        EXPECT_EQ(box.caption, English(L"IDS_TITLE"));
        EXPECT_EQ(box.text, English(L"IDS_ERROR_MSG" + std::to_wstring(n))) << Narrow(shot);
        Shot(shot);
        gui.AnswerMessageBox(IDOK);
        EXPECT_EQ(gui.VisiblePage(), page);
    }

    // Next on the visible page with no message box.
    void NextWithoutMessage()
    {
        EXPECT_EQ(ClickNext(), gui::Outcome::Returned);
        gui.Settle();
        EXPECT_FALSE(gui.FindMessageBox().has_value());
    }

    // Replaces a field's text by typing it.
    void Retype(int id, const std::wstring& text)
    {
        gui.SetText(id, L"");
        if (!text.empty())
            gui.TypeText(id, text);
    }

    // What reached the router since page 6: "METHOD target status" each.
    std::string Trace()
    {
        return router.Journal(m_since,
                              "[.[] | .method + \" \" + .target + \" \" + (.status | tostring)] | join(\", \")");
    }

    int m_since = 0;
    DWORD m_lastClick = 0;
};

const std::string kTimeZone51 = "TimeZoneSelget=0&startMonthget=1&startDayget=1&endMonthget=1&endDayget=1"
                                "&TimeZoneSel=51&TimeServerAddr=129.6.15.28&B1=APPLY&submit-url=%2Fsystimezone.asp";
const std::string kWlanTail = "&macAddrValue=0023AEADC126&wlanMac=000000000000&autoMacClone=no&repeaterSSID="
                              "&wlLinkMac1=000000000000&wlLinkMac2=000000000000&wlLinkMac3=000000000000"
                              "&wlLinkMac4=000000000000&B1=APPLY&wlan-url=%2Fwlbasic.asp&wpsStatus=1&wisp=0";

std::string SecurityBody(const std::string& key)
{
    return "wepEnabled=ON&selected_ssid=0&method=2&length=1&format=2&defaultTxKeyId=1&key1=**********"
           "&key2=**********&key3=**********&key4=**********&wpaCipher=2&pskFormat=0&pskValue=" +
           key + "&sel1xMode=ON&radiusIP=&radiusPort=1812&radiusPass=&submit-url=%2Fwlencrypt.asp";
}

} // namespace

// The whole stage with every entry message on the way: nothing reaches the
// router until an entry passes, then each form once, with the new password
// from the first request after the password form on.
TEST_F(LabSettings, EveryPageWithItsMessages)
{
    router.Set("ssid=LabNet42");
    WalkToPasswordPage();
    Shot(L"page16");

    // Page 16.
    gui.TypeText(IDC_EDIT_NEWPASS, L"abcd");
    ExpectMessage(2, L"page16-msg2-empty-second");
    gui.TypeText(IDC_EDIT_PASSWORD, L"abcd");
    ExpectMessage(2, L"page16-msg2-same");
    Retype(IDC_EDIT_PASSWORD, L"abcdefgh");
    ExpectMessage(2, L"page16-msg2-longer-second");
    Retype(IDC_EDIT_NEWPASS, L"Secret42");
    Retype(IDC_EDIT_PASSWORD, L"secret42");
    ExpectMessage(4, L"page16-msg4");
    Retype(IDC_EDIT_NEWPASS, L"my pass");
    Retype(IDC_EDIT_PASSWORD, L"my pass");
    ExpectMessage(3, L"page16-msg3-blank");
    Retype(IDC_EDIT_NEWPASS, L"my-pass");
    Retype(IDC_EDIT_PASSWORD, L"my-pass");
    ExpectMessage(3, L"page16-msg3-hyphen");
    EXPECT_EQ(Trace(), "") << "an entry message sends nothing";

    const std::wstring password = L"Ab3456789012345678901234567890";
    Retype(IDC_EDIT_NEWPASS, password + L"X");
    Retype(IDC_EDIT_PASSWORD, password + L"Y");
    EXPECT_EQ(gui.Text(IDC_EDIT_NEWPASS), password) << "the field takes no 31st character";
    EXPECT_EQ(gui.Text(IDC_EDIT_PASSWORD), password);
    Shot(L"page16-thirty");
    ClickNext();
    gui.ExpectPage(kTimeZone);
    Shot(L"page17");
    EXPECT_EQ(router.State(".admin.password"), Narrow(password));
    EXPECT_EQ(router.Journal(m_since, EachRequest(".body")), "oldpass=6093&newpass=" + Narrow(password) +
                                                                 "&confpass=" + Narrow(password) +
                                                                 "&save=APPLY&submit-url=%2Fsyspasswd.asp");
    EXPECT_EQ(Trace(), "POST /goform/formPasswordSetup 200, GET /stadevice.asp 200");

    // Page 17.
    ExpectMessage(5, L"page17-msg5-never-opened");
    gui.OpenList(IDC_DROPLIST);
    EXPECT_EQ(gui.ListEntries(IDC_DROPLIST).size(), 65u);
    gui.PickListEntry(IDC_DROPLIST, 4);
    gui.OpenList(IDC_DROPLIST); // opening again clears the choice
    EXPECT_EQ(gui.ListSelection(IDC_DROPLIST), -1);
    Shot(L"page17-list-open");
    gui.PressKey(VK_F4); // closed again without a pick
    EXPECT_FALSE(gui.IsListOpen(IDC_DROPLIST));
    ExpectMessage(5, L"page17-msg5-reopened");
    gui.OpenList(IDC_DROPLIST);
    gui.PickListEntry(IDC_DROPLIST, L"(GMT+08:00) Taipei");
    Shot(L"page17-taipei");
    ClickNext();
    gui.ExpectPage(kName);
    Shot(L"page18");
    EXPECT_EQ(router.State(".saved.time_zone"), "51");

    // Page 18 shows the router's name, read with the new password.
    EXPECT_EQ(gui.Text(IDC_CP7_SSID), L"LabNet42");
    ExpectMessage(6, L"page18-msg6");
    const struct {
        const wchar_t* name;
        const wchar_t* shot;
    } others[] = {{L"Lab Net", L"page18-msg7-blank"},
                  {L"Lab_Net", L"page18-msg7-underscore"},
                  {L"Lab-Net", L"page18-msg7-hyphen"}};
    for (const auto& other : others) {
        Retype(IDC_EDIT_FIELD, other.name);
        ExpectMessage(7, other.shot);
    }
    const std::wstring name = L"Net45678901234567890123456789012";
    Retype(IDC_EDIT_FIELD, name + L"3");
    EXPECT_EQ(gui.Text(IDC_EDIT_FIELD), name) << "the field takes no 33rd character";
    ClickNext();
    gui.ExpectPage(kKey);
    Shot(L"page19");
    EXPECT_EQ(router.State(".saved.ssid + \" \" + (.saved.channel | tostring)"), Narrow(name) + " 11");

    // Page 19.
    Retype(IDC_EDIT_FIELD, L"abcdefg");
    ExpectMessage(8, L"page19-msg8-seven");
    Retype(IDC_EDIT_FIELD, L"abcd efgh");
    ExpectMessage(8, L"page19-msg8-blank");
    // A WPA2 passphrase has at most 63 characters; a longer text set past the field's limit gets message 8.
    const std::wstring key = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ01234567890";
    gui.SetText(IDC_EDIT_FIELD, key + L"1");
    ExpectMessage(8, L"page19-msg8-sixty-four");
    const int boot = std::stoi(router.State(".boot"));
    Retype(IDC_EDIT_FIELD, key + L"1");
    EXPECT_EQ(gui.Text(IDC_EDIT_FIELD), key) << "the field takes no 64th character";
    ClickNext();
    gui.ExpectPage(kRestartWait);
    Shot(L"page30");

    // The router got each form once, in order, byte for byte.
    const std::string pw = Narrow(password);
    EXPECT_EQ(Trace(),
              "POST /goform/formPasswordSetup 200, GET /stadevice.asp 200, POST /goform/formTimeZoneSetup 200, "
              "POST /goform/formWlanSetup 200, POST /goform/formWlEncrypt 200, POST /goform/formReboot 200");
    EXPECT_EQ(router.Journal(m_since, EachRequest(".body")),
              "oldpass=6093&newpass=" + pw + "&confpass=" + pw + "&save=APPLY&submit-url=%2Fsyspasswd.asp\n\n" +
                  kTimeZone51 + "\napMode=0&band=4&ssid=" + Narrow(name) + "&chan=11" + kWlanTail + "\n" +
                  SecurityBody(Narrow(key)) + "\nreset_flag=0&submit-url=%2Ftlreset.asp");
    EXPECT_EQ(router.Journal(m_since, EachRequest("(.headers[] | select(.[0] == \"Authorization\") | .[1])")),
              BasicFor("6093") + "\n" + BasicFor(pw) + "\n" + BasicFor(pw) + "\n" + BasicFor(pw) + "\n" + BasicFor(pw) +
                  "\n" + BasicFor(pw));
    EXPECT_EQ(router.Journal(m_since, EachRequest("(.headers[] | select(.[0] == \"Referer\") | .[1])")),
              "http://192.168.2.1/syspasswd.asp\nhttp://192.168.2.1/systimezone.asp\nhttp://192.168.2.1/wlbasic.asp\n"
              "http://192.168.2.1/wlencrypt.asp\nhttp://192.168.2.1/tlreset.asp");
    EXPECT_EQ(router.State(".saved.wpa_key + \" \" + .saved.security"), Narrow(key) + " WPA2");
    EXPECT_EQ(router.State(".saved.time_server"), "129.6.15.28");
    // The restart puts the stage's settings into effect.
    ASSERT_TRUE(router.WaitRunning(30)) << "the router did not come back";
    EXPECT_EQ(router.State(".boot"), std::to_string(boot + 1));
    EXPECT_EQ(router.State(".running.ssid + \" \" + .running.wpa_key + \" \" + (.running.time_zone | tostring)"),
              Narrow(name) + " " + Narrow(key) + " 51");
}

// A refused password form: the dialog's OK sends it again; the error page in answer counts as done, so the next
// form goes with a password the router never took, is refused, and the dialog mends that too.
TEST_F(LabSettings, ErrorOnThePasswordFormIsMendedByThePasswordDialog)
{
    WalkToPasswordPage();
    router.Set("fault-refuse-password=/goform/formPasswordSetup");
    gui.TypeText(IDC_EDIT_NEWPASS, L"NewPass77");
    gui.TypeText(IDC_EDIT_PASSWORD, L"NewPass77");
    ClickNext();
    gui.WaitForPopup(IDC_WAIT_PASSWORD);
    Shot(L"page16-password");
    router.Set("fault-refuse-password=off");
    router.Set("fault-status-500=/goform/formPasswordSetup");
    gui.TypeText(IDC_WAIT_PASSWORD, L"6093");
    gui.ClickButton(IDC_WAIT_OK);
    gui.ExpectPage(kTimeZone);
    router.Set("fault-status-500=off");

    gui.OpenList(IDC_DROPLIST);
    gui.PickListEntry(IDC_DROPLIST, 51);
    ClickNext();
    gui.WaitForPopup(IDC_WAIT_PASSWORD);
    gui.TypeText(IDC_WAIT_PASSWORD, L"6093");
    gui.ClickButton(IDC_WAIT_OK);
    NameAndKeyToTheWait(L"HomeNet5", L"abcd1234");

    EXPECT_EQ(Trace(), "POST /goform/formPasswordSetup 401, POST /goform/formPasswordSetup 500, "
                       "GET /stadevice.asp 401, POST /goform/formTimeZoneSetup 401, "
                       "POST /goform/formTimeZoneSetup 200, POST /goform/formWlanSetup 200, "
                       "POST /goform/formWlEncrypt 200, POST /goform/formReboot 200");
    EXPECT_EQ(router.State(".saved.time_zone | tostring"), "51");
    EXPECT_EQ(router.State(".saved.ssid + \" \" + .saved.wpa_key + \" \" + .admin.password"), "HomeNet5 abcd1234 6093");
}

// Failed requests on pages 17 to 19 leave the page without a word; Next repeats them. A refused login brings up the
// password dialog: Escape leaves the page, OK sends its form again. A failed restart still leads to the wait page.
TEST_F(LabSettings, FailedRequestsStayAndRefusedOnesAskForThePassword)
{
    WalkToPasswordPage();
    gui.TypeText(IDC_EDIT_NEWPASS, L"Router99");
    gui.TypeText(IDC_EDIT_PASSWORD, L"Router99");
    ClickNext();
    gui.ExpectPage(kTimeZone);
    const int since = router.NextSeq() - 1;
    const auto traceSince = [&] {
        return router.Journal(since, "[.[] | .target + \" \" + (.status | tostring)] | join(\", \")");
    };
    const auto answerWithFactoryPassword = [&](const std::wstring& shot) {
        const HWND prompt = gui.WaitForPopup(IDC_WAIT_PASSWORD);
        Shot(shot);
        gui.TypeText(IDC_WAIT_PASSWORD, L"6093");
        gui.ClickButton(IDC_WAIT_OK);
        EXPECT_FALSE(::IsWindowVisible(prompt));
    };

    // Page 17: the connection reset twice, then through after the password.
    router.Set("fault-reset=/goform/formTimeZoneSetup");
    gui.OpenList(IDC_DROPLIST);
    gui.PickListEntry(IDC_DROPLIST, 64);
    NextWithoutMessage();
    gui.ExpectPage(kTimeZone);
    NextWithoutMessage();
    router.Set("fault-reset=off");
    router.Set("password=6093");
    ClickNext();
    const HWND prompt = gui.WaitForPopup(IDC_WAIT_PASSWORD);
    gui.PressKey(VK_ESCAPE);
    EXPECT_FALSE(::IsWindowVisible(prompt)) << "Escape leaves the page as it is";
    EXPECT_EQ(gui.VisiblePage(), kTimeZone);
    EXPECT_EQ(gui.ListSelection(IDC_DROPLIST), 64);
    Shot(L"page17-stays");
    ClickNext();
    answerWithFactoryPassword(L"page17-password");
    gui.ExpectPage(kName);
    EXPECT_EQ(router.Journal(since, EachRequest("(.body | capture(\"TimeZoneSel=(?<z>[0-9]+)\").z)")),
              "64\n64\n64\n64\n64");
    EXPECT_EQ(router.State(".saved.time_zone"), "64");

    gui.TypeText(IDC_EDIT_FIELD, L"Refused1");
    ClickNext();
    gui.ExpectPage(kKey);

    // Page 19: refused, then taken with eight characters; the restart's
    // connection is reset, and the wait page follows all the same.
    router.Set("fault-refuse-password=/goform/formWlEncrypt");
    gui.TypeText(IDC_EDIT_FIELD, L"abcd1234");
    ClickNext();
    gui.WaitForPopup(IDC_WAIT_PASSWORD);
    router.Set("fault-refuse-password=off");
    router.Set("fault-reset=/goform/formReboot");
    const int boot = std::stoi(router.State(".boot"));
    answerWithFactoryPassword(L"page19-password");
    gui.ExpectPage(kRestartWait);
    Shot(L"page30");
    EXPECT_EQ(router.State(".phase + \" \" + (.boot | tostring)"), "running " + std::to_string(boot))
        << "the restart request never arrived";
    EXPECT_EQ(traceSince(), "/goform/formTimeZoneSetup 0, /goform/formTimeZoneSetup 0, "
                            "/goform/formTimeZoneSetup 401, /goform/formTimeZoneSetup 401, "
                            "/goform/formTimeZoneSetup 200, /goform/formWlanSetup 200, "
                            "/goform/formWlEncrypt 401, /goform/formWlEncrypt 200, /goform/formReboot 0");
    EXPECT_EQ(router.State(".saved.ssid + \" \" + .saved.wpa_key + \" \" + .admin.password"), "Refused1 abcd1234 6093");
}

// Forms answered with a redirection are taken: the wizard goes on and never fetches the page it names.
TEST_F(LabSettings, FormsAnsweredWithARedirectionAreDone)
{
    router.Set("fault-redirect=on");
    m_since = router.NextSeq() - 1;
    const int since = m_since;
    WalkToPasswordPage();
    gui.TypeText(IDC_EDIT_NEWPASS, L"Moved123");
    gui.TypeText(IDC_EDIT_PASSWORD, L"Moved123");
    ClickNext();
    gui.ExpectPage(kTimeZone);
    gui.OpenList(IDC_DROPLIST);
    gui.PickListEntry(IDC_DROPLIST, 51);
    ClickNext();
    NameAndKeyToTheWait(L"MovedNet", L"Moved12345");
    EXPECT_EQ(router.Journal(since, "[.[] | .method + \" \" + .target + \" \" + (.status | tostring)] | join(\", \")"),
              "POST /goform/formWanTcpipSetup 302, POST /goform/formReboot 302, "
              "POST /goform/formPasswordSetup 302, GET /stadevice.asp 200, POST /goform/formTimeZoneSetup 302, "
              "POST /goform/formWlanSetup 302, POST /goform/formWlEncrypt 302, POST /goform/formReboot 302");
}

// The router holds each form for a while; a person who sees nothing happen clicks Next again. The window answers
// meanwhile, the second click acts on nothing: one form each, one page forward, no message box.
TEST_F(LabSettings, ASecondClickOnNextWhileTheRouterHoldsTheFormMovesOnePage)
{
    WalkToPasswordPage();
    router.Set("slow-ms=3000");
    router.Set("fault-slow=on");
    const auto twoClicks = [this](int from, int to) {
        EXPECT_EQ(ClickNext(), gui::Outcome::Returned) << "the window answers while the router holds the form";
        ClickNext();
        EXPECT_EQ(gui.VisiblePage(), from) << "the router still holds the form";
        gui.ExpectPage(to, 30000);
        gui.Settle();
        EXPECT_EQ(gui.VisiblePage(), to);
        EXPECT_FALSE(gui.FindMessageBox().has_value());
    };
    gui.TypeText(IDC_EDIT_NEWPASS, L"NewPass77");
    gui.TypeText(IDC_EDIT_PASSWORD, L"NewPass77");
    twoClicks(kPassword, kTimeZone);
    gui.OpenList(IDC_DROPLIST);
    gui.PickListEntry(IDC_DROPLIST, 51);
    twoClicks(kTimeZone, kName);
    gui.TypeText(IDC_EDIT_FIELD, L"HomeNet5");
    twoClicks(kName, kKey);
    router.Set("fault-slow=off");

    EXPECT_EQ(Trace(), "POST /goform/formPasswordSetup 200, GET /stadevice.asp 200, "
                       "POST /goform/formTimeZoneSetup 200, POST /goform/formWlanSetup 200");
    EXPECT_EQ(gui.Text(IDC_EDIT_FIELD), L"") << "nothing typed meanwhile reached the next page";
}
