// The router settings pages 16-19 against a stand-in router that checks the
// administrator password as the router does: what each answer to a form
// means for the page and the setting the wizard keeps. The entry messages
// and the bodies sent are walked against the substitute router in the lab.
#include "SettingsForms.h"
#include "pages_fixture.h"

#include <functional>

using pagetest::BoxSeen;
using routertest::Answer;
using routertest::FieldOf;

namespace {

constexpr int kPassword = 16, kTimeZone = 17, kName = 18, kKey = 19, kRestartWait = 30;

class SettingsPages : public pagetest::RouterPagesTest {
protected:
    void SetUp() override
    {
        RouterPagesTest::SetUp();
        link.password = L"6093";
    }

    void Show(int page) const
    {
        Dlg().ShowPage(page);
        Pump(10);
    }
    BoxSeen Next(int page) const { return ClickAnsweringBox(page, IDC_NEXT); }
    size_t Posts(const std::wstring& path) const
    {
        size_t n = 0;
        for (const auto& post : link.Calls(L"POST"))
            n += post.path == path ? 1 : 0;
        return n;
    }
};

} // namespace

TEST_F(SettingsPages, FieldsKeepTheirLimitsAndAreEmptiedWhenThePageIsShownOrHidden)
{
    const struct {
        int page, id;
        size_t limit;
    } fields[] = {{kPassword, IDC_EDIT_NEWPASS, 30},
                  {kPassword, IDC_EDIT_PASSWORD, 30},
                  {kName, IDC_EDIT_FIELD, 32},
                  {kKey, IDC_EDIT_FIELD, 63}};
    for (const auto& f : fields) {
        SCOPED_TRACE("page " + std::to_string(f.page) + ", control " + std::to_string(f.id));
        Show(f.page);
        Type(f.page, f.id, std::wstring(f.limit + 1, L'x'));
        EXPECT_EQ(Field(f.page, f.id).size(), f.limit);
        Show(kTimeZone);
        EXPECT_EQ(Field(f.page, f.id), L"") << "hiding empties";
        Type(f.page, f.id, L"typed");
        Show(f.page);
        EXPECT_EQ(Field(f.page, f.id), L"") << "showing empties";
    }
}

TEST_F(SettingsPages, OnlyATakenPasswordFormChangesThePasswordTheWizardUses)
{
    const struct {
        const char* what;
        std::wstring routerPassword;
        Answer answer;
        bool taken;
        const wchar_t* ssid; // after the status read
    } cases[] = {
        {"taken", L"6093", {}, true, L"HomeNet7"},
        // Any status but 401 is done; the router kept its password, so the read with the new one is refused.
        {"any status but 401 counts as done", L"6093", {0, 500, L""}, true, L"default"},
        {"request failed", L"6093", {12029, 0, L""}, false, L""},
    };
    const std::wstring newPassword = L"NewPass77";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Session().m_strAdminPassword = L"6093";
        Session().m_strSSID = L"default";
        link.password = c.routerPassword;
        link.calls.clear();
        link.byPath = {{L"/goform/formPasswordSetup", c.answer},
                       {L"/stadevice.asp", {0, 200, routertest::StatusPage(L"&nbsp;HomeNet7")}}};
        Show(kPassword);
        SetText(kPassword, IDC_EDIT_NEWPASS, newPassword);
        SetText(kPassword, IDC_EDIT_PASSWORD, newPassword);
        EXPECT_FALSE(Next(kPassword).shown);

        const auto posts = link.Calls(L"POST");
        ASSERT_EQ(posts.size(), 1u);
        EXPECT_EQ(posts[0].password, L"6093") << "the form goes out with the old password";
        EXPECT_EQ(Session().m_strAdminPassword, c.taken ? newPassword : L"6093");
        EXPECT_EQ(VisiblePages(), std::vector<int>{c.taken ? kTimeZone : 11});
        const auto gets = link.Calls(L"GET");
        if (!c.taken) {
            EXPECT_TRUE(gets.empty()) << "no status read with a password the router did not take";
            continue;
        }
        // The status read right after uses the new password.
        ASSERT_EQ(gets.size(), 1u);
        EXPECT_EQ(gets[0].path, L"/stadevice.asp");
        EXPECT_EQ(gets[0].password, newPassword);
        EXPECT_EQ(Session().m_strSSID, c.ssid);
        Show(kName);
        EXPECT_EQ(TextOf(Item(kName, IDC_CP7_SSID)), c.ssid) << "page 18 tells the name read";
    }
}

TEST_F(SettingsPages, SelectedTextStillCountsTowardsThePasswordLength)
{
    Show(kPassword);
    SetText(kPassword, IDC_EDIT_NEWPASS, L"Secret42");
    SetText(kPassword, IDC_EDIT_PASSWORD, L"Secret42");
    ::SendMessageW(Item(kPassword, IDC_EDIT_NEWPASS), EM_SETSEL, 0, 6);
    EXPECT_FALSE(Next(kPassword).shown);
    EXPECT_EQ(Session().m_strAdminPassword, L"Secret42");
}

