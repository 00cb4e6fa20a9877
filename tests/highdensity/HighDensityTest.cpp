#include "graph/canvas/CanvasColors.h"
#include "tests/app/MarkingWorkspace.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

namespace talivo::test {
namespace {

// The window on a screen with two device pixels to every logical pixel (the tests run with
// QT_SCALE_FACTOR=2): the pointer can lie between logical pixels, and the canvas draws on twice
// as many pixels as it has.
class HighDensity : public MarkingWorkspace {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Graph().viewport()->devicePixelRatioF(), 2.0)
            << "run with QT_SCALE_FACTOR=2, as CTest does";
    }

    // A picture at zoom 100 in a 400 x 300 picture with one group selected for "Add mark".
    int OpenAtFullSize()
    {
        Open(400, 300);
        const int id = AddGroup(clRed);
        List().Select(0);
        Slider("TrackBarZoom").setValue(0);
        Graph().HorzScrollBar().SetPosition(0);
        Graph().VertScrollBar().SetPosition(0);
        Press("ToolButtonAdd");
        return id;
    }

    // A click at a device pixel of the canvas.
    void ClickDevicePixel(int x, int y)
    {
        const QPointF local(x / 2.0, y / 2.0);
        QWidget *viewport = Graph().viewport();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, local, viewport->mapToGlobal(local), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(viewport, &event);
        }
    }

    // The canvas as the screen shows it, in device pixels.
    QImage Screen()
    {
        QApplication::processEvents();
        const QImage window = Form()
                                  .screen()
                                  ->grabWindow(Form().winId())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        const QPoint origin = Graph().viewport()->mapTo(&Form(), QPoint(0, 0)) * 2;
        return window.copy(QRect(origin, Graph().viewport()->size() * 2));
    }

    // Whether the square of device pixels holds detail finer than a logical pixel: some 2 x 2
    // block of it, on logical pixel boundaries, is not of one colour.
    static bool HasDeviceDetail(const QImage &image, const QRect &square)
    {
        for (int y = square.top() & ~1; y < square.bottom(); y += 2)
            for (int x = square.left() & ~1; x < square.right(); x += 2) {
                const QRgb first = image.pixel(x, y);
                if (image.pixel(x + 1, y) != first || image.pixel(x, y + 1) != first ||
                    image.pixel(x + 1, y + 1) != first)
                    return true;
            }
        return false;
    }
};

TEST_F(HighDensity, ClickLandsOnTheImagePixelUnderThePointer)
{
    OpenAtFullSize();
    const int r = Slider("TrackBarPointSize").value();
    // Device pixels 201 and 200 both lie on image pixel 100 at zoom 100.
    ClickDevicePixel(201, 101);
    ClickDevicePixel(300, 240);
    ClickDevicePixel(401, 451);
    ASSERT_EQ(Graph().Objects().Count(), 3);
    EXPECT_EQ(Mark(0).GetBoundsRect(), (TRect{100 - r, 50 - r, 100 + r, 50 + r}));
    EXPECT_EQ(Mark(1).GetBoundsRect(), (TRect{150 - r, 120 - r, 150 + r, 120 + r}));
    EXPECT_EQ(Mark(2).GetBoundsRect(), (TRect{200 - r, 225 - r, 200 + r, 225 + r}));
}

TEST_F(HighDensity, MarksAndCaptionsAreDrawnOnEveryDevicePixel)
{
    OpenAtFullSize();
    Slider("TrackBarPointSize").setValue(40);
    ClickDevicePixel(400, 300);
    ASSERT_EQ(Graph().Objects().Count(), 1);
    const QImage screen = Screen();
    ASSERT_EQ(screen.size(), Graph().viewport()->size() * 2);
    // The mark around logical (200, 150), device (400, 300), 80 device pixels in radius: its
    // outline, and its caption "#1" in the middle, 40 device pixels high.
    EXPECT_EQ(screen.pixel(400, 230), ColorToQColor(clRed).rgb());
    EXPECT_TRUE(HasDeviceDetail(screen, QRect(QPoint(316, 216), QPoint(484, 260))));
    EXPECT_TRUE(HasDeviceDetail(screen, QRect(QPoint(380, 280), QPoint(420, 320))));
}

TEST_F(HighDensity, SavedFilesAreThoseOfAScreenAtScaleOne)
{
    OpenAtFullSize();
    const int r = Slider("TrackBarPointSize").value();
    ClickDevicePixel(201, 101);
    ASSERT_EQ(Graph().Objects().Count(), 1);

    ASSERT_TRUE(Form().SaveImageWithMarks(fDir.file("marked.png")));
    const QImage marked(fDir.file("marked.png"));
    ASSERT_EQ(marked.size(), QSize(400, 300));
    EXPECT_EQ(marked.devicePixelRatio(), 1.0);
    EXPECT_EQ(marked.pixel(100, 50), ColorToQColor(clRed).rgb());
    EXPECT_EQ(marked.pixel(100 - r - 2, 50), qRgb(128, 128, 128));

    fPrompter.PushFile(fDir.file("marks.tlv"));
    Form().Savemeasurement1Click();
    Form().Graph()->Clear();
    fPrompter.PushFile(fDir.file("marks.tlv"));
    Form().Openmeasurement1Click();
    ASSERT_EQ(Graph().Objects().Count(), 1);
    EXPECT_EQ(Mark(0).GetBoundsRect(), (TRect{100 - r, 50 - r, 100 + r, 50 + r}));
}

} // namespace
} // namespace talivo::test
