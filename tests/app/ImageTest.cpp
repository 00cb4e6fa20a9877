#include "app/ImageFile.h"
#include "app/JobProgress.h"
#include "app/MarkedImage.h"
#include "graph/canvas/Canvas.h"
#include "graph/canvas/CanvasColors.h"
#include "tests/app/MarkingWorkspace.h"

#include <QBuffer>
#include <QImageWriter>
#include <QLocale>
#include <QRandomGenerator>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace talivo::test {
namespace {

// An 8 by 8 CMYK JPEG with an Adobe marker, stored inverted as such files are: solid red.
const QByteArray kCmykJpeg = QByteArray::fromHex(
    "ffd8ffee000e41646f626500640000000000ffdb0043000101010101010101010101010101010101010101010101"
    "0101010101010101010101010101010101010101010101010101010101010101010101010101010101ffc0001408"
    "00080008044311004d11005911004b1100ffc4001500010100000000000000000000000000000a0bffc400141001"
    "00000000000000000000000000000000ffda000e0443004d0059004b00003f007f09ff00a7fe7f0fffd9");
// One white pixel.
const QByteArray kGif =
    QByteArray::fromHex("47494638396101000100800000ffffff0000002c00000000010001000002024401003b");

// An uncompressed 8-bit greyscale TIFF with one page per {width, height, grey}.
QByteArray GreyTiff(const std::vector<std::array<quint32, 3>> &pages)
{
    QByteArray tiff("II*\0\0\0\0\0", 8);
    const auto put = [&](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            tiff.append(char(value >> 8 * i & 0xFF));
    };
    qsizetype link = 4;
    for (const auto &[width, height, grey] : pages) {
        const quint32 data = tiff.size();
        tiff.append(QByteArray(width * height + width * height % 2, char(grey)));
        qToLittleEndian<quint32>(tiff.size(), tiff.data() + link);
        const std::pair<quint32, quint32> tags[] = {
            {256, width}, {257, height}, {258, 8},
            {259, 1},     {262, 1},      {273, data},
            {277, 1},     {278, height}, {279, width * height}};
        put(std::size(tags), 2);
        for (const auto &[tag, value] : tags) {
            put(tag, 2);
            put(tag == 273 || tag == 279 ? 4 : 3, 2);
            put(1, 4);
            put(value, 4);
        }
        link = tiff.size();
        put(0, 4);
    }
    return tiff;
}

// The header of a 24-bit BMP of the given size; its rows are to follow.
QByteArray BmpHeader(qint32 width, qint32 height)
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    QImage(1, 1, QImage::Format_RGB32).save(&buffer, "bmp");
    qToLittleEndian(width, bmp.data() + 18);
    qToLittleEndian(height, bmp.data() + 22);
    return bmp.left(54);
}

using ImageFile = Workspace;

