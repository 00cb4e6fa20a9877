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
    static const QPixmap pixmap = [] {
        QImage image(kPicture, kPicture, QImage::Format_RGB32);
        for (int y = 0; y < kPicture; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < kPicture; ++x)
                line[x] = qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF);
        }
        return QPixmap::fromImage(std::move(image));
    }();
    return pixmap;
}

// A layout of Count marks of Size pixels over the view, as a dense counting session leaves them:
// a grid of Columns by Count / Columns, the marks overlapping their neighbours.
struct TMarkLayout {
    int Count;
    int Size;
    int Columns;

    explicit TMarkLayout(const benchmark::State &state)
        : Count(static_cast<int>(state.range(0))), Size(static_cast<int>(state.range(1))),
          Columns(static_cast<int>(std::lround(200 * std::sqrt(Count / 20000.0))))
    {}

    // The top-left corner of the i-th mark.
    QPoint At(int i) const
    {
        const int rows = Count / Columns;
        return {(i % Columns) * (kViewWidth / Columns), (i / Columns) * (kViewHeight / rows)};
    }
};

// The caption of a mark: its number within its group, as the window writes it.
QString Caption(int i)
{
    return QStringLiteral("#%1").arg(i + 1);
}

// The caption height the window gives marks of a size: half the radius in pixels.
int32_t CaptionHeight(int size)
{
    return -(size / 2 / 2);
}

