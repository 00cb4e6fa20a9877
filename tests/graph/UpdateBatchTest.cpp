#include "graph/objects/UpdateBatch.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace talivo {
namespace {

// Records the calls a batch makes, and fails at the end of the batch when asked to.
struct TRecordingTarget {
    std::string Calls;
    bool FailAtEnd = false;

    void BeginUpdate() { Calls += "begin "; }
    void EndUpdate()
    {
        Calls += "end ";
        if (FailAtEnd)
            throw std::runtime_error("handler of the report failed");
    }
    void SuspendQueries() { Calls += "suspend "; }
    void ResumeQueries() { Calls += "resume "; }
};

TEST(UpdateBatch, EndsAlsoWhenTheWorkFailsAndAsksAgainBeforeTheEndReports)
{
    TRecordingTarget target;
    EXPECT_THROW(
        {
            const TUpdateBatch batch(target, TBatchQueries::Suspend);
            throw std::logic_error("work failed");
        },
        std::logic_error);
    EXPECT_EQ(target.Calls, "begin suspend resume end ");

    target.Calls.clear();
    {
        const TUpdateBatch batch(target);
    }
    EXPECT_EQ(target.Calls, "begin end ");
}

TEST(UpdateBatch, TheWorksFailureWinsOverAFailingEnd)
{
    TRecordingTarget target;
    target.FailAtEnd = true;
    try {
        const TUpdateBatch batch(target);
        throw std::logic_error("work failed");
    } catch (const std::logic_error &error) {
        EXPECT_STREQ(error.what(), "work failed");
    }
    // With nothing else under way, the end's failure reaches the caller.
    EXPECT_THROW({ const TUpdateBatch batch(target); }, std::runtime_error);
    EXPECT_EQ(target.Calls, "begin end begin end ");
}

} // namespace
} // namespace talivo
