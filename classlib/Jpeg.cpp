// JPEG decoding through libjpeg into the picture's 24-bit bitmap.
#include <csetjmp>
#include <cstdio>

#include "Graphics.h"

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {
struct TJpegErrorManager {
    jpeg_error_mgr Public;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

// libjpeg may not return after a fatal error: jump back to the decoder, which raises an exception.
void JpegErrorExit(j_common_ptr Info) {
    auto* Manager = reinterpret_cast<TJpegErrorManager*>(Info->err);
    Manager->Public.format_message(Info, Manager->Message);
    longjmp(Manager->Jump, 1);
}

// Nothing is printed. A file that ends early is an error, not a grey lower half.
void JpegEmitMessage(j_common_ptr Info, int Level) {
    if (Level < 0 && Info->err->msg_code == JWRN_JPEG_EOF) JpegErrorExit(Info);
    if (Level < 0) Info->err->num_warnings++;
}

struct TDecompressGuard {
    jpeg_decompress_struct* Info;
    ~TDecompressGuard() { jpeg_destroy_decompress(Info); }
};

// Adobe's CMYK JPEGs store inverted values.
void CmykRowToBgr(const unsigned char* Cmyk, unsigned char* Bgr, unsigned Width, bool Inverted) {
    for (unsigned X = 0; X < Width; ++X, Cmyk += 4, Bgr += 3) {
        unsigned C = Cmyk[0], M = Cmyk[1], Y = Cmyk[2], K = Cmyk[3];
        if (!Inverted) {
            C = 255 - C;
            M = 255 - M;
            Y = 255 - Y;
            K = 255 - K;
        }
        Bgr[0] = static_cast<unsigned char>(Y * K / 255);
        Bgr[1] = static_cast<unsigned char>(M * K / 255);
        Bgr[2] = static_cast<unsigned char>(C * K / 255);
    }
}
}  // namespace

void TJPEGImage::LoadFromBytes(const std::string& Data) {
    jpeg_decompress_struct Info;
    TJpegErrorManager Errors;
    Info.err = jpeg_std_error(&Errors.Public);
    Errors.Public.error_exit = JpegErrorExit;
    Errors.Public.emit_message = JpegEmitMessage;
    Errors.Message[0] = 0;
    jpeg_create_decompress(&Info);
    TDecompressGuard Guard{&Info};
    // Every object with a destructor exists before this point, so a jump back skips none.
    if (setjmp(Errors.Jump)) throw EInvalidGraphic(std::string("JPEG error: ") + Errors.Message);

    jpeg_mem_src(&Info, reinterpret_cast<const unsigned char*>(Data.data()), static_cast<unsigned long>(Data.size()));
    jpeg_read_header(&Info, TRUE);
    const bool Cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
    Info.out_color_space = Cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_calc_output_dimensions(&Info);
    FBitmap.SetPixelFormat(pf24bit);
    FBitmap.SetSize(static_cast<int>(Info.output_width), static_cast<int>(Info.output_height));
    jpeg_start_decompress(&Info);
    JSAMPARRAY CmykRow = nullptr;
    if (Cmyk)  // freed with the decompressor
        CmykRow = (*Info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&Info), JPOOL_IMAGE, Info.output_width * 4, 1);
    while (Info.output_scanline < Info.output_height) {
        unsigned char* Row = FBitmap.ScanLine(static_cast<int>(Info.output_scanline));
        if (Cmyk) {
            jpeg_read_scanlines(&Info, CmykRow, 1);
            CmykRowToBgr(CmykRow[0], Row, Info.output_width, Info.saw_Adobe_marker);
        } else {
            jpeg_read_scanlines(&Info, &Row, 1);
        }
    }
    jpeg_finish_decompress(&Info);
    FBitmap.Transparent = Transparent;
}
