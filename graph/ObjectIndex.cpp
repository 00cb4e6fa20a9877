#include "graph/ObjectIndex.h"

#include "graph/GraphNode.h"
#include "graph/GraphObject.h"
#include "graph/GraphObjectList.h"

#include <algorithm>

namespace talivo {

namespace {

// Cells of 64 graph units hold a few marks each at the sizes a counting session uses.
constexpr int kCellShift = 6;
// An object spanning more cells than this is looked at by every query instead.
constexpr int64_t kMaxCellsPerObject = 64;
// Below this many changed objects the index is updated object by object whatever their share.
constexpr size_t kMinRebuild = 4096;

int32_t CellOf(int32_t Coordinate)
{
    return Coordinate >> kCellShift;
}

uint64_t CellKey(int32_t CellX, int32_t CellY)
{
    return (uint64_t{static_cast<uint32_t>(CellX)} << 32) | static_cast<uint32_t>(CellY);
}

int64_t CellCount(const TRect &Box)
{
    return (int64_t{CellOf(Box.Right)} - CellOf(Box.Left) + 1) *
           (int64_t{CellOf(Box.Bottom)} - CellOf(Box.Top) + 1);
}

// The closed box spanned by the rectangle's corners: a rectangle whose coordinates wrapped
// around still lies inside it.
TRect Spanned(const TRect &R)
{
    return {std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
            std::max(R.Top, R.Bottom)};
}

void Widen(TRect &Box, const TRect &Closed)
{
    Box.Left = std::min(Box.Left, Closed.Left);
    Box.Top = std::min(Box.Top, Closed.Top);
    Box.Right = std::max(Box.Right, Closed.Right);
    Box.Bottom = std::max(Box.Bottom, Closed.Bottom);
}

bool SameCells(const TRect &A, const TRect &B)
{
    return CellOf(A.Left) == CellOf(B.Left) && CellOf(A.Top) == CellOf(B.Top) &&
           CellOf(A.Right) == CellOf(B.Right) && CellOf(A.Bottom) == CellOf(B.Bottom);
}

bool Meets(const TRect &A, const TRect &B)
{
    return A.Left <= B.Right && B.Left <= A.Right && A.Top <= B.Bottom && B.Top <= A.Bottom;
}

TRect KeyOf(const TGraphObject &Obj)
{
    TRect Key = Spanned(Obj.VisualRect());
    Widen(Key, Spanned(Obj.SelectedVisualRect()));
    if (Obj.IsNode()) {
        const QRect Box = static_cast<const TGraphNode &>(Obj).RegionBounds();
        if (!Box.isEmpty()) {
            Widen(Key, {Box.left(), Box.top(), Box.right(), Box.bottom()});
        }
    }
    return Key;
}

} // namespace

int32_t TObjectIndex::SlotOf(const TGraphObject *Obj) const
{
    // The slot may be one of another control's index: the entry tells.
    const int32_t Slot = Obj->fIndexSlot;
    if (Slot < 0 || Slot >= static_cast<int32_t>(fEntries.size()) || fEntries[Slot].Obj != Obj) {
        return -1;
    }
    return Slot;
}

bool TObjectIndex::Contains(const TGraphObject *Obj) const
{
    return SlotOf(Obj) >= 0;
}

void TObjectIndex::Add(TGraphObject *Obj, bool Appended)
{
    if (const int32_t Listed = SlotOf(Obj); Listed >= 0) {
        // Listed twice: only a walk of the list knows its place now.
        ++fEntries[Listed].Copies;
        fOrderStale = true;
        return;
    }
    int32_t Slot;
    if (fFree.empty()) {
        Slot = static_cast<int32_t>(fEntries.size());
        fEntries.emplace_back();
    } else {
        Slot = fFree.back();
        fFree.pop_back();
    }
    TEntry &Entry = fEntries[Slot];
    Entry = TEntry{};
    Entry.Obj = Obj;
    Entry.Order = fNextOrder++;
    Entry.Dirty = true;
    Obj->fIndexSlot = Slot;
    fDirty.push_back(Slot);
    if (!Appended) {
        fOrderStale = true;
    }
}

void TObjectIndex::Remove(TGraphObject *Obj)
{
    const int32_t Slot = SlotOf(Obj);
    if (Slot < 0) {
        return;
    }
    if (fWalks > 0) {
        fRemovedDuringWalk.insert(Obj);
    }
    if (--fEntries[Slot].Copies > 0) {
        fOrderStale = true;
        return;
    }
    Unplace(Slot);
    fEntries[Slot] = TEntry{};
    Obj->fIndexSlot = -1;
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
    fFree.push_back(Slot);
}

void TObjectIndex::EndWalk()
{
    if (--fWalks == 0) {
        fRemovedDuringWalk.clear();
    }
}

void TObjectIndex::Replace(TGraphObject *OldObj, TGraphObject *NewObj)
{
    const int32_t Slot = SlotOf(OldObj);
    if (Slot < 0 || SlotOf(NewObj) >= 0) {
        return;
    }
    // The cells hold slots, so the new object inherits the old one's place in them.
    fEntries[Slot].Obj = NewObj;
    OldObj->fIndexSlot = -1;
    NewObj->fIndexSlot = Slot;
    Invalidate(NewObj);
}

void TObjectIndex::Invalidate(TGraphObject *Obj)
{
    const int32_t Slot = SlotOf(Obj);
    if (Slot >= 0 && !fEntries[Slot].Dirty) {
        fEntries[Slot].Dirty = true;
        fDirty.push_back(Slot);
    }
}

void TObjectIndex::InvalidateAll()
{
    for (size_t Slot = 0; Slot < fEntries.size(); ++Slot) {
        if (fEntries[Slot].Obj) {
            Invalidate(fEntries[Slot].Obj);
        }
    }
}

int64_t TObjectIndex::OrderOf(const TGraphObject *Obj)
{
    const int32_t Slot = SlotOf(Obj);
    if (Slot < 0) {
        return -1;
    }
    Renumber();
    return fEntries[Slot].Order;
}

int32_t TObjectIndex::IndexOf(TGraphObject *Obj)
{
    const int32_t Slot = SlotOf(Obj);
    if (Slot < 0 || fEntries[Slot].Copies > 1) {
        return fObjects.IndexOf(Obj);
    }
    Renumber();
    const int64_t Order = fEntries[Slot].Order;
    int32_t Low = 0;
    int32_t High = fObjects.Count() - 1;
    while (Low <= High) {
        const int32_t Middle = Low + (High - Low) / 2;
        TGraphObject *Item = fObjects[Middle];
        if (Item == Obj) {
            return Middle;
        }
        const int32_t ItemSlot = SlotOf(Item);
        if (ItemSlot < 0) {
            // An object of another control on its way out of the list breaks the order.
            return fObjects.IndexOf(Obj);
        }
        if (fEntries[ItemSlot].Order < Order) {
            Low = Middle + 1;
        } else {
            High = Middle - 1;
        }
    }
    return fObjects.IndexOf(Obj);
}

void TObjectIndex::Renumber()
{
    if (!fOrderStale) {
        return;
    }
    for (int32_t I = 0; I < fObjects.Count(); ++I) {
        const int32_t Slot = SlotOf(fObjects[I]);
        if (Slot >= 0) {
            fEntries[Slot].Order = I;
        }
    }
    fNextOrder = fObjects.Count();
    fOrderStale = false;
}

void TObjectIndex::Flush()
{
    if (fDirty.empty()) {
        return;
    }
    fMoved.clear();
    for (const int32_t slot : fDirty) {
        TEntry &entry = fEntries[slot];
        if (!entry.Obj || !entry.Dirty) {
            continue;
        }
        entry.Dirty = false;
        const TRect key = KeyOf(*entry.Obj);
        if (entry.Placed && !entry.Wide && CellCount(key) <= kMaxCellsPerObject &&
            SameCells(key, entry.Key)) {
            entry.Key = key;
        } else {
            fMoved.push_back({slot, key});
        }
    }
    fDirty.clear();
    const size_t listed = fEntries.size() - fFree.size();
    if (fMoved.size() >= kMinRebuild && fMoved.size() * 2 >= listed) {
        // Most objects moved to other cells (a drag of a big selection, or its cancel): taking
        // each out of its old cells costs a search per cell, so every cell is emptied at once
        // and every object placed afresh. The emptied cells keep their memory for the objects
        // that come back to them.
        for (TCellMap::TSlots &cell : fCells.Cells()) {
            cell.clear();
        }
        fEmptyCells = static_cast<int64_t>(fCells.Size());
        fWide.clear();
        for (const auto &[slot, key] : fMoved) {
            fEntries[slot].Key = key;
        }
        for (size_t slot = 0; slot < fEntries.size(); ++slot) {
            fEntries[slot].Placed = false;
            if (fEntries[slot].Obj) {
                Place(static_cast<int32_t>(slot));
            }
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

void TObjectIndex::Place(int32_t Slot)
{
    TEntry &Entry = fEntries[Slot];
    Entry.Placed = true;
    Entry.Wide = CellCount(Entry.Key) > kMaxCellsPerObject;
    if (Entry.Wide) {
        fWide.push_back(Slot);
        return;
    }
    for (int32_t X = CellOf(Entry.Key.Left); X <= CellOf(Entry.Key.Right); ++X) {
        for (int32_t Y = CellOf(Entry.Key.Top); Y <= CellOf(Entry.Key.Bottom); ++Y) {
            std::vector<int32_t> &Cell = fCells.Get(CellKey(X, Y));
            if (Cell.empty() && fEmptyCells > 0 && Cell.capacity() > 0) {
                --fEmptyCells;
            }
            Cell.push_back(Slot);
        }
    }
}

void TObjectIndex::DropEmptyCells()
{
    // Cells emptied by objects moving away stay for the objects moving in, so that a move of
    // many objects does not free and allocate every cell they pass; they go once they are many.
    if (fEmptyCells <= 1024 || fEmptyCells <= static_cast<int64_t>(fCells.Size()) / 2) {
        return;
    }
    fCells.DropEmpty();
    fEmptyCells = 0;
}

void TObjectIndex::Unplace(int32_t Slot)
{
    TEntry &Entry = fEntries[Slot];
    if (!Entry.Placed) {
        return;
    }
    Entry.Placed = false;
    const auto Drop = [Slot](std::vector<int32_t> &Slots) {
        const auto It = std::find(Slots.begin(), Slots.end(), Slot);
        if (It != Slots.end()) {
            *It = Slots.back();
            Slots.pop_back();
        }
    };
    if (Entry.Wide) {
        Drop(fWide);
        return;
    }
    for (int32_t X = CellOf(Entry.Key.Left); X <= CellOf(Entry.Key.Right); ++X) {
        for (int32_t Y = CellOf(Entry.Key.Top); Y <= CellOf(Entry.Key.Bottom); ++Y) {
            TCellMap::TSlots *cell = fCells.Find(CellKey(X, Y));
            if (!cell) {
                continue;
            }
            Drop(*cell);
            if (cell->empty()) {
                ++fEmptyCells;
            }
        }
    }
}

void TObjectIndex::Collect(int32_t Slot, const TRect &Area, std::vector<TGraphObject *> &Result)
{
    TEntry &Entry = fEntries[Slot];
    if (Entry.Visit != fVisit && Meets(Entry.Key, Area)) {
        Entry.Visit = fVisit;
        Result.push_back(Entry.Obj);
    }
}

void TObjectIndex::Query(const TRect &Area, std::vector<TGraphObject *> &Result)
{
    Result.clear();
    Flush();
    Renumber();
    if (++fVisit == 0) {
        for (TEntry &Entry : fEntries) {
            Entry.Visit = 0;
        }
        fVisit = 1;
    }
    const TRect Box = Spanned(Area);
    if (CellCount(Box) > static_cast<int64_t>(fCells.Size())) {
        // Looking up every cell of a large area costs more than looking at every object, and
        // the list's own order needs no sorting.
        for (int32_t I = 0; I < fObjects.Count(); ++I) {
            const int32_t Slot = SlotOf(fObjects[I]);
            if (Slot >= 0) {
                Collect(Slot, Box, Result);
            }
        }
        return;
    }
    for (const int32_t Slot : fWide) {
        Collect(Slot, Box, Result);
    }
    for (int32_t X = CellOf(Box.Left); X <= CellOf(Box.Right); ++X) {
        for (int32_t Y = CellOf(Box.Top); Y <= CellOf(Box.Bottom); ++Y) {
            const TCellMap::TSlots *cell = fCells.Find(CellKey(X, Y));
            if (!cell) {
                continue;
            }
            for (const int32_t Slot : *cell) {
                Collect(Slot, Box, Result);
            }
        }
    }
    std::sort(Result.begin(), Result.end(), [this](const TGraphObject *A, const TGraphObject *B) {
        return fEntries[A->fIndexSlot].Order < fEntries[B->fIndexSlot].Order;
    });
}

} // namespace talivo
