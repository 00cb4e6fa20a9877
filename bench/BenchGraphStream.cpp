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
std::unique_ptr<TGraphControl> MarkedGraph(int count)
{
    auto graph = std::make_unique<TGraphControl>();
    graph->BeginUpdate();
    for (int i = 0; i < count; ++i) {
        const int32_t left = (i % 300) * 20;
        const int32_t top = (i / 300) * 20;
        graph->InsertNode({left, top, left + 16, top + 16}, &TCircularMarkNode::StaticClass())
            ->SetText(QString::number(i + 1));
    }
    graph->EndUpdate();
    return graph;
}

QByteArray Saved(TGraphControl &graph)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    graph.SaveToStream(buffer);
    return bytes;
}

void BM_SaveMarks(benchmark::State &state)
{
    EnsureApplication();
    const auto graph = MarkedGraph(static_cast<int>(state.range(0)));
    int64_t bytes = 0;
    for (auto _ : state) {
        bytes = Saved(*graph).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_SaveMarks)->Arg(kMarks)->Unit(benchmark::kMillisecond);

void BM_LoadMarks(benchmark::State &state)
{
    EnsureApplication();
    QByteArray bytes = Saved(*MarkedGraph(static_cast<int>(state.range(0))));
    TGraphControl graph;
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        graph.LoadFromStream(buffer);
        benchmark::DoNotOptimize(graph.Objects().Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LoadMarks)->Arg(kMarks)->Unit(benchmark::kMillisecond);

// Nodes chained by links, as another program of the same canvas may store them.
QByteArray LinkedGraph(int count)
{
    TGraphControl graph;
    graph.BeginUpdate();
    for (int i = 0; i < count; ++i) {
        const int32_t left = (i % 300) * 20;
        const int32_t top = (i / 300) * 20;
        graph.InsertNode({left, top, left + 16, top + 16}, &TCircularMarkNode::StaticClass());
    }
    for (int i = 0; i + 1 < count; ++i)
        talivo::TGraphLink::StaticClass()
            .CreateLoaded(&graph.Document(), {{"ID", int64_t{count + 1 + i}},
                                              {"G.Source", int64_t{i + 1}},
                                              {"G.Target", int64_t{i + 2}}})
            ->Loaded();
    graph.EndUpdate();
    return Saved(graph);
}

// Merging a graph into a copy of itself: every ID is taken, so every object is renumbered and
// every link follows the objects it names.
void BM_MergeRenumberedLinks(benchmark::State &state)
{
    EnsureApplication();
    QByteArray bytes = LinkedGraph(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        TGraphControl graph;
        QBuffer first(&bytes);
        first.open(QIODevice::ReadOnly);
        graph.LoadFromStream(first);
        state.ResumeTiming();
        QBuffer second(&bytes);
        second.open(QIODevice::ReadOnly);
        graph.MergeFromStream(second, 0, 0);
        benchmark::DoNotOptimize(graph.Objects().Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MergeRenumberedLinks)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(kMarks)
    ->Unit(benchmark::kMillisecond);

} // namespace
