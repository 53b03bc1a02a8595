// The string table read from language files through the system's INI reader.
#include "UIStr.h"
#include "ValueForms.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

using wintest::WriteBytes;
using wintest::WriteUtf16;

namespace {

class StringTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info->name();
        m_folder = wintest::ScratchFolder(std::wstring(name.begin(), name.end()));
        ::CreateDirectoryW((m_folder + L"LANG").c_str(), nullptr);
        g_strAppFolder = m_folder;
        m_table.languageIndex = 0;
    }

    std::wstring Lang(const std::wstring& file) const { return m_folder + L"LANG\\" + file; }

    std::wstring m_folder;
    CUIStr m_table;
};

} // namespace

TEST_F(StringTable, ReadsUtf16FileWithByteOrderMark)
{
    WriteUtf16(Lang(L"LANG.ini"), L"[Language]\r\nLAN0=\u4E2D\u6587\r\nLAN_INI0=Lang0404.ini\r\n");
    WriteUtf16(Lang(L"Lang0404.ini"),
               L"[Strings]\r\nIDS_TITLE=\u8DEF\u7531\u5668\u8A2D\u5B9A\r\nIDS_ERROR_MSG9=\u8ACB\u91CD\u8A66\r\n");
    m_table.LoadLanguage();
    EXPECT_EQ(m_table.languageName[0], L"\u4E2D\u6587");
    EXPECT_EQ(m_table.IDS_TITLE, L"\u8DEF\u7531\u5668\u8A2D\u5B9A");
    EXPECT_EQ(m_table.errorMsg[8], L"\u8ACB\u91CD\u8A66");
}

TEST_F(StringTable, ReadsEightBitFileInTheAnsiCodePage)
{
    // 0xDF is a sharp s in code page 1252, the ANSI code page of this test run.
    ASSERT_EQ(::GetACP(), 1252u);
    WriteBytes(Lang(L"Lang0409.ini"), "[Strings]\r\nIDS_TITLE=Schlie\xDF"
                                      "en\r\n");
    m_table.LoadLanguage();
    EXPECT_EQ(m_table.IDS_TITLE, L"Schlie\u00DF"
                                 L"en");
}

TEST_F(StringTable, QuotesBlanksAndKeyCase)
{
    WriteBytes(Lang(L"Lang0409.ini"), "[strings]\r\n"
                                      "IDS_TITLE=  \"Quoted title\"  \r\n"
                                      "IDS_NEXT='690,545,90,32,14,Next'\r\n"
                                      "IDS_P3_FAIL=capital key\r\n"
                                      "ids_back=lower key\r\n"
                                      "IDS_BACK=second of the same key\r\n"
                                      "IDS_ADD=\"half quoted\r\n"
                                      "IDS_PRINT=a \\n is kept as it stands\r\n");
    m_table.LoadLanguage();
    EXPECT_EQ(m_table.IDS_TITLE, L"Quoted title");
    EXPECT_EQ(m_table.IDS_NEXT, L"690,545,90,32,14,Next");
    EXPECT_EQ(m_table.IDS_P3_Fail, L"capital key");
    EXPECT_EQ(m_table.IDS_BACK, L"lower key"); // the first matching key wins
    EXPECT_EQ(m_table.IDS_ADD, L"\"half quoted");
    EXPECT_EQ(m_table.IDS_PRINT, L"a \\n is kept as it stands");
}

TEST_F(StringTable, LongValuesKeepTheirFirst511Characters)
{
    const std::string longValue(600, 'x');
    WriteBytes(Lang(L"Lang0409.ini"),
               "[Strings]\r\nIDS_P2_STATIC2=" + longValue + "\r\nIDS_P2_STATIC3=" + std::string(511, 'y') + "\r\n");
    m_table.LoadLanguage();
    EXPECT_EQ(m_table.IDS_P2_STATIC2, std::wstring(511, L'x'));
    EXPECT_EQ(m_table.IDS_P2_STATIC3, std::wstring(511, L'y'));
}

TEST_F(StringTable, ASectionLargerThanOneReadKeepsItsLastKeys)
{
    std::string file = "[Strings]\r\n";
    for (int i = 0; i < 150; ++i)
        file += "IDS_FILLER" + std::to_string(i) + "=" + std::string(400, 'f') + "\r\n";
    WriteBytes(Lang(L"Lang0409.ini"), file + "IDS_TITLE=After the filler\r\nIDS_ERROR_MSG9=Last\r\n");
    m_table.LoadLanguage();
    EXPECT_EQ(m_table.IDS_TITLE, L"After the filler");
    EXPECT_EQ(m_table.errorMsg[8], L"Last");
}

TEST_F(StringTable, MissingListFileFallsBackToEnglish)
{
    WriteBytes(Lang(L"Lang0409.ini"), "[Strings]\r\nIDS_TITLE=English\r\n");
    m_table.languageIndex = 3;
    m_table.LoadLanguage();
    EXPECT_EQ(m_table.IDS_TITLE, L"English");
    EXPECT_EQ(m_table.languageName[0], L"");
    EXPECT_EQ(m_table.languageFile[3], L"");
    EXPECT_EQ(m_table.languageIndex, 3); // loading never changes the slot
}

