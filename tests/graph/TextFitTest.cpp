#include "graph/TextFit.h"
#include "graph/CompatibleCanvas.h"

#include <gtest/gtest.h>

namespace talivo {
namespace {

class TextFitTest : public ::testing::Test {
protected:
    TextFitTest()
    {
        fCanvas.Font().SetName("DejaVu Sans");
        fCanvas.Font().SetHeight(-13);
    }

    int Width(const QString &text) const { return fCanvas.TextWidth(text); }
    int LineHeight() const { return fCanvas.TextHeight("x"); }

    TCompatibleCanvas fCanvas;
};

TEST_F(TextFitTest, WrapBreaksAtSpacesAndBreakCharacters)
{
    // Two words that fit only one at a time: the space between them goes.
    EXPECT_EQ(WrapText(fCanvas, "alpha beta", Width("alpha")), "alpha\r\nbeta");
    EXPECT_EQ(WrapText(fCanvas, "  alpha   beta  ", Width("alpha")), "alpha\r\nbeta");

    // The last "-" that still fits ends the line and stays on it.
    const int hyphenated = Width("well-known-");
    ASSERT_GT(Width("well-known-f"), hyphenated);
    EXPECT_EQ(WrapText(fCanvas, "well-known-fact", hyphenated), "well-known-\r\nfact");

    // Without any break character the line breaks before the first character that overflows.
    const int five = Width("abcde");
    ASSERT_GT(Width("abcdef"), five);
    EXPECT_EQ(WrapText(fCanvas, "abcdefgh", five), "abcde\r\nfgh");

    // A line's first character is taken even when it alone is too wide.
    EXPECT_EQ(WrapText(fCanvas, "WW", 1), "W\r\nW");
    EXPECT_EQ(WrapText(fCanvas, "", 100), "");
}

TEST_F(TextFitTest, WrapKeepsTheTextsOwnLineBreaks)
{
    EXPECT_EQ(WrapText(fCanvas, "ab\r\n", 1000), "ab\r\n");
    EXPECT_EQ(WrapText(fCanvas, "a\n\rb", 1000), "a\r\nb");
    EXPECT_EQ(WrapText(fCanvas, "a\n\nb", 1000), "a\r\n\r\nb");
    EXPECT_EQ(WrapText(fCanvas, "a\r\rb", 1000), "a\r\n\r\nb");
    EXPECT_EQ(WrapText(fCanvas, "a  \r\n  b", 1000), "a\r\nb");
    EXPECT_EQ(WrapText(fCanvas, "a\r\n\r\n", 1000), "a\r\n\r\n");
}

TEST_F(TextFitTest, MinimizeKeepsTheLinesThatFit)
{
    const int h = LineHeight();
    const QString three = "one\r\ntwo\r\nsix";
    EXPECT_EQ(MinimizeText(fCanvas, three, {0, 0, 100, h - 1}), "");
    EXPECT_EQ(MinimizeText(fCanvas, three, {0, 0, 100, 2 * h}), "one\r\ntwo");
    EXPECT_EQ(MinimizeText(fCanvas, three, {0, 0, 100, 3 * h - 1}), "one\r\ntwo");
    EXPECT_EQ(MinimizeText(fCanvas, three, {0, 0, 100, 3 * h}), three);
    EXPECT_EQ(MinimizeText(fCanvas, "alpha beta", {0, 0, Width("alpha"), h}), "alpha");

    // A last line wider than the rectangle is shortened, but never to nothing.
    EXPECT_EQ(MinimizeText(fCanvas, "WW", {0, 0, 1, h}), "W");
    // An empty line still takes a line's height.
    EXPECT_EQ(MinimizeText(fCanvas, "a\r\n\r\nb", {0, 0, 100, 2 * h}), "a\r\n");
}

TEST_F(TextFitTest, MinimizeMarksTheCutWithAnEllipsisTheFontCanShow)
{
    const int h = LineHeight();
    const TRect rect{0, 0, Width("alpha"), h};
    const QString ellipsis = QString::fromUtf8("\u2026");
    ASSERT_TRUE(fCanvas.HasGlyph(U'\u2026'));
    const QString shown = MinimizeText(fCanvas, "alpha beta", rect, ellipsis, "...");
    EXPECT_TRUE(shown.endsWith(ellipsis)) << shown.toStdString();
    EXPECT_TRUE(QString("alpha").startsWith(shown.chopped(1))) << shown.toStdString();
    EXPECT_LE(Width(shown), rect.Width());

    const QString missing = QString::fromUcs4(U"\U0010FFFD");
    ASSERT_FALSE(fCanvas.HasGlyph(U'\U0010FFFD'));
    EXPECT_TRUE(MinimizeText(fCanvas, "alpha beta", rect, missing, "...").endsWith("..."));
}

} // namespace
} // namespace talivo
