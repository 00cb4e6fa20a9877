#pragma once

#include <cstdint>
#include <map>
#include <unordered_map>

namespace talivo {

class TGraphObject;

// The objects of a graph by ID. Duplicate IDs are allowed (a stream may hold them until the
// reader renumbers); the runs of taken IDs let a search for a free ID skip a block of taken
// numbers in one step instead of scanning the objects once per number.
class TObjectIDIndex {
public:
    void Add(TGraphObject *obj, uint32_t id);
    void Remove(TGraphObject *obj, uint32_t id);
    bool Contains(const TGraphObject *obj, uint32_t id) const;
    // Number of listed objects with this ID.
    int32_t CountOf(uint32_t id) const;
    TGraphObject *Any(uint32_t id) const;
    // The first ID from candidate on that no listed object has.
    uint32_t FirstFree(uint32_t candidate) const;
    void Clear();

private:
    std::unordered_multimap<uint32_t, TGraphObject *> fObjects;
    // Maximal runs of taken IDs: first ID -> last ID.
    std::map<uint32_t, uint32_t> fRuns;
};

} // namespace talivo
