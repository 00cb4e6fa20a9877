#include "graph/canvas/TextFit.h"
#include "graph/canvas/CompatibleCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

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

// Every character is kFixedWidth units wide, so the right wrapping is known exactly; counts
// the measurements and the characters they cover, which is what fitting costs.
class CountingCanvas : public TCompatibleCanvas {
public:
    static constexpr int32_t kFixedWidth = 7;

    TSize TextExtent(const QString &text) const override
    {
        ++Calls;
        Characters += text.size();
        return {static_cast<int32_t>(kFixedWidth * text.size()), 13};
    }

    mutable int64_t Calls = 0;
    mutable int64_t Characters = 0;
};

TEST(TextFitCost, LongCaptionsTakeLogarithmicallyManyMeasurementsPerLine)
{
    const qsizetype n = 64000;
    const double log2n = std::log2(double(n));
    CountingCanvas canvas;

    // One unbroken line that fits, however long: the whole caption stays.
    const QString word(n, u'x');
    EXPECT_EQ(WrapText(canvas, word, std::numeric_limits<int32_t>::max()), word);
    EXPECT_LE(canvas.Calls, 2 * log2n + 2);
    EXPECT_LE(canvas.Characters, 4 * n);

    // Lines of exactly 100 characters: each costs about log2(100) measurements.
    canvas.Calls = canvas.Characters = 0;
    const QString wrapped = WrapText(canvas, word, 100 * CountingCanvas::kFixedWidth);
    const QStringList lines = wrapped.split("\r\n");
    ASSERT_EQ(lines.size(), n / 100);
    EXPECT_TRUE(std::all_of(lines.begin(), lines.end(),
                            [](const QString &line) { return line == QString(100, u'x'); }));
    EXPECT_LE(canvas.Calls, lines.size() * (2 * std::log2(100.0) + 2));
    EXPECT_LE(canvas.Characters, 4 * n * std::log2(100.0));

    // Words and spaces, wrapped and cut to a rectangle, cost O(n log n) characters in all.
    QString words;
    while (words.size() < n)
        words += "lorem ipsum, dolor-sit amet ";
    canvas.Calls = canvas.Characters = 0;
    const TRect rect{0, 0, 90 * CountingCanvas::kFixedWidth, 13 * 100};
    const QString shown = MinimizeText(canvas, words, rect, "...", "...");
    EXPECT_EQ(shown.count("\r\n"), 99);
    EXPECT_TRUE(shown.endsWith("..."));
    EXPECT_LE(canvas.Characters, 4 * words.size() * std::log2(words.size()));
}

// Wrapping as described, measuring the run up to every character: the slow way the fast one
// must agree with.
QString WrapByEveryRun(const TCanvas &canvas, const QString &text, int32_t maxWidth)
{
    const auto isBreak = [](QChar c) { return QStringView(u" !),-./:;>?\\]}").contains(c); };
    const auto isLineBreak = [](QChar c) { return c == u'\r' || c == u'\n'; };
    const auto skipSpaces = [&](qsizetype i) {
        while (i < text.size() && text[i] == u' ')
            ++i;
        return i;
    };
    QStringList lines;
    for (qsizetype start = skipSpaces(0); start < text.size();) {
        qsizetype end = start;
        while (end < text.size() && !isLineBreak(text[end]) &&
               (end == start || canvas.TextWidth(text.mid(start, end - start + 1)) <= maxWidth))
            ++end;
        qsizetype next = end;
        bool endsText = false;
        if (end < text.size() && isLineBreak(text[end])) {
            next = end + 1;
            if (next < text.size() && isLineBreak(text[next]) && text[next] != text[end])
                ++next;
            endsText = next == text.size();
        } else if (end < text.size() && text[end] != u' ' && text[end] != u'\t') {
            qsizetype at = end - 1;
            while (at >= start && !isBreak(text[at]))
                --at;
            if (at >= start)
                next = at + 1;
        }
        QString line = text.mid(start, (next > end ? end : next) - start);
        while (line.endsWith(u' '))
            line.chop(1);
        lines.append(endsText ? line + "\r\n" : line);
        start = skipSpaces(next);
    }
    return lines.join("\r\n");
}

TEST(TextFitCost, FittingAgreesWithAMeasurementOfEveryRun)
{
    CountingCanvas canvas;
    for (const QString &text :
         {QString("ab cd-ef\r\nghijklmnopq r,s  tu\n\nvwx)yz."), QString("  lead\ttab  x\r\n"),
          QString("one/two:three;four>five?six\\seven]eight}nine!ten")}) {
        for (int characters = 1; characters <= 12; ++characters) {
            const int32_t width = characters * CountingCanvas::kFixedWidth;
            EXPECT_EQ(WrapText(canvas, text, width), WrapByEveryRun(canvas, text, width))
                << text.toStdString() << " at " << characters;
        }
    }
    // The ellipsis mark takes the room it needs from the last line, which keeps one character.
    EXPECT_EQ(
        MinimizeText(canvas, "abcdefgh", {0, 0, 5 * CountingCanvas::kFixedWidth, 13}, "..", ".."),
        "abc..");
    EXPECT_EQ(
        MinimizeText(canvas, "abcdefgh", {0, 0, 2 * CountingCanvas::kFixedWidth, 13}, "..", ".."),
        "a..");
}

} // namespace
} // namespace talivo
