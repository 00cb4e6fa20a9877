#include "detect/ReducedPicture.h"

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <cstdint>

namespace talivo {

namespace {

// Where red, green and blue lie within a pixel of the layouts read below; grey has one channel.
struct TLayout {
    int Stride;     // values per pixel
    int Offsets[3]; // red, green, blue; only the first for grey
    int ChannelCount;
};

// A 32-bit Qt pixel is a native-endian 0xAARRGGBB word.
constexpr TLayout kRgb32{4,
                         {Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 2 : 1,
                          Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 1 : 2,
                          Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 0 : 3},
                         3};
constexpr TLayout kRgba64{4, {0, 1, 2}, 3};
constexpr TLayout kGrey{1, {0, 0, 0}, 1};

// A picture in one of the layouts the reduction reads, converted only when it has none of them.
QImage InReadableFormat(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        return image;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        // Only palettes are cheap to look at: every pixel of a direct format would be.
        if (image.isGrayscale())
            return image.convertToFormat(QImage::Format_Grayscale8);
        return image.convertToFormat(QImage::Format_RGB32);
    default:
        // Deeper channels (10-bit, half floats) keep their precision in 16 bits.
        return image.convertToFormat(image.pixelFormat().redSize() > 8 ? QImage::Format_RGBX64
                                                                       : QImage::Format_RGB32);
    }
}

TLayout LayoutOf(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
        return kGrey;
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        return kRgba64;
    default:
        return kRgb32;
    }
}

template <class TValue>
void Reduce(const QImage &image, const TLayout &layout, int factor, double scale,
            std::vector<cv::Mat> &channels)
{
    const int width = image.width();
    const int height = image.height();
    const int columns = channels.front().cols;
    cv::parallel_for_(cv::Range(0, channels.front().rows), [&](const cv::Range &rows) {
        std::vector<double> sums(size_t(columns) * layout.ChannelCount);
        for (int row = rows.start; row < rows.end; ++row) {
            std::fill(sums.begin(), sums.end(), 0.0);
            const int top = row * factor;
            const int bottom = std::min(height, top + factor);
            for (int y = top; y < bottom; ++y) {
                const auto *line = reinterpret_cast<const TValue *>(image.constScanLine(y));
                for (int column = 0; column < columns; ++column) {
                    const int left = column * factor;
                    const int right = std::min(width, left + factor);
                    double *sum = &sums[size_t(column) * layout.ChannelCount];
                    for (int c = 0; c < layout.ChannelCount; ++c) {
                        const TValue *value =
                            line + size_t(left) * layout.Stride + layout.Offsets[c];
                        double total = 0;
                        for (int x = left; x < right; ++x, value += layout.Stride)
                            total += *value;
                        sum[c] += total;
                    }
                }
            }
            for (int column = 0; column < columns; ++column) {
                const int left = column * factor;
                const int count = (std::min(width, left + factor) - left) * (bottom - top);
                for (int c = 0; c < layout.ChannelCount; ++c)
                    channels[c].at<float>(row, column) =
                        float(sums[size_t(column) * layout.ChannelCount + c] * scale / count);
            }
        }
    });
}

bool ChannelsEqual(const std::vector<cv::Mat> &channels)
{
    return cv::norm(channels[0], channels[1], cv::NORM_INF) == 0 &&
           cv::norm(channels[1], channels[2], cv::NORM_INF) == 0;
}

} // namespace

TReducedPicture ReducePicture(const QImage &source, int factor)
{
    TReducedPicture reduced;
    reduced.Factor = std::max(1, factor);
    if (source.isNull())
        return reduced;
    const QImage image = InReadableFormat(source);
    const TLayout layout = LayoutOf(image.format());
    const cv::Size size((image.width() + reduced.Factor - 1) / reduced.Factor,
                        (image.height() + reduced.Factor - 1) / reduced.Factor);
    for (int c = 0; c < layout.ChannelCount; ++c)
        reduced.Channels.emplace_back(size, CV_32F);
    if (image.depth() == 8 || image.depth() == 32)
        Reduce<uint8_t>(image, layout, reduced.Factor, 1.0 / 255, reduced.Channels);
    else
        Reduce<uint16_t>(image, layout, reduced.Factor, 1.0 / 65535, reduced.Channels);
    if (reduced.Colour() && ChannelsEqual(reduced.Channels))
        reduced.Channels.resize(1);
    return reduced;
}

} // namespace talivo
