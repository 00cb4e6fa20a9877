#pragma once

#include <exception>

namespace talivo {

// Whether a batch also holds back the graph's questions to its owner (may this link hook, may
// this object go), as while objects are read or put back the way they were.
enum class TBatchQueries { Ask, Suspend };

// Keeps one update batch of a graph or of one object open while it lives: the changes made
// meanwhile are reported, and repainted, once when the outermost batch ends. The batch ends also
// when the work inside fails; the questions it held back are asked again before it ends, so the
// end's reports meet a graph that asks them.
template <class TTarget> class [[nodiscard]] TUpdateBatch {
public:
    explicit TUpdateBatch(TTarget &target, TBatchQueries queries = TBatchQueries::Ask)
        : fTarget(target), fQueries(queries), fFailuresBefore(std::uncaught_exceptions())
    {
        fTarget.BeginUpdate();
        if (fQueries == TBatchQueries::Suspend) {
            if constexpr (requires { target.SuspendQueries(); })
                fTarget.SuspendQueries();
        }
    }

    // The end reports the batch's changes, and a handler of the report may fail; that failure
    // goes on to the caller unless another one is already on its way.
    ~TUpdateBatch() noexcept(false)
    {
        if (fQueries == TBatchQueries::Suspend) {
            if constexpr (requires { fTarget.ResumeQueries(); })
                fTarget.ResumeQueries();
        }
        if (std::uncaught_exceptions() > fFailuresBefore) {
            try {
                fTarget.EndUpdate();
            } catch (...) {
                // The failure that ended the work is the one the caller needs to see.
            }
        } else {
            fTarget.EndUpdate();
        }
    }

    TUpdateBatch(const TUpdateBatch &) = delete;
    TUpdateBatch &operator=(const TUpdateBatch &) = delete;

private:
    TTarget &fTarget;
    TBatchQueries fQueries;
    int fFailuresBefore;
};

} // namespace talivo
