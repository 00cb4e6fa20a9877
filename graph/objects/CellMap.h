#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace talivo {

// The cells of a bucket grid by their 64-bit key, each a list of slots. Open addressing over a
// power-of-two table: a lookup costs a multiplication and, mostly, one probe, where a node-based
// map costs a division and a pointer chase. Placing a large selection anew looks up a few cells
// per object, so this is what such a move mostly costs.
class TCellMap {
public:
    using TSlots = std::vector<int32_t>;

    // The cell's slots, or null when the map has no such cell.
    TSlots *Find(uint64_t key);
    // The cell's slots, made empty when the map has no such cell.
    TSlots &Get(uint64_t key);
    // Number of cells, empty ones included.
    size_t Size() const { return fCells.size(); }
    // Every cell, in no particular order.
    std::vector<TSlots> &Cells() { return fCells; }
    // Drops the cells that hold no slot.
    void DropEmpty();
    void Clear();

private:
    struct TEntry {
        uint64_t Key = 0;
        int32_t Cell = -1; // index into fCells; -1: free
    };

    size_t Probe(uint64_t key) const;
    void Rehash(size_t capacity);

    std::vector<TEntry> fTable;
    std::vector<TSlots> fCells;
    std::vector<uint64_t> fKeys; // fKeys[i] is the key of fCells[i]
    int fShift = 64;
};

} // namespace talivo
