#include "graph/GraphControl.h"

namespace talivo {

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
