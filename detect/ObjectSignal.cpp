#include "detect/ObjectSignal.h"

#include "detect/BlobResponse.h"
#include "detect/Statistics.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace talivo {

namespace {

// Light through empty glass is nearly the brightest a channel holds; a channel whose blank is
// darker than this is no bright-field picture.
constexpr double kBlankQuantile = 0.99;
constexpr float kLeastBlank = 0.3f;
// Optical densities start above zero, for values of nothing.
constexpr double kLeastValue = 1.0 / 512;
// The stains are judged from about this many pixels, those of at least this optical density
// (less is empty glass), and not at all when fewer than the least number are stained.
constexpr int kStainSample = 1 << 16;
constexpr double kLeastStainDensity = 0.15;
constexpr size_t kLeastStainedPixels = 100;
// Stains closer than about ten degrees are one: unmixing them would only amplify noise.
constexpr double kLeastStainAngle = 0.17;

// The channels are compared on a part of at most this many pixels a side from the middle of the
// picture: enough objects to judge by, little work.
constexpr int kTrialSide = 512;

TReducedPicture TrialPart(const TReducedPicture &picture)
{
    const int width = std::min(picture.Width(), kTrialSide);
    const int height = std::min(picture.Height(), kTrialSide);
    const cv::Rect part((picture.Width() - width) / 2, (picture.Height() - height) / 2, width,
                        height);
    TReducedPicture trial;
    trial.Factor = picture.Factor;
    for (const cv::Mat &channel : picture.Channels)
        trial.Channels.push_back(channel(part));
    return trial;
}

// The optical density -ln(value / blank) of a channel, nothing where the value exceeds the blank.
cv::Mat OpticalDensity(const cv::Mat &channel, double blank)
{
    cv::Mat density;
    cv::log(cv::max(channel, kLeastValue) / blank, density);
    return cv::max(-density, 0.0);
}

// The two stains of a bright-field picture as recipes of their concentrations, found from the
// directions in which its optical densities spread most (Macenko's method): the stains are the
// extreme directions within the plane those span. None for a picture on a dark background, or
// one whose colours show a single stain only.
std::vector<TChannelRecipe> Stains(const TReducedPicture &picture)
{
    cv::Vec3d blank;
    for (int c = 0; c < 3; ++c) {
        blank[c] = Quantile(SampleValues(picture.Channels[c], kStainSample), kBlankQuantile);
        if (blank[c] < kLeastBlank)
            return {};
    }
    const int step =
        std::max(1, int(std::sqrt(double(picture.Channels[0].total()) / kStainSample)));
    std::vector<cv::Vec3f> stained;
    for (int y = 0; y < picture.Height(); y += step)
        for (int x = 0; x < picture.Width(); x += step) {
            cv::Vec3f od;
            for (int c = 0; c < 3; ++c) {
                const double value =
                    std::max<double>(picture.Channels[c].at<float>(y, x), kLeastValue);
                od[c] = float(std::max(0.0, -std::log(value / blank[c])));
            }
            if (cv::norm(od) > kLeastStainDensity)
                stained.push_back(od);
        }
    if (stained.size() < kLeastStainedPixels)
        return {};
    cv::Matx33d moments = cv::Matx33d::zeros();
    for (const cv::Vec3f &od : stained)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                moments(i, j) += double(od[i]) * od[j];
    cv::Mat eigenvalues, eigenvectors;
    cv::eigen(cv::Mat(moments), eigenvalues, eigenvectors);
    cv::Vec3d first(eigenvectors.ptr<double>(0));
    const cv::Vec3d second(eigenvectors.ptr<double>(1));
    if (first[0] + first[1] + first[2] < 0)
        first = -first;
    std::vector<float> angles;
    angles.reserve(stained.size());
    for (const cv::Vec3f &od : stained)
        angles.push_back(float(std::atan2(od.dot(cv::Vec3f(second)), od.dot(cv::Vec3f(first)))));
    const double low = Quantile(angles, 0.01);
    const double high = Quantile(angles, 0.99);
    if (high - low < kLeastStainAngle)
        return {};
    const cv::Vec3d stains[2] = {std::cos(low) * first + std::sin(low) * second,
                                 std::cos(high) * first + std::sin(high) * second};
    cv::Matx32d mixing;
    for (int c = 0; c < 3; ++c)
        for (int s = 0; s < 2; ++s)
            mixing(c, s) = stains[s][c];
    const cv::Matx23d unmixing = (mixing.t() * mixing).inv() * mixing.t();
    std::vector<TChannelRecipe> recipes;
    for (int s = 0; s < 2; ++s)
        recipes.push_back({.Name = "stain " + std::to_string(s + 1),
                           .Weights = {unmixing(s, 0), unmixing(s, 1), unmixing(s, 2)},
                           .Density = true,
                           .Blank = blank});
    return recipes;
}

std::vector<TChannelRecipe> Candidates(const TReducedPicture &picture)
{
    if (!picture.Colour())
        return {{.Name = "grey"}};
    std::vector<TChannelRecipe> candidates = {
        {.Name = "grey", .Weights = {0.299, 0.587, 0.114}},
        {.Name = "red", .Weights = {1, 0, 0}},
        {.Name = "green", .Weights = {0, 1, 0}},
        {.Name = "blue", .Weights = {0, 0, 1}},
    };
    for (TChannelRecipe &stain : Stains(picture))
        candidates.push_back(std::move(stain));
    return candidates;
}

// How far objects of the radius stand out in the values (bright objects): the mean strength of
// the clearest tenth of the blobs, in units of the response's spread over the whole part, which
// texture raises as much as noise does.
double Contrast(const cv::Mat &values, double radius)
{
    const cv::Mat response = BlobResponse(values, radius / std::sqrt(2.0));
    const double spread = RobustSpread(response);
    const TDetectedObjects blobs = StrongestBlobs(values, radius, size_t(-1));
    if (spread <= 0 || blobs.empty())
        return 0;
    const size_t clear = std::max<size_t>(1, blobs.size() / 10);
    double sum = 0;
    for (size_t i = 0; i < clear; ++i)
        sum += blobs[i].Strength;
    return sum / clear / spread;
}

// The share of the set's pixels that its largest connected part holds.
double LargestPartShare(const cv::Mat &mask)
{
    cv::Mat labels, stats, centroids;
    const int parts = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 4, CV_32S);
    int64_t total = 0, largest = 0;
    for (int part = 1; part < parts; ++part) {
        const int64_t area = stats.at<int>(part, cv::CC_STAT_AREA);
        total += area;
        largest = std::max(largest, area);
    }
    return total == 0 ? 1 : double(largest) / total;
}

