// Skin texts: rectangles, colours, pairs, modes and alignments, bad texts included.
#include <gtest/gtest.h>

#include <QPixmap>

#include "Widgets/SFSkin.h"

TEST(SkinParse, Rectangles)
{
    struct Case {
        const wchar_t* text;
        int l, t, r, b;      // inclusive parser
        int el, et, er, eb;  // exclusive parser
    } cases[] = {
        {L"10,20,30,40", 10, 20, 39, 59, 10, 20, 40, 60},
        {L"", 0, 0, -1, -1, 0, 0, 0, 0},
        {L" 1, 2, 3, 4", 1, 2, 3, 5, 1, 2, 4, 6},
        {L"10,x,30,40", 10, 0, 9, -1, 10, 0, 10, 0},  // scanning stops at the bad number
        {L"5,6", 5, 6, 4, 5, 5, 6, 5, 6},
        {L"garbage", 0, 0, -1, -1, 0, 0, 0, 0},
        {L"-30,0,25,20", -30, 0, -6, 19, -30, 0, -5, 20},
    };
    for (const Case& c : cases) {
        const QRect in = SFParseRect(c.text), ex = SFParseRectExclusive(c.text);
        EXPECT_EQ(in, QRect(QPoint(c.l, c.t), QPoint(c.r, c.b))) << QString::fromWCharArray(c.text).toStdString();
        EXPECT_EQ(ex, QRect(QPoint(c.el, c.et), QPoint(c.er, c.eb))) << QString::fromWCharArray(c.text).toStdString();
    }
}

TEST(SkinParse, Colours)
{
    struct Case {
        const wchar_t* text;
        int r, g, b;
    } cases[] = {
        {L"5C6576", 92, 101, 118}, {L"5c6576", 92, 101, 118}, {L"FFF", 0, 0, 0},
        {L"1234567", 0, 0, 0},     {L"", 0, 0, 0},            {L"zz10G0", 0, 16, 0},
    };
    for (const Case& c : cases) {
        const QColor colour = SFParseColor(c.text);
        EXPECT_EQ(colour, QColor(c.r, c.g, c.b, 255)) << QString::fromWCharArray(c.text).toStdString();
    }
    EXPECT_EQ(SFColorFromRef(0x00FF8000u), QColor(0, 128, 255, 255));
}

TEST(SkinParse, PairsModesAlignments)
{
    struct Case {
        const wchar_t* text;
        int a, b;
    } cases[] = {{L"  16,16  ", 16, 16}, {L"16", 0, 0}, {L"1,2,3", 0, 0}, {L"a,7", 0, 7}, {L"", 0, 0}, {L",5", 0, 5}};
    for (const Case& c : cases)
        EXPECT_EQ(SFParseIntPair(std::wstring(c.text)), std::make_pair(c.a, c.b))
            << QString::fromWCharArray(c.text).toStdString();
    EXPECT_TRUE(SFIsStretchMode(L"stretch"));
    EXPECT_FALSE(SFIsStretchMode(L"Stretch"));
    EXPECT_FALSE(SFIsStretchMode(L""));
    EXPECT_EQ(SFParseTitleAlign(L"left"), 0);
    EXPECT_EQ(SFParseTitleAlign(L"center"), 1);
    EXPECT_EQ(SFParseTitleAlign(L"right"), 2);
    EXPECT_EQ(SFParseTitleAlign(L"Right"), 0);
}

TEST(SkinParse, ImagePathsAndLoading)
{
    SFSetSkinDir(L"/nowhere/Skin");
    EXPECT_EQ(SFSkinPath(L"btn.png"), QStringLiteral("/nowhere/Skinbtn.png"));  // no separator added
    QPixmap* slot = nullptr;
    EXPECT_FALSE(SFLoadSkinPixmap(SFSkinPath(L"btn.png"), &slot, "png"));
    EXPECT_EQ(slot, nullptr);
    EXPECT_FALSE(SFLoadSkinPixmap(QString(), &slot));
    EXPECT_EQ(slot, nullptr);
}

TEST(SkinParse, TextCopyNeverPassesTheCount)
{
    wchar_t buf[6];
    std::fill(std::begin(buf), std::end(buf), L'#');
    EXPECT_EQ(SFCopyText(QStringLiteral("abcdefgh"), buf, 4), 3);
    EXPECT_EQ(std::wstring(buf), L"abc");
    EXPECT_EQ(buf[4], L'#');
    EXPECT_EQ(SFCopyText(QStringLiteral("x"), buf, 0), 0);
    EXPECT_EQ(SFCopyText(QStringLiteral("x"), nullptr, 5), 0);
}
