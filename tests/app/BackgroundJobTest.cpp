#include "app/BackgroundJob.h"
#include "app/ProgressPanel.h"

#include "tests/common/TestMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace talivo::test {
namespace {

// Lets the event loop run until the condition holds, for at most ten seconds.
template <class TCondition> bool RunEventsUntil(TCondition condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 10000) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return condition();
}

void RunEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Work that reports the fraction and then runs until it is cancelled.
TBackgroundJob::TWork UntilCancelled(double fraction = -1)
{
    return [fraction](TJobProgress &progress) {
        progress.SetFraction(fraction);
        while (!progress.Cancelled())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
}

struct TEnds {
    std::vector<TJobEnd> Ends;
    QStringList Errors;
    std::vector<QThread *> Threads;

    TBackgroundJob::TFinish Record()
    {
        return [this](TJobEnd end, std::exception_ptr error) {
            Ends.push_back(end);
            Threads.push_back(QThread::currentThread());
            try {
                if (error)
                    std::rethrow_exception(error);
            } catch (const std::exception &e) {
                Errors << e.what();
            }
        };
    }
};

TEST(BackgroundJob, WorksOffTheGuiThreadAndFinishesOnIt)
{
    TBackgroundJob job;
    TEnds ends;
    int started = 0, finished = 0;
    QObject::connect(&job, &TBackgroundJob::Started, [&] { ++started; });
    QObject::connect(&job, &TBackgroundJob::Finished, [&] { ++finished; });
    std::atomic<QThread *> worker = nullptr;
    job.Start(
        [&](TJobProgress &progress) {
            worker = QThread::currentThread();
            progress.SetFraction(0.5);
        },
        ends.Record());
    EXPECT_TRUE(job.Running());
    EXPECT_THROW(job.Start([](TJobProgress &) {}, {}), std::logic_error);
    ASSERT_TRUE(RunEventsUntil([&] { return !job.Running(); }));
    EXPECT_EQ(ends.Ends, std::vector<TJobEnd>({jeDone}));
    EXPECT_NE(worker.load(), QThread::currentThread());
    EXPECT_EQ(ends.Threads, std::vector<QThread *>({QThread::currentThread()}));
    EXPECT_EQ(job.Progress().Fraction(), 0.5);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(finished, 1);

    job.Start([](TJobProgress &) { throw std::runtime_error("no memory left"); }, ends.Record());
    ASSERT_TRUE(RunEventsUntil([&] { return !job.Running(); }));
    EXPECT_EQ(ends.Ends.back(), jeFailed);
    EXPECT_EQ(ends.Errors, QStringList({"no memory left"}));
}

TEST(BackgroundJob, EndsAsCancelledWhateverTheCancelledWorkDid)
{
    TBackgroundJob job;
    TEnds ends;
    job.Start(UntilCancelled(), ends.Record());
    job.Cancel();
    ASSERT_TRUE(RunEventsUntil([&] { return !job.Running(); }));
    job.Start(
        [](TJobProgress &progress) {
            while (!progress.Cancelled())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            throw std::runtime_error("stopped half way");
        },
        ends.Record());
    job.Cancel();
    ASSERT_TRUE(RunEventsUntil([&] { return !job.Running(); }));
    EXPECT_EQ(ends.Ends, std::vector<TJobEnd>({jeCancelled, jeCancelled}));
    EXPECT_TRUE(ends.Errors.isEmpty());
}

TEST(BackgroundJob, WaitFinishesAtOnceAndOnlyOnce)
{
    TBackgroundJob job;
    TEnds ends;
    job.Start(UntilCancelled(), ends.Record());
    job.Cancel();
    job.Wait();
    EXPECT_FALSE(job.Running());
    EXPECT_EQ(ends.Ends, std::vector<TJobEnd>({jeCancelled}));

    // The first job's completion is still queued: it must not end the second job.
    job.Start(UntilCancelled(), ends.Record());
    RunEventsFor(50);
    EXPECT_TRUE(job.Running());
    EXPECT_EQ(ends.Ends.size(), 1u);
    job.Cancel();
    ASSERT_TRUE(RunEventsUntil([&] { return !job.Running(); }));
    EXPECT_EQ(ends.Ends.size(), 2u);
    job.Wait();
    EXPECT_EQ(ends.Ends.size(), 2u);
}

TEST(BackgroundJob, GoingAwayCancelsTheWorkWithoutFinishing)
{
    auto job = std::make_unique<TBackgroundJob>();
    TEnds ends;
    std::atomic<bool> stopped = false;
    job->Start(
        [&](TJobProgress &progress) {
            UntilCancelled()(progress);
            stopped = true;
        },
        ends.Record());
    job.reset();
    EXPECT_TRUE(stopped);
    RunEventsFor(20);
    EXPECT_TRUE(ends.Ends.empty());
}

TEST(BackgroundJob, WorkOnThisThreadLetsTheEventsRunAtItsReports)
{
    TBackgroundJob job;
    TEnds ends;
    int started = 0, finished = 0;
    QObject::connect(&job, &TBackgroundJob::Started, [&] { ++started; });
    QObject::connect(&job, &TBackgroundJob::Finished, [&] { ++finished; });
    bool fired = false, onThisThread = false;
    QTimer::singleShot(0, &job, [&] {
        fired = true;
        onThisThread = job.OnThisThread();
        // Nothing to wait for from within the work's own report.
        job.Wait();
        EXPECT_THROW(job.Start([](TJobProgress &) {}, {}), std::logic_error);
    });
    QThread *worker = nullptr;
    int reports = 0;
    job.RunOnThisThread(
        [&](TJobProgress &progress) {
            worker = QThread::currentThread();
            while (!fired && reports < 1000) {
                progress.Proceed(0.5);
                ++reports;
            }
        },
        ends.Record());
    EXPECT_TRUE(fired);
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(onThisThread);
    EXPECT_EQ(worker, QThread::currentThread());
    EXPECT_EQ(ends.Ends, std::vector<TJobEnd>({jeDone}));
    EXPECT_EQ(started, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(job.Running());
    EXPECT_FALSE(job.OnThisThread());

    // Cancelled from an event, whatever the work then does.
    QTimer::singleShot(0, &job, [&] { job.Cancel(); });
    job.RunOnThisThread(
        [](TJobProgress &progress) {
            while (progress.Proceed(-1))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            throw std::runtime_error("stopped half way");
        },
        ends.Record());
    EXPECT_EQ(ends.Ends.back(), jeCancelled);
    EXPECT_TRUE(ends.Errors.isEmpty());

    // What the finish step throws reaches the caller.
    EXPECT_THROW(job.RunOnThisThread(
                     [](TJobProgress &) { throw std::runtime_error("disk full"); },
                     [](TJobEnd, std::exception_ptr error) { std::rethrow_exception(error); }),
                 std::runtime_error);
    EXPECT_FALSE(job.Running());
    EXPECT_EQ(finished, 3);
}

class ProgressPanel : public ::testing::Test {
protected:
    ProgressPanel() : fPanel(new TProgressPanel(&fWindow))
    {
        fWindow.resize(400, 100);
        fWindow.show();
        QApplication::setActiveWindow(&fWindow);
    }
    QProgressBar &Bar() { return *fPanel->findChild<QProgressBar *>("ProgressBarJob"); }

    QWidget fWindow;
    TProgressPanel *fPanel;
    TBackgroundJob fJob;
    TEnds fEnds;
};

TEST_F(ProgressPanel, ShowsOnlyLongJobsWithTheirProgressAndCancelsWithItsButton)
{
    fJob.Start(UntilCancelled(0.25), fEnds.Record());
    fPanel->Watch(fJob, "Counting ...");
    RunEventsFor(TProgressPanel::kShowDelayMs / 2);
    EXPECT_FALSE(fPanel->isVisible());
    RunEventsFor(TProgressPanel::kShowDelayMs);
    ASSERT_TRUE(fPanel->isVisible());
    EXPECT_EQ(Bar().maximum(), 1000);
    EXPECT_EQ(Bar().value(), 250);

    fPanel->findChild<QPushButton *>("ButtonCancelJob")->click();
    ASSERT_TRUE(RunEventsUntil([&] { return !fJob.Running(); }));
    EXPECT_EQ(fEnds.Ends, std::vector<TJobEnd>({jeCancelled}));
    EXPECT_FALSE(fPanel->isVisible());

    // A job done within the delay never shows.
    fJob.Start([](TJobProgress &) {}, fEnds.Record());
    fPanel->Watch(fJob, "Counting ...");
    ASSERT_TRUE(RunEventsUntil([&] { return !fJob.Running(); }));
    RunEventsFor(TProgressPanel::kShowDelayMs * 2);
    EXPECT_FALSE(fPanel->isVisible());
}

TEST_F(ProgressPanel, RunsToAndFroWhileTheJobCannotTellAndCancelsWithEscape)
{
    fJob.Start(UntilCancelled(-1), fEnds.Record());
    fPanel->Watch(fJob, "Counting ...");
    RunEventsFor(TProgressPanel::kShowDelayMs * 2);
    EXPECT_EQ(Bar().minimum(), 0);
    EXPECT_EQ(Bar().maximum(), 0);

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&fWindow, &escape);
    ASSERT_TRUE(RunEventsUntil([&] { return !fJob.Running(); }));
    EXPECT_EQ(fEnds.Ends, std::vector<TJobEnd>({jeCancelled}));

    // Once its job has ended the panel lets Escape go: a job it does not follow runs on.
    fJob.Start(UntilCancelled(), fEnds.Record());
    QApplication::sendEvent(&fWindow, &escape);
    RunEventsFor(50);
    EXPECT_TRUE(fJob.Running());
    fJob.Cancel();
    ASSERT_TRUE(RunEventsUntil([&] { return !fJob.Running(); }));
}

} // namespace
} // namespace talivo::test
