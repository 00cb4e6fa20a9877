#include "detect/BlobResponse.h"

#include "detect/Statistics.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace talivo {

namespace {

// Neighbouring scales stand this factor apart.
const double kScaleStep = std::pow(2.0, 0.25);
// The scales looked at run this many steps below and above the object's own.
constexpr int kScaleSteps = 3;
// At the middle sensitivity: peaks must stand this many noise spreads high, and reach this share
// of the clear objects' strength.
constexpr double kNoiseFloor = 5;
constexpr double kClearShare = 0.15;

cv::Mat Blur(const cv::Mat &signal, double sigma)
{
    cv::Mat blurred;
    cv::GaussianBlur(signal, blurred, cv::Size(), sigma, sigma, cv::BORDER_REFLECT_101);
    return blurred;
}

// A picture's statistics come from about this many of its values.
constexpr int kSampleSize = 1 << 16;

struct TPeak {
    int X;
    int Y;
    float Value;
};

// The points that no neighbour exceeds, above the floor, strongest first.
std::vector<TPeak> Peaks(const cv::Mat &response, float floor)
{
    cv::Mat dilated;
    cv::dilate(response, dilated, cv::Mat());
    std::vector<TPeak> peaks;
    for (int y = 0; y < response.rows; ++y) {
        const float *line = response.ptr<float>(y);
        const float *top = dilated.ptr<float>(y);
        for (int x = 0; x < response.cols; ++x)
            if (line[x] > floor && line[x] >= top[x])
                peaks.push_back({x, y, line[x]});
    }
    std::sort(peaks.begin(), peaks.end(),
              [](const TPeak &a, const TPeak &b) { return a.Value > b.Value; });
    return peaks;
}

// Keeps the strongest of the peaks closer than the distance to each other.
std::vector<TPeak> Suppress(const std::vector<TPeak> &peaks, double distance, cv::Size size)
{
    const double cell = std::max(1.0, distance);
    const int columns = int(size.width / cell) + 1;
    const int rows = int(size.height / cell) + 1;
    std::vector<std::vector<int>> grid(size_t(columns) * rows);
    std::vector<TPeak> kept;
    for (const TPeak &peak : peaks) {
        const int cx = int(peak.X / cell);
        const int cy = int(peak.Y / cell);
        bool near = false;
        for (int y = std::max(0, cy - 1); y <= std::min(rows - 1, cy + 1) && !near; ++y)
            for (int x = std::max(0, cx - 1); x <= std::min(columns - 1, cx + 1) && !near; ++x)
                for (int other : grid[size_t(y) * columns + x]) {
                    const double dx = kept[other].X - peak.X;
                    const double dy = kept[other].Y - peak.Y;
                    if (dx * dx + dy * dy < distance * distance) {
                        near = true;
                        break;
                    }
                }
        if (near)
            continue;
        grid[size_t(cy) * columns + cx].push_back(int(kept.size()));
        kept.push_back(peak);
    }
    return kept;
}

// The typical strength of the clear objects among the peaks (strongest first): the median of
// those at least half as strong as the third strongest, which two specks of dust cannot set.
// Objects much fainter than that are texture, however many of its peaks there are.
double ClearStrength(const std::vector<TPeak> &peaks)
{
    if (peaks.empty())
        return 0;
    const float top = peaks[std::min<size_t>(2, peaks.size() - 1)].Value;
    size_t clear = 0;
    while (clear < peaks.size() && peaks[clear].Value >= top / 2)
        ++clear;
    return peaks[clear / 2].Value;
}

// The offset of a parabola's top through three values a step apart, within half a step.
double ParabolaTop(float before, float at, float after)
{
    const double curvature = before - 2.0 * at + after;
    if (curvature >= 0)
        return 0;
    return std::clamp((before - after) / (2 * curvature), -0.5, 0.5);
}

// How much of white noise of spread 1 the response at the scale sigma keeps.
double ResponseNoise(double sigma)
{
    const double a = sigma * sigma;
    const double b = a * kScaleStep * kScaleStep;
    const double pi = std::numbers::pi;
    return std::sqrt(1 / (4 * pi * a) + 1 / (4 * pi * b) - 2 / (2 * pi * (a + b)));
}

} // namespace

