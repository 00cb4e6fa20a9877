#include "app/MarkedImage.h"
#include "app/Measurement.h"
#include "app/MeasurementDocument.h"
#include "app/ProposedMarks.h"
#include "app/RecoveryFile.h"
#include "bench/BenchApplication.h"
#include "graph/control/GraphControl.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace talivo;

// The work kept for a restart after a crash, written from a timer on the GUI thread while the
// user works: the whole time is time the window does not answer. Marks on a canvas as the window
// makes them, in three groups.
void BM_WriteRecovery(benchmark::State &state)
{
    talivo::bench::EnsureApplication<QApplication>("BenchRecoveryFile");
    TGraphControl graph;
    PrepareCanvas(graph);
    QImage picture(10000, 10000, QImage::Format_Grayscale8);
    picture.fill(128);
    ShowImage(graph, picture);
    TMeasurementDocument measurement;
    measurement.ShowMarksIn(&graph.Document());
    measurement.SetPictureFileName("/pictures/cells.png");
    for (int group = 0; group < 3; ++group)
        measurement.AddGroup(QString("Group %1").arg(group), 0x0000FF, 1000 + group, 0);
    const int marks = int(state.range(0));
    graph.BeginUpdate();
    for (int i = 0; i < marks; ++i)
        InsertMark(graph.Document(), {10 + i % 1000 * 10, 10 + i / 1000 % 1000 * 10}, 10,
                   1000 + i % 3, 0x0000FF, MarkText(i / 3 + 1), 10);
    graph.EndUpdate();
    QTemporaryDir dir;
    TRecoveryFile recovery(dir.path());
    for (auto _ : state)
        recovery.Write(measurement);
}
BENCHMARK(BM_WriteRecovery)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