// +1 when the objects of the radius are brighter than their surroundings in the values, -1 when
// they are darker. Split at the local mean, the objects' side falls apart into islands while
// the background's side holds together, even where the objects crowd and cover half the
// picture; the blobs' strengths cannot tell, since the gaps between crowded objects look like
// blobs of the other kind.
int ObjectSign(const cv::Mat &values, double radius)
{
    cv::Mat smooth, local;
    cv::GaussianBlur(values, smooth, cv::Size(), radius / 3, radius / 3, cv::BORDER_REFLECT_101);
    cv::GaussianBlur(values, local, cv::Size(), 3 * radius, 3 * radius, cv::BORDER_REFLECT_101);
    const cv::Mat above = smooth > local;
    return LargestPartShare(above) <= LargestPartShare(~above) ? 1 : -1;
}

} // namespace

cv::Mat TChannelRecipe::Apply(const TReducedPicture &picture) const
{
    cv::Mat values = cv::Mat::zeros(picture.Height(), picture.Width(), CV_32F);
    for (int c = 0; c < 3; ++c) {
        if (Weights[c] == 0)
            continue;
        const cv::Mat &channel = picture.Channels[picture.Colour() ? c : 0];
        values += Sign * Weights[c] * (Density ? OpticalDensity(channel, Blank[c]) : channel);
    }
    return values;
}

TObjectSignal ChooseObjectSignal(const TReducedPicture &picture, double radius,
                                 TObjectPolarity polarity)
{
    const TReducedPicture trial = TrialPart(picture);
    TObjectSignal best;
    double bestContrast = -1;
    for (TChannelRecipe &recipe : Candidates(picture)) {
        const cv::Mat part = recipe.Apply(trial);
        // More of a density is darker in the picture.
        const int brightSign = recipe.Density ? -1 : 1;
        recipe.Sign = polarity == opAutomatic ? ObjectSign(part, radius)
                      : polarity == opBright  ? brightSign
                                              : -brightSign;
        const double contrast = Contrast(recipe.Sign * part, radius);
        if (contrast > bestContrast) {
            bestContrast = contrast;
            best.Recipe = recipe;
            best.Polarity = recipe.Sign == brightSign ? opBright : opDark;
        }
    }
    best.Values = best.Recipe.Apply(picture);
    return best;
}

} // namespace talivo
