#include "graph/objects/ObjectIndex.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphNode.h"
#include "graph/objects/GraphObject.h"
#include "graph/objects/GraphObjectList.h"

#include <algorithm>

namespace talivo {

namespace {

// Cells of 64 graph units hold a few marks each at the sizes a counting session uses.
constexpr int kCellShift = 6;
// An object spanning more cells than this is looked at by every query instead.
constexpr int64_t kMaxCellsPerObject = 64;
// Below this many changed objects the index is updated object by object whatever their share.
constexpr size_t kMinRebuild = 4096;

int32_t CellOf(int32_t coordinate)
{
    return coordinate >> kCellShift;
}

uint64_t CellKey(int32_t cellX, int32_t cellY)
{
    return (uint64_t{static_cast<uint32_t>(cellX)} << 32) | static_cast<uint32_t>(cellY);
}

int64_t CellCount(const TRect &box)
{
    return (int64_t{CellOf(box.Right)} - CellOf(box.Left) + 1) *
           (int64_t{CellOf(box.Bottom)} - CellOf(box.Top) + 1);
}

// The closed box spanned by the rectangle's corners: a rectangle whose coordinates wrapped
// around still lies inside it.
TRect Spanned(const TRect &r)
{
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
            std::max(r.Top, r.Bottom)};
}

bool SameCells(const TRect &a, const TRect &b)
{
    return CellOf(a.Left) == CellOf(b.Left) && CellOf(a.Top) == CellOf(b.Top) &&
           CellOf(a.Right) == CellOf(b.Right) && CellOf(a.Bottom) == CellOf(b.Bottom);
}

bool Meets(const TRect &a, const TRect &b)
{
    return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

TRect KeyOf(const TGraphObject &obj)
{
    TRect key = Spanned(obj.VisualRect());
    UnionRect(key, Spanned(obj.SelectedVisualRect()));
    if (obj.IsNode()) {
        const QRect box = static_cast<const TGraphNode &>(obj).RegionBounds();
        if (!box.isEmpty())
            UnionRect(key, {box.left(), box.top(), box.right(), box.bottom()});
    }
    return key;
}

} // namespace

int32_t TObjectIndex::SlotOf(const TGraphObject *obj) const
{
    // The slot may be one of another control's index: the entry tells.
    const int32_t slot = obj->fIndexSlot;
    if (slot < 0 || slot >= static_cast<int32_t>(fEntries.size()) || fEntries[slot].Obj != obj)
        return -1;
    return slot;
}

bool TObjectIndex::Contains(const TGraphObject *obj) const
{
    return SlotOf(obj) >= 0;
}

void TObjectIndex::Add(TGraphObject *obj, bool appended)
{
    if (const int32_t listed = SlotOf(obj); listed >= 0) {
        // Listed twice: only a walk of the list knows its place now.
        ++fEntries[listed].Copies;
        fOrderStale = true;
        return;
    }
    int32_t slot;
    if (fFree.empty()) {
        slot = static_cast<int32_t>(fEntries.size());
        fEntries.emplace_back();
    } else {
        slot = fFree.back();
        fFree.pop_back();
    }
    TEntry &entry = fEntries[slot];
    entry = TEntry{};
    entry.Obj = obj;
    entry.Order = fNextOrder++;
    entry.Dirty = true;
    obj->fIndexSlot = slot;
    fDirty.push_back(slot);
    if (!appended)
        fOrderStale = true;
}

void TObjectIndex::Remove(TGraphObject *obj)
{
    const int32_t slot = SlotOf(obj);
    if (slot < 0)
        return;
    if (fWalks > 0)
        fRemovedDuringWalk.insert(obj);
    if (--fEntries[slot].Copies > 0) {
        fOrderStale = true;
        return;
    }
    Unplace(slot);
    fEntries[slot] = TEntry{};
    obj->fIndexSlot = -1;
    if (fFree.size() + 1 == fEntries.size()) {
        // The list is empty: start afresh rather than keep a grid of empty cells.
        fEntries.clear();
        fFree.clear();
        fDirty.clear();
        fCells.Clear();
        fEmptyCells = 0;
        fWide.clear();
        fNextOrder = 0;
        fOrderStale = false;
        return;
    }
    fFree.push_back(slot);
}

void TObjectIndex::EndWalk()
{
    if (--fWalks == 0)
        fRemovedDuringWalk.clear();
}

void TObjectIndex::Replace(TGraphObject *oldObj, TGraphObject *newObj)
{
    const int32_t slot = SlotOf(oldObj);
    if (slot < 0 || SlotOf(newObj) >= 0)
        return;
    // The cells hold slots, so the new object inherits the old one's place in them.
    fEntries[slot].Obj = newObj;
    oldObj->fIndexSlot = -1;
    newObj->fIndexSlot = slot;
    Invalidate(newObj);
}

void TObjectIndex::Invalidate(TGraphObject *obj)
{
    const int32_t slot = SlotOf(obj);
    if (slot >= 0 && !fEntries[slot].Dirty) {
        fEntries[slot].Dirty = true;
        fDirty.push_back(slot);
    }
}

void TObjectIndex::InvalidateAll()
{
    for (size_t slot = 0; slot < fEntries.size(); ++slot) {
        if (fEntries[slot].Obj)
            Invalidate(fEntries[slot].Obj);
    }
}

int64_t TObjectIndex::OrderOf(const TGraphObject *obj)
{
    const int32_t slot = SlotOf(obj);
    if (slot < 0)
        return -1;
    Renumber();
    return fEntries[slot].Order;
}

int32_t TObjectIndex::IndexOf(TGraphObject *obj)
{
    const int32_t slot = SlotOf(obj);
    if (slot < 0 || fEntries[slot].Copies > 1)
        return fObjects.IndexOf(obj);
    Renumber();
    const int64_t order = fEntries[slot].Order;
    int32_t low = 0;
    int32_t high = fObjects.Count() - 1;
    while (low <= high) {
        const int32_t middle = low + (high - low) / 2;
        TGraphObject *item = fObjects[middle];
        if (item == obj)
            return middle;
        const int32_t itemSlot = SlotOf(item);
        if (itemSlot < 0) {
            // An object of another control on its way out of the list breaks the order.
            return fObjects.IndexOf(obj);
        }
        if (fEntries[itemSlot].Order < order)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return fObjects.IndexOf(obj);
}

void TObjectIndex::Renumber()
{
    if (!fOrderStale)
        return;
    for (int32_t i = 0; i < fObjects.Count(); ++i) {
        const int32_t slot = SlotOf(fObjects[i]);
        if (slot >= 0)
            fEntries[slot].Order = i;
    }
    fNextOrder = fObjects.Count();
    fOrderStale = false;
}

void TObjectIndex::Flush()
{
    if (fDirty.empty())
        return;
    fMoved.clear();
    for (const int32_t slot : fDirty) {
        TEntry &entry = fEntries[slot];
        if (!entry.Obj || !entry.Dirty)
            continue;
        entry.Dirty = false;
        const TRect key = KeyOf(*entry.Obj);
        if (entry.Placed && !entry.Wide && CellCount(key) <= kMaxCellsPerObject &&
            SameCells(key, entry.Key))
            entry.Key = key;
        else
            fMoved.push_back({slot, key});
    }
    fDirty.clear();
    const size_t listed = fEntries.size() - fFree.size();
    if (fMoved.size() >= kMinRebuild && fMoved.size() * 2 >= listed) {
        // Most objects moved to other cells (a drag of a big selection, or its cancel): taking
        // each out of its old cells costs a search per cell, so every cell is emptied at once
        // and every object placed afresh. The emptied cells keep their memory for the objects
        // that come back to them.
        for (TCellMap::TSlots &cell : fCells.Cells())
            cell.clear();
        fEmptyCells = static_cast<int64_t>(fCells.Size());
        fWide.clear();
        for (const auto &[slot, key] : fMoved)
            fEntries[slot].Key = key;
        for (size_t slot = 0; slot < fEntries.size(); ++slot) {
            fEntries[slot].Placed = false;
            if (fEntries[slot].Obj)
                Place(static_cast<int32_t>(slot));
        }
    } else {
        for (const auto &[slot, key] : fMoved) {
            Unplace(slot);
            fEntries[slot].Key = key;
            Place(slot);
        }
    }
    fMoved.clear();
    DropEmptyCells();
}

void TObjectIndex::Place(int32_t slot)
{
    TEntry &entry = fEntries[slot];
    entry.Placed = true;
    entry.Wide = CellCount(entry.Key) > kMaxCellsPerObject;
    if (entry.Wide) {
        fWide.push_back(slot);
        return;
    }
    for (int32_t x = CellOf(entry.Key.Left); x <= CellOf(entry.Key.Right); ++x) {
        for (int32_t y = CellOf(entry.Key.Top); y <= CellOf(entry.Key.Bottom); ++y) {
            std::vector<int32_t> &cell = fCells.Get(CellKey(x, y));
            if (cell.empty() && fEmptyCells > 0 && cell.capacity() > 0)
                --fEmptyCells;
            cell.push_back(slot);
        }
    }
}

void TObjectIndex::DropEmptyCells()
{
    // Cells emptied by objects moving away stay for the objects moving in, so that a move of
    // many objects does not free and allocate every cell they pass; they go once they are many.
    if (fEmptyCells <= 1024 || fEmptyCells <= static_cast<int64_t>(fCells.Size()) / 2)
        return;
    fCells.DropEmpty();
    fEmptyCells = 0;
}

void TObjectIndex::Unplace(int32_t slot)
{
    TEntry &entry = fEntries[slot];
    if (!entry.Placed)
        return;
    entry.Placed = false;
    const auto drop = [slot](std::vector<int32_t> &held) {
        const auto it = std::find(held.begin(), held.end(), slot);
        if (it != held.end()) {
            *it = held.back();
            held.pop_back();
        }
    };
    if (entry.Wide) {
        drop(fWide);
        return;
    }
    for (int32_t x = CellOf(entry.Key.Left); x <= CellOf(entry.Key.Right); ++x) {
        for (int32_t y = CellOf(entry.Key.Top); y <= CellOf(entry.Key.Bottom); ++y) {
            TCellMap::TSlots *cell = fCells.Find(CellKey(x, y));
            if (!cell)
                continue;
            drop(*cell);
            if (cell->empty())
                ++fEmptyCells;
        }
    }
}

void TObjectIndex::Collect(int32_t slot, const TRect &area, std::vector<TGraphObject *> &result)
{
    TEntry &entry = fEntries[slot];
    if (entry.Visit != fVisit && Meets(entry.Key, area)) {
        entry.Visit = fVisit;
        result.push_back(entry.Obj);
    }
}

void TObjectIndex::Query(const TRect &area, std::vector<TGraphObject *> &result)
{
    result.clear();
    Flush();
    Renumber();
    if (++fVisit == 0) {
        for (TEntry &entry : fEntries)
            entry.Visit = 0;
        fVisit = 1;
    }
    const TRect box = Spanned(area);
    if (CellCount(box) > static_cast<int64_t>(fCells.Size())) {
        // Looking up every cell of a large area costs more than looking at every object, and
        // the list's own order needs no sorting.
        for (int32_t i = 0; i < fObjects.Count(); ++i) {
            const int32_t slot = SlotOf(fObjects[i]);
            if (slot >= 0)
                Collect(slot, box, result);
        }
        return;
    }
    for (const int32_t slot : fWide)
        Collect(slot, box, result);
    for (int32_t x = CellOf(box.Left); x <= CellOf(box.Right); ++x) {
        for (int32_t y = CellOf(box.Top); y <= CellOf(box.Bottom); ++y) {
            const TCellMap::TSlots *cell = fCells.Find(CellKey(x, y));
            if (!cell)
                continue;
            for (const int32_t slot : *cell)
                Collect(slot, box, result);
        }
    }
    std::sort(result.begin(), result.end(), [this](const TGraphObject *a, const TGraphObject *b) {
        return fEntries[a->fIndexSlot].Order < fEntries[b->fIndexSlot].Order;
    });
}

} // namespace talivo