TEST_F(SettingsPages, FailedFormsStaySilentlyKeepTheSettingAndNextRepeatsThem)
{
    Session().m_strAdminPassword = L"6093";
    Session().m_strSSID = L"default";
    const struct {
        int page;
        const wchar_t* path;
        std::function<void()> enter;
        std::function<std::wstring()> setting;
        const wchar_t* was;
        const wchar_t* taken;
        int nextPage;
    } pages[] = {
        {kTimeZone, L"/goform/formTimeZoneSetup",
         [this] {
             // Every opening refills the list: nothing doubles.
             for (int i = 0; i < 2; ++i)
                 Notify(kTimeZone, IDC_DROPLIST, CBN_DROPDOWN);
             EXPECT_EQ(::SendMessageW(Item(kTimeZone, IDC_DROPLIST), CB_GETCOUNT, 0, 0), 65);
             ::SendMessageW(Item(kTimeZone, IDC_DROPLIST), CB_SETCURSEL, 3, 0);
         },
         // The zone has no setting of its own: each repeat sends the choice.
         [this] { return FieldOf(link.calls.back().body, L"TimeZoneSel"); }, L"3", L"3", kName},
        {kName, L"/goform/formWlanSetup", [this] { SetText(kName, IDC_EDIT_FIELD, L"NewName"); },
         [this] { return Session().m_strSSID; }, L"default", L"NewName", kKey},
        {kKey, L"/goform/formWlEncrypt", [this] { SetText(kKey, IDC_EDIT_FIELD, L"abcd1234"); },
         [this] { return Session().m_strWirelessKey; }, L"", L"abcd1234", kRestartWait},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.page);
        Show(p.page);
        p.enter();
        for (const Answer& bad : {Answer{12029, 0, L""}, Answer{12002, 0, L""}}) {
            link.byPath[p.path] = bad;
            EXPECT_FALSE(Next(p.page).shown);
            EXPECT_EQ(VisiblePages(), std::vector<int>{p.page});
            EXPECT_EQ(p.setting(), p.was);
            EXPECT_FALSE(WaitDialogUp());
        }
        EXPECT_EQ(Posts(L"/goform/formReboot"), 0u) << "no restart without the security form";
        link.byPath.erase(p.path);
        EXPECT_FALSE(Next(p.page).shown);
        EXPECT_EQ(VisiblePages(), std::vector<int>{p.nextPage});
        EXPECT_EQ(p.setting(), p.taken);
        EXPECT_EQ(Posts(p.path), 3u) << "each Next repeats the exchange";
    }
}

TEST_F(SettingsPages, FailedOrRefusedRestartStillLeadsToTheWaitPage)
{
    for (const Answer& bad : {Answer{12030, 0, L""}, Answer{0, 401, L""}}) {
        link.byPath[L"/goform/formReboot"] = bad;
        Show(kKey);
        SetText(kKey, IDC_EDIT_FIELD, L"abcd1234");
        EXPECT_FALSE(Next(kKey).shown);
        EXPECT_EQ(link.calls.back().path, L"/goform/formReboot");
        EXPECT_EQ(VisiblePages(), std::vector<int>{kRestartWait});
    }
}

// A 401 to any of the four forms brings up the password dialog over the page;
// its OK stores the password and sends the refused form again, unchanged.
TEST_F(SettingsPages, RefusedFormAsksForThePasswordAndSendsTheSameFormAgain)
{
    Session().m_strAdminPassword = L"6093";
    Session().m_strSSID = L"default";
    const struct {
        int page;
        const wchar_t* path;
        std::function<void()> enter, change; // the entry, then another one typed while the dialog is up
        int nextPage;
    } pages[] = {
        {kPassword, L"/goform/formPasswordSetup",
         [this] {
             SetText(kPassword, IDC_EDIT_NEWPASS, L"NewPass77");
             SetText(kPassword, IDC_EDIT_PASSWORD, L"NewPass77");
         },
         [this] { SetText(kPassword, IDC_EDIT_NEWPASS, L"Other777"); }, kTimeZone},
        {kName, L"/goform/formWlanSetup", [this] { SetText(kName, IDC_EDIT_FIELD, L"NewName"); },
         [this] { SetText(kName, IDC_EDIT_FIELD, L"Changed"); }, kKey},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.page);
        const std::wstring routers = L"Reset" + std::to_wstring(p.page); // unknown to the wizard
        link.password = routers;
        Show(p.page);
        p.enter();
        link.calls.clear();
        EXPECT_FALSE(Next(p.page).shown);
        ASSERT_TRUE(WaitDialogUp());
        EXPECT_EQ(VisiblePages(), std::vector<int>{p.page}) << "the page stays behind the dialog";
        const routertest::Exchange refused = link.Calls(L"POST").at(0);
        p.change();
        link.calls.clear();
        AnswerPassword(routers);
        EXPECT_FALSE(WaitDialogUp());
        const auto posts = link.Calls(L"POST");
        ASSERT_FALSE(posts.empty());
        EXPECT_EQ(posts[0].path, p.path);
        EXPECT_EQ(posts[0].password, routers);
        EXPECT_EQ(VisiblePages(), std::vector<int>{p.nextPage});
        // The password form carries the password just given as the old one.
        const bool passwordForm = p.page == kPassword;
        EXPECT_EQ(posts[0].body, passwordForm ? PasswordForm(L"Reset16", L"NewPass77").body : refused.body);
        EXPECT_EQ(Session().m_strAdminPassword, passwordForm ? L"NewPass77" : routers);
    }
}

// Leaving the page takes its waiting dialog along: no later OK sends its form.
TEST_F(SettingsPages, LeavingThePageDropsItsPasswordRequest)
{
    Session().m_strAdminPassword = L"6093";
    link.password = L"Other1";
    Show(kName);
    SetText(kName, IDC_EDIT_FIELD, L"NewName");
    EXPECT_FALSE(Next(kName).shown);
    ASSERT_TRUE(WaitDialogUp());
    link.password = L"6093"; // the router is back to the wizard's password
    EXPECT_FALSE(Next(kName).shown);
    EXPECT_EQ(VisiblePages(), std::vector<int>{kKey});
    EXPECT_FALSE(WaitDialogUp());
}
