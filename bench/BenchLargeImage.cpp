#include "app/BackgroundJob.h"
#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/ImageFile.h"
#include "app/MarkedImage.h"
#include "app/Measurement.h"
#include "app/ProposedMarks.h"
#include "bench/BenchApplication.h"
#include "graph/control/GraphControl.h"
#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSlider>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <map>
#include <string>
#include <thread>

namespace {

using namespace talivo;

constexpr int kSide = 20000;

// The process's peak resident memory in MB, from the kernel's own bookkeeping.
double PeakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

void EnsureApplication()
{
    talivo::bench::EnsureApplication<QApplication>("BenchLargeImage");
}

// A 20,000 by 20,000 colour picture as a file of the format ("png", "jpeg" or "tiff"), written
// once per process.
const QString &LargePicture(const QByteArray &format = "png")
{
    static QTemporaryDir dir;
    static std::map<QByteArray, QString> pictures;
    QString &picture = pictures[format];
    if (picture.isEmpty()) {
        const QString file = dir.path() + "/large." + format;
        QImage image(kSide, kSide, QImage::Format_RGB888);
        image.fill(QColor(90, 140, 200));
        QImageWriter writer(file, format);
        if (writer.write(image))
            picture = file;
    }
    return picture;
}

// Opening the picture through the window, fit and first paint included. The peak memory shows
// how many decoded copies the program keeps.
void BM_OpenLargeImage(benchmark::State &state)
{
    EnsureApplication();
    const QString picture = LargePicture();
    if (picture.isEmpty()) {
        state.SkipWithError("cannot write the picture");
        return;
    }
    QTemporaryDir dir;
    const double before = PeakMegabytes();
    TFixedFolders folders(dir.path(), dir.path() + "/Talivo");
    TScriptedPrompter prompter;
    TScopedService<IFolders> useFolders(&folders);
    TScopedService<IPrompter> usePrompter(&prompter);
    auto *form = new TFormMain;
    // The window owns its dialog and deletes it with itself.
    form->SetGroupSettings(new TFormGroupSettings(form));
    form->resize(1400, 1100);
    form->show();
    form->TimerStartTimer();
    QApplication::processEvents();
    for (auto _ : state) {
        prompter.PushFile(picture);
        form->Openimage1Click();
        form->Job().Wait();
        QApplication::processEvents();
    }
    state.counters["width"] = form->Graph()->Background().Image().width();
    state.counters["peak_MB_before"] = before;
    state.counters["peak_MB"] = PeakMegabytes();
    delete form;
}
BENCHMARK(BM_OpenLargeImage)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The picture decoded by Qt's reader alone: what the window's way of reading it is measured
// against.
void BM_DecodeLargeImagePlain(benchmark::State &state)
{
    EnsureApplication();
    QImageReader::setAllocationLimit(0);
    for (auto _ : state) {
        QImageReader reader(LargePicture());
        const QImage image = reader.read();
        benchmark::DoNotOptimize(image.constBits());
        state.counters["width"] = image.width();
    }
}
BENCHMARK(BM_DecodeLargeImagePlain)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The same through the window's reader, as a job on a thread of its own that reports its
// progress, while this thread runs its events.
void BM_DecodeLargeImageAsJob(benchmark::State &state)
{
    EnsureApplication();
    TBackgroundJob job;
    QImage image;
    int reports = 0;
    for (auto _ : state) {
        job.Start([&](TJobProgress &progress) { image = ReadImageFile(LargePicture(), &progress); },
                  {});
        double fraction = -1;
        while (job.Running()) {
            if (job.Progress().Fraction() != fraction) {
                fraction = job.Progress().Fraction();
                ++reports;
            }
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["width"] = image.width();
    state.counters["fractions_seen"] = reports;
}
BENCHMARK(BM_DecodeLargeImageAsJob)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// From Cancel, pressed a quarter of the way through the decoding, to the end of the job: how
// long the window waits for a cancelled load to let go. A uniform picture is the slowest case:
// its file is small, so the decoder does much work between two reads.
void BM_CancelLargeImageLoad(benchmark::State &state, const QByteArray &format)
{
    EnsureApplication();
    const QString picture = LargePicture(format);
    if (picture.isEmpty()) {
        state.SkipWithError("cannot write the picture");
        return;
    }
    TBackgroundJob job;
    double at = 0;
    for (auto _ : state) {
        state.PauseTiming();
        job.Start([&](TJobProgress &progress) { ReadImageFile(picture, &progress); }, {});
        while (job.Progress().Fraction() < 0.25)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        at = job.Progress().Fraction();
        state.ResumeTiming();
        job.Cancel();
        job.Wait();
    }
    state.counters["cancelled_at"] = at;
    state.counters["file_MB"] = double(QFileInfo(picture).size()) / (1 << 20);
}
BENCHMARK_CAPTURE(BM_CancelLargeImageLoad, png, "png")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_CancelLargeImageLoad, jpeg, "jpeg")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_CancelLargeImageLoad, tiff, "tiff")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// The part of "Save image ..." that stays on the GUI thread: the picture copied with 100,000
// marks drawn into it. Encoding and writing the copy follow on the job's thread.
void BM_RenderLargeImageWithMarks(benchmark::State &state)
{
    EnsureApplication();
    TGraphControl graph;
    PrepareCanvas(graph);
    QImageReader::setAllocationLimit(0);
    ShowImage(graph, QImageReader(LargePicture()).read());
    graph.BeginUpdate();
    for (int i = 0; i < 100000; ++i)
        InsertMark(graph.Document(), {50 + i % 316 * 60, 50 + i / 316 * 60}, 20, 1000, 0x0000FF,
                   MarkText(i + 1), 20);
    graph.EndUpdate();
    for (auto _ : state) {
        const QImage image = RenderImageWithMarks(graph.Document());
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["marks"] = graph.Objects().Count();
}
BENCHMARK(BM_RenderLargeImageWithMarks)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

} // namespace
