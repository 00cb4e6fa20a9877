#include "app/ProposedMarks.h"

#include "app/MarkStyle.h"
#include "app/UpdateBatch.h"
#include "graph/GraphControl.h"
#include "graph/GraphNode.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_map>

namespace talivo {

namespace {

constexpr std::string_view kMarkClass = "TCircularNode";

// The centres of marks in cells of side r, so that the marks near a point are found by looking
// at nine cells rather than at every mark.
class TCentreGrid {
public:
    explicit TCentreGrid(int32_t r) : fCell(std::max<int64_t>(1, r)), fR(r) {}

    void Add(TPoint centre) { fCells[Key(CellOf(centre.X), CellOf(centre.Y))].push_back(centre); }

    bool AnyWithinR(TPoint at) const
    {
        const int64_t cx = CellOf(at.X);
        const int64_t cy = CellOf(at.Y);
        for (int64_t y = cy - 1; y <= cy + 1; ++y)
            for (int64_t x = cx - 1; x <= cx + 1; ++x) {
                const auto cell = fCells.find(Key(x, y));
                if (cell == fCells.end())
                    continue;
                for (const TPoint &centre : cell->second) {
                    const int64_t dx = int64_t(centre.X) - at.X;
                    const int64_t dy = int64_t(centre.Y) - at.Y;
                    if (dx * dx + dy * dy <= int64_t(fR) * fR)
                        return true;
                }
            }
        return false;
    }

private:
    int64_t CellOf(int32_t value) const
    {
        // Rounded down, so that negative coordinates do not share the cell at 0.
        return value >= 0 ? value / fCell : (value - fCell + 1) / fCell;
    }
    static uint64_t Key(int64_t x, int64_t y) { return uint64_t(x) << 32 ^ uint32_t(y); }

    int64_t fCell;
    int32_t fR;
    std::unordered_map<uint64_t, std::vector<TPoint>> fCells;
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

TGraphNode &InsertMark(TGraphControl &graph, TPoint centre, int32_t r, int groupId, TColor color,
                       const QString &text, int pointSize)
{
    TGraphNode *node =
        graph.InsertNode({centre.X - r, centre.Y - r, centre.X + r, centre.Y + r},
                         TGraphControl::FindClass(kMarkClass));
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

int AddProposedMarks(TGraphControl &graph, const std::vector<TPoint> &points,
                     const TGroupRow &group, int32_t r, int pointSize)
{
    TCentreGrid marks(r);
    const TGraphObjectList &objects = graph.Objects();
    for (int32_t i = 0; i < objects.Count(); ++i)
        marks.Add(CentreOf(objects[i]->BoundsRect()));
    int added = 0;
    InOneUpdate(graph, [&] {
        for (const TPoint &point : points) {
            if (marks.AnyWithinR(point))
                continue;
            InsertMark(graph, point, r, group.Id, group.Color, MarkText(group.Count + added + 1),
                       pointSize);
            marks.Add(point);
            ++added;
        }
    });
    return added;
}

} // namespace talivo
