#pragma once

#include <atomic>
#include <functional>

namespace talivo {

// What a background job and the window that waits for it share: how far the job has come, and
// whether it should stop. Both sides may use it at any time from their own thread.
class TJobProgress {
public:
    void Cancel() { fCancelled = true; }
    bool Cancelled() const { return fCancelled; }

    // From 0 to 1; a negative fraction while the job cannot tell.
    void SetFraction(double fraction) { fFraction = fraction; }
    double Fraction() const { return fFraction; }

    // The job's report: takes the fraction and answers whether to go on.
    bool Proceed(double fraction)
    {
        SetFraction(fraction);
        if (fOnReport)
            fOnReport();
        return !Cancelled();
    }

    // Runs at every report, on the job's thread; set before the job starts.
    void SetOnReport(std::function<void()> onReport) { fOnReport = std::move(onReport); }

private:
    std::atomic<bool> fCancelled = false;
    std::atomic<double> fFraction = -1;
    std::function<void()> fOnReport;
};

} // namespace talivo
