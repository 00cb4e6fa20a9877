#include "tests/pictures/SyntheticPictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <tuple>

namespace talivo::test {

namespace {

// Draws numbers from the generator's raw output only: the standard distributions may differ
// between libraries, the generator may not.
class TRandom {
public:
    explicit TRandom(uint32_t seed) : fEngine(seed) {}

    // In [0, 1).
    double Uniform() { return fEngine() / 4294967296.0; }
    double Between(double low, double high) { return low + (high - low) * Uniform(); }
    double Normal()
    {
        const double u = 1.0 - Uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2 * std::numbers::pi * Uniform());
    }

private:
    std::mt19937 fEngine;
};

// One value per pixel, pixel (x, y) centred on the point (x, y).
class TLayer {
public:
    TLayer(QSize size, float value = 0)
        : fWidth(size.width()), fHeight(size.height()), fValues(size_t(fWidth) * fHeight, value)
    {}

    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    float &At(int x, int y) { return fValues[size_t(y) * fWidth + x]; }

    // A disc of the amplitude with an anti-aliased edge; with a dome it falls to 70 % at the
    // rim. Where discs overlap the stronger one shows.
    void Disc(QPointF centre, double radius, double amplitude, bool dome = false)
    {
        const int left = std::max(0, int(std::floor(centre.x() - radius - 1)));
        const int right = std::min(fWidth - 1, int(std::ceil(centre.x() + radius + 1)));
        const int top = std::max(0, int(std::floor(centre.y() - radius - 1)));
        const int bottom = std::min(fHeight - 1, int(std::ceil(centre.y() + radius + 1)));
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                const double d = std::hypot(x - centre.x(), y - centre.y());
                const double cover = std::clamp(radius + 0.5 - d, 0.0, 1.0);
                if (cover <= 0)
                    continue;
                const double profile =
                    dome ? 1.0 - 0.3 * std::min(1.0, (d * d) / (radius * radius)) : 1.0;
                float &value = At(x, y);
                value = std::max(value, float(amplitude * cover * profile));
            }
        }
    }

private:
    int fWidth;
    int fHeight;
    std::vector<float> fValues;
};

// Random centres at least minDistance apart, kept margin away from the edges; fewer than count
// when the picture is full.
std::vector<QPointF> ScatterCentres(QSize size, int count, double minDistance, double margin,
                                    TRandom &random, int attempts = 0)
{
    const double cell = minDistance / std::sqrt(2.0);
    const int columns = int(size.width() / cell) + 1;
    const int rows = int(size.height() / cell) + 1;
    std::vector<int> grid(size_t(columns) * rows, -1);
    std::vector<QPointF> centres;
    const auto free = [&](QPointF p) {
        const int cx = int(p.x() / cell);
        const int cy = int(p.y() / cell);
        for (int y = std::max(0, cy - 2); y <= std::min(rows - 1, cy + 2); ++y)
            for (int x = std::max(0, cx - 2); x <= std::min(columns - 1, cx + 2); ++x) {
                const int other = grid[size_t(y) * columns + x];
                if (other >= 0 && std::hypot(centres[other].x() - p.x(),
                                             centres[other].y() - p.y()) < minDistance)
                    return false;
            }
        return true;
    };
    const int tries = attempts > 0 ? attempts : count * 50;
    for (int i = 0; i < tries && int(centres.size()) < count; ++i) {
        const QPointF p(random.Between(margin, size.width() - margin),
                        random.Between(margin, size.height() - margin));
        if (!free(p))
            continue;
        grid[size_t(int(p.y() / cell)) * columns + int(p.x() / cell)] = int(centres.size());
        centres.push_back(p);
    }
    return centres;
}

// How the discs of a picture vary: their radii within a share of the mean, their amplitudes
// within a range.
struct TDiscs {
    double Radius;
    double RadiusSpread;
    double Low;
    double High;
    bool Dome = false;
};

