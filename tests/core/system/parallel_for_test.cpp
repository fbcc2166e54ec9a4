// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/parallel_for.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace orvane {
namespace {

// Every report a run made, checked to come from one thread.
struct Reports {
    std::vector<int> done;
    std::vector<int> totals;
    std::thread::id caller = std::this_thread::get_id();
    bool otherThread = false;

    Progress::Listener listener()
    {
        return [this](int d, int total) {
            done.push_back(d);
            totals.push_back(total);
            otherThread = otherThread || std::this_thread::get_id() != caller;
        };
    }
};

struct RunCase {
    const char* name;
    int count;
    int jobs;
    bool heard;
};

class ParallelForRuns : public ::testing::TestWithParam<RunCase> {};

TEST_P(ParallelForRuns, DoesEachIndexOnceAndReportsEveryCountInOrder)
{
    const RunCase& c = GetParam();
    std::vector<std::atomic_int> runs(size_t(c.count));
    Reports reports;
    const Progress progress = c.heard ? Progress(reports.listener()) : Progress();
    const int done = parallelFor(c.count, c.jobs, progress, [&](int k) { ++runs[size_t(k)]; });

    EXPECT_EQ(done, c.count);
    for (int k = 0; k < c.count; ++k)
        EXPECT_EQ(runs[size_t(k)].load(), 1) << "index " << k;
    if (!c.heard)
        return;
    std::vector<int> expected;
    for (int k = 1; k <= c.count; ++k)
        expected.push_back(k);
    EXPECT_EQ(reports.done, expected);
    EXPECT_EQ(reports.totals, std::vector<int>(size_t(c.count), c.count));
    EXPECT_FALSE(reports.otherThread);
}

INSTANTIATE_TEST_SUITE_P(JobsAndItems, ParallelForRuns,
                         ::testing::Values(RunCase{"one_job", 9, 1, true},
                                           RunCase{"two_jobs", 9, 2, true},
                                           RunCase{"four_jobs", 40, 4, true},
                                           RunCase{"more_jobs_than_items", 3, 16, true},
                                           RunCase{"every_core", 25, 0, true},
                                           RunCase{"unheard_two_jobs", 9, 2, false},
                                           RunCase{"unheard_more_jobs_than_items", 2, 8, false},
                                           RunCase{"nothing_to_do", 0, 4, true}),
                         [](const auto& test) { return std::string(test.param.name); });

// A stop asked for by the work at one index: no index is taken after it on that thread, the
// others finish the one they hold, and the reports end at the number done.
TEST(ParallelFor, StopsTakingIndicesOnceAStopIsRequested)
{
    for (const int jobs : {1, 2, 4}) {
        SCOPED_TRACE(jobs);
        constexpr int Count = 200;
        constexpr int StopAt = 10;
        std::atomic_bool stop{false};
        Reports reports;
        std::mutex mutex;
        std::vector<int> ran;
        const int done = parallelFor(Count, jobs, Progress(reports.listener(), &stop), [&](int k) {
            if (k == StopAt)
                stop = true;
            const std::lock_guard lock(mutex);
            ran.push_back(k);
        });
        EXPECT_EQ(done, int(ran.size()));
        EXPECT_NE(std::find(ran.begin(), ran.end(), StopAt), ran.end());
        // Each other thread may finish the index it holds at the stop, no more.
        if (jobs == 1) {
            EXPECT_EQ(done, StopAt + 1);
        }
        EXPECT_LE(done, StopAt + jobs);
        ASSERT_FALSE(reports.done.empty());
        EXPECT_EQ(reports.done.back(), done);
        for (size_t k = 1; k < reports.done.size(); ++k)
            EXPECT_EQ(reports.done[k], reports.done[k - 1] + 1);
    }
}

TEST(ParallelFor, AStoppedProgressDoesNothing)
{
    const std::atomic_bool stop{true};
    int runs = 0;
    EXPECT_EQ(parallelFor(5, 1, Progress({}, &stop), [&](int) { ++runs; }), 0);
    EXPECT_EQ(parallelFor(5, 3, Progress({}, &stop), [&](int) { ++runs; }), 0);
    EXPECT_EQ(runs, 0);
}

TEST(ParallelFor, AFailingWorkIsThrownAgainAfterEveryThreadEnded)
{
    constexpr int Count = 200;
    for (const bool heard : {false, true}) {
        std::atomic_int runs{0};
        const Progress progress = heard ? Progress([](int, int) {}) : Progress();
        EXPECT_THROW(parallelFor(Count, 3, progress,
                                 [&](int k) {
                                     ++runs;
                                     if (k == 5)
                                         throw std::runtime_error("no");
                                     // Long enough for the others not to finish the rest
                                     // while the exception is thrown.
                                     std::this_thread::sleep_for(std::chrono::milliseconds(2));
                                 }),
                     std::runtime_error);
        EXPECT_LT(runs.load(), Count);
    }
}

}  // namespace
}  // namespace orvane
