#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "graph/GraphControl.h"
#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"

#include <QApplication>
#include <QFile>
#include <QImageWriter>
#include <QSlider>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

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
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "BenchLargeImage";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Opening a 20,000 by 20,000 colour picture through the window, fit and first paint included.
// The peak memory shows how many decoded copies the program keeps.
void BM_OpenLargeImage(benchmark::State &state)
{
    EnsureApplication();
    QTemporaryDir dir;
    const QString picture = dir.path() + "/large.png";
    {
        QImage image(kSide, kSide, QImage::Format_RGB888);
        image.fill(QColor(90, 140, 200));
        QImageWriter writer(picture, "png");
        if (!writer.write(image)) {
            state.SkipWithError("cannot write the picture");
            return;
        }
    }
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

} // namespace
