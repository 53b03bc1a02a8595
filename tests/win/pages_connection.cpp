// The connection type page: the radio group, the four fields, the settings
// that Next writes and the message for a missing account.
#include "pages_fixture.h"

#include <utility>

using pagetest::BoxSeen;
using pagetest::PagesTest;

namespace {

class ConnectionPage : public PagesTest {
protected:
    void SetUp() override
    {
        PagesTest::SetUp();
        if (!HasFatalFailure())
            Restart();
    }

    // A fresh wizard on page 4. Page 5 starts its router work shortly after
    // it is shown (and hiding it does not stop that): a test that reaches it
    // starts again before any tick.
    void Restart()
    {
        m_dlg.reset();
        StartWizard();
        Dlg().RefreshAllTexts();
        Dlg().ShowPage(4);
    }

    void Type(int id, const std::wstring& text) const { SetText(4, id, text); }
    std::wstring Field(int id) const { return TextOf(Item(4, id)); }
    // A click as a person's: the group's auto radio buttons check and clear themselves.
    void Choose(int radio) const { ::SendMessageW(Item(4, radio), BM_CLICK, 0, 0); }
    bool Checked(int radio) const { return ::SendMessageW(Item(4, radio), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    BoxSeen Next() const { return ClickAnsweringBox(4, IDC_CONN_NEXT); }
};

// What the page holds when Next is clicked.
struct Account {
    const char* what;
    int radio;
    const wchar_t *user, *password, *bpUser, *bpPassword;
    int type;

    // The four fields and what the account puts in each.
    std::pair<int, const wchar_t*> fields[4] = {{IDC_EDIT_FIELD, user},
                                                {IDC_EDIT_PASSWORD, password},
                                                {IDC_EDIT_BP_USER, bpUser},
                                                {IDC_EDIT_BP_PASSWORD, bpPassword}};
};

} // namespace

TEST_F(ConnectionPage, StartsWithNoTypeChosenAndFieldsWithoutLimit)
{
    for (int radio : {IDC_RADIO_DHCP, IDC_RADIO_PPPOE, IDC_RADIO_BIGPOND})
        EXPECT_FALSE(Checked(radio)) << radio;
    // Typing (unlike setting the text) would stop at a limit of the field's own.
    for (int id : {IDC_EDIT_FIELD, IDC_EDIT_PASSWORD, IDC_EDIT_BP_USER, IDC_EDIT_BP_PASSWORD}) {
        EXPECT_TRUE(Field(id).empty()) << id;
        PagesTest::Type(4, id, std::wstring(200, L'u'));
        EXPECT_EQ(Field(id), std::wstring(200, L'u')) << id;
    }
}

TEST_F(ConnectionPage, RadioButtonsFormOneGroup)
{
    Choose(IDC_RADIO_PPPOE);
    Choose(IDC_RADIO_BIGPOND);
    EXPECT_FALSE(Checked(IDC_RADIO_PPPOE));
    EXPECT_TRUE(Checked(IDC_RADIO_BIGPOND));
    Choose(IDC_RADIO_DHCP);
    EXPECT_TRUE(Checked(IDC_RADIO_DHCP));
    EXPECT_FALSE(Checked(IDC_RADIO_BIGPOND));
}

TEST_F(ConnectionPage, AnEmptyAccountFieldOfTheChosenTypeShowsMessageOneAndKeepsWhatWasTyped)
{
    const Account cases[] = {
        {"PPPoE without password", IDC_RADIO_PPPOE, L"alice", L"", L"", L"", 2},
        {"PPPoE without user name", IDC_RADIO_PPPOE, L"", L"secret", L"", L"", 2},
        // The PPPoE fields do not count for BigPond.
        {"BigPond without password", IDC_RADIO_BIGPOND, L"", L"other", L"bob", L"", 3},
    };
    for (const Account& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        Choose(c.radio);
        for (const auto& [id, text] : c.fields)
            Type(id, text);
        ExpectMessage(Next(), 1, 4);
        EXPECT_EQ(Session().m_nWanType, c.type);
        EXPECT_EQ(Session().m_strPppoeUser, c.user);
        for (const auto& [id, text] : c.fields)
            EXPECT_EQ(Field(id), text);
        EXPECT_TRUE(Checked(c.radio));
    }
}

// U+0E01 and U+1F600 are in no code page of the test runs; only the chosen type's account counts.
TEST_F(ConnectionPage, AnAccountThisPcCannotSendIsRefusedBeforeAnythingIsSent)
{
    const Account cases[] = {
        {"PPPoE user name", IDC_RADIO_PPPOE, L"al\u0E01ce", L"pw", L"", L"", 2},
        {"BigPond password", IDC_RADIO_BIGPOND, L"\u0E01", L"", L"bob", L"p\U0001F600", 3},
    };
    for (const Account& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        Choose(c.radio);
        for (const auto& [id, text] : c.fields)
            Type(id, text);
        const BoxSeen box = Next();
        EXPECT_EQ(box.text, EnglishValue(L"IDS_P3A_UNSENDABLE"));
        EXPECT_EQ(VisiblePages(), std::vector<int>{4});
    }
}

TEST_F(ConnectionPage, NextStoresAllFourFieldsAndGoesOn)
{
    const Account cases[] = {
        {"an account of blanks is accepted", IDC_RADIO_PPPOE, L" ", L" ", L"", L"", 2},
        {"DHCP keeps whatever the PPPoE fields hold", IDC_RADIO_DHCP, L"left over", L"pw", L"", L"", 1},
        {"BigPond with both fields", IDC_RADIO_BIGPOND, L"", L"", L"bob", L"pond", 3},
        {"DHCP sends no account, whatever it holds", IDC_RADIO_DHCP, L"\u0E01", L"\U0001F600", L"", L"", 1},
    };
    for (const Account& c : cases) {
        SCOPED_TRACE(c.what);
        Restart();
        Choose(c.radio);
        for (const auto& [id, text] : c.fields)
            Type(id, text);
        Session().m_strPppoeUser = Session().m_strPppoePassword = L"earlier";
        Session().m_strBigPondUser = Session().m_strBigPondPassword = L"earlier";
        EXPECT_FALSE(Next().shown);
        EXPECT_EQ(VisiblePages(), std::vector<int>{5});
        EXPECT_EQ(Session().m_nWanType, c.type);
        // Every Next overwrites all four.
        EXPECT_EQ(Session().m_strPppoeUser, c.user);
        EXPECT_EQ(Session().m_strPppoePassword, c.password);
        EXPECT_EQ(Session().m_strBigPondUser, c.bpUser);
        EXPECT_EQ(Session().m_strBigPondPassword, c.bpPassword);
    }
    m_dlg.reset();
}

TEST_F(ConnectionPage, ShowingThePageNeverFocusesAnUncheckedRadioButton)
{
    // An automatic radio button that takes the focus checks itself on Windows.
    EXPECT_EQ(::GetFocus(), Page(4).m_hWnd);

    Choose(IDC_RADIO_BIGPOND);
    Dlg().ShowPage(3);
    Dlg().ShowPage(4);
    EXPECT_EQ(::GetFocus(), Item(4, IDC_RADIO_BIGPOND));
    EXPECT_TRUE(Checked(IDC_RADIO_BIGPOND));
    EXPECT_FALSE(Checked(IDC_RADIO_DHCP));
}

TEST_F(ConnectionPage, ChoiceAndFieldsSurviveGoingBackAndForth)
{
    Choose(IDC_RADIO_PPPOE);
    Type(IDC_EDIT_FIELD, L"alice");
    Click(4, IDC_CONN_BACK);
    EXPECT_EQ(VisiblePages(), std::vector<int>{3});
    Click(3, IDC_NEXT);
    EXPECT_TRUE(Checked(IDC_RADIO_PPPOE));
    EXPECT_EQ(Field(IDC_EDIT_FIELD), L"alice");
}
