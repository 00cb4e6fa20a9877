#include "graph/objects/CellMap.h"

#include <utility>

namespace talivo {

namespace {

// Fibonacci hashing: neighbouring cells spread over the whole table.
constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
constexpr size_t kFirstCapacity = 64;

} // namespace

size_t TCellMap::Probe(uint64_t key) const
{
    const size_t mask = fTable.size() - 1;
    size_t i = static_cast<size_t>((key * kMultiplier) >> fShift);
    while (fTable[i].Cell >= 0 && fTable[i].Key != key)
        i = (i + 1) & mask;
    return i;
}

TCellMap::TSlots *TCellMap::Find(uint64_t key)
{
    if (fTable.empty())
        return nullptr;
    const TEntry &entry = fTable[Probe(key)];
    return entry.Cell >= 0 ? &fCells[static_cast<size_t>(entry.Cell)] : nullptr;
}

TCellMap::TSlots &TCellMap::Get(uint64_t key)
{
    // At most half full, so that probes stay short.
    if ((fCells.size() + 1) * 2 > fTable.size())
        Rehash(fTable.empty() ? kFirstCapacity : fTable.size() * 2);
    TEntry &entry = fTable[Probe(key)];
    if (entry.Cell < 0) {
        entry.Key = key;
        entry.Cell = static_cast<int32_t>(fCells.size());
        fCells.emplace_back();
        fKeys.push_back(key);
    }
    return fCells[static_cast<size_t>(entry.Cell)];
}

void TCellMap::Rehash(size_t capacity)
{
    fTable.assign(capacity, TEntry{});
    fShift = 64;
    for (size_t size = capacity; size > 1; size >>= 1)
        --fShift;
    for (size_t cell = 0; cell < fCells.size(); ++cell) {
        TEntry &entry = fTable[Probe(fKeys[cell])];
        entry.Key = fKeys[cell];
        entry.Cell = static_cast<int32_t>(cell);
    }
}

void TCellMap::DropEmpty()
{
    std::vector<TSlots> cells;
    std::vector<uint64_t> keys;
    for (size_t cell = 0; cell < fCells.size(); ++cell) {
        if (!fCells[cell].empty()) {
            cells.push_back(std::move(fCells[cell]));
            keys.push_back(fKeys[cell]);
        }
    }
    fCells = std::move(cells);
    fKeys = std::move(keys);
    // At most half full, as Get keeps it.
    size_t capacity = kFirstCapacity;
    while (capacity < fCells.size() * 2)
        capacity *= 2;
    Rehash(capacity);
}

void TCellMap::Clear()
{
    fTable.clear();
    fCells.clear();
    fKeys.clear();
    fShift = 64;
}

} // namespace talivo
