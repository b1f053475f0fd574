// JPEG through libjpeg: the header when loaded, the pixels (at a reduced scale where that is enough)
// into a 24-bit bitmap when first drawn.
#include <csetjmp>
#include <cstdio>
#include <new>

#include "Graphics.h"
#include "PictureBudget.h"

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {
struct TJpegErrorManager {
    jpeg_error_mgr Public;
    jmp_buf Jump;
};

// libjpeg may not return after a fatal error: jump back to the decoder, which raises an exception.
void JpegErrorExit(j_common_ptr Info) {
    longjmp(reinterpret_cast<TJpegErrorManager*>(Info->err)->Jump, 1);
}

// Nothing is printed. A file that ends early is an error, not a grey lower half.
void JpegEmitMessage(j_common_ptr Info, int Level) {
    if (Level < 0 && Info->err->msg_code == JWRN_JPEG_EOF) JpegErrorExit(Info);
    if (Level < 0) Info->err->num_warnings++;
}

// The coefficients that a file of several scans keeps for the whole picture, even for a reduced
// decode: 128 bytes for each 8 x 8 block of each component. Room for every picture of the budget
// with three components at full resolution (384 MB at 8000 x 8000), its blocks padded at the edges.
constexpr long long kMaxCoefficientBytes = kMaxPicturePixels * 3 * 2 + 16 * 1024 * 1024;

struct TJpegProgress {
    jpeg_progress_mgr Public{};
    int Scan = 0;          // the last scan counted
    long long Blocks = 0;  // the blocks of the scans counted so far
};

void Refuse(j_common_ptr Info, int Code) {
    Info->err->msg_code = Code;
    JpegErrorExit(Info);
}

// The blocks that one pass over a component walks, padded as the decoder pads them.
long long BlocksOf(const jpeg_component_info& Component) {
    const long long Wide = (Component.width_in_blocks + Component.h_samp_factor - 1) / Component.h_samp_factor,
                    High = (Component.height_in_blocks + Component.v_samp_factor - 1) / Component.v_samp_factor;
    return Wide * Component.h_samp_factor * High * Component.v_samp_factor;
}

// Counts a scan's work when it begins, before any of it is done. Called by libjpeg as it reads the
// file, before each row of blocks.
void JpegCountWork(j_common_ptr Common) {
    auto* Info = reinterpret_cast<j_decompress_ptr>(Common);
    auto* Progress = reinterpret_cast<TJpegProgress*>(Common->progress);
    if (Info->input_scan_number == Progress->Scan) return;
    Progress->Scan = Info->input_scan_number;
    for (int C = 0; C < Info->comps_in_scan; ++C) Progress->Blocks += BlocksOf(*Info->cur_comp_info[C]);
    if (Progress->Scan > TJPEGImage::kMaxScans || Progress->Blocks > TJPEGImage::kMaxBlocks)
        Refuse(Common, JERR_BAD_PROGRESSION);
}

// A decompressor over the bytes of a file. The caller calls setjmp on Errors.Jump before Open, and
// raises ErrorText() when it returns there.
struct TJpegReader {
    jpeg_decompress_struct Info{};
    TJpegErrorManager Errors;
    TJpegProgress Progress;
    TJpegReader() {
        Info.err = jpeg_std_error(&Errors.Public);
        Errors.Public.error_exit = JpegErrorExit;
        Errors.Public.emit_message = JpegEmitMessage;
        Progress.Public.progress_monitor = JpegCountWork;
    }
    ~TJpegReader() { jpeg_destroy_decompress(&Info); }
    // Reads the header and the first scan's: arithmetic coding is refused as damage (web browsers do
    // not decode it either, and its decoder walks empty scans at great cost).
    void Open(const std::string& Data) {
        jpeg_create_decompress(&Info);
        Info.progress = &Progress.Public;
        // Past the budget libjpeg fails (it has no disk to spill to) instead of taking more.
        Info.mem->max_memory_to_use = static_cast<long>(kMaxCoefficientBytes + 32 * 1024 * 1024);
        jpeg_mem_src(&Info, reinterpret_cast<const unsigned char*>(Data.data()), static_cast<unsigned long>(Data.size()));
        jpeg_read_header(&Info, TRUE);
        if (Info.arith_code) Refuse(reinterpret_cast<j_common_ptr>(&Info), JERR_ARITH_NOTIMPL);
    }
    // The coefficients the decoder keeps for the whole picture: only a file of several scans needs them.
    long long CoefficientBytes() const {
        if (!Info.progressive_mode && Info.comps_in_scan == Info.num_components) return 0;
        long long Blocks = 0;
        for (int C = 0; C < Info.num_components; ++C) Blocks += BlocksOf(Info.comp_info[C]);
        return Blocks * 128;
    }
    // Running out of memory is not damage.
    std::string ErrorText() const {
        const int Code = Errors.Public.msg_code;
        if (Code == JERR_OUT_OF_MEMORY || Code == JERR_NO_BACKING_STORE) return "Out of memory";
        return "JPEG error #" + std::to_string(Code);
    }
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

// The side libjpeg makes of Side at Eighths/8, rounded up as it does.
long long ScaledSide(int Side, int Eighths) { return (static_cast<long long>(Side) * Eighths + 7) / 8; }
}  // namespace

void TJPEGImage::LoadFromBytes(std::string Data) {
    auto NewData = std::make_shared<const std::string>(std::move(Data));
    TJpegReader Reader;
    if (setjmp(Reader.Errors.Jump)) throw EInvalidGraphic(Reader.ErrorText());
    Reader.Open(*NewData);
    const long long W = Reader.Info.image_width, H = Reader.Info.image_height;
    // Checked before any pixel memory is asked for: a header may claim up to 65500 x 65500.
    if (!FitsPictureBudget(W, H) || Reader.CoefficientBytes() > kMaxCoefficientBytes)
        throw EInvalidGraphic("JPEG image is too large");
    FData = std::move(NewData);
    FWidth = static_cast<int>(W);
    FHeight = static_cast<int>(H);
    FBitmap.SetSize(0, 0);
    FDecodedEighths = 0;
    FDecodeError.clear();
}

void TJPEGImage::Decode(int Eighths) {
    FBitmap.SetSize(0, 0);  // the old pixels go first: they need not be copied into the new size
    FDecodedEighths = 0;
    DecodeInto(FBitmap, Eighths, 0);
    FDecodedEighths = Eighths;
}

// Decodes at Eighths/8 of the size into Target: every row when Rows is 0, else Rows rows evenly
// spread over the picture's height, the one nearest each row's centre. The rows between them are
// skipped: their data is read but never turned into pixels.
void TJPEGImage::DecodeInto(TBitmap& Target, int Eighths, int Rows) {
    if (!FDecodeError.empty()) throw EInvalidGraphic(FDecodeError);
    try {
        TJpegReader Reader;
        if (setjmp(Reader.Errors.Jump)) {
            FDecodeError = Reader.ErrorText();
            throw EInvalidGraphic(FDecodeError);
        }
        Reader.Open(*FData);
        jpeg_decompress_struct& Info = Reader.Info;
        const bool Cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
        Info.out_color_space = Cmyk ? JCS_CMYK : JCS_EXT_BGR;
        Info.scale_num = static_cast<unsigned>(Eighths);
        Info.scale_denom = 8;
        // A reduced decode is only ever drawn smaller still: smoothing the colour planes as they are
        // enlarged would not show, and costs a quarter of the time.
        Info.do_fancy_upsampling = Eighths == 8 ? TRUE : FALSE;
        jpeg_calc_output_dimensions(&Info);
        const unsigned Height = Info.output_height;
        const unsigned Count = Rows > 0 ? static_cast<unsigned>(Rows) : Height;
        Target.SetPixelFormat(pf24bit);
        Target.SetSize(static_cast<int>(Info.output_width), static_cast<int>(Count));
        jpeg_start_decompress(&Info);
        JSAMPARRAY CmykRow = nullptr;
        if (Cmyk)  // freed with the decompressor
            CmykRow = (*Info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&Info), JPOOL_IMAGE,
                                                Info.output_width * 4, 1);
        for (unsigned Y = 0; Y < Count; ++Y) {
            const unsigned Wanted = Rows > 0 ? static_cast<unsigned>((2ull * Y + 1) * Height / (2ull * Count)) : Y;
            if (Wanted > Info.output_scanline) jpeg_skip_scanlines(&Info, Wanted - Info.output_scanline);
            unsigned char* Row = Target.ScanLine(static_cast<int>(Y));
            if (Cmyk) {
                jpeg_read_scanlines(&Info, CmykRow, 1);
                CmykRowToBgr(CmykRow[0], Row, Info.output_width, Info.saw_Adobe_marker);
            } else {
                jpeg_read_scanlines(&Info, &Row, 1);
            }
        }
        // The rest is read too: a file that ends early fails here as it would in a full decode.
        if (Info.output_scanline < Height) jpeg_skip_scanlines(&Info, Height - Info.output_scanline);
        jpeg_finish_decompress(&Info);
    } catch (const EInvalidGraphic&) {
        Target.SetSize(0, 0);
        throw;
    } catch (const std::bad_alloc&) {
        Target.SetSize(0, 0);
        throw EInvalidGraphic("Out of memory");
    }
}

