#include "TestPictures.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <windows.h>

extern "C" {
#include <jpeglib.h>
}

namespace {
void Put16(std::string& S, uint16_t V) {
    S += static_cast<char>(V & 0xFF);
    S += static_cast<char>(V >> 8);
}
void Put32(std::string& S, uint32_t V) {
    Put16(S, static_cast<uint16_t>(V & 0xFFFF));
    Put16(S, static_cast<uint16_t>(V >> 16));
}
// A JPEG marker segment: FF, its code, then its length (which counts itself) and Body.
std::string Segment(uint8_t Code, const std::string& Body) {
    const size_t Length = Body.size() + 2;
    return std::string{'\xFF', static_cast<char>(Code), static_cast<char>(Length >> 8), static_cast<char>(Length & 0xFF)} +
           Body;
}
uint32_t Get32(const std::string& S, size_t At) {
    uint32_t V = 0;
    for (int I = 3; I >= 0; --I) V = (V << 8) | static_cast<uint8_t>(S[At + I]);
    return V;
}
}  // namespace

void WriteBytes(const std::string& Path, const std::string& Bytes) {
    std::ofstream(Path, std::ios::binary) << Bytes;
}

std::string ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

std::string EncodeJpeg(int Width, int Height, TJpegSamples Samples,
                       const std::function<void(int Y, std::vector<unsigned char>& Row)>& RowAt, int Quality,
                       bool Progressive, bool Arithmetic) {
    jpeg_compress_struct Info;
    jpeg_error_mgr Errors;
    Info.err = jpeg_std_error(&Errors);
    jpeg_create_compress(&Info);
    unsigned char* Out = nullptr;
    unsigned long Bytes = 0;
    jpeg_mem_dest(&Info, &Out, &Bytes);
    Info.image_width = Width;
    Info.image_height = Height;
    Info.input_components = Samples == jsCmyk ? 4 : 3;
    Info.in_color_space = Samples == jsCmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&Info);
    jpeg_set_quality(&Info, Quality, TRUE);
    if (Samples == jsRgbFullColour)
        for (int C = 0; C < 3; ++C) Info.comp_info[C].h_samp_factor = Info.comp_info[C].v_samp_factor = 1;
    if (Progressive) jpeg_simple_progression(&Info);
    Info.arith_code = Arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&Info, TRUE);
    std::vector<unsigned char> Row(static_cast<size_t>(Width) * Info.input_components);
    while (Info.next_scanline < Info.image_height) {
        RowAt(static_cast<int>(Info.next_scanline), Row);
        JSAMPROW Rows[1] = {Row.data()};
        jpeg_write_scanlines(&Info, Rows, 1);
    }
    jpeg_finish_compress(&Info);
    std::string Jpeg(reinterpret_cast<char*>(Out), Bytes);
    jpeg_destroy_compress(&Info);
    free(Out);
    return Jpeg;
}

std::string DcOnlyJpeg(int Width, int Height, int Scans, bool FullColour) {
    std::string Frame = {8, static_cast<char>(Height >> 8), static_cast<char>(Height & 0xFF),
                         static_cast<char>(Width >> 8), static_cast<char>(Width & 0xFF), 3};
    // Y at twice the resolution of Cb and Cr, or all three at the same.
    Frame += std::string{1, static_cast<char>(FullColour ? 0x11 : 0x22), 0, 2, 0x11, 0, 3, 0x11, 0};
    // The one DC code: the bit 0, "no change from the block before": the first block's grey for all.
    std::string DcTable(1, '\0');
    DcTable += std::string{1} + std::string(15, '\0') + std::string(1, '\0');
    const std::string ScanHeader = Segment(0xDA, std::string{3, 1, 0, 2, 0, 3, 0, 0, 0, 0});
    const int McuSide = FullColour ? 8 : 16, McuBlocks = FullColour ? 3 : 6;
    const long long Mcus = ((Width + McuSide - 1LL) / McuSide) * ((Height + McuSide - 1LL) / McuSide);
    const std::string ScanData(static_cast<size_t>((Mcus * McuBlocks + 7) / 8), '\0');  // one bit a block
    std::string J = "\xFF\xD8" + Segment(0xDB, std::string(1, '\0') + std::string(64, '\1')) + Segment(0xC2, Frame) +
                    Segment(0xC4, DcTable);
    for (int I = 0; I < Scans; ++I) J += ScanHeader + ScanData;
    return J + "\xFF\xD9";
}

