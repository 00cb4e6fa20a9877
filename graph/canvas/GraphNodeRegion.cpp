#include "graph/canvas/GraphNodeRegion.h"

#include "graph/canvas/Canvas.h"

#include <QImage>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

namespace talivo {

namespace {

constexpr int64_t kPixelBudget = int64_t(1) << 22;
constexpr int64_t kMaxExtent = int64_t(1) << 30;
constexpr int64_t kMinCoordinate = std::numeric_limits<int32_t>::min();
constexpr int64_t kMaxCoordinate = std::numeric_limits<int32_t>::max();

// Pixels Left..Right-1 x Top..Bottom-1.
struct TPixelBox {
    int64_t Left = 0;
    int64_t Top = 0;
    int64_t Right = 0;
    int64_t Bottom = 0;
};

// Room around a shape in the raster. Qt rasterises a shape that comes close to the edge of the
// device along another path, which can set a pixel differently from the same shape drawn well
// inside a larger device; a wide border keeps the raster on the common path.
constexpr int64_t kBorder = 8;

// The pixels a shape drawn along the corners (x1, y1), (x2, y2) may cover, plus the border.
TPixelBox BoxAround(int64_t x1, int64_t y1, int64_t x2, int64_t y2)
{
    return {std::max(std::min(x1, x2) - kBorder, kMinCoordinate),
            std::max(std::min(y1, y2) - kBorder, kMinCoordinate),
            std::min(std::max(x1, x2) + 1 + kBorder, kMaxCoordinate),
            std::min(std::max(y1, y2) + 1 + kBorder, kMaxCoordinate)};
}

// QRegion cannot hold a rectangle wider than the int range, so the box is cut to half of it.
QRegion BoxRegion(const TPixelBox &box)
{
    const auto cut = [](int64_t value) {
        return static_cast<int>(std::clamp(value, -kMaxExtent, kMaxExtent));
    };
    return QRegion(QRect(QPoint(cut(box.Left), cut(box.Top)),
                         QPoint(cut(box.Right) - 1, cut(box.Bottom) - 1)));
}

using TRun = std::pair<int, int>;

// Device row y of the raster as runs [first, second) of inked pixels.
void RowRuns(const QImage &image, int y, std::vector<TRun> &runs)
{
    runs.clear();
    const uchar *line = image.constScanLine(y);
    const int width = image.width();
    int x = 0;
    while (x < width) {
        while (x < width && line[x] == 0xFF)
            ++x;
        const int start = x;
        while (x < width && line[x] != 0xFF)
            ++x;
        if (x > start)
            runs.emplace_back(start, x);
    }
}

template <typename TDraw> QRegion Rasterize(const TPixelBox &box, TDraw draw)
{
    const int64_t width = box.Right - box.Left;
    const int64_t height = box.Bottom - box.Top;
    if (width <= 0 || height <= 0)
        return QRegion();
    if (width > kMaxExtent || height > kMaxExtent)
        return BoxRegion(box);

    int64_t deviceWidth = width;
    int64_t deviceHeight = height;
    if (width * height > kPixelBudget) {
        const double factor =
            std::sqrt(static_cast<double>(kPixelBudget) / (static_cast<double>(width) * height));
        deviceWidth = std::clamp<int64_t>(static_cast<int64_t>(width * factor), 1, width);
        deviceHeight = std::clamp<int64_t>(kPixelBudget / deviceWidth, 1, height);
    }

    QImage image(static_cast<int>(deviceWidth), static_cast<int>(deviceHeight),
                 QImage::Format_Grayscale8);
    if (image.isNull())
        return BoxRegion(box);
    image.fill(Qt::white);
    {
        TCanvas canvas;
        if (!canvas.BeginPaint(image))
            return BoxRegion(box);
        canvas.Brush().SetColor(clBlack);
        canvas.SetWindowOrg({static_cast<int32_t>(box.Left), static_cast<int32_t>(box.Top)});
        if (deviceWidth != width || deviceHeight != height) {
            canvas.SetWindowExt({static_cast<int32_t>(width), static_cast<int32_t>(height)});
            canvas.SetViewportExt(
                {static_cast<int32_t>(deviceWidth), static_cast<int32_t>(deviceHeight)});
        }
        draw(canvas);
    }

    const auto logicalX = [&](int64_t x) {
        return static_cast<int>(box.Left + x * width / deviceWidth);
    };
    const auto logicalY = [&](int64_t y) {
        return static_cast<int>(box.Top + y * height / deviceHeight);
    };
    // Rows with the same runs form one band, as QRegion keeps them.
    std::vector<QRect> rects;
    std::vector<TRun> band;
    std::vector<TRun> row;
    int bandTop = 0;
    const auto flush = [&](int bandBottom) {
        for (const TRun &run : band)
            rects.emplace_back(QPoint(logicalX(run.first), logicalY(bandTop)),
                               QPoint(logicalX(run.second) - 1, logicalY(bandBottom) - 1));
    };
    for (int y = 0; y < image.height(); ++y) {
        RowRuns(image, y, row);
        if (y > 0 && row != band) {
            flush(y);
            bandTop = y;
        }
        std::swap(band, row);
    }
    flush(image.height());

    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

// A shape rasterises the same wherever it lies, so its region is made once at the origin and
// moved into place. Marks share one size, which makes creating, moving and resizing thousands of
// them cost one rasterisation per size instead of one per mark.
class TShapeCache {
public:
    // Key: the shape kind followed by its coordinates relative to the origin. A lookup that
    // finds its shape builds no key of its own: it is made for every node resized or read.
    using TKey = std::span<const int64_t>;

    template <typename TMake> QRegion Get(TKey key, TMake make)
    {
        auto found = fRegions.find(key);
        if (found != fRegions.end())
            return found->second;
        if (fRegions.size() >= kCapacity)
            fRegions.clear();
        return fRegions.emplace(std::vector<int64_t>(key.begin(), key.end()), make()).first->second;
    }

private:
    struct THash {
        using is_transparent = void;
        size_t operator()(TKey key) const
        {
            size_t h = 1469598103934665603ull;
            for (int64_t v : key)
                h = (h ^ static_cast<size_t>(v)) * 1099511628211ull;
            return h;
        }
    };
    struct TEqual {
        using is_transparent = void;
        bool operator()(TKey a, TKey b) const { return std::ranges::equal(a, b); }
    };
    static constexpr size_t kCapacity = 256;
    std::unordered_map<std::vector<int64_t>, QRegion, THash, TEqual> fRegions;
};

TShapeCache &ShapeCache()
{
    static TShapeCache cache;
    return cache;
}

// Shapes this close to the origin are moved into place without any risk of leaving QRegion's
// int range; anything beyond takes the direct path with its own limits.
constexpr int64_t kCacheReach = int64_t(1) << 28;

bool Cacheable(int64_t left, int64_t top, int64_t right, int64_t bottom)
{
    return std::abs(left) < kCacheReach && std::abs(top) < kCacheReach &&
           std::abs(right) < kCacheReach && std::abs(bottom) < kCacheReach;
}

} // namespace

TPlacedRegion PlacedPolygonRegion(const TPoints &points)
{
    if (points.empty())
        return {};
    const auto [minX, maxX] = std::minmax_element(
        points.begin(), points.end(), [](const TPoint &a, const TPoint &b) { return a.X < b.X; });
    const auto [minY, maxY] = std::minmax_element(
        points.begin(), points.end(), [](const TPoint &a, const TPoint &b) { return a.Y < b.Y; });
    const auto direct = [](const TPoints &polygon, const TPixelBox &box) {
        return Rasterize(box, [&](TCanvas &canvas) { canvas.Polygon(polygon); });
    };
    if (!Cacheable(minX->X, minY->Y, maxX->X, maxY->Y))
        return {direct(points, BoxAround(minX->X, minY->Y, maxX->X, maxY->Y)), {}};

    const TPoint origin{minX->X, minY->Y};
    std::vector<int64_t> key{0};
    TPoints relative;
    relative.reserve(points.size());
    for (const TPoint &p : points) {
        relative.push_back({p.X - origin.X, p.Y - origin.Y});
        key.push_back(relative.back().X);
        key.push_back(relative.back().Y);
    }
    const TPoint extent{maxX->X - origin.X, maxY->Y - origin.Y};
    return {ShapeCache().Get(key,
                             [&] { return direct(relative, BoxAround(0, 0, extent.X, extent.Y)); }),
            QPoint(origin.X, origin.Y)};
}

TPlacedRegion PlacedEllipseRegion(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    const auto direct = [](int32_t l, int32_t t, int32_t r, int32_t b) {
        return Rasterize(BoxAround(l, t, r, b),
                         [&](TCanvas &canvas) { canvas.Ellipse(l, t, r, b); });
    };
    if (!Cacheable(left, top, right, bottom))
        return {direct(left, top, right, bottom), {}};
    const int32_t width = right - left;
    const int32_t height = bottom - top;
    const int64_t key[] = {1, width, height};
    return {ShapeCache().Get(key, [&] { return direct(0, 0, width, height); }), QPoint(left, top)};
}

TPlacedRegion PlacedRoundRectRegion(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                    int32_t cornerWidth, int32_t cornerHeight)
{
    const auto direct = [&](int32_t l, int32_t t, int32_t r, int32_t b) {
        return Rasterize(BoxAround(l, t, r, b), [&](TCanvas &canvas) {
            canvas.RoundRect(l, t, r, b, cornerWidth, cornerHeight);
        });
    };
    if (!Cacheable(left, top, right, bottom))
        return {direct(left, top, right, bottom), {}};
    const int32_t width = right - left;
    const int32_t height = bottom - top;
    const int64_t key[] = {2, width, height, cornerWidth, cornerHeight};
    return {ShapeCache().Get(key, [&] { return direct(0, 0, width, height); }), QPoint(left, top)};
}

QRegion PolygonRegion(const TPoints &points)
{
    return PlacedPolygonRegion(points).Placed();
}

QRegion EllipseRegion(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return PlacedEllipseRegion(left, top, right, bottom).Placed();
}

QRegion RoundRectRegion(int32_t left, int32_t top, int32_t right, int32_t bottom,
                        int32_t cornerWidth, int32_t cornerHeight)
{
    return PlacedRoundRectRegion(left, top, right, bottom, cornerWidth, cornerHeight).Placed();
}

} // namespace talivo
