#include "app/BackgroundJob.h"

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

void TBackgroundJob::Start(TWork work, TFinish finish)
{
    if (fRunning)
        throw std::logic_error("A background job is already running.");
    fProgress = std::make_unique<TJobProgress>();
    fFinish = std::move(finish);
    fError = nullptr;
    fRunning = true;
    const unsigned serial = ++fSerial;
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

void TBackgroundJob::Cancel()
{
    if (fRunning)
        fProgress->Cancel();
}

void TBackgroundJob::Wait()
{
    if (fRunning)
        Complete(fSerial);
}

// Runs once per job: a job that Wait completed has its queued completion still to come, and a
// later job may be running by then.
void TBackgroundJob::Complete(unsigned serial)
{
    if (serial != fSerial || !fRunning)
        return;
    fThread.join();
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
