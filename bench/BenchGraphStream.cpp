#include "bench/BenchApplication.h"
#include "graph/control/GraphControl.h"
#include "graph/objects/CircularMarkNode.h"
#include "graph/objects/GraphLink.h"

#include <QApplication>
#include <QBuffer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using talivo::TCircularMarkNode;
using talivo::TGraphControl;

constexpr int kMarks = 100000;

// A widget needs an application object, and the benchmark main does not make one. It is kept to
// the end of the process: destroyed among the static objects, after Qt's own, it would crash.
void EnsureApplication()
{
    talivo::bench::EnsureApplication<QApplication>("BenchGraphStream");
}

// Marks as a counting session leaves them: many small circles on a grid, each with its number.
std::unique_ptr<TGraphControl> MarkedGraph(int Count)
{
    auto Graph = std::make_unique<TGraphControl>();
    Graph->BeginUpdate();
    for (int I = 0; I < Count; ++I) {
        const int32_t Left = (I % 300) * 20;
        const int32_t Top = (I / 300) * 20;
        Graph->InsertNode({Left, Top, Left + 16, Top + 16}, &TCircularMarkNode::StaticClass())
            ->SetText(QString::number(I + 1));
    }
    Graph->EndUpdate();
    return Graph;
}

QByteArray Saved(TGraphControl &Graph)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Graph.SaveToStream(Buffer);
    return Bytes;
}

void BM_SaveMarks(benchmark::State &State)
{
    EnsureApplication();
    const auto Graph = MarkedGraph(static_cast<int>(State.range(0)));
    int64_t Bytes = 0;
    for (auto _ : State) {
        Bytes = Saved(*Graph).size();
        benchmark::DoNotOptimize(Bytes);
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
    State.SetBytesProcessed(State.iterations() * Bytes);
}
BENCHMARK(BM_SaveMarks)->Arg(kMarks)->Unit(benchmark::kMillisecond);

void BM_LoadMarks(benchmark::State &State)
{
    EnsureApplication();
    QByteArray Bytes = Saved(*MarkedGraph(static_cast<int>(State.range(0))));
    TGraphControl Graph;
    for (auto _ : State) {
        QBuffer Buffer(&Bytes);
        Buffer.open(QIODevice::ReadOnly);
        Graph.LoadFromStream(Buffer);
        benchmark::DoNotOptimize(Graph.Objects().Count());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
    State.SetBytesProcessed(State.iterations() * Bytes.size());
}
BENCHMARK(BM_LoadMarks)->Arg(kMarks)->Unit(benchmark::kMillisecond);

// Nodes chained by links, as another program of the same canvas may store them.
QByteArray LinkedGraph(int Count)
{
    TGraphControl Graph;
    Graph.BeginUpdate();
    for (int I = 0; I < Count; ++I) {
        const int32_t Left = (I % 300) * 20;
        const int32_t Top = (I / 300) * 20;
        Graph.InsertNode({Left, Top, Left + 16, Top + 16}, &TCircularMarkNode::StaticClass());
    }
    for (int I = 0; I + 1 < Count; ++I) {
        talivo::TGraphLink::StaticClass()
            .CreateLoaded(&Graph.Document(), {{"ID", int64_t{Count + 1 + I}},
                                              {"G.Source", int64_t{I + 1}},
                                              {"G.Target", int64_t{I + 2}}})
            ->Loaded();
    }
    Graph.EndUpdate();
    return Saved(Graph);
}

// Merging a graph into a copy of itself: every ID is taken, so every object is renumbered and
// every link follows the objects it names.
void BM_MergeRenumberedLinks(benchmark::State &State)
{
    EnsureApplication();
    QByteArray Bytes = LinkedGraph(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        State.PauseTiming();
        TGraphControl Graph;
        QBuffer First(&Bytes);
        First.open(QIODevice::ReadOnly);
        Graph.LoadFromStream(First);
        State.ResumeTiming();
        QBuffer Second(&Bytes);
        Second.open(QIODevice::ReadOnly);
        Graph.MergeFromStream(Second, 0, 0);
        benchmark::DoNotOptimize(Graph.Objects().Count());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_MergeRenumberedLinks)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(kMarks)
    ->Unit(benchmark::kMillisecond);

} // namespace
