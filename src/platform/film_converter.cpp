#include "platform/film_converter.hpp"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace vantrel {

namespace {

bool is_full_range(const AVFrame& frame) {
    switch (frame.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
        return true;
    default:
        return frame.color_range == AVCOL_RANGE_JPEG;
    }
}

// The full-range formats are the limited-range layouts with another range flag; naming the
// layout and passing the range keeps swscale from guessing.
AVPixelFormat plain_layout(int format) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: return AV_PIX_FMT_YUV411P;
    default: return static_cast<AVPixelFormat>(format);
    }
}

// HD films are coded in BT.709 unless they say otherwise; smaller ones in BT.601.
int matrix_of(const AVFrame& frame) {
    if (frame.colorspace == AVCOL_SPC_BT709) return SWS_CS_ITU709;
    if (frame.colorspace == AVCOL_SPC_UNSPECIFIED && frame.height >= 720) return SWS_CS_ITU709;
    return SWS_CS_ITU601;
}

}  // namespace

bool FilmConverter::convert(const AVFrame& f, uint8_t* pixels, int stride, int width, int height) {
    if (f.width <= 0 || f.height <= 0 || width <= 0 || height <= 0 || pixels == nullptr) return false;
    const bool full = is_full_range(f);
    const int matrix = matrix_of(f);
    if (!scale_ || f.width != source_width_ || f.height != source_height_ || f.format != source_format_ ||
        full != full_range_ || matrix != matrix_ || width != width_ || height != height_) {
        // Shrinking by more than half needs an area filter; bilinear costs least otherwise.
        const int flags = width * 2 < f.width ? SWS_AREA : SWS_BILINEAR;
        scale_.reset(sws_getContext(f.width, f.height, plain_layout(f.format), width, height, AV_PIX_FMT_RGB32, flags,
                                    nullptr, nullptr, nullptr));
        if (!scale_) return false;
        const int* table = sws_getCoefficients(matrix);
        sws_setColorspaceDetails(scale_.get(), table, full ? 1 : 0, table, 1, 0, 1 << 16, 1 << 16);
        source_width_ = f.width;
        source_height_ = f.height;
        source_format_ = f.format;
        full_range_ = full;
        matrix_ = matrix;
        width_ = width;
        height_ = height;
    }
    uint8_t* planes[4] = {pixels, nullptr, nullptr, nullptr};
    const int strides[4] = {stride, 0, 0, 0};
    if (sws_scale(scale_.get(), f.data, f.linesize, 0, f.height, planes, strides) != height) return false;
    // Without an alpha channel in the source the converter writes opaque pixels already.
    const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(f.format));
    if (layout != nullptr && (layout->flags & AV_PIX_FMT_FLAG_ALPHA) != 0) {
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(pixels + static_cast<ptrdiff_t>(y) * stride);
            for (int x = 0; x < width; ++x) row[x] |= 0xFF000000u;
        }
    }
    return true;
}

}  // namespace vantrel
