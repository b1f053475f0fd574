#include <gtest/gtest.h>

#include "BmpFormat.h"
#include "Sysutils.h"

TEST(Sysutils, TrimCutsCodesUpTo32) {
    EXPECT_EQ("a b", Trim(" \t\r\n a b \x01\x1f "));
    EXPECT_EQ("", Trim(" \t "));
    EXPECT_EQ("\xe9t\xe9", Trim(" \xe9t\xe9 "));  // characters above 127 stay
}

// The parsers' own lower case, built without Windows, agrees with Windows' for every byte.
TEST(Sysutils, LowerCase1252IsWindowsLowerCase) {
    for (int Code = 1; Code < 256; ++Code) {
        const std::string C(1, static_cast<char>(Code));
        EXPECT_EQ(AnsiLowerCase(C), LowerCase1252(C)) << "code " << Code;
    }
}

TEST(Sysutils, StrToIntAcceptsNumbersAndRejectsTheRest) {
    EXPECT_EQ(116, StrToInt("116"));
    EXPECT_EQ(-5, StrToInt(" -5 "));
    EXPECT_EQ(255, StrToInt("$ff"));
    EXPECT_EQ(2147483647, StrToInt("2147483647"));
    EXPECT_EQ(-2147483647 - 1, StrToInt("-2147483648"));
    for (const char* Bad : {"", " ", "12a", "2147483648", "-", "1 2", "0x10"}) {
        try {
            StrToInt(Bad);
            ADD_FAILURE() << "accepted '" << Bad << "'";
        } catch (const EConvertError& E) {
            EXPECT_EQ(std::string("'") + Bad + "' is not a valid integer value", E.Message);
        }
    }
}

TEST(Sysutils, PathPieces) {
    EXPECT_EQ("C:\\a\\", ExtractFilePath("C:\\a\\b.jpg"));
    EXPECT_EQ("b.jpg", ExtractFileName("C:\\a\\b.jpg"));
    EXPECT_EQ(".jpg", ExtractFileExt("C:\\a\\b.x.jpg"));
    EXPECT_EQ("", ExtractFileExt("C:\\a.b\\c"));
    EXPECT_EQ("", ExtractFilePath("b.jpg"));
}

namespace {
// A bitmap file of the given geometry; the pixel area holds PixelBytes bytes.
std::string BmpFile(int Width, int Height, int Bits, size_t PixelBytes, unsigned Compression = 0) {
    std::string D(54, '\0');
    auto Put32 = [&D](size_t At, uint32_t V) {
        for (int I = 0; I < 4; ++I) D[At + I] = static_cast<char>(V >> (8 * I));
    };
    auto Put16 = [&D](size_t At, uint16_t V) {
        D[At] = static_cast<char>(V);
        D[At + 1] = static_cast<char>(V >> 8);
    };
    const size_t Palette = Bits <= 8 ? (size_t{4} << Bits) : 0;
    D[0] = 'B';
    D[1] = 'M';
    Put32(10, static_cast<uint32_t>(54 + Palette));
    Put32(14, 40);
    Put32(18, static_cast<uint32_t>(Width));
    Put32(22, static_cast<uint32_t>(Height));
    Put16(26, 1);
    Put16(28, static_cast<uint16_t>(Bits));
    Put32(30, Compression);
    D += std::string(Palette + PixelBytes, '\x7f');
    return D;
}

// A 2 x 2 16-bit bitmap with colour masks and an info header of HeaderSize bytes: a 40-byte header
// is followed by the masks, a longer one holds them.
std::string MaskedBmp(uint32_t HeaderSize) {
    std::string D = BmpFile(2, 2, 16, 0, 3).substr(0, 14 + 40);
    D += std::string(HeaderSize - 40, '\0');
    const char Masks[] = "\x00\xf8\0\0\xe0\x07\0\0\x1f\0\0\0";  // 5-6-5
    if (HeaderSize == 40) D.append(Masks, 12);
    else D.replace(54, 12, Masks, 12);
    for (int I = 0; I < 4; ++I) {
        D[14 + I] = static_cast<char>(HeaderSize >> (8 * I));
        D[10 + I] = static_cast<char>(D.size() >> (8 * I));
    }
    return D + std::string(8, '\x7f');
}
}  // namespace

