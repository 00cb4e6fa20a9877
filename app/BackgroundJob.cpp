#include "app/BackgroundJob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>

#include <stdexcept>
#include <utility>

namespace talivo {

TBackgroundJob::TBackgroundJob(QObject *parent)
    : QObject(parent), fProgress(std::make_unique<TJobProgress>())
{}

TBackgroundJob::~TBackgroundJob()
{
    if (fThread.joinable()) {
        fProgress->Cancel();
        fThread.join();
    }
}

void TBackgroundJob::Begin(TFinish finish)
{
    if (fRunning)
        throw std::logic_error("A background job is already running.");
    fProgress = std::make_unique<TJobProgress>();
    fFinish = std::move(finish);
    fError = nullptr;
    fRunning = true;
    // A completion still queued for an earlier job finds another serial and does nothing.
    ++fSerial;
}

void TBackgroundJob::Start(TWork work, TFinish finish)
{
    Begin(std::move(finish));
    fOnThisThread = false;
    const unsigned serial = fSerial;
    TJobProgress *progress = fProgress.get();
    fThread = std::thread([this, serial, progress, work = std::move(work)] {
        try {
            work(*progress);
        } catch (...) {
            fError = std::current_exception();
        }
        // Queued to this object: dropped if the object is gone meanwhile.
        QMetaObject::invokeMethod(
            this, [this, serial] { Complete(serial); }, Qt::QueuedConnection);
    });
    emit Started();
}

void TBackgroundJob::RunOnThisThread(TWork work, TFinish finish)
{
    Begin(std::move(finish));
    fOnThisThread = true;
    // The first report lets the events run at once, the later ones after the interval.
    QElapsedTimer sinceEvents;
    fProgress->SetOnReport([&sinceEvents] {
        if (sinceEvents.isValid() && sinceEvents.elapsed() < kEventsIntervalMs)
            return;
        QCoreApplication::processEvents();
        sinceEvents.start();
    });
    emit Started();
    try {
        work(*fProgress);
    } catch (...) {
        fError = std::current_exception();
    }
    fProgress->SetOnReport(nullptr);
    End();
}

void TBackgroundJob::Cancel()
{
    if (fRunning)
        fProgress->Cancel();
}

void TBackgroundJob::Wait()
{
    if (fRunning && !fOnThisThread)
        Complete(fSerial);
}

// Runs once per job: a job that Wait completed has its queued completion still to come, and a
// later job may be running by then.
void TBackgroundJob::Complete(unsigned serial)
{
    if (serial != fSerial || !fRunning)
        return;
    fThread.join();
    End();
}

void TBackgroundJob::End()
{
    fRunning = false;
    const TJobEnd end = fProgress->Cancelled() ? jeCancelled : fError ? jeFailed : jeDone;
    const TFinish finish = std::move(fFinish);
    fFinish = nullptr;
    const std::exception_ptr error = std::exchange(fError, nullptr);
    // Finished is due even when the finish step throws (which the application then shows).
    try {
        if (finish)
            finish(end, end == jeFailed ? error : nullptr);
    } catch (...) {
        emit Finished();
        throw;
    }
    emit Finished();
}

} // namespace talivo
