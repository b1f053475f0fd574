// Time and peak memory of the open-picture dialog's preview of one file (load, then draw to fit the
// preview) and of a tiled skin made from it, for pictures a hostile web site or mail may bring and for
// real 8000 x 8000 photos and bitmaps.
// Not a test: it prints its figures. Run it under Wine: cmake --build BUILD --target bench-preview
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Appfolder.h"
#include "BenchSupport.h"
#include "BmpFormat.h"
#include "Forms.h"
#include "Graphics.h"
#include "Skinconversion.h"
#include "TestPictures.h"

namespace {
constexpr int kRoomWidth = 146, kRoomHeight = 200;  // about the preview's frame

// The colour of a photograph-like picture at (X, Y): gradients, texture and noise.
unsigned char PhotoSample(int X, int Y, int C, int Width, int Height, unsigned& Seed) {
    Seed = Seed * 1103515245u + 12345u;
    const int Noise = static_cast<int>((Seed >> 16) % 21) - 10;
    const double Texture = 20 * std::sin(X * 0.03) * std::cos(Y * 0.02);
    return static_cast<unsigned char>(
        std::clamp(static_cast<int>(60 + C * 40 + (X + Y) * 100 / (Width + Height) + Texture) + Noise, 0, 255));
}

std::string Photo(int Width, int Height, bool Progressive, TJpegSamples Samples = jsRgb, bool Arithmetic = false) {
    unsigned Seed = 7;
    return EncodeJpeg(Width, Height, Samples, [&](int Y, std::vector<unsigned char>& Row) {
        for (int X = 0; X < Width; ++X)
            for (int C = 0; C < 3; ++C) Row[X * 3 + C] = PhotoSample(X, Y, C, Width, Height, Seed);
    }, 90, Progressive, Arithmetic);
}

// A bitmap file of the photograph-like picture, of 24 or 32 bits a pixel.
std::string PhotoBitmap(int Width, int Height, int BitCount) {
    unsigned Seed = 7;
    const int Bytes = BitCount / 8;
    std::vector<unsigned char> Pixels(static_cast<size_t>(Width) * Bytes * Height);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X)
            for (int C = 0; C < 3; ++C)
                Pixels[(static_cast<size_t>(Y) * Width + X) * Bytes + 2 - C] = PhotoSample(X, Y, C, Width, Height, Seed);
    return WriteBmpFile(Width, Height, BitCount, Pixels.data(), static_cast<size_t>(Width) * Bytes);
}

// The segments of a file up to its first scan and that scan's first bytes: a few hundred bytes whose
// frame claims Width x Height and whose data ends at once.
std::string EndingAtOnce(const std::string& Jpeg, int Width, int Height) {
    return ClaimingSize(Jpeg.substr(0, Jpeg.find("\xFF\xDA") + 200), Width, Height) + "\xFF\xD9";
}

// A tiled skin made of the file, as Select or the gallery applies one; what the conversion said.
std::string ApplyTiledOnce(const std::string& Path) {
    std::string Said = "applied";
    Application->MessageBoxResponder = [&Said](const TMessageBoxRequest& Request) {
        Said = Request.Text;
        return IDOK;
    };
    const std::string Skin = NewSkinFileName();
    ConvertPictureToSkin(nullptr, Path, Skin, false, 0);
    DeleteFileA(Skin.c_str());
    return Said;
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
void RunChild(const std::string& Self, const char* Mode, const std::string& Path) {
    std::string Command = "\"" + Self + "\" " + Mode + " \"" + Path + "\"";
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
    if (Argc == 3) {
        const std::string Mode = Argv[1], Path = Argv[2];
        const double Before = PeakMegabytes();
        const auto Start = std::chrono::steady_clock::now();
        const std::string Outcome = Mode == "tiled" ? ApplyTiledOnce(Path) : PreviewOnce(Path);
        const double Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
        const std::string Name = Path.substr(Path.rfind('\\') + 1);
        std::printf("%-7s %-36s %8.1f ms  peak %6.1f MB resident (%5.1f before)  %s\n", Mode.c_str(), Name.c_str(),
                    Ms, PeakMegabytes(), Before, Outcome.c_str());
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
        bool Tiled;  // also made into a tiled skin
    } Files[] = {
        {"scans-5000.jpg", RepeatedFirstScan(Small, 8000, 8000, 5000), false},
        {"scans-20000.jpg", RepeatedFirstScan(Small, 8000, 8000, 20000), false},
        {"arithmetic-16384x8000-99-scans.jpg", RepeatedFirstScan(Photo(64, 64, true, jsRgb, true), 16384, 8000, 99), true},
        {"arithmetic-8000x8000-99-scans.jpg", RepeatedFirstScan(Photo(64, 64, true, jsRgb, true), 8000, 8000, 99), true},
        {"huffman-8000x8000-99-scans.jpg", RepeatedFirstScan(Photo(64, 64, true), 8000, 8000, 99), true},
        {"huffman-444-8000x8000-99-scans.jpg", RepeatedFirstScan(Photo(64, 64, true, jsRgbFullColour), 8000, 8000, 99), true},
        {"rle-16384x8192.bmp", EmptyRle8Bmp(16384, 8192), false},
        {"rle-9450x9450.bmp", EmptyRle8Bmp(9450, 9450), true},
        {"rle-8000x8000.bmp", EmptyRle8Bmp(8000, 8000), true},
        {"baseline-claims-9440x9440.jpg", EndingAtOnce(Photo(64, 64, false), 9440, 9440), true},
        {"baseline-claims-8000x8000.jpg", EndingAtOnce(Photo(64, 64, false), 8000, 8000), true},
        {"progressive-claims-16384x8192.jpg", ClaimingSize(Photo(1600, 1200, true), 16384, 8192), false},
        {"photo-8000x8000.jpg", Photo(8000, 8000, false), true},
        {"photo-8000x8000-progressive.jpg", Photo(8000, 8000, true), true},
        {"photo-8000x8000-444-progressive.jpg", Photo(8000, 8000, true, jsRgbFullColour), true},
        {"photo-8000x8000.bmp", PhotoBitmap(8000, 8000, 24), true},
        {"photo-8000x8000-32-bit.bmp", PhotoBitmap(8000, 8000, 32), true},
    };
    char Self[MAX_PATH];
    GetModuleFileNameA(nullptr, Self, MAX_PATH);
    for (const auto& File : Files) {
        std::printf("%-34s %9zu bytes\n", File.Name, File.Data.size());
        WriteBytes(Folder + File.Name, File.Data);
    }
    std::fflush(stdout);
    for (int Round = 0; Round < 2; ++Round)
        for (const auto& File : Files) {
            RunChild(Self, "preview", Folder + File.Name);
            if (File.Tiled) RunChild(Self, "tiled", Folder + File.Name);
        }
    for (const auto& File : Files) DeleteFileA((Folder + File.Name).c_str());
    return 0;
}
