#include "detect/Detector.h"
#include "detect/ReducedPicture.h"
#include "tests/pictures/SyntheticPictures.h"

#include <gtest/gtest.h>

namespace talivo::test {
namespace {

float At(const TReducedPicture &picture, int channel, int x, int y)
{
    return picture.Channels[channel].at<float>(y, x);
}

TEST(ReducedPicture, AveragesWholeBlocksAndWhatPartialBlocksAtTheEdgesHold)
{
    // 3 by 3 reduced by 2: one whole block, two blocks of two pixels, a corner of one.
    QImage image(3, 3, QImage::Format_Grayscale8);
    const uchar values[3][3] = {{0, 50, 100}, {100, 150, 200}, {10, 20, 255}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            image.scanLine(y)[x] = values[y][x];
    const TReducedPicture reduced = ReducePicture(image, 2);
    ASSERT_EQ(reduced.Width(), 2);
    ASSERT_EQ(reduced.Height(), 2);
    EXPECT_FALSE(reduced.Colour());
    EXPECT_FLOAT_EQ(At(reduced, 0, 0, 0), 300.0f / 4 / 255);
    EXPECT_FLOAT_EQ(At(reduced, 0, 1, 0), 300.0f / 2 / 255);
    EXPECT_FLOAT_EQ(At(reduced, 0, 0, 1), 30.0f / 2 / 255);
    EXPECT_FLOAT_EQ(At(reduced, 0, 1, 1), 1.0f);

    // 4 by 4 reduced by 2 has no partial blocks: 2 by 2, not 3 by 3.
    EXPECT_EQ(ReducePicture(QImage(4, 4, QImage::Format_Grayscale8), 2).Width(), 2);
}

TEST(ReducedPicture, ReadsRedGreenAndBlueFromEveryLayoutAndKeeps16Bits)
{
    const QColor colour(200, 100, 50);
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_RGB888, QImage::Format_RGBA64,
          QImage::Format_BGR30, QImage::Format_RGB16}) {
        QImage image(2, 2, format);
        image.fill(colour);
        const TReducedPicture reduced = ReducePicture(image, 1);
        ASSERT_TRUE(reduced.Colour()) << format;
        // 16-bit colour keeps what the 5 and 6 bits of RGB16 and the 10 bits of BGR30 hold.
        const QColor stored = image.pixelColor(0, 0);
        EXPECT_NEAR(At(reduced, 0, 1, 1), stored.redF(), 1e-6) << format;
        EXPECT_NEAR(At(reduced, 1, 1, 1), stored.greenF(), 1e-6) << format;
        EXPECT_NEAR(At(reduced, 2, 1, 1), stored.blueF(), 1e-6) << format;
    }

    QImage deep(1, 1, QImage::Format_Grayscale16);
    *reinterpret_cast<quint16 *>(deep.scanLine(0)) = 1;
    EXPECT_FLOAT_EQ(At(ReducePicture(deep, 1), 0, 0, 0), 1.0f / 65535);

    // A colour picture that holds only greys, and a palette of greys, are grey pictures.
    QImage greys(2, 1, QImage::Format_RGB32);
    greys.setPixel(0, 0, qRgb(7, 7, 7));
    greys.setPixel(1, 0, qRgb(9, 9, 9));
    EXPECT_FALSE(ReducePicture(greys, 1).Colour());
    EXPECT_FALSE(ReducePicture(greys.convertToFormat(QImage::Format_Indexed8), 1).Colour());
    EXPECT_TRUE(ReducePicture(QImage(), 1).Channels.empty());
}

TEST(DetectObjects, FindsNothingInAPictureWithoutObjectsOrTooSmallForOne)
{
    TSyntheticPicture empty = DarkCellsOnUnevenLight({400, 300}, 0, 10, 8);
    ASSERT_TRUE(empty.Centres.empty());
    EXPECT_LE(DetectObjects(empty.Image, {.Diameter = 20}).Objects.size(), 2u);

    QImage flat(400, 300, QImage::Format_Grayscale8);
    flat.fill(128);
    EXPECT_TRUE(DetectObjects(flat, {.Diameter = 20}).Objects.empty());
    EXPECT_TRUE(
        DetectObjects(QImage(2, 2, QImage::Format_RGB32), {.Diameter = 20}).Objects.empty());
    EXPECT_TRUE(DetectObjects(flat, {.Diameter = 5000}).Objects.empty());
    EXPECT_TRUE(DetectObjects(QImage(), {.Diameter = 20}).Objects.empty());
}

TEST(DetectObjects, ReportsItsProgressInOrderAndStopsWhenAsked)
{
    const TSyntheticPicture cells = DarkCellsOnUnevenLight({800, 600}, 150, 10, 1);
    std::vector<double> reports;
    DetectObjects(cells.Image, {.Diameter = 20}, [&](double fraction) {
        reports.push_back(fraction);
        return true;
    });
    ASSERT_GE(reports.size(), 5u);
    EXPECT_EQ(reports.front(), 0);
    EXPECT_EQ(reports.back(), 1);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));

    // Stops at the first report that asks it to, whichever it is.
    for (size_t stop = 0; stop < reports.size(); ++stop) {
        size_t asked = 0;
        EXPECT_THROW(
            DetectObjects(cells.Image, {.Diameter = 20}, [&](double) { return asked++ < stop; }),
            EDetectionCancelled);
        EXPECT_EQ(asked, stop + 1);
    }
}

} // namespace
} // namespace talivo::test