cv::Mat BlobResponse(const cv::Mat &signal, double sigma)
{
    return Blur(signal, sigma) - Blur(signal, sigma * kScaleStep);
}

double RobustSpread(const cv::Mat &values)
{
    std::vector<float> sample = SampleValues(values, kSampleSize);
    const float median = Quantile(sample, 0.5);
    for (float &value : sample)
        value = std::abs(value - median);
    return 1.4826 * Quantile(std::move(sample), 0.5);
}

TDetectedObjects StrongestBlobs(const cv::Mat &signal, double radius, size_t count)
{
    const cv::Mat response = BlobResponse(signal, radius / std::sqrt(2.0));
    std::vector<TPeak> peaks = Suppress(Peaks(response, 0), radius, signal.size());
    if (peaks.size() > count)
        peaks.resize(count);
    TDetectedObjects blobs;
    for (const TPeak &peak : peaks)
        blobs.push_back({double(peak.X), double(peak.Y), peak.Value});
    return blobs;
}

// The noise of a single pixel of the signal, from what a blur of one pixel takes away. Object
// edges add to that, noise alone makes the flat parts, so the estimate comes from the smallest
// fifth of the values: for normal noise a fifth of the values lies within 0.2533 spreads.
double PixelNoise(const cv::Mat &signal)
{
    constexpr double kSigma = 1;
    const double removed = std::sqrt(1 - 1 / (std::numbers::pi * kSigma * kSigma) +
                                     1 / (4 * std::numbers::pi * kSigma * kSigma));
    const cv::Mat residual = cv::abs(signal - Blur(signal, kSigma));
    return Quantile(SampleValues(residual, kSampleSize), 0.2) / 0.2533 / removed;
}

TDetectedObjects FindBlobs(const cv::Mat &signal, double radius, double pixelNoise,
                           double sensitivity, const TProceed &proceed, double from, double to)
{
    // A disc of radius r answers most strongly at the scale r / sqrt(2).
    const double centre = radius / std::sqrt(2.0);
    const int levels = 2 * kScaleSteps + 2;
    cv::Mat strongest;
    const double first = centre * std::pow(kScaleStep, -kScaleSteps);
    cv::Mat previous = Blur(signal, first);
    for (int level = 1; level < levels; ++level) {
        ReportProgress(proceed, from + (to - from) * 0.8 * level / levels);
        const double sigma = first * std::pow(kScaleStep, level);
        // Each blur starts from the one before, so only the difference of the scales is added.
        const double before = sigma / kScaleStep;
        cv::Mat next = Blur(previous, std::sqrt(sigma * sigma - before * before));
        cv::Mat response = previous - next;
        if (strongest.empty())
            strongest = response;
        else
            cv::max(strongest, response, strongest);
        previous = next;
    }
    ReportProgress(proceed, from + (to - from) * 0.85);
    // The noise is largest at the smallest scale; no peak of noise alone may pass.
    const double noise = pixelNoise * ResponseNoise(first);
    const double shift = (kDefaultSensitivity - sensitivity) / 50;
    const double floor = kNoiseFloor * std::pow(2.0, shift) * noise;
    std::vector<TPeak> peaks = Suppress(Peaks(strongest, float(floor)), radius, signal.size());
    const double threshold =
        std::max(floor, kClearShare * std::pow(4.0, shift) * ClearStrength(peaks));
    TDetectedObjects objects;
    for (const TPeak &peak : peaks) {
        if (peak.Value < threshold)
            break;
        double dx = 0, dy = 0;
        if (peak.X > 0 && peak.X + 1 < strongest.cols)
            dx = ParabolaTop(strongest.at<float>(peak.Y, peak.X - 1), peak.Value,
                             strongest.at<float>(peak.Y, peak.X + 1));
        if (peak.Y > 0 && peak.Y + 1 < strongest.rows)
            dy = ParabolaTop(strongest.at<float>(peak.Y - 1, peak.X), peak.Value,
                             strongest.at<float>(peak.Y + 1, peak.X));
        objects.push_back({peak.X + dx, peak.Y + dy, peak.Value});
    }
    return objects;
}

} // namespace talivo
