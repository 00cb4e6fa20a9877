#include "graph/control/GraphControl.h"

#include "graph/objects/GraphNode.h"

#include <algorithm>
#include <limits>

namespace talivo {

namespace {

bool IsOfClass(const TGraphObject *obj, const TGraphObjectClass *objectClass)
{
    return !objectClass || obj->ClassType().InheritsFrom(*objectClass);
}

int32_t CountOfClass(const TGraphObjectList &list, const TGraphObjectClass *objectClass)
{
    if (!objectClass)
        return list.Count();
    int32_t result = 0;
    for (int32_t i = 0; i < list.Count(); ++i) {
        if (IsOfClass(list[i], objectClass))
            ++result;
    }
    return result;
}

} // namespace

TGraphObject *TGraphControl::FindObjectByID(uint32_t id) const
{
    return fDocument.FindObjectByID(id);
}

uint32_t TGraphControl::CreateUniqueID(TGraphObject *graphObject)
{
    return fDocument.CreateUniqueID(graphObject);
}

TGraphNode *TGraphControl::InsertNode(const TRect &bounds, const TGraphNodeClass *nodeClass)
{
    return fDocument.InsertNode(bounds, nodeClass ? nodeClass : fDefaultNodeClass);
}

int32_t TGraphControl::FindNextIndex(int32_t startIndex, bool inclusive, bool backward, bool wrap,
                                     const TGraphObjectClass *graphObjectClass) const
{
    const int32_t count = Objects().Count();
    const auto search = [&](int32_t from, int32_t to, int32_t step) {
        for (int32_t i = from; step > 0 ? i <= to : i >= to; i += step) {
            if (i >= 0 && i < count && IsOfClass(Objects()[i], graphObjectClass))
                return i;
        }
        return -1;
    };
    int32_t result;
    if (backward) {
        const int32_t from = std::min(inclusive ? startIndex : startIndex - 1, count - 1);
        result = search(from, 0, -1);
        if (result < 0 && wrap)
            result = search(count - 1, std::max(startIndex + 1, 0), -1);
    } else {
        const int32_t from = std::max(inclusive ? startIndex : startIndex + 1, 0);
        result = search(from, count - 1, 1);
        if (result < 0 && wrap)
            result = search(0, std::min(startIndex - 1, count - 1), 1);
    }
    return result;
}

TGraphObject *TGraphControl::FindNextObject(int32_t startIndex, bool inclusive, bool backward,
                                            bool wrap,
                                            const TGraphObjectClass *graphObjectClass) const
{
    const int32_t index = FindNextIndex(startIndex, inclusive, backward, wrap, graphObjectClass);
    return index < 0 ? nullptr : Objects()[index];
}

bool TGraphControl::SelectNextObject(bool backward, const TGraphObjectClass *graphObjectClass)
{
    if (Objects().Count() == 0)
        return false;
    int32_t index = -1;
    for (int32_t i = 0; i < SelectedObjects().Count(); ++i) {
        if (IsOfClass(SelectedObjects()[i], graphObjectClass)) {
            index = Objects().IndexOf(SelectedObjects()[i]);
            break;
        }
    }
    // Stepping over objects that cannot be selected ends when it comes back to the first one it
    // found: then every candidate has been tried.
    int32_t firstFound = -1;
    TGraphObject *found = nullptr;
    for (;;) {
        index = FindNextIndex(index, false, backward, true, graphObjectClass);
        if (index < 0 || index == firstFound)
            break;
        if (Objects()[index]->Options().Contains(goSelectable)) {
            found = Objects()[index];
            break;
        }
        if (firstFound < 0)
            firstFound = index;
    }
    if (!found)
        return false;
    {
        const TRepaintBatch batch(*this);
        ClearSelection();
        found->SetSelected(true);
    }
    ScrollInView(found);
    return true;
}

int32_t TGraphControl::ObjectsCount(const TGraphObjectClass *graphObjectClass) const
{
    return CountOfClass(Objects(), graphObjectClass);
}

int32_t TGraphControl::SelectedObjectsCount(const TGraphObjectClass *graphObjectClass) const
{
    return CountOfClass(SelectedObjects(), graphObjectClass);
}

int32_t TGraphControl::ForEachObject(const TGraphForEachMethod &callback, int32_t userData,
                                     bool selection)
{
    TGraphObjectList &list = selection ? SelectedObjects() : Objects();
    if (!callback || list.Count() == 0)
        return 0;
    {
        const TUpdateBatch batch(*this);
        for (TGraphObject *obj = list.First(); obj; obj = list.Next()) {
            // The walk's position is saved around the call, so the callback may remove objects
            // from the list (or walk it itself).
            const bool pushed = list.Push();
            bool goOn = false;
            try {
                goOn = callback(obj, userData);
            } catch (...) {
                if (pushed)
                    list.Pop();
                throw;
            }
            if (pushed)
                list.Pop();
            if (!goOn)
                break;
        }
    }
    return 0;
}

void TGraphControl::Clear()
{
    fDocument.Clear();
}

void TGraphControl::ClearSelection()
{
    const TRepaintBatch batch(*this);
    fDocument.ClearSelection();
}

bool TGraphControl::AlignSelection(THAlignOption horz, TVAlignOption vert)
{
    const int32_t count = SelectedObjects().Count();
    if (count <= 1)
        return false;
    std::vector<TGraphObject *> selection;
    std::vector<TRect> before;
    for (int32_t i = 0; i < count; ++i) {
        selection.push_back(SelectedObjects()[i]);
        before.push_back(SelectedObjects()[i]->GetBoundsRect());
    }
    TGraphConstraints &constraints = GraphConstraints();
    const auto offset = [&constraints](TGraphObject *obj, int32_t dx, int32_t dy,
                                       TObjectSides sides) {
        constraints.SetSourceRect(obj->GetBoundsRect());
        if (constraints.ConfineOffset(dx, dy, sides))
            obj->OffsetHitTest(hzBody, dx, dy);
    };
    // Spaces the objects evenly along one axis: first/last give an edge of a rectangle, Extent
    // its size, move the offset on that axis; the outermost objects stay.
    const auto space = [&](auto first, auto last, auto move, TObjectSides sides) {
        std::vector<TGraphObject *> ordered;
        for (TGraphObject *obj : selection) {
            const int32_t edge = first(obj->GetBoundsRect());
            const auto pos = std::find_if(ordered.begin(), ordered.end(), [&](TGraphObject *o) {
                return first(o->GetBoundsRect()) > edge;
            });
            ordered.insert(pos, obj);
        }
        int64_t extents = 0;
        for (TGraphObject *obj : ordered) {
            const TRect b = obj->GetBoundsRect();
            extents += int64_t{last(b)} - first(b);
        }
        const int64_t span = int64_t{last(ordered.back()->GetBoundsRect())} -
                             first(ordered.front()->GetBoundsRect());
        const int64_t gap = (span - extents) / (static_cast<int64_t>(ordered.size()) - 1);
        for (size_t i = 1; i + 1 < ordered.size(); ++i) {
            const int64_t target = int64_t{last(ordered[i - 1]->GetBoundsRect())} + gap;
            const int64_t delta = target - first(ordered[i]->GetBoundsRect());
            move(
                ordered[i],
                static_cast<int32_t>(std::clamp<int64_t>(delta, std::numeric_limits<int32_t>::min(),
                                                         std::numeric_limits<int32_t>::max())),
                sides);
        }
    };
    {
        const TUpdateBatch batch(*this);
        if (horz == haSpaceEqually && count > 2)
            space([](const TRect &r) { return r.Left; }, [](const TRect &r) { return r.Right; },
                  [&](TGraphObject *obj, int32_t d, TObjectSides s) { offset(obj, d, 0, s); },
                  TObjectSides{osLeft, osRight});
        if (vert == vaSpaceEqually && count > 2)
            space([](const TRect &r) { return r.Top; }, [](const TRect &r) { return r.Bottom; },
                  [&](TGraphObject *obj, int32_t d, TObjectSides s) { offset(obj, 0, d, s); },
                  TObjectSides{osTop, osBottom});
        const TRect ref = selection[0]->GetBoundsRect();
        const bool aligns = horz != haSpaceEqually || vert != vaSpaceEqually;
        for (size_t i = 1; aligns && i < selection.size(); ++i) {
            const TRect b = selection[i]->GetBoundsRect();
            int32_t dx = 0;
            int32_t dy = 0;
            switch (horz) {
            case haLeft:
                dx = ref.Left - b.Left;
                break;
            case haCenter:
                dx = (ref.Left + ref.Right) / 2 - (b.Left + b.Right) / 2;
                break;
            case haRight:
                dx = ref.Right - b.Right;
                break;
            default:
                break;
            }
            switch (vert) {
            case vaTop:
                dy = ref.Top - b.Top;
                break;
            case vaCenter:
                dy = (ref.Top + ref.Bottom) / 2 - (b.Top + b.Bottom) / 2;
                break;
            case vaBottom:
                dy = ref.Bottom - b.Bottom;
                break;
            default:
                break;
            }
            offset(selection[i], dx, dy, {osLeft, osTop, osRight, osBottom});
        }
    }
    for (size_t i = 0; i < selection.size(); ++i) {
        if (selection[i]->GetBoundsRect() != before[i])
            return true;
    }
    return false;
}

bool TGraphControl::ResizeSelection(TResizeOption horz, TResizeOption vert)
{
    const int32_t count = SelectedObjects().Count();
    if (count <= 1)
        return false;
    std::vector<TGraphObject *> selection;
    std::vector<TRect> before;
    int32_t minWidth = std::numeric_limits<int32_t>::max();
    int32_t maxWidth = std::numeric_limits<int32_t>::min();
    int32_t minHeight = minWidth;
    int32_t maxHeight = maxWidth;
    for (int32_t i = 0; i < count; ++i) {
        TGraphObject *obj = SelectedObjects()[i];
        const TRect b = obj->GetBoundsRect();
        selection.push_back(obj);
        before.push_back(b);
        minWidth = std::min(minWidth, b.Width());
        maxWidth = std::max(maxWidth, b.Width());
        minHeight = std::min(minHeight, b.Height());
        maxHeight = std::max(maxHeight, b.Height());
    }
    const auto change = [](TResizeOption option, int32_t smallest, int32_t largest, int32_t size) {
        switch (option) {
        case roSmallest:
            return smallest - size;
        case roLargest:
            return largest - size;
        default:
            return 0;
        }
    };
    {
        const TUpdateBatch batch(*this);
        for (TGraphObject *obj : selection) {
            const TRect b = obj->GetBoundsRect();
            int32_t dw = change(horz, minWidth, maxWidth, b.Width());
            int32_t dh = change(vert, minHeight, maxHeight, b.Height());
            GraphConstraints().SetSourceRect(b);
            if (GraphConstraints().ConfineOffset(dw, dh, {osRight, osBottom}))
                obj->OffsetHitTest(hzBottomRight, dw, dh);
        }
    }
    for (size_t i = 0; i < selection.size(); ++i) {
        if (selection[i]->GetBoundsRect() != before[i])
            return true;
    }
    return false;
}

} // namespace talivo
