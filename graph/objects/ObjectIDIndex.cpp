#include "graph/objects/ObjectIDIndex.h"

#include <limits>

namespace talivo {

void TObjectIDIndex::Add(TGraphObject *obj, uint32_t id)
{
    const bool taken = fObjects.contains(id);
    fObjects.emplace(id, obj);
    if (taken)
        return;
    // Join the runs that end just before and start just after the ID.
    uint32_t last = id;
    if (id != std::numeric_limits<uint32_t>::max()) {
        const auto next = fRuns.find(id + 1);
        if (next != fRuns.end()) {
            last = next->second;
            fRuns.erase(next);
        }
    }
    auto prior = fRuns.lower_bound(id);
    if (id != 0 && prior != fRuns.begin()) {
        --prior;
        if (prior->second == id - 1) {
            prior->second = last;
            return;
        }
    }
    fRuns.emplace(id, last);
}

void TObjectIDIndex::Remove(TGraphObject *obj, uint32_t id)
{
    auto [begin, end] = fObjects.equal_range(id);
    for (auto it = begin; it != end; ++it) {
        if (it->second == obj) {
            fObjects.erase(it);
            break;
        }
    }
    if (fObjects.contains(id))
        return;
    // Split the run that holds the ID.
    auto run = fRuns.upper_bound(id);
    if (run == fRuns.begin())
        return;
    --run;
    const uint32_t first = run->first;
    const uint32_t last = run->second;
    if (id > last)
        return;
    fRuns.erase(run);
    if (first < id)
        fRuns.emplace(first, id - 1);
    if (id < last)
        fRuns.emplace(id + 1, last);
}

bool TObjectIDIndex::Contains(const TGraphObject *obj, uint32_t id) const
{
    auto [begin, end] = fObjects.equal_range(id);
    for (auto it = begin; it != end; ++it) {
        if (it->second == obj)
            return true;
    }
    return false;
}

int32_t TObjectIDIndex::CountOf(uint32_t id) const
{
    return static_cast<int32_t>(fObjects.count(id));
}

TGraphObject *TObjectIDIndex::Any(uint32_t id) const
{
    const auto it = fObjects.find(id);
    return it == fObjects.end() ? nullptr : it->second;
}

uint32_t TObjectIDIndex::FirstFree(uint32_t candidate) const
{
    // Counting on past the largest ID wraps to 0, as the candidate's 32-bit increment does.
    for (;;) {
        auto run = fRuns.upper_bound(candidate);
        if (run == fRuns.begin())
            return candidate;
        --run;
        if (candidate > run->second)
            return candidate;
        if (run->second == std::numeric_limits<uint32_t>::max()) {
            candidate = 0;
            continue;
        }
        return run->second + 1;
    }
}

void TObjectIDIndex::Clear()
{
    fObjects.clear();
    fRuns.clear();
}

} // namespace talivo