TBitmap& TJPEGImage::Bitmap() {
    if (FData && FDecodedEighths < 8) Decode(8);
    FBitmap.Transparent = Transparent;
    return FBitmap;
}

void TJPEGImage::Draw(TCanvas* Canvas, const TRect& R) {
    if (!FData) return;
    const int Eighths = EighthsFor(R.Width(), R.Height());
    if (FDecodedEighths < Eighths) Decode(Eighths);
    FBitmap.Transparent = Transparent;
    FBitmap.Draw(Canvas, R);
}

void TJPEGImage::DrawOnce(TCanvas* Canvas, const TRect& R) {
    if (!FData) return;
    const int Eighths = EighthsFor(R.Width(), R.Height());
    // A stretch to half the height or less keeps one row in two or fewer: only those are decoded.
    if (FDecodedEighths >= Eighths || R.Width() <= 0 || R.Height() <= 0 || R.Height() * 2 > ScaledSide(FHeight, Eighths))
        return Draw(Canvas, R);
    TBitmap Rows;
    DecodeInto(Rows, Eighths, R.Height());
    Rows.Transparent = Transparent;
    Rows.Draw(Canvas, R);
}

// The smallest scale whose decode is at least Width x Height (sides may be negative: mirrored).
int TJPEGImage::EighthsFor(int Width, int Height) const {
    const int TargetW = Width < 0 ? -Width : Width, TargetH = Height < 0 ? -Height : Height;
    int Eighths = 1;
    while (Eighths < 8 && (ScaledSide(FWidth, Eighths) < TargetW || ScaledSide(FHeight, Eighths) < TargetH)) ++Eighths;
    return Eighths;
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const {
    auto Copy = std::make_unique<TJPEGImage>();
    Copy->FData = FData;
    Copy->FWidth = FWidth;
    Copy->FHeight = FHeight;
    Copy->FDecodeError = FDecodeError;
    Copy->Transparent = Transparent;
    return Copy;
}
