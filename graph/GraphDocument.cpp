#include "graph/GraphDocument.h"

#include <utility>

namespace talivo {

TGraphDocument::TGraphDocument() = default;

TGraphObject *TGraphDocument::FindObjectByID(uint32_t id) const
{
    switch (fIDIndex.CountOf(id)) {
    case 0:
        return nullptr;
    case 1:
        return fIDIndex.Any(id);
    default:
        // Only a stream with duplicate IDs gets here: the topmost one wins, as a scan from the
        // last object finds it.
        for (int32_t i = fObjects.Count() - 1; i >= 0; --i) {
            if (fObjects[i]->ID() == id)
                return fObjects[i];
        }
        return nullptr;
    }
}

uint32_t TGraphDocument::CreateUniqueID(TGraphObject *obj)
{
    // The first number from the candidate on that no other listed object has: what scanning the
    // list again after each clash finds, without the scans.
    const uint32_t candidate =
        obj->ID() != 0 ? obj->ID() : static_cast<uint32_t>(fObjects.Count()) + 1;
    const bool listed = IsListed(obj);
    if (listed)
        fIDIndex.Remove(obj, obj->ID());
    const uint32_t result = fIDIndex.FirstFree(candidate);
    if (listed)
        fIDIndex.Add(obj, obj->ID());
    return result;
}

bool TGraphDocument::IsListed(const TGraphObject *obj) const
{
    return fIDIndex.Contains(obj, obj->ID());
}

void TGraphDocument::ObjectIDChanged(TGraphObject *obj, uint32_t oldID)
{
    if (fIDIndex.Contains(obj, oldID)) {
        fIDIndex.Remove(obj, oldID);
        fIDIndex.Add(obj, obj->ID());
    }
}

void TGraphDocument::Listed(TGraphObject *obj)
{
    fIDIndex.Add(obj, obj->ID());
    fObjectIndex.Add(obj, fObjects[fObjects.Count() - 1] == obj);
}

void TGraphDocument::Unlisted(TGraphObject *obj)
{
    fIDIndex.Remove(obj, obj->ID());
    fObjectIndex.Remove(obj);
}

void TGraphDocument::ReplaceListed(TGraphObject *oldObject, TGraphObject *newObject)
{
    fObjects.ReplaceAll(oldObject, newObject);
    fSelectedObjects.ReplaceAll(oldObject, newObject);
    if (IsListed(oldObject)) {
        fIDIndex.Remove(oldObject, oldObject->ID());
        fIDIndex.Add(newObject, newObject->ID());
    }
    newObject->fSelectionOrder = std::exchange(oldObject->fSelectionOrder, -1);
    fObjectIndex.Replace(oldObject, newObject);
    fHost->ObjectReplaced(oldObject, newObject);
}

void TGraphDocument::TrackSelectionOrder(TGraphObject *obj, TGraphObjectListAction action)
{
    switch (action) {
    case glAdded:
        if (obj->fSelectionOrder >= 0 || fSelectedObjects[fSelectedObjects.Count() - 1] != obj)
            fSelectionOrdered = false;
        else
            obj->fSelectionOrder = fNextSelectionOrder++;
        break;
    case glRemoved:
        obj->fSelectionOrder = -1;
        if (fSelectedObjects.Count() == 0) {
            fSelectionOrdered = true;
            fNextSelectionOrder = 0;
        }
        break;
    case glReordered:
        fSelectionOrdered = false;
        break;
    }
}

void TGraphDocument::RemoveFromSelection(TGraphObject *obj)
{
    const int64_t order = obj->fSelectionOrder;
    if (fSelectionOrdered && order >= 0) {
        int32_t low = 0;
        int32_t high = fSelectedObjects.Count() - 1;
        while (low <= high) {
            const int32_t middle = low + (high - low) / 2;
            const int64_t here = fSelectedObjects[middle]->fSelectionOrder;
            if (here == order) {
                fSelectedObjects.Delete(middle);
                return;
            }
            if (here < order)
                low = middle + 1;
            else
                high = middle - 1;
        }
    }
    fSelectedObjects.Remove(obj);
}

} // namespace talivo
