#include "bench/BenchApplication.h"
#include "graph/canvas/CompatibleCanvas.h"
#include "graph/canvas/TextFit.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <limits>

namespace {

using talivo::TCompatibleCanvas;

// Fonts need an application object, and the benchmark main does not make one. It is kept to the
// end of the process: destroyed among the static objects, after Qt's own, it would crash.
void EnsureApplication()
{
    talivo::bench::EnsureApplication<QGuiApplication>("BenchTextFit");
}

QString Caption(int64_t Characters)
{
    QString Text;
    while (Text.size() < Characters) {
        Text += "cell nucleus, stained; ";
    }
    Text.truncate(Characters);
    return Text;
}

// A caption fitted as a node fits it, with a fresh canvas each time so that no measurement is
// remembered from the round before.
void FitCaption(benchmark::State &State, const talivo::TRect &Rect)
{
    EnsureApplication();
    const QString Text = Caption(State.range(0));
    for (auto _ : State) {
        TCompatibleCanvas Canvas;
        Canvas.Font().SetName("DejaVu Sans");
        Canvas.Font().SetHeight(-12);
        benchmark::DoNotOptimize(talivo::MinimizeText(Canvas, Text, Rect));
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

// A node wide enough for the whole caption on one line: every run measured would be long.
void BM_FitCaptionOnOneLine(benchmark::State &State)
{
    FitCaption(State, {0, 0, std::numeric_limits<int32_t>::max(), 100});
}
BENCHMARK(BM_FitCaptionOnOneLine)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// A node of a usual width and a great height: the caption wraps into many lines.
void BM_FitCaptionInManyLines(benchmark::State &State)
{
    FitCaption(State, {0, 0, 300, std::numeric_limits<int32_t>::max()});
}
BENCHMARK(BM_FitCaptionInManyLines)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

} // namespace