// Draws a disc around each centre. The radius is drawn before the amplitude: arguments of one
// call would be drawn in an order each compiler chooses.
void DrawDiscs(TLayer &layer, const std::vector<QPointF> &centres, const TDiscs &discs,
               TRandom &random)
{
    for (const QPointF &centre : centres) {
        const double radius =
            discs.Radius * random.Between(1 - discs.RadiusSpread, 1 + discs.RadiusSpread);
        const double amplitude = random.Between(discs.Low, discs.High);
        layer.Disc(centre, radius, amplitude, discs.Dome);
    }
}

// A picture of the mean radius whose objects are scattered at least spacing radii apart and a
// margin of radii from the edges.
TSyntheticPicture Scattered(QSize size, int count, double radius, double spacing, double margin,
                            TRandom &random)
{
    TSyntheticPicture picture;
    picture.Radius = radius;
    picture.Centres = ScatterCentres(size, count, spacing * radius, margin * radius, random);
    return picture;
}

uint8_t Byte(double value)
{
    return uint8_t(std::clamp(std::lround(value), 0L, 255L));
}

QImage GreyImage(TLayer &layer)
{
    QImage image(layer.Width(), layer.Height(), QImage::Format_Grayscale8);
    for (int y = 0; y < layer.Height(); ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < layer.Width(); ++x)
            line[x] = Byte(layer.At(x, y));
    }
    return image;
}

// Light that falls off from the top left towards the bottom right, to about 60 %.
double Illumination(QSize size, int x, int y)
{
    const double u = double(x) / size.width();
    const double v = double(y) / size.height();
    return 1.0 - 0.2 * (u * u + v * v) - 0.05 * std::sin(3 * u + 2 * v);
}

} // namespace

TSyntheticPicture DarkCellsOnUnevenLight(QSize size, int count, double radius, uint32_t seed)
{
    TRandom random(seed);
    TSyntheticPicture picture = Scattered(size, count, radius, 2.4, 1.5, random);
    TLayer absorption(size);
    DrawDiscs(absorption, picture.Centres, {radius, 0.15, 0.35, 0.6}, random);
    TLayer light(size);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            light.At(x, y) = float(225 * Illumination(size, x, y) * (1 - absorption.At(x, y)) +
                                   7 * random.Normal());
    picture.Image = GreyImage(light);
    return picture;
}

TSyntheticPicture BrightNucleiWithPairs(QSize size, int count, double radius, uint32_t seed)
{
    TRandom random(seed);
    TSyntheticPicture picture;
    picture.Radius = radius;
    // A third of the objects come in touching pairs: each pair takes the room of one.
    const int pairs = count / 6;
    const std::vector<QPointF> places =
        ScatterCentres(size, count - pairs, 4.6 * radius, 2.5 * radius, random);
    TLayer light(size);
    for (size_t i = 0; i < places.size(); ++i) {
        const double r1 = radius * random.Between(0.85, 1.15);
        if (int(i) < pairs) {
            const double r2 = radius * random.Between(0.85, 1.15);
            const double angle = random.Between(0, std::numbers::pi);
            const QPointF half(std::cos(angle) * (r1 + r2) / 2, std::sin(angle) * (r1 + r2) / 2);
            for (const auto &[centre, r] :
                 {std::pair(places[i] - half, r1), std::pair(places[i] + half, r2)}) {
                light.Disc(centre, r, random.Between(70, 235), true);
                picture.Centres.push_back(centre);
            }
        } else {
            light.Disc(places[i], r1, random.Between(70, 235), true);
            picture.Centres.push_back(places[i]);
        }
    }
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            light.At(x, y) += float(18 + 6 * random.Normal());
    picture.Image = GreyImage(light);
    return picture;
}

TSyntheticPicture CrowdedField(QSize size, double radius, uint32_t seed)
{
    TRandom random(seed);
    TSyntheticPicture picture;
    picture.Radius = radius;
    const int room = int(size.width() * size.height() / (radius * radius));
    picture.Centres = ScatterCentres(size, room, 2 * radius, radius, random, room * 30);
    TLayer absorption(size);
    DrawDiscs(absorption, picture.Centres, {radius, 0.1, 0.4, 0.55}, random);
    TLayer light(size);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            light.At(x, y) = float(210 * (1 - absorption.At(x, y)) + 6 * random.Normal());
    picture.Image = GreyImage(light);
    return picture;
}