TEST_F(ImageFile, ReadsEachFormatByContentWithItsDepthAndColours)
{
    QImage colour(7, 5, QImage::Format_RGB32);
    colour.fill(qRgb(200, 40, 10));
    QImage grey16(4, 2, QImage::Format_Grayscale16);
    grey16.fill(0x1234); // no 8-bit value comes back as this
    QImage palette(2, 2, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    palette.fill(1);
    QImage alpha(3, 3, QImage::Format_ARGB32);
    alpha.fill(qRgba(10, 20, 30, 40));
    for (const auto &[image, name, format] : {std::tuple{colour, "a.bmp", "bmp"},
                                              {colour, "a.tif", "tiff"},
                                              {colour, "a.jpg", "jpeg"},
                                              {colour, "png-named.jpg", "png"},
                                              {grey16, "g.png", "png"},
                                              {grey16, "g.tif", "tiff"},
                                              {palette, "p.png", "png"},
                                              {alpha, "alpha.png", "png"}}) {
        ASSERT_TRUE(QImageWriter(fDir.file(name), format).write(image));
        const QImage read = ReadImageFile(fDir.file(name));
        ASSERT_EQ(read.size(), image.size()) << name;
        const QRgba64 expected = image.pixelColor(1, 1).rgba64(),
                      got = read.pixelColor(1, 1).rgba64();
        EXPECT_NEAR(got.red(), expected.red(), format == QString("jpeg") ? 0x1800 : 0) << name;
        EXPECT_NEAR(got.blue(), expected.blue(), format == QString("jpeg") ? 0x1800 : 0) << name;
        EXPECT_EQ(got.alpha(), expected.alpha()) << name;
    }
    Write(fDir.file("a.gif"), kGif);
    EXPECT_EQ(ReadImageFile(fDir.file("a.gif")).pixel(0, 0), qRgb(255, 255, 255));
    Write(fDir.file("cmyk.jpg"), kCmykJpeg);
    const QImage cmyk = ReadImageFile(fDir.file("cmyk.jpg"));
    ASSERT_EQ(cmyk.size(), QSize(8, 8));
    EXPECT_GE(qRed(cmyk.pixel(4, 4)), 247);
    EXPECT_LE(qGreen(cmyk.pixel(4, 4)) + qBlue(cmyk.pixel(4, 4)), 16);
    Write(fDir.file("pages.tif"), GreyTiff({{3, 2, 10}, {5, 4, 200}}));
    const QImage firstPage = ReadImageFile(fDir.file("pages.tif"));
    ASSERT_EQ(firstPage.size(), QSize(3, 2));
    EXPECT_EQ(firstPage.pixel(2, 1), qRgb(10, 10, 10));
}

TEST_F(ImageFile, ReadsBeyondQtsDefaultLimitButRefusesWhatItCannotDecodeOrHold)
{
    // 144 MB at 32 bits, above Qt's default limit of 128 MB.
    Write(fDir.file("large.bmp"), BmpHeader(6000, 6000) + QByteArray(6000 * 6000 * 3, 0));
    EXPECT_EQ(ReadImageFile(fDir.file("large.bmp")).size(), QSize(6000, 6000));
    // 6.4 GB at 32 bits: refused from the header, before anything is allocated.
    Write(fDir.file("huge.bmp"), BmpHeader(40000, 40000) + QByteArray(1000, 0));
    EXPECT_TRUE(ReadImageFile(fDir.file("huge.bmp")).isNull());

    // A picture that claims far more pixels than its few bytes could describe: a GIF whose
    // screen of 16000 x 16000 holds one pixel. Whatever the data, pictures below 128 MB are read
    // (5792 x 5792 at 32 bits, not 5793 x 5793); beyond that 1 byte of data must stand for at
    // most 16384 pixels.
    QByteArray gif =
        QByteArray("GIF89a") +
        QByteArray::fromHex("803e803e800000000000ffffff2c00000000010001000002024401003b");
    Write(fDir.file("screen.gif"), gif);
    EXPECT_TRUE(ReadImageFile(fDir.file("screen.gif")).isNull());
    gif.replace(6, 4, QByteArray::fromHex("a016a016"));
    Write(fDir.file("screen.gif"), gif);
    EXPECT_EQ(ReadImageFile(fDir.file("screen.gif")).size(), QSize(5792, 5792));
    gif.replace(6, 4, QByteArray::fromHex("a116a116"));
    Write(fDir.file("screen.gif"), gif);
    EXPECT_TRUE(ReadImageFile(fDir.file("screen.gif")).isNull());
    Write(fDir.file("screen.gif"), gif + QByteArray(2048 - gif.size(), '\0'));
    EXPECT_EQ(ReadImageFile(fDir.file("screen.gif")).size(), QSize(5793, 5793));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(16, 16, QImage::Format_RGB32).save(&buffer, "png");
    Write(fDir.file("cut.png"), png.left(png.size() / 2));
    Write(fDir.file("empty.png"), {});
    Write(fDir.file("text.jpg"), "no picture");
    for (const char *name : {"cut.png", "empty.png", "text.jpg", "missing.png", ""})
        EXPECT_TRUE(ReadImageFile(fDir.file(name)).isNull()) << name;
}

TEST_F(ImageFile, WritesTheEncodingOfTheExtensionOrRaises)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    Write(fDir.file("a.bmp"), QByteArray(100000, 'x'));
    for (const auto &[name, magic] : {std::pair{"a.bmp", QByteArray("BM")},
                                      {"a.JPG", "\xff\xd8"},
                                      {"a.jpeg", "\xff\xd8"},
                                      {"a.Png", "\x89PNG"},
                                      {"a.tif", "II*"},
                                      {"a.TIFF", "II*"},
                                      {"a.gif", "BM"},
                                      {"noextension", "BM"}}) {
        WriteImageFile(image, fDir.file(name));
        EXPECT_TRUE(Read(fDir.file(name)).startsWith(magic)) << name;
    }
    EXPECT_EQ(ReadImageFile(fDir.file("a.bmp")).pixel(3, 3), qRgb(0, 0, 255));
    EXPECT_THROW(WriteImageFile(image, fDir.file("no/such/folder/a.png")), EImageFileError);
    EXPECT_THROW(WriteImageFile(QImage(), fDir.file("null.png")), EImageFileError);
    EXPECT_FALSE(QFile::exists(fDir.file("null.png")));
}

