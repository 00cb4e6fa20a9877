#include "detect/Detector.h"

#include "detect/BlobResponse.h"
#include "detect/ObjectSignal.h"
#include "detect/ReducedPicture.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace talivo {

namespace {

// Objects keep at least this many pixels of radius in the reduced picture: the smallest scale
// looked at is then still a pixel and a half, and the largest scale's blur stays short.
constexpr double kReducedRadius = 3;

// The noise is measured on a part of the picture at its own resolution of at most this many
// pixels a side.
constexpr int kNoisePartSide = 512;

// The noise of a pixel of the reduced signal. It is measured at the picture's own resolution,
// where objects leave flat parts between their edges even when they crowd, and is taken to be
// white, so that averaging factor by factor pixels divides it by the factor.
double ReducedNoise(const QImage &picture, const TObjectSignal &signal, int factor)
{
    const int width = std::min(picture.width(), kNoisePartSide);
    const int height = std::min(picture.height(), kNoisePartSide);
    const QImage part =
        picture.copy((picture.width() - width) / 2, (picture.height() - height) / 2, width, height);
    return PixelNoise(signal.Recipe.Apply(ReducePicture(part, 1))) / factor;
}

// The sizes EstimateDiameter tries.
constexpr double kSmallestDiameter = 6;
constexpr int kStepsPerOctave = 4;
// How many of the clearest blobs judge a size.
constexpr size_t kJudgingBlobs = 20;

cv::Mat Luminance(const TReducedPicture &picture)
{
    if (!picture.Colour())
        return picture.Channels[0];
    return 0.299 * picture.Channels[0] + 0.587 * picture.Channels[1] + 0.114 * picture.Channels[2];
}

// The mean response of the clearest blobs of the radius, dark or bright, whichever is larger.
double BlobScore(const cv::Mat &signal, double radius)
{
    double best = 0;
    for (const int sign : {1, -1}) {
        const TDetectedObjects blobs = StrongestBlobs(sign * signal, radius, kJudgingBlobs);
        double sum = 0;
        for (const TDetectedObject &blob : blobs)
            sum += blob.Strength;
        if (!blobs.empty())
            best = std::max(best, sum / blobs.size());
    }
    return best;
}

} // namespace

TDetection DetectObjects(const QImage &picture, const TDetectOptions &options,
                         const TProceed &proceed)
{
    TDetection detection;
    const double radius = std::max(options.Diameter, 1.0) / 2;
    const int factor = std::max(1, int(radius / kReducedRadius));
    ReportProgress(proceed, 0);
    const TReducedPicture reduced = ReducePicture(picture, factor);
    if (reduced.Width() < 3 || reduced.Height() < 3)
        return detection;
    ReportProgress(proceed, 0.2);
    const double reducedRadius = radius / factor;
    TObjectSignal signal = ChooseObjectSignal(reduced, reducedRadius, options.Polarity);
    detection.Polarity = signal.Polarity;
    detection.Channel = signal.Recipe.Name;
    ReportProgress(proceed, 0.4);
    const double sensitivity = std::clamp(options.Sensitivity, kMinSensitivity, kMaxSensitivity);
    detection.Objects =
        FindBlobs(signal.Values, reducedRadius, ReducedNoise(picture, signal, factor), sensitivity,
                  proceed, 0.4, 1.0);
    // Reduced pixel (x, y) averages the picture's pixels from x * factor to x * factor +
    // factor - 1.
    for (TDetectedObject &object : detection.Objects) {
        object.X = (object.X + 0.5) * factor - 0.5;
        object.Y = (object.Y + 0.5) * factor - 0.5;
    }
    ReportProgress(proceed, 1);
    return detection;
}

double EstimateDiameter(const QImage &picture, const TProceed &proceed)
{
    const double largest = std::min(picture.width(), picture.height()) / 6.0;
    double best = kSmallestDiameter;
    double bestScore = 0;
    // Each octave of sizes is tried on a picture halved once more, where the sizes span the
    // same few pixels.
    cv::Mat level;
    for (int octave = 0; kSmallestDiameter * std::pow(2.0, octave) <= largest; ++octave) {
        ReportProgress(proceed, std::min(0.9, octave / 8.0));
        if (octave == 0)
            level = Luminance(ReducePicture(picture, 2));
        else
            cv::resize(level, level, cv::Size((level.cols + 1) / 2, (level.rows + 1) / 2), 0, 0,
                       cv::INTER_AREA);
        const double factor = 2 * std::pow(2.0, octave);
        for (int step = 0; step < kStepsPerOctave; ++step) {
            const double diameter =
                kSmallestDiameter * std::pow(2.0, octave + double(step) / kStepsPerOctave);
            if (diameter > largest)
                break;
            const double score = BlobScore(level, diameter / 2 / factor);
            if (score > bestScore) {
                bestScore = score;
                best = diameter;
            }
        }
    }
    ReportProgress(proceed, 1);
    return best;
}

} // namespace talivo
