// The worker thread the computer players think on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/worker_thread.h"

TEST(WorkerThread, RunsOneWorkAtATimeWaitsWithALimitAndRunsAgain) {
    std::atomic<bool> finished{false};
    {
        platform::WorkerThread worker;
        EXPECT_TRUE(worker.waitFor(0));  // nothing started: nothing to wait for
        std::atomic<bool> release{false};
        ASSERT_TRUE(worker.start([&] {
            while (!release.load()) {
                std::this_thread::yield();
            }
        }));
        EXPECT_TRUE(worker.isRunning());
        EXPECT_FALSE(worker.start([] {}));  // one work at a time
        EXPECT_FALSE(worker.waitFor(30));   // the limit is honoured while the work goes on
        release = true;
        EXPECT_TRUE(worker.waitFor(10000));
        EXPECT_FALSE(worker.isRunning());
        // The same worker runs again; its destructor waits for unfinished work.
        ASSERT_TRUE(worker.start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            finished = true;
        }));
    }
    EXPECT_TRUE(finished.load());
}
