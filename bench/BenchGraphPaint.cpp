#include "graph/CircularNode.h"
#include "graph/GraphControl.h"
#include "graph/GraphScrollBar.h"

#include <QApplication>
#include <QGraphicsEllipseItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPaintEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using talivo::TCircularNode;
using talivo::TGraphControl;
using talivo::TGraphNode;
using talivo::TGraphObject;
using talivo::TRect;

constexpr int kPicture = 16000;
constexpr int kViewWidth = 1600;
constexpr int kViewHeight = 1000;
constexpr int kVisibleMarks = 20000;
constexpr int kMark = 20;

// A widget needs an application object, and the benchmark main does not make one. It is kept to
// the end of the process: destroyed among the static objects, after Qt's own, it would crash.
void EnsureApplication()
{
    if (!QApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int Argc = 1;
        static char Name[] = "BenchGraphPaint";
        static char *Argv[] = {Name, nullptr};
        new QApplication(Argc, Argv);
    }
}

// The picture both views show: a pixmap, whose raster form the graph control shares.
const QPixmap &Picture()
{
    static const QPixmap Pixmap = [] {
        QImage Image(kPicture, kPicture, QImage::Format_RGB32);
        for (int Y = 0; Y < kPicture; ++Y) {
            auto *Line = reinterpret_cast<QRgb *>(Image.scanLine(Y));
            for (int X = 0; X < kPicture; ++X) {
                Line[X] = qRgb(X & 0xFF, Y & 0xFF, (X ^ Y) & 0xFF);
            }
        }
        return QPixmap::fromImage(std::move(Image));
    }();
    return Pixmap;
}

// The top-left corner of the I-th visible mark: 200 columns by 100 rows over the view.
QPoint MarkAt(int I)
{
    return {(I % 200) * (kViewWidth / 200), (I / 200) * (kViewHeight / 100)};
}

// The widget and the view at (0, 0) rendered into the same image, as a repaint of the view does.
void RenderView(benchmark::State &State, QWidget &Viewport)
{
    QImage Target(kViewWidth, kViewHeight, QImage::Format_ARGB32_Premultiplied);
    const QRegion Region(0, 0, kViewWidth, kViewHeight);
    for (auto _ : State) {
        Viewport.render(&Target, QPoint(), Region, QWidget::RenderFlags());
        benchmark::DoNotOptimize(Target.constBits());
    }
    State.counters["pixels"] = double(kViewWidth) * kViewHeight;
}

std::unique_ptr<TGraphControl> MakeGraph()
{
    auto Graph = std::make_unique<TGraphControl>();
    Graph->resize(kViewWidth + 40, kViewHeight + 40);
    Graph->SetShowGrid(false);
    Graph->SetTransparent(false);
    Graph->GraphConstraints().SetBoundsRect({0, 0, kPicture, kPicture});
    Graph->SetFixedScrollBars(true);
    Graph->Background().SetImage(Picture().toImage());
    Graph->SetShowBackground(true);
    return Graph;
}

void BM_PaintViewGraphControl(benchmark::State &State)
{
    EnsureApplication();
    const std::unique_ptr<TGraphControl> Graph = MakeGraph();
    Graph->BeginUpdate();
    for (int I = 0; I < kVisibleMarks; ++I) {
        const QPoint At = MarkAt(I);
        TGraphNode *Mark = Graph->InsertNode({At.x(), At.y(), At.x() + kMark, At.y() + kMark},
                                             &TCircularNode::StaticClass());
        Mark->Brush().SetColor(0x00FFFF);
        Mark->Pen().SetColor(0x0000FF);
    }
    Graph->EndUpdate();
    RenderView(State, *Graph->viewport());
}
BENCHMARK(BM_PaintViewGraphControl)->Unit(benchmark::kMillisecond);

void BM_PaintViewQGraphicsView(benchmark::State &State)
{
    EnsureApplication();
    QGraphicsScene Scene(0, 0, kPicture, kPicture);
    Scene.addItem(new QGraphicsPixmapItem(Picture()));
    const QPen Pen(QColor(255, 0, 0), 1);
    const QBrush Brush(QColor(255, 255, 0));
    for (int I = 0; I < kVisibleMarks; ++I) {
        const QPoint At = MarkAt(I);
        Scene.addEllipse(At.x(), At.y(), kMark, kMark, Pen, Brush);
    }
    QGraphicsView View(&Scene);
    View.resize(kViewWidth + 40, kViewHeight + 40);
    View.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    View.horizontalScrollBar()->setValue(0);
    View.verticalScrollBar()->setValue(0);
    RenderView(State, *View.viewport());
}
BENCHMARK(BM_PaintViewQGraphicsView)->Unit(benchmark::kMillisecond);

// The area the viewport repaints.
class TPaintSpy : public QObject {
public:
    bool eventFilter(QObject *, QEvent *Event) override
    {
        if (Event->type() == QEvent::Paint) {
            const QRegion &Region = static_cast<QPaintEvent *>(Event)->region();
            for (const QRect &Rect : Region) {
                Area += double(Rect.width()) * Rect.height();
            }
            Bounding += double(Region.boundingRect().width()) * Region.boundingRect().height();
        }
        return false;
    }
    double Area = 0;
    // What one rectangle around the repainted areas would have covered.
    double Bounding = 0;
};

// One drag step of three marks far apart among 100,000, with the repaint it causes.
void BM_DragStepRepaint(benchmark::State &State)
{
    EnsureApplication();
    const std::unique_ptr<TGraphControl> Graph = MakeGraph();
    Graph->BeginUpdate();
    for (int I = 0; I < 100000; ++I) {
        const int Left = (I % 400) * 40;
        const int Top = (I / 400) * 64;
        Graph->InsertNode({Left, Top, Left + kMark, Top + kMark}, &TCircularNode::StaticClass());
    }
    Graph->EndUpdate();
    Graph->show();
    QApplication::processEvents();
    TGraphObject *Dragged[] = {Graph->FindObjectAt(130, 138), Graph->FindObjectAt(1490, 138),
                               Graph->FindObjectAt(810, 906)};
    for (TGraphObject *Obj : Dragged) {
        Obj->SetSelected(true);
    }
    Graph->BeginDragObject(Dragged[0], {130, 138}, talivo::hzBody);
    QApplication::processEvents();
    TPaintSpy Spy;
    Graph->viewport()->installEventFilter(&Spy);
    int Step = 1;
    for (auto _ : State) {
        Graph->PerformDragBy(Step, 0);
        Step = -Step;
        QApplication::processEvents();
    }
    Graph->viewport()->removeEventFilter(&Spy);
    Graph->EndDragObject(false);
    const QSize Viewport = Graph->viewport()->size();
    State.counters["repainted_px"] = Spy.Area / double(State.iterations());
    State.counters["viewport_px"] = double(Viewport.width()) * Viewport.height();
    State.counters["bounding_px"] = Spy.Bounding / double(State.iterations());
}
BENCHMARK(BM_DragStepRepaint)->Unit(benchmark::kMicrosecond);

} // namespace