std::string ClaimingSize(std::string Jpeg, int Width, int Height) {
    // The frame, of whatever kind (baseline, progressive, arithmetic-coded): a marker C0 to CF other than
    // C4 (Huffman tables), C8 and CC (arithmetic conditioning).
    size_t Frame = 2;
    while (Frame + 9 < Jpeg.size()) {
        const uint8_t Marker = static_cast<uint8_t>(Jpeg[Frame + 1]);
        if (Marker >= 0xC0 && Marker <= 0xCF && Marker != 0xC4 && Marker != 0xC8 && Marker != 0xCC) break;
        Frame += 2 + ((static_cast<uint8_t>(Jpeg[Frame + 2]) << 8) | static_cast<uint8_t>(Jpeg[Frame + 3]));
    }
    Jpeg[Frame + 5] = static_cast<char>(Height >> 8);
    Jpeg[Frame + 6] = static_cast<char>(Height & 0xFF);
    Jpeg[Frame + 7] = static_cast<char>(Width >> 8);
    Jpeg[Frame + 8] = static_cast<char>(Width & 0xFF);
    return Jpeg;
}

std::string RepeatedFirstScan(const std::string& Jpeg, int Width, int Height, int Scans) {
    const size_t Scan = Jpeg.find("\xFF\xDA");
    std::string File = ClaimingSize(Jpeg.substr(0, Scan), Width, Height);
    const size_t Length = (static_cast<uint8_t>(Jpeg[Scan + 2]) << 8) | static_cast<uint8_t>(Jpeg[Scan + 3]);
    const std::string ScanHeader = Jpeg.substr(Scan, 2 + Length);
    for (int I = 0; I < Scans; ++I) File += ScanHeader + std::string(1, '\0');
    return File + "\xFF\xD9";
}

std::string EmptyRle8Bmp(int Width, int Height) {
    const uint32_t Offset = 14 + 40 + 256 * 4;
    std::string S = "BM";
    Put32(S, Offset + 2);
    Put32(S, 0);
    Put32(S, Offset);
    Put32(S, 40);
    Put32(S, Width);
    Put32(S, Height);
    Put16(S, 1);
    Put16(S, 8);
    Put32(S, 1);  // BI_RLE8
    Put32(S, 2);
    for (int I = 0; I < 4; ++I) Put32(S, 0);
    for (int I = 0; I < 256; ++I) Put32(S, I * 0x010101u);  // greys
    return S + std::string("\0\1", 2);  // end of bitmap
}

std::string FilledEmf(int Width, int Height, uint32_t Color) {
    RECT Frame{0, 0, Width * 2540 / 96, Height * 2540 / 96};  // in hundredths of a millimetre
    HDC Recorder = CreateEnhMetaFileA(nullptr, nullptr, &Frame, nullptr);
    HBRUSH Brush = CreateSolidBrush(Color);
    RECT All{0, 0, Width, Height};
    FillRect(Recorder, &All, Brush);
    HENHMETAFILE Enhanced = CloseEnhMetaFile(Recorder);
    std::string Emf(GetEnhMetaFileBits(Enhanced, 0, nullptr), '\0');
    GetEnhMetaFileBits(Enhanced, static_cast<UINT>(Emf.size()), reinterpret_cast<BYTE*>(&Emf[0]));
    DeleteEnhMetaFile(Enhanced);
    DeleteObject(Brush);
    return Emf;
}

