#pragma once

#include "app/JobProgress.h"

#include <QObject>

#include <exception>
#include <functional>
#include <memory>
#include <thread>

namespace talivo {

// How a job ended.
enum TJobEnd { jeDone, jeCancelled, jeFailed };

// Runs long work on a thread of its own, so that the window keeps answering, and hands the end
// back to the thread that started it. One job at a time. The work must touch nothing the GUI
// thread uses: it gets copies, and its result goes to the finish step, which runs on the GUI
// thread. Destroying the object cancels a running job and waits for it, without its finish.
// Work that needs objects of the GUI thread runs there instead, and keeps the window going
// through its reports.
class TBackgroundJob : public QObject {
    Q_OBJECT
public:
    using TWork = std::function<void(TJobProgress &progress)>;
    // error holds what the work threw, for jeFailed only. A job that was cancelled ends as
    // jeCancelled whether its work stopped early, threw or ran to the end.
    using TFinish = std::function<void(TJobEnd end, std::exception_ptr error)>;

    explicit TBackgroundJob(QObject *parent = nullptr);
    ~TBackgroundJob() override;
    TBackgroundJob(const TBackgroundJob &) = delete;
    TBackgroundJob &operator=(const TBackgroundJob &) = delete;

    // std::logic_error while a job runs.
    void Start(TWork work, TFinish finish);
    // Runs the work on the calling thread and returns after its finish step. The work's reports
    // let the pending events run (the first at once, then at most every kEventsIntervalMs), so
    // the window repaints and its Cancel answers; whatever else the user could reach meanwhile,
    // the caller disables while OnThisThread holds. std::logic_error while a job runs.
    void RunOnThisThread(TWork work, TFinish finish);
    // A job runs until its finish step has run.
    bool Running() const { return fRunning; }
    // Whether the running job's work runs on the GUI thread, under the events it lets run.
    bool OnThisThread() const { return fRunning && fOnThisThread; }
    // Asks the running job to stop; its finish step follows once the work has noticed.
    void Cancel();
    // Blocks until the running job's work has ended, then runs its finish step at once. A job on
    // the GUI thread cannot be waited for from within its own reports: it ends when they return.
    void Wait();
    // The running job's progress, or the last job's.
    const TJobProgress &Progress() const { return *fProgress; }

    static constexpr int kEventsIntervalMs = 25;

signals:
    void Started();
    // After the finish step.
    void Finished();

private:
    void Begin(TFinish finish);
    void Complete(unsigned serial);
    void End();

    std::unique_ptr<TJobProgress> fProgress;
    std::thread fThread;
    TFinish fFinish;
    std::exception_ptr fError;
    unsigned fSerial = 0;
    bool fRunning = false;
    bool fOnThisThread = false;
};

} // namespace talivo
