// Times turning a large photo into a skin against plain decodes of the same file: at full size,
// and at 1/8 scale, the least work any decode of it does.
// Not a test: it prints its times. Run it under Wine: cmake --build BUILD --target bench
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Forms.h"
#include "Globalfunctions.h"
#include "TestPictures.h"

extern "C" {
#include <jpeglib.h>
}

namespace {
constexpr int kPhotoWidth = 4000, kPhotoHeight = 3000, kQuality = 90;
constexpr int kSkinHeight = 116;
constexpr int kRuns = 15;

// A photo-like picture: soft gradients, a few large shapes, fine texture and noise, so that it
// compresses like a photograph rather than like a flat drawing.
std::string MakePhotoJpeg() {
    unsigned Seed = 12345;
    return EncodeJpeg(kPhotoWidth, kPhotoHeight, jsRgb, [&](int Y, std::vector<unsigned char>& Row) {
        for (int X = 0; X < kPhotoWidth; ++X) {
            Seed = Seed * 1103515245u + 12345u;
            const int Noise = static_cast<int>((Seed >> 16) % 41) - 20;
            const double Texture = 18 * std::sin(X * 0.21 + std::sin(Y * 0.05) * 3) * std::cos(Y * 0.17 + X * 0.013);
            const double Dx = X - 2600.0, Dy = Y - 1100.0;
            const double Sun = std::max(0.0, 90 - std::sqrt(Dx * Dx + Dy * Dy) / 12);
            const int Base[3] = {60 + Y * 120 / kPhotoHeight, 90 + X * 80 / kPhotoWidth, 170 - Y * 100 / kPhotoHeight};
            for (int C = 0; C < 3; ++C) {
                const int V = static_cast<int>(Base[C] + Texture + Sun * (C == 2 ? 0.3 : 1.0)) + Noise;
                Row[X * 3 + C] = static_cast<unsigned char>(std::clamp(V, 0, 255));
            }
        }
    }, kQuality);  // colours as 4:2:0 YCbCr
}

void WriteWholeFile(const std::string& Path, const std::string& Data) {
    FILE* F = std::fopen(Path.c_str(), "wb");
    if (!F || std::fwrite(Data.data(), 1, Data.size(), F) != Data.size()) {
        std::fprintf(stderr, "cannot write %s\n", Path.c_str());
        std::exit(1);
    }
    std::fclose(F);
}

// What a program does without any of our class library: read the file, decode all of it with
// libjpeg's defaults, at Eighths/8 of its size. At 1/8 every coefficient is still read, but only
// its DC term is used: no conversion of a baseline JPEG can do less.
void PlainDecode(const std::string& Path, int Eighths) {
    FILE* F = std::fopen(Path.c_str(), "rb");
    std::fseek(F, 0, SEEK_END);
    std::string Data(static_cast<size_t>(std::ftell(F)), '\0');
    std::fseek(F, 0, SEEK_SET);
    const size_t Read = std::fread(&Data[0], 1, Data.size(), F);
    std::fclose(F);
    jpeg_decompress_struct Info;
    jpeg_error_mgr Errors;
    Info.err = jpeg_std_error(&Errors);
    jpeg_create_decompress(&Info);
    jpeg_mem_src(&Info, reinterpret_cast<const unsigned char*>(Data.data()), static_cast<unsigned long>(Read));
    jpeg_read_header(&Info, TRUE);
    Info.scale_num = static_cast<unsigned>(Eighths);
    Info.scale_denom = 8;
    jpeg_start_decompress(&Info);
    const size_t Stride = static_cast<size_t>(Info.output_width) * Info.output_components;
    std::vector<unsigned char> Pixels(Stride * Info.output_height);
    while (Info.output_scanline < Info.output_height) {
        JSAMPROW Rows[1] = {Pixels.data() + Stride * Info.output_scanline};
        jpeg_read_scanlines(&Info, Rows, 1);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
}
}  // namespace

int main() {
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    const std::string JpegPath = std::string(Temp) + "convert_bench_photo.jpg";
    const std::string SkinPath = std::string(Temp) + "convert_bench.skin";
    // A failed conversion would wait for a person to close its message box.
    std::string Failure;
    Application->MessageBoxResponder = [&Failure](const TMessageBoxRequest& Request) {
        Failure = Request.Text;
        return IDOK;
    };

    const std::string Jpeg = MakePhotoJpeg();
    WriteWholeFile(JpegPath, Jpeg);
    PrintHowCodeRuns();
    std::printf("photo: %d x %d, %zu bytes; skin: %d x %d\n", kPhotoWidth, kPhotoHeight, Jpeg.size(),
                Screen->Width() - 4, kSkinHeight);

    // Alternated round by round, so that the machine's slower and faster moments fall on all three.
    const auto Convert = [&] {
        if (!ConvertPictureToSkin(nullptr, JpegPath, SkinPath, true, kSkinHeight)) {
            std::fprintf(stderr, "conversion failed: %s\n", Failure.c_str());
            std::exit(1);
        }
    };
    std::vector<double> Decodes, Floors, Converts;
    for (int Round = 0; Round < kRuns; ++Round) {
        Decodes.push_back(TimeMs([&] { PlainDecode(JpegPath, 8); }, 1));
        Floors.push_back(TimeMs([&] { PlainDecode(JpegPath, 1); }, 1));
        Converts.push_back(TimeMs(Convert, 1));
    }
    const double Decode = MedianOf(Decodes), Floor = MedianOf(Floors), Conversion = MedianOf(Converts);
    std::printf("full decode:      %8.1f ms (median of %d)\n", Decode, kRuns);
    std::printf("1/8-scale decode: %8.1f ms\n", Floor);
    std::printf("skin conversion:  %8.1f ms\n", Conversion);
    std::printf("against the full decode:      %5.2f\n", Conversion / Decode);
    std::printf("against the 1/8-scale decode: %5.2f (goal: at most 1.10)\n", Conversion / Floor);
    DeleteFileA(JpegPath.c_str());
    DeleteFileA(SkinPath.c_str());
    return 0;
}
