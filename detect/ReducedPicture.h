#pragma once

#include <QImage>
#include <opencv2/core.hpp>

#include <vector>

namespace talivo {

// A picture shrunk by a whole factor, each block of factor by factor pixels averaged (a partial
// block at the right or bottom edge averages what it holds), as floating-point channels scaled
// to 0..1: one for a grey picture, red, green and blue for a colour one.
struct TReducedPicture {
    std::vector<cv::Mat> Channels;
    int Factor = 1;

    bool Colour() const { return Channels.size() == 3; }
    int Width() const { return Channels.empty() ? 0 : Channels.front().cols; }
    int Height() const { return Channels.empty() ? 0 : Channels.front().rows; }
};

// Any picture Qt reads; 16-bit pictures keep their precision. A colour picture whose channels
// are all equal counts as grey.
TReducedPicture ReducePicture(const QImage &image, int factor);

} // namespace talivo
