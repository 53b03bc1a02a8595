#include "ValueForms.h"

#include <climits>
#include <gtest/gtest.h>

TEST(LayoutValue, FiveNumbersThenTheCaption)
{
    const LayoutValue v = ParseLayout(L"10,20,80,24,12,Next");
    EXPECT_EQ(v.x, 10);
    EXPECT_EQ(v.y, 20);
    EXPECT_EQ(v.width, 80);
    EXPECT_EQ(v.height, 24);
    EXPECT_EQ(v.pointSize, 12);
    EXPECT_EQ(v.text, L"Next");
}

TEST(LayoutValue, WithoutCommasEverythingIsCaption)
{
    const LayoutValue v = ParseLayout(L"Next page");
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.width, 0);
    EXPECT_EQ(v.height, 0);
    EXPECT_EQ(v.pointSize, 0);
    EXPECT_EQ(v.text, L"Next page");
}

TEST(LayoutValue, LaterCommasStayInTheCaption)
{
    EXPECT_EQ(ParseLayout(L"1,2,3,4,5,Yes, go on, please").text, L"Yes, go on, please");
}

TEST(LayoutValue, FewerCommasGiveZeroForTheMissingNumbers)
{
    const LayoutValue v = ParseLayout(L"7,8,Back");
    EXPECT_EQ(v.x, 7);
    EXPECT_EQ(v.y, 8);
    EXPECT_EQ(v.width, 0);
    EXPECT_EQ(v.pointSize, 0);
    EXPECT_EQ(v.text, L"Back");
}

TEST(LayoutValue, NumbersReadLikeTheCLibrary)
{
    // Blanks before, a sign, digits until the first non-digit; no digits give 0.
    const LayoutValue v = ParseLayout(L"  42px,-3,+9,,abc,Go");
    EXPECT_EQ(v.x, 42);
    EXPECT_EQ(v.y, -3);
    EXPECT_EQ(v.width, 9);
    EXPECT_EQ(v.height, 0);
    EXPECT_EQ(v.pointSize, 0);
    EXPECT_EQ(v.text, L"Go");
    EXPECT_EQ(ParseLayout(L",,,,,").text, L"");
}

TEST(LayoutValue, HugeNumbersSaturate)
{
    EXPECT_EQ(LeadingInt(L"99999999999999999999999"), INT_MAX);
    EXPECT_EQ(LeadingInt(L"-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(LeadingInt(L"2147483647"), INT_MAX);
    EXPECT_EQ(LeadingInt(L"-2147483648"), INT_MIN);
}

TEST(ColourValue, FourNumbersThenTheText)
{
    const ColourValue v = ParseColour(L"255,128,0,20,Welcome");
    EXPECT_EQ(v.red, 255);
    EXPECT_EQ(v.green, 128);
    EXPECT_EQ(v.blue, 0);
    EXPECT_EQ(v.pointSize, 20);
    EXPECT_EQ(v.text, L"Welcome");
    EXPECT_EQ(v.Colour(), 0x0080FFul);
}

TEST(ColourValue, ColourTakesTheLowEightBitsOfEachPart)
{
    EXPECT_EQ(ParseColour(L"256,257,511,9,x").Colour(), 0xFF0100ul);
    EXPECT_EQ(ParseColour(L"-1,0,0,9,x").Colour(), 0x0000FFul);
}