TEST(BmpFormat, AcceptsWholeFilesAndRejectsDamagedOnes) {
    TBmpLayout L;
    std::string Error;
    ASSERT_TRUE(ParseBmpLayout(BmpFile(3, 2, 24, 2 * 12), L, Error)) << Error;
    EXPECT_EQ(3, L.Width);
    EXPECT_EQ(2, L.Height);
    EXPECT_FALSE(L.TopDown);
    EXPECT_TRUE(ParseBmpLayout(BmpFile(3, -2, 24, 2 * 12), L, Error) && L.TopDown && L.Height == 2);
    EXPECT_TRUE(ParseBmpLayout(BmpFile(5, 5, 8, 5 * 8), L, Error));
    // The colour table holds biClrUsed entries; none, or more than the bits can index, means all 256.
    for (const auto& Used : {std::pair<uint16_t, size_t>{0, 256}, {16, 16}, {256, 256}, {1000, 256}}) {
        std::string D = BmpFile(5, 5, 8, 5 * 8);
        D[46] = static_cast<char>(Used.first);
        D[47] = static_cast<char>(Used.first >> 8);
        EXPECT_TRUE(ParseBmpLayout(D, L, Error)) << Used.first << ": " << Error;
        EXPECT_EQ(40 + 4 * Used.second, L.InfoBytes) << Used.first;
    }

    const struct {
        const char* What;
        std::string Data;
    } Bad[] = {
        {"empty", ""},
        {"not a bitmap", "GIF89a" + std::string(60, '\0')},
        {"last row cut off", BmpFile(3, 2, 24, 2 * 12 - 1)},
        {"zero width", BmpFile(0, 2, 24, 64)},
        {"odd bit count", BmpFile(3, 2, 7, 64)},
        {"unknown compression", BmpFile(3, 2, 24, 64, 9)},
        {"palette runs past the end", BmpFile(2, 2, 8, 0).substr(0, 300)},
        {"header only", BmpFile(3, 2, 24, 0).substr(0, 30)},
    };
    for (const auto& Case : Bad) EXPECT_FALSE(ParseBmpLayout(Case.Data, L, Error)) << Case.What;
    // Only the header sizes Windows defines; between them, Windows would read the masks from beyond
    // the header it was handed.
    for (const auto& Header : {std::pair<uint32_t, bool>{40, true}, {41, false}, {44, false}, {51, false}, {52, true},
                               {56, true}, {64, false}, {108, true}, {124, true}, {125, false}}) {
        EXPECT_EQ(Header.second, ParseBmpLayout(MaskedBmp(Header.first), L, Error)) << Header.first << ": " << Error;
        if (Header.second) {
            EXPECT_EQ(Header.first == 40 ? 52u : Header.first, L.InfoBytes) << Header.first;
        }
    }
    // Sizes past the picture budget are refused before anything is allocated, at any depth.
    for (const auto& Huge : {BmpFile(100000, 10, 24, 64), BmpFile(16384, 16384, 1, 64), BmpFile(8000, 8001, 32, 64)}) {
        EXPECT_FALSE(ParseBmpLayout(Huge, L, Error));
        EXPECT_EQ("Bitmap image is too large", Error);
    }
}

// RLE data is expanded here rather than by GDI, straight into the rows it is given: runs (of two
// alternating indices in RLE4), literal runs padded to words, moves, row and picture ends; whatever
// runs past a row, the top or the data's end is cut off, and an index past the colour table is black.
// Rows are written from the top: '.' untouched, a digit an index of the table, 'k' black.
TEST(BmpFormat, RleDataFillsOnlyThePixelsItNames) {
    const struct {
        const char* Case;
        int Bits;
        std::string Data;  // rows from the bottom, as files hold them
        std::vector<std::string> Rows;
    } Cases[] = {
        {"runs and row ends", 8, std::string("\2\1\2\2\0\0\4\3\0\0\1\1\0\1", 14), {"1...", "3333", "1122"}},
        {"a literal run padded to a word", 8, std::string("\0\3\1\2\3\0\1\1\0\1", 10), {"....", "....", "1231"}},
        {"a move right and up", 8, std::string("\1\1\0\2\2\1\1\2\0\1", 10), {"....", "...2", "1..."}},
        {"past the row's end and the top", 8, std::string("\6\1\0\0\0\0\0\0\5\2", 10), {"....", "....", "1111"}},
        {"data cut off in a literal run", 8, std::string("\0\5\1\2", 4), {"....", "....", "...."}},
        {"no end at all", 8, std::string("\2\1", 2), {"....", "....", "11.."}},
        {"an index past the colour table", 8, std::string("\1\7\0\1", 4), {"....", "....", "k..."}},
        {"four bits", 4, std::string("\5\x12\0\0\0\3\x31\x20\0\1", 10), {"....", "312.", "1212"}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        constexpr int Width = 4, Height = 3;
        std::string D = BmpFile(Width, Height, Case.Bits, 0, Case.Bits == 8 ? 1 : 2);
        D[46] = 4;  // four colours used
        for (char I = 0; I < 4; ++I) D.replace(54 + 4 * I, 3, {I, static_cast<char>(0x40 + I), static_cast<char>(0x80 + I)});
        D += Case.Data;
        TBmpLayout L;
        std::string Error;
        ASSERT_TRUE(ParseBmpLayout(D, L, Error)) << Error;
        std::vector<std::string> Pixels(Height, std::string(Width * 3, '\xEE'));
        ExpandRleBitmap(D, L, 3, [&](int Y) { return reinterpret_cast<unsigned char*>(&Pixels.at(Y)[0]); });
        for (int Y = 0; Y < Height; ++Y) {
            std::string Seen;
            for (int X = 0; X < Width; ++X) {
                const unsigned B = static_cast<unsigned char>(Pixels[Y][X * 3]), G = static_cast<unsigned char>(Pixels[Y][X * 3 + 1]),
                               R = static_cast<unsigned char>(Pixels[Y][X * 3 + 2]);
                Seen += B == 0xEE && G == 0xEE && R == 0xEE ? '.'
                        : B + G + R == 0                    ? 'k'
                        : B < 4 && G == 0x40 + B && R == 0x80 + B ? static_cast<char>('0' + B)
                                                                   : '?';
            }
            EXPECT_EQ(Case.Rows[Y], Seen) << "row " << Y;
        }
    }
}