// A picture of noise, which no encoder makes much smaller.
QImage Noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(3);
    for (int y = 0; y < height; ++y)
        random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), width);
    return image;
}

TEST_F(ImageFile, ReadingReportsTheShareReadAndStopsAtTheNextReadOnceCancelled)
{
    ASSERT_TRUE(Noise(1000, 700).save(fDir.file("noise.png")));
    ASSERT_TRUE(Noise(1000, 700).save(fDir.file("noise.tif")));
    // One strip of 3 MB, which the decoder asks for in a single read.
    Write(fDir.file("strip.tif"), GreyTiff({{2000, 1500, 77}}));
    for (const char *name : {"noise.png", "noise.tif", "strip.tif"}) {
        TJobProgress progress;
        std::vector<double> fractions;
        progress.SetOnReport([&] { fractions.push_back(progress.Fraction()); });
        EXPECT_FALSE(ReadImageFile(fDir.file(name), &progress).isNull()) << name;
        EXPECT_GE(fractions.size(), 10u) << name;
        EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end())) << name;
        // The TIFF's directory stands at its end, and is read first.
        EXPECT_LT(fractions.front(), 0.2) << name;
        EXPECT_GT(fractions.back(), 0.9) << name;
        EXPECT_LE(fractions.back(), 1) << name;

        TJobProgress cancelled;
        int reports = 0;
        cancelled.SetOnReport([&] {
            ++reports;
            cancelled.Cancel();
        });
        EXPECT_TRUE(ReadImageFile(fDir.file(name), &cancelled).isNull()) << name;
        EXPECT_EQ(reports, 1) << name;
    }
}

TEST_F(ImageFile, ACancelledWriteLeavesTheFileAsItWas)
{
    const QImage noise = Noise(800, 600);
    for (const char *name : {"a.png", "a.bmp", "a.tif", "a.jpg"}) {
        const QString file = fDir.file(name);
        Write(file, "previous");
        TJobProgress before;
        before.Cancel();
        EXPECT_FALSE(WriteImageFile(noise, file, &before)) << name;
        // While the encoder writes (it stops at its next write; its reports cannot tell how far it
        // has come), and while the encoded picture goes to the file. Qt's PNG writer keeps its
        // table of rows when a write fails half way through, a leak the sanitizer run would
        // report: its encoder is left to finish.
        for (const bool encoding : {true, false}) {
            if (encoding && QString(name) == "a.png")
                continue;
            TJobProgress during;
            during.SetOnReport([&] {
                if ((during.Fraction() < 0) == encoding)
                    during.Cancel();
            });
            EXPECT_FALSE(WriteImageFile(noise, file, &during)) << name << encoding;
        }
        EXPECT_EQ(Read(file), "previous") << name;

        TJobProgress going;
        EXPECT_TRUE(WriteImageFile(noise, file, &going)) << name;
        EXPECT_EQ(QImage(file).size(), noise.size()) << name;
    }
    EXPECT_EQ(QDir(fDir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"a.bmp", "a.jpg", "a.png", "a.tif"}));
}

using Images = MarkingWorkspace;

TEST_F(Images, OpenAtTheZoomAndPointSizeThatFitTheCanvas)
{
    for (const auto &[width, height, zoom, text, pointSize] :
         {std::tuple{1600, 1200, -30, "Zoom: 50.12%", 16},
          {400, 300, 30, "Zoom: 199.53%", 16},
          {50, 50, 80, "Zoom: 630.96%", 12},
          {100, 600, 0, "Zoom: 100.00%", 5}}) {
        Open(width, height);
        EXPECT_EQ(Slider("TrackBarZoom").value(), zoom) << width;
        EXPECT_EQ(Form().StatusText(0), text);
        EXPECT_DOUBLE_EQ(Graph().Zoom(), std::pow(10.0, zoom / 100.0) * 100);
        EXPECT_EQ(Slider("TrackBarPointSize").value(), pointSize) << width;
        EXPECT_EQ(Graph().Background().Image().size(), QSize(width, height));
        EXPECT_EQ(Form().StatusText(1), QString("open%1.png").arg(fOpened));
        EXPECT_EQ(Graph().CommandMode(), cmEdit);
    }
}

