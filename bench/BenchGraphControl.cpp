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
void InsertNodes(TGraphControl &Graph, int Count)
{
    for (int I = 0; I < Count; ++I) {
        const int32_t Left = (I % 300) * 200;
        const int32_t Top = (I / 300) * 150;
        Graph.InsertNode({Left, Top, Left + 20, Top + 20});
    }
}

// An object with bounds and nothing else: what the control itself costs per object, without the
// shape work of a real node.
class TBareObject : public TGraphObject {
public:
    explicit TBareObject(TGraphDocument *AOwner) : TGraphObject(AOwner) {}

    static const TGraphObjectClass &StaticClass()
    {
        static const TGraphObjectClass Class =
            TGraphObjectClass::Of<TBareObject>("TBareObject", &TGraphObject::StaticClass());
        return Class;
    }
    const TGraphObjectClass &ClassType() const override { return StaticClass(); }

    void MoveBy(int32_t, int32_t) override {}
    TRect GetBoundsRect() const override { return fBounds; }
    void SetBoundsRect(const TRect &Rect) override { fBounds = Rect; }
    TPoint FixHookAnchor() const override { return {}; }
    TPoint RelativeHookAnchor(const TPoint &Pt) const override { return Pt; }

protected:
    void DrawControlPoints(TCanvas &) override {}
    void DrawHighlight(TCanvas &) override {}
    void DrawText(TCanvas &) override {}
    void DrawBody(TCanvas &) override {}
    TRect QueryVisualRect() const override { return fBounds; }

private:
    TRect fBounds;
};

void BM_InsertBareObjects(benchmark::State &State)
{
    EnsureApplication();
    const int Count = static_cast<int>(State.range(0));
    for (auto _ : State) {
        State.PauseTiming();
        auto Graph = std::make_unique<TGraphControl>();
        State.ResumeTiming();
        for (int I = 0; I < Count; ++I) {
            const int32_t Left = (I % 300) * 200;
            const int32_t Top = (I / 300) * 150;
            TBareObject::StaticClass().CreateNew(&Graph->Document(),
                                                 {Left, Top, Left + 20, Top + 20});
        }
        benchmark::DoNotOptimize(Graph->Objects().Count());
        State.PauseTiming();
        Graph.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_InsertBareObjects)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

void BM_InsertNodes(benchmark::State &State)
{
    EnsureApplication();
    const int Count = static_cast<int>(State.range(0));
    for (auto _ : State) {
        State.PauseTiming();
        auto Graph = std::make_unique<TGraphControl>();
        State.ResumeTiming();
        InsertNodes(*Graph, Count);
        benchmark::DoNotOptimize(Graph->Objects().Count());
        State.PauseTiming();
        Graph.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_InsertNodes)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

void BM_FindObjectByID(benchmark::State &State)
{
    EnsureApplication();
    const int Count = static_cast<int>(State.range(0));
    TGraphControl Graph;
    InsertNodes(Graph, Count);
    for (auto _ : State) {
        for (uint32_t ID = 1; ID <= static_cast<uint32_t>(Count); ++ID) {
            benchmark::DoNotOptimize(Graph.FindObjectByID(ID));
        }
    }
    State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_FindObjectByID)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

void BM_Clear(benchmark::State &State)
{
    EnsureApplication();
    const int Count = static_cast<int>(State.range(0));
    for (auto _ : State) {
        State.PauseTiming();
        TGraphControl Graph;
        InsertNodes(Graph, Count);
        State.ResumeTiming();
        Graph.Clear();
        benchmark::DoNotOptimize(Graph.Objects().Count());
    }
    State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_Clear)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

// Objects whose IDs start above 1 (as a merged file's may) put every new object's first candidate,
// the count plus one, inside a long run of taken numbers: the case that a search rescanning the
// list after each clash would make quadratic.
void BM_InsertAfterShiftedIds(benchmark::State &State)
{
    EnsureApplication();
    const int Count = static_cast<int>(State.range(0));
    for (auto _ : State) {
        State.PauseTiming();
        TGraphControl Graph;
        InsertNodes(Graph, Count);
        for (int I = Count - 1; I >= 0; --I) {
            TGraphObject *Obj = Graph.Objects()[I];
            Obj->ReplaceID(Obj->ID(), Obj->ID() + Count / 2);
        }
        State.ResumeTiming();
        InsertNodes(Graph, Count / 2);
        benchmark::DoNotOptimize(Graph.Objects().Count());
    }
    State.SetItemsProcessed(State.iterations() * (Count / 2));
}
BENCHMARK(BM_InsertAfterShiftedIds)->Arg(10000)->Arg(kNodes)->Unit(benchmark::kMillisecond);

// Every node of a dense field moved by more than a cell, as a drag of everything selected or its
// cancel leaves them: the first hit test after it brings the index up to date.
void BM_HitTestAfterMovingEveryNode(benchmark::State &State)
{
    EnsureApplication();
    const int Count = static_cast<int>(State.range(0));
    TGraphControl Graph;
    Graph.BeginUpdate();
    for (int I = 0; I < Count; ++I) {
        const int32_t Left = (I % 320) * 31;
        const int32_t Top = (I / 320) * 31;
        Graph.InsertNode({Left, Top, Left + 20, Top + 20});
    }
    Graph.EndUpdate();
    benchmark::DoNotOptimize(Graph.FindObjectAt(5, 5));
    int32_t Step = 40;
    for (auto _ : State) {
        State.PauseTiming();
        Graph.BeginUpdate();
        for (int I = 0; I < Graph.Objects().Count(); ++I) {
            Graph.Objects()[I]->MoveBy(Step, 0);
        }
        Graph.EndUpdate();
        Step = -Step;
        State.ResumeTiming();
        benchmark::DoNotOptimize(Graph.FindObjectAt(5, 5));
    }
    State.SetItemsProcessed(State.iterations() * Count);
}
BENCHMARK(BM_HitTestAfterMovingEveryNode)->Arg(kNodes)->Unit(benchmark::kMillisecond);

} // namespace
