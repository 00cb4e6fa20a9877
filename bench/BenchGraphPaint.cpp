#include "bench/BenchApplication.h"
#include "graph/control/GraphControl.h"
#include "graph/control/GraphScrollBar.h"
#include "graph/objects/CircularNode.h"

#include <QApplication>
#include <QGraphicsEllipseItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QPaintEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>

namespace {

using talivo::TCircularNode;
using talivo::TFont;
using talivo::TGraphControl;
using talivo::TGraphNode;
using talivo::TGraphObject;
using talivo::TRect;

constexpr int kPicture = 16000;
constexpr int kViewWidth = 1600;
constexpr int kViewHeight = 1000;
constexpr int kMark = 20;

// A widget needs an application object, and the benchmark main does not make one. It is kept to
// the end of the process: destroyed among the static objects, after Qt's own, it would crash.
void EnsureApplication()
{
    talivo::bench::EnsureApplication<QApplication>("BenchGraphPaint");
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

// A layout of Count marks of Size pixels over the view, as a dense counting session leaves them:
// a grid of Columns by Count / Columns, the marks overlapping their neighbours.
struct TMarkLayout {
    int Count;
    int Size;
    int Columns;

    explicit TMarkLayout(const benchmark::State &State)
        : Count(static_cast<int>(State.range(0))), Size(static_cast<int>(State.range(1))),
          Columns(static_cast<int>(std::lround(200 * std::sqrt(Count / 20000.0))))
    {}

    // The top-left corner of the I-th mark.
    QPoint At(int I) const
    {
        const int Rows = Count / Columns;
        return {(I % Columns) * (kViewWidth / Columns), (I / Columns) * (kViewHeight / Rows)};
    }
};

// The caption of a mark: its number within its group, as the window writes it.
QString Caption(int I)
{
    return QStringLiteral("#%1").arg(I + 1);
}

// The caption height the window gives marks of a size: half the radius in pixels.
int32_t CaptionHeight(int Size)
{
    return -(Size / 2 / 2);
}

// Renders the viewport at (0, 0) into the image, as a repaint of the whole view does; returns the
// time it took in seconds.
double RenderOnce(QWidget &Viewport, QImage &Target)
{
    const auto Start = std::chrono::steady_clock::now();
    Viewport.render(&Target, QPoint(), QRegion(0, 0, kViewWidth, kViewHeight),
                    QWidget::RenderFlags());
    benchmark::DoNotOptimize(Target.constBits());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
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

// Marks of the layout as the window makes them (circles of a group colour, not resizable, the
// caption height of their size); Finish(mark, i) does the rest for the i-th.
template <typename TFinish>
void AddMarks(TGraphControl &Graph, const TMarkLayout &Layout, const TFinish &Finish)
{
    Graph.BeginUpdate();
    for (int I = 0; I < Layout.Count; ++I) {
        const QPoint At = Layout.At(I);
        TGraphNode *Mark =
            Graph.InsertNode({At.x(), At.y(), At.x() + Layout.Size, At.y() + Layout.Size},
                             &TCircularNode::StaticClass());
        Mark->SetNodeOptions({talivo::gnoMovable, talivo::gnoShowBackground});
        Mark->Brush().SetColor(0x00FFFF);
        Mark->Pen().SetColor(0x0000FF);
        Mark->Font().SetHeight(CaptionHeight(Layout.Size));
        Mark->Font().SetColor(0x000000);
        Finish(*Mark, I);
    }
    Graph.EndUpdate();
}

// Numbered marks painted over the picture by the graph control and by a QGraphicsView holding the
// same picture, circles and captions, in turns, so that both meet the same load of the machine.
// The benchmark's time is the graph control's; "ratio" is its time over QGraphicsView's.
void BM_PaintMarksAgainstQGraphicsView(benchmark::State &State)
{
    EnsureApplication();
    const TMarkLayout Layout(State);
    const std::unique_ptr<TGraphControl> Graph = MakeGraph();
    AddMarks(*Graph, Layout, [](TGraphNode &Mark, int I) { Mark.SetText(Caption(I)); });

    QGraphicsScene Scene(0, 0, kPicture, kPicture);
    Scene.addItem(new QGraphicsPixmapItem(Picture()));
    const QPen Pen(QColor(255, 0, 0), 1);
    const QBrush Brush(QColor(255, 255, 0));
    TFont MarkFont;
    MarkFont.SetHeight(CaptionHeight(Layout.Size));
    const QFont Font = MarkFont.ToQFont();
    for (int I = 0; I < Layout.Count; ++I) {
        const QPoint At = Layout.At(I);
        QGraphicsEllipseItem *Circle =
            Scene.addEllipse(At.x(), At.y(), Layout.Size, Layout.Size, Pen, Brush);
        auto *Text = new QGraphicsSimpleTextItem(Caption(I), Circle);
        Text->setFont(Font);
        const QRectF Box = Text->boundingRect();
        Text->setPos(At.x() + (Layout.Size - Box.width()) / 2,
                     At.y() + (Layout.Size - Box.height()) / 2);
    }
    QGraphicsView View(&Scene);
    View.resize(kViewWidth + 40, kViewHeight + 40);
    View.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    View.horizontalScrollBar()->setValue(0);
    View.verticalScrollBar()->setValue(0);

    QImage Target(kViewWidth, kViewHeight, QImage::Format_ARGB32_Premultiplied);
    double Ours = 0;
    double Theirs = 0;
    for (auto _ : State) {
        const double Time = RenderOnce(*Graph->viewport(), Target);
        State.SetIterationTime(Time);
        Ours += Time;
        Theirs += RenderOnce(*View.viewport(), Target);
    }
    const double Iterations = static_cast<double>(State.iterations());
    State.counters["ours_ms"] = Ours / Iterations * 1000;
    State.counters["qgraphicsview_ms"] = Theirs / Iterations * 1000;
    State.counters["ratio"] = Ours / Theirs;
}
// 20,000 overlapping marks of 20 pixels, too small for their captions, and 5,000 of 40 pixels,
// the size from which captions show.
BENCHMARK(BM_PaintMarksAgainstQGraphicsView)
    ->Args({20000, 20})
    ->Args({5000, 40})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A view full of selected marks, as after selecting every mark of a dense session: each draws
// its eight markers over the picture.
void BM_PaintSelectedMarks(benchmark::State &State)
{
    EnsureApplication();
    const TMarkLayout Layout(State);
    const std::unique_ptr<TGraphControl> Graph = MakeGraph();
    Graph->SetMarkerSize(2);
    AddMarks(*Graph, Layout, [](TGraphNode &Mark, int) { Mark.SetSelected(true); });
    QImage Target(kViewWidth, kViewHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : State) {
        RenderOnce(*Graph->viewport(), Target);
    }
}
BENCHMARK(BM_PaintSelectedMarks)->Args({20000, 20})->Unit(benchmark::kMillisecond);

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

// One drag step of three marks far apart among 100,000, with the repaint it causes; with fixed
// scroll bars (as for a picture) or with a scroll range that follows the graph's bounds.
void BM_DragStepRepaint(benchmark::State &State)
{
    EnsureApplication();
    const std::unique_ptr<TGraphControl> Graph = MakeGraph();
    Graph->SetFixedScrollBars(State.range(0) != 0);
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
BENCHMARK(BM_DragStepRepaint)->ArgName("fixed")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace
