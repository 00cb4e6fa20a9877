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

QString Caption(int64_t characters)
{
    QString text;
    while (text.size() < characters)
        text += "cell nucleus, stained; ";
    text.truncate(characters);
    return text;
}

// A caption fitted as a node fits it, with a fresh canvas each time so that no measurement is
// remembered from the round before.
void FitCaption(benchmark::State &state, const talivo::TRect &rect)
{
    EnsureApplication();
    const QString text = Caption(state.range(0));
    for (auto _ : state) {
        TCompatibleCanvas canvas;
        canvas.Font().SetName("DejaVu Sans");
        canvas.Font().SetHeight(-12);
        benchmark::DoNotOptimize(talivo::MinimizeText(canvas, text, rect));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A node wide enough for the whole caption on one line: every run measured would be long.
void BM_FitCaptionOnOneLine(benchmark::State &state)
{
    FitCaption(state, {0, 0, std::numeric_limits<int32_t>::max(), 100});
}
BENCHMARK(BM_FitCaptionOnOneLine)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

// A node of a usual width and a great height: the caption wraps into many lines.
void BM_FitCaptionInManyLines(benchmark::State &state)
{
    FitCaption(state, {0, 0, 300, std::numeric_limits<int32_t>::max()});
}
BENCHMARK(BM_FitCaptionInManyLines)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

} // namespace
