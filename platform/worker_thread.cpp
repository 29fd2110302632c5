#include "platform/worker_thread.h"

#include <chrono>
#include <utility>

namespace platform {

WorkerThread::~WorkerThread() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool WorkerThread::start(std::function<void()> work) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!finished_) {
            return false;
        }
        finished_ = false;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    thread_ = std::thread([this, work = std::move(work)]() {
        work();
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
        finishedSignal_.notify_all();
    });
    return true;
}

bool WorkerThread::isRunning() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !finished_;
}

bool WorkerThread::waitFor(std::uint32_t limitMs) {
    bool done;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done = finishedSignal_.wait_for(lock, std::chrono::milliseconds(limitMs),
                                        [this] { return finished_; });
    }
    if (done) {
        joinIfFinished();
    }
    return done;
}

void WorkerThread::joinIfFinished() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace platform