TEST_F(StringTable, EmptySlotOrMissingFileFallsBackToEnglish)
{
    WriteBytes(Lang(L"LANG.ini"), "[Language]\r\nLAN0=English\r\nLAN_INI0=Lang0409.ini\r\n"
                                  "LAN1=0\r\nLAN_INI1=0\r\nLAN2=Deutsch\r\nLAN_INI2=Lang0407.ini\r\n"
                                  "LAN3=Folder\r\nLAN_INI3=German\r\nLAN4=Here\r\nLAN_INI4=.\r\n"
                                  "LAN5=Star\r\nLAN_INI5=Lang*.ini\r\nLAN6=Query\r\nLAN_INI6=Lang04??.ini\r\n");
    WriteBytes(Lang(L"Lang0409.ini"), "[Strings]\r\nIDS_TITLE=English\r\n");
    // A folder and files that the folder and wildcard slots would find by a bare search.
    ::CreateDirectoryW(Lang(L"German").c_str(), nullptr);
    WriteBytes(Lang(L"Lang0410.ini"), "[Strings]\r\nIDS_TITLE=Italiano\r\n");
    for (int slot : {1, 2, 3, 4, 5, 6, 7, -1, 10}) {
        m_table.languageIndex = slot;
        m_table.LoadLanguage();
        EXPECT_EQ(m_table.IDS_TITLE, L"English") << "slot " << slot;
    }
    EXPECT_EQ(m_table.languageName[1], L"0");
    EXPECT_EQ(m_table.languageName[2], L"Deutsch");
}

TEST_F(StringTable, NoLanguageFileAtAllLeavesEverythingEmpty)
{
    m_table.IDS_TITLE = L"stale";
    m_table.errorMsg[0] = L"stale";
    m_table.LoadLanguage();
    EXPECT_EQ(m_table.IDS_TITLE, L"");
    EXPECT_EQ(m_table.errorMsg[0], L"");
}

TEST_F(StringTable, SwitchingTwiceGivesExactlyTheSecondFile)
{
    WriteBytes(Lang(L"LANG.ini"), "[Language]\r\nLAN0=English\r\nLAN_INI0=Lang0409.ini\r\n"
                                  "LAN1=Deutsch\r\nLAN_INI1=Lang0407.ini\r\n");
    WriteBytes(Lang(L"Lang0409.ini"), "[Strings]\r\nIDS_TITLE=Setup\r\nIDS_NEXT=1,2,3,4,5,Next\r\n"
                                      "IDS_ERROR_MSG1=Please choose\r\n");
    WriteBytes(Lang(L"Lang0407.ini"), "[Strings]\r\nIDS_TITLE=Einrichtung\r\n");
    m_table.languageIndex = 0;
    m_table.LoadLanguage();
    EXPECT_EQ(m_table.IDS_NEXT, L"1,2,3,4,5,Next");
    m_table.languageIndex = 1;
    m_table.LoadLanguage();
    m_table.LoadLanguage();
    EXPECT_EQ(m_table.IDS_TITLE, L"Einrichtung");
    EXPECT_EQ(m_table.IDS_NEXT, L""); // not carried over from English
    EXPECT_EQ(m_table.errorMsg[0], L"");
}

// The English file delivered with the program: every key present and every
// value in the form its users read it in.
TEST(DeliveredEnglish, EveryKeyHasAUsableValue)
{
    const std::wstring source = wintest::EnvFolder("TARVO_SOURCE_DIR");
    ASSERT_FALSE(source.empty());
    g_strAppFolder = source + L"resources\\";
    CUIStr table;
    table.LoadLanguage();

    EXPECT_EQ(table.languageName[0], L"English");
    size_t count = 0;
    const CUIStr::Entry* entries = CUIStr::Entries(&count);
    ASSERT_EQ(count, 173u);
    for (size_t i = 0; i < count; ++i)
        EXPECT_FALSE((table.*entries[i].member).empty())
            << "empty: " << std::string(entries[i].key, entries[i].key + wcslen(entries[i].key));
    for (const std::wstring& msg : table.errorMsg)
        EXPECT_FALSE(msg.empty());

    for (const std::wstring* layout : {&table.IDS_NEXT, &table.IDS_BACK, &table.IDS_BACK_P2_P3_P3a, &table.IDS_RECHECK,
                                       &table.IDS_PRINT, &table.IDS_ADD}) {
        const LayoutValue v = ParseLayout(*layout);
        EXPECT_GT(v.width, 0);
        EXPECT_GT(v.height, 0);
        EXPECT_GT(v.pointSize, 0);
        EXPECT_LE(v.x + v.width, 800);
        EXPECT_LE(v.y + v.height, 600);
        EXPECT_FALSE(v.text.empty());
    }
    for (const std::wstring* colour : {&table.IDS_P1_STATIC1, &table.IDS_P1_STATIC2}) {
        const ColourValue v = ParseColour(*colour);
        EXPECT_GT(v.pointSize, 0);
        EXPECT_FALSE(v.text.empty());
    }
    // Every page names a picture that exists, each its own.
    int pictures = 0;
    for (size_t i = 0; i < count; ++i) {
        if (std::wstring_view(entries[i].key).substr(0, 8) != L"IDS_PAGE")
            continue;
        const std::wstring& art = table.*entries[i].member;
        EXPECT_TRUE(wintest::Exists(source + L"resources\\IMG\\" + art)) << std::string(art.begin(), art.end());
        ++pictures;
    }
    EXPECT_EQ(pictures, 30);
}
