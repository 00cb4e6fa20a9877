#include "bench/BenchApplication.h"
#include "graph/control/GraphControl.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using talivo::TCanvas;
using talivo::TGraphControl;
using talivo::TGraphDocument;
using talivo::TGraphObject;
using talivo::TGraphObjectClass;
using talivo::TPoint;
using talivo::TRect;

constexpr int kNodes = 100000;

// A widget needs an application object, and the benchmark main does not make one. It is kept to
// the end of the process: destroyed among the static objects, after Qt's own, it would crash.
void EnsureApplication()
{
    talivo::bench::EnsureApplication<QApplication>("BenchGraphControl");
}

// Nodes laid out on a grid, so that they neither overlap nor leave the graph's bounds.
void InsertNodes(TGraphControl &graph, int count)
{
    for (int i = 0; i < count; ++i) {
        const int32_t left = (i % 300) * 200;
        const int32_t top = (i / 300) * 150;
        graph.InsertNode({left, top, left + 20, top + 20});
    }
}

// An object with bounds and nothing else: what the control itself costs per object, without the
// shape work of a real node.
class TBareObject : public TGraphObject {
public:
    explicit TBareObject(TGraphDocument *owner) : TGraphObject(owner) {}

    static const TGraphObjectClass &StaticClass()
    {
        static const TGraphObjectClass objectClass =
            TGraphObjectClass::Of<TBareObject>("TBareObject", &TGraphObject::StaticClass());
        return objectClass;
    }
    const TGraphObjectClass &ClassType() const override { return StaticClass(); }

    void MoveBy(int32_t, int32_t) override {}
    TRect GetBoundsRect() const override { return fBounds; }
    void SetBoundsRect(const TRect &rect) override { fBounds = rect; }
    TPoint FixHookAnchor() const override { return {}; }
    TPoint RelativeHookAnchor(const TPoint &pt) const override { return pt; }

protected:
    void DrawControlPoints(TCanvas &) override {}
    void DrawHighlight(TCanvas &) override {}
    void DrawText(TCanvas &) override {}
    void DrawBody(TCanvas &) override {}
    TRect QueryVisualRect() const override { return fBounds; }

private:
    TRect fBounds;
};

void BM_InsertBareObjects(benchmark::State &state)
{
    EnsureApplication();
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto graph = std::make_unique<TGraphControl>();
        state.ResumeTiming();
        for (int i = 0; i < count; ++i) {
            const int32_t left = (i % 300) * 200;
            const int32_t top = (i / 300) * 150;
            TBareObject::StaticClass().CreateNew(&graph->Document(),
                                                 {left, top, left + 20, top + 20});
        }
        benchmark::DoNotOptimize(graph->Objects().Count());
        state.PauseTiming();
        graph.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_InsertBareObjects)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

void BM_InsertNodes(benchmark::State &state)
{
    EnsureApplication();
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto graph = std::make_unique<TGraphControl>();
        state.ResumeTiming();
        InsertNodes(*graph, count);
        benchmark::DoNotOptimize(graph->Objects().Count());
        state.PauseTiming();
        graph.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_InsertNodes)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

void BM_FindObjectByID(benchmark::State &state)
{
    EnsureApplication();
    const int count = static_cast<int>(state.range(0));
    TGraphControl graph;
    InsertNodes(graph, count);
    for (auto _ : state) {
        for (uint32_t id = 1; id <= static_cast<uint32_t>(count); ++id)
            benchmark::DoNotOptimize(graph.FindObjectByID(id));
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FindObjectByID)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

void BM_Clear(benchmark::State &state)
{
    EnsureApplication();
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        TGraphControl graph;
        InsertNodes(graph, count);
        state.ResumeTiming();
        graph.Clear();
        benchmark::DoNotOptimize(graph.Objects().Count());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_Clear)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

// Objects whose IDs start above 1 (as a merged file's may) put every new object's first candidate,
// the count plus one, inside a long run of taken numbers: the case that a search rescanning the
// list after each clash would make quadratic.
void BM_InsertAfterShiftedIds(benchmark::State &state)
{
    EnsureApplication();
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        TGraphControl graph;
        InsertNodes(graph, count);
        for (int i = count - 1; i >= 0; --i) {
            TGraphObject *obj = graph.Objects()[i];
            obj->ReplaceID(obj->ID(), obj->ID() + count / 2);
        }
        state.ResumeTiming();
        InsertNodes(graph, count / 2);
        benchmark::DoNotOptimize(graph.Objects().Count());
    }
    state.SetItemsProcessed(state.iterations() * (count / 2));
}
BENCHMARK(BM_InsertAfterShiftedIds)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

// Every node of a dense field moved by more than a cell, as a drag of everything selected or its
// cancel leaves them: the first hit test after it brings the index up to date.
void BM_HitTestAfterMovingEveryNode(benchmark::State &state)
{
    EnsureApplication();
    const int count = static_cast<int>(state.range(0));
    TGraphControl graph;
    graph.BeginUpdate();
    for (int i = 0; i < count; ++i) {
        const int32_t left = (i % 320) * 31;
        const int32_t top = (i / 320) * 31;
        graph.InsertNode({left, top, left + 20, top + 20});
    }
    graph.EndUpdate();
    benchmark::DoNotOptimize(graph.FindObjectAt(5, 5));
    int32_t step = 40;
    for (auto _ : state) {
        state.PauseTiming();
        graph.BeginUpdate();
        for (int i = 0; i < graph.Objects().Count(); ++i)
            graph.Objects()[i]->MoveBy(step, 0);
        graph.EndUpdate();
        step = -step;
        state.ResumeTiming();
        benchmark::DoNotOptimize(graph.FindObjectAt(5, 5));
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_HitTestAfterMovingEveryNode)->Arg(kNodes)->Unit(benchmark::kMillisecond);

} // namespace
