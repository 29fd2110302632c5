// The frame benchmark's recorder: with TINTFALL_FRAME_BENCH=N in the environment the program
// measures the interval between buffer swaps for N frames (after a few frames of start-up),
// prints their mean, the share over 40 ms and the worst, and then asks to quit. It also prints
// the processor time the whole process (GL driver threads and search included) spent per frame,
// which a busy machine changes far less than the intervals. With TINTFALL_FRAME_INTERVALS=FILE
// as well, it writes every interval to FILE, one a line, in milliseconds. Without the variables
// it does nothing.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

class FrameBench {
  public:
    FrameBench();

    bool active() const { return wanted_ > 0; }
    // Called right after every swap; true once the frames are measured and the figures printed.
    bool frameSwapped();
    // "frames N, mean M ms, over 40 ms P%, worst W ms, cpu C ms a frame".
    std::string summary() const;

  private:
    std::size_t wanted_ = 0;
    int startUpFrames_ = 60;
    bool done_ = false;
    std::chrono::steady_clock::time_point lastSwap_;
    double cpuStart_ = 0.0;
    double cpuEnd_ = 0.0;
    std::vector<double> intervals_;
};
