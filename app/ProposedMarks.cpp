#include "app/ProposedMarks.h"

#include "app/MarkStyle.h"
#include "graph/objects/GraphDocument.h"
#include "graph/objects/GraphNode.h"
#include "graph/objects/UpdateBatch.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_map>

namespace talivo {

namespace {

constexpr std::string_view kMarkClass = "TCircularNode";

// The centres of marks in cells of side r, so that the marks near a point are found by looking
// at nine cells rather than at every mark. The cells of the marks already there are sorted once;
// the few marks a batch adds are kept apart, in a map.
class TCentreGrid {
public:
    TCentreGrid(int32_t r, std::vector<TPoint> centres) : fCell(std::max<int64_t>(1, r)), fR(r)
    {
        fSorted.reserve(centres.size());
        for (const TPoint &centre : centres)
            fSorted.push_back({KeyOf(centre), centre});
        std::sort(fSorted.begin(), fSorted.end(),
                  [](const TEntry &a, const TEntry &b) { return a.Key < b.Key; });
    }

    void Add(TPoint centre) { fAdded[KeyOf(centre)].push_back(centre); }

    bool AnyWithinR(TPoint at) const
    {
        const int64_t cx = CellOf(at.X);
        const int64_t cy = CellOf(at.Y);
        for (int64_t y = cy - 1; y <= cy + 1; ++y)
            for (int64_t x = cx - 1; x <= cx + 1; ++x) {
                const uint64_t key = Key(x, y);
                auto first = std::lower_bound(
                    fSorted.begin(), fSorted.end(), key,
                    [](const TEntry &entry, uint64_t value) { return entry.Key < value; });
                for (; first != fSorted.end() && first->Key == key; ++first)
                    if (Within(first->Centre, at))
                        return true;
                const auto added = fAdded.find(key);
                if (added != fAdded.end())
                    for (const TPoint &centre : added->second)
                        if (Within(centre, at))
                            return true;
            }
        return false;
    }

private:
    struct TEntry {
        uint64_t Key;
        TPoint Centre;
    };

    bool Within(TPoint centre, TPoint at) const
    {
        const int64_t dx = int64_t(centre.X) - at.X;
        const int64_t dy = int64_t(centre.Y) - at.Y;
        return dx * dx + dy * dy <= int64_t(fR) * fR;
    }
    int64_t CellOf(int32_t value) const
    {
        // Rounded down, so that negative coordinates do not share the cell at 0.
        return value >= 0 ? value / fCell : (value - fCell + 1) / fCell;
    }
    uint64_t KeyOf(TPoint centre) const { return Key(CellOf(centre.X), CellOf(centre.Y)); }
    static uint64_t Key(int64_t x, int64_t y) { return uint64_t(x) << 32 ^ uint32_t(y); }

    int64_t fCell;
    int32_t fR;
    std::vector<TEntry> fSorted;
    std::unordered_map<uint64_t, std::vector<TPoint>> fAdded;
};

TPoint CentreOf(const TRect &bounds)
{
    return {static_cast<int32_t>((int64_t{bounds.Left} + bounds.Right) / 2),
            static_cast<int32_t>((int64_t{bounds.Top} + bounds.Bottom) / 2)};
}

} // namespace

TPoint PixelOf(double x, double y, QSize picture)
{
    return {static_cast<int32_t>(std::clamp<long>(std::lrint(x), 0, picture.width() - 1)),
            static_cast<int32_t>(std::clamp<long>(std::lrint(y), 0, picture.height() - 1))};
}

TGraphNode &InsertMark(TGraphDocument &graph, TPoint centre, int32_t r, int groupId, TColor color,
                       const QString &text, int pointSize)
{
    TGraphNode *node = graph.InsertNode({centre.X - r, centre.Y - r, centre.X + r, centre.Y + r},
                                        TGraphDocument::FindClass(kMarkClass));
    if (!node)
        throw std::runtime_error("The mark could not be created.");
    node->SetNodeOptions({gnoMovable, gnoShowBackground});
    node->SetSelected(false);
    if (!text.isEmpty())
        node->SetText(text);
    node->Brush().SetColor(color);
    node->Pen().SetColor(color);
    node->SetTag(groupId);
    node->Font().SetHeight(MarkFontHeight(pointSize));
    node->Font().SetColor(MarkTextColor(color));
    return *node;
}

int AddProposedMarks(TGraphDocument &graph, const std::vector<TPoint> &points,
                     const TGroupRow &group, int32_t r, int pointSize)
{
    const TGraphObjectList &objects = graph.Objects();
    std::vector<TPoint> centres;
    centres.reserve(size_t(objects.Count()));
    for (int32_t i = 0; i < objects.Count(); ++i)
        centres.push_back(CentreOf(objects[i]->BoundsRect()));
    TCentreGrid marks(r, std::move(centres));
    int added = 0;
    {
        const TUpdateBatch batch(graph);
        for (const TPoint &point : points) {
            if (marks.AnyWithinR(point))
                continue;
            InsertMark(graph, point, r, group.Id, group.Color,
                       MarkText(CountPlus(group.Count, added + 1)), pointSize);
            marks.Add(point);
            ++added;
        }
    }
    return added;
}

} // namespace talivo
