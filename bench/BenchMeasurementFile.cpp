#include "app/JobProgress.h"
#include "app/MarkedImage.h"
#include "app/Measurement.h"
#include "app/ProposedMarks.h"
#include "bench/BenchApplication.h"
#include "graph/control/GraphControl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

using namespace talivo;

constexpr int kRadius = 10;
constexpr int kGroupId = 1000;

void EnsureApplication()
{
    talivo::bench::EnsureApplication<QApplication>("BenchMeasurementFile");
}

// A canvas over a 10,000 by 10,000 picture with the marks the window makes, on a grid.
std::unique_ptr<TGraphControl> CountedCanvas(int marks)
{
    auto graph = std::make_unique<TGraphControl>();
    PrepareCanvas(*graph);
    QImage picture(10000, 10000, QImage::Format_Grayscale8);
    picture.fill(128);
    ShowImage(*graph, picture);
    graph->BeginUpdate();
    for (int i = 0; i < marks; ++i)
        InsertMark(graph->Document(), {10 + i % 1000 * 10, 10 + i / 1000 % 1000 * 10}, kRadius,
                   kGroupId, 0x0000FF, MarkText(i + 1), kRadius);
    graph->EndUpdate();
    return graph;
}

// The measurement files of the sizes asked for, written once per process.
const QString &SavedFile(int marks)
{
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    QString &file = files[marks];
    if (file.isEmpty()) {
        file = dir.path() + QString("/%1.tlv").arg(marks);
        SaveMeasurement(CountedCanvas(marks)->Document(),
                        {{QString::number(marks), "Cells", "1000", "255"}}, file);
    }
    return file;
}

// A job's progress that times the stretches between its reports: the longest is how long the
// window goes without its events while the job works on the GUI thread.
struct TTimedProgress {
    TTimedProgress()
    {
        Progress.SetOnReport([this] {
            if (Since.isValid())
                LongestGapMs = std::max(LongestGapMs, Since.nsecsElapsed() / 1e6);
            Since.start();
            ++Reports;
        });
    }
    TJobProgress Progress;
    QElapsedTimer Since;
    double LongestGapMs = 0;
    int Reports = 0;
};

// "Save measurement ...": the marks and the group record written through the reporting file.
void BM_SaveMeasurement(benchmark::State &state)
{
    EnsureApplication();
    const auto graph = CountedCanvas(int(state.range(0)));
    QTemporaryDir dir;
    TTimedProgress timed;
    for (auto _ : state)
        SaveMeasurement(graph->Document(), {{"1", "Cells", "1000", "255"}}, dir.path() + "/m.tlv",
                        &timed.Progress);
    state.counters["reports"] = timed.Reports;
    state.counters["longest_gap_ms"] = timed.LongestGapMs;
}
BENCHMARK(BM_SaveMeasurement)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// "Open measurement ..." up to the point where the file is known to be sound: read and checked
// on a canvas of its own, with the window's events at the reports. Nothing of the document has
// changed yet, and a cancel is still possible.
void BM_ReadMeasurementFile(benchmark::State &state)
{
    EnsureApplication();
    const QString &file = SavedFile(int(state.range(0)));
    TTimedProgress timed;
    for (auto _ : state) {
        const TMeasurementContent content = ReadMeasurementFile(file, &timed.Progress);
        benchmark::DoNotOptimize(content.Groups.size());
    }
    state.counters["reports"] = timed.Reports;
    state.counters["longest_gap_ms"] = timed.LongestGapMs;
}
BENCHMARK(BM_ReadMeasurementFile)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The rest of "Open measurement ...": the checked content replaces the document, and the marks
// take the point size. It runs in one step, without events and beyond a cancel. The content
// hands its marks over, so each round reads the file anew, untimed.
void BM_ShowMeasurement(benchmark::State &state)
{
    EnsureApplication();
    const QString &file = SavedFile(int(state.range(0)));
    const auto graph = CountedCanvas(0);
    for (auto _ : state) {
        state.PauseTiming();
        TMeasurementContent content = ReadMeasurementFile(file);
        state.ResumeTiming();
        graph->Clear();
        ShowMeasurement(graph->Document(), content);
        ResizeMarks(graph->Document(), kRadius + 1);
        benchmark::DoNotOptimize(graph->Objects().Count());
    }
}
BENCHMARK(BM_ShowMeasurement)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace
