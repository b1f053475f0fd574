// Times Velmora3.exe from its start to its visible main window against the smallest Win32 window
// program, started alternately under the same Wine. Not a test: it prints the medians and their
// ratio. Run it: cmake --build BUILD --target bench-startup
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "../e2e/E2eSupport.h"
#include "BenchSupport.h"

namespace {
constexpr int kRounds = 15;

double MsToWindow(const char* Path, const char* Caption) {
    const auto Start = std::chrono::steady_clock::now();
    TProgram Program(Path);
    HWND Window = WaitForWindow(Program.Id(), Caption);
    const double Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
    if (!Window) {
        std::fprintf(stderr, "%s showed no window \"%s\"\n", Path, Caption);
        std::exit(1);
    }
    PostMessageA(Window, WM_CLOSE, 0, 0);
    Program.WaitForExit(20000);
    return Ms;
}
}  // namespace

int main() {
    PrintHowCodeRuns();
    const char* const Main = "Velmora! Version 3.1";
    MsToWindow(MINIMAL_EXE, "Minimal Window");  // warms Wine's caches for both
    MsToWindow(VELMORA_EXE, Main);
    std::vector<double> Minimals, Velmoras, Ratios;
    for (int Round = 0; Round < kRounds; ++Round) {
        Minimals.push_back(MsToWindow(MINIMAL_EXE, "Minimal Window"));
        Velmoras.push_back(MsToWindow(VELMORA_EXE, Main));
        Ratios.push_back(Velmoras.back() / Minimals.back());
    }
    std::printf("start-up to visible main window, median of %d alternating starts:\n", kRounds);
    std::printf("  minimal window: %6.0f ms\n  Velmora:        %6.0f ms\n", MedianOf(Minimals), MedianOf(Velmoras));
    std::printf("  ratio:          %6.2f (per round %.2f to %.2f; goal: at most 1.30)\n",
                MedianOf(Velmoras) / MedianOf(Minimals), *std::min_element(Ratios.begin(), Ratios.end()),
                *std::max_element(Ratios.begin(), Ratios.end()));
    return 0;
}
