// A background thread that runs one piece of work. The owner polls whether it is still running
// and waits for it with a limit, the way the game waits for a thinking computer player.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

class WorkerThread {
  public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Waits for the work to end: the work must watch its own stop flag, since a thread that
    // still reads freed state would be worse than a late return.
    ~WorkerThread();

    // Starts the work on a new thread; false when a previous work is still running.
    bool start(std::function<void()> work);

    // True while the work has been started and has not returned yet.
    bool isRunning() const;

    // Waits until the work has returned or `limitMs` milliseconds have passed. True when the
    // work has returned (or none was started); the thread is then joined.
    bool waitFor(std::uint32_t limitMs);

  private:
    void joinIfFinished();

    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable finishedSignal_;
    bool finished_ = true;
};

}  // namespace platform