// Renders the viewport at (0, 0) into the image, as a repaint of the whole view does; returns the
// time it took in seconds.
double RenderOnce(QWidget &viewport, QImage &target)
{
    const auto start = std::chrono::steady_clock::now();
    viewport.render(&target, QPoint(), QRegion(0, 0, kViewWidth, kViewHeight),
                    QWidget::RenderFlags());
    benchmark::DoNotOptimize(target.constBits());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::unique_ptr<TGraphControl> MakeGraph()
{
    auto graph = std::make_unique<TGraphControl>();
    graph->resize(kViewWidth + 40, kViewHeight + 40);
    graph->SetShowGrid(false);
    graph->SetTransparent(false);
    graph->GraphConstraints().SetBoundsRect({0, 0, kPicture, kPicture});
    graph->SetFixedScrollBars(true);
    graph->Background().SetImage(Picture().toImage());
    graph->SetShowBackground(true);
    return graph;
}

// Marks of the layout as the window makes them (circles of a group colour, not resizable, the
// caption height of their size); Finish(mark, i) does the rest for the i-th.
template <typename TFinish>
void AddMarks(TGraphControl &graph, const TMarkLayout &layout, const TFinish &finish)
{
    graph.BeginUpdate();
    for (int i = 0; i < layout.Count; ++i) {
        const QPoint at = layout.At(i);
        TGraphNode *mark =
            graph.InsertNode({at.x(), at.y(), at.x() + layout.Size, at.y() + layout.Size},
                             &TCircularNode::StaticClass());
        mark->SetNodeOptions({talivo::gnoMovable, talivo::gnoShowBackground});
        mark->Brush().SetColor(0x00FFFF);
        mark->Pen().SetColor(0x0000FF);
        mark->Font().SetHeight(CaptionHeight(layout.Size));
        mark->Font().SetColor(0x000000);
        finish(*mark, i);
    }
    graph.EndUpdate();
}

// Numbered marks painted over the picture by the graph control and by a QGraphicsView holding the
// same picture, circles and captions, in turns, so that both meet the same load of the machine.
// The benchmark's time is the graph control's; "ratio" is its time over QGraphicsView's.
void BM_PaintMarksAgainstQGraphicsView(benchmark::State &state)
{
    EnsureApplication();
    const TMarkLayout layout(state);
    const std::unique_ptr<TGraphControl> graph = MakeGraph();
    AddMarks(*graph, layout, [](TGraphNode &mark, int i) { mark.SetText(Caption(i)); });

    QGraphicsScene scene(0, 0, kPicture, kPicture);
    scene.addItem(new QGraphicsPixmapItem(Picture()));
    const QPen pen(QColor(255, 0, 0), 1);
    const QBrush brush(QColor(255, 255, 0));
    TFont markFont;
    markFont.SetHeight(CaptionHeight(layout.Size));
    const QFont font = markFont.ToQFont();
    for (int i = 0; i < layout.Count; ++i) {
        const QPoint at = layout.At(i);
        QGraphicsEllipseItem *circle =
            scene.addEllipse(at.x(), at.y(), layout.Size, layout.Size, pen, brush);
        auto *text = new QGraphicsSimpleTextItem(Caption(i), circle);
        text->setFont(font);
        const QRectF box = text->boundingRect();
        text->setPos(at.x() + (layout.Size - box.width()) / 2,
                     at.y() + (layout.Size - box.height()) / 2);
    }
    QGraphicsView view(&scene);
    view.resize(kViewWidth + 40, kViewHeight + 40);
    view.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view.horizontalScrollBar()->setValue(0);
    view.verticalScrollBar()->setValue(0);

    QImage target(kViewWidth, kViewHeight, QImage::Format_ARGB32_Premultiplied);
    double ours = 0;
    double theirs = 0;
    for (auto _ : state) {
        const double time = RenderOnce(*graph->viewport(), target);
        state.SetIterationTime(time);
        ours += time;
        theirs += RenderOnce(*view.viewport(), target);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = ours / iterations * 1000;
    state.counters["qgraphicsview_ms"] = theirs / iterations * 1000;
    state.counters["ratio"] = ours / theirs;
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
void BM_PaintSelectedMarks(benchmark::State &state)
{
    EnsureApplication();
    const TMarkLayout layout(state);
    const std::unique_ptr<TGraphControl> graph = MakeGraph();
    graph->SetMarkerSize(2);
    AddMarks(*graph, layout, [](TGraphNode &mark, int) { mark.SetSelected(true); });
    QImage target(kViewWidth, kViewHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        RenderOnce(*graph->viewport(), target);
}
BENCHMARK(BM_PaintSelectedMarks)->Args({20000, 20})->Unit(benchmark::kMillisecond);

// The area the viewport repaints.
class TPaintSpy : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const QRegion &region = static_cast<QPaintEvent *>(event)->region();
            for (const QRect &rect : region)
                Area += double(rect.width()) * rect.height();
            Bounding += double(region.boundingRect().width()) * region.boundingRect().height();
        }
        return false;
    }
    double Area = 0;
    // What one rectangle around the repainted areas would have covered.
    double Bounding = 0;
};

// One drag step of three marks far apart among 100,000, with the repaint it causes; with fixed
// scroll bars (as for a picture) or with a scroll range that follows the graph's bounds.
void BM_DragStepRepaint(benchmark::State &state)
{
    EnsureApplication();
    const std::unique_ptr<TGraphControl> graph = MakeGraph();
    graph->SetFixedScrollBars(state.range(0) != 0);
    graph->BeginUpdate();
    for (int i = 0; i < 100000; ++i) {
        const int left = (i % 400) * 40;
        const int top = (i / 400) * 64;
        graph->InsertNode({left, top, left + kMark, top + kMark}, &TCircularNode::StaticClass());
    }
    graph->EndUpdate();
    graph->show();
    QApplication::processEvents();
    TGraphObject *dragged[] = {graph->FindObjectAt(130, 138), graph->FindObjectAt(1490, 138),
                               graph->FindObjectAt(810, 906)};
    for (TGraphObject *obj : dragged)
        obj->SetSelected(true);
    graph->BeginDragObject(dragged[0], {130, 138}, talivo::hzBody);
    QApplication::processEvents();
    TPaintSpy spy;
    graph->viewport()->installEventFilter(&spy);
    int step = 1;
    for (auto _ : state) {
        graph->PerformDragBy(step, 0);
        step = -step;
        QApplication::processEvents();
    }
    graph->viewport()->removeEventFilter(&spy);
    graph->EndDragObject(false);
    const QSize viewport = graph->viewport()->size();
    state.counters["repainted_px"] = spy.Area / double(state.iterations());
    state.counters["viewport_px"] = double(viewport.width()) * viewport.height();
    state.counters["bounding_px"] = spy.Bounding / double(state.iterations());
}
BENCHMARK(BM_DragStepRepaint)->ArgName("fixed")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace
