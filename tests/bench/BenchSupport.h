// What the benchmarks share: how this machine runs 32-bit code, and the median of timed runs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// Where the machine has no 32-bit user mode, Wine's 32-bit side runs through qemu-user, registered
// with the kernel as binfmt_misc's "qemu-i386"; every time and ratio is distorted there.
inline const char* HowCodeRuns() {
    std::ifstream Entry("Z:\\proc\\sys\\fs\\binfmt_misc\\qemu-i386");
    std::string State;
    return std::getline(Entry, State) && State == "enabled" ? "32-bit code runs under qemu-user: times are distorted"
                                                             : "32-bit code runs natively";
}

inline void PrintHowCodeRuns() { std::printf("machine: %s\n", HowCodeRuns()); }

inline double MedianOf(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

// Median of Runs timings of Action, in milliseconds.
inline double TimeMs(const std::function<void()>& Action, int Runs) {
    std::vector<double> Times;
    for (int I = 0; I < Runs; ++I) {
        const auto Start = std::chrono::steady_clock::now();
        Action();
        Times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count());
    }
    return MedianOf(Times);
}
