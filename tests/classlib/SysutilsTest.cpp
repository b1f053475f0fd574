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
    // Sizes that would not fit in memory are refused before anything is allocated.
    for (const auto& Huge : {BmpFile(100000, 10, 24, 64), BmpFile(16384, 16384, 1, 64)}) {
        EXPECT_FALSE(ParseBmpLayout(Huge, L, Error));
        EXPECT_EQ("Bitmap image is too large", Error);
    }
}
