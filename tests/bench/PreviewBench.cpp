// Time and peak memory of the open-picture dialog's preview of one file (load, then draw to fit the
// preview), for pictures a hostile web site or mail may bring and for a real 8000 x 8000 photo.
// Not a test: it prints its figures. Run it under Wine: cmake --build BUILD --target bench-preview
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "BmpFormat.h"
#include "Graphics.h"
#include "TestPictures.h"

namespace {
constexpr int kRoomWidth = 146, kRoomHeight = 200;  // about the preview's frame

std::string Photo(int Width, int Height, bool Progressive) {
    unsigned Seed = 7;
    return EncodeJpeg(Width, Height, jsRgb, [&](int Y, std::vector<unsigned char>& Row) {
        for (int X = 0; X < Width; ++X) {
            Seed = Seed * 1103515245u + 12345u;
            const int Noise = static_cast<int>((Seed >> 16) % 21) - 10;
            const double Texture = 20 * std::sin(X * 0.03) * std::cos(Y * 0.02);
            for (int C = 0; C < 3; ++C)
                Row[X * 3 + C] = static_cast<unsigned char>(
                    std::clamp(static_cast<int>(60 + C * 40 + (X + Y) * 100 / (Width + Height) + Texture) + Noise, 0, 255));
        }
    }, 90, Progressive);
}

// A progressive file whose frame claims Width x Height.
std::string Claiming(std::string Progressive, int Width, int Height) {
    const size_t Frame = Progressive.find("\xFF\xC2");
    Progressive[Frame + 5] = static_cast<char>(Height >> 8);
    Progressive[Frame + 6] = static_cast<char>(Height & 0xFF);
    Progressive[Frame + 7] = static_cast<char>(Width >> 8);
    Progressive[Frame + 8] = static_cast<char>(Width & 0xFF);
    return Progressive;
}

// A progressive file's segments up to its first scan, its frame claiming Width x Height, then that
// scan's header with one byte of data, Scans times: how a hostile file is made from any progressive one.
std::string RepeatedScans(const std::string& Progressive, int Width, int Height, int Scans) {
    const size_t Scan = Progressive.find("\xFF\xDA");
    std::string Head = Claiming(Progressive.substr(0, Scan), Width, Height);
    const size_t ScanLength = (static_cast<unsigned char>(Progressive[Scan + 2]) << 8) |
                              static_cast<unsigned char>(Progressive[Scan + 3]);
    const std::string ScanHeader = Progressive.substr(Scan, 2 + ScanLength);
    for (int I = 0; I < Scans; ++I) Head += ScanHeader + std::string(1, '\0');
    return Head + "\xFF\xD9";
}

// What the preview does with a file; the size it shows, or "(None)".
std::string PreviewOnce(const std::string& Path) {
    try {
        TPicture Picture;
        Picture.LoadFromFile(Path);
        TGraphic* Graphic = Picture.Graphic();
        const double Scale = std::min(1.0, std::min(static_cast<double>(kRoomWidth) / Graphic->Width(),
                                                    static_cast<double>(kRoomHeight) / Graphic->Height()));
        const int W = std::max(1, static_cast<int>(Graphic->Width() * Scale));
        const int H = std::max(1, static_cast<int>(Graphic->Height() * Scale));
        TBitmap Shown;
        Shown.SetPixelFormat(pf24bit);
        Shown.SetSize(W, H);
        Shown.Canvas()->StretchDraw(Rect(0, 0, W, H), Graphic);
        return std::to_string(Graphic->Width()) + " x " + std::to_string(Graphic->Height());
    } catch (const std::exception&) {
        return "(None)";
    }
}

// The most memory this process has had resident, in MB (Wine reads it from the host's record).
double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS Counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &Counters, sizeof Counters);
    return Counters.PeakWorkingSetSize / 1048576.0;
}

// Runs this program on one file in a process of its own, so that its peak memory is that file's.
void RunChild(const std::string& Self, const std::string& Path) {
    std::string Command = "\"" + Self + "\" \"" + Path + "\"";
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Process{};
    if (!CreateProcessA(nullptr, &Command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup, &Process)) {
        std::fprintf(stderr, "cannot start %s\n", Command.c_str());
        return;
    }
    WaitForSingleObject(Process.hProcess, INFINITE);
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);
}
}  // namespace

int main(int Argc, char** Argv) {
    if (Argc == 2) {
        const double Before = PeakMegabytes();
        const auto Start = std::chrono::steady_clock::now();
        const std::string Shown = PreviewOnce(Argv[1]);
        const double Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
        const std::string Name = std::string(Argv[1]).substr(std::string(Argv[1]).rfind('\\') + 1);
        std::printf("%-34s %8.1f ms  peak %6.1f MB resident (%5.1f before)  shows %s\n", Name.c_str(), Ms,
                    PeakMegabytes(), Before, Shown.c_str());
        std::fflush(stdout);
        return 0;
    }
    PrintHowCodeRuns();
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    const std::string Folder = std::string(Temp) + "preview-bench\\";
    CreateDirectoryA(Folder.c_str(), nullptr);
    const std::string Small = Photo(640, 480, true);
    const struct {
        const char* Name;
        std::string Data;
    } Files[] = {
        {"scans-5000.jpg", RepeatedScans(Small, 8000, 8000, 5000)},
        {"scans-20000.jpg", RepeatedScans(Small, 8000, 8000, 20000)},
        {"rle-16384x8192.bmp", EmptyRle8Bmp(16384, 8192)},
        {"progressive-claims-16384x8192.jpg", Claiming(Photo(1600, 1200, true), 16384, 8192)},
        {"photo-8000x8000.jpg", Photo(8000, 8000, false)},
        {"photo-8000x8000-progressive.jpg", Photo(8000, 8000, true)},
    };
    char Self[MAX_PATH];
    GetModuleFileNameA(nullptr, Self, MAX_PATH);
    for (const auto& File : Files) {
        std::printf("%-34s %9zu bytes\n", File.Name, File.Data.size());
        WriteBytes(Folder + File.Name, File.Data);
    }
    std::fflush(stdout);
    for (int Round = 0; Round < 2; ++Round)
        for (const auto& File : Files) RunChild(Self, Folder + File.Name);
    return 0;
}