TEST_F(Images, ZoomOnlyFollowsTheSliderWhenItMoves)
{
    const QString version = Form().StatusText(0);
    Open(504, 300); // fits at the slider's start position 20
    EXPECT_EQ(Graph().Zoom(), 100);
    EXPECT_EQ(Form().StatusText(0), version);
    Graph().ChangeZoom(300, zoCenter);
    Open(504, 300);
    EXPECT_EQ(Graph().Zoom(), 300);

    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Slider("TrackBarZoom").setValue(0);
    Slider("TrackBarZoom").setValue(20);
    QLocale::setDefault(previous);
    EXPECT_EQ(Form().StatusText(0), "Zoom: 158,49%");
    EXPECT_EQ(Slider("TrackBarZoom").toolTip(), "Zoom: 158,49%");
}

TEST_F(Images, WithoutAPictureTheCanvasIsEditableButNothingIsSaved)
{
    fPrompter.PushFile(std::nullopt);
    Form().Openimage1Click();
    EXPECT_TRUE(Graph().isEnabled());
    EXPECT_EQ(Graph().CommandMode(), cmEdit);
    EXPECT_FALSE(Graph().OnMouseUp);
    Form().Saveimage1Click();
    EXPECT_EQ(fPrompter.Asked().back().Text, "Please load image first.");
    EXPECT_FALSE(Form().SaveImageWithMarks(fDir.file("none.png")));
    EXPECT_FALSE(QFile::exists(fDir.file("none.png")));
}

TEST_F(Images, SaveTheMarksAtTheirPixelsWhateverTheViewAndPicture)
{
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_Grayscale8}) {
        // The marks of the first round go with its picture, and its files are replaced.
        const bool again = format != QImage::Format_RGB32;
        if (again)
            fPrompter.PushAnswer(true);
        Open(400, 300, format);
        Slider("TrackBarPointSize").setValue(20);
        Form().AddMark(100, 50, 20, AddGroup(clRed));
        Slider("TrackBarZoom").setValue(80);
        Graph().HorzScrollBar().SetPosition(500);
        for (const char *name : {"marks.png", "marks.bmp", "marks.tif"}) {
            fPrompter.PushFile(fDir.file(name));
            if (again)
                fPrompter.PushAnswer(true);
            Form().Saveimage1Click();
            Finish();
            EXPECT_EQ(fPrompter.Asked().end()[again ? -2 : -1].Options.DefaultExt, ".bmp");
            const QImage saved(fDir.file(name));
            ASSERT_EQ(saved.size(), QSize(400, 300)) << name;
            for (const auto &[x, y] : {std::pair{82, 50}, {118, 50}, {100, 32}, {100, 68}})
                EXPECT_EQ(saved.pixel(x, y), qRgb(255, 0, 0)) << name << " " << x << "," << y;
            for (const auto &[x, y] : {std::pair{78, 50}, {122, 50}, {100, 28}, {100, 72}})
                EXPECT_EQ(saved.pixel(x, y), qRgb(128, 128, 128)) << name << " " << x << "," << y;
        }
    }
}

TEST_F(Images, DrawTheMarksBandByBandAsInOneGo)
{
    // Taller than two bands of 256 rows, with marks and captions across their edges.
    Open(300, 700, QImage::Format_Grayscale8);
    const int id = AddGroup(clRed);
    for (const auto &[x, y, r] :
         {std::tuple{50, 256, 20}, {150, 255, 9}, {250, 511, 30}, {100, 512, 12}, {200, 690, 40}})
        Form().AddMark(x, y, r, id);
    QImage whole = Graph().Background().Image().convertToFormat(QImage::Format_RGB32);
    TCanvas canvas;
    ASSERT_TRUE(canvas.BeginPaint(whole));
    Graph().Draw(canvas);
    canvas.EndPaint();

    TJobProgress progress;
    std::vector<double> fractions;
    progress.SetOnReport([&] { fractions.push_back(progress.Fraction()); });
    const QImage banded = talivo::RenderImageWithMarks(Graph().Document(), &progress);
    EXPECT_TRUE(banded == whole);
    EXPECT_EQ(fractions, std::vector<double>({256.0 / 700, 512.0 / 700, 1.0}));

    TJobProgress cancelled;
    cancelled.SetOnReport([&] { cancelled.Cancel(); });
    EXPECT_TRUE(talivo::RenderImageWithMarks(Graph().Document(), &cancelled).isNull());
}

} // namespace
} // namespace talivo::test