std::string FilledWmf(int Width, int Height, uint32_t Color, bool Placeable) {
    HDC Recorder = CreateMetaFileA(nullptr);
    SetWindowOrgEx(Recorder, 0, 0, nullptr);
    SetWindowExtEx(Recorder, Width, Height, nullptr);
    HBRUSH Brush = CreateSolidBrush(Color);
    SelectObject(Recorder, Brush);
    SelectObject(Recorder, GetStockObject(NULL_PEN));
    Rectangle(Recorder, 0, 0, Width + 1, Height + 1);
    HMETAFILE Windows = CloseMetaFile(Recorder);
    std::string Wmf(GetMetaFileBitsEx(Windows, 0, nullptr), '\0');
    GetMetaFileBitsEx(Windows, static_cast<UINT>(Wmf.size()), &Wmf[0]);
    DeleteMetaFile(Windows);
    DeleteObject(Brush);
    if (!Placeable) return Wmf;
    // Key, handle, bounds, units an inch, reserved, checksum.
    std::string Header;
    Put32(Header, 0x9AC6CDD7);
    for (unsigned V : {0u, 0u, 0u, Width * 10u, Height * 10u, 1000u, 0u, 0u, 0u}) Put16(Header, static_cast<uint16_t>(V));
    return Header + Wmf;
}

void WriteBmp24(const std::string& Path, int Width, int Height, const std::function<TRgb(int X, int Y)>& Pixel) {
    const uint32_t Row = (Width * 3 + 3) & ~3u;
    std::string S = "BM";
    Put32(S, 54 + Row * Height);
    Put32(S, 0);
    Put32(S, 54);
    Put32(S, 40);
    Put32(S, Width);
    Put32(S, Height);
    Put16(S, 1);
    Put16(S, 24);
    for (int I = 0; I < 6; ++I) Put32(S, 0);
    for (int Y = Height - 1; Y >= 0; --Y) {
        std::string Line;
        for (int X = 0; X < Width; ++X) {
            const TRgb C = Pixel(X, Y);
            Line += static_cast<char>(C.B);
            Line += static_cast<char>(C.G);
            Line += static_cast<char>(C.R);
        }
        Line.resize(Row, '\0');
        S += Line;
    }
    WriteBytes(Path, S);
}

TBmpFile ReadBmp(const std::string& Path, bool Pixels) {
    std::ifstream In(Path, std::ios::binary);
    std::string S;
    if (Pixels) {
        S.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
    } else {
        S.resize(54);
        In.read(&S[0], 54);
        S.resize(static_cast<size_t>(In.gcount()));
    }
    TBmpFile File;
    if (S.size() < 54 || S.compare(0, 2, "BM") != 0) return File;
    File.Width = static_cast<int>(Get32(S, 18));
    const int RawHeight = static_cast<int>(Get32(S, 22));
    File.Height = RawHeight < 0 ? -RawHeight : RawHeight;
    File.BitCount = static_cast<uint8_t>(S[28]) | (static_cast<uint8_t>(S[29]) << 8);
    if (File.BitCount != 24 || Get32(S, 30) != 0) {
        File.Valid = true;
        return File;
    }
    const size_t Offset = Get32(S, 10), Row = (File.Width * 3 + 3) & ~3u;
    if (!Pixels) {
        In.seekg(0, std::ios::end);
        File.Valid = static_cast<size_t>(In.tellg()) >= Offset + Row * File.Height;
        return File;
    }
    if (Offset + Row * File.Height > S.size()) return File;
    File.Pixels.resize(static_cast<size_t>(File.Width) * File.Height);
    for (int Y = 0; Y < File.Height; ++Y) {
        const size_t Line = Offset + Row * (RawHeight < 0 ? Y : File.Height - 1 - Y);
        for (int X = 0; X < File.Width; ++X) {
            const size_t P = Line + X * 3;
            File.Pixels[static_cast<size_t>(Y) * File.Width + X] =
                TRgb{static_cast<uint8_t>(S[P + 2]), static_cast<uint8_t>(S[P + 1]), static_cast<uint8_t>(S[P])};
        }
    }
    File.Valid = true;
    return File;
}
