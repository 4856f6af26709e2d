// Language files and SDK error texts.
#include "Common/AppPath.h"
#include "Common/AppSettings.h"
#include "Common/Translate.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace {

class Translation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        SFSetAppPathForTest(m_dir.path().toStdWString());
        CAppSettings::Language = 1;
        TrResetForTest();
    }
    void TearDown() override
    {
        CAppSettings::Language = 0;
        TrResetForTest();
    }
    void WriteLang(const char* text)
    {
        QDir(m_dir.path()).mkpath("Lang");
        QFile f(m_dir.path() + "/Lang/Lang_1.xml");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QTemporaryDir m_dir;
};

TEST_F(Translation, MissingFileGivesKeysAndALaterFileIsPickedUp)
{
    EXPECT_STREQ(L"About", Tr(L"About"));
    EXPECT_STREQ(L"About", Tr(L"About"));
    WriteLang("<Lang><String name=\"About\" value=\"\xE5\x85\xB3\xE4\xBA\x8E\"/></Lang>");
    EXPECT_STREQ(L"\u5173\u4e8e", Tr(L"About"));
}

TEST_F(Translation, LaterEntriesWinAndOddNodesAreSkipped)
{
    WriteLang("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root>\n"
              "  <!-- comment -->\n"
              "  <T name=\"OK\" value=\"first\"/>\n"
              "  <T name=\"OK\" value=\"Gr\xC3\xB6\xC3\x9F" "e\"/>\n"
              "  <T name=\"NoValue\"/>\n"
              "  <T value=\"no name\"/>\n"
              "  <T name=\"Cancel\" value=\"Abbrechen\"/>\n"
              "</Root>");
    EXPECT_STREQ(L"Größe", Tr(L"OK"));
    EXPECT_STREQ(L"Abbrechen", Tr(L"Cancel"));
    EXPECT_STREQ(L"NoValue", Tr(L"NoValue"));
    EXPECT_STREQ(L"cancel", Tr(L"cancel"));
    EXPECT_STREQ(L"", Tr(L""));
}

TEST_F(Translation, FiveRotatingBuffers)
{
    const wchar_t* first = Tr(L"one");
    for (const wchar_t* key : {L"two", L"three", L"four", L"five"})
        EXPECT_NE(first, Tr(key));
    EXPECT_STREQ(L"one", first);
    const wchar_t* sixth = Tr(L"six");
    EXPECT_EQ(first, sixth);
    EXPECT_STREQ(L"six", first);
}

TEST_F(Translation, LongTextsAreCutTo1023Units)
{
    const std::wstring key(3000, L'k');
    EXPECT_EQ(std::wstring(1023, L'k'), Tr(key.c_str()));
}

TEST_F(Translation, SdkErrorTexts)
{
    WriteLang("<L><S name=\"password error\" value=\"Passwort falsch\"/>"
              "<S name=\"unknow error, code:\" value=\"Fehler:\"/></L>");
    EXPECT_EQ(L"Passwort falsch", GetSdkErrorText(0x80000064));
    EXPECT_EQ(L"Passwort falsch", GetSdkErrorText(0x80000097));
    EXPECT_EQ(GetSdkErrorText(0x8000006C), GetSdkErrorText(0x80000002));
    EXPECT_EQ(L"network error, maybe timeout", GetSdkErrorText(0x80000002));
    EXPECT_EQ(L"Success", GetSdkErrorText(0));
    EXPECT_EQ(L"Security code error", GetSdkErrorText(0x800003FA));
    EXPECT_EQ(L"acount locked", GetSdkErrorText(0x80000068));
    EXPECT_EQ(L"Fehler: 0x90002002", GetSdkErrorText(0x90002002));
    EXPECT_EQ(L"Fehler: 0x000000FF", GetSdkErrorText(255));
    EXPECT_EQ(L"Fehler: 0x80000095", GetSdkErrorText(0x80000095));
}

} // namespace
