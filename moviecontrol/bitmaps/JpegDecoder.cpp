#include "JpegDecoder.h"

#include "BitmapLimits.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <jerror.h>
#include <jpeglib.h>
#include <vector>

namespace mc {
namespace {

// libjpeg reports fatal errors by calling error_exit, which must not return. Exceptions may
// not cross its C frames, so the session jumps back to the guarded call that started the work.
// Only the guarded member functions below call setjmp, and they hold no objects with
// destructors, so the jump never skips a destructor.
struct JumpingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void jumpOnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<JumpingErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void discardMessage(j_common_ptr) {}

// A progressive stream may hold thousands of tiny scans, each pass over the whole image;
// real encoders write about ten.
constexpr int kMaxProgressiveScans = 256;
// Progressive decoding buffers every coefficient of the image; beyond this libjpeg fails
// cleanly instead of growing further.
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

void limitScans(j_common_ptr info) {
    if (!info->is_decompressor) {
        return;
    }
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->progressive_mode && decompress->input_scan_number > kMaxProgressiveScans) {
        info->err->msg_code = JERR_NOTIMPL;
        info->err->error_exit(info);
    }
}

class JpegSession {
  public:
    JpegSession() { progress_.progress_monitor = limitScans; }
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;
    ~JpegSession() {
        if (created_) {
            jpeg_destroy_decompress(&info_);
        }
    }

    bool readHeader(std::span<const std::uint8_t> stream) {
        if (setjmp(errors_.jump) != 0) {
            return false;
        }
        info_.err = jpeg_std_error(&errors_.base);
        errors_.base.error_exit = jumpOnError;
        errors_.base.output_message = discardMessage;
        jpeg_create_decompress(&info_);
        created_ = true;
        info_.progress = &progress_;
        info_.mem->max_memory_to_use = kMaxDecoderMemory;
        jpeg_mem_src(&info_, stream.data(), static_cast<unsigned long>(stream.size()));
        return jpeg_read_header(&info_, TRUE) == JPEG_HEADER_OK;
    }

    std::int64_t width() const { return info_.image_width; }
    std::int64_t height() const { return info_.image_height; }
    bool isCmyk() const {
        return info_.jpeg_color_space == JCS_CMYK || info_.jpeg_color_space == JCS_YCCK;
    }
    bool invertedCmyk() const { return info_.saw_Adobe_marker != 0; }

    // Decodes rows straight into `pixels` (four bytes per pixel in the layout of
    // J_COLOR_SPACE `space`); returns false when the stream broke, rowsRead() tells how far.
    bool readRows(J_COLOR_SPACE space, std::uint8_t* pixels, std::size_t stride) {
        if (setjmp(errors_.jump) != 0) {
            return false;
        }
        info_.out_color_space = space;
        info_.dct_method = JDCT_ISLOW;
        jpeg_start_decompress(&info_);
        while (info_.output_scanline < info_.output_height) {
            JSAMPROW row = pixels + std::size_t{info_.output_scanline} * stride;
            if (jpeg_read_scanlines(&info_, &row, 1) != 1) {
                return false;
            }
            rowsRead_ = info_.output_scanline;
        }
        jpeg_finish_decompress(&info_);
        return true;
    }

    std::int64_t rowsRead() const { return rowsRead_; }

  private:
    jpeg_decompress_struct info_{};
    JumpingErrorManager errors_{};
    jpeg_progress_mgr progress_{};
    bool created_ = false;
    std::int64_t rowsRead_ = 0;
};

constexpr J_COLOR_SPACE kQImageOrder =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

std::uint8_t scaled(unsigned value, unsigned by) {
    return static_cast<std::uint8_t>(value * by / 255);
}

void cmykRowsToRgb(QImage& image, std::int64_t rows, bool inverted) {
    for (std::int64_t y = 0; y < rows; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        const auto* cmyk = reinterpret_cast<const std::uint8_t*>(line);
        for (int x = 0; x < image.width(); ++x) {
            unsigned c = cmyk[4 * x];
            unsigned m = cmyk[4 * x + 1];
            unsigned yel = cmyk[4 * x + 2];
            unsigned k = cmyk[4 * x + 3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                yel = 255 - yel;
                k = 255 - k;
            }
            // Converting in place: pixel x's bytes are read before they are overwritten.
            line[x] = qRgb(scaled(c, k), scaled(m, k), scaled(yel, k));
        }
    }
}

} // namespace

DecodedBitmap decodeJpegStream(std::span<const std::uint8_t> stream) {
    JpegSession session;
    if (!session.readHeader(stream)) {
        return failedBitmap(BitmapStatus::Malformed);
    }
    if (!bitmapSizeAllowed(session.width(), session.height()) ||
        !bitmapDataPlausible(session.width() * session.height(),
                             static_cast<std::int64_t>(stream.size()), kMaxJpegPixelsPerByte)) {
        return failedBitmap(BitmapStatus::TooLarge);
    }
    QImage image(static_cast<int>(session.width()), static_cast<int>(session.height()),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return failedBitmap(BitmapStatus::TooLarge);
    }
    image.fill(qRgb(0, 0, 0));
    const bool cmyk = session.isCmyk();
    const bool complete = session.readRows(cmyk ? JCS_CMYK : kQImageOrder, image.bits(),
                                           static_cast<std::size_t>(image.bytesPerLine()));
    const std::int64_t rows = complete ? session.height() : session.rowsRead();
    if (cmyk) {
        cmykRowsToRgb(image, rows, session.invertedCmyk());
    }
    if (!complete && rows == 0) {
        return failedBitmap(BitmapStatus::Malformed);
    }
    return DecodedBitmap{image, complete ? BitmapStatus::Complete : BitmapStatus::Partial};
}

} // namespace mc
