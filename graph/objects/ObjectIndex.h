#pragma once

#include "graph/canvas/Types.h"
#include "graph/objects/CellMap.h"

#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

namespace talivo {

class TGraphObject;
class TGraphObjectList;

// A bucket grid over the area in which each object of a graph can be hit, caught by a rubber
// band or drawn, so that the hit test, the rubber band and the paint look at the objects near a
// point or inside a rectangle instead of walking every object.
//
// An object's key is the box spanned by its visual rectangle, its selected visual rectangle and
// (for nodes) its region: whatever of the object a point or rectangle can meet lies in it. Keys
// are measured lazily: a change only marks the object, and the next query measures the marked
// objects, so a batch that changes many objects measures each once. Results come in list order,
// so callers walk them exactly as they would walk the list.
class TObjectIndex {
public:
    explicit TObjectIndex(const TGraphObjectList &objects) : fObjects(objects) {}
    TObjectIndex(const TObjectIndex &) = delete;
    TObjectIndex &operator=(const TObjectIndex &) = delete;

    // The object joined the list; appended: at its end, above every other object.
    void Add(TGraphObject *obj, bool appended);
    void Remove(TGraphObject *obj);
    // newObj takes oldObj's place in the list.
    void Replace(TGraphObject *oldObj, TGraphObject *newObj);
    // The object's key may have changed.
    void Invalidate(TGraphObject *obj);
    // Every key may have changed (the marker size grows every selected visual rectangle).
    void InvalidateAll();
    // The list was reordered otherwise than by appending.
    void Reordered() { fOrderStale = true; }
    bool Contains(const TGraphObject *obj) const;
    // A number that orders the listed objects as the list does; -1 for an object not listed.
    int64_t OrderOf(const TGraphObject *obj);
    // The object's position in the list, or -1: found by its order in a few steps rather than by
    // a walk over the list.
    int32_t IndexOf(TGraphObject *obj);
    // The listed objects whose key meets the closed rectangle spanned by area's corners, in list
    // order. Objects outside the result cannot meet the area.
    void Query(const TRect &area, std::vector<TGraphObject *> &result);

    // While a walk over a query's result runs, the objects removed meanwhile are remembered, so
    // that the walk can pass over them before it touches them. Walks may nest.
    void BeginWalk() { ++fWalks; }
    void EndWalk();
    bool RemovedDuringWalk(const TGraphObject *obj) const { return fRemovedDuringWalk.count(obj); }

private:
    struct TEntry {
        TGraphObject *Obj = nullptr; // null: a free slot
        TRect Key;                   // closed, as bucketed
        int64_t Order = 0;
        // How often the list holds the object.
        int32_t Copies = 1;
        uint32_t Visit = 0;
        bool Dirty = false;
        bool Placed = false;
        bool Wide = false;
    };

    int32_t SlotOf(const TGraphObject *obj) const;
    void Flush();
    void Renumber();
    void Place(int32_t slot);
    void Unplace(int32_t slot);
    void Collect(int32_t slot, const TRect &area, std::vector<TGraphObject *> &result);
    void DropEmptyCells();

    const TGraphObjectList &fObjects;
    std::vector<TEntry> fEntries;
    std::vector<int32_t> fFree;
    std::vector<int32_t> fDirty;
    // Scratch of Flush: the objects that leave their cells, with their new keys.
    std::vector<std::pair<int32_t, TRect>> fMoved;
    TCellMap fCells;
    // How many of fCells hold no object.
    int64_t fEmptyCells = 0;
    // Objects that span too many cells to be bucketed: every query looks at them.
    std::vector<int32_t> fWide;
    int64_t fNextOrder = 0;
    bool fOrderStale = false;
    uint32_t fVisit = 0;
    int32_t fWalks = 0;
    std::unordered_set<const TGraphObject *> fRemovedDuringWalk;
};

} // namespace talivo
