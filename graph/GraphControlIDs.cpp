#include "graph/GraphControl.h"

#include <limits>

namespace talivo {

void TGraphControl::TIDIndex::Add(TGraphObject *Obj, uint32_t ID)
{
    const bool Taken = fObjects.contains(ID);
    fObjects.emplace(ID, Obj);
    if (Taken) {
        return;
    }
    // Join the runs that end just before and start just after ID.
    uint32_t First = ID;
    uint32_t Last = ID;
    if (ID != std::numeric_limits<uint32_t>::max()) {
        const auto Next = fRuns.find(ID + 1);
        if (Next != fRuns.end()) {
            Last = Next->second;
            fRuns.erase(Next);
        }
    }
    auto Prior = fRuns.lower_bound(ID);
    if (ID != 0 && Prior != fRuns.begin()) {
        --Prior;
        if (Prior->second == ID - 1) {
            Prior->second = Last;
            return;
        }
    }
    fRuns.emplace(First, Last);
}

void TGraphControl::TIDIndex::Remove(TGraphObject *Obj, uint32_t ID)
{
    auto [Begin, End] = fObjects.equal_range(ID);
    for (auto It = Begin; It != End; ++It) {
        if (It->second == Obj) {
            fObjects.erase(It);
            break;
        }
    }
    if (fObjects.contains(ID)) {
        return;
    }
    // Split the run that holds ID.
    auto Run = fRuns.upper_bound(ID);
    if (Run == fRuns.begin()) {
        return;
    }
    --Run;
    const uint32_t First = Run->first;
    const uint32_t Last = Run->second;
    if (ID > Last) {
        return;
    }
    fRuns.erase(Run);
    if (First < ID) {
        fRuns.emplace(First, ID - 1);
    }
    if (ID < Last) {
        fRuns.emplace(ID + 1, Last);
    }
}

bool TGraphControl::TIDIndex::Contains(const TGraphObject *Obj, uint32_t ID) const
{
    auto [Begin, End] = fObjects.equal_range(ID);
    for (auto It = Begin; It != End; ++It) {
        if (It->second == Obj) {
            return true;
        }
    }
    return false;
}

int32_t TGraphControl::TIDIndex::CountOf(uint32_t ID) const
{
    return static_cast<int32_t>(fObjects.count(ID));
}

TGraphObject *TGraphControl::TIDIndex::Any(uint32_t ID) const
{
    const auto It = fObjects.find(ID);
    return It == fObjects.end() ? nullptr : It->second;
}

uint32_t TGraphControl::TIDIndex::FirstFree(uint32_t Candidate) const
{
    // Counting on past the largest ID wraps to 0, as the candidate's 32-bit increment does.
    for (;;) {
        auto Run = fRuns.upper_bound(Candidate);
        if (Run == fRuns.begin()) {
            return Candidate;
        }
        --Run;
        if (Candidate > Run->second) {
            return Candidate;
        }
        if (Run->second == std::numeric_limits<uint32_t>::max()) {
            Candidate = 0;
            continue;
        }
        return Run->second + 1;
    }
}

void TGraphControl::TIDIndex::Clear()
{
    fObjects.clear();
    fRuns.clear();
}

void TGraphControl::ObjectIDChanged(TGraphObject *GraphObject, uint32_t OldID)
{
    if (fIDIndex.Contains(GraphObject, OldID)) {
        fIDIndex.Remove(GraphObject, OldID);
        fIDIndex.Add(GraphObject, GraphObject->ID());
    }
}

bool TGraphControl::IsListed(const TGraphObject *GraphObject) const
{
    return fIDIndex.Contains(GraphObject, GraphObject->ID());
}

uint32_t TGraphControl::CreateUniqueID(TGraphObject *GraphObject)
{
    // The first number from the candidate on that no other listed object has: what scanning the
    // list again after each clash finds, without the scans.
    const uint32_t Candidate =
        GraphObject->ID() != 0 ? GraphObject->ID() : static_cast<uint32_t>(fObjects.Count()) + 1;
    const bool Listed = IsListed(GraphObject);
    if (Listed) {
        fIDIndex.Remove(GraphObject, GraphObject->ID());
    }
    const uint32_t Result = fIDIndex.FirstFree(Candidate);
    if (Listed) {
        fIDIndex.Add(GraphObject, GraphObject->ID());
    }
    return Result;
}

TGraphObject *TGraphControl::FindObjectByID(uint32_t ID) const
{
    switch (fIDIndex.CountOf(ID)) {
    case 0:
        return nullptr;
    case 1:
        return fIDIndex.Any(ID);
    default:
        // Only a stream with duplicate IDs gets here: the topmost one wins, as a scan from the
        // last object finds it.
        for (int32_t I = fObjects.Count() - 1; I >= 0; --I) {
            if (fObjects[I]->ID() == ID) {
                return fObjects[I];
            }
        }
        return nullptr;
    }
}

} // namespace talivo
