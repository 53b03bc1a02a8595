// The connection stage's text: the escaping of typed values in the WAN forms
// and the wireless name read from the device status page. (The exact bodies
// are checked against the substitute router in the lab.)
#include "HttpText.h"
#include "RouterText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The router side reads bodies as 8-bit text; the values here are ASCII.
std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += static_cast<char>(c);
    return out;
}

} // namespace

TEST(WanForm, AccountWithFormSyntaxArrivesIntactAtTheRouter)
{
    // Each of these would split a field, start another, turn into a blank or
    // be decoded into something else if it went out as typed.
    const std::wstring users[] = {L"", L"a&b", L"x=y", L"one+two", L"100%", L"%41", L"tag#1", L"&pppPassword=evil"};
    for (const std::wstring& user : users) {
        const std::wstring password = user.empty() ? L"" : L"p&w=%+#" + user;
        for (int type : {kWanPppoe, kWanBigPond}) {
            const auto form = WanForm(type, user, password);
            ASSERT_TRUE(form);
            const routerlab::Fields fields = routerlab::ParseForm(Narrow(form->body));
            const char* userField = type == kWanPppoe ? "pppUserName" : "telBPUserName";
            const char* passwordField = type == kWanPppoe ? "pppPassword" : "telBPPassword";
            EXPECT_EQ(routerlab::FindField(fields, userField), Narrow(user)) << Narrow(form->body);
            EXPECT_EQ(routerlab::FindField(fields, passwordField), Narrow(password)) << Narrow(form->body);
            // No field more, none less.
            EXPECT_EQ(fields.size(), type == kWanPppoe ? 11u : 6u) << Narrow(form->body);
        }
    }
    // Only the three types have a form.
    for (int type : {-1, 0, 4})
        EXPECT_FALSE(WanForm(type, L"a", L"b")) << type;
}

TEST(EscapeFormValue, EscapesOnlyFormSyntaxAndControls)
{
    EXPECT_EQ(EscapeFormValue(L"a&b=c+d%e#f"), L"a%26b%3Dc%2Bd%25e%23f");
    EXPECT_EQ(EscapeFormValue(L"tab\there\r\n"), L"tab%09here%0D%0A");
    EXPECT_EQ(EscapeFormValue(std::wstring(L"nul\0x", 5)), L"nul%00x");
    EXPECT_EQ(EscapeFormValue(L"del\x7F"), L"del%7F");
    // Everything else is left for the library's conversion to the code page.
    EXPECT_EQ(EscapeFormValue(L"user name@isp.com/~x?y;z'\"<>"), L"user name@isp.com/~x?y;z'\"<>");
    EXPECT_EQ(EscapeFormValue(L"M\u00FCller\u00E9\u4E2D"), L"M\u00FCller\u00E9\u4E2D");
    EXPECT_EQ(EscapeFormValue(L""), L"");
}

TEST(ExtractWirelessName, TheFirstScriptCellWithoutItsTwoSpacesAndBlanks)
{
    std::wstring large(65534 - 50, L'x');
    large += L"write(\"<td class=table2>&nbsp;&nbsp;Far</td>";
    const struct {
        std::wstring page;
        const wchar_t* name;
    } cases[] = {
        {L"<script>\ndocument.write(\"<tr><td class=table1>Name</td>\");\n"
         L"document.write(\"<td class=table2>&nbsp;&nbsp;Orvel   </td></tr>\");\n"
         L"document.write(\"<td class=table2>&nbsp;&nbsp;second</td></tr>\");\n</script>",
         L"Orvel"},
        {L"write(\"<td class=table2>&nbsp;&nbsp;\t My Net \r\n</td>", L"My Net"},
        // Only the two leading "&nbsp;" are the cell's own; a name that is all blanks is empty.
        {L"write(\"<td class=table2>&nbsp;&nbsp;   </td>", L""},
        {L"write(\"<td class=table2>&nbsp;&nbsp;</td>", L""},
        {large, L"Far"},
        // Markup in the name is kept, for the pages to escape.
        {L"write(\"<td class=table2>&nbsp;&nbsp;<A HREF=C:\\Windows\\System32\\calc.exe>Home</A></td>",
         L"<A HREF=C:\\Windows\\System32\\calc.exe>Home</A>"},
        {L"write(\"<td class=table2>&nbsp;&nbsp;<B>x</B>&amp;</td>", L"<B>x</B>&amp;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtractWirelessName(c.page), c.name) << Narrow(c.page.substr(0, 80));
}

TEST(ExtractWirelessName, NoNameWithoutACompleteCell)
{
    // No marker at all, a marker in another form, a page cut off inside the
    // cell or right after the marker: the caller keeps the name it had.
    for (const wchar_t* page : {L"", L"<td class=table2>&nbsp;&nbsp;Plain</td>",
                                L"write('<td class=table2>&nbsp;&nbsp;Quoted</td>",
                                L"write(\"<td class=table2>&nbsp;&nbsp;Cut off", L"write(\"<td class=table2>&nbsp;",
                                L"write(\"<td class=table2>&nbsp;&nb"})
        EXPECT_FALSE(ExtractWirelessName(page)) << Narrow(page);
}