TSyntheticPicture Grey16Objects(QSize size, int count, double radius, uint32_t seed)
{
    TRandom random(seed);
    TSyntheticPicture picture = Scattered(size, count, radius, 2.5, 1.5, random);
    TLayer light(size);
    DrawDiscs(light, picture.Centres, {radius, 0.15, 250, 900, true}, random);
    QImage image(size, QImage::Format_Grayscale16);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<quint16 *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double value =
                400 + 150.0 * x / size.width() + light.At(x, y) + 40 * random.Normal();
            line[x] = quint16(std::clamp(std::lround(value), 0L, 4095L));
        }
    }
    picture.Image = image;
    return picture;
}

TSyntheticPicture StainedTissue(QSize size, int count, double radius, uint32_t seed)
{
    TRandom random(seed);
    TSyntheticPicture picture = Scattered(size, count, radius, 2.6, 1.5, random);
    TLayer haematoxylin(size);
    DrawDiscs(haematoxylin, picture.Centres, {radius, 0.15, 0.55, 0.9, true}, random);
    // Tissue: a general eosin stain with denser lumps of the nuclei's size all over it, as many
    // as there are nuclei.
    TLayer eosin(size, 0.35f);
    DrawDiscs(eosin, ScatterCentres(size, 2 * count, 1.2 * radius, radius, random),
              {radius, 0.2, 1.2, 1.8}, random);
    // Optical densities per unit of stain, for red, green and blue.
    constexpr double kHaematoxylin[3] = {0.65, 0.70, 0.29};
    constexpr double kEosin[3] = {0.07, 0.99, 0.11};
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            double rgb[3];
            for (int c = 0; c < 3; ++c)
                rgb[c] = 245 * std::exp(-2.0 * (haematoxylin.At(x, y) * kHaematoxylin[c] +
                                                eosin.At(x, y) * kEosin[c])) +
                         4 * random.Normal();
            line[x] = qRgb(Byte(rgb[0]), Byte(rgb[1]), Byte(rgb[2]));
        }
    }
    picture.Image = image;
    return picture;
}

TSyntheticPicture FewCellsInFaintTexture(QSize size, int count, double radius, uint32_t seed)
{
    TRandom random(seed);
    TSyntheticPicture picture = Scattered(size, count, radius, 4, 2, random);
    TLayer absorption(size);
    DrawDiscs(absorption, picture.Centres, {radius, 0.1, 0.45, 0.55}, random);
    DrawDiscs(absorption, ScatterCentres(size, 30 * count, 1.5 * radius, radius, random),
              {radius, 0.3, 0.03, 0.06}, random);
    TLayer light(size);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            light.At(x, y) = float(220 * (1 - absorption.At(x, y)));
    picture.Image = GreyImage(light);
    return picture;
}

double TMatchScore::F1() const
{
    const int denominator = 2 * Hits + FalseFinds + Misses;
    return denominator == 0 ? 1.0 : 2.0 * Hits / denominator;
}

TMatchScore MatchCentres(const std::vector<QPointF> &truth, const std::vector<QPointF> &found,
                         double tolerance)
{
    std::vector<std::tuple<double, size_t, size_t>> pairs;
    for (size_t t = 0; t < truth.size(); ++t)
        for (size_t f = 0; f < found.size(); ++f) {
            const double d = std::hypot(truth[t].x() - found[f].x(), truth[t].y() - found[f].y());
            if (d <= tolerance)
                pairs.emplace_back(d, t, f);
        }
    std::sort(pairs.begin(), pairs.end());
    std::vector<bool> truthUsed(truth.size()), foundUsed(found.size());
    TMatchScore score;
    for (const auto &[d, t, f] : pairs) {
        if (truthUsed[t] || foundUsed[f])
            continue;
        truthUsed[t] = foundUsed[f] = true;
        ++score.Hits;
    }
    score.Misses = int(truth.size()) - score.Hits;
    score.FalseFinds = int(found.size()) - score.Hits;
    return score;
}

} // namespace talivo::test
