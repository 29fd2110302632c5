#include "engine/frame_bench.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <numeric>

namespace {

// Milliseconds of processor time used by every thread of the process.
double processCpuMilliseconds() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) * 1000.0 + static_cast<double>(time.tv_nsec) / 1e6;
}

}  // namespace

FrameBench::FrameBench() {
    const char* frames = std::getenv("TINTFALL_FRAME_BENCH");
    if (frames != nullptr) {
        const long wanted = std::strtol(frames, nullptr, 10);
        wanted_ = wanted > 0 && wanted < 1000000 ? static_cast<std::size_t>(wanted) : 0;
        intervals_.reserve(wanted_);
    }
}

bool FrameBench::frameSwapped() {
    if (!active() || done_) {
        return done_;
    }
    const auto now = std::chrono::steady_clock::now();
    // Loading, the first texture uploads and the GL driver's first compiles are not frames of
    // the game.
    if (startUpFrames_ > 0) {
        if (--startUpFrames_ == 0) {
            cpuStart_ = processCpuMilliseconds();
        }
    } else {
        intervals_.push_back(std::chrono::duration<double, std::milli>(now - lastSwap_).count());
    }
    lastSwap_ = now;
    if (intervals_.size() < wanted_) {
        return false;
    }
    done_ = true;
    cpuEnd_ = processCpuMilliseconds();
    std::cout << "frame-bench: " << summary() << std::endl;
    if (const char* path = std::getenv("TINTFALL_FRAME_INTERVALS")) {
        std::ofstream out(path);
        for (double interval : intervals_) {
            out << interval << '\n';
        }
    }
    return true;
}

std::string FrameBench::summary() const {
    if (intervals_.empty()) {
        return "frames 0";
    }
    const double total = std::accumulate(intervals_.begin(), intervals_.end(), 0.0);
    const auto over = std::count_if(intervals_.begin(), intervals_.end(),
                                    [](double interval) { return interval > 40.0; });
    const double worst = *std::max_element(intervals_.begin(), intervals_.end());
    const double frames = static_cast<double>(intervals_.size());
    char text[200];
    std::snprintf(text, sizeof text,
                  "frames %zu, mean %.1f ms, over 40 ms %.2f%%, worst %.1f ms, cpu %.1f ms a frame",
                  intervals_.size(), total / frames, 100.0 * static_cast<double>(over) / frames,
                  worst, (cpuEnd_ - cpuStart_) / frames);
    return text;
}
